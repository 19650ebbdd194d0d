#pragma once
// XPath documents built node by node, expressions evaluated against their nodes, and
// results written as short texts that tests compare:
//   node sets  "[/ r a1 @x=1 t:one ns:p]": the nodes in list order; elements by their id
//              attribute (else their name), attributes as @name=value, texts t:, CDATA
//              sections cd:, comments c:, processing instructions pi:target, namespace
//              nodes ns:prefix, the document "/"
//   others     "true", "3", "NaN", "'text'"
//   failures   "!EXPath_Type_Err: XPath type error."

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "dom/element.h"
#include "dom/other_nodes.h"
#include "xpath/node_set_result.h"
#include "xpath/xpath_document.h"

namespace velmora::testing {

struct TAttribute {
  std::u16string_view Name;
  std::u16string_view Value;
};

// The label of a node in pictures of node sets.
std::string NodeLabel(const TDomNode* node);
// A result as a picture.
std::string Picture(const TDomXPathCustomResult& result);

class XPathTest : public ::testing::Test {
public:
  XPathTest();
  ~XPathTest() override;

  // Nodes appended to parent (or left without parent when it is none). A name with a
  // prefix takes namespaceURI; "xmlns" and "xml:" attributes find their namespaces themselves.
  TDomElement* Element(TDomNode* parent, std::u16string_view qualifiedName,
                       std::initializer_list<TAttribute> attributes = {},
                       std::u16string_view namespaceURI = u"");
  TDomAttr* Attribute(TDomElement* element, std::u16string_view qualifiedName,
                      std::u16string_view value, std::u16string_view namespaceURI = u"");
  TDomText* Text(TDomNode* parent, std::u16string_view data);
  TDomCDATASection* CData(TDomNode* parent, std::u16string_view data);
  TDomComment* Comment(TDomNode* parent, std::u16string_view data);
  TDomProcessingInstruction* Instruction(TDomNode* parent, std::u16string_view target,
                                         std::u16string_view data = u"");

  // The picture of text's value with context as context node, or of its failure.
  std::string Eval(std::u16string_view text, TDomNode* context);
  std::string Eval(std::u16string_view text) { return Eval(text, FDoc); }
  // The value itself (a failure fails the test).
  TDomXPathResultPtr Result(std::u16string_view text, TDomNode* context);

  TDomDocumentXPath* FDoc;
};

// The document most tests of location paths walk, with every kind of node:
//   /  pi:top
//      r (root; id=r, xmlns:p=urn:p)
//        a1 (a; id=a1, x=1): b1 (b) t:one cd:two t:three c:note pi:go b2 (b): c1 (c)
//        a2 (a; id=a2)
//      c:end
class SampleDocumentTest : public XPathTest {
protected:
  SampleDocumentTest();
  ~SampleDocumentTest() override;

  // A node of the document by its label; "ns:p" is a1's namespace node for p.
  TDomNode* Node(const std::string& label);

  std::map<std::string, TDomNode*> FNodes;
  TDomXPathResultPtr FNamespaces;
};

} // namespace velmora::testing
