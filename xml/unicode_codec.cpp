#include "xml/unicode_codec.h"

#include <array>

namespace velmora {

namespace {

constexpr std::array<char16_t, 256> MakeAsciiByteTable() {
  std::array<char16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = static_cast<char16_t>(byte < 0x80 ? byte : 0x0D);
  }
  return table;
}

constexpr std::array<char16_t, 256> kAsciiTable = MakeAsciiByteTable();

} // namespace

const char16_t* TCustomUnicodeCodec::AsciiByteTable() {
  return kAsciiTable.data();
}

std::unique_ptr<TCustomUnicodeCodec> CreateCodec(TUnicodeCodecClass codecClass) {
  return codecClass ? codecClass->Create() : nullptr;
}

void TCustomUnicodeCodec::WriteChar(int32_t code, int32_t& byteLength) {
  if (code != 0x0A || FWriteLineBreakMode == WriteLF) {
    EncodeChar(code, byteLength);
    return;
  }
  EncodeChar(0x0D, byteLength);
  if (FWriteLineBreakMode == WriteCRLF) {
    int32_t lineFeedLength = 0;
    EncodeChar(0x0A, lineFeedLength);
    byteLength += lineFeedLength;
  }
}

void TCustomUnicodeCodec::ReadChar(int32_t& code, int32_t& byteLength) {
  if (FHasPendingError) {
    std::exception_ptr error = std::move(FPendingError);
    FPendingError = nullptr;
    FHasPendingError = false;
    std::rethrow_exception(error);
  }
  if (FHasPending) {
    FHasPending = false;
    code = FPendingChar;
    byteLength = FPendingSize;
  } else {
    DecodeChar(code, byteLength);
  }
  if (code != 0x0D || FReadLineBreakMode != ReadBreaksToLF) {
    return;
  }
  code = 0x0A;
  int32_t next = kEndOfInput;
  int32_t nextLength = 0;
  try {
    DecodeChar(next, nextLength);
  } catch (...) {
    // The line break is whole; the failure belongs to the character after it.
    FPendingError = std::current_exception();
    FHasPendingError = true;
    return;
  }
  if (next == 0x0A) {
    byteLength += nextLength;
  } else {
    FHasPending = true;
    FPendingChar = next;
    FPendingSize = nextLength;
  }
}

void TCustomUnicodeCodec::SetByteSource(const TByteSource& source) {
  FByteSource = source;
  DiscardPending();
}

void TCustomUnicodeCodec::DiscardPending() {
  FHasPending = false;
  FHasPendingError = false;
  FPendingError = nullptr;
}

bool TCustomUnicodeCodec::ApplyDecodeFailure(const char16_t* rawUnits, int rawCount,
                                             char16_t*& dest, const char16_t* destEnd) const {
  switch (FDecodeFailureMode) {
  case FailRaw:
    if (destEnd - dest < rawCount) {
      return false;
    }
    for (int i = 0; i < rawCount; ++i) {
      *dest++ = rawUnits[i];
    }
    return true;
  case FailSkip:
    return true;
  case FailSubstitute:
    if (dest == destEnd) {
      return false;
    }
    *dest++ = FSubstituteChar;
    return true;
  default:
    return false;
  }
}

WideString DecodeText(TCustomUnicodeCodec& codec, std::string_view bytes) {
  // Never more units than bytes: every unit takes at least one byte, a pair at least two.
  WideString result(bytes.size(), u'\0');
  int64_t written = 0;
  int64_t used = 0;
  codec.DecodeBuffer(reinterpret_cast<const uint8_t*>(bytes.data()),
                     static_cast<int64_t>(bytes.size()), written, used,
                     static_cast<int64_t>(result.size() * sizeof(char16_t)), result.data());
  result.resize(static_cast<size_t>(written));
  return result;
}

NarrowString EncodeText(TCustomUnicodeCodec& codec, std::u16string_view text) {
  NarrowString bytes;
  int64_t used = 0;
  codec.EncodeBuffer(text.data(), static_cast<int64_t>(text.size()), bytes, used);
  return bytes;
}

} // namespace velmora
