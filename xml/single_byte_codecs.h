#pragma once
// The single-byte codecs: one table of 256 code points per code page, read directly when
// decoding; encoding searches the same table in reverse.

#include <array>

#include "xml/unicode_codec.h"

namespace velmora {

// A code page: its name in messages and the code point of every byte (0xFFFF: undefined).
struct TCodePage {
  const char* Name;
  char16_t Decode[256];
};

constexpr char16_t kUndefinedByteCode = 0xFFFF;

class TCustomSingleByteCodec : public TCustomUnicodeCodec {
public:
  void DecodeChar(int32_t& code, int32_t& byteLength) override;
  // Writes the one byte of CodeToByteChecked.
  void EncodeChar(int32_t code, int32_t& byteLength) override;
  void DecodeBuffer(const uint8_t* bytes, int64_t byteCount, int64_t& charsWritten,
                    int64_t& bytesUsed, int64_t destByteSize, char16_t* dest) override;
  void EncodeBuffer(const char16_t* chars, int64_t charCount, NarrowString& bytes,
                    int64_t& charsUsed) override;

  virtual char16_t ByteToCode(uint8_t byte) = 0;
  // EConvertError "Unicode code point $%x has no equivalent in %s" when the code page
  // lacks code (U+FFFF included).
  virtual uint8_t CodeToByte(char16_t code) = 0;
  virtual char16_t ByteToWideChar(uint8_t byte) { return ByteToCode(byte); }
  // CodeToByte for any code point: those outside the BMP raise EConvertError.
  virtual uint8_t CodeToByteChecked(int32_t code);

  // The byte of code, or -1 when the code page lacks it.
  int FindByte(int32_t code) const {
    if (FEncodingCount >= 0 && code >= 0 && code < static_cast<int32_t>(FLowBytes.size())) {
      return FLowBytes[static_cast<size_t>(code)];
    }
    return FindByteInTable(code);
  }
  const TCodePage& CodePage() const { return FPage; }

protected:
  explicit TCustomSingleByteCodec(const TCodePage& page);

  char16_t TableByteToCode(uint8_t byte) const { return FPage.Decode[byte]; }
  uint8_t TableCodeToByte(char16_t code) const;

private:
  void BuildEncodingTable() const;
  int FindByteInTable(int32_t code) const;

  const TCodePage& FPage;
  // (code point << 8 | byte), sorted; built on the first encoding.
  mutable std::array<uint32_t, 256> FEncoding{};
  mutable int FEncodingCount = -1;
  // The byte of each code point below U+0100, or -1: the text most pages encode, in one
  // look-up.
  mutable std::array<int16_t, 256> FLowBytes{};
};

// A codec decoding and encoding by its code page's table alone.
#define VELMORA_SINGLE_BYTE_CODEC(Name)                                                            \
  class Name final : public TCustomSingleByteCodec {                                               \
    VELMORA_CODEC_CLASS(Name)                                                                      \
                                                                                                   \
    Name();                                                                                        \
    char16_t ByteToCode(uint8_t byte) override { return TableByteToCode(byte); }                   \
    uint8_t CodeToByte(char16_t code) override { return TableCodeToByte(code); }                   \
  }

VELMORA_SINGLE_BYTE_CODEC(TISO8859_1Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_2Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_3Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_4Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_5Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_6Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_7Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_8Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_9Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_10Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_13Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_14Codec);
VELMORA_SINGLE_BYTE_CODEC(TISO8859_15Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM037Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM424Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM437Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM500Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM850Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM852Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM855Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM857Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM860Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM861Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM862Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM863Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM864Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM865Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM866Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM869Codec);
VELMORA_SINGLE_BYTE_CODEC(TIBM1026Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1250Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1251Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1252Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1253Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1254Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1255Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1256Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1257Codec);
VELMORA_SINGLE_BYTE_CODEC(TWindows1258Codec);
VELMORA_SINGLE_BYTE_CODEC(TMacLatin2Codec);
VELMORA_SINGLE_BYTE_CODEC(TMacRomanCodec);
VELMORA_SINGLE_BYTE_CODEC(TMacCyrillicCodec);
VELMORA_SINGLE_BYTE_CODEC(TEBCDIC_USCodec);
VELMORA_SINGLE_BYTE_CODEC(TKOI8_RCodec);
VELMORA_SINGLE_BYTE_CODEC(TJIS_X0201Codec);

#undef VELMORA_SINGLE_BYTE_CODEC

// US-ASCII: bytes from 0x80 on raise EConvertError "$%x is not a valid %s code point".
class TUSASCIICodec final : public TCustomSingleByteCodec {
  VELMORA_CODEC_CLASS(TUSASCIICodec)

  TUSASCIICodec();
  char16_t ByteToCode(uint8_t byte) override;
  uint8_t CodeToByte(char16_t code) override { return TableCodeToByte(code); }
};

} // namespace velmora
