#include "dom/value_string.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

// Each step starts from the value "abcdef" and may take its text from the value itself,
// which the value must survive whether it keeps its block or moves to a larger one.
struct TValueStep {
  const char* Name;
  void (*Apply)(TDomValueString& value);
  std::u16string_view Expected;
};

const TValueStep kSteps[] = {
    {"AssignShorter", [](TDomValueString& v) { v.assign(u"xy"); }, u"xy"},
    {"AssignEmpty", [](TDomValueString& v) { v.assign(u""); }, u""},
    {"AssignLonger", [](TDomValueString& v) { v.assign(u"0123456789abcdefghij"); },
     u"0123456789abcdefghij"},
    {"AssignOwnTail", [](TDomValueString& v) { v.assign(v.view().substr(2)); }, u"cdef"},
    {"AppendOwnValue", [](TDomValueString& v) { v.append(v.view()); }, u"abcdefabcdef"},
    {"AppendOwnValueTwice",
     [](TDomValueString& v) {
       v.append(v.view());
       v.append(v.view());
     },
     u"abcdefabcdefabcdefabcdef"},
    {"AppendNothing", [](TDomValueString& v) { v.append(u""); }, u"abcdef"},
    // Indentation longer than the block takes shared text, which every later change leaves.
    {"AssignIndentation", [](TDomValueString& v) { v.assign(u"\n            "); },
     u"\n            "},
    {"AppendToIndentation",
     [](TDomValueString& v) {
       v.assign(u"\n\t\t\t\t\t\t\t\t\t");
       v.append(u"x");
     },
     u"\n\t\t\t\t\t\t\t\t\tx"},
    {"AssignIndentationTail",
     [](TDomValueString& v) {
       v.assign(u"\n            ");
       v.assign(v.view().substr(10));
     },
     u"   "},
    {"IndentationThenOther",
     [](TDomValueString& v) {
       v.assign(u"\n            ");
       v.assign(u"0123456789abcdefghij");
       v.assign(u"\n            ");
       v.append(v.view());
     },
     u"\n            \n            "},
    {"MixedIndentationIsOwn", [](TDomValueString& v) { v.assign(u"\n \t          "); },
     u"\n \t          "},
};

class ValueString : public ::testing::TestWithParam<TValueStep> {};

TEST_P(ValueString, HoldsWhatTheStepLeaves) {
  TDomValueString value;
  EXPECT_TRUE(value.empty());
  EXPECT_EQ(value.view(), u"");
  value.assign(u"abcdef");
  GetParam().Apply(value);
  EXPECT_EQ(value.view(), GetParam().Expected);
  EXPECT_EQ(value.size(), GetParam().Expected.size());
}

INSTANTIATE_TEST_SUITE_P(Steps, ValueString, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ValueString, IndentationUpToItsLongestIsShared) {
  const std::u16string longest = u"\n" + std::u16string(255, u' ');
  for (const std::u16string& text : {longest, longest + u' ', std::u16string(u"\n\t\t")}) {
    TDomValueString first;
    TDomValueString second;
    first.assign(text);
    second.assign(text);
    EXPECT_EQ(first.view(), text);
    EXPECT_EQ(first.view().data() == second.view().data(), text != longest + u' ');
  }
}

TEST(ValueString, AppendingManyTimesKeepsEveryUnit) {
  TDomValueString value;
  std::u16string expected;
  for (int i = 0; i < 10000; ++i) {
    const char16_t unit = static_cast<char16_t>(u'a' + i % 26);
    value.append(std::u16string_view(&unit, 1));
    expected += unit;
  }
  EXPECT_EQ(value.view(), expected);
}

TEST(ValueString, GrowsByDoublingUpToTheLargestValue) {
  constexpr size_t kMax = TDomValueString::kMaxUnits;
  EXPECT_EQ(TDomValueString::GrownCapacity(5, 4), 8u);
  EXPECT_EQ(TDomValueString::GrownCapacity(100, 4), 100u);
  // A value of 2^31 units still takes one more: the doubled room is capped, not refused.
  EXPECT_EQ(TDomValueString::GrownCapacity((size_t{1} << 31) + 1, size_t{1} << 31), kMax);
  EXPECT_EQ(TDomValueString::GrownCapacity(kMax, kMax - 4), kMax);
}

} // namespace
} // namespace velmora
