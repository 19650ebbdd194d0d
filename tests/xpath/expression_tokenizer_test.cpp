#include "xpath/expression_tokenizer.h"

#include <gtest/gtest.h>

#include "dom/dom_exceptions.h"
#include "runtime/strings.h"

namespace velmora {
namespace {

using enum TDomXPathTokenKind;

const char* const kKindNames[] = {
    "LeftParenthesis",
    "RightParenthesis",
    "LeftSquareBracket",
    "RightSquareBracket",
    "SingleDot",
    "DoubleDot",
    "CommercialAt",
    "Comma",
    "DoubleColon",
    "NameTest",
    "NodeTypeComment",
    "NodeTypeText",
    "NodeTypePI",
    "NodeTypeNode",
    "AndOperator",
    "OrOperator",
    "ModOperator",
    "DivOperator",
    "MultiplyOperator",
    "SlashOperator",
    "ShefferStrokeOperator",
    "PlusOperator",
    "MinusOperator",
    "IsEqualOperator",
    "IsNotEqualOperator",
    "LessThanOperator",
    "LessThanOrEqualOperator",
    "GreaterThanOperator",
    "GreaterThanOrEqualOperator",
    "FunctionName",
    "AxisNameAncestor",
    "AxisNameAncestorOrSelf",
    "AxisNameAttribute",
    "AxisNameChild",
    "AxisNameDescendant",
    "AxisNameDescendantOrSelf",
    "AxisNameFollowing",
    "AxisNameFollowingSibling",
    "AxisNameNamespace",
    "AxisNameParent",
    "AxisNamePreceding",
    "AxisNamePrecedingSibling",
    "AxisNameSelf",
    "Literal",
    "Number",
    "VariableReference",
    "EndOfText",
    "InvalidToken",
};

// The tokens of text up to the end or the first invalid token, as "Kind" or
// "Kind(value)"; the invalid token shows its value in brackets, even when empty.
std::string Tokens(std::u16string_view text) {
  TDomXPathTokenizer tokenizer(text, u"1.0");
  std::string out;
  for (;;) {
    TDomXPathTokenKind kind;
    std::u16string_view value;
    int position;
    tokenizer.Read(kind, value, position);
    if (!out.empty()) {
      out += ' ';
    }
    out += kKindNames[static_cast<int>(kind)];
    if (!value.empty() || kind == InvalidToken) {
      out += "(" + WideToNarrow(value) + ")";
    }
    if (kind == EndOfText || kind == InvalidToken) {
      return out;
    }
  }
}

struct TTokenCase {
  std::u16string_view Text;
  const char* Expected;
  friend void PrintTo(const TTokenCase& c, std::ostream* out) { *out << WideToNarrow(c.Text); }
};

class TokenizerTable : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(TokenizerTable, SplitsIntoTokens) {
  EXPECT_EQ(Tokens(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Punctuation, TokenizerTable,
    ::testing::Values(
        TTokenCase{u"", "EndOfText"}, TTokenCase{u" \t\r\n ", "EndOfText"},
        TTokenCase{u"( ) [ ] . .. @ , ::",
                   "LeftParenthesis RightParenthesis LeftSquareBracket RightSquareBracket "
                   "SingleDot DoubleDot CommercialAt Comma DoubleColon EndOfText"},
        TTokenCase{u"1|2+3-4=5!=6<7<=8>9>=10",
                   "Number(1) ShefferStrokeOperator Number(2) PlusOperator Number(3) "
                   "MinusOperator Number(4) IsEqualOperator Number(5) IsNotEqualOperator "
                   "Number(6) LessThanOperator Number(7) LessThanOrEqualOperator Number(8) "
                   "GreaterThanOperator Number(9) GreaterThanOrEqualOperator Number(10) "
                   "EndOfText"},
        TTokenCase{u"1 * 2 div 3 mod 4 and 5 or 6",
                   "Number(1) MultiplyOperator Number(2) DivOperator Number(3) ModOperator "
                   "Number(4) AndOperator Number(5) OrOperator Number(6) EndOfText"},
        TTokenCase{u"Folder/Contact", "NameTest(Folder) SlashOperator NameTest(Contact) EndOfText"},
        TTokenCase{u"@name[1]",
                   "CommercialAt NameTest(name) LeftSquareBracket Number(1) RightSquareBracket "
                   "EndOfText"},
        TTokenCase{u"../@name[1]",
                   "DoubleDot SlashOperator CommercialAt NameTest(name) LeftSquareBracket "
                   "Number(1) RightSquareBracket EndOfText"},
        TTokenCase{u"//Straße", "SlashOperator AxisNameDescendantOrSelf DoubleColon NodeTypeNode "
                                "LeftParenthesis RightParenthesis SlashOperator NameTest(Straße) "
                                "EndOfText"},
        // What follows "//" is in name position, as after "/".
        TTokenCase{u"a//*", "NameTest(a) SlashOperator AxisNameDescendantOrSelf DoubleColon "
                            "NodeTypeNode LeftParenthesis RightParenthesis SlashOperator "
                            "NameTest(*) EndOfText"},
        TTokenCase{u"!", "InvalidToken(!)"}, TTokenCase{u"a ! b", "NameTest(a) InvalidToken(!)"},
        TTokenCase{u":a", "InvalidToken(:)"}, TTokenCase{u"#", "InvalidToken(#)"}));

INSTANTIATE_TEST_SUITE_P(
    LiteralsNumbersVariables, TokenizerTable,
    ::testing::Values(
        TTokenCase{u"'it''s'", "Literal(it) Literal(s) EndOfText"},
        TTokenCase{u"\"a'b\"", "Literal(a'b) EndOfText"}, TTokenCase{u"''", "Literal EndOfText"},
        TTokenCase{u"'abc", "InvalidToken(abc)"}, TTokenCase{u"\"", "InvalidToken()"},
        TTokenCase{u"12.50", "Number(12.50) EndOfText"}, TTokenCase{u".5", "Number(.5) EndOfText"},
        // A trailing dot stays in the number (which then reads as NaN).
        TTokenCase{u"5.", "Number(5.) EndOfText"},
        TTokenCase{u"1.2.3", "Number(1.2) Number(.3) EndOfText"},
        TTokenCase{u"1-2", "Number(1) MinusOperator Number(2) EndOfText"},
        TTokenCase{u"$a", "VariableReference(a) EndOfText"},
        TTokenCase{u"$p:local-name", "VariableReference(p:local-name) EndOfText"},
        TTokenCase{u"$", "InvalidToken()"}, TTokenCase{u"$1", "InvalidToken(1)"},
        TTokenCase{u"$a:", "InvalidToken(a:)"}, TTokenCase{u"$a:1", "InvalidToken(a:1)"},
        TTokenCase{u"$a::b", "VariableReference(a) DoubleColon NameTest(b) EndOfText"},
        TTokenCase{u"$x*2", "VariableReference(x) MultiplyOperator Number(2) EndOfText"}));

INSTANTIATE_TEST_SUITE_P(
    NamesAndOperators, TokenizerTable,
    ::testing::Values(
        // "*" and operator names are name tests in name position, operators elsewhere.
        TTokenCase{u"* * *", "NameTest(*) MultiplyOperator NameTest(*) EndOfText"},
        TTokenCase{u"div div div", "NameTest(div) DivOperator NameTest(div) EndOfText"},
        TTokenCase{u"and or mod", "NameTest(and) OrOperator NameTest(mod) EndOfText"},
        TTokenCase{u"f(*,*)", "FunctionName(f) LeftParenthesis NameTest(*) Comma NameTest(*) "
                              "RightParenthesis EndOfText"},
        TTokenCase{u"a[*]@*", "NameTest(a) LeftSquareBracket NameTest(*) RightSquareBracket "
                              "CommercialAt NameTest(*) EndOfText"},
        TTokenCase{u"child::*", "AxisNameChild DoubleColon NameTest(*) EndOfText"},
        TTokenCase{u"(a)*2", "LeftParenthesis NameTest(a) RightParenthesis MultiplyOperator "
                             "Number(2) EndOfText"},
        TTokenCase{u"'a' div 1", "Literal(a) DivOperator Number(1) EndOfText"},
        // In operator position a name must be an operator; a colon is not taken into it.
        TTokenCase{u"a foo", "NameTest(a) InvalidToken(foo)"},
        TTokenCase{u"a p:b", "NameTest(a) InvalidToken(p)"},
        TTokenCase{u"a-b - c", "NameTest(a-b) MinusOperator NameTest(c) EndOfText"},
        TTokenCase{u"p:b", "NameTest(p:b) EndOfText"},
        TTokenCase{u"p:*", "NameTest(p:*) EndOfText"}, TTokenCase{u"p:", "InvalidToken(p:)"},
        TTokenCase{u"p:1", "InvalidToken(p:1)"},
        // Before "(" a name is a node type or a function name.
        TTokenCase{u"text()", "NodeTypeText LeftParenthesis RightParenthesis EndOfText"},
        TTokenCase{u"text", "NameTest(text) EndOfText"},
        TTokenCase{u"comment ( )", "NodeTypeComment LeftParenthesis RightParenthesis EndOfText"},
        TTokenCase{u"node()|processing-instruction('x')",
                   "NodeTypeNode LeftParenthesis RightParenthesis ShefferStrokeOperator NodeTypePI "
                   "LeftParenthesis Literal(x) RightParenthesis EndOfText"},
        TTokenCase{u"count (a)",
                   "FunctionName(count) LeftParenthesis NameTest(a) RightParenthesis EndOfText"},
        TTokenCase{u"p:text()", "FunctionName(p:text) LeftParenthesis RightParenthesis EndOfText"},
        // Before "::" a name must be an axis name, white space or not.
        TTokenCase{u"child :: a", "AxisNameChild DoubleColon NameTest(a) EndOfText"},
        TTokenCase{u"foo::a", "InvalidToken()"}));

TEST(Tokenizer, RecognisesEveryAxisName) {
  const std::pair<std::u16string_view, TDomXPathTokenKind> kAxes[] = {
      {u"ancestor", AxisNameAncestor},
      {u"ancestor-or-self", AxisNameAncestorOrSelf},
      {u"attribute", AxisNameAttribute},
      {u"child", AxisNameChild},
      {u"descendant", AxisNameDescendant},
      {u"descendant-or-self", AxisNameDescendantOrSelf},
      {u"following", AxisNameFollowing},
      {u"following-sibling", AxisNameFollowingSibling},
      {u"namespace", AxisNameNamespace},
      {u"parent", AxisNameParent},
      {u"preceding", AxisNamePreceding},
      {u"preceding-sibling", AxisNamePrecedingSibling},
      {u"self", AxisNameSelf},
  };
  for (const auto& [name, kind] : kAxes) {
    const WideString text = WideString(name) + u"::x";
    TDomXPathTokenizer tokenizer(text, u"1.0");
    EXPECT_TRUE(tokenizer.IsFollowing(kind)) << WideToNarrow(name);
    // Without "::" the same name is a name test.
    TDomXPathTokenizer plain(name, u"1.0");
    EXPECT_TRUE(plain.IsFollowing(NameTest)) << WideToNarrow(name);
  }
}

TEST(Tokenizer, RefusesOtherVersions) {
  try {
    TDomXPathTokenizer tokenizer(u"a", u"2.0");
    FAIL() << "no exception";
  } catch (const ENot_Supported_Err& e) {
    EXPECT_STREQ(e.what(), "XPath version \"2.0\" not supproted.");
  }
}

TEST(Tokenizer, LooksOneTokenAheadAndReportsPositions) {
  TDomXPathTokenizer tokenizer(u"ab + //c", u"1.0");
  TDomXPathTokenKind kind;
  std::u16string_view value;
  int position;
  tokenizer.Read(kind, value, position);
  EXPECT_EQ(kind, NameTest);
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(tokenizer.IsFollowing(MinusOperator));
  EXPECT_TRUE(tokenizer.IsFollowing(PlusOperator));
  EXPECT_TRUE(tokenizer.IsFollowing(PlusOperator));
  tokenizer.Read(kind, value, position);
  EXPECT_EQ(kind, PlusOperator);
  EXPECT_EQ(position, 4);
  // The expansion of "//" consumes nothing after its first slash.
  for (int i = 0; i < 7; ++i) {
    tokenizer.Read(kind, value, position);
    EXPECT_EQ(position, 7);
  }
  EXPECT_EQ(kind, SlashOperator);
  tokenizer.Read(kind, value, position);
  EXPECT_EQ(value, u"c");
  EXPECT_EQ(position, 8);
  tokenizer.Read(kind, value, position);
  EXPECT_EQ(kind, EndOfText);
  EXPECT_EQ(position, -1);
  // Reset starts over in name position.
  tokenizer.Reset();
  tokenizer.Read(kind, value, position);
  EXPECT_EQ(value, u"ab");
}

TEST(Tokenizer, CharacterHelpersLookAtTheUnreadText) {
  TDomXPathTokenizer tokenizer(u"a \t::( ", u"1.0");
  char16_t c;
  ASSERT_TRUE(tokenizer.PeekChar(c));
  EXPECT_EQ(c, u'a');
  ASSERT_TRUE(tokenizer.NextChar(c));
  EXPECT_TRUE(tokenizer.DoubleColonFollows());
  EXPECT_FALSE(tokenizer.LeftParenthesisFollows());
  for (int i = 0; i < 4; ++i) {
    tokenizer.NextChar(c);
  }
  EXPECT_FALSE(tokenizer.DoubleColonFollows());
  EXPECT_TRUE(tokenizer.LeftParenthesisFollows());
  tokenizer.NextChar(c);
  tokenizer.NextChar(c);
  EXPECT_FALSE(tokenizer.NextChar(c));
  EXPECT_EQ(c, 0);
}

} // namespace
} // namespace velmora
