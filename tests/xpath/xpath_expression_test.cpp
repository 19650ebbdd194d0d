#include <cmath>
#include <set>

#include "runtime/component.h"
#include "tests/xpath/xpath_fixture.h"
#include "xpath/xpath_expression.h"

namespace velmora::testing {
namespace {

class ExpressionObjectTest : public SampleDocumentTest {
protected:
  ExpressionObjectTest() : FQuery(new TXPathExpression) {}

  // Evaluates text against context; the picture of the result, or "false" when Evaluate
  // refuses (then no result may remain).
  std::string Run(std::u16string_view text, TDomNode* context) {
    FQuery->SetExpression(WideString(text));
    FQuery->SetContextNode(context);
    if (!FQuery->Evaluate()) {
      EXPECT_EQ(FQuery->Result(), nullptr);
      return "false";
    }
    return Picture(*FQuery->Result());
  }

  TOwned<TXPathExpression> FQuery;
};

TEST_F(ExpressionObjectTest, KeepsThePreparedTreeUntilTheTextChanges) {
  FQuery->SetExpression(u"count(//b)");
  EXPECT_EQ(FQuery->PreparationState(), psNotPrepared);
  FQuery->SetContextNode(FDoc);
  ASSERT_TRUE(FQuery->Evaluate());
  EXPECT_EQ(FQuery->PreparationState(), psPrepared);
  FQuery->SetExpression(u"count(//b)");
  EXPECT_EQ(FQuery->PreparationState(), psPrepared);
  FQuery->SetExpression(u"count(//c)");
  EXPECT_EQ(FQuery->PreparationState(), psNotPrepared);
  // The result stays until the next evaluation.
  EXPECT_EQ(FQuery->AsNumber(), 2);
  FQuery->SetExpression(u"count(//b)");
  EXPECT_EQ(FQuery->PreparationState(), psNotPrepared);
  ASSERT_TRUE(FQuery->Evaluate());
  EXPECT_EQ(FQuery->AsNumber(), 2);
}

TEST_F(ExpressionObjectTest, AnUnparseableTextGivesNoResultAndIsNotParsedAgain) {
  FQuery->SetContextNode(FDoc);
  FQuery->SetExpression(u"//a");
  ASSERT_TRUE(FQuery->Evaluate());
  FQuery->SetExpression(u"//a[");
  EXPECT_FALSE(FQuery->Evaluate());
  EXPECT_EQ(FQuery->PreparationState(), psPreparationFailed);
  EXPECT_FALSE(FQuery->Evaluate());
  EXPECT_FALSE(FQuery->HasResultNodes());
  EXPECT_EQ(FQuery->ResultLength(), 0);
  EXPECT_EQ(FQuery->ResultNode(0), nullptr);
  EXPECT_EQ(FQuery->ResultAxisType(), atForward);
  EXPECT_FALSE(FQuery->AsBoolean());
  EXPECT_TRUE(std::isnan(FQuery->AsNumber()));
  EXPECT_EQ(FQuery->AsWideString(), u"");
}

TEST_F(ExpressionObjectTest, TakesOnlyNodesOfXPathDocumentsAsContext) {
  EXPECT_NO_THROW(FQuery->SetContextNode(FDoc));
  EXPECT_NO_THROW(FQuery->SetContextNode(Node("ns:p")));
  FQuery->SetContextNode(Node("a1"));
  auto* plain = new TDomDocumentNS;
  auto* foreign = new TDomElement(plain, u"", u"x");
  EXPECT_THROW(FQuery->SetContextNode(foreign), ENot_Supported_Err);
  EXPECT_THROW(FQuery->SetContextNode(plain), ENot_Supported_Err);
  EXPECT_EQ(FQuery->ContextNode(), Node("a1"));
  FQuery->SetContextNode(nullptr);
  EXPECT_EQ(FQuery->ContextNode(), nullptr);
  plain->Free();
}

struct TFailureCase {
  const char* Situation;
  std::u16string_view Text;
  const char* Context; // a label of the sample document, "fragment", or "" for none
  const char* Picture;
};

class ExpressionFailures : public ExpressionObjectTest,
                           public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(ExpressionFailures, EndInAFalseReturnWithoutResult) {
  const TFailureCase& c = GetParam();
  TDomNode* context = nullptr;
  if (std::string(c.Context) == "fragment") {
    context = new TDomDocumentFragment(FDoc);
  } else if (*c.Context) {
    context = Node(c.Context);
  }
  // A result from before must not survive a failure.
  FQuery->SetExpression(u"1");
  ASSERT_TRUE(FQuery->Evaluate());
  EXPECT_EQ(Run(c.Text, context), c.Picture) << c.Situation;
}

constexpr TFailureCase kFailureCases[] = {
    {"unparseable", u"1 +", "/", "false"},
    {"context kind", u"1", "cd:two", "false"},
    {"context kind", u"1", "fragment", "false"},
    {"type error", u"1 | //a", "/", "false"},
    {"unknown function", u"no-such-function()", "/", "false"},
    {"unbound variable", u"$v", "a1", "false"},
    {"unbound prefix", u"//q:a", "/", "false"},
    {"argument error", u"count(1)", "/", "false"},
    {"no context: path", u"a", "", "false"},
    {"no context: default argument", u"string()", "", "false"},
    {"no context: id", u"id('a1')", "", "false"},
    {"no context: arithmetic", u"1 + 2 * 3", "", "7"},
    {"no context: explicit arguments", u"concat('a', 'b')", "", "'ab'"},
    {"namespace node as context", u"..", "ns:p", "[a1]"},
    {"attribute as context", u"../@x[1]", "@id=a1", "[@x=1]"},
};
INSTANTIATE_TEST_SUITE_P(Table, ExpressionFailures, ::testing::ValuesIn(kFailureCases));

TEST_F(XPathTest, SelectsTheContactFoldersOfABackup) {
  TDomElement* data = Element(FDoc, u"Data");
  TDomElement* devices = Element(data, u"Folder", {{u"name", u"Devices"}});
  TDomElement* phone = Element(devices, u"Folder", {{u"id", u"phone"}});
  Element(phone, u"Folder", {{u"name", u"Contacts"}});
  Element(phone, u"Folder", {{u"name", u"Contacts"}});
  TDomElement* tablet = Element(devices, u"Folder", {{u"id", u"tablet"}});
  Element(tablet, u"Folder", {{u"name", u"Notes"}});
  TDomElement* other = Element(data, u"Folder");
  Element(Element(other, u"Folder", {{u"id", u"old"}}), u"Folder", {{u"name", u"Contacts"}});
  Element(Element(data, u"Box"), u"Folder", {{u"name", u"Contacts"}});
  TOwned<TXPathExpression> query(new TXPathExpression);
  query->SetExpression(u"/Data/Folder/Folder[Folder/@name[1]='Contacts']");
  query->SetContextNode(FDoc);
  ASSERT_TRUE(query->Evaluate());
  EXPECT_EQ(Picture(*query->Result()), "[phone old]");
  EXPECT_TRUE(query->HasResultNodes());
  EXPECT_EQ(query->ResultNode(1), other->firstChild());
  EXPECT_EQ(query->ResultNode(2), nullptr);
  EXPECT_EQ(query->ResultNode(-1), nullptr);
}

TEST_F(ExpressionObjectTest, NamespaceNodesLiveAsLongAsTheirResult) {
  FQuery->SetExpression(u"namespace::*");
  FQuery->SetContextNode(Node("a1"));
  ASSERT_TRUE(FQuery->Evaluate());
  ASSERT_EQ(FQuery->ResultLength(), 3);
  TDomNode* binding = FQuery->ResultNode(0);
  EXPECT_EQ(binding->nodeType(), nkXPathNamespace);
  EXPECT_EQ(binding->GetOwner(), FQuery->Result());
  // One of them as context node stays valid while the next evaluation runs, and goes with
  // the result it came from afterwards.
  FQuery->SetContextNode(binding);
  FQuery->SetExpression(u"concat(name(), '=', string(.), ' on ', name(..))");
  ASSERT_TRUE(FQuery->Evaluate());
  EXPECT_EQ(FQuery->AsWideString(), u"p=urn:p on a");
  EXPECT_EQ(FQuery->ContextNode(), nullptr);
}

TEST_F(ExpressionObjectTest, CopiesTheResultAsAnyClass) {
  FQuery->SetContextNode(Node("a1"));
  FQuery->SetExpression(u"1 div 4");
  ASSERT_TRUE(FQuery->Evaluate());
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtString)), "'0.25'");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtBoolean)), "true");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtNumber)), "0.25");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtNodeSet)), "[]");
  EXPECT_THROW(FQuery->CopyResultAs(static_cast<TDomXPathResultType>(4)), ENot_Supported_Err);

  FQuery->SetExpression(u"ancestor-or-self::node() | namespace::*[1]");
  ASSERT_TRUE(FQuery->Evaluate());
  TDomXPathResultPtr nodes = FQuery->CopyResultAs(rtNodeSet);
  FQuery->SetExpression(u"1 +");
  EXPECT_FALSE(FQuery->Evaluate());
  // The copy owns its namespace node: it outlives the result it was copied from.
  EXPECT_EQ(Picture(*nodes), "[/ r a1 ns:p]");
  EXPECT_EQ(nodes->Item(3)->GetOwner(), nodes.get());
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtNodeSet)), "[]");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtBoolean)), "false");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtNumber)), "NaN");
  EXPECT_EQ(Picture(*FQuery->CopyResultAs(rtString)), "''");
}

