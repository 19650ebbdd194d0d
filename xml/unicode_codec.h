#pragma once
// The codec base: turns encoded bytes into Unicode code points and back, one character or
// one buffer at a time. A codec pulls bytes from a byte source (the character reader) and
// pushes bytes to a byte sink; it folds CR and CR LF into LF when asked to.

#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

// Markers that travel beside code points; both lie outside Unicode, so every character of
// the text, U+009C included, reads as itself.
constexpr int32_t kEndOfInput = -1;
constexpr int32_t kBeforeFirstChar = -2;

enum TDecodeFailureMode : uint8_t {
  FailRaise = 0,      // raise
  FailStop = 1,       // stop and report what was done
  FailRaw = 2,        // copy the raw unit unchanged
  FailSkip = 3,       // skip the unit
  FailSubstitute = 4, // write SubstituteChar
};

enum TReadLineBreakMode : uint8_t { ReadBreaksAsIs = 0, ReadBreaksToLF = 1 };

enum TWriteLineBreakMode : uint8_t { WriteLF = 0, WriteCR = 1, WriteCRLF = 2 };

// A failure of a buffer operation, with the offset of the failing unit in the buffer given.
class EUnicodeCodecException : public Exception {
public:
  EUnicodeCodecException(NarrowString message, int64_t byteOffset)
      : Exception(std::move(message)), FByteOffset(byteOffset) {}
  int64_t ByteOffset() const noexcept { return FByteOffset; }
  const char* ClassName() const noexcept override { return "EUnicodeCodecException"; }

private:
  int64_t FByteOffset;
};

class TCustomUnicodeCodec;

// A codec class as a value: what readers store and create codecs from.
struct TUnicodeCodecClassInfo {
  const char* ClassName;
  std::unique_ptr<TCustomUnicodeCodec> (*Create)();
};
using TUnicodeCodecClass = const TUnicodeCodecClassInfo*;

std::unique_ptr<TCustomUnicodeCodec> CreateCodec(TUnicodeCodecClass codecClass);

// Bytes that a byte source holds ready: a codec takes them directly and calls the source
// only when they run short.
struct TByteWindow {
  const uint8_t* Next = nullptr;
  const uint8_t* End = nullptr;
  int64_t Available() const { return End - Next; }
};

// Delivers exactly count bytes into dest, or reports false when the input ends first (the
// bytes that were left are consumed then).
using TByteSupplyFunc = bool (*)(void* owner, TCustomUnicodeCodec& codec, uint8_t* dest,
                                 int32_t count);
struct TByteSource {
  void* Owner = nullptr;
  TByteSupplyFunc Supply = nullptr;
  TByteWindow* Window = nullptr; // optional
};

using TByteSinkFunc = void (*)(void* owner, TCustomUnicodeCodec& codec, const uint8_t* bytes,
                               int32_t count);
struct TByteSink {
  void* Owner = nullptr;
  TByteSinkFunc Write = nullptr;
};

class TCustomUnicodeCodec {
public:
  TCustomUnicodeCodec() = default;
  TCustomUnicodeCodec(const TCustomUnicodeCodec&) = delete;
  TCustomUnicodeCodec& operator=(const TCustomUnicodeCodec&) = delete;
  virtual ~TCustomUnicodeCodec() = default;

  virtual void SetReadLineBreaks(TReadLineBreakMode mode) { FReadLineBreakMode = mode; }
  virtual void SetWriteLineBreaks(TWriteLineBreakMode mode) { FWriteLineBreakMode = mode; }
  // One character from the byte source; kEndOfInput with length 0 when no bytes are left.
  // Undecodable bytes raise EConvertError after consuming at least one byte.
  virtual void DecodeChar(int32_t& code, int32_t& byteLength) = 0;
  // The bytes of one character to the byte sink.
  virtual void EncodeChar(int32_t code, int32_t& byteLength) = 0;
  // Decodes bytes into at most destByteSize bytes of UTF-16 units at dest.
  virtual void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                            int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) = 0;
  // Encodes UTF-16 units into bytes.
  virtual void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                            int64_t& charsUsed) = 0;
  // EncodeChar, writing LF as WriteLineBreakMode says.
  virtual void WriteChar(int32_t code, int32_t& byteLength);
  virtual TUnicodeCodecClass ClassType() const = 0;

  // DecodeChar with CR LF and lone CR read as one LF under ReadBreaksToLF.
  void ReadChar(int32_t& code, int32_t& byteLength);

  // A character taken straight from window (the byte source's window) when it needs
  // nothing but a look-up (no line break, no multi-unit sequence); false sends the caller
  // to ReadChar.
  bool ReadBufferedChar(TByteWindow& window, int32_t& code, int32_t& byteLength);

  // Changing the source drops a character held back while resolving CR.
  void SetByteSource(const TByteSource& source);
  void SetByteSink(const TByteSink& sink) { FByteSink = sink; }
  // Drops a held-back character, for a reader that moves to another position.
  void DiscardPending();

  TDecodeFailureMode DecodeFailureMode() const { return FDecodeFailureMode; }
  void SetDecodeFailureMode(TDecodeFailureMode mode) { FDecodeFailureMode = mode; }
  char16_t SubstituteChar() const { return FSubstituteChar; }
  void SetSubstituteChar(char16_t c) { FSubstituteChar = c; }
  TReadLineBreakMode ReadLineBreakMode() const { return FReadLineBreakMode; }
  TWriteLineBreakMode WriteLineBreakMode() const { return FWriteLineBreakMode; }
  // A character or a decoding failure held back while resolving CR: the next read must
  // go through ReadChar.
  bool HasPending() const { return FHasPending || FHasPendingError; }
  // The bytes of a held-back character, already taken from the source.
  int32_t PendingByteLength() const { return FHasPending ? FPendingSize : 0; }

  // How characters may be decoded straight from a byte window: a byte table maps every
  // byte to its character, or to CR for a byte that needs DecodeChar; the UTF-16 paths
  // read one unit, leaving CR and surrogates to DecodeChar.
  enum TFastPath : uint8_t { fpNone, fpByteTable, fpUtf16LE, fpUtf16BE };
  TFastPath FastPath() const { return FFastPath; }
  const char16_t* ByteTable() const { return FByteTable; }
  // The byte table of ASCII-compatible codecs: bytes below 0x80 only.
  static const char16_t* AsciiByteTable();

