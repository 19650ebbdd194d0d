#include "runtime/strings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(StringConversion, RoundTripsEveryPlane) {
  const NarrowString text = "A\u00E4\u20AC\U0001F600z"; // 1-, 2-, 3- and 4-byte forms
  const WideString wide = NarrowToWide(text);
  EXPECT_EQ(wide, u"A\u00E4\u20AC\U0001F600z");
  EXPECT_EQ(wide.size(), 6u); // the emoji is a surrogate pair
  EXPECT_EQ(WideToNarrow(wide), text);
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
  EXPECT_EQ(NarrowToWide(GetParam().Bytes), GetParam().Expected);
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
  EXPECT_EQ(WideToNarrow(lowFirst), "\uFFFDa");
  EXPECT_EQ(WideToNarrow(highLast), "a\uFFFD");
  EXPECT_EQ(WideToNarrow(highThenAscii), "\uFFFDb");
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
  EXPECT_EQ(narrow, "\U0010FFFF\uFFFD");
}

} // namespace
} // namespace velmora
