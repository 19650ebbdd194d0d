#include <cmath>
#include <limits>

#include "dom/dom_implementation.h"
#include "runtime/component.h"
#include "tests/xpath/xpath_fixture.h"
#include "xpath/evaluation.h"
#include "xpath/expression_nodes.h"
#include "xpath/xpath_expression.h"

namespace velmora::testing {
namespace {

// The sample document, and below a2 (xml:lang="english"):
//   e (p:e in urn:p; id=e, p:att=v, xml:lang=EN-us): n1 (n; "1.5") n2 (n; "2")
class FunctionTest : public SampleDocumentTest {
protected:
  FunctionTest() {
    auto* a2 = static_cast<TDomElement*>(Node("a2"));
    Attribute(a2, u"xml:lang", u"english");
    TDomElement* e =
        Element(a2, u"p:e", {{u"id", u"e"}, {u"xml:lang", u"EN-us"}}, u"urn:p");
    Attribute(e, u"p:att", u"v", u"urn:p");
    FNodes["n1"] = Element(e, u"n", {{u"id", u"n1"}});
    Text(FNodes["n1"], u"1.5");
    Text(Element(e, u"n", {{u"id", u"n2"}}), u"2");
    FNodes["e"] = e;
  }
};

struct TFunctionCase {
  std::u16string_view Text;
  const char* Context; // a node label, or "" for no context node
  const char* Expected;
  friend void PrintTo(const TFunctionCase& c, std::ostream* out) {
    *out << WideToNarrow(c.Text) << " at " << c.Context;
  }
};

class CoreFunctions : public FunctionTest, public ::testing::WithParamInterface<TFunctionCase> {};

TEST_P(CoreFunctions, Evaluate) {
  const TFunctionCase& c = GetParam();
  EXPECT_EQ(Eval(c.Text, *c.Context ? Node(c.Context) : nullptr), c.Expected);
}

constexpr TFunctionCase kNodeSetFunctions[] = {
    {u"count(*)", "a1", "2"},
    {u"count(//b | //c)", "/", "3"},
    {u"*[last()]", "a1", "[b2]"},
    {u"*[position() = last() - 1]", "a1", "[b1]"},
    {u"local-name()", "a1", "'a'"},
    {u"local-name(*)", "a2", "'e'"},
    {u"local-name(//processing-instruction())", "/", "'top'"},
    {u"local-name(namespace::*[1])", "a1", "'p'"},
    {u"local-name()", "/", "''"},
    {u"local-name(nothing)", "a1", "''"},
    {u"namespace-uri(*)", "a2", "'urn:p'"},
    {u"namespace-uri(*/@p:att)", "a2", "'urn:p'"},
    {u"namespace-uri(namespace::*[1])", "a1", "'urn:p'"},
    {u"namespace-uri()", "a1", "''"},
    {u"name(*)", "a2", "'p:e'"},
    {u"name(*/@p:att)", "a2", "'p:att'"},
    {u"name(namespace::*[1])", "a1", "'p'"},
    {u"name(ancestor::node())", "c1", "''"}, // the document comes first
    {u"name(//text())", "/", "''"},
};
INSTANTIATE_TEST_SUITE_P(NodeSets, CoreFunctions, ::testing::ValuesIn(kNodeSetFunctions));

constexpr TFunctionCase kStringFunctions[] = {
    {u"string()", "a1", "'onetwothree'"},
    {u"string(@x)", "a1", "'1'"},
    {u"string(1 div 4)", "", "'0.25'"},
    {u"string(true())", "", "'true'"},
    {u"string(nothing)", "a1", "''"},
    {u"concat('a', string(@x), 'c', 'd')", "a1", "'a1cd'"},
    {u"starts-with('abc', 'ab')", "", "true"},
    {u"starts-with('abc', '')", "", "true"},
    {u"starts-with('abc', 'b')", "", "false"},
    {u"contains('abc', 'bc')", "", "true"},
    {u"contains('abc', '')", "", "true"},
    {u"contains('abc', 'x')", "", "false"},
    {u"substring-before('a/b/c', '/')", "", "'a'"},
    {u"substring-before('abc', '')", "", "''"},
    {u"substring-before('abc', 'x')", "", "''"},
    {u"substring-after('a/b/c', '/')", "", "'b/c'"},
    {u"substring-after('abc', '')", "", "'abc'"},
    {u"substring-after('abc', 'x')", "", "''"},
    {u"substring('12345', 1.5, 2.6)", "", "'234'"},
    {u"substring('12345', 0, 3)", "", "'12'"},
    {u"substring('12345', 2)", "", "'2345'"},
    {u"substring('12345', -42, 100)", "", "'12345'"},
    {u"substring('12345', 0 div 0)", "", "''"},
    {u"substring('12345', 2, 0 div 0)", "", "''"},
    {u"substring('12345', 6)", "", "''"},
    {u"substring('12345', 3, -1)", "", "''"},
    // Beyond 32-bit integers: positions stay doubles.
    {u"substring('12345', 4294967298)", "", "''"},
    {u"substring('12345', -4294967295, 4294967298)", "", "'12'"},
    {u"string-length('abc')", "", "3"},
    {u"string-length('')", "", "0"},
    {u"string-length()", "a1", "11"},
    {u"normalize-space('  a \t b\n\r c  ')", "", "'a b c'"},
    {u"normalize-space()", "t:one", "'one'"},
    {u"translate('bar', 'abc', 'ABC')", "", "'BAr'"},
    {u"translate('cab', 'abc', 'AB')", "", "'AB'"},
    {u"translate('aaa', 'aa', 'xy')", "", "'xxx'"},
    {u"translate('abc', '', 'xyz')", "", "'abc'"},
};
INSTANTIATE_TEST_SUITE_P(Strings, CoreFunctions, ::testing::ValuesIn(kStringFunctions));

constexpr TFunctionCase kBooleanAndNumberFunctions[] = {
    {u"boolean(*)", "a1", "true"},
    {u"boolean(nothing)", "a1", "false"},
    {u"boolean('')", "", "false"},
    {u"boolean(0 div 0)", "", "false"},
    {u"not(boolean(@x))", "a1", "false"},
    {u"not(false())", "", "true"},
    {u"true() and not(false())", "", "true"},
    {u"lang('en')", "e", "true"},
    {u"lang('EN-US')", "n1", "true"},
    {u"lang('en-us-x')", "e", "false"},
    {u"lang('en')", "a2", "false"},
    {u"lang('en')", "a1", "false"},
    {u"lang('')", "a1", "true"},
    {u"number('  12 ')", "", "12"},
    {u"number('5.')", "", "NaN"},
    {u"number(true())", "", "1"},
    {u"number()", "@x=1", "1"},
    {u"sum(//n)", "/", "3.5"},
    {u"sum(//n | //@x)", "/", "4.5"},
    {u"sum(@*)", "a1", "NaN"},
    {u"sum(nothing)", "a1", "0"},
    {u"floor(-0.5)", "", "-1"},
    {u"floor(0 div 0)", "", "NaN"},
    {u"ceiling(0.2)", "", "1"},
    {u"ceiling(-0.5)", "", "0"},
    {u"round(2.5)", "", "3"},
    {u"round(-2.5)", "", "-2"},
    {u"round(0 div 0)", "", "NaN"},
    {u"round(0.49999999999999994)", "", "0"},
    // Beyond 32-bit integers.
    {u"floor(3000000000.5)", "", "3000000000"},
    {u"ceiling(-3000000000.5)", "", "-3000000000"},
    {u"round(-3000000000.5)", "", "-3000000000"},
    {u"round(123456789012345678)", "", "1.23456789012346E17"},
};
INSTANTIATE_TEST_SUITE_P(BooleansAndNumbers, CoreFunctions,
                         ::testing::ValuesIn(kBooleanAndNumberFunctions));

#define CALL_ERROR "!EXPath_Invalid_Function_Call_Err: "
#define MISMATCH(f) CALL_ERROR "Argument mismatch error in " f "(): Expression does not evaluate to "

constexpr TFunctionCase kArgumentErrors[] = {
    {u"count('a')", "a1", MISMATCH("count") "node-set."},
    {u"sum(1)", "a1", MISMATCH("sum") "node-set."},
    {u"name(1)", "a1", MISMATCH("name") "node-set."},
    {u"concat(*, 'a')", "a1", MISMATCH("concat") "string."},
    {u"contains(1, 'a')", "a1", MISMATCH("contains") "string."},
    {u"lang(1)", "a1", MISMATCH("lang") "string."},
    {u"not(@x)", "a1", MISMATCH("not") "boolean."},
    {u"substring('abc', '1')", "a1", MISMATCH("substring") "number."},
    {u"substring(1, 1)", "a1", MISMATCH("substring") "string."},
    {u"substring('abc', 1, true())", "a1", MISMATCH("substring") "number."},
    {u"floor('1')", "a1", MISMATCH("floor") "a number."},
    {u"round(@x)", "a1", MISMATCH("round") "a number."},
    {u"concat('a')", "a1", CALL_ERROR "Arguments mismatch error in concat()."},
    {u"last(1)", "a1", CALL_ERROR "Arguments mismatch error in last()."},
    {u"true(1)", "a1", CALL_ERROR "Arguments mismatch error in true()."},
    {u"string(1, 2)", "a1", CALL_ERROR "Arguments mismatch error in string()."},
    {u"translate('a', 'b')", "a1", CALL_ERROR "Arguments mismatch error in translate()."},
    {u"substring('a')", "a1", CALL_ERROR "Arguments mismatch error in substring()."},
    {u"id()", "a1", CALL_ERROR "Arguments mismatch error in id()."},
    {u"string()", "", CALL_ERROR "Context node not specified for string()."},
    {u"normalize-space()", "", CALL_ERROR "Context node not specified for normalize-space()."},
    {u"lang('en')", "", CALL_ERROR "Context node not specified for lang()."},
    {u"id('a1')", "", CALL_ERROR "Context node not specified for id()."},
    {u"id('a1')", "/", CALL_ERROR "Context node with no owner document specified for id()."},
    // Two-string functions evaluate every argument before checking; concat checks each in
    // turn.
    {u"contains(1, $v)", "a1", "!EXPath_Exception: No binding for variable $v provided."},
    {u"concat(1, $v)", "a1", MISMATCH("concat") "string."},
};
INSTANTIATE_TEST_SUITE_P(ArgumentErrors, CoreFunctions, ::testing::ValuesIn(kArgumentErrors));

TEST_F(FunctionTest, RoundingANegativeNumberToZeroGivesNegativeZero) {
  for (const std::u16string_view text : {u"round(-0.4)", u"round(-0.5)", u"ceiling(-0.5)"}) {
    const double value = Result(text, nullptr)->AsNumber();
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(std::signbit(value)) << WideToNarrow(text);
  }
}

TEST_F(FunctionTest, IdFindsEachElementOnceInDocumentOrder) {
  FDoc->addId(u"a", static_cast<TDomElement*>(Node("b2")));
  FDoc->addId(u"b", static_cast<TDomElement*>(Node("b1")));
  FDoc->addId(u"c", static_cast<TDomElement*>(Node("b1")));
  TDomNode* a1 = Node("a1");
  EXPECT_EQ(Eval(u"id('a b a')", a1), "[b1 b2]");
  EXPECT_EQ(Eval(u"id(' c\tb\n x ')", a1), "[b1]");
  Text(Node("c1"), u"b a");
  EXPECT_EQ(Eval(u"id(//c | //n)", a1), "[b1 b2]");
  EXPECT_EQ(Eval(u"id(1)", a1), "[]");
}

// A document whose implementation object answers for variables and extension functions.
class ExtensionTest : public ::testing::Test {
protected:
  ExtensionTest() : FImplementation(new TDomImplementation), FQuery(new TXPathExpression) {
    FDoc = new TDomDocumentXPath(FImplementation.get());
    FRoot = new TDomElement(FDoc, u"", u"root");
    FDoc->appendChild(FRoot);
    FRoot->setAttributeNS(XmlnsNamespaceURI, u"xmlns:f", u"urn:f");
    for (const char16_t* value : {u"3", u"1", u"2"}) {
      auto* item = new TDomElement(FDoc, u"", u"i");
      item->setAttributeNS(u"", u"v", value);
      FRoot->appendChild(item);
    }
  }

