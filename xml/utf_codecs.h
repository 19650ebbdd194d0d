#pragma once
// The codecs of the Unicode encoding forms: UTF-8, UTF-16 in both byte orders, UCS-4 in
// its four byte orders and UCS-2.

#include "xml/unicode_codec.h"

namespace velmora {

// UTF-8. Reading refuses stray continuation bytes, overlong forms and values above
// U+10FFFF; surrogate code points pass (the XML character rules refuse them later).
class TUTF8Codec final : public TCustomUnicodeCodec {
  VELMORA_CODEC_CLASS(TUTF8Codec)

  TUTF8Codec() { SetFastPath(fpByteTable, AsciiByteTable()); }
  void DecodeChar(int32_t& code, int32_t& byteLength) override;
  // Values above U+10FFFF raise EConvertError.
  void EncodeChar(int32_t code, int32_t& byteLength) override;
  // A sequence cut off at the end of the buffer is left unconsumed; values above U+FFFF
  // become surrogate pairs.
  void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) override;
  // A surrogate pair becomes one 4-byte sequence.
  void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                    int64_t& charsUsed) override;
};

// The work of both UTF-16 codecs; the byte order is the only difference.
class TCustomUTF16Codec : public TCustomUnicodeCodec {
public:
  // Surrogate pairs are combined; a lone surrogate or a cut-off unit raises EConvertError.
  void DecodeChar(int32_t& code, int32_t& byteLength) override;
  void EncodeChar(int32_t code, int32_t& byteLength) override;
  // Units are copied as they are; an odd trailing byte is left unconsumed.
  void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) override;
  void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                    int64_t& charsUsed) override;

protected:
  TCustomUTF16Codec(bool bigEndian, const char* name);

private:
  char16_t Unit(const uint8_t* bytes) const {
    return static_cast<char16_t>(FBigEndian ? (bytes[0] << 8) | bytes[1]
                                            : (bytes[1] << 8) | bytes[0]);
  }
  void PutUnit(char16_t unit, uint8_t* bytes) const;

  bool FBigEndian;
  const char* FName;
};

class TUTF16BECodec final : public TCustomUTF16Codec {
  VELMORA_CODEC_CLASS(TUTF16BECodec)
  TUTF16BECodec() : TCustomUTF16Codec(true, "UTF-16BE") {}
};

class TUTF16LECodec final : public TCustomUTF16Codec {
  VELMORA_CODEC_CLASS(TUTF16LECodec)
  TUTF16LECodec() : TCustomUTF16Codec(false, "UTF-16LE") {}
};

// The work of the four UCS-4 codecs; the byte order is the only difference. Surrogate
// values and values above U+10FFFF raise, so do 1 to 3 bytes left at the end.
class TCustomUCS4Codec : public TCustomUnicodeCodec {
public:
  void DecodeChar(int32_t& code, int32_t& byteLength) override;
  void EncodeChar(int32_t code, int32_t& byteLength) override;
  // Values above U+FFFF become surrogate pairs; trailing bytes short of a unit are left
  // unconsumed; undecodable units are handled by DecodeFailureMode.
  void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) override;
  void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                    int64_t& charsUsed) override;

protected:
  // shifts: the shift of each of the four bytes in the order they are read.
  TCustomUCS4Codec(const uint8_t (&shifts)[4], const char* name);

private:
  uint32_t Value(const uint8_t* bytes) const;
  void EncodeValue(uint32_t value, uint8_t* bytes) const;

  uint8_t FShifts[4];
  const char* FName;
};

class TUCS4BECodec final : public TCustomUCS4Codec {
  VELMORA_CODEC_CLASS(TUCS4BECodec)
  TUCS4BECodec() : TCustomUCS4Codec({24, 16, 8, 0}, "UCS-4BE") {}
};

class TUCS4LECodec final : public TCustomUCS4Codec {
  VELMORA_CODEC_CLASS(TUCS4LECodec)
  TUCS4LECodec() : TCustomUCS4Codec({0, 8, 16, 24}, "UCS-4LE") {}
};

class TUCS4_2143Codec final : public TCustomUCS4Codec {
  VELMORA_CODEC_CLASS(TUCS4_2143Codec)
  TUCS4_2143Codec() : TCustomUCS4Codec({16, 24, 0, 8}, "UCS-4") {}
};

class TUCS4_3412Codec final : public TCustomUCS4Codec {
  VELMORA_CODEC_CLASS(TUCS4_3412Codec)
  TUCS4_3412Codec() : TCustomUCS4Codec({8, 0, 24, 16}, "UCS-4") {}
};

// UCS-2, high byte first: one 16-bit unit per character, no surrogates.
class TUCS2Codec final : public TCustomUnicodeCodec {
  VELMORA_CODEC_CLASS(TUCS2Codec)

  TUCS2Codec() { SetFastPath(fpUtf16BE); }
  void DecodeChar(int32_t& code, int32_t& byteLength) override;
  void EncodeChar(int32_t code, int32_t& byteLength) override;
  void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) override;
  void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                    int64_t& charsUsed) override;
};

} // namespace velmora
