#pragma once
// Feeds a codec from bytes in memory (without a byte window, so every byte goes through
// the source function) and collects what it encodes.

#include <vector>

#include "xml/unicode_codec.h"

namespace velmora::testing {

class TTestByteSource {
public:
  TTestByteSource(TCustomUnicodeCodec& codec, std::string_view bytes) : FBytes(bytes) {
    codec.SetByteSource(TByteSource{this, &TTestByteSource::Supply, nullptr});
  }
  size_t Consumed() const { return FPos; }

private:
  static bool Supply(void* owner, TCustomUnicodeCodec&, uint8_t* dest, int32_t count) {
    auto* self = static_cast<TTestByteSource*>(owner);
    const size_t left = self->FBytes.size() - self->FPos;
    const size_t taken = std::min(left, static_cast<size_t>(count));
    for (size_t i = 0; i < taken; ++i) {
      dest[i] = static_cast<uint8_t>(self->FBytes[self->FPos + i]);
    }
    self->FPos += taken;
    return taken == static_cast<size_t>(count);
  }

  std::string_view FBytes;
  size_t FPos = 0;
};

class TTestByteSink {
public:
  explicit TTestByteSink(TCustomUnicodeCodec& codec) {
    codec.SetByteSink(TByteSink{this, &TTestByteSink::Write});
  }
  const NarrowString& Bytes() const { return FBytes; }

private:
  static void Write(void* owner, TCustomUnicodeCodec&, const uint8_t* bytes, int32_t count) {
    static_cast<TTestByteSink*>(owner)->FBytes.append(reinterpret_cast<const char*>(bytes),
                                                      static_cast<size_t>(count));
  }

  NarrowString FBytes;
};

// Every code point ReadChar gives for bytes, up to the end marker.
inline std::vector<int32_t> ReadAllChars(TCustomUnicodeCodec& codec, std::string_view bytes) {
  TTestByteSource source(codec, bytes);
  std::vector<int32_t> codes;
  for (;;) {
    int32_t code = 0;
    int32_t length = 0;
    codec.ReadChar(code, length);
    if (code == kEndOfInput) {
      return codes;
    }
    codes.push_back(code);
  }
}

// The bytes EncodeChar writes for code.
inline NarrowString EncodeOneChar(TCustomUnicodeCodec& codec, int32_t code) {
  TTestByteSink sink(codec);
  int32_t length = 0;
  codec.EncodeChar(code, length);
  return sink.Bytes();
}

} // namespace velmora::testing