TEST_F(ExpressionObjectTest, AsksTheHandlerAboutPrefixes) {
  std::set<std::string> asked;
  FQuery->OnLookupNamespaceURI = [&](TXPathExpression* sender, const WideString& prefix,
                                     WideString& namespaceURI) {
    EXPECT_EQ(sender, FQuery.get());
    asked.insert(WideToNarrow(prefix) + "=" + WideToNarrow(namespaceURI));
    if (prefix == u"q") {
      namespaceURI = u"urn:p"; // binds a prefix the document does not know
    } else if (prefix == u"r") {
      namespaceURI.clear(); // unbinds one it knows
    }
  };
  auto* bound = Element(Node("a2"), u"p:x", {}, u"urn:p");
  const std::string found = "[" + NodeLabel(bound) + "]";
  EXPECT_EQ(Run(u"//q:x", Node("a2")), found);
  EXPECT_EQ(Run(u"//p:x", Node("a2")), found);
  Attribute(static_cast<TDomElement*>(Node("a2")), u"xmlns:r", u"urn:p");
  EXPECT_EQ(Run(u"//r:x", Node("a2")), "false");
  EXPECT_EQ(asked, (std::set<std::string>{"q=", "p=urn:p", "r=urn:p"}));
  EXPECT_EQ(FQuery->LookupNamespaceURI(u"q"), u"urn:p");
}

