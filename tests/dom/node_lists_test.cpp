#include "dom/node_lists.h"
#include "dom/owner_named_node_map.h"
#include "tests/dom/dom_fixture.h"

namespace velmora::testing {
namespace {

using AttributeMaps = DomTest;

TEST_F(AttributeMaps, PlainAndNamespaceAccessNeverMix) {
  TDomElement* plain = Element(u"plain");
  TDomElement* aware = ElementNS(u"urn:x", u"aware");
  EXPECT_THROW(aware->getAttribute(u"a"), ENamespace_Err);
  EXPECT_THROW(aware->setAttribute(u"a", u"1"), ENamespace_Err);
  EXPECT_THROW(plain->getAttributeNS(u"", u"a"), ENamespace_Err);
  EXPECT_THROW(plain->attributes()->removeNamedItemNS(u"", u"a"), ENamespace_Err);
  try {
    plain->removeAttribute(u"missing");
    FAIL() << "no exception";
  } catch (const ENot_Found_Err& error) {
    EXPECT_STREQ(error.what(), "Node not found error.");
  }
}

TEST_F(AttributeMaps, SettingReplacingAndRemovingAttributes) {
  TDomElement* e = Element(u"e");
  FDoc->Events.clear();
  TDomAttr* x = e->setAttribute(u"x", u"1");
  e->setAttribute(u"y", u"2");
  e->setAttribute(u"z", u"3");
  EXPECT_EQ(e->setAttribute(u"y", u"two"), nullptr); // an existing one gets the value
  auto* newX = new TDomAttr(FDoc.get(), true, u"x");
  newX->setNodeValue(u"new");
  EXPECT_EQ(e->setAttributeNode(newX), x);
  const TDomNamedNodeMap* map = e->attributes();
  ASSERT_EQ(map->length(), 3);
  EXPECT_EQ(map->item(0)->nodeName(), u"y");
  EXPECT_EQ(map->item(1)->nodeName(), u"z");
  EXPECT_EQ(map->item(2), newX);
  EXPECT_EQ(x->ownerElement(), nullptr);
  EXPECT_EQ(x->GetOwner(), FDoc.get());          // replaced, not freed
  EXPECT_EQ(e->setAttributeNode(newX), nullptr); // already here: no change
  EXPECT_EQ(map->length(), 3);
  EXPECT_EQ(FDoc->Events,
            (std::vector<std::string>{"attr addition x e", "attr addition y e", "attr addition z e",
                                      "attr modification y e", "attr addition x e"}));
  TDomElement* other = Element(u"other");
  try {
    other->setAttributeNode(newX);
    FAIL() << "no exception";
  } catch (const EInuse_Err& error) {
    EXPECT_STREQ(error.what(), "Inuse attribute error.");
  }
  EXPECT_EQ(e->removeAttribute(u"z")->nodeName(), u"z");
  EXPECT_EQ(map->length(), 2);
  EXPECT_FALSE(e->hasAttribute(u"z"));
  EXPECT_EQ(e->getAttribute(u"z"), u"");
  TDomDocument* foreign = new TDomDocument;
  EXPECT_THROW(e->setAttributeNode(new TDomAttr(foreign, true, u"f")), EWrong_Document_Err);
  foreign->Free();
  EXPECT_THROW(e->attributes()->setNamedItem(Text(u"t")), EHierarchy_Request_Err);
  TDomElement* parent = Element(u"parent");
  TDomElement* child = Element(u"child");
  parent->appendChild(child);
  e->setReadOnly(true);
  EXPECT_THROW(e->setAttribute(u"w", u"1"), ENo_Modification_Allowed_Err);
  EXPECT_THROW(e->removeAttribute(u"y"), ENo_Modification_Allowed_Err);
}

TEST_F(AttributeMaps, SetAttributeNSUpdatesAnExistingAttribute) {
  TDomElement* e = ElementNS(u"urn:e", u"e");
  TDomAttr* unprefixed = e->setAttributeNS(u"urn:a", u"a", u"1");
  ASSERT_NE(unprefixed, nullptr);
  EXPECT_EQ(e->setAttributeNS(u"urn:a", u"a", u"2"), nullptr);
  EXPECT_EQ(unprefixed->nodeValue(), u"2");
  EXPECT_EQ(e->setAttributeNS(u"urn:a", u"p:a", u"3"), nullptr);
  EXPECT_EQ(unprefixed->nodeName(), u"p:a");
  EXPECT_EQ(e->getAttributeNS(u"urn:a", u"a"), u"3");
  // From a prefix back to none: setPrefix refuses the empty prefix.
  EXPECT_THROW(e->setAttributeNS(u"urn:a", u"a", u"4"), EInvalid_Character_Err);
  EXPECT_THROW(e->setAttributeNS(u"urn:a", u"1a", u"4"), EInvalid_Character_Err);
  EXPECT_THROW(e->setAttributeNS(u"", u"p:b", u"4"), ENamespace_Err);
  EXPECT_EQ(e->attributes()->length(), 1);
}

TEST_F(AttributeMaps, ManyAttributesKeepFirstMatchAndOrder) {
  TDomElement* e = ElementNS(u"", u"wide");
  const int count = 20000;
  for (int i = 0; i < count; ++i) {
    e->setAttributeNS(u"urn:n", u"p:a" + NarrowToWide(std::to_string(i)), u"v");
  }
  TDomNamedNodeMap* map = e->attributes();
  ASSERT_EQ(map->length(), count);
  EXPECT_EQ(e->getAttributeNodeNS(u"urn:n", u"a19999"), map->item(count - 1));
  EXPECT_EQ(e->getAttributeNodeNS(u"urn:n", u"a77"), map->item(77));
  EXPECT_EQ(e->getAttributeNodeNS(u"urn:n", u"missing"), nullptr);
  // Removing from the middle moves later positions; lookups still find the right node.
  TDomAttr* a5 = e->removeAttributeNS(u"urn:n", u"a5");
  EXPECT_EQ(e->getAttributeNodeNS(u"urn:n", u"a6"), map->item(5));
  EXPECT_FALSE(e->hasAttributeNS(u"urn:n", u"a5"));
  EXPECT_EQ(e->setAttributeNodeNS(a5), nullptr); // back, at the end
  EXPECT_EQ(map->item(count - 1), a5);
  EXPECT_EQ(e->getAttributeNodeNS(u"urn:n", u"a5"), a5);

  TDomElement* plain = Element(u"plain");
  for (int i = 0; i < 50; ++i) {
    plain->setAttribute(u"a" + NarrowToWide(std::to_string(i)), u"v");
  }
  EXPECT_EQ(plain->getAttributeNode(u"a49"), plain->attributes()->item(49));
}

using ElementLists = DomTest;

TEST_F(ElementLists, LiveListsByNameAndNamespace) {
  TDomElement* root = Element(u"b");
  TDomElement* b1 = Element(u"b");
  TDomElement* c = Element(u"c");
  TDomElement* b2 = Element(u"b");
  root->appendChild(b1);
  root->appendChild(c);
  c->appendChild(b2);
  FDoc->appendChild(root);
  TDomNodeList* bs = root->getElementsByTagName(u"b");
  EXPECT_EQ(bs->length(), 2);
  EXPECT_EQ(bs->item(0), b1);
  EXPECT_EQ(bs->item(1), b2);
  EXPECT_EQ(bs->item(2), nullptr);
  EXPECT_EQ(bs->item(-1), nullptr);
  EXPECT_EQ(bs->indexOf(b2), 1);
  EXPECT_EQ(bs->indexOf(root), -1);
  EXPECT_EQ(root->getElementsByTagName(u"b"), bs);
  TDomNodeList* all = root->getElementsByTagName(u"*");
  EXPECT_EQ(all->length(), 3);
  TDomElement* late = Element(u"b");
  b1->appendChild(late);
  EXPECT_EQ(bs->length(), 3);
  EXPECT_EQ(bs->item(1), late);
  c->removeChild(b2);
  EXPECT_EQ(bs->length(), 2);
  EXPECT_EQ(FDoc->getElementsByTagName(u"b")->length(), 3); // the root counts there

  TDomElement* nsRoot = ElementNS(u"urn:a", u"p:r");
  nsRoot->appendChild(ElementNS(u"urn:a", u"p:x"));
  TDomElement* renamed = ElementNS(u"urn:b", u"q:x");
  nsRoot->appendChild(renamed);
  EXPECT_EQ(nsRoot->getElementsByTagNameNS(u"urn:a", u"x")->length(), 1);
  EXPECT_EQ(nsRoot->getElementsByTagNameNS(u"*", u"x")->length(), 2);
  EXPECT_EQ(nsRoot->getElementsByTagNameNS(u"urn:b", u"*")->item(0), renamed);
  TDomNodeList* byName = nsRoot->getElementsByTagName(u"q:x");
  EXPECT_EQ(byName->length(), 1);
  renamed->setPrefix(u"z");
  EXPECT_EQ(byName->length(), 0);
  EXPECT_EQ(nsRoot->getElementsByTagName(u"z:x")->length(), 1);
}

// Counts the nodes it tests, to tell a walk of the tree from an answer out of its cache.
class TCountingList : public TDomElementsNodeList {
public:
  using TDomElementsNodeList::TDomElementsNodeList;
  mutable int Tested = 0;

protected:
  bool Matches(const TDomNode* node) const override {
    ++Tested;
    return TDomElementsNodeList::Matches(node);
  }
};

TEST_F(ElementLists, OnlyChangesOfTheirOwnDocumentMakeListsWalkAgain) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  root->appendChild(Element(u"a"));
  TCountingList list(u"a", root);
  EXPECT_EQ(list.length(), 1);
  const int walked = list.Tested;
  TDomElement* elsewhere = ElementNS(u"urn:x", u"elsewhere");
  FDocNS->appendChild(elsewhere);
  elsewhere->setPrefix(u"p");
  FDocNS->removeChild(elsewhere);
  elsewhere->Free();
  EXPECT_EQ(list.length(), 1);
  EXPECT_EQ(list.Tested, walked);
  root->appendChild(Element(u"a"));
  EXPECT_EQ(list.length(), 2);
  EXPECT_GT(list.Tested, walked);
  root->lastChild()->Free(); // freeing is a change too
  EXPECT_EQ(list.length(), 1);
  root->firstChild()->appendChild(Element(u"a"));
  root->firstChild()->clear();
  EXPECT_EQ(list.length(), 1);
}

TEST(OwnerNamedNodeMap, SortedOwningMap) {
  TDomDocument* document = new TDomDocument;
  {
    TDomOwnerNamedNodeMap map(TDomOwnerNamedNodeMap::IsInstance<TDomElement>);
    for (const char16_t* name : {u"m", u"b", u"x"}) {
      map.add(new TDomElement(document, name));
    }
    EXPECT_EQ(map.length(), 3);
    EXPECT_EQ(map.item(0)->nodeName(), u"b");
    EXPECT_EQ(map.item(2)->nodeName(), u"x");
    EXPECT_EQ(map.indexOfName(u"m"), 1);
    EXPECT_TRUE(map.hasNamedItem(u"x"));
    EXPECT_EQ(map.getNamedItem(u"zz"), nullptr);
    try {
      map.add(new TDomElement(document, u"b"));
      ADD_FAILURE() << "duplicate accepted";
    } catch (const EStringListError& error) {
      EXPECT_STREQ(error.what(), "String list does not allow duplicates");
    }
    EXPECT_THROW(map.add(new TDomComment(document)), EHierarchy_Request_Err);
    try {
      map.remove(7);
      ADD_FAILURE() << "bad index accepted";
    } catch (const EStringListError& error) {
      EXPECT_STREQ(error.what(), "List index out of bounds (7)");
    }
    TDomNode* m = map.extract(map.item(1));
    EXPECT_EQ(m->nodeName(), u"m");
    EXPECT_THROW(map.extract(m), EStringListError);
    EXPECT_EQ(map.removeNamedItem(u"b"), 0);
    EXPECT_EQ(map.removeNamedItem(u"b"), -1);
    EXPECT_EQ(map.length(), 1);
  } // the map frees what it still holds
  document->Free();
}

TEST(WideStringList, SortsByCodeUnitsWithPrefixesFirst) {
  TUtilsWideStringList list(true, dupIgnore);
  for (const char16_t* text : {u"b", u"ab", u"a", u"\u00E4", u"B"}) {
    list.add(text, nullptr);
  }
  EXPECT_EQ(list.add(u"a", nullptr), 1); // "ignore" gives the existing index
  ASSERT_EQ(list.count(), 5);
  const char16_t* expected[] = {u"B", u"a", u"ab", u"b", u"\u00E4"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list.strings(i), expected[i]);
  }
  TUtilsWideStringList unsorted(false, dupAccept);
  unsorted.add(u"z", nullptr);
  unsorted.add(u"a", nullptr);
  unsorted.add(u"z", nullptr);
  EXPECT_EQ(unsorted.indexOf(u"z"), 0);
  EXPECT_EQ(unsorted.count(), 3);
}

} // namespace
} // namespace velmora::testing
