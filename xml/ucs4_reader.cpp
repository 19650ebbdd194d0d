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
  FResync = false;
  if (FCodec) {
    FCodec->SetReadLineBreaks(FLineBreakMode);
    FCodec->SetByteSource(TByteSource{this, &TUtilsUCS4Reader::Supply, &FByteReader.Window()});
  }
  FCodecExtendsAscii = false;
  if (FCodec && FCodec->FastPath() == TCustomUnicodeCodec::fpByteTable) {
    const char16_t* const table = FCodec->ByteTable();
    FCodecExtendsAscii = true;
    for (int byte = 0x20; byte < 0x80; ++byte) {
      FCodecExtendsAscii = FCodecExtendsAscii && table[byte] == byte;
    }
  }
  UpdateWindowMode();
}

void TUtilsUCS4Reader::UpdateWindowMode() {
  if (!FCodec || FResync || FCodec->HasPending() ||
      FCodec->FastPath() == TCustomUnicodeCodec::fpNone) {
    FWindowMode = wmNone;
  } else if (FCodec->FastPath() == TCustomUnicodeCodec::fpByteTable &&
             FCodec->ByteTable() == TCustomUnicodeCodec::AsciiByteTable()) {
    FWindowMode = FCodec->ClassType() == TUTF8Codec::ClassRef() ? wmUtf8 : wmAscii;
  } else {
    FWindowMode = wmCodec;
  }
  FPrintableAsciiWindow = FWindowMode == wmAscii || FWindowMode == wmUtf8 ||
                          (FWindowMode == wmCodec && FCodecExtendsAscii);
}

void TUtilsUCS4Reader::SetStartOffset(int64_t offset) {
  FStartOffset = offset;
}

bool TUtilsUCS4Reader::MatchText(std::u16string_view text) {
  for (char16_t c : text) {
    Advance();
    if (CurrentCode() != c) {
      return false;
    }
  }
  return true;
}

void TUtilsUCS4Reader::PlaceAt(const CharPosition& position) {
  FEndByte = position.EndByte;
  FCharCount = position.CharCount;
  FLine = position.Line;
  FLineTabs = position.LineTabs;
  FLineStart = position.CharCount - position.LineChars - position.LineTabs;
  for (int slot = kPrevious; slot <= kAhead; ++slot) {
    FSlots[slot] = TCharSlot{position.Code, position.ByteLength};
    FExtras[slot] = TSlotExtra();
    FExtras[slot].SameAsBefore = true;
  }
  FExtraMask = 7;
}

void TUtilsUCS4Reader::AdvanceOtherwise() {
  TByteWindow& window = FByteReader.Window();
  if (FWindowMode == wmCodec && window.Next < window.End) {
    int32_t code;
    int32_t byteLength;
    if (FCodec->ReadBufferedChar(window, code, byteLength)) {
      CountChar(code, byteLength);
      return;
    }
  }
  NextSlowly();
}

void TUtilsUCS4Reader::NextSlowly() {
  if (CurrentCode() == kEndOfInput) {
    return;
  }
  if (AheadCode() == kEndOfInput) {
    // The end is read again: the same position.
    PushSlot(kEndOfInput, 0);
    AheadExtra().SameAsBefore = true;
    return;
  }
  int32_t code = kEndOfInput;
  int32_t byteLength = 0;
  if (FCodec) {
    try {
      FCodec->ReadChar(code, byteLength);
    } catch (...) {
      // The bytes the failed decode took belong to no character; the next one read counts
      // them (the window path is closed until then).
      FResync = true;
      UpdateWindowMode();
      throw;
    }
  }
  CountChar(code, byteLength);
  if (FResync && FCodec) {
    ResyncEndByte();
    FResync = false;
  }
  UpdateWindowMode();
}

void TUtilsUCS4Reader::ResyncEndByte() {
  const int64_t counted = FEndByte;
  FEndByte = FInitial.EndByte + FByteReader.Position() - FStartOffset - FCodec->PendingByteLength();
  if ((FExtraMask & 1 << kAhead) == 0) {
    AheadExtra();
  }
  FExtras[kAhead].GapBefore = FEndByte - counted;
}

void TUtilsUCS4Reader::Reset() {
  FByteReader.SeekTo(FStartOffset);
  FResync = false;
  if (FCodec) {
    FCodec->DiscardPending();
  }
  PlaceAt(FInitial);
  int32_t code = kEndOfInput;
  int32_t byteLength = 0;
  if (FCodec) {
    try {
      FCodec->ReadChar(code, byteLength);
    } catch (...) {
      FResync = true;
      UpdateWindowMode();
      throw;
    }
  }
  CountChar(code, byteLength);
  UpdateWindowMode();
}

int64_t TUtilsUCS4Reader::SkipAny(const TCharSet& set) {
  int64_t skipped = 0;
  for (;;) {
    Advance();
    if (AtEnd() || !set.Contains(CurrentCode())) {
      return skipped;
    }
    ++skipped;
  }
}

} // namespace velmora
