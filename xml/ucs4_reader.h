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

// A set of characters below U+0100, for SkipAny and the runs: it also knows which code
// units end a run of plain characters.
class TCharSet {
public:
  constexpr TCharSet(std::u16string_view chars) {
    for (int c = 0; c < 256; ++c) {
      FClasses[c] = c < 0x20 ? kControl : c >= 0x80 ? kHighByte : 0;
    }
    for (char16_t c : chars) {
      if (c < 256) {
        FClasses[c] |= kMember;
      }
      if (c >= 0x20 && c < 0x80 && FPrintableCount < kMaxPrintable) {
        for (uint8_t& byte : FPrintable[FPrintableCount]) {
          byte = static_cast<uint8_t>(c);
        }
        ++FPrintableCount;
      } else if (c >= 0x20 && c < 0x80) {
        FPrintableCount = kMaxPrintable + 1; // too many for the block-wise scan
      }
    }
  }
  bool Contains(int32_t c) const { return c >= 0 && c < 256 && (FClasses[c] & kMember) != 0; }
  // A member, or a control character (line breaks and TABs are counted apart; the rest
  // go through the codec).
  bool EndsRun(char16_t c) const { return c < 256 && (FClasses[c] & (kMember | kControl)) != 0; }
  // The same for a byte of UTF-8, where every byte above 0x7F needs the codec.
  bool EndsAsciiRun(uint8_t byte) const { return FClasses[byte] != 0; }
  // The members from U+0020 to U+007F, each repeated over sixteen bytes, for scanning
  // blocks of bytes; false when there are more than a few.
  static constexpr int kMaxPrintable = 6;
  using TBlock = uint8_t[16];
  bool PrintableMembers(const TBlock*& members, int& count) const {
    members = FPrintable;
    count = FPrintableCount;
    return FPrintableCount <= kMaxPrintable;
  }

private:
  static constexpr uint8_t kMember = 1;
  static constexpr uint8_t kControl = 2;
  static constexpr uint8_t kHighByte = 4;
  uint8_t FClasses[256] = {};
  alignas(16) TBlock FPrintable[kMaxPrintable] = {};
  int FPrintableCount = 0;
};

class TUtilsCustomWideStr;

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

  // The runs of the tokenizers. Each repeats "while the look-ahead qualifies: advance and
  // append the new current character to text" (text may be none for skipping); positions
  // and errors are exactly those of that loop, but plain characters are taken from the
  // byte window in bulk and positions are written once per run.
  // While the look-ahead is neither the end nor in stop.
  void AppendUntil(const TCharSet& stop, TUtilsCustomWideStr& text);
  // The contents of a tag: while the look-ahead is not "/", ">" or the end, where a
  // quoted value may hold "/" and ">". openQuote is the quote of the value open at the
  // current character, or 0, before and after.
  void AppendTagText(TUtilsCustomWideStr& text, int32_t& openQuote);
  // While the look-ahead is a name character.
  void AppendNameChars(TUtilsCustomWideStr& text);
  // While the look-ahead is white space (SPACE, TAB, CR, LF); returns how many.
  int64_t SkipWhiteSpaceAhead();

  // Next without a virtual call, for the tokenizers' own loops.
  void Advance();

  int32_t BufferSize() const { return FByteReader.BufferSize(); }
  TUnicodeCodecClass BomCodecClass() const { return FByteReader.BomCodecClass(); }
  bool AtEnd() const { return CurrentCode() == kEndOfInput; }
  // The positions of the three newest characters, built from the cursor when asked for.
  CharPosition Current() const {
    CharPosition position = Lookahead();
    StepBack(position, kAhead);
    return position;
  }
  CharPosition Previous() const {
    CharPosition position = Current();
    StepBack(position, kCurrent);
    return position;
  }
  CharPosition Lookahead() const {
    const TCharSlot& slot = FSlots[kAhead];
    CharPosition position;
    position.EndByte = FEndByte;
    position.CharCount = FCharCount;
    position.Code = slot.Code;
    position.Line = FLine;
    position.LineChars = FCharCount - FLineStart - FLineTabs;
    position.ByteLength = slot.ByteLength;
    position.LineTabs = FLineTabs;
    return position;
  }
  int32_t CurrentCode() const { return FSlots[kCurrent].Code; }
  int32_t AheadCode() const { return FSlots[kAhead].Code; }
  const CharPosition& Initial() const { return FInitial; }
  int64_t StartOffset() const { return FStartOffset; }

protected:
  void SetInitial(const CharPosition& position) { FInitial = position; }

