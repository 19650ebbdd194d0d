#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <locale>

#include "tests/xpath/xpath_fixture.h"
#include "xpath/number_text.h"

namespace velmora::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct TFormatCase {
  double Value;
  std::u16string_view Text;
};

class NumberFormatting : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(NumberFormatting, FollowsTheGeneralFormatWithFifteenDigits) {
  EXPECT_EQ(XPathNumberToString(GetParam().Value), GetParam().Text);
}

constexpr TFormatCase kFormatCases[] = {
    {3, u"3"},
    {0.5, u"0.5"},
    {-2.5, u"-2.5"},
    {0.1 + 0.2, u"0.3"},
    {1.0 / 3, u"0.333333333333333"},
    {999999999999999, u"999999999999999"},
    {1e15, u"1E15"},
    {1.5e15, u"1.5E15"},
    {0.0001, u"0.0001"},
    {1e-5, u"1E-5"},
    {-1.5e-5, u"-1.5E-5"},
    {123456.789, u"123456.789"},
    {0, u"0"},
    {-0.0, u"0"},
    {kNaN, u"NaN"},
    {kInfinity, u"Infinity"},
    {-kInfinity, u"-Infinity"},
};
INSTANTIATE_TEST_SUITE_P(Table, NumberFormatting, ::testing::ValuesIn(kFormatCases));

struct TParseCase {
  std::u16string_view Text;
  double Value; // NaN: not a number
};

class NumberParsing : public ::testing::TestWithParam<TParseCase> {};

TEST_P(NumberParsing, AcceptsOnlyPlainDecimals) {
  const double value = XPathStringToNumber(GetParam().Text);
  if (std::isnan(GetParam().Value)) {
    EXPECT_TRUE(std::isnan(value)) << value;
  } else {
    EXPECT_EQ(value, GetParam().Value);
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().Value));
  }
}

constexpr TParseCase kParseCases[] = {
    {u" 12 ", 12},
    {u"\t\r\n7\n", 7},
    {u"-.5", -0.5},
    {u".5", 0.5},
    {u"0.1", 0.1},
    {u"-0", -0.0},
    {u"007.250", 7.25},
    {u"123456789012345678901234567890", 123456789012345678901234567890.0},
    {u"0.30000000000000004", 0.30000000000000004},
    {u"5.", kNaN},
    {u".", kNaN},
    {u"-", kNaN},
    {u"", kNaN},
    {u"   ", kNaN},
    {u"+5", kNaN},
    {u"1e3", kNaN},
    {u"1.2.3", kNaN},
    {u"- 5", kNaN},
    {u"--5", kNaN},
    {u"5-", kNaN},
    {u"1 2", kNaN},
    {u"Infinity", kNaN},
    {u"NaN", kNaN},
    {u"\u0661", kNaN}, // an Arabic-Indic digit is no digit here
};
INSTANTIATE_TEST_SUITE_P(Table, NumberParsing, ::testing::ValuesIn(kParseCases));

TEST(NumberText, IgnoresTheGlobalLocale) {
  // A locale that writes "0,5" must not reach XPath numbers.
  struct TCommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new TCommaPoint));
  EXPECT_EQ(XPathNumberToString(0.5), u"0.5");
  EXPECT_EQ(XPathStringToNumber(u"0.5"), 0.5);
  EXPECT_TRUE(std::isnan(XPathStringToNumber(u"0,5")));
  std::locale::global(previous);
}

TEST(NumberText, HugeAndTinyDecimals) {
  const WideString huge = u"1" + WideString(400, u'0');
  EXPECT_TRUE(std::isnan(XPathStringToNumber(huge)));
  EXPECT_EQ(XPathStringToNumber(u"0." + WideString(400, u'0') + u"1"), 0.0);
}

// What each class of result converts to: as boolean, number and string.
struct TConversionCase {
  const char* Name;
  std::function<TDomXPathResultPtr(XPathTest&)> Make;
  bool Boolean;
  double Number;
  std::u16string_view Text;
  friend void PrintTo(const TConversionCase& c, std::ostream* out) { *out << c.Name; }
};

