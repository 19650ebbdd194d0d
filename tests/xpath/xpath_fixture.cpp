#include "tests/xpath/xpath_fixture.h"

#include "runtime/exceptions.h"
#include "xpath/number_text.h"
#include "xpath/syntax_tree.h"

namespace velmora::testing {

std::string NodeLabel(const TDomNode* node) {
  switch (node->nodeType()) {
  case nkElement: {
    const auto* element = static_cast<const TDomElement*>(node);
    const TDomAttr* id = element->getAttributeNodeNS(u"", u"id");
    return WideToNarrow(id ? id->nodeValue() : element->localName());
  }
  case nkAttribute:
    return "@" + WideToNarrow(node->nodeName()) + "=" + WideToNarrow(node->nodeValue());
  case nkText:
    return "t:" + WideToNarrow(node->nodeValue());
  case nkCDATASection:
    return "cd:" + WideToNarrow(node->nodeValue());
  case nkComment:
    return "c:" + WideToNarrow(node->nodeValue());
  case nkProcessingInstruction:
    return "pi:" + WideToNarrow(node->nodeName());
  case nkDocument:
    return "/";
  case nkXPathNamespace:
    return "ns:" + WideToNarrow(node->prefix());
  default:
    return "?";
  }
}

std::string Picture(const TDomXPathCustomResult& result) {
  switch (result.ResultType()) {
  case rtNodeSet: {
    std::string picture = "[";
    for (int i = 0; i < result.Length(); ++i) {
      picture += (i ? " " : "") + NodeLabel(result.Item(i));
    }
    return picture + "]";
  }
  case rtString:
    return "'" + WideToNarrow(result.AsWideString()) + "'";
  default:
    return WideToNarrow(result.AsWideString());
  }
}

XPathTest::XPathTest() : FDoc(new TDomDocumentXPath) {}

XPathTest::~XPathTest() {
  FDoc->Free();
}

TDomElement* XPathTest::Element(TDomNode* parent, std::u16string_view qualifiedName,
                                std::initializer_list<TAttribute> attributes,
                                std::u16string_view namespaceURI) {
  auto* element = new TDomElement(FDoc, namespaceURI, qualifiedName);
  for (const TAttribute& attribute : attributes) {
    Attribute(element, attribute.Name, attribute.Value);
  }
  if (parent) {
    parent->appendChild(element);
  }
  return element;
}

TDomAttr* XPathTest::Attribute(TDomElement* element, std::u16string_view qualifiedName,
                               std::u16string_view value, std::u16string_view namespaceURI) {
  if (qualifiedName == u"xmlns" || qualifiedName.starts_with(u"xmlns:")) {
    namespaceURI = XmlnsNamespaceURI;
  } else if (qualifiedName.starts_with(u"xml:")) {
    namespaceURI = XmlNamespaceURI;
  }
  return element->setAttributeNS(namespaceURI, qualifiedName, WideString(value));
}

template <class TNode> TNode* Appended(TDomNode* parent, TNode* node, std::u16string_view data) {
  node->setNodeValue(WideString(data));
  if (parent) {
    parent->appendChild(node);
  }
  return node;
}

TDomText* XPathTest::Text(TDomNode* parent, std::u16string_view data) {
  return Appended(parent, new TDomText(FDoc), data);
}

TDomCDATASection* XPathTest::CData(TDomNode* parent, std::u16string_view data) {
  return Appended(parent, new TDomCDATASection(FDoc), data);
}

TDomComment* XPathTest::Comment(TDomNode* parent, std::u16string_view data) {
  return Appended(parent, new TDomComment(FDoc), data);
}

TDomProcessingInstruction* XPathTest::Instruction(TDomNode* parent, std::u16string_view target,
                                                  std::u16string_view data) {
  return Appended(parent, new TDomProcessingInstruction(FDoc, target), data);
}

std::string XPathTest::Eval(std::u16string_view text, TDomNode* context) {
  TDomXPathSyntaxTree tree;
  if (!tree.Prepare(text)) {
    return "refused";
  }
  try {
    return Picture(*tree.Evaluate(context));
  } catch (const Exception& e) {
    return std::string("!") + e.ClassName() + ": " + e.what();
  }
}

TDomXPathResultPtr XPathTest::Result(std::u16string_view text, TDomNode* context) {
  TDomXPathSyntaxTree tree;
  EXPECT_TRUE(tree.Prepare(text));
  return tree.Evaluate(context);
}

SampleDocumentTest::SampleDocumentTest() {
  FNodes["/"] = FDoc;
  const auto keep = [this](TDomNode* node) {
    FNodes[NodeLabel(node)] = node;
    return node;
  };
  keep(Instruction(FDoc, u"top"));
  TDomElement* root = Element(FDoc, u"root", {{u"id", u"r"}, {u"xmlns:p", u"urn:p"}});
  keep(root);
  TDomElement* a1 = Element(root, u"a", {{u"id", u"a1"}, {u"x", u"1"}});
  keep(a1);
  keep(a1->getAttributeNodeNS(u"", u"id"));
  keep(a1->getAttributeNodeNS(u"", u"x"));
  keep(Element(a1, u"b", {{u"id", u"b1"}}));
  keep(Text(a1, u"one"));
  keep(CData(a1, u"two"));
  keep(Text(a1, u"three"));
  keep(Comment(a1, u"note"));
  keep(Instruction(a1, u"go"));
  TDomElement* b2 = Element(a1, u"b", {{u"id", u"b2"}});
  keep(b2);
  keep(Element(b2, u"c", {{u"id", u"c1"}}));
  keep(Element(root, u"a", {{u"id", u"a2"}}));
  keep(Comment(FDoc, u"end"));
  FNamespaces = Result(u"namespace::*", a1);
  for (int i = 0; i < FNamespaces->Length(); ++i) {
    keep(FNamespaces->Item(i));
  }
}

SampleDocumentTest::~SampleDocumentTest() = default;

TDomNode* SampleDocumentTest::Node(const std::string& label) {
  const auto found = FNodes.find(label);
  EXPECT_NE(found, FNodes.end()) << label;
  return found == FNodes.end() ? nullptr : found->second;
}

} // namespace velmora::testing
