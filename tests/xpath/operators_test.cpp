#include <functional>

#include "tests/xpath/xpath_fixture.h"
#include "xpath/syntax_tree.h"

namespace velmora::testing {
namespace {

// /root: v1 (v; s=a), v2 (v; s=b), n (nine=9, one=1.0, three=3, four=4, a=A, b=B),
//        w (raw values: tab="x<tab>y", ref="a&amp;b", lt="a<b"; texts "x", CDATA "y")
class OperatorTest : public XPathTest {
protected:
  OperatorTest() {
    TDomElement* root = Element(FDoc, u"root");
    Element(root, u"v", {{u"id", u"v1"}, {u"s", u"a"}});
    Element(root, u"v", {{u"id", u"v2"}, {u"s", u"b"}});
    Element(root, u"n",
            {{u"id", u"n"},
             {u"nine", u"9"},
             {u"one", u"1.0"},
             {u"three", u"3"},
             {u"four", u"4"},
             {u"a", u"A"},
             {u"b", u"B"}});
    TDomElement* w =
        Element(root, u"w", {{u"tab", u"x\ty"}, {u"ref", u"a&amp;b"}, {u"lt", u"a<b"}});
    Text(w, u"x");
    CData(w, u"y");
  }
};

struct TExpressionCase {
  std::u16string_view Text;
  const char* Expected;
  friend void PrintTo(const TExpressionCase& c, std::ostream* out) { *out << WideToNarrow(c.Text); }
};

class Operators : public OperatorTest, public ::testing::WithParamInterface<TExpressionCase> {};

TEST_P(Operators, Evaluate) {
  EXPECT_EQ(Eval(GetParam().Text), GetParam().Expected);
}

constexpr TExpressionCase kArithmetic[] = {
    {u"1 + 2 * 3", "7"},
    {u"10 - 4 - 3", "3"},
    {u"10 div 4", "2.5"},
    {u"2 * -3", "-6"},
    {u"1 - -2", "3"},
    {u"- - 3", "3"},
    {u"- - - 3", "-3"},
    {u"0.1 + 0.2", "0.3"},
    {u"7 mod 2", "1"},
    {u"-7 mod 2", "-1"},
    {u"7 mod -2", "1"},
    {u"5.5 mod 2", "1.5"},
    {u"5 mod 0", "NaN"},
    {u"1 div 0", "NaN"},
    {u"-1 div 0", "NaN"},
    {u"0 div 0", "NaN"},
    {u"0 * -1", "0"},
    {u"-0", "0"},
    // A quotient beyond 2^63 has no 64-bit integer part.
    {u"9223372036854775808 mod 0.5", "NaN"},
    {u"9223372036854775807 mod 3", "0"},
    {u"5.", "NaN"},
    {u"'12' + 1", "13"},
    {u"'x' + 1", "NaN"},
    {u"//n/@three * (//n/@four)", "12"},
    {u"//v/@s + 1", "NaN"},
    {u"(1 = 1) + (2 = 2)", "2"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, Operators, ::testing::ValuesIn(kArithmetic));

constexpr TExpressionCase kComparisons[] = {
    {u"1 = 1", "true"},
    {u"'1.0' = 1", "true"}, // a string and a number compare as numbers
    {u"'abc' = 'abc'", "true"},
    {u"'abc' != 'abd'", "true"},
    {u"(1 = 1) = 'x'", "true"}, // with a boolean, both are booleans
    {u"(1 = 2) = ''", "true"},
    {u"(1 = 1) = 0", "false"},
    {u"0 div 0 = 0 div 0", "true"}, // two NaN values are equal
    {u"0 div 0 = 1", "false"},
    {u"0 div 0 != 1", "true"},
    {u"0 div 0 < 1", "false"},
    {u"0 div 0 <= 1", "false"},
    {u"0 div 0 >= 1", "false"},
    {u"0 div 0 > 1", "false"},
    {u"9 < 10", "true"},
    {u"'9' < '10'", "true"}, // without node sets, strings compare as numbers
    {u"1 < 2 < 3", "true"},  // (1 < 2) < 3
    {u"3 > 2 > 1", "false"}, // (3 > 2) > 1
    {u"2 >= 2", "true"},
    {u"2 <= 1", "false"},
    {u"1 = 1 = 1", "true"},
    {u"1 != 2 = 1", "true"},
    // A node set compares through its nodes' string values, with numbers and booleans
    // as strings.
    {u"//v/@s = 'a'", "true"},
    {u"//v/@s != 'a'", "true"},
    {u"'a' = (//v/@s)", "true"},
    {u"//v/@s = 'c'", "false"},
    {u"//n/@one = 1", "false"},
    {u"//n/@one = '1.0'", "true"},
    {u"//n/@three = 3", "true"},
    {u"//n/@nine < 10", "false"},
    {u"//n/@nine > 10", "true"},
    {u"10 < (//n/@nine)", "true"},
    {u"'10' < (//n/@nine)", "true"},
    {u"'9' > (//n/@nine)", "false"},
    {u"//n/@nine >= '9'", "true"},
    {u"//v/@s = (1 = 1)", "false"},
    {u"//none = ''", "false"},
    {u"//none != ''", "false"},
    {u"//v/@s = (//v/@s)", "true"},
    {u"//v/@s != (//v/@s)", "true"},
    {u"//v[1]/@s != (//v[1]/@s)", "false"},
    {u"//v/@s = (//n/@*)", "false"},
    {u"//n/@a = (//n/@*)", "true"},
    {u"//v/@s = (//none)", "false"},
    {u"//v/@s != (//none)", "false"},
    {u"//v/@s < (//v/@s)", "true"}, // a < b
    {u"//v/@s > (//v/@s)", "true"}, // b > a
    {u"//v[1]/@s < (//v[1]/@s)", "false"},
    {u"//v[1]/@s <= (//v[1]/@s)", "true"},
    {u"//n/@a < (//v/@s)", "true"}, // "A" < "a" by code units
    {u"//v/@s >= (//n/@b)", "true"},
    {u"//v/@s < (//none)", "false"},
    // String values: attributes as normalized, elements as the text inside.
    {u"//w/@tab = 'x y'", "true"},
    {u"//w/@ref = 'a&b'", "true"},
    {u"//w/@lt = 'a<b'", "true"},
    {u"//w = 'xy'", "true"},
    {u"//v[1] = ''", "true"},
    {u"//w/text() = 'y'", "true"},
};
INSTANTIATE_TEST_SUITE_P(Comparisons, Operators, ::testing::ValuesIn(kComparisons));

constexpr TExpressionCase kLogic[] = {
    {u"1 = 1 or 1 = 2", "true"},
    {u"1 = 2 or 1 = 2", "false"},
    {u"1 = 1 and 1 = 2", "false"},
    {u"1 = 1 and 2 = 2 and 'x'", "true"},
    {u"0 or '' or (//none)", "false"},
    {u"0 or '' or (//v)", "true"},
    {u"1 = 2 or 1 = 2 and 1 = 1", "false"},
    {u"1 = 1 or 1 = 1 and 1 = 2", "true"},
    // The right operand is not evaluated once the left one decides.
    {u"1 = 1 or $unbound", "true"},
    {u"1 = 2 and $unbound", "false"},
    {u"1 = 1 or 1 = 2 or $unbound", "true"},
    {u"1 = 2 or $unbound", "!EXPath_Exception: No binding for variable $unbound provided."},
    {u"1 = 1 and $p:unbound", "!ENamespace_Err: Namespace URI of prefix 'p' not found."},
};
INSTANTIATE_TEST_SUITE_P(Logic, Operators, ::testing::ValuesIn(kLogic));

constexpr TExpressionCase kUnions[] = {
    {u"//n | //v", "[v1 v2 n]"},
    {u"//v | //v | //v", "[v1 v2]"},
    {u"//v[2] | //n | //v[1]", "[v1 v2 n]"},
    {u"/root | /", "[/ root]"},
    {u"(//n/ancestor::node() | //v)[1]", "[/]"},
    // Attributes of one element: the right operand's own come first.
    {u"//n/@three | //n/@four", "[@four=4 @three=3]"},
    {u"//n/@three | //n/@four | //n/@three", "[@three=3 @four=4]"},
    {u"//n/@four | //n/@*", "[@id=n @nine=9 @one=1.0 @three=3 @four=4 @a=A @b=B]"},
    {u"//n | //n/@a | //v", "[v1 v2 n @a=A]"},
    {u"//n/@a | //v | //n", "[v1 v2 n @a=A]"},
    {u"1 | //v", "!EXPath_Type_Err: XPath type error."},
    {u"//v | 'x'", "!EXPath_Type_Err: XPath type error."},
};
INSTANTIATE_TEST_SUITE_P(Unions, Operators, ::testing::ValuesIn(kUnions));

constexpr TExpressionCase kPrimaries[] = {
    {u"'it''s'", "refused"},
    {u"\"it's\"", "'it's'"},
    {u"''", "''"},
    {u"12.50", "12.5"},
    {u".5", "0.5"},
    {u"(((3)))", "3"},
    {u"(//v)[2]", "[v2]"},
    {u"(//v)[last()]", "[v2]"},
    {u"(//v | //n)[position() = 2]", "[v2]"},
    {u"('x')[1]", "!EXPath_Type_Err: XPath type error."},
    {u"(1)/a", "!EXPath_Type_Err: XPath type error."},
    {u"count(//v)", "2"},
    {u"count(//none)", "0"},
    {u"count('x')",
     "!EXPath_Invalid_Function_Call_Err: Argument mismatch error in count(): Expression does "
     "not evaluate to node-set."},
    {u"count()", "!EXPath_Invalid_Function_Call_Err: Arguments mismatch error in count()."},
    {u"last(1)", "!EXPath_Invalid_Function_Call_Err: Arguments mismatch error in last()."},
    {u"last()", "1"},
    {u"position()", "1"},
    {u"p:f()", "!ENamespace_Err: Namespace URI of prefix 'p' not found."},
    {u"f()", "!EXPath_Exception: Unknown function name."},
};
INSTANTIATE_TEST_SUITE_P(Primaries, Operators, ::testing::ValuesIn(kPrimaries));

TEST_F(OperatorTest, AnInfinityFromFiniteNumbersIsNaN) {
  const WideString large = u"1" + WideString(200, u'0');
  EXPECT_EQ(Eval(large + u" * " + large), "NaN");
  EXPECT_EQ(Eval(u"-" + large + u" * " + large), "NaN");
  EXPECT_EQ(Eval(large + u" * " + large + u" - " + large), "NaN");
  EXPECT_EQ(Eval(large + u" div 0." + WideString(200, u'0') + u"1"), "NaN");
}

TEST_F(OperatorTest, ExpressionsWithoutContextNode) {
  EXPECT_EQ(Eval(u"1 + 2", nullptr), "3");
  EXPECT_EQ(Eval(u"'a' = 'a'", nullptr), "true");
  EXPECT_EQ(Eval(u"root", nullptr), "!EXPath_Type_Err: XPath type error.");
  EXPECT_EQ(Eval(u"/", nullptr), "!EXPath_Type_Err: XPath type error.");
}

TEST_F(OperatorTest, ContextNodesOfKindsThatCannotStartAnExpression) {
  EXPECT_EQ(Eval(u"1", CData(nullptr, u"x")), "!ENot_Supported_Err: Not supported error.");
  EXPECT_EQ(Eval(u"1", new TDomDocumentFragment(FDoc)),
            "!ENot_Supported_Err: Not supported error.");
  TDomXPathSyntaxTree tree;
  EXPECT_THROW(tree.Evaluate(FDoc), EXPath_Invalid_Expression_Err);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

WideString Repeated(std::u16string_view text, int count) {
  WideString repeated;
  for (int i = 0; i < count; ++i) {
    repeated += text;
  }
  return repeated;
}

// The longest flat runs and the deepest nesting the parser accepts evaluate with loops
// and bounded recursion.
TEST_F(OperatorTest, LongRunsAndDeepNesting) {
  constexpr int kRun = 100'000;
  EXPECT_EQ(Eval(u"0" + Repeated(u" + 1", kRun)), "100000");
  EXPECT_EQ(Eval(u"1" + Repeated(u" = 1", kRun)), "true");
  EXPECT_EQ(Eval(u"0 = 1" + Repeated(u" or 0 = 1", kRun)), "false");
  EXPECT_EQ(Eval(Repeated(u"- ", kRun) + u"7"), "7");
  EXPECT_EQ(Eval(u"count(//v" + Repeated(u" | //v", kRun) + u")"), "2");
  EXPECT_EQ(Eval(u"count(/root" + Repeated(u"/v/..", kRun) + u")"), "1");
  EXPECT_EQ(Eval(u"count((//v)" + Repeated(u"[1 = 1]", kRun) + u")"), "2");

  struct TNesting {
    std::u16string_view Open, Core, Close;
    std::function<std::string(int depth)> Expected;
  };
  const TNesting nestings[] = {
      {u"1 + (", u"0", u")", [](int depth) { return std::to_string(depth); }},
      {u"self::node()[", u"1 = 1", u"]", [](int) { return std::string("[root]"); }},
      {u"count((/root)[", u"1", u"])", [](int) { return std::string("1"); }},
  };
  for (const TNesting& nesting : nestings) {
    WideString deepest;
    int depth = 0;
    for (;; ++depth) {
      WideString text = Repeated(nesting.Open, depth + 1) + WideString(nesting.Core) +
                        Repeated(nesting.Close, depth + 1);
      TDomXPathSyntaxTree tree;
      if (!tree.Prepare(text)) {
        break;
      }
      deepest = std::move(text);
    }
    ASSERT_GT(depth, 10) << WideToNarrow(nesting.Open);
    EXPECT_EQ(Eval(deepest, FDoc->documentElement()), nesting.Expected(depth));
  }
}

} // namespace
} // namespace velmora::testing