private:
  // The three newest characters (previous, current, look-ahead): what the cursor needs
  // besides its counters to rebuild their positions.
  static constexpr int kPrevious = 0;
  static constexpr int kCurrent = 1;
  static constexpr int kAhead = 2;
  struct TCharSlot {
    int32_t Code = kBeforeFirstChar;
    int32_t ByteLength = 0;
  };
  // What only some of them carry.
  struct TSlotExtra {
    // The character before stands at the same counts: the initial position, or the end
    // read again.
    bool SameAsBefore = false;
    // Bytes between the character before and this one, taken by a failed decode.
    int64_t GapBefore = 0;
    // For an LF: the line counts of the character before it.
    int64_t LineCharsBefore = 0;
    int64_t LineTabsBefore = 0;
  };

  static bool Supply(void* owner, TCustomUnicodeCodec& codec, uint8_t* dest, int32_t count);
  // Advance for anything but an ASCII byte in the window.
  void AdvanceOtherwise();
  // Next at the end, after a refill or for a character that needs the codec's full work.
  void NextSlowly();
  // After a failed decode: the look-ahead's end byte from what the codec really took.
  void ResyncEndByte();
  // One bulk step of a run under rule (what stops it); false when it could not move, and
  // the caller steps by hand.
  template <class TRule> bool Run(TRule& rule, TUtilsCustomWideStr& text);
  template <class TRule> bool RunAscii(TRule& rule, TUtilsCustomWideStr& text);
  template <class TDecode, class TRule>
  bool RunWith(TDecode decode, TRule& rule, TUtilsCustomWideStr& text);

  // A new look-ahead: the slots move down by one.
  void PushSlot(int32_t code, int32_t byteLength) {
    FSlots[kPrevious] = FSlots[kCurrent];
    FSlots[kCurrent] = FSlots[kAhead];
    FSlots[kAhead] = TCharSlot{code, byteLength};
    if (FExtraMask != 0) {
      FExtras[kPrevious] = FExtras[kCurrent];
      FExtras[kCurrent] = FExtras[kAhead];
      FExtraMask >>= 1;
    }
  }
  // The extra of the look-ahead, made fresh.
  TSlotExtra& AheadExtra() {
    FExtras[kAhead] = TSlotExtra();
    FExtraMask |= 1 << kAhead;
    return FExtras[kAhead];
  }
  // Counts a newly read character as the look-ahead.
  void CountChar(int32_t code, int32_t byteLength) {
    PushSlot(code, byteLength);
    FEndByte += byteLength;
    ++FCharCount;
    if (code == 0x0A) {
      TSlotExtra& extra = AheadExtra();
      extra.LineCharsBefore = FCharCount - 1 - FLineStart - FLineTabs;
      extra.LineTabsBefore = FLineTabs;
      ++FLine;
      FLineStart = FCharCount;
      FLineTabs = 0;
    } else if (code == 0x09) {
      ++FLineTabs;
    }
  }
  // From the position of the character in slot later to that of the one before it.
  void StepBack(CharPosition& position, int later) const {
    const TCharSlot& slot = FSlots[later];
    const bool extra = (FExtraMask >> later & 1) != 0;
    if (!extra || !FExtras[later].SameAsBefore) {
      position.EndByte -= slot.ByteLength + (extra ? FExtras[later].GapBefore : 0);
      --position.CharCount;
      if (slot.Code == 0x0A) {
        --position.Line;
        position.LineChars = FExtras[later].LineCharsBefore;
        position.LineTabs = FExtras[later].LineTabsBefore;
      } else if (slot.Code == 0x09) {
        --position.LineTabs;
      } else {
        --position.LineChars;
      }
    }
    position.Code = FSlots[later - 1].Code;
    position.ByteLength = FSlots[later - 1].ByteLength;
  }
  // The cursor at position, with every slot standing for it.
  void PlaceAt(const CharPosition& position);

  TUtilsBOMReader FByteReader;
  std::unique_ptr<TCustomUnicodeCodec> FCodec;
  // The cursor: the look-ahead's counts, and the slots of the three newest characters.
  int64_t FEndByte = 0;
  int64_t FCharCount = 0;
  int64_t FLine = 0;
  int64_t FLineStart = 0; // the character count at which the look-ahead's line began
  int64_t FLineTabs = 0;
  TCharSlot FSlots[3];
  TSlotExtra FExtras[3];
  uint8_t FExtraMask = 0; // bit i: FExtras[i] is in use
  CharPosition FInitial;
  TReadLineBreakMode FLineBreakMode = ReadBreaksToLF;
  int64_t FStartOffset = 0;
  // A failed decode waits for its bytes to be counted by the next character read.
  bool FResync = false;
  // How the next character may be taken from the byte window: not at all (no codec, a
  // character held back by the codec, a failure to count), as an ASCII byte (of US-ASCII
  // or of UTF-8, whose runs also take two-byte sequences), or through the codec's window
  // path.
  enum TWindowMode : uint8_t { wmNone, wmAscii, wmUtf8, wmCodec };
  TWindowMode FWindowMode = wmNone;
  // The window's bytes from 0x20 to 0x7F are those characters (US-ASCII, UTF-8 and the
  // single-byte codecs that extend ASCII): the ASCII runs may take them.
  bool FPrintableAsciiWindow = false;
  bool FCodecExtendsAscii = false; // a byte table that maps 0x20 to 0x7F to themselves
  void UpdateWindowMode();
};

// Inline for the common case, a character decoded straight from the buffer: the
// tokenizers call it for every character of markup.
// (While the byte window holds bytes, the look-ahead is not the end.)
// Only an ASCII byte is taken inline; everything else goes through one call.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void TUtilsUCS4Reader::Advance() {
  TByteWindow& window = FByteReader.Window();
  if ((FWindowMode == wmAscii || FWindowMode == wmUtf8) && window.Next < window.End) {
    const uint8_t byte = *window.Next;
    if (byte < 0x80 && byte != 0x0D) {
      ++window.Next;
      CountChar(byte, 1);
      return;
    }
  }
  AdvanceOtherwise();
}

inline void TUtilsUCS4Reader::Next() {
  Advance();
}

} // namespace velmora
