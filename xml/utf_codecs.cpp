#include "xml/utf_codecs.h"

#include <algorithm>

#include "runtime/format.h"

namespace velmora {

namespace {

constexpr uint32_t kMaxUnicode = 0x10FFFF;

[[noreturn]] void RaiseInvalidEncoding(const char* name) {
  throw EConvertError(Format("Invalid %s encoding", {name}));
}
NarrowString SurrogateMessage(uint32_t value, const char* name) {
  return Format("Surrogate value $%x found in %s. Values between $D800 and $DFFF are reserved "
                "for use with UTF-16",
                {static_cast<long long>(value), name});
}
NarrowString CannotConvertMessage(uint32_t value, const char* name) {
  return Format("Cannot convert $%8.8X to %s", {static_cast<long long>(value), name});
}
[[noreturn]] void RaiseNotACodePoint(int32_t code, const char* name) {
  throw EConvertError(
      Format("$%x is not a valid %s code point", {static_cast<long long>(code), name}));
}
[[noreturn]] void RaiseOutOfRange(const char* name) {
  throw EConvertError(Format("%s encoding out of range", {name}));
}

// The largest value of an n-byte UTF-8 sequence, n = 1 ... 6.
constexpr uint32_t kUtf8Maximum[7] = {0, 0x7F, 0x7FF, 0xFFFF, 0x1FFFFF, 0x3FFFFFF, 0x7FFFFFFF};

// The number of bytes a UTF-8 sequence with this first byte claims (0 for a continuation
// byte, 7 or 8 for the bytes that start no sequence at all).
int Utf8SequenceLength(uint8_t first) {
  int length = 0;
  while (length < 8 && (first & (0x80 >> length)) != 0) {
    ++length;
  }
  return length == 0 ? 1 : (length == 1 ? 0 : length);
}

// Writes a code point as one or two units when they fit.
bool PutCodePoint(uint32_t value, char16_t*& dest, const char16_t* destEnd) {
  if (value < 0x10000) {
    if (dest == destEnd) {
      return false;
    }
    *dest++ = static_cast<char16_t>(value);
    return true;
  }
  if (destEnd - dest < 2) {
    return false;
  }
  value -= 0x10000;
  *dest++ = static_cast<char16_t>(0xD800 + (value >> 10));
  *dest++ = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
  return true;
}

const char16_t* DestEnd(char16_t* dest, int64_t destByteSize) {
  return dest + (destByteSize > 0 ? destByteSize / 2 : 0);
}

} // namespace

// ---- UTF-8

void TUTF8Codec::DecodeChar(int32_t& code, int32_t& byteLength) {
  uint8_t first;
  if (!PullByte(first)) {
    code = kEndOfInput;
    byteLength = 0;
    return;
  }
  if (first < 0x80) {
    code = first;
    byteLength = 1;
    return;
  }
  const int length = Utf8SequenceLength(first);
  if (length == 0 || length > 6) {
    RaiseInvalidEncoding("UTF-8");
  }
  uint32_t value = first & (0x7Fu >> length);
  for (int i = 1; i < length; ++i) {
    uint8_t next;
    if (!PullByte(next) || (next & 0xC0) != 0x80) {
      RaiseInvalidEncoding("UTF-8");
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value <= kUtf8Maximum[length - 1] || value > kMaxUnicode) {
    RaiseInvalidEncoding("UTF-8");
  }
  code = static_cast<int32_t>(value);
  byteLength = length;
}

void TUTF8Codec::EncodeChar(int32_t code, int32_t& byteLength) {
  if (code < 0 || static_cast<uint32_t>(code) > kMaxUnicode) {
    RaiseNotACodePoint(code, "Unicode");
  }
  NarrowString bytes;
  AppendUtf8Unchecked(bytes, static_cast<uint32_t>(code));
  byteLength = static_cast<int32_t>(bytes.size());
  PushBytes(reinterpret_cast<const uint8_t*>(bytes.data()), byteLength);
}

void TUTF8Codec::DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                              int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) {
  char16_t* out = dest;
  const char16_t* outEnd = DestEnd(dest, destByteSize);
  int64_t pos = 0;
  while (pos < byteCount) {
    const uint8_t first = bytes[pos];
    if (first < 0x80) {
      if (out == outEnd) {
        break;
      }
      *out++ = first;
      ++pos;
      continue;
    }
    const int length = Utf8SequenceLength(first);
    bool valid = length >= 2 && length <= 4;
    uint32_t value = first & (0x7Fu >> length);
    int taken = 1;
    while (valid && taken < length && pos + taken < byteCount) {
      const uint8_t next = bytes[pos + taken];
      valid = (next & 0xC0) == 0x80;
      value = (value << 6) | (next & 0x3Fu);
      ++taken;
    }
    if (valid && taken < length) {
      break; // cut off by the end of the buffer: left for the next call
    }
    if (valid && value > kUtf8Maximum[length - 1] && value <= kMaxUnicode) {
      if (!PutCodePoint(value, out, outEnd)) {
        break;
      }
      pos += length;
      continue;
    }
    if (DecodeFailureMode() == FailRaise) {
      RaiseInvalidEncoding("UTF-8");
    }
    const char16_t raw = first;
    if (!ApplyDecodeFailure(&raw, 1, out, outEnd)) {
      break;
    }
    ++pos;
  }
  charsWritten = out - dest;
  bytesUsed = pos;
}

void TUTF8Codec::EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                              int64_t& charsUsed) {
  bytes.clear();
  bytes.reserve(static_cast<size_t>(charCount));
  for (int64_t i = 0; i < charCount; ++i) {
    const char16_t unit = chars[i];
    if (IsHighSurrogate(unit) && i + 1 < charCount && IsLowSurrogate(chars[i + 1])) {
      AppendUtf8Unchecked(bytes, static_cast<uint32_t>(CombineSurrogates(unit, chars[i + 1])));
      ++i;
    } else {
      AppendUtf8Unchecked(bytes, unit);
    }
  }
  charsUsed = charCount;
}

