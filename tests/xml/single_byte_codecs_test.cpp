#include "xml/single_byte_codecs.h"

#include <gtest/gtest.h>

#include "tests/xml/codec_test_support.h"

namespace velmora {
namespace {

using CodecClassFunc = TUnicodeCodecClass (*)();

const CodecClassFunc kSingleByteCodecs[] = {
    TISO8859_1Codec::ClassRef,   TISO8859_2Codec::ClassRef,   TISO8859_3Codec::ClassRef,
    TISO8859_4Codec::ClassRef,   TISO8859_5Codec::ClassRef,   TISO8859_6Codec::ClassRef,
    TISO8859_7Codec::ClassRef,   TISO8859_8Codec::ClassRef,   TISO8859_9Codec::ClassRef,
    TISO8859_10Codec::ClassRef,  TISO8859_13Codec::ClassRef,  TISO8859_14Codec::ClassRef,
    TISO8859_15Codec::ClassRef,  TIBM037Codec::ClassRef,      TIBM424Codec::ClassRef,
    TIBM437Codec::ClassRef,      TIBM500Codec::ClassRef,      TIBM850Codec::ClassRef,
    TIBM852Codec::ClassRef,      TIBM855Codec::ClassRef,      TIBM857Codec::ClassRef,
    TIBM860Codec::ClassRef,      TIBM861Codec::ClassRef,      TIBM862Codec::ClassRef,
    TIBM863Codec::ClassRef,      TIBM864Codec::ClassRef,      TIBM865Codec::ClassRef,
    TIBM866Codec::ClassRef,      TIBM869Codec::ClassRef,      TIBM1026Codec::ClassRef,
    TWindows1250Codec::ClassRef, TWindows1251Codec::ClassRef, TWindows1252Codec::ClassRef,
    TWindows1253Codec::ClassRef, TWindows1254Codec::ClassRef, TWindows1255Codec::ClassRef,
    TWindows1256Codec::ClassRef, TWindows1257Codec::ClassRef, TWindows1258Codec::ClassRef,
    TMacLatin2Codec::ClassRef,   TMacRomanCodec::ClassRef,    TMacCyrillicCodec::ClassRef,
    TUSASCIICodec::ClassRef,     TEBCDIC_USCodec::ClassRef,   TKOI8_RCodec::ClassRef,
    TJIS_X0201Codec::ClassRef,
};

std::unique_ptr<TCustomSingleByteCodec> CreateSingleByte(CodecClassFunc codecClass) {
  return std::unique_ptr<TCustomSingleByteCodec>(
      static_cast<TCustomSingleByteCodec*>(CreateCodec(codecClass()).release()));
}

class EveryCodePage : public ::testing::TestWithParam<CodecClassFunc> {};

// Every defined byte decodes to a code point that encodes back to that byte (or to an
// earlier byte of the same code point); undefined bytes decode to U+FFFF, which no byte
// encodes.
TEST_P(EveryCodePage, RoundTripsAllBytes) {
  auto codec = CreateSingleByte(GetParam());
  const bool ascii = GetParam() == TUSASCIICodec::ClassRef;
  int defined = 0;
  for (int byte = 0; byte < (ascii ? 0x80 : 0x100); ++byte) {
    const char16_t code = codec->ByteToCode(static_cast<uint8_t>(byte));
    if (code == kUndefinedByteCode) {
      continue;
    }
    ++defined;
    const uint8_t back = codec->CodeToByte(code);
    EXPECT_EQ(codec->ByteToCode(back), code);
    EXPECT_LE(back, byte);
    EXPECT_EQ(testing::EncodeOneChar(*codec, code), NarrowString(1, static_cast<char>(back)));
  }
  EXPECT_GE(defined, 94);
  EXPECT_THROW(codec->CodeToByte(kUndefinedByteCode), EConvertError);
  EXPECT_THROW(codec->CodeToByteChecked(0x10000), EConvertError);
  // Through a reader window the table is read directly; it must agree with ByteToCode.
  NarrowString all;
  for (int byte = 0; byte < (ascii ? 0x80 : 0x100); ++byte) {
    all += static_cast<char>(byte);
  }
  const WideString decoded = DecodeText(*codec, all);
  ASSERT_EQ(decoded.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(decoded[i], codec->ByteToCode(static_cast<uint8_t>(i)));
  }
}

INSTANTIATE_TEST_SUITE_P(All, EveryCodePage, ::testing::ValuesIn(kSingleByteCodecs),
                         [](const auto& info) { return info.param()->ClassName; });

struct TPosition {
  CodecClassFunc Class;
  uint8_t Byte;
  char16_t Code;
};

void PrintTo(const TPosition& p, std::ostream* out) {
  *out << p.Class()->ClassName << " byte " << int(p.Byte);
}

class NamedPositions : public ::testing::TestWithParam<TPosition> {};

TEST_P(NamedPositions, DecodeAsListed) {
  auto codec = CreateSingleByte(GetParam().Class);
  EXPECT_EQ(codec->ByteToCode(GetParam().Byte), GetParam().Code);
}

constexpr char16_t kU = kUndefinedByteCode;

INSTANTIATE_TEST_SUITE_P(
    Cases, NamedPositions,
    ::testing::Values(TPosition{TISO8859_1Codec::ClassRef, 0x9C, 0x009C},
                      TPosition{TISO8859_3Codec::ClassRef, 0xA5, kU},
                      TPosition{TISO8859_3Codec::ClassRef, 0x85, 0x0085},
                      TPosition{TISO8859_5Codec::ClassRef, 0xAD, 0x00AD},
                      TPosition{TISO8859_5Codec::ClassRef, 0xF0, 0x2116},
                      TPosition{TISO8859_5Codec::ClassRef, 0xFD, 0x00A7},
                      TPosition{TISO8859_5Codec::ClassRef, 0xB0, 0x0410},
                      TPosition{TISO8859_6Codec::ClassRef, 0xA4, 0x00A4},
                      TPosition{TISO8859_6Codec::ClassRef, 0xA5, kU},
                      TPosition{TISO8859_6Codec::ClassRef, 0xAC, 0x060C},
                      TPosition{TISO8859_6Codec::ClassRef, 0xC1, 0x0621},
                      TPosition{TISO8859_6Codec::ClassRef, 0xF2, 0x0652},
                      TPosition{TISO8859_7Codec::ClassRef, 0xA1, 0x2018},
                      TPosition{TISO8859_7Codec::ClassRef, 0xA3, 0x00A3}, // the pound sign
                      TPosition{TISO8859_7Codec::ClassRef, 0xA4, 0x20AC},
                      TPosition{TISO8859_7Codec::ClassRef, 0xAE, kU},
                      TPosition{TISO8859_7Codec::ClassRef, 0xAF, 0x2015},
                      TPosition{TISO8859_7Codec::ClassRef, 0xD2, kU},
                      TPosition{TISO8859_7Codec::ClassRef, 0xC1, 0x0391},
                      TPosition{TISO8859_8Codec::ClassRef, 0xAA, 0x00D7},
                      TPosition{TISO8859_8Codec::ClassRef, 0xAF, 0x203E},
                      TPosition{TISO8859_8Codec::ClassRef, 0xDF, 0x2017},
                      TPosition{TISO8859_8Codec::ClassRef, 0xE0, 0x05D0},
                      TPosition{TISO8859_8Codec::ClassRef, 0xFA, 0x05EA},
                      TPosition{TISO8859_8Codec::ClassRef, 0xFD, kU},
                      TPosition{TISO8859_9Codec::ClassRef, 0xDD, 0x0130},
                      TPosition{TISO8859_9Codec::ClassRef, 0xFE, 0x015F},
                      TPosition{TISO8859_10Codec::ClassRef, 0xBD, 0x2014},
                      TPosition{TISO8859_15Codec::ClassRef, 0xA4, 0x20AC},
                      TPosition{TISO8859_15Codec::ClassRef, 0xBE, 0x0178},
                      TPosition{TIBM424Codec::ClassRef, 0x78, 0x21D4},
                      TPosition{TIBM424Codec::ClassRef, 0x8F, kU},
                      TPosition{TIBM424Codec::ClassRef, 0xBC, 0x203E},
                      TPosition{TIBM1026Codec::ClassRef, 0x9D, kU},
                      TPosition{TIBM1026Codec::ClassRef, 0xBC, kU},
                      TPosition{TIBM857Codec::ClassRef, 0xD5, 0xF8BB},
                      TPosition{TIBM857Codec::ClassRef, 0xF2, 0xF8BD},
                      TPosition{TIBM864Codec::ClassRef, 0x24, 0x0024},
                      TPosition{TIBM864Codec::ClassRef, 0x25, kU},
                      TPosition{TIBM864Codec::ClassRef, 0xC6, kU},
                      TPosition{TIBM869Codec::ClassRef, 0x80, kU},
                      TPosition{TIBM437Codec::ClassRef, 0x80, 0x00C7},
                      TPosition{TWindows1252Codec::ClassRef, 0x80, 0x20AC},
                      TPosition{TWindows1252Codec::ClassRef, 0x81, 0x0081},
                      TPosition{TWindows1250Codec::ClassRef, 0x98, 0x0098},
                      TPosition{TWindows1253Codec::ClassRef, 0xAA, 0xF8F9},
                      TPosition{TWindows1253Codec::ClassRef, 0xFF, 0xF8FB},
                      TPosition{TWindows1255Codec::ClassRef, 0xCA, 0x05BA},
                      TPosition{TWindows1255Codec::ClassRef, 0xD9, 0xF88D},
                      TPosition{TWindows1255Codec::ClassRef, 0xFB, 0xF894},
                      TPosition{TWindows1255Codec::ClassRef, 0xFF, 0xF896},
                      TPosition{TWindows1257Codec::ClassRef, 0xA5, 0xF8FD},
                      TPosition{TMacRomanCodec::ClassRef, 0xBD, 0x2126},
                      TPosition{TMacRomanCodec::ClassRef, 0xDB, 0x00A4},
                      TPosition{TMacRomanCodec::ClassRef, 0xF0, kU},
                      TPosition{TMacCyrillicCodec::ClassRef, 0xA2, 0x00A2},
                      TPosition{TMacCyrillicCodec::ClassRef, 0xB6, 0x2202},
                      TPosition{TMacCyrillicCodec::ClassRef, 0xFF, 0x00A4},
                      TPosition{TMacLatin2Codec::ClassRef, 0x80, 0x00C4},
                      TPosition{TKOI8_RCodec::ClassRef, 0xC1, 0x0430},
                      TPosition{TEBCDIC_USCodec::ClassRef, 0xC1, 'A'},
                      TPosition{TEBCDIC_USCodec::ClassRef, 0x40, ' '},
                      TPosition{TEBCDIC_USCodec::ClassRef, 0x25, kU}, // the EBCDIC line feed
                      TPosition{TEBCDIC_USCodec::ClassRef, 0x0A, kU},
                      TPosition{TEBCDIC_USCodec::ClassRef, 0xE1, kU},
                      TPosition{TJIS_X0201Codec::ClassRef, 0x0A, kU},
                      TPosition{TJIS_X0201Codec::ClassRef, 0x5C, 0x00A5},
                      TPosition{TJIS_X0201Codec::ClassRef, 0x7E, 0x203E},
                      TPosition{TJIS_X0201Codec::ClassRef, 0xA1, 0xFF61},
                      TPosition{TJIS_X0201Codec::ClassRef, 0xDF, 0xFF9F},
                      TPosition{TJIS_X0201Codec::ClassRef, 0xE0, kU}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SingleByteCodec, EncodingFailuresNameTheCodePage) {
  TISO8859_2Codec codec;
  try {
    codec.CodeToByte(0x20AC);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Unicode code point $20AC has no equivalent in ISO-8859-2");
  }
  try {
    codec.CodeToByteChecked(0x1F600);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "$1F600 is not a valid  code point");
  }
  EXPECT_EQ(codec.FindByte(0x0141), 0xA3);
  EXPECT_EQ(codec.FindByte(0x20AC), -1);
}

TEST(SingleByteCodec, UsAsciiRefusesBytesFrom0x80) {
  TUSASCIICodec codec;
  EXPECT_EQ(testing::ReadAllChars(codec, "Az"), (std::vector<int32_t>{'A', 'z'}));
  try {
    testing::ReadAllChars(codec, "\x80");
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "$80 is not a valid US-ASCII code point");
  }
  codec.SetDecodeFailureMode(FailSubstitute);
  EXPECT_EQ(DecodeText(codec, "a\xFF"), u"a\uFFFD");
}

} // namespace
} // namespace velmora