class Conversions : public XPathTest, public ::testing::WithParamInterface<TConversionCase> {};

TEST_P(Conversions, OfEveryResultClass) {
  const TConversionCase& c = GetParam();
  TDomXPathResultPtr result = c.Make(*this);
  EXPECT_EQ(result->AsBoolean(), c.Boolean);
  if (std::isnan(c.Number)) {
    EXPECT_TRUE(std::isnan(result->AsNumber()));
  } else {
    EXPECT_EQ(result->AsNumber(), c.Number);
  }
  EXPECT_EQ(result->AsWideString(), c.Text);
  const TDomXPathResultType type = result->ResultType();
  EXPECT_EQ(ToBooleanResult(c.Make(*this))->AsBoolean(), c.Boolean);
  EXPECT_EQ(ToStringResult(c.Make(*this))->AsWideString(), c.Text);
  EXPECT_EQ(ToNumberResult(c.Make(*this))->ResultType(), rtNumber);
  // A result of the wanted class is handed back as it is.
  TDomXPathCustomResult* same = result.get();
  TDomXPathResultPtr converted = type == rtBoolean  ? ToBooleanResult(std::move(result))
                                 : type == rtNumber ? ToNumberResult(std::move(result))
                                 : type == rtString ? ToStringResult(std::move(result))
                                                    : std::move(result);
  EXPECT_EQ(converted.get(), same);
}

TDomXPathResultPtr AttributeValues(XPathTest& test,
                                   std::initializer_list<std::u16string_view> values,
                                   TDomXPathAxisType axisType) {
  TDomXPathNodeSetPtr set = NewNodeSet();
  TDomElement* element = test.Element(nullptr, u"e");
  int i = 0;
  for (std::u16string_view value : values) {
    set->Add(test.Attribute(element, u"a" + WideString(1, u'0' + i++), value));
  }
  set->SetAxisType(axisType);
  return set;
}

const TConversionCase kConversionCases[] = {
    {"true", [](XPathTest&) { return NewBooleanResult(true); }, true, 1, u"true"},
    {"false", [](XPathTest&) { return NewBooleanResult(false); }, false, 0, u"false"},
    {"number", [](XPathTest&) { return NewNumberResult(-2.5); }, true, -2.5, u"-2.5"},
    {"zero", [](XPathTest&) { return NewNumberResult(0); }, false, 0, u"0"},
    {"NaN", [](XPathTest&) { return NewNumberResult(kNaN); }, false, kNaN, u"NaN"},
    {"string", [](XPathTest&) { return NewStringResult(u" 42 "); }, true, 42, u" 42 "},
    {"empty string", [](XPathTest&) { return NewStringResult(u""); }, false, kNaN, u""},
    {"text", [](XPathTest&) { return NewStringResult(u"false"); }, true, kNaN, u"false"},
    {"empty set", [](XPathTest&) { return TDomXPathResultPtr(NewNodeSet()); }, false, kNaN, u""},
    {"set of 3 and 4",
     [](XPathTest& t) {
       return AttributeValues(t, {u"3", u"4"}, atForward);
     },
     true, 3, u"3"},
    {"reverse set of 3 and 4",
     [](XPathTest& t) {
       return AttributeValues(t, {u"3", u"4"}, atReverse);
     },
     true, 3, u"3"},
};
INSTANTIATE_TEST_SUITE_P(Table, Conversions, ::testing::ValuesIn(kConversionCases),
                         [](const auto& info) {
                           std::string name;
                           for (const char* c = info.param.Name; *c; ++c) {
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           }
                           return name;
                         });

TEST(ResultConversions, OfNoResultAreRefused) {
  EXPECT_THROW(ToBooleanResult(nullptr), ENot_Supported_Err);
  EXPECT_THROW(ToNumberResult(nullptr), ENot_Supported_Err);
  EXPECT_THROW(ToStringResult(nullptr), ENot_Supported_Err);
}

} // namespace
} // namespace velmora::testing