TEST_F(ExpressionObjectTest, IsFreedByItsOwner) {
  TOwned<TDomImplementation> owner(new TDomImplementation);
  auto* query = new TXPathExpression(owner.get());
  query->SetExpression(u"namespace::*");
  query->SetContextNode(Node("a1"));
  ASSERT_TRUE(query->Evaluate());
  EXPECT_EQ(owner->ComponentCount(), 1);
  // Freeing the owner frees the expression and its result (ASan tells leaks).
}

TEST_F(SampleDocumentTest, NodesEvaluateExpressionsAgainstThemselves) {
  TDomNode* a1 = Node("a1");
  EXPECT_TRUE(a1->evaluateToBoolean(u"@x = 1"));
  EXPECT_FALSE(a1->evaluateToBoolean(u"@x = "));
  EXPECT_EQ(a1->evaluateToNumber(u"count(*)"), 2);
  EXPECT_TRUE(std::isnan(a1->evaluateToNumber(u"$nothing")));
  EXPECT_EQ(a1->evaluateToNode(u"b[2]"), Node("b2"));
  EXPECT_EQ(a1->evaluateToNode(u"c"), nullptr);
  EXPECT_EQ(a1->evaluateToNode(u"namespace::*"), nullptr);
  EXPECT_EQ(a1->evaluateToNode(u"namespace::*/.."), a1);
  EXPECT_EQ(a1->evaluateToString(u"b"), u"");
  EXPECT_EQ(a1->evaluateToString(u"text()"), u"one");
  EXPECT_EQ(a1->evaluateToString(u"1 +"), u"");
  auto* plain = new TDomDocumentNS;
  EXPECT_THROW(plain->evaluateToBoolean(u"true()"), ENot_Supported_Err);
  plain->Free();
}

} // namespace
} // namespace velmora::testing