  // The value of text at context, as a picture, or "false" when Evaluate refuses.
  std::string Run(std::u16string_view text, TDomNode* context) {
    FQuery->SetExpression(WideString(text));
    FQuery->SetContextNode(context);
    return FQuery->Evaluate() ? Picture(*FQuery->Result()) : "false";
  }

  TOwned<TDomImplementation> FImplementation;
  TOwned<TXPathExpression> FQuery;
  TDomDocumentXPath* FDoc;
  TDomElement* FRoot;
};

TEST_F(ExtensionTest, AsksTheImplementationForVariables) {
  std::vector<std::string> asked;
  FImplementation->OnRequestXPathVariable = [&](const TXPathExpression* sender,
                                                std::u16string_view namespaceURI,
                                                std::u16string_view localName,
                                                TDomXPathCustomResult*& value) {
    EXPECT_EQ(sender, FQuery.get());
    asked.push_back(WideToNarrow(WideString(namespaceURI)) + " " +
                    WideToNarrow(WideString(localName)));
    if (localName == u"min") {
      value = NewNumberResult(-std::numeric_limits<double>::infinity()).release();
    } else if (localName == u"items") {
      TDomXPathNodeSetPtr set = NewNodeSet(atReverse);
      set->Add(FRoot->lastChild());
      set->Add(FRoot->firstChild());
      value = set.release();
    }
  };
  EXPECT_EQ(Run(u"substring('12345', $min)", FRoot), "'12345'");
  EXPECT_EQ(Run(u"substring('12345', $f:min, 2)", FRoot), "''");
  // A set from a variable reaches the caller in document order, like every path.
  EXPECT_EQ(Run(u"$items", FRoot), "[i i]");
  EXPECT_EQ(FQuery->ResultAxisType(), atForward);
  EXPECT_EQ(FQuery->ResultNode(0), FRoot->firstChild());
  EXPECT_EQ(Run(u"string($items/@v)", FRoot), "'3'");
  EXPECT_EQ(Run(u"$other", FRoot), "false");
  EXPECT_EQ(Run(u"$g:min", FRoot), "false"); // unbound prefix: the handler is not asked
  // The document as context node has no owner document: nobody is asked.
  EXPECT_EQ(Run(u"$min", FDoc), "false");
  EXPECT_EQ(asked, (std::vector<std::string>{" min", "urn:f min", " items", " items", " other"}));
}

TEST_F(ExtensionTest, AsksTheImplementationForFunctionsItDoesNotKnow) {
  FImplementation->OnRequestXPathFunctionResult =
      [&](std::u16string_view namespaceURI, std::u16string_view localName, TDomNode* contextNode,
          int contextPosition, int contextSize, std::span<TDomXPathExpr* const> arguments,
          TDomXPathCustomResult*& value) {
        if (namespaceURI == u"urn:f" && localName == u"twice") {
          // The arguments come unevaluated; the handler evaluates them in the context it is
          // given.
          const TDomXPathResultPtr argument =
              EvaluateExpression(arguments[0], {contextNode, contextPosition, contextSize});
          value = NewNumberResult(2 * argument->AsNumber()).release();
        } else if (localName == u"where") {
          value = NewStringResult(contextNode->nodeName() + u" " +
                                  NarrowToWide(std::to_string(contextPosition)) + u"/" +
                                  NarrowToWide(std::to_string(contextSize)))
                      .release();
        } else if (localName == u"fails") {
          value = NewBooleanResult(true).release();
          throw EConvertError("handler failed");
        }
      };
  EXPECT_EQ(Run(u"f:twice(count(i))", FRoot), "6");
  EXPECT_EQ(Run(u"i[f:twice(position()) = 4]/@v", FRoot), "[@v=1]");
  // The context node passed is the expression's, the position and size the current ones.
  EXPECT_EQ(Run(u"i[where() = 'root 2/3']/@v", FRoot), "[@v=1]");
  EXPECT_EQ(Run(u"f:unknown()", FRoot), "false");
  EXPECT_EQ(Run(u"fails()", FRoot), "false"); // the value it left is freed (ASan)
  EXPECT_EQ(Run(u"where()", FDoc), "false");
  EXPECT_EQ(Run(u"g:twice(1)", FRoot), "false");
}

} // namespace
} // namespace velmora::testing
