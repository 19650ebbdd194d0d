#include "runtime/strings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// UTF-8 bytes whatever the narrow encoding of the platform.
NarrowString Utf8(std::u8string_view text) {
  return NarrowString(text.begin(), text.end());
}

TEST(StringConversion, RoundTripsEveryPlane) {
  const NarrowString text = Utf8(u8"A\u00E4\u20AC\U0001F600z"); // 1-, 2-, 3- and 4-byte forms
  const WideString wide = Utf8ToWide(text);
  EXPECT_EQ(wide, u"A\u00E4\u20AC\U0001F600z");
  EXPECT_EQ(wide.size(), 6u); // the emoji is a surrogate pair
  EXPECT_EQ(WideToUtf8(wide), text);
}

TEST(StringConversion, NarrowStringsRoundTripTheirCharacters) {
  const WideString wide = u"J\u00F6rg M\u00FCller \u20AC5";
  EXPECT_EQ(NarrowToWide(WideToNarrow(wide)), wide);
  EXPECT_EQ(WideToNarrow(u"Ger\u00E4t"), "Gerät"); // as the compiler writes narrow texts
}

struct TMalformedCase {
  const char* Name;
  std::string_view Bytes;
  std::u16string_view Expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TMalformedCase& c, std::ostream* out) {
  *out << c.Name;
}

class MalformedUtf8 : public ::testing::TestWithParam<TMalformedCase> {};

TEST_P(MalformedUtf8, BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedUtf8,
    ::testing::Values(TMalformedCase{"LoneContinuation",
                                     "a\x80"
                                     "b",
                                     u"a\uFFFDb"},
                      TMalformedCase{"OverlongSlash", "\xC0\xAF", u"\uFFFD\uFFFD"},
                      TMalformedCase{"OverlongThreeByte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                      TMalformedCase{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      TMalformedCase{"AboveUnicode", "\xF4\x90\x80\x80",
                                     u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      TMalformedCase{"TruncatedAtEnd", "x\xE2\x82", u"x\uFFFD"},
                      TMalformedCase{"TruncatedBeforeAscii", "\xE2\x82z", u"\uFFFDz"},
                      TMalformedCase{"InvalidLeadBytes", "\xF8\xFF", u"\uFFFD\uFFFD"}),
    [](const auto& info) { return info.param.Name; });

TEST(StringConversion, UnpairedSurrogatesBecomeReplacementCharacters) {
  const char16_t lowFirst[] = {0xDC00, u'a', 0};
  const char16_t highLast[] = {u'a', 0xD800, 0};
  const char16_t highThenAscii[] = {0xD800, u'b', 0};
  EXPECT_EQ(WideToUtf8(lowFirst), Utf8(u8"\uFFFDa"));
  EXPECT_EQ(WideToUtf8(highLast), Utf8(u8"a\uFFFD"));
  EXPECT_EQ(WideToUtf8(highThenAscii), Utf8(u8"\uFFFDb"));
}

TEST(StringConversion, AppendRefusesValuesOutsideUnicode) {
  WideString wide;
  AppendUtf16(wide, 0x110000);
  AppendUtf16(wide, -1);
  AppendUtf16(wide, 0xD800);
  EXPECT_EQ(wide, u"\uFFFD\uFFFD\uFFFD");
  NarrowString narrow;
  AppendUtf8(narrow, 0x10FFFF);
  AppendUtf8(narrow, 0x110000);
  EXPECT_EQ(narrow, Utf8(u8"\U0010FFFF\uFFFD"));
}

} // namespace
} // namespace velmora
