#include "xml/utf_codecs.h"

#include <gtest/gtest.h>

#include "tests/xml/codec_test_support.h"

namespace velmora {
namespace {

using testing::EncodeOneChar;
using testing::ReadAllChars;
using testing::TTestByteSource;

// ---- UTF-8

TEST(Utf8Codec, DecodesEveryLengthWithItsByteCount) {
  TUTF8Codec codec;
  TTestByteSource source(codec, "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xC2\x9C");
  const std::pair<int32_t, int32_t> expected[] = {{'A', 1},     {0xE4, 2}, {0x20AC, 3},
                                                  {0x1F600, 4}, {0x9C, 2}, {kEndOfInput, 0}};
  for (const auto& [code, length] : expected) {
    int32_t gotCode = 0;
    int32_t gotLength = -1;
    codec.DecodeChar(gotCode, gotLength);
    EXPECT_EQ(gotCode, code);
    EXPECT_EQ(gotLength, length);
  }
}

TEST(Utf8Codec, SurrogateCodePointsPassForTheCharacterRulesToRefuse) {
  TUTF8Codec codec;
  EXPECT_EQ(ReadAllChars(codec, "\xED\xA0\x80"), std::vector<int32_t>{0xD800});
}

struct TInvalidCase {
  const char* Name;
  std::string_view Bytes;
};

void PrintTo(const TInvalidCase& c, std::ostream* out) {
  *out << c.Name;
}

class InvalidUtf8 : public ::testing::TestWithParam<TInvalidCase> {};

// Each failure consumes at least one byte, so a reader that goes on after it ends.
TEST_P(InvalidUtf8, RaisesAndConsumesBytes) {
  TUTF8Codec codec;
  TTestByteSource source(codec, GetParam().Bytes);
  int32_t code = 0;
  int32_t length = 0;
  try {
    codec.DecodeChar(code, length);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Invalid UTF-8 encoding");
  }
  EXPECT_GE(source.Consumed(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidUtf8,
    ::testing::Values(TInvalidCase{"OverlongNul", "\xC0\x80"},
                      TInvalidCase{"OverlongSlash", "\xE0\x80\xAF"},
                      TInvalidCase{"OverlongFourBytes", "\xF0\x8F\xBF\xBF"},
                      TInvalidCase{"LoneContinuation", "\x80"},
                      TInvalidCase{"CutAtEnd", "\xE2\x82"},
                      TInvalidCase{"AsciiInsteadOfContinuation", "\xC3"
                                                                 "A"},
                      TInvalidCase{"AboveUnicode", "\xF4\x90\x80\x80"},
                      TInvalidCase{"FiveBytes", "\xF8\x88\x80\x80\x80"},
                      TInvalidCase{"SixBytesMaximum", "\xFD\xBF\xBF\xBF\xBF\xBF"},
                      TInvalidCase{"ByteFE", "\xFE"}, TInvalidCase{"ByteFF", "\xFF"}),
    [](const auto& info) { return info.param.Name; });

TEST(Utf8Codec, EncodesUpToTheLastCodePoint) {
  TUTF8Codec codec;
  EXPECT_EQ(EncodeOneChar(codec, 'A'), "A");
  EXPECT_EQ(EncodeOneChar(codec, 0xE4), "\xC3\xA4");
  EXPECT_EQ(EncodeOneChar(codec, 0x20AC), "\xE2\x82\xAC");
  EXPECT_EQ(EncodeOneChar(codec, 0x10FFFF), "\xF4\x8F\xBF\xBF");
  try {
    EncodeOneChar(codec, 0x110000);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "$110000 is not a valid Unicode code point");
  }
}

TEST(Utf8Codec, BufferDecodingWritesSurrogatePairsAndLeavesACutSequence) {
  TUTF8Codec codec;
  EXPECT_EQ(DecodeText(codec, "a\xF0\x9F\x98\x80"
                              "b"),
            u"a\U0001F600b");
  const std::string_view cut = "ab\xE2\x82";
  char16_t dest[8];
  int64_t written = 0;
  int64_t used = 0;
  codec.DecodeBuffer(reinterpret_cast<const uint8_t*>(cut.data()), 4, written, used, sizeof(dest),
                     dest);
  EXPECT_EQ(written, 2);
  EXPECT_EQ(used, 2);
  // A pair that does not fit the destination is left for the next call.
  const std::string_view pair = "a\xF0\x9F\x98\x80";
  codec.DecodeBuffer(reinterpret_cast<const uint8_t*>(pair.data()), 5, written, used, 4, dest);
  EXPECT_EQ(written, 1);
  EXPECT_EQ(used, 1);
}

TEST(Utf8Codec, BufferDecodingFollowsTheFailureMode) {
  TUTF8Codec codec;
  const std::string_view bytes = "a\x80"
                                 "b";
  EXPECT_THROW(DecodeText(codec, bytes), EConvertError);
  const std::pair<TDecodeFailureMode, std::u16string_view> cases[] = {
      {FailStop, u"a"},
      {FailRaw, u"a\u0080b"},
      {FailSkip, u"ab"},
      {FailSubstitute, u"a\uFFFDb"},
  };
  for (const auto& [mode, expected] : cases) {
    codec.SetDecodeFailureMode(mode);
    EXPECT_EQ(DecodeText(codec, bytes), expected) << int(mode);
  }
}

TEST(Utf8Codec, BufferEncodingWritesFourBytesForAPair) {
  TUTF8Codec codec;
  EXPECT_EQ(EncodeText(codec, u"a\U0001F600\u00E4"), "a\xF0\x9F\x98\x80\xC3\xA4");
}

TEST(LineBreaks, CrLfAndLoneCrReadAsOneLineFeed) {
  TUTF8Codec codec;
  codec.SetReadLineBreaks(ReadBreaksToLF);
  TTestByteSource source(codec, "a\r\nb\rc\r");
  const std::pair<int32_t, int32_t> expected[] = {{'a', 1}, {0x0A, 2}, {'b', 1},        {0x0A, 1},
                                                  {'c', 1}, {0x0A, 1}, {kEndOfInput, 0}};
  for (const auto& [code, length] : expected) {
    int32_t gotCode = 0;
    int32_t gotLength = -1;
    codec.ReadChar(gotCode, gotLength);
    EXPECT_EQ(gotCode, code);
    EXPECT_EQ(gotLength, length);
  }
}

TEST(LineBreaks, KeptAsTheyAreByDefault) {
  TUTF8Codec codec;
  EXPECT_EQ(ReadAllChars(codec, "a\r\nb"), (std::vector<int32_t>{'a', 0x0D, 0x0A, 'b'}));
}

TEST(LineBreaks, AFailureAfterACrSurfacesAfterTheLineFeed) {
  TUTF8Codec codec;
  codec.SetReadLineBreaks(ReadBreaksToLF);
  TTestByteSource source(codec, "\r\x80"
                                "z");
  int32_t code = 0;
  int32_t length = 0;
  codec.ReadChar(code, length);
  EXPECT_EQ(code, 0x0A);
  EXPECT_THROW(codec.ReadChar(code, length), EConvertError);
  codec.ReadChar(code, length);
  EXPECT_EQ(code, 'z');
}

TEST(LineBreaks, WriteCharWritesTheChosenBreak) {
  TUTF16LECodec codec;
  const std::pair<TWriteLineBreakMode, std::string_view> cases[] = {
      {WriteLF, std::string_view("\n\0", 2)},
      {WriteCR, std::string_view("\r\0", 2)},
      {WriteCRLF, std::string_view("\r\0\n\0", 4)},
  };
  for (const auto& [mode, expected] : cases) {
    codec.SetWriteLineBreaks(mode);
    testing::TTestByteSink sink(codec);
    int32_t length = 0;
    codec.WriteChar(0x0A, length);
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_EQ(length, static_cast<int32_t>(expected.size()));
  }
}

// ---- UTF-16

TEST(Utf16Codec, CombinesPairsInBothByteOrders) {
  TUTF16BECodec be;
  TUTF16LECodec le;
  EXPECT_EQ(ReadAllChars(be, std::string_view("\0A\xD8\x3D\xDE\x00", 6)),
            (std::vector<int32_t>{'A', 0x1F600}));
  EXPECT_EQ(ReadAllChars(le, std::string_view("A\0\x3D\xD8\x00\xDE", 6)),
            (std::vector<int32_t>{'A', 0x1F600}));
}

class InvalidUtf16 : public ::testing::TestWithParam<TInvalidCase> {};

TEST_P(InvalidUtf16, RaisesAndConsumesBytes) {
  TUTF16LECodec codec;
  TTestByteSource source(codec, GetParam().Bytes);
  int32_t code = 0;
  int32_t length = 0;
  try {
    codec.DecodeChar(code, length);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Invalid UTF-16LE encoding");
  }
  EXPECT_GE(source.Consumed(), 1u);
  codec.DecodeChar(code, length);
  EXPECT_EQ(code, kEndOfInput); // every case ends right after its bad unit
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidUtf16,
    ::testing::Values(TInvalidCase{"HighSurrogateAtEnd", std::string_view("\x3D\xD8", 2)},
                      TInvalidCase{"HighSurrogateThenLetter", std::string_view("\x3D\xD8"
                                                                               "A\0",
                                                                               4)},
                      TInvalidCase{"LoneLowSurrogate", std::string_view("\x00\xDE", 2)},
                      TInvalidCase{"OddTrailingByte", "A"},
                      TInvalidCase{"HighSurrogateThenOddByte", std::string_view("\x3D\xD8"
                                                                                "A",
                                                                                3)}),
    [](const auto& info) { return info.param.Name; });

TEST(Utf16Codec, BigEndianNamesItselfInErrors) {
  TUTF16BECodec codec;
  try {
    ReadAllChars(codec, std::string_view("\xD8\x3D", 2));
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Invalid UTF-16BE encoding");
  }
}

TEST(Utf16Codec, EncodesPairsAndRefusesWhatIsNoScalarValue) {
  TUTF16BECodec codec;
  EXPECT_EQ(EncodeOneChar(codec, 0x1F600), std::string_view("\xD8\x3D\xDE\x00", 4));
  TUTF16LECodec le;
  try {
    EncodeOneChar(le, 0xD800);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "$D800 is not a valid UCS-4 code point");
  }
  try {
    EncodeOneChar(le, 0x110000);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Cannot convert $00110000 to UTF-16LE");
  }
}

TEST(Utf16Codec, BufferOperationsCopyUnitsInTheirByteOrder) {
  TUTF16BECodec be;
  TUTF16LECodec le;
  EXPECT_EQ(DecodeText(be, std::string_view("\0a\xD8\x3D\xDE\x00!", 7)), u"a\U0001F600");
  EXPECT_EQ(DecodeText(le, std::string_view("a\0\x3D\xD8\x00\xDE", 6)), u"a\U0001F600");
  EXPECT_EQ(EncodeText(be, u"a\U0001F600"), std::string_view("\0a\xD8\x3D\xDE\x00", 6));
  EXPECT_EQ(EncodeText(le, u"a\U0001F600"), std::string_view("a\0\x3D\xD8\x00\xDE", 6));
}

// ---- UCS-4

struct TUcs4Case {
  TUnicodeCodecClass (*Class)();
  uint8_t Order[4]; // which byte of the big-endian value sits at each position
  const char* Name;
};

void PrintTo(const TUcs4Case& c, std::ostream* out) {
  *out << c.Class()->ClassName;
}

NarrowString Ucs4Bytes(const TUcs4Case& c, uint32_t value) {
  NarrowString bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>(value >> (8 * (3 - c.Order[i])));
  }
  return bytes;
}

class Ucs4Codecs : public ::testing::TestWithParam<TUcs4Case> {};

TEST_P(Ucs4Codecs, DecodeAndEncodeInTheirByteOrder) {
  std::unique_ptr<TCustomUnicodeCodec> codec = CreateCodec(GetParam().Class());
  const NarrowString bytes = Ucs4Bytes(GetParam(), 0x1F600) + Ucs4Bytes(GetParam(), 'A');
  EXPECT_EQ(ReadAllChars(*codec, bytes), (std::vector<int32_t>{0x1F600, 'A'}));
  EXPECT_EQ(EncodeOneChar(*codec, 0x1F600), Ucs4Bytes(GetParam(), 0x1F600));
  EXPECT_EQ(DecodeText(*codec, bytes), u"\U0001F600A");
  EXPECT_EQ(EncodeText(*codec, u"\U0001F600A"), bytes);
}

TEST_P(Ucs4Codecs, RefuseSurrogatesValuesAboveUnicodeAndCutUnits) {
  std::unique_ptr<TCustomUnicodeCodec> codec = CreateCodec(GetParam().Class());
  try {
    ReadAllChars(*codec, Ucs4Bytes(GetParam(), 0xDC00));
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(NarrowString(error.what()),
              NarrowString("Surrogate value $DC00 found in ") + GetParam().Name +
                  ". Values between $D800 and $DFFF are reserved for use with UTF-16");
  }
  try {
    ReadAllChars(*codec, Ucs4Bytes(GetParam(), 0x110000));
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Cannot convert $00110000 to UTF-16");
  }
  for (size_t cut = 1; cut <= 3; ++cut) {
    const NarrowString bytes = Ucs4Bytes(GetParam(), 'A') + NarrowString(cut, '\0');
    TTestByteSource source(*codec, bytes);
    int32_t code = 0;
    int32_t length = 0;
    codec->DecodeChar(code, length);
    EXPECT_EQ(code, 'A');
    EXPECT_THROW(codec->DecodeChar(code, length), EConvertError) << cut;
    codec->DecodeChar(code, length);
    EXPECT_EQ(code, kEndOfInput) << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, Ucs4Codecs,
    ::testing::Values(TUcs4Case{TUCS4BECodec::ClassRef, {0, 1, 2, 3}, "UCS-4BE"},
                      TUcs4Case{TUCS4LECodec::ClassRef, {3, 2, 1, 0}, "UCS-4LE"},
                      TUcs4Case{TUCS4_2143Codec::ClassRef, {1, 0, 3, 2}, "UCS-4"},
                      TUcs4Case{TUCS4_3412Codec::ClassRef, {2, 3, 0, 1}, "UCS-4"}),
    [](const auto& info) { return info.param.Class()->ClassName; });

TEST(Ucs4Codec, BufferDecodingFollowsTheFailureMode) {
  TUCS4BECodec codec;
  const std::string_view bytes("\0\0\0a\0\0\xD8\x00\0\0\0b", 12);
  try {
    DecodeText(codec, bytes);
    FAIL() << "no error";
  } catch (const EUnicodeCodecException& error) {
    EXPECT_EQ(error.ByteOffset(), 4);
  }
  const std::pair<TDecodeFailureMode, std::u16string_view> cases[] = {
      {FailStop, u"a"},
      {FailRaw, std::u16string_view(u"a\0\xD800"
                                    u"b",
                                    4)},
      {FailSkip, u"ab"},
      {FailSubstitute, u"a\uFFFDb"},
  };
  for (const auto& [mode, expected] : cases) {
    codec.SetDecodeFailureMode(mode);
    EXPECT_EQ(DecodeText(codec, bytes), expected) << int(mode);
  }
}

// ---- UCS-2

TEST(Ucs2Codec, ReadsOneBigEndianUnitPerCharacter) {
  TUCS2Codec codec;
  EXPECT_EQ(ReadAllChars(codec, std::string_view("\0A\x20\xAC", 4)),
            (std::vector<int32_t>{'A', 0x20AC}));
  EXPECT_EQ(EncodeOneChar(codec, 0x20AC), "\x20\xAC");
  try {
    ReadAllChars(codec, std::string_view("\xD8\x3D", 2));
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Surrogate value $D83D found in UCS-2. Values between $D800 and "
                               "$DFFF are reserved for use with UTF-16");
  }
  try {
    EncodeOneChar(codec, 0x10000);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "UCS-2 encoding out of range");
  }
  EXPECT_THROW(EncodeText(codec, u"\U0001F600"), EConvertError);
}

} // namespace
} // namespace velmora
