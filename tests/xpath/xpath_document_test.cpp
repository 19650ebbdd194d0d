#include <functional>

#include "tests/xpath/xpath_fixture.h"
#include "xpath/xpath_namespace.h"

namespace velmora::testing {
namespace {

using XPathDocument = XPathTest;

TEST_F(XPathDocument, AdmitsOnlyNodesOfTheDataModel) {
  EXPECT_THROW(new TDomDocumentTypeDecl(FDoc, u"root", u"", u"", u""), ENot_Supported_Err);
  EXPECT_THROW(new TDomEntityReference(FDoc, u"amp"), ENot_Supported_Err);
  EXPECT_THROW(new TDomXPathNamespace(FDoc, u"p", u"urn:p", nullptr), ENot_Supported_Err);
  const int owned = FDoc->ownedObjectCount();
  EXPECT_NO_THROW(Element(nullptr, u"e"));
  EXPECT_NO_THROW(new TDomAttr(FDoc, true, u"a", u""));
  EXPECT_NO_THROW(Text(nullptr, u"t"));
  EXPECT_NO_THROW(CData(nullptr, u"d"));
  EXPECT_NO_THROW(Comment(nullptr, u"c"));
  EXPECT_NO_THROW(Instruction(nullptr, u"pi"));
  EXPECT_NO_THROW(new TDomDocumentFragment(FDoc));
  EXPECT_EQ(FDoc->ownedObjectCount(), owned + 7); // the refused ones left nothing behind
}

struct TNamespaceCase {
  std::u16string_view Prefix;
  std::u16string_view URI;
  const char* Failure; // none: accepted
};

class NamespaceNodeCreation : public XPathTest,
                              public ::testing::WithParamInterface<TNamespaceCase> {};

TEST_P(NamespaceNodeCreation, ChecksPrefixAndURI) {
  const TNamespaceCase& c = GetParam();
  TDomXPathNodeSetPtr set = NewNodeSet();
  std::string failure = "";
  try {
    set->AddXPathNamespace(Element(FDoc, u"e"), c.URI, c.Prefix);
  } catch (const EDomException& e) {
    failure = std::string(e.ClassName()) + ": " + e.what();
  }
  EXPECT_EQ(failure, c.Failure ? c.Failure : "");
  EXPECT_EQ(set->Length(), c.Failure ? 0 : 1);
  EXPECT_EQ(set->ownedObjectCount(), set->Length());
}

constexpr TNamespaceCase kNamespaceCases[] = {
    {u"p", u"urn:p", nullptr},
    {u"", u"urn:default", nullptr},
    {u"", u"", nullptr},
    {u"xml", u"http://www.w3.org/XML/1998/namespace", nullptr},
    {u"xmlns", u"http://www.w3.org/2000/xmlns/", nullptr},
    {u"xml", u"urn:other", "ENamespace_Err: Namespace error."},
    {u"xmlns", u"urn:other", "ENamespace_Err: Namespace error."},
    {u"p", u"", "ENamespace_Err: Namespace error."},
    {u"a:b", u"urn:p", "EInvalid_Character_Err: Invalid character error."},
    {u"1p", u"urn:p", "EInvalid_Character_Err: Invalid character error."},
};
INSTANTIATE_TEST_SUITE_P(All, NamespaceNodeCreation, ::testing::ValuesIn(kNamespaceCases));

TEST_F(XPathDocument, NamespaceNodesAnswerAsNodesOfTheirElement) {
  TDomElement* element = Element(FDoc, u"e", {{u"xmlns:q", u"urn:q"}, {u"xml:lang", u"de"}});
  TDomXPathNodeSetPtr set = NewNodeSet();
  set->AddXPathNamespace(element, u"urn:p", u"p");
  TDomNode* node = set->Item(0);
  EXPECT_EQ(node->nodeName(), u"#namespace");
  EXPECT_EQ(node->nodeType(), nkXPathNamespace);
  EXPECT_EQ(node->nodeValue(), u"urn:p");
  EXPECT_EQ(node->namespaceURI(), u"urn:p");
  EXPECT_EQ(node->xpathStringValue(), u"urn:p");
  EXPECT_EQ(node->localName(), u"p");
  EXPECT_EQ(node->prefix(), u"p");
  EXPECT_EQ(node->xpathName(), u"p");
  EXPECT_EQ(node->ownerDocument(), FDoc);
  EXPECT_EQ(static_cast<TDomXPathNamespace*>(node)->ownerElement(), element);
  EXPECT_EQ(node->lookupNamespaceURI(u"q"), u"urn:q");
  EXPECT_EQ(node->language(), u"de");
  EXPECT_EQ(node->compareDocumentPosition(element), dpContains | dpPreceding);
  EXPECT_THROW(node->setNodeValue(u"urn:x"), ENo_Modification_Allowed_Err);
  EXPECT_THROW(node->appendChild(Text(nullptr, u"t")), EHierarchy_Request_Err);

  set->AddXPathNamespace(nullptr, u"urn:p", u"p");
  EXPECT_EQ(set->Item(1)->lookupNamespaceURI(u"q"), u"");
  EXPECT_EQ(set->Item(1)->lookupNamespaceURI(u"xml"), XmlNamespaceURI);
  EXPECT_EQ(set->Item(1)->ownerDocument(), nullptr);

  // Freeing the set frees its namespace nodes; the element stays.
  const int owned = FDoc->ownedObjectCount();
  set.reset();
  EXPECT_EQ(FDoc->ownedObjectCount(), owned);
  EXPECT_EQ(element->lookupNamespaceURI(u"q"), u"urn:q");
}

TEST_F(XPathDocument, NumberingStartsOverBeforeItsNumbersRunOut) {
  TDomElement* root = Element(FDoc, u"r");
  TDomElement* first = Element(root, u"a");
  TDomElement* second = Element(root, u"b");
  TDomElement* detached = Element(nullptr, u"d");
  Element(detached, u"c");
  const auto inOrder = [&] {
    return FDoc->orderNumber(FDoc) < FDoc->orderNumber(root) &&
           FDoc->orderNumber(root) < FDoc->orderNumber(first) &&
           FDoc->orderNumber(first) < FDoc->orderNumber(second);
  };
  // The document's tree still fits below the last number, the detached one no longer does.
  FDoc->startNumberingAt(TDomDocumentXPath::kLastOrderNumber - FDoc->ownedObjectCount() - 1);
  EXPECT_TRUE(inOrder());
  EXPECT_GT(FDoc->orderNumber(root), TDomDocumentXPath::kLastOrderNumber - 10);
  const uint64_t detachedNumber = FDoc->orderNumber(detached);
  EXPECT_LT(detachedNumber, 10u); // started over
  EXPECT_TRUE(inOrder());         // the tree numbered before that is numbered again
  EXPECT_NE(FDoc->orderNumber(detached), FDoc->orderNumber(root));
  EXPECT_EQ(FDoc->orderNumber(detached), detachedNumber);
  EXPECT_EQ(Eval(u"//*"), "[r a b]");
}

} // namespace
} // namespace velmora::testing