// ---- UTF-16

TCustomUTF16Codec::TCustomUTF16Codec(bool bigEndian, const char* name)
    : FBigEndian(bigEndian), FName(name) {
  SetFastPath(bigEndian ? fpUtf16BE : fpUtf16LE);
}

void TCustomUTF16Codec::PutUnit(char16_t unit, uint8_t* bytes) const {
  bytes[FBigEndian ? 0 : 1] = static_cast<uint8_t>(unit >> 8);
  bytes[FBigEndian ? 1 : 0] = static_cast<uint8_t>(unit & 0xFF);
}

void TCustomUTF16Codec::DecodeChar(int32_t& code, int32_t& byteLength) {
  uint8_t bytes[2];
  if (!PullByte(bytes[0])) {
    code = kEndOfInput;
    byteLength = 0;
    return;
  }
  if (!PullByte(bytes[1])) {
    RaiseInvalidEncoding(FName);
  }
  const char16_t unit = Unit(bytes);
  if (IsLowSurrogate(unit)) {
    RaiseInvalidEncoding(FName);
  }
  if (!IsHighSurrogate(unit)) {
    code = unit;
    byteLength = 2;
    return;
  }
  if (!PullBytes(bytes, 2) || !IsLowSurrogate(Unit(bytes))) {
    RaiseInvalidEncoding(FName);
  }
  code = CombineSurrogates(unit, Unit(bytes));
  byteLength = 4;
}

void TCustomUTF16Codec::EncodeChar(int32_t code, int32_t& byteLength) {
  if (code >= 0 && IsSurrogate(static_cast<uint32_t>(code))) {
    RaiseNotACodePoint(code, "UCS-4");
  }
  if (code < 0 || static_cast<uint32_t>(code) > kMaxUnicode) {
    throw EConvertError(CannotConvertMessage(static_cast<uint32_t>(code), FName));
  }
  uint8_t bytes[4];
  if (code < 0x10000) {
    PutUnit(static_cast<char16_t>(code), bytes);
    byteLength = 2;
  } else {
    const int32_t offset = code - 0x10000;
    PutUnit(static_cast<char16_t>(0xD800 + (offset >> 10)), bytes);
    PutUnit(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)), bytes + 2);
    byteLength = 4;
  }
  PushBytes(bytes, byteLength);
}

void TCustomUTF16Codec::DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                                     int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) {
  const char16_t* destEnd = DestEnd(dest, destByteSize);
  int64_t units = std::min<int64_t>(byteCount / 2, destEnd - dest);
  for (int64_t i = 0; i < units; ++i) {
    dest[i] = Unit(bytes + 2 * i);
  }
  charsWritten = units;
  bytesUsed = units * 2;
}

void TCustomUTF16Codec::EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                                     int64_t& charsUsed) {
  bytes.assign(static_cast<size_t>(charCount) * 2, '\0');
  auto* out = reinterpret_cast<uint8_t*>(bytes.data());
  for (int64_t i = 0; i < charCount; ++i) {
    PutUnit(chars[i], out + 2 * i);
  }
  charsUsed = charCount;
}

// ---- UCS-4

TCustomUCS4Codec::TCustomUCS4Codec(const uint8_t (&shifts)[4], const char* name) : FName(name) {
  for (int i = 0; i < 4; ++i) {
    FShifts[i] = shifts[i];
  }
}

uint32_t TCustomUCS4Codec::Value(const uint8_t* bytes) const {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(bytes[i]) << FShifts[i];
  }
  return value;
}

void TCustomUCS4Codec::EncodeValue(uint32_t value, uint8_t* bytes) const {
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<uint8_t>(value >> FShifts[i]);
  }
}

void TCustomUCS4Codec::DecodeChar(int32_t& code, int32_t& byteLength) {
  uint8_t bytes[4];
  if (!PullByte(bytes[0])) {
    code = kEndOfInput;
    byteLength = 0;
    return;
  }
  if (!PullBytes(bytes + 1, 3)) {
    RaiseInvalidEncoding(FName);
  }
  const uint32_t value = Value(bytes);
  if (IsSurrogate(value)) {
    throw EConvertError(SurrogateMessage(value, FName));
  }
  if (value > kMaxUnicode) {
    throw EConvertError(CannotConvertMessage(value, "UTF-16"));
  }
  code = static_cast<int32_t>(value);
  byteLength = 4;
}

