#include "tests/xpath/xpath_fixture.h"

namespace velmora::testing {
namespace {

struct TAxisCase {
  const char* Context;
  std::u16string_view Axis;
  const char* Expected;
  friend void PrintTo(const TAxisCase& c, std::ostream* out) {
    *out << c.Context << " " << WideToNarrow(c.Axis);
  }
};

class Axes : public SampleDocumentTest, public ::testing::WithParamInterface<TAxisCase> {};

// "axis::node()" from the context; results reach the caller in document order.
TEST_P(Axes, SelectTheirNodesInDocumentOrder) {
  const TAxisCase& c = GetParam();
  EXPECT_EQ(Eval(WideString(c.Axis) + u"::node()", Node(c.Context)), c.Expected);
}

constexpr TAxisCase kAxisCases[] = {
    // An element.
    {"a1", u"self", "[a1]"},
    {"a1", u"parent", "[r]"},
    {"a1", u"ancestor", "[/ r]"},
    {"a1", u"ancestor-or-self", "[/ r a1]"},
    {"a1", u"attribute", "[@id=a1 @x=1]"},
    {"a1", u"child", "[b1 t:one cd:two t:three c:note pi:go b2]"},
    {"a1", u"descendant", "[b1 t:one cd:two t:three c:note pi:go b2 c1]"},
    {"a1", u"descendant-or-self", "[a1 b1 t:one cd:two t:three c:note pi:go b2 c1]"},
    {"a1", u"following", "[a2 c:end]"},
    {"a1", u"following-sibling", "[a2]"},
    {"a1", u"namespace", "[ns:p ns:xml ns:xmlns]"},
    {"a1", u"preceding", "[pi:top]"},
    {"a1", u"preceding-sibling", "[]"},
    // An attribute: its element is its parent; its following nodes start after the
    // element's subtree.
    {"@x=1", u"self", "[@x=1]"},
    {"@x=1", u"parent", "[a1]"},
    {"@x=1", u"ancestor", "[/ r a1]"},
    {"@x=1", u"ancestor-or-self", "[/ r a1 @x=1]"},
    {"@x=1", u"attribute", "[]"},
    {"@x=1", u"child", "[]"},
    {"@x=1", u"descendant", "[]"},
    {"@x=1", u"descendant-or-self", "[@x=1]"},
    {"@x=1", u"following", "[a2 c:end]"},
    {"@x=1", u"following-sibling", "[]"},
    {"@x=1", u"namespace", "[]"},
    {"@x=1", u"preceding", "[pi:top]"},
    {"@x=1", u"preceding-sibling", "[]"},
    // A text that starts a run of three: the run counts once among siblings.
    {"t:one", u"self", "[t:one]"},
    {"t:one", u"parent", "[a1]"},
    {"t:one", u"ancestor", "[/ r a1]"},
    {"t:one", u"ancestor-or-self", "[/ r a1 t:one]"},
    {"t:one", u"attribute", "[]"},
    {"t:one", u"child", "[]"},
    {"t:one", u"descendant", "[]"},
    {"t:one", u"descendant-or-self", "[t:one]"},
    {"t:one", u"following", "[c:note pi:go b2 c1 a2 c:end]"},
    {"t:one", u"following-sibling", "[c:note pi:go b2]"},
    {"t:one", u"namespace", "[]"},
    {"t:one", u"preceding", "[pi:top b1]"},
    {"t:one", u"preceding-sibling", "[b1]"},
    // A comment after the run.
    {"c:note", u"self", "[c:note]"},
    {"c:note", u"parent", "[a1]"},
    {"c:note", u"ancestor", "[/ r a1]"},
    {"c:note", u"ancestor-or-self", "[/ r a1 c:note]"},
    {"c:note", u"attribute", "[]"},
    {"c:note", u"child", "[]"},
    {"c:note", u"descendant", "[]"},
    {"c:note", u"descendant-or-self", "[c:note]"},
    {"c:note", u"following", "[pi:go b2 c1 a2 c:end]"},
    {"c:note", u"following-sibling", "[pi:go b2]"},
    {"c:note", u"namespace", "[]"},
    {"c:note", u"preceding", "[pi:top b1 t:one]"},
    {"c:note", u"preceding-sibling", "[b1 t:one]"},
    // A processing instruction.
    {"pi:go", u"self", "[pi:go]"},
    {"pi:go", u"parent", "[a1]"},
    {"pi:go", u"ancestor", "[/ r a1]"},
    {"pi:go", u"ancestor-or-self", "[/ r a1 pi:go]"},
    {"pi:go", u"attribute", "[]"},
    {"pi:go", u"child", "[]"},
    {"pi:go", u"descendant", "[]"},
    {"pi:go", u"descendant-or-self", "[pi:go]"},
    {"pi:go", u"following", "[b2 c1 a2 c:end]"},
    {"pi:go", u"following-sibling", "[b2]"},
    {"pi:go", u"namespace", "[]"},
    {"pi:go", u"preceding", "[pi:top b1 t:one c:note]"},
    {"pi:go", u"preceding-sibling", "[b1 t:one c:note]"},
    // The document.
    {"/", u"self", "[/]"},
    {"/", u"parent", "[]"},
    {"/", u"ancestor", "[]"},
    {"/", u"ancestor-or-self", "[/]"},
    {"/", u"attribute", "[]"},
    {"/", u"child", "[pi:top r c:end]"},
    {"/", u"descendant", "[pi:top r a1 b1 t:one cd:two t:three c:note pi:go b2 c1 a2 c:end]"},
    {"/", u"descendant-or-self",
     "[/ pi:top r a1 b1 t:one cd:two t:three c:note pi:go b2 c1 a2 c:end]"},
    {"/", u"following", "[]"},
    {"/", u"following-sibling", "[]"},
    {"/", u"namespace", "[]"},
    {"/", u"preceding", "[]"},
    {"/", u"preceding-sibling", "[]"},
    // A namespace node: like an attribute.
    {"ns:p", u"self", "[ns:p]"},
    {"ns:p", u"parent", "[a1]"},
    {"ns:p", u"ancestor", "[/ r a1]"},
    {"ns:p", u"ancestor-or-self", "[/ r a1 ns:p]"},
    {"ns:p", u"attribute", "[]"},
    {"ns:p", u"child", "[]"},
    {"ns:p", u"descendant", "[]"},
    {"ns:p", u"descendant-or-self", "[ns:p]"},
    {"ns:p", u"following", "[a2 c:end]"},
    {"ns:p", u"following-sibling", "[]"},
    {"ns:p", u"namespace", "[]"},
    {"ns:p", u"preceding", "[pi:top]"},
    {"ns:p", u"preceding-sibling", "[]"},
};
INSTANTIATE_TEST_SUITE_P(FromEveryKindOfNode, Axes, ::testing::ValuesIn(kAxisCases));

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

struct TPathCase {
  const char* Context;
  std::u16string_view Text;
  const char* Expected;
  friend void PrintTo(const TPathCase& c, std::ostream* out) {
    *out << c.Context << " " << WideToNarrow(c.Text);
  }
};

class Paths : public SampleDocumentTest, public ::testing::WithParamInterface<TPathCase> {};

TEST_P(Paths, Select) {
  EXPECT_EQ(Eval(GetParam().Text, Node(GetParam().Context)), GetParam().Expected);
}

constexpr TPathCase kPathCases[] = {
    {"/", u"/root/a/b", "[b1 b2]"},
    {"c1", u"/", "[/]"},
    {"c1", u"/root", "[r]"},
    {"a1", u"b/c", "[c1]"},
    {"/", u"root/a/b", "[b1 b2]"},
    {"/", u"//b", "[b1 b2]"},
    {"/", u"//b/..", "[a1]"},
    {"/", u"//*/@id/..", "[r a1 b1 b2 c1 a2]"},
    {"a1", u".//c", "[c1]"},
    {"a1", u"none/b", "[]"},
    {"@x=1", u"../@id[1]", "[@id=a1]"},
    {"@x=1", u"..", "[a1]"},
    {"@x=1", u".", "[@x=1]"},
    {"a1", u"text()", "[t:one cd:two t:three]"},
    {"b1", u"following-sibling::node()", "[t:one c:note pi:go b2]"},
    {"b2", u"following::*", "[a2]"},
    // A text inside a run sees the run's first text as a sibling.
    {"t:three", u"preceding-sibling::node()", "[b1 t:one]"},
    {"a1", u"@*", "[@id=a1 @x=1]"},
    {"r", u"@*", "[@id=r]"}, // namespace declarations are no attributes
    {"/", u"//a/following-sibling::*", "[a2]"},
    {"/", u"//b/ancestor::*", "[r a1]"},
    {"/", u"//node()/preceding-sibling::b", "[b1]"},
    {"/", u"//c/ancestor-or-self::*/following::node()", "[a2 c:end]"},
    {"/", u"//text()/following::c", "[c1]"},
    // Node tests.
    {"a1", u"*", "[b1 b2]"},
    {"a1", u"b", "[b1 b2]"},
    {"a1", u"node()", "[b1 t:one cd:two t:three c:note pi:go b2]"},
    {"a1", u"comment()", "[c:note]"},
    {"a1", u"processing-instruction()", "[pi:go]"},
    {"/", u"//processing-instruction('go')", "[pi:go]"},
    {"/", u"//processing-instruction('top')", "[pi:top]"},
    {"/", u"//processing-instruction('none')", "[]"},
    {"/", u"//comment()", "[c:note c:end]"},
    {"/", u"//text()", "[t:one cd:two t:three]"},
    {"a1", u"self::a", "[a1]"},
    {"a1", u"self::b", "[]"},
    {"a1", u"self::text()", "[]"},
    {"t:one", u"self::text()", "[t:one]"},
    {"@x=1", u"self::node()", "[@x=1]"},
    {"@x=1", u"self::x", "[]"}, // a name test on the self axis selects elements
    {"a1", u"attribute::*", "[@id=a1 @x=1]"},
    {"a1", u"attribute::x", "[@x=1]"},
    {"a1", u"attribute::node()", "[@id=a1 @x=1]"},
    {"a1", u"attribute::text()", "[]"},
    {"a1", u"child::x", "[]"},
    {"a1", u"namespace::*", "[ns:p ns:xml ns:xmlns]"},
    {"a1", u"namespace::p", "[ns:p]"}, // a namespace node's name is its prefix, in no namespace
    {"a1", u"namespace::p:p", "[]"},
    {"a1", u"p:*", "[]"},
    {"a1", u"q:b", "!ENamespace_Err: Namespace URI of prefix 'q' not found."},
    {"a1", u"none/q:b", "[]"}, // asked only when the axis has nodes
    // Positions count along the axis: on reverse axes from the nearest node.
    {"a1", u"b[1]", "[b1]"},
    {"a1", u"b[2]", "[b2]"},
    {"a1", u"b[3]", "[]"},
    {"a1", u"*[last()]", "[b2]"},
    {"a1", u"node()[3]", "[cd:two]"},
    {"a1", u"node()[position() > 5]", "[pi:go b2]"},
    {"a1", u"node()[position() > 1][1]", "[t:one]"},
    {"a1", u"*[2][1]", "[b2]"},
    {"a1", u"*[1.5]", "[]"},
    {"a1", u"*[0]", "[]"},
    {"a1", u"*[-1]", "[]"},
    {"a1", u"*[0 div 0]", "[]"},
    {"a1", u"*['x']", "[b1 b2]"},
    {"a1", u"*['']", "[]"},
    {"a1", u"b[@id = 'b2']", "[b2]"},
    {"a1", u"b[c]", "[b2]"},
    {"a1", u"b[not-yet()]", "!EXPath_Exception: Unknown function name."},
    {"c1", u"ancestor::*[1]", "[b2]"},
    {"c1", u"ancestor::*[last()]", "[r]"},
    {"c1", u"ancestor::node()[last()]", "[/]"},
    {"c1", u"ancestor-or-self::*[2]", "[b2]"},
    {"c1", u"(ancestor::*)[1]", "[r]"}, // a filter counts in document order
    {"c1", u"(ancestor::node())[last()]", "[b2]"},
    {"b2", u"preceding-sibling::*[1]", "[b1]"},
    {"b2", u"preceding-sibling::node()[1]", "[pi:go]"},
    {"b2", u"preceding-sibling::node()[last()]", "[b1]"},
    {"b2", u"preceding::node()[3]", "[t:one]"},
    {"b2", u"preceding::node()[position() = last()]", "[pi:top]"},
    {"b1", u"following::node()[2]", "[c:note]"},
    {"/", u"//b[1]", "[b1]"},
    {"/", u"(//b)[2]", "[b2]"},
    {"/", u"//*[2]", "[b2 a2]"},
    {"/", u"//node()[1]", "[pi:top a1 b1 c1]"},
    {"/", u"//a[2]/preceding::*[1]", "[c1]"},
    {"a1", u"namespace::*[2]", "[ns:xml]"},
    // Predicates that count positions see them per parent below "//"; the others select
    // the same from every position.
    {"/", u"//*[@id = 'b2' or position() = 1]", "[r a1 b1 b2 c1]"},
    {"/", u"//*[1 + 1]", "[b2 a2]"},
    {"/", u"//*[count(*) = 0]", "[b1 c1 a2]"},
    {"/", u"//*['x'][last()]", "[r b2 c1 a2]"},
    {"/", u"//*[@id != 'r'][1]", "[a1 b1 c1]"},
    // Steps from many context nodes: nested ones, siblings and shared ancestors.
    {"/", u"//*/descendant::c", "[c1]"},
    {"/", u"//*/descendant-or-self::b", "[b1 b2]"},
    {"/", u"//@*/descendant-or-self::node()", "[@id=r @id=a1 @x=1 @id=b1 @id=b2 @id=c1 @id=a2]"},
    {"/", u"//node()/ancestor::*", "[r a1 b2]"},
    {"/", u"//text()/ancestor-or-self::node()", "[/ r a1 t:one cd:two t:three]"},
    {"/", u"//b/preceding-sibling::node()", "[b1 t:one c:note pi:go]"},
    {"/", u"//b/following-sibling::node()", "[t:one c:note pi:go b2]"},
    // Attributes and namespace nodes reach the caller after their element and before its
    // children, each once; among themselves they keep the order in which the reverse
    // list received them.
    {"a1", u"@*/ancestor-or-self::node()", "[/ r a1 @x=1 @id=a1]"},
    {"a1", u"(@* | b)/ancestor-or-self::node()", "[/ r a1 @x=1 @id=a1 b1 b2]"},
    {"a1", u"@*/self::node()", "[@id=a1 @x=1]"},
    {"a1", u"namespace::* | namespace::*", "[ns:p ns:xml ns:xmlns]"},
    {"a1", u"namespace::*/self::node() | namespace::*", "[ns:p ns:xml ns:xmlns]"},
    {"a1", u"namespace::*/.. | @x | namespace::*", "[a1 ns:p ns:xml ns:xmlns @x=1]"},
    {"/", u"//namespace::p/..", "[r a1 b1 b2 c1 a2]"},
    {"/", u"count(//namespace::*)", "18"},
    {"/", u"count(//*/namespace::*/..)", "6"},
};
INSTANTIATE_TEST_SUITE_P(Sample, Paths, ::testing::ValuesIn(kPathCases));

// The namespace nodes of an element, as "prefix=URI" in list order.
std::string Bindings(XPathTest& test, TDomNode* element) {
  const TDomXPathResultPtr result = test.Result(u"namespace::*", element);
  std::string text;
  for (int i = 0; i < result->Length(); ++i) {
    const TDomNode* node = result->Item(i);
    text += (i ? " " : "") + WideToNarrow(node->prefix()) + "=" + WideToNarrow(node->nodeValue());
  }
  return text;
}

using NamespaceAxis = XPathTest;

TEST_F(NamespaceAxis, ListsThePrefixesInScopeInTheirOrder) {
  TDomElement* outer = Element(FDoc, u"outer", {{u"xmlns:z", u"urn:z"}, {u"xmlns:p", u"urn:p"}});
  TDomElement* inner =
      Element(outer, u"inner",
              {{u"xmlns", u"urn:d"}, {u"xmlns:p", u"urn:inner"}, {u"xmlns:xml", XmlNamespaceURI}});
  TDomElement* undeclaring = Element(inner, u"undeclaring", {{u"xmlns", u""}, {u"xmlns:z", u""}});
  const std::string xml = "xml=http://www.w3.org/XML/1998/namespace";
  const std::string xmlns = "xmlns=http://www.w3.org/2000/xmlns/";
  EXPECT_EQ(Bindings(*this, Element(nullptr, u"alone")), xml + " " + xmlns);
  EXPECT_EQ(Bindings(*this, outer), "p=urn:p " + xml + " " + xmlns + " z=urn:z");
  EXPECT_EQ(Bindings(*this, inner), "=urn:d p=urn:inner " + xml + " " + xmlns + " z=urn:z");
  // An empty default declaration gives a node without URI; a prefix bound to nothing is
  // out of scope.
  EXPECT_EQ(Bindings(*this, undeclaring), "= p=urn:inner " + xml + " " + xmlns);
  EXPECT_EQ(Eval(u"namespace::*", FDoc), "[]");
}

TEST_F(NamespaceAxis, NameTestsUseTheContextNodesBindings) {
  TDomElement* root = Element(FDoc, u"root", {{u"xmlns:p", u"urn:p"}, {u"xmlns", u"urn:d"}});
  TDomElement* prefixed = Element(root, u"p:e", {{u"id", u"pe"}}, u"urn:p");
  Attribute(prefixed, u"p:at", u"1", u"urn:p");
  Attribute(prefixed, u"at", u"2");
  Element(root, u"e", {{u"id", u"e"}});
  Element(root, u"q:e", {{u"id", u"qe"}}, u"urn:q");
  Element(root, u"d:e", {{u"id", u"de"}}, u"urn:d");
  EXPECT_EQ(Eval(u"e", root), "[e]"); // unprefixed: no namespace, whatever the default
  EXPECT_EQ(Eval(u"p:e", root), "[pe]");
  EXPECT_EQ(Eval(u"p:*", root), "[pe]");
  EXPECT_EQ(Eval(u"*", root), "[pe e qe de]");
  EXPECT_EQ(Eval(u"p:e/@p:at", root), "[@p:at=1]");
  EXPECT_EQ(Eval(u"p:e/@at", root), "[@at=2]");
  EXPECT_EQ(Eval(u"p:e/@p:*", root), "[@p:at=1]");
  EXPECT_EQ(Eval(u"p:e/@*", root), "[@id=pe @p:at=1 @at=2]");
  EXPECT_EQ(Eval(u"q:e", root), "!ENamespace_Err: Namespace URI of prefix 'q' not found.");
  EXPECT_EQ(Eval(u"*/self::p:e", root), "[pe]");
  EXPECT_EQ(Eval(u"e/namespace::*[1]/self::*", root), "[]");
}

} // namespace
} // namespace velmora::testing
