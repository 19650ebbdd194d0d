#pragma once
// The character reader: decodes a stream into code points with one character of
// look-ahead, reads CR LF and lone CR as LF, and counts bytes, characters, lines, columns
// and tabs.

#include <memory>

#include "xml/byte_readers.h"

namespace velmora {

// The position of one character read.
struct CharPosition {
  int64_t EndByte = 0;   // bytes up to and including this character, plus the initial value
  int64_t CharCount = 0; // characters up to and including this one, plus the initial value
  int32_t Code = kBeforeFirstChar;
  int64_t Line = 0;
  int64_t LineChars = 0;  // characters other than TAB since the line began, this one included
  int32_t ByteLength = 0; // bytes of this character (both of a CR LF read as LF)
  int64_t LineTabs = 0;   // TABs since the line began, this one included

  // A TAB counts as one column; an LF has column 0, the next character column 1.
  int64_t Column() const { return LineChars + LineTabs; }
  // Where the character's bytes begin.
  int64_t StartByte() const { return EndByte - ByteLength; }
};

// A set of characters below U+0100, for SkipAny.
class TCharSet {
public:
  constexpr TCharSet(std::u16string_view chars) {
    for (char16_t c : chars) {
      if (c < 256) {
        FBits[c >> 6] |= uint64_t{1} << (c & 63);
      }
    }
  }
  bool Contains(int32_t c) const {
    return c >= 0 && c < 256 && (FBits[c >> 6] >> (c & 63) & 1) != 0;
  }

private:
  uint64_t FBits[4] = {};
};

class TUtilsUCS4Reader {
public:
  // Detects a byte-order mark (unless detection is bdNone) and reads with codecClass, or
  // with the mark's codec, or with DefaultCodecClass. A codecClass that contradicts the
  // mark raises EConvertError. The five initial values start the counts; the reader then
  // stands before the first character.
  TUtilsUCS4Reader(TStream* stream, int32_t bufferSize, TUnicodeCodecClass codecClass,
                   int64_t initialByte, int64_t initialChar, int64_t initialColumn,
                   int64_t initialTabs, int64_t initialLine, TBomDetection detection = bdDetect);
  TUtilsUCS4Reader(const TUtilsUCS4Reader&) = delete;
  TUtilsUCS4Reader& operator=(const TUtilsUCS4Reader&) = delete;
  virtual ~TUtilsUCS4Reader();

  virtual TUnicodeCodecClass CodecClass() const;
  virtual TUnicodeCodecClass DefaultCodecClass() const;
  // The codec's byte source.
  virtual bool SupplyBytes(TCustomUnicodeCodec& codec, uint8_t* dest, int32_t count);
  // Replaces the codec; a character it held back is dropped.
  virtual void SetCodecClass(TUnicodeCodecClass codecClass);
  // Where Reset starts reading, in bytes after the mark.
  virtual void SetStartOffset(int64_t offset);
  // Advances over each character of text while it matches; the first mismatch stays
  // consumed.
  virtual bool MatchText(std::u16string_view text);
  // Moves to the next character; a decoding failure raises EConvertError and leaves the
  // position as it was (the failing bytes are consumed).
  virtual void Next();
  // Back to the start offset and the initial position.
  virtual void Reset();
  // Advances, and on over the characters of set; returns how many of them were passed.
  // The current character is then the first one outside set.
  virtual int64_t SkipAny(const TCharSet& set);

  int32_t BufferSize() const { return FByteReader.BufferSize(); }
  TUnicodeCodecClass BomCodecClass() const { return FByteReader.BomCodecClass(); }
  bool AtEnd() const { return FCurrent->Code == kEndOfInput; }
  const CharPosition& Current() const { return *FCurrent; }
  const CharPosition& Previous() const { return *FPrevious; }
  const CharPosition& Lookahead() const { return *FLookahead; }
  const CharPosition& Initial() const { return FInitial; }
  int64_t StartOffset() const { return FStartOffset; }

protected:
  void SetInitial(const CharPosition& position) { FInitial = position; }

private:
  static bool Supply(void* owner, TCustomUnicodeCodec& codec, uint8_t* dest, int32_t count);
  // Next at the end, after a refill or for a character that needs the codec's full work.
  void NextSlowly();
  // The position of the character read after from; field by field, so each value is
  // loaded as it was stored.
  static void Count(const CharPosition& from, CharPosition& to, int32_t code, int32_t byteLength);
  // Previous := Current, Current := Lookahead, by turning the three slots; the returned
  // slot is the new look-ahead's (still holding the old previous position).
  CharPosition& Shift() {
    CharPosition* freed = FPrevious;
    FPrevious = FCurrent;
    FCurrent = FLookahead;
    FLookahead = freed;
    return *freed;
  }

  TUtilsBOMReader FByteReader;
  std::unique_ptr<TCustomUnicodeCodec> FCodec;
  CharPosition FSlots[3];
  CharPosition* FPrevious = &FSlots[0];
  CharPosition* FCurrent = &FSlots[1];
  CharPosition* FLookahead = &FSlots[2];
  CharPosition FInitial;
  TReadLineBreakMode FLineBreakMode = ReadBreaksToLF;
  int64_t FStartOffset = 0;
};

inline void TUtilsUCS4Reader::Count(const CharPosition& from, CharPosition& to, int32_t code,
                                    int32_t byteLength) {
  to.EndByte = from.EndByte + byteLength;
  to.CharCount = from.CharCount + 1;
  to.Code = code;
  to.ByteLength = byteLength;
  if (code == 0x0A) {
    to.Line = from.Line + 1;
    to.LineChars = 0;
    to.LineTabs = 0;
    return;
  }
  to.Line = from.Line;
  const bool tab = code == 0x09;
  to.LineChars = from.LineChars + !tab;
  to.LineTabs = from.LineTabs + tab;
}

// Inline for the common case, a character decoded straight from the buffer: the
// tokenizers call it for every character, and through a final source class the call
// needs no dispatch.
inline void TUtilsUCS4Reader::Next() {
  int32_t code;
  int32_t byteLength;
  if (FLookahead->Code != kEndOfInput && FCodec &&
      FCodec->ReadBufferedChar(FByteReader.Window(), code, byteLength)) {
    CharPosition& next = Shift();
    Count(*FCurrent, next, code, byteLength);
    return;
  }
  NextSlowly();
}

} // namespace velmora