void TCustomUCS4Codec::EncodeChar(int32_t code, int32_t& byteLength) {
  if (code >= 0 && IsSurrogate(static_cast<uint32_t>(code))) {
    throw EConvertError(SurrogateMessage(static_cast<uint32_t>(code), FName));
  }
  if (code < 0 || static_cast<uint32_t>(code) > kMaxUnicode) {
    RaiseNotACodePoint(code, "Unicode");
  }
  uint8_t bytes[4];
  EncodeValue(static_cast<uint32_t>(code), bytes);
  byteLength = 4;
  PushBytes(bytes, 4);
}

void TCustomUCS4Codec::DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) {
  char16_t* out = dest;
  const char16_t* outEnd = DestEnd(dest, destByteSize);
  int64_t pos = 0;
  for (; pos + 4 <= byteCount; pos += 4) {
    const uint32_t value = Value(bytes + pos);
    if (!IsSurrogate(value) && value <= kMaxUnicode) {
      if (!PutCodePoint(value, out, outEnd)) {
        break;
      }
      continue;
    }
    if (DecodeFailureMode() == FailRaise) {
      throw EUnicodeCodecException(IsSurrogate(value) ? SurrogateMessage(value, FName)
                                                      : CannotConvertMessage(value, "UTF-16"),
                                   pos);
    }
    const char16_t halves[2] = {static_cast<char16_t>(value >> 16),
                                static_cast<char16_t>(value & 0xFFFF)};
    if (!ApplyDecodeFailure(halves, 2, out, outEnd)) {
      break;
    }
  }
  charsWritten = out - dest;
  bytesUsed = pos;
}

void TCustomUCS4Codec::EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                                    int64_t& charsUsed) {
  bytes.clear();
  bytes.reserve(static_cast<size_t>(charCount) * 4);
  for (int64_t i = 0; i < charCount; ++i) {
    uint32_t value = chars[i];
    if (IsHighSurrogate(chars[i]) && i + 1 < charCount && IsLowSurrogate(chars[i + 1])) {
      value = static_cast<uint32_t>(CombineSurrogates(chars[i], chars[i + 1]));
      ++i;
    } else if (IsSurrogate(value)) {
      throw EConvertError(SurrogateMessage(value, FName));
    }
    uint8_t unit[4];
    EncodeValue(value, unit);
    bytes.append(reinterpret_cast<const char*>(unit), 4);
  }
  charsUsed = charCount;
}

// ---- UCS-2

void TUCS2Codec::DecodeChar(int32_t& code, int32_t& byteLength) {
  uint8_t bytes[2];
  if (!PullByte(bytes[0])) {
    code = kEndOfInput;
    byteLength = 0;
    return;
  }
  if (!PullByte(bytes[1])) {
    RaiseInvalidEncoding("UCS-2");
  }
  const uint32_t value = (bytes[0] << 8) | bytes[1];
  if (IsSurrogate(value)) {
    throw EConvertError(SurrogateMessage(value, "UCS-2"));
  }
  code = static_cast<int32_t>(value);
  byteLength = 2;
}

void TUCS2Codec::EncodeChar(int32_t code, int32_t& byteLength) {
  if (code < 0 || code > 0xFFFF) {
    RaiseOutOfRange("UCS-2");
  }
  if (IsSurrogate(static_cast<uint32_t>(code))) {
    throw EConvertError(SurrogateMessage(static_cast<uint32_t>(code), "UCS-2"));
  }
  const uint8_t bytes[2] = {static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code & 0xFF)};
  byteLength = 2;
  PushBytes(bytes, 2);
}

void TUCS2Codec::DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                              int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) {
  char16_t* out = dest;
  const char16_t* outEnd = DestEnd(dest, destByteSize);
  int64_t pos = 0;
  for (; pos + 2 <= byteCount; pos += 2) {
    const char16_t unit = static_cast<char16_t>((bytes[pos] << 8) | bytes[pos + 1]);
    if (!IsSurrogate(unit)) {
      if (out == outEnd) {
        break;
      }
      *out++ = unit;
      continue;
    }
    if (DecodeFailureMode() == FailRaise) {
      throw EUnicodeCodecException(SurrogateMessage(unit, "UCS-2"), pos);
    }
    if (!ApplyDecodeFailure(&unit, 1, out, outEnd)) {
      break;
    }
  }
  charsWritten = out - dest;
  bytesUsed = pos;
}

void TUCS2Codec::EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                              int64_t& charsUsed) {
  bytes.clear();
  bytes.reserve(static_cast<size_t>(charCount) * 2);
  for (int64_t i = 0; i < charCount; ++i) {
    if (IsSurrogate(chars[i])) {
      RaiseOutOfRange("UCS-2");
    }
    bytes += static_cast<char>(chars[i] >> 8);
    bytes += static_cast<char>(chars[i] & 0xFF);
  }
  charsUsed = charCount;
}

} // namespace velmora
