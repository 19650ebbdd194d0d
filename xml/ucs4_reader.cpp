#include "xml/ucs4_reader.h"

#include "xml/utf_codecs.h"

namespace velmora {

TUtilsUCS4Reader::TUtilsUCS4Reader(TStream* stream, int32_t bufferSize,
                                   TUnicodeCodecClass codecClass, int64_t initialByte,
                                   int64_t initialChar, int64_t initialColumn, int64_t initialTabs,
                                   int64_t initialLine, TBomDetection detection)
    : FByteReader(stream, bufferSize, detection) {
  FInitial.EndByte = initialByte;
  FInitial.CharCount = initialChar;
  FInitial.LineChars = initialColumn;
  FInitial.LineTabs = initialTabs;
  FInitial.Line = initialLine;
  TUnicodeCodecClass bomClass = FByteReader.BomCodecClass();
  if (codecClass && bomClass && codecClass != bomClass) {
    throw EConvertError("Specified input encoding does not match byte order mark.");
  }
  if (!codecClass) {
    codecClass = bomClass ? bomClass : DefaultCodecClass();
  }
  SetCodecClass(codecClass);
  Reset();
}

TUtilsUCS4Reader::~TUtilsUCS4Reader() = default;

TUnicodeCodecClass TUtilsUCS4Reader::CodecClass() const {
  return FCodec ? FCodec->ClassType() : nullptr;
}

TUnicodeCodecClass TUtilsUCS4Reader::DefaultCodecClass() const {
  return TUTF8Codec::ClassRef();
}

bool TUtilsUCS4Reader::SupplyBytes(TCustomUnicodeCodec&, uint8_t* dest, int32_t count) {
  return FByteReader.ReadBytes(dest, count);
}

bool TUtilsUCS4Reader::Supply(void* owner, TCustomUnicodeCodec& codec, uint8_t* dest,
                              int32_t count) {
  return static_cast<TUtilsUCS4Reader*>(owner)->SupplyBytes(codec, dest, count);
}

void TUtilsUCS4Reader::SetCodecClass(TUnicodeCodecClass codecClass) {
  FCodec.reset();
  FCodec = CreateCodec(codecClass);
  if (FCodec) {
    FCodec->SetReadLineBreaks(FLineBreakMode);
    FCodec->SetByteSource(TByteSource{this, &TUtilsUCS4Reader::Supply, &FByteReader.Window()});
  }
}

void TUtilsUCS4Reader::SetStartOffset(int64_t offset) {
  FStartOffset = offset;
}

bool TUtilsUCS4Reader::MatchText(std::u16string_view text) {
  for (char16_t c : text) {
    Next();
    if (FCurrent->Code != c) {
      return false;
    }
  }
  return true;
}

void TUtilsUCS4Reader::NextSlowly() {
  if (FCurrent->Code == kEndOfInput) {
    return;
  }
  if (FLookahead->Code == kEndOfInput) {
    const CharPosition end = *FLookahead;
    Shift() = end;
    return;
  }
  int32_t code = kEndOfInput;
  int32_t byteLength = 0;
  if (FCodec) {
    FCodec->ReadChar(code, byteLength);
  }
  CharPosition& next = Shift();
  Count(*FCurrent, next, code, byteLength);
}

void TUtilsUCS4Reader::Reset() {
  FByteReader.SeekTo(FStartOffset);
  if (FCodec) {
    FCodec->DiscardPending();
  }
  *FPrevious = *FCurrent = FInitial;
  int32_t code = kEndOfInput;
  int32_t byteLength = 0;
  if (FCodec) {
    FCodec->ReadChar(code, byteLength);
  }
  Count(FInitial, *FLookahead, code, byteLength);
}

int64_t TUtilsUCS4Reader::SkipAny(const TCharSet& set) {
  int64_t skipped = 0;
  for (;;) {
    Next();
    if (AtEnd() || !set.Contains(FCurrent->Code)) {
      return skipped;
    }
    ++skipped;
  }
}

} // namespace velmora