protected:
  void SetFastPath(TFastPath path, const char16_t* byteTable = nullptr) {
    FFastPath = path;
    FByteTable = byteTable;
  }
  // One byte from the source; false at the end of the input.
  bool PullByte(uint8_t& byte) {
    TByteWindow* window = FByteSource.Window;
    if (window && window->Next < window->End) {
      byte = *window->Next++;
      return true;
    }
    return FByteSource.Supply && FByteSource.Supply(FByteSource.Owner, *this, &byte, 1);
  }
  // count bytes from the source; false when the input ends first.
  bool PullBytes(uint8_t* dest, int32_t count) {
    TByteWindow* window = FByteSource.Window;
    if (window && window->Available() >= count) {
      std::memcpy(dest, window->Next, static_cast<size_t>(count));
      window->Next += count;
      return true;
    }
    return FByteSource.Supply && FByteSource.Supply(FByteSource.Owner, *this, dest, count);
  }
  void PushBytes(const uint8_t* bytes, int32_t count) {
    if (FByteSink.Write) {
      FByteSink.Write(FByteSink.Owner, *this, bytes, count);
    }
  }

  // For a buffer operation that met an undecodable unit under a mode other than FailRaise:
  // writes what the mode asks for (the raw units or the substitute) and advances dest.
  // False when decoding stops before the unit (FailStop, or no room left).
  bool ApplyDecodeFailure(const char16_t* rawUnits, int rawCount, char16_t*& dest,
                          const char16_t* destEnd) const;

private:
  TDecodeFailureMode FDecodeFailureMode = FailRaise;
  char16_t FSubstituteChar = 0xFFFD;
  TReadLineBreakMode FReadLineBreakMode = ReadBreaksAsIs;
  TWriteLineBreakMode FWriteLineBreakMode = WriteLF;
  TFastPath FFastPath = fpNone;
  const char16_t* FByteTable = nullptr;
  TByteSource FByteSource;
  TByteSink FByteSink;
  bool FHasPending = false;
  bool FHasPendingError = false;
  int32_t FPendingChar = 0;
  int32_t FPendingSize = 0;
  // A decoding failure met while looking past a CR, raised on the next read.
  std::exception_ptr FPendingError;
};

inline bool TCustomUnicodeCodec::ReadBufferedChar(TByteWindow& window, int32_t& code,
                                                  int32_t& byteLength) {
  const uint8_t* next = window.Next;
  const int64_t available = window.End - next;
  if (FHasPending || FHasPendingError || available <= 0) {
    return false;
  }
  int32_t c;
  if (FFastPath == fpByteTable) {
    c = FByteTable[*next];
    byteLength = 1;
  } else if (FFastPath == fpUtf16LE && available >= 2) {
    c = next[0] | (next[1] << 8);
    byteLength = 2;
  } else if (FFastPath == fpUtf16BE && available >= 2) {
    c = (next[0] << 8) | next[1];
    byteLength = 2;
  } else {
    return false;
  }
  if (c == 0x0D || (c >= 0xD800 && c <= 0xDFFF)) {
    return false;
  }
  window.Next = next + byteLength;
  code = c;
  return true;
}

// The UTF-16 units of bytes decoded with codec (whole-string conversion).
WideString DecodeText(TCustomUnicodeCodec& codec, std::string_view bytes);
// The bytes of text encoded with codec.
NarrowString EncodeText(TCustomUnicodeCodec& codec, std::u16string_view text);

// Declares the class reference of a concrete codec.
#define VELMORA_CODEC_CLASS(Name)                                                                  \
public:                                                                                            \
  static TUnicodeCodecClass ClassRef() {                                                           \
    static const TUnicodeCodecClassInfo info = {                                                   \
        #Name, []() -> std::unique_ptr<TCustomUnicodeCodec> { return std::make_unique<Name>(); }}; \
    return &info;                                                                                  \
  }                                                                                                \
  TUnicodeCodecClass ClassType() const override {                                                  \
    return ClassRef();                                                                             \
  }

} // namespace velmora
