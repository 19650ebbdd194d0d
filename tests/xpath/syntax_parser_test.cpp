#include "xpath/syntax_tree.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dom/dom_exceptions.h"
#include "xpath/expression_nodes.h"
#include "xpath/location_path_nodes.h"

namespace velmora {
namespace {

// Nodes that pass their one operand through, left out of compact pictures of trees.
bool IsPassThrough(const TDomXPathSyntaxNode* node) {
  static constexpr TDomXPathNodeClasses kUnits = {
      ncExpr,     ncOrExpr,       ncAndExpr,   ncIsEqualExpr, ncLessThanExpr,
      ncPlusExpr, ncMultiplyExpr, ncUnaryExpr, ncUnionExpr,   ncPrimaryExpr};
  if (node->IsOneOf(kUnits) || node->IsA(ncFilterExpr)) {
    return node->Left() && !node->Right() && !node->Left()->IsA(ncMinusOperator);
  }
  return node->IsA(ncPathExpr) && node->Left() && node->Left()->IsA(ncFilterExpr) && !node->Right();
}

// "Class 'value'(Left, Right)" without the "TDomXPath" prefix, "-" for a missing Left,
// the arguments of a function call in brackets. Test trees are small: recursion is fine.
std::string Picture(const TDomXPathSyntaxNode* node, bool compact = true) {
  if (!node) {
    return "-";
  }
  if (compact && IsPassThrough(node)) {
    return Picture(node->Left(), compact);
  }
  std::string out = node->ClassName() + std::strlen("TDomXPath");
  if (!node->Value().empty()) {
    out += " '" + WideToNarrow(node->Value()) + "'";
  }
  if (const auto* call = SyntaxNodeCast<TDomXPathFunctionCall>(node)) {
    out += "[";
    for (size_t i = 0; i < call->Arguments().size(); ++i) {
      out += (i ? ", " : "") + Picture(call->Arguments()[i], compact);
    }
    out += "]";
  }
  if (node->Left() || node->Right()) {
    out += "(" + Picture(node->Left(), compact);
    if (node->Right()) {
      out += ", " + Picture(node->Right(), compact);
    }
    out += ")";
  }
  return out;
}

std::string ParsedPicture(std::u16string_view text, bool compact = true) {
  TDomXPathSyntaxTree tree;
  if (!tree.Prepare(text)) {
    return "refused";
  }
  return Picture(tree.RootExpression(), compact);
}

TEST(SyntaxTree, EveryOperandClimbsTheWholeLadder) {
  EXPECT_EQ(ParsedPicture(u"Folder", false),
            "Expr(OrExpr(AndExpr(IsEqualExpr(LessThanExpr(PlusExpr(MultiplyExpr(UnaryExpr("
            "UnionExpr(PathExpr(-, Step(AxisNameChild(NodeTest(NameTest 'Folder')))))))))))))");
  EXPECT_EQ(ParsedPicture(u"'x'", false),
            "Expr(OrExpr(AndExpr(IsEqualExpr(LessThanExpr(PlusExpr(MultiplyExpr(UnaryExpr("
            "UnionExpr(PathExpr(FilterExpr(PrimaryExpr(Literal 'x'))))))))))))");
}

struct TShapeCase {
  std::u16string_view Text;
  const char* Expected;
  friend void PrintTo(const TShapeCase& c, std::ostream* out) { *out << WideToNarrow(c.Text); }
};

class TreeShapes : public ::testing::TestWithParam<TShapeCase> {};

TEST_P(TreeShapes, AreBuiltAsWritten) {
  EXPECT_EQ(ParsedPicture(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    LocationPaths, TreeShapes,
    ::testing::Values(
        TShapeCase{u"Folder/Contact", "PathExpr(-, Step(AxisNameChild(NodeTest(NameTest "
                                      "'Folder')), Step(AxisNameChild(NodeTest(NameTest "
                                      "'Contact')))))"},
        TShapeCase{u"/Data/Folder/Folder[Folder/@name[1]='Contacts']",
                   "PathExpr(AbsoluteLocationPath, Step(AxisNameChild(NodeTest(NameTest 'Data')), "
                   "Step(AxisNameChild(NodeTest(NameTest 'Folder')), Step(AxisNameChild(NodeTest("
                   "NameTest 'Folder'), Predicate(IsEqualExpr(PathExpr(-, Step(AxisNameChild("
                   "NodeTest(NameTest 'Folder')), Step(AxisNameAttribute(NodeTest(NameTest "
                   "'name'), Predicate(Number '1'))))), Literal 'Contacts')))))))"},
        TShapeCase{u"../@name[1]",
                   "PathExpr(-, Step(AxisNameParent(NodeTest(NodeTypeNode)), Step("
                   "AxisNameAttribute(NodeTest(NameTest 'name'), Predicate(Number '1')))))"},
        TShapeCase{u"Name[1]",
                   "PathExpr(-, Step(AxisNameChild(NodeTest(NameTest 'Name'), Predicate(Number "
                   "'1'))))"},
        TShapeCase{u"text()", "PathExpr(-, Step(AxisNameChild(NodeTest(NodeTypeText))))"},
        TShapeCase{u".", "PathExpr(-, Step(AxisNameSelf(NodeTest(NodeTypeNode))))"},
        TShapeCase{u"@*", "PathExpr(-, Step(AxisNameAttribute(NodeTest(NameTest '*'))))"},
        TShapeCase{u"ancestor :: p:*[2][last()]",
                   "PathExpr(-, Step(AxisNameAncestor(NodeTest(NameTest 'p:*'), Predicate(Number "
                   "'2', Predicate(FunctionCall 'last'[])))))"},
        TShapeCase{u"processing-instruction('t')",
                   "PathExpr(-, Step(AxisNameChild(NodeTest(NodeTypePI(Literal 't')))))"},
        TShapeCase{u"a//b", "PathExpr(-, Step(AxisNameChild(NodeTest(NameTest 'a')), Step("
                            "AxisNameDescendantOrSelf(NodeTest(NodeTypeNode)), Step(AxisNameChild("
                            "NodeTest(NameTest 'b'))))))"},
        TShapeCase{u"/", "PathExpr(AbsoluteLocationPath)"},
        TShapeCase{u"$v/a", "PathExpr(VariableReference 'v', Step(AxisNameChild(NodeTest("
                            "NameTest 'a'))))"},
        // Each predicate of a filter expression gets a filter expression of its own.
        TShapeCase{u"(a)[1][2]",
                   "FilterExpr(FilterExpr(PathExpr(-, Step(AxisNameChild(NodeTest(NameTest "
                   "'a')))), Predicate(Number '1')), Predicate(Number '2'))"}));

INSTANTIATE_TEST_SUITE_P(
    Operators, TreeShapes,
    ::testing::Values(
        TShapeCase{u"1 + 2 * 3", "PlusExpr(Number '1', MultiplyExpr(Number '2', Number '3'))"},
        TShapeCase{u"1 - 2 - 3", "MinusExpr(MinusExpr(Number '1', Number '2'), Number '3')"},
        TShapeCase{u"6 div 2 mod 4 * 1",
                   "MultiplyExpr(ModExpr(DivExpr(Number '6', Number '2'), Number '4'), Number "
                   "'1')"},
        TShapeCase{u"1 - -2", "MinusExpr(Number '1', UnaryExpr(MinusOperator, Number '2'))"},
        TShapeCase{u"2 * -3", "MultiplyExpr(Number '2', UnaryExpr(MinusOperator, Number '3'))"},
        TShapeCase{u"- - 1", "UnaryExpr(MinusOperator, UnaryExpr(MinusOperator, Number '1'))"},
        TShapeCase{u"-a | b",
                   "UnaryExpr(MinusOperator, UnionExpr(PathExpr(-, Step(AxisNameChild(NodeTest("
                   "NameTest 'a')))), PathExpr(-, Step(AxisNameChild(NodeTest(NameTest 'b'))))))"},
        TShapeCase{u"1 < 2 <= 3 > 4 >= 5",
                   "GreaterThanOrEqualExpr(GreaterThanExpr(LessThanOrEqualExpr(LessThanExpr("
                   "Number '1', Number '2'), Number '3'), Number '4'), Number '5')"},
        TShapeCase{u"1 = 2 != 3 < 4",
                   "IsNotEqualExpr(IsEqualExpr(Number '1', Number '2'), LessThanExpr(Number '3', "
                   "Number '4'))"},
        TShapeCase{u"1 or 2 and 3 = 4",
                   "OrExpr(Number '1', AndExpr(Number '2', IsEqualExpr(Number '3', Number "
                   "'4')))"},
        TShapeCase{u"(1 + 2) * 3", "MultiplyExpr(PlusExpr(Number '1', Number '2'), Number '3')"},
        // A number with a trailing dot is kept as written.
        TShapeCase{u"5.", "Number '5.'"}, TShapeCase{u"f()", "FunctionCall 'f'[]"},
        TShapeCase{u"concat('a', $b, 3)",
                   "FunctionCall 'concat'[Literal 'a', VariableReference 'b', Number '3']"},
        TShapeCase{u"count(//*)",
                   "FunctionCall 'count'[PathExpr(AbsoluteLocationPath, Step("
                   "AxisNameDescendantOrSelf(NodeTest(NodeTypeNode)), Step(AxisNameChild("
                   "NodeTest(NameTest '*')))))]"}));

struct TAcceptCase {
  std::u16string_view Text;
  bool Accepted;
  friend void PrintTo(const TAcceptCase& c, std::ostream* out) { *out << WideToNarrow(c.Text); }
};

class Grammar : public ::testing::TestWithParam<TAcceptCase> {};

TEST_P(Grammar, AcceptsOrRefuses) {
  TDomXPathSyntaxTree tree;
  EXPECT_EQ(tree.Prepare(GetParam().Text), GetParam().Accepted);
  EXPECT_EQ(tree.IsPrepared(), GetParam().Accepted);
  EXPECT_EQ(tree.RootExpression() != nullptr, GetParam().Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, Grammar,
    ::testing::Values(
        TAcceptCase{u"a", true}, TAcceptCase{u"*", true}, TAcceptCase{u"p:a", true},
        TAcceptCase{u"p:*", true}, TAcceptCase{u"@a", true}, TAcceptCase{u"..", true},
        TAcceptCase{u"//a", true}, TAcceptCase{u"a/b/c", true}, TAcceptCase{u"child :: a", true},
        TAcceptCase{u"ancestor-or-self::node()", true}, TAcceptCase{u"comment()", true},
        TAcceptCase{u"processing-instruction()", true}, TAcceptCase{u"a[1][b]", true},
        TAcceptCase{u"a[b[c]]", true}, TAcceptCase{u"(a)", true}, TAcceptCase{u"(a)/b", true},
        TAcceptCase{u"f(1)[2]", true}, TAcceptCase{u"'lit'", true}, TAcceptCase{u".5", true},
        TAcceptCase{u"f(g(h()), 2)", true}, TAcceptCase{u"Item[@type='Name']/@value", true},
        TAcceptCase{u"a | b | c", true}, TAcceptCase{u"1 != 2 and 3 >= 4 or 5 mod 6", true},
        // An absolute path, and the root path alone, may begin at the start, after "(" and
        // after "|".
        TAcceptCase{u"(/a)", true}, TAcceptCase{u"a | /b", true}, TAcceptCase{u"/ | a", true},
        TAcceptCase{u"a | /", true}, TAcceptCase{u"1 = (/a)", true},
        TAcceptCase{u"f(1, (/a))", true}, TAcceptCase{u"(/)", true}, TAcceptCase{u"count(/)", true},
        TAcceptCase{u"f(/ | a)", true}));

INSTANTIATE_TEST_SUITE_P(
    Refused, Grammar,
    ::testing::Values(
        TAcceptCase{u"", false}, TAcceptCase{u"  ", false}, TAcceptCase{u"(", false},
        TAcceptCase{u")", false}, TAcceptCase{u"(a", false}, TAcceptCase{u"a)", false},
        TAcceptCase{u"((a)", false}, TAcceptCase{u"()", false}, TAcceptCase{u"[1]", false},
        TAcceptCase{u"a[", false}, TAcceptCase{u"a]", false}, TAcceptCase{u"a[]", false},
        TAcceptCase{u"a[1]]", false}, TAcceptCase{u"f(", false}, TAcceptCase{u"f(a", false},
        TAcceptCase{u"f(a,)", false}, TAcceptCase{u"f(,a)", false}, TAcceptCase{u"f(a,,b)", false},
        TAcceptCase{u"(a, b)", false}, TAcceptCase{u"1 +", false}, TAcceptCase{u"+ 1", false},
        TAcceptCase{u"-", false}, TAcceptCase{u"a |", false}, TAcceptCase{u"| a", false},
        TAcceptCase{u"a | | b", false}, TAcceptCase{u"1 2", false}, TAcceptCase{u"a b", false},
        TAcceptCase{u"a/", false}, TAcceptCase{u"a//", false}, TAcceptCase{u"@", false},
        TAcceptCase{u"::a", false}, TAcceptCase{u"foo::a", false}, TAcceptCase{u"child::", false},
        TAcceptCase{u"text(1)", false}, TAcceptCase{u"comment('x')", false},
        TAcceptCase{u"processing-instruction(1)", false}, TAcceptCase{u"$", false},
        TAcceptCase{u"'abc", false}, TAcceptCase{u"a ! b", false},
        // Nowhere else may an absolute path begin, not even the root path alone.
        TAcceptCase{u"1 = /a", false}, TAcceptCase{u"a and /b", false},
        TAcceptCase{u"f(1, /a)", false}, TAcceptCase{u"a[/b]", false}, TAcceptCase{u"1 = /", false},
        TAcceptCase{u"f(1, /)", false}));

TEST(SyntaxTree, SplitsNamesAndBindsCoreFunctions) {
  TDomXPathSyntaxTree tree;
  ASSERT_TRUE(tree.Prepare(u"count(p:a | p:*) + p:count() + local-name(*) + custom()"));
  struct TCall {
    std::u16string_view Prefix;
    std::u16string_view LocalName;
    TDomXPathCoreFunction Function;
  };
  const TCall kCalls[] = {{u"", u"count", cfCount},
                          {u"p", u"count", cfNone},
                          {u"", u"local-name", cfLocalName},
                          {u"", u"custom", cfNone}};
  // Walk the chain of "+" from its right end.
  const TDomXPathSyntaxNode* plus = tree.RootExpression();
  while (!plus->IsA(ncPlusExpr)) {
    plus = plus->Left();
  }
  for (int i = 3; i >= 0; --i) {
    const TDomXPathSyntaxNode* operand = i > 0 ? plus->Right() : plus;
    while (!operand->IsA(ncFunctionCall)) {
      operand = operand->Left();
    }
    const auto* call = static_cast<const TDomXPathFunctionCall*>(operand);
    EXPECT_EQ(call->Prefix(), kCalls[i].Prefix);
    EXPECT_EQ(call->LocalName(), kCalls[i].LocalName);
    EXPECT_EQ(call->CoreFunction(), kCalls[i].Function) << i;
    plus = plus->Left();
  }

  TDomXPathSyntaxNode* nameTest = tree.CreateSyntaxNode(TDomXPathTokenKind::NameTest, u"p:a");
  EXPECT_EQ(static_cast<TDomXPathNameTest*>(nameTest)->Prefix(), u"p");
  EXPECT_EQ(static_cast<TDomXPathNameTest*>(nameTest)->LocalName(), u"a");
  auto* wildcard =
      static_cast<TDomXPathNameTest*>(tree.CreateSyntaxNode(TDomXPathTokenKind::NameTest, u"p:*"));
  EXPECT_EQ(wildcard->Prefix(), u"p");
  EXPECT_EQ(wildcard->LocalName(), u"*");
  auto* variable = static_cast<TDomXPathVariableReference*>(
      tree.CreateSyntaxNode(TDomXPathTokenKind::VariableReference, u"v"));
  EXPECT_EQ(variable->Prefix(), u"");
  EXPECT_EQ(variable->LocalName(), u"v");
}

TEST(SyntaxTree, CreatesNodesForTokensOnly) {
  TDomXPathSyntaxTree tree;
  EXPECT_EQ(tree.CreateSyntaxNode(TDomXPathTokenKind::EndOfText, u""), nullptr);
  EXPECT_EQ(tree.CreateSyntaxNode(TDomXPathTokenKind::InvalidToken, u"!"), nullptr);
  for (int kind = 0; kind < static_cast<int>(TDomXPathTokenKind::EndOfText); ++kind) {
    const auto tokenKind = static_cast<TDomXPathTokenKind>(kind);
    const bool named = tokenKind == TDomXPathTokenKind::NameTest ||
                       tokenKind == TDomXPathTokenKind::VariableReference;
    TDomXPathSyntaxNode* node = tree.CreateSyntaxNode(tokenKind, named ? u"n" : u"");
    ASSERT_NE(node, nullptr) << kind;
    EXPECT_EQ(node->NodeClass(), NodeClassOfToken(tokenKind));
    EXPECT_EQ(node->SyntaxTree(), &tree);
  }
  // Values given from outside the expression are kept by the tree.
  TDomXPathSyntaxNode* literal;
  {
    const WideString value(100, u'x');
    literal = tree.CreateSyntaxNode(TDomXPathTokenKind::Literal, value);
  }
  EXPECT_EQ(literal->Value(), WideString(100, u'x'));
}

TEST(SyntaxTree, MalformedQualifiedNamesRaise) {
  TDomXPathSyntaxTree tree;
  for (std::u16string_view name : {u"a:b:c", u"1a", u":a", u"a:", u"1:*"}) {
    EXPECT_THROW(tree.CreateSyntaxNode(TDomXPathTokenKind::NameTest, name), EInvalid_Character_Err)
        << WideToNarrow(name);
    EXPECT_THROW(tree.CreateSyntaxNode(TDomXPathTokenKind::VariableReference, name),
                 EInvalid_Character_Err)
        << WideToNarrow(name);
  }
}

TEST(SyntaxTree, AxisNamesKnowTheirDirectionAndPrincipalKind) {
  struct TAxisCase {
    std::u16string_view Text;
    TDomXPathNodeClass Class;
    TDomXPathAxisType AxisType;
    TDomNodeType PrincipalKind;
  };
  const TAxisCase kCases[] = {
      {u"ancestor::*", ncAxisNameAncestor, atReverse, nkElement},
      {u"ancestor-or-self::*", ncAxisNameAncestorOrSelf, atReverse, nkElement},
      {u"attribute::*", ncAxisNameAttribute, atForward, nkAttribute},
      {u"child::*", ncAxisNameChild, atForward, nkElement},
      {u"descendant::*", ncAxisNameDescendant, atForward, nkElement},
      {u"descendant-or-self::*", ncAxisNameDescendantOrSelf, atForward, nkElement},
      {u"following::*", ncAxisNameFollowing, atForward, nkElement},
      {u"following-sibling::*", ncAxisNameFollowingSibling, atForward, nkElement},
      {u"namespace::*", ncAxisNameNamespace, atForward, nkXPathNamespace},
      {u"parent::*", ncAxisNameParent, atForward, nkElement},
      {u"preceding::*", ncAxisNamePreceding, atReverse, nkElement},
      {u"preceding-sibling::*", ncAxisNamePrecedingSibling, atReverse, nkElement},
      {u"self::*", ncAxisNameSelf, atForward, nkElement},
  };
  for (const TAxisCase& c : kCases) {
    TDomXPathSyntaxTree tree;
    ASSERT_TRUE(tree.Prepare(c.Text)) << WideToNarrow(c.Text);
    const TDomXPathSyntaxNode* node = tree.RootExpression();
    while (!node->IsA(ncStep)) {
      node = node->IsA(ncPathExpr) ? node->Right() : node->Left();
    }
    const auto* axis = static_cast<const TDomXPathCustomAxisName*>(node->Left());
    EXPECT_EQ(axis->NodeClass(), c.Class) << WideToNarrow(c.Text);
    EXPECT_EQ(axis->AxisType(), c.AxisType) << WideToNarrow(c.Text);
    EXPECT_EQ(axis->PrincipalNodeKind(), c.PrincipalKind) << WideToNarrow(c.Text);
  }
}

TEST(SyntaxTree, ClearForgetsTheRootAndPrepareStartsOver) {
  TDomXPathSyntaxTree tree;
  ASSERT_TRUE(tree.Prepare(u"a[1]"));
  tree.clear();
  EXPECT_FALSE(tree.IsPrepared());
  EXPECT_EQ(tree.RootExpression(), nullptr);
  // A failed parse forgets the previous tree too; the storage is reused across parses.
  ASSERT_TRUE(tree.Prepare(u"b"));
  EXPECT_FALSE(tree.Prepare(u"b["));
  EXPECT_FALSE(tree.IsPrepared());
  WideString big = u"x";
  for (int i = 0; i < 2000; ++i) {
    big += u"|x";
  }
  ASSERT_TRUE(tree.Prepare(big));
  ASSERT_TRUE(tree.Prepare(u"c"));
  EXPECT_EQ(Picture(tree.RootExpression()),
            "PathExpr(-, Step(AxisNameChild(NodeTest(NameTest 'c'))))");
}

// Texts of n repetitions of a unit between a head and a tail.
WideString Repeated(std::u16string_view head, std::u16string_view unit, int n,
                    std::u16string_view tail) {
  WideString text(head);
  text.reserve(head.size() + unit.size() * static_cast<size_t>(n) + tail.size());
  for (int i = 0; i < n; ++i) {
    text += unit;
  }
  return text += tail;
}

WideString Nested(std::u16string_view open, int n, std::u16string_view inner,
                  std::u16string_view close) {
  return Repeated(u"", open, n, u"") + WideString(inner) + Repeated(u"", close, n, u"");
}

int Depth(std::u16string_view text) {
  TDomXPathSyntaxTree tree;
  EXPECT_TRUE(tree.Prepare(text)) << WideToNarrow(text);
  return SyntaxNestingDepth(tree.RootExpression(), 1 << 30);
}

TEST(NestingBound, FlatChainsDoNotNest) {
  const int single = Depth(u"a");
  EXPECT_EQ(single, 14);
  EXPECT_EQ(Depth(u"a|b|c|d"), single);
  EXPECT_EQ(Depth(u"a/b/c/d"), single);
  EXPECT_EQ(Depth(u"1+2-3+4"), Depth(u"1"));
  EXPECT_EQ(Depth(u"1*2 div 3 mod 4"), Depth(u"1"));
  EXPECT_EQ(Depth(u"1 or 2 or 3"), Depth(u"1"));
  EXPECT_EQ(Depth(u"1 and 2 and 3"), Depth(u"1"));
  EXPECT_EQ(Depth(u"1 = 2 != 3"), Depth(u"1"));
  EXPECT_EQ(Depth(u"1 < 2 > 3"), Depth(u"1"));
  EXPECT_EQ(Depth(u"- - - 1"), Depth(u"-1"));
  EXPECT_EQ(Depth(u"a[1][2][3]"), Depth(u"a[1]"));
  EXPECT_EQ(Depth(u"(a)[1][2][3]"), Depth(u"(a)[1]"));
  // Each parenthesis costs the twelve levels from TDomXPathExpr down to the primary
  // expression.
  EXPECT_EQ(Depth(u"((a))"), single + 24);
}

struct TBoundCase {
  const char* Name;
  WideString Text;
  bool Accepted;
  friend void PrintTo(const TBoundCase& c, std::ostream* out) { *out << c.Name; }
};

class NestingBound : public ::testing::TestWithParam<TBoundCase> {};

TEST_P(NestingBound, LongTextsParseOrAreRefusedCleanly) {
  TDomXPathSyntaxTree tree;
  EXPECT_EQ(tree.Prepare(GetParam().Text), GetParam().Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NestingBound,
    ::testing::Values(
        TBoundCase{"Union100k", Repeated(u"a", u"|a", 99'999, u""), true},
        TBoundCase{"Steps100k", Repeated(u"/a", u"/a", 99'999, u""), true},
        TBoundCase{"Predicates100k", Repeated(u"a", u"[1]", 100'000, u""), true},
        TBoundCase{"FilterPredicates100k", Repeated(u"(a)", u"[1]", 100'000, u""), true},
        TBoundCase{"Sum100k", Repeated(u"1", u"+1", 99'999, u""), true},
        TBoundCase{"Signs100k", Repeated(u"", u"-", 100'000, u"1"), true},
        TBoundCase{"Arguments100k", Repeated(u"concat(1", u",1", 99'999, u")"), true},
        TBoundCase{"Parentheses150", Nested(u"(", 150, u"a", u")"), true},
        // The deepest nesting of parentheses that passes, and the first that is too deep.
        TBoundCase{"Parentheses165", Nested(u"(", 165, u"a", u")"), true},
        TBoundCase{"Parentheses166", Nested(u"(", 166, u"a", u")"), false},
        TBoundCase{"Parentheses200", Nested(u"(", 200, u"a", u")"), false},
        TBoundCase{"Parentheses1M", Nested(u"(", 1'000'000, u"a", u")"), false},
        TBoundCase{"Unbalanced1M", Repeated(u"", u"(", 1'000'000, u"a"), false},
        TBoundCase{"Calls100", Nested(u"f(", 100, u"1", u")"), true},
        TBoundCase{"Calls160", Nested(u"f(", 160, u"1", u")"), false},
        TBoundCase{"Calls1000", Nested(u"f(", 1000, u"1", u")"), false},
        TBoundCase{"Predicates100Deep", Nested(u"a[", 100, u"1", u"]"), true},
        TBoundCase{"Predicates100kDeep", Nested(u"a[", 100'000, u"1", u"]"), false}),
    [](const ::testing::TestParamInfo<TBoundCase>& info) { return info.param.Name; });

TEST(NestingBound, FlatChainsKeepEveryLink) {
  TDomXPathSyntaxTree tree;
  ASSERT_TRUE(tree.Prepare(Repeated(u"a", u"|a", 99'999, u"")));
  int links = 0;
  const TDomXPathSyntaxNode* node = tree.RootExpression();
  while (!node->IsA(ncUnionExpr)) {
    node = node->Left();
  }
  for (; node->Right(); node = node->Left()) {
    ++links;
  }
  EXPECT_EQ(links, 99'999);

  ASSERT_TRUE(tree.Prepare(Repeated(u"/a", u"/a", 99'999, u"")));
  node = tree.RootExpression();
  while (!node->IsA(ncPathExpr)) {
    node = node->Left();
  }
  int steps = 0;
  for (node = node->Right(); node; node = node->Right()) {
    ++steps;
  }
  EXPECT_EQ(steps, 100'000);
}

} // namespace
} // namespace velmora
