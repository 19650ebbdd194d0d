// Documents a million levels deep, a million children wide and an element with 10^5
// attributes: every walk must be a loop, and steps from many context nodes must not walk
// what earlier ones walked.

#include "tests/xpath/xpath_fixture.h"

namespace velmora::testing {
namespace {

constexpr int kMillion = 1'000'000;

class LargeDocuments : public XPathTest {
protected:
  std::string Count(std::u16string_view path, TDomNode* context = nullptr) {
    return Eval(u"count(" + WideString(path) + u")", context ? context : FDoc);
  }
};

TEST_F(LargeDocuments, MillionLevelsDeep) {
  TDomElement* root = Element(FDoc, u"root", {{u"xmlns:p", u"urn:p"}});
  TDomElement* deepest = root;
  for (int i = 0; i < kMillion; ++i) {
    deepest = Element(deepest, u"level");
  }
  Text(deepest, u"bottom");
  deepest->setAttributeNS(u"", u"id", u"deepest");

  EXPECT_EQ(Count(u"//*"), "1000001");
  EXPECT_EQ(Count(u"//level"), "1000000");
  EXPECT_EQ(Count(u"//*[1]"), "1000001");
  EXPECT_EQ(Count(u"/root//level//level"), "999999");
  EXPECT_EQ(Eval(u"//text()"), "[t:bottom]");
  EXPECT_EQ(Eval(u"//level[text()]"), "[deepest]");
  EXPECT_EQ(Eval(u"(//*)[last()]"), "[deepest]");
  EXPECT_EQ(Count(u"ancestor::*", deepest), "1000000");
  EXPECT_EQ(Eval(u"ancestor::*[last()]", deepest), "[root]");
  EXPECT_EQ(Count(u"//level/ancestor::*"), "1000000");
  EXPECT_EQ(Count(u"//level/ancestor-or-self::level"), "1000000");
  EXPECT_EQ(Count(u"namespace::*", deepest), "3");
  EXPECT_EQ(Count(u"preceding::node() | following::node()", deepest), "0");
  EXPECT_EQ(Count(u"//* | //level"), "1000001");
  EXPECT_EQ(Count(u"descendant::*", root), "1000000");
}

TEST_F(LargeDocuments, MillionChildrenWide) {
  TDomElement* root = Element(FDoc, u"root");
  for (int i = 0; i < kMillion; ++i) {
    Element(root, i % 2 ? u"y" : u"x");
  }
  TDomNode* first = root->firstChild();
  EXPECT_EQ(Count(u"root/*"), "1000000");
  EXPECT_EQ(Count(u"//x"), "500000");
  EXPECT_EQ(Count(u"root/x[250000]"), "1");
  EXPECT_EQ(Count(u"root/x[last()]/preceding-sibling::x"), "499999");
  EXPECT_EQ(Count(u"following-sibling::x", first), "499999");
  EXPECT_EQ(Count(u"root/x/following-sibling::*[1]"), "500000");
  EXPECT_EQ(Count(u"root/y/preceding-sibling::x[1]"), "500000");
  EXPECT_EQ(Count(u"root/x/following-sibling::x"), "499999");
  EXPECT_EQ(Count(u"root/y/preceding-sibling::*"), "999999");
  EXPECT_EQ(Count(u"root/*/.."), "1");
  EXPECT_EQ(Count(u"following::*[2]", first), "1");
  EXPECT_EQ(Count(u"//x | //y"), "1000000");
  EXPECT_EQ(Eval(u"sum(root/*) = 0 div 0"), "true");
  EXPECT_EQ(Eval(u"count(root/*[position() mod 1000 = 0][last()])"), "1");
}

TEST_F(LargeDocuments, StringOfTenMillionCharacters) {
  WideString long_text(10'000'000, u'a');
  for (size_t i = 0; i < long_text.size(); i += 3) {
    long_text[i] = i % 2 ? u' ' : u'b';
  }
  TDomElement* root = Element(FDoc, u"root");
  Text(root, long_text);
  EXPECT_EQ(Eval(u"string-length(translate(string(), 'ab ', 'A'))", root), "6666666");
  EXPECT_EQ(Eval(u"string-length(normalize-space())", root), "9999999");
  EXPECT_EQ(Eval(u"string-length(substring(string(), 2, 9999998))", root), "9999998");
  EXPECT_EQ(Eval(u"contains(string(), 'b b') or starts-with(substring-after(string(), ' '), 'aab')", root),
            "true");
  EXPECT_EQ(Eval(u"string-length(concat(string(), string()))", root), "20000000");
}

TEST_F(LargeDocuments, MillionAdjacentTexts) {
  TDomElement* root = Element(FDoc, u"root");
  TDomElement* before = Element(root, u"before");
  for (int i = 0; i < kMillion; ++i) {
    Text(root, u"t");
  }
  Element(root, u"after");
  EXPECT_EQ(Count(u"root/text()"), "1000000");
  EXPECT_EQ(Count(u"following-sibling::node()", before), "2"); // the run counts once
  EXPECT_EQ(Count(u"root/text()/following-sibling::*"), "1");
}

TEST_F(LargeDocuments, HundredThousandAttributes) {
  constexpr int kAttributes = 100'000;
  TDomElement* element = Element(FDoc, u"e");
  for (int i = 0; i < kAttributes; ++i) {
    const WideString number = NarrowToWide(std::to_string(i));
    Attribute(element, u"a" + number, number);
    Attribute(element, u"xmlns:p" + number, u"urn:" + number);
  }
  EXPECT_EQ(Count(u"@*", element), "100000");
  EXPECT_EQ(Count(u"@* | @*", element), "100000");
  EXPECT_EQ(Count(u"@*/.. | @*", element), "100001");
  EXPECT_EQ(Eval(u"@*[last()]", element), "[@a99999=99999]");
  EXPECT_EQ(Eval(u"@a50000", element), "[@a50000=50000]");
  EXPECT_EQ(Eval(u"@* = '99999'", element), "true");
  EXPECT_EQ(Count(u"namespace::*", element), "100002");
  EXPECT_EQ(Count(u"namespace::* | namespace::*", element), "100002");
}

} // namespace
} // namespace velmora::testing
