#include "runtime/numbers.h"

#include <clocale>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/variant.h"

namespace velmora {
namespace {

TEST(IntegerParsing, AcceptsDecimalAndDollarHexWithinRange) {
  EXPECT_EQ(TryStrToInt("49"), 49);
  EXPECT_EQ(TryStrToInt("-17"), -17);
  EXPECT_EQ(TryStrToInt("+5"), 5);
  EXPECT_EQ(TryStrToInt("$31"), 49);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TryStrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(TryHexToInt64("1f"), 31);
}

TEST(IntegerParsing, RefusesWhatIsNoNumberOrOutOfRange) {
  for (const char* text : {"", "-", "+", "$", "abc", "12a", " 12", "12 ", "--1", "+-1", "1.5",
                           "2147483648", "-2147483649", "$80000000", "99999999999999999999"}) {
    EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
  }
  EXPECT_FALSE(TryStrToInt64("9223372036854775808").has_value());
  EXPECT_FALSE(TryHexToInt64("").has_value());
  EXPECT_FALSE(TryHexToInt64("-1").has_value());
}

TEST(FloatFormatting, GeneralFormatWithFifteenDigits) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},
      {49, "49"},
      {-2.5, "-2.5"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.000015, "1.5E-5"},
      {123456789012345, "123456789012345"},
      {999999999999999, "999999999999999"},
      {1e15, "1E15"},
      {-1.25e20, "-1.25E20"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      {std::numeric_limits<double>::infinity(), "Infinity"},
      {-std::numeric_limits<double>::infinity(), "-Infinity"},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(FloatToStrGeneral(value, 15), expected) << value;
  }
  EXPECT_EQ(FloatToStrGeneral(3.14159265f, 7), "3.141593");
}

TEST(FloatFormatting, IgnoresTheProcessLocale) {
  // A German locale must not turn the separator into a comma; where the locale is not
  // installed the check still holds for the C locale.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  EXPECT_EQ(FloatToStrGeneral(1.5, 15), "1.5");
  EXPECT_EQ(TryStrToFloat("1.5"), 1.5);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(FloatParsing, ReadsDecimalNumbersOnly) {
  EXPECT_EQ(TryStrToFloat("49"), 49.0);
  EXPECT_EQ(TryStrToFloat("-0.5"), -0.5);
  EXPECT_EQ(TryStrToFloat("+2e3"), 2000.0);
  EXPECT_EQ(TryStrToFloat(".5"), 0.5);
  EXPECT_EQ(TryStrToFloat("-.5"), -0.5);
  EXPECT_EQ(TryStrToFloat("+.5"), 0.5);
  for (const char* text : {"", "abc", "1,5", "inf", "nan", "1.5x", " 1", "-inf", "-nan",
                           "-infinity", "+inf", "+-5", "-+5", "--5", "++5", "-", "+", "."}) {
    EXPECT_FALSE(TryStrToFloat(text).has_value()) << text;
  }
}

TEST(Variant, ReadsAsTextByKind) {
  EXPECT_TRUE(TVariant().IsEmpty());
  EXPECT_EQ(TVariant().AsString(), "");
  EXPECT_EQ(TVariant("abc").AsString(), "abc");
  EXPECT_EQ(TVariant(49).AsString(), "49");
  EXPECT_EQ(TVariant(0.5).AsString(), "0.5");
  EXPECT_EQ(TVariant(true).AsString(), "True");
  EXPECT_EQ(TVariant(false).AsString(), "False");
  EXPECT_EQ(TVariant("1"), TVariant("1"));
  EXPECT_FALSE(TVariant("1") == TVariant(1));
  EXPECT_FALSE(TVariant() == TVariant(""));
}

} // namespace
} // namespace velmora
