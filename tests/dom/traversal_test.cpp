#include "dom/traversal.h"
#include "tests/dom/dom_fixture.h"

namespace velmora::testing {
namespace {

// Answers by node name: names in Reject are rejected, in Skip skipped, all others accepted;
// a node named "boom" makes the filter raise.
class TNameFilter : public TDomNodeFilter {
public:
  TDomFilterResult acceptNode(TDomNode* node) override {
    const std::string name = WideToNarrow(node->nodeName());
    if (name == "boom") {
      throw EConvertError("filter failed");
    }
    if (std::find(Reject.begin(), Reject.end(), name) != Reject.end()) {
      return frReject;
    }
    if (std::find(Skip.begin(), Skip.end(), name) != Skip.end()) {
      return frSkip;
    }
    return frAccept;
  }
  std::vector<std::string> Reject;
  std::vector<std::string> Skip;
};

constexpr TDomWhatToShow kElements = 1u << nkElement;

// root( a( a1 a2( a21 ) ) b c( c1 ) )
class TraversalTest : public DomTest {
protected:
  void SetUp() override {
    root = Add(nullptr, u"root");
    FDoc->appendChild(root);
    a = Add(root, u"a");
    a1 = Add(a, u"a1");
    a2 = Add(a, u"a2");
    a21 = Add(a2, u"a21");
    b = Add(root, u"b");
    c = Add(root, u"c");
    c1 = Add(c, u"c1");
  }

  TDomElement* Add(TDomNode* parent, const char16_t* name) {
    TDomElement* element = Element(name);
    if (parent) {
      parent->appendChild(element);
    }
    return element;
  }

  template <class TStep> std::vector<std::string> Collect(TStep step) {
    std::vector<std::string> names;
    while (TDomNode* node = step()) {
      names.push_back(WideToNarrow(node->nodeName()));
    }
    return names;
  }

  TDomElement *root, *a, *a1, *a2, *a21, *b, *c, *c1;
  TNameFilter FFilter;
};

using Names = std::vector<std::string>;

TEST_F(TraversalTest, WalkerVisitsElementsForwardAndBack) {
  TDomTreeWalker* walker = FDoc->createTreeWalker(root, kElements, nullptr, false);
  EXPECT_EQ(Collect([&] { return walker->nextNode(); }),
            (Names{"a", "a1", "a2", "a21", "b", "c", "c1"}));
  EXPECT_EQ(walker->currentNode(), c1);
  EXPECT_EQ(Collect([&] { return walker->previousNode(); }),
            (Names{"c", "b", "a21", "a2", "a1", "a", "root"}));
  EXPECT_EQ(walker->parentNode(), nullptr); // on the root: stays
  EXPECT_EQ(walker->currentNode(), root);
  EXPECT_EQ(walker->lastChild(), c);
  EXPECT_EQ(walker->previousSibling(), b);
  EXPECT_EQ(walker->firstChild(), nullptr);
  EXPECT_EQ(walker->currentNode(), b);
}

TEST_F(TraversalTest, WalkerRejectHidesASubtreeAndSkipExposesChildren) {
  FFilter.Reject = {"a"};
  FFilter.Skip = {"c"};
  TDomTreeWalker* walker = FDoc->createTreeWalker(root, kElements, &FFilter, false);
  EXPECT_EQ(Collect([&] { return walker->nextNode(); }), (Names{"b", "c1"}));
  walker->setCurrentNode(root);
  EXPECT_EQ(walker->lastChild(), c1); // c is skipped: its child stands in its place
  EXPECT_EQ(walker->parentNode(), root);
  EXPECT_THROW(walker->setCurrentNode(nullptr), ENot_Supported_Err);
  EXPECT_THROW(walker->setRoot(nullptr), ENot_Supported_Err);
}

TEST_F(TraversalTest, IteratorHidesOnlyTheNodeItself) {
  FFilter.Reject = {"a"};
  FFilter.Skip = {"c"};
  TDomNodeIterator* iterator = FDoc->createNodeIterator(a, kElements, nullptr, false);
  EXPECT_EQ(Collect([&] { return iterator->nextNode(); }), (Names{"a", "a1", "a2", "a21"}));
  EXPECT_EQ(iterator->nextNode(), nullptr); // none after the root's last descendant
  TDomNodeIterator* filtered = FDoc->createNodeIterator(root, kElements, &FFilter, false);
  EXPECT_EQ(Collect([&] { return filtered->nextNode(); }),
            (Names{"root", "a1", "a2", "a21", "b", "c1"}));
  EXPECT_EQ(Collect([&] { return filtered->previousNode(); }),
            (Names{"c1", "b", "a21", "a2", "a1", "root"}));
}

TEST_F(TraversalTest, DetachedIteratorsRaiseAndAreFreedOnRequest) {
  TDomNodeIterator* detached = FDoc->createNodeIterator(root, kElements, nullptr, false);
  TDomNodeIterator* orphaned = FDoc->createNodeIterator(c, kElements, nullptr, false);
  FDoc->createNodeIterator(root, kElements, nullptr, false);
  detached->detach();
  try {
    detached->nextNode();
    FAIL() << "no exception";
  } catch (const EInvalid_State_Err& error) {
    EXPECT_STREQ(error.what(), "Invalid state error.");
  }
  c->Free(); // the root of the second goes: invalid, but not detached by its user
  EXPECT_TRUE(orphaned->invalid());
  EXPECT_THROW(orphaned->previousNode(), EInvalid_State_Err);
  FDoc->freeDetachedIterators();
  EXPECT_EQ(FDoc->nodeIteratorCount(), 2u);
}

TEST_F(TraversalTest, ClearingMovesOrInvalidatesIterators) {
  TDomNodeIterator* insideA = FDoc->createNodeIterator(a2, kElements, nullptr, false);
  TDomNodeIterator* onA = FDoc->createNodeIterator(a, kElements, nullptr, false);
  TDomNodeIterator* fromRoot = FDoc->createNodeIterator(root, kElements, nullptr, false);
  for (int i = 0; i < 5; ++i) {
    onA->nextNode(); // to a21... then none
    fromRoot->nextNode();
  }
  ASSERT_EQ(fromRoot->referenceNode(), a21);
  a->clear();
  EXPECT_TRUE(insideA->invalid());    // its root was inside
  EXPECT_EQ(onA->referenceNode(), a); // the cleared root itself
  EXPECT_EQ(onA->position(), 1);
  EXPECT_EQ(fromRoot->referenceNode(), a); // the reference was inside
  EXPECT_EQ(fromRoot->nextNode(), b);
}

TEST_F(TraversalTest, RemovalContinuesWithoutSkippingOrRepeating) {
  TDomNodeIterator* iterator = FDoc->createNodeIterator(root, kElements, nullptr, false);
  EXPECT_EQ(
      Collect([&] { return iterator->nextNode() == a2 ? nullptr : iterator->referenceNode(); }),
      (Names{"root", "a", "a1"}));
  ASSERT_EQ(iterator->referenceNode(), a2); // standing after a2
  root->removeChild(a);                     // a2 goes with a
  EXPECT_EQ(Collect([&] { return iterator->nextNode(); }), (Names{"b", "c", "c1"}));
  // Removing something earlier and unrelated leaves the iterator alone.
  TDomNodeIterator* second = FDoc->createNodeIterator(root, kElements, nullptr, false);
  second->nextNode();
  second->nextNode();
  second->nextNode(); // c
  ASSERT_EQ(second->referenceNode(), c);
  root->removeChild(b);
  EXPECT_EQ(second->referenceNode(), c);
  EXPECT_EQ(second->nextNode(), c1);
  // A removed reference without next sibling: after the node before it.
  c->removeChild(c1);
  EXPECT_EQ(second->referenceNode(), c);
  EXPECT_EQ(second->position(), 1);
  EXPECT_EQ(second->nextNode(), nullptr);
  EXPECT_EQ(second->previousNode(), c);
}

TEST_F(TraversalTest, FreedNodesNeverStayInTraversals) {
  TDomTreeWalker* onA = FDoc->createTreeWalker(a, kElements, nullptr, false);
  TDomTreeWalker* inC = FDoc->createTreeWalker(root, kElements, nullptr, false);
  inC->setCurrentNode(c1);
  TDomNodeIterator* iterator = FDoc->createNodeIterator(root, kElements, nullptr, false);
  while (iterator->nextNode() != c1) {
  }
  c->Free();
  EXPECT_EQ(inC->currentNode(), root); // its current node went: back to the root
  EXPECT_EQ(iterator->referenceNode(), b);
  EXPECT_EQ(iterator->position(), 1);
  a->Free();
  EXPECT_EQ(onA->nextNode(), nullptr); // its root went: it answers none
  EXPECT_EQ(onA->currentNode(), nullptr);
  EXPECT_EQ(Collect([&] { return inC->nextNode(); }), (Names{"b"}));
}

// Every way of freeing nodes: a walker standing inside the freed part goes back to its root,
// one rooted inside answers none, an iterator rooted inside becomes invalid.
class FreeingTest;
struct TFreeingCase {
  const char* Name;
  TDomNode* (*Inside)(FreeingTest&); // a node that goes; the traversals start from it
  void (*Free)(FreeingTest&);
  const char16_t* Next; // what an iterator that stood on it returns next (none: attributes)
};

class FreeingTest : public TraversalTest, public ::testing::WithParamInterface<TFreeingCase> {
public:
  using TraversalTest::a;
  using TraversalTest::a2;
  using TraversalTest::a21;
  using TraversalTest::b;
  TDomAttr* attrOfA = nullptr;
  TDomText* right = nullptr;

protected:
  void SetUp() override {
    TraversalTest::SetUp();
    attrOfA = a->setAttribute(u"x", u"1");
    b->appendChild(Text(u"left"));
    right = Text(u"right");
    b->appendChild(right);
  }
};

TEST_P(FreeingTest, TraversalsLeaveTheFreedPart) {
  constexpr TDomWhatToShow kAll = 0xFFFF;
  TDomNode* inside = GetParam().Inside(*this);
  TDomTreeWalker* standing = FDoc->createTreeWalker(root, kAll, nullptr, false);
  standing->setCurrentNode(inside);
  TDomTreeWalker* rooted = FDoc->createTreeWalker(inside, kAll, nullptr, false);
  TDomNodeIterator* iterator = FDoc->createNodeIterator(inside, kAll, nullptr, false);
  TDomNodeIterator* passing = FDoc->createNodeIterator(root, kAll, nullptr, false);
  while (GetParam().Next && passing->nextNode() != inside) {
  }
  const int owned = FDoc->ownedObjectCount();
  GetParam().Free(*this);
  ASSERT_LT(FDoc->ownedObjectCount(), owned); // something went
  EXPECT_EQ(standing->currentNode(), root);
  EXPECT_EQ(standing->parentNode(), nullptr);
  EXPECT_EQ(standing->firstChild(), root->firstChild());
  EXPECT_EQ(rooted->root(), nullptr);
  EXPECT_EQ(rooted->currentNode(), nullptr);
  EXPECT_EQ(rooted->nextNode(), nullptr);
  EXPECT_EQ(rooted->parentNode(), nullptr);
  EXPECT_TRUE(iterator->invalid());
  if (GetParam().Next) {
    EXPECT_EQ(passing->nextNode()->nodeName(), GetParam().Next);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, FreeingTest,
    ::testing::Values(
        TFreeingCase{"FreeTheSubtree", [](FreeingTest& t) -> TDomNode* { return t.a21; },
                     [](FreeingTest& t) { t.a2->Free(); }, u"b"},
        TFreeingCase{"ClearAnAncestor", [](FreeingTest& t) -> TDomNode* { return t.a21; },
                     [](FreeingTest& t) { t.a->clear(); }, u"b"},
        TFreeingCase{"ClearTheOwnerOfAnAttribute",
                     [](FreeingTest& t) -> TDomNode* { return t.attrOfA; },
                     [](FreeingTest& t) { t.a->clear(); }, nullptr},
        TFreeingCase{"FreeTheOwnerOfAnAttribute",
                     [](FreeingTest& t) -> TDomNode* { return t.attrOfA; },
                     [](FreeingTest& t) { t.a->Free(); }, nullptr},
        TFreeingCase{"FreeAnAttributeInPlace",
                     [](FreeingTest& t) -> TDomNode* { return t.attrOfA; },
                     [](FreeingTest& t) { t.attrOfA->Free(); }, nullptr},
        TFreeingCase{"NormalizeMergesAText", [](FreeingTest& t) -> TDomNode* { return t.right; },
                     [](FreeingTest& t) { t.b->normalize(); }, u"c"}),
    [](const ::testing::TestParamInfo<TFreeingCase>& info) { return info.param.Name; });

TEST_F(TraversalTest, FailingFilterKeepsThePosition) {
  TNameFilter filter;
  TDomNodeIterator* iterator = FDoc->createNodeIterator(root, kElements, &filter, false);
  EXPECT_EQ(iterator->nextNode(), root);
  a->setUserData(u"x", nullptr);
  TDomElement* boom = Element(u"boom");
  root->insertBefore(boom, a);
  EXPECT_THROW(iterator->nextNode(), EConvertError);
  EXPECT_EQ(iterator->referenceNode(), root);
  EXPECT_EQ(iterator->position(), 1);
  root->removeChild(boom);
  EXPECT_EQ(iterator->nextNode(), a);
}

TEST_F(TraversalTest, RootsOfOtherDocumentsAndWalkersOfOthersAreRefused) {
  TDomDocument* other = new TDomDocument;
  auto* stranger = new TDomElement(other, u"stranger");
  try {
    FDoc->createNodeIterator(stranger, kElements, nullptr, false);
    ADD_FAILURE() << "accepted";
  } catch (const EWrong_Document_Err& error) {
    EXPECT_STREQ(error.what(), "Wrong document error.");
  }
  EXPECT_THROW(FDoc->createTreeWalker(stranger, kElements, nullptr, false), EWrong_Document_Err);
  EXPECT_THROW(FDoc->createTreeWalker(nullptr, kElements, nullptr, false), ENot_Supported_Err);
  TDomTreeWalker* foreign = other->createTreeWalker(stranger, kElements, nullptr, false);
  EXPECT_THROW(FDoc->freeTreeWalker(foreign), EWrong_Document_Err);
  other->freeTreeWalker(foreign);
  EXPECT_EQ(foreign, nullptr);
  EXPECT_EQ(other->treeWalkerCount(), 0u);
  // A walker never moves into another document: it would not hear of that one's end.
  TDomTreeWalker* walker = FDoc->createTreeWalker(root, kElements, nullptr, false);
  walker->setCurrentNode(a);
  for (auto move : {&TDomTreeWalker::setCurrentNode, &TDomTreeWalker::setRoot}) {
    try {
      (walker->*move)(stranger);
      ADD_FAILURE() << "a node of another document accepted";
    } catch (const EWrong_Document_Err& error) {
      EXPECT_STREQ(error.what(), "Wrong document error.");
    }
  }
  auto* orphan = new TDomText(nullptr);
  EXPECT_THROW(walker->setCurrentNode(orphan), EWrong_Document_Err);
  orphan->Free();
  other->Free();
  EXPECT_EQ(walker->root(), root);
  EXPECT_EQ(walker->currentNode(), a);
  EXPECT_EQ(walker->parentNode(), root);
}

TEST_F(TraversalTest, EntityReferencesAndWhatToShow) {
  auto* reference = new TDomEntityReference(FDoc.get(), u"ent");
  reference->setReadOnly(false);
  reference->appendChild(Text(u"replacement"));
  reference->setReadOnly(true);
  b->appendChild(reference);
  constexpr TDomWhatToShow kContent = (1u << nkElement) | (1u << nkText) | (1u << nkCDATASection);
  TDomTreeWalker* expanding = FDoc->createTreeWalker(b, kContent, nullptr, true);
  EXPECT_EQ(expanding->firstChild()->nodeValue(), u"replacement");
  TDomTreeWalker* closed = FDoc->createTreeWalker(b, kContent, nullptr, false);
  EXPECT_EQ(closed->firstChild(), nullptr);
  TDomNodeIterator* iterator =
      FDoc->createNodeIterator(b, kContent | (1u << nkEntityReference), nullptr, false);
  EXPECT_EQ(Collect([&] { return iterator->nextNode(); }), (Names{"b", "ent"}));
}

TEST_F(TraversalTest, HugeTreesAreWalkedWithoutRecursion) {
  // A million rejected siblings, then one accepted one; and a million levels.
  TDomElement* wide = Element(u"wide");
  for (int i = 0; i < 1'000'000; ++i) {
    wide->appendChild(Element(u"r"));
  }
  wide->appendChild(Element(u"found"));
  FFilter.Reject = {"r"};
  TDomTreeWalker* walker = FDoc->createTreeWalker(wide, kElements, &FFilter, false);
  EXPECT_EQ(walker->firstChild()->nodeName(), u"found");
  walker->setCurrentNode(wide->firstChild());
  EXPECT_EQ(walker->nextSibling()->nodeName(), u"found");
  EXPECT_EQ(walker->previousSibling(), nullptr);
  TDomNodeIterator* across = FDoc->createNodeIterator(wide, kElements, &FFilter, false);
  EXPECT_EQ(across->nextNode(), wide);
  EXPECT_EQ(across->nextNode()->nodeName(), u"found");
  EXPECT_EQ(across->previousNode()->nodeName(), u"found");
  EXPECT_EQ(across->previousNode(), wide);

  TDomElement* deep = Element(u"deep");
  TDomElement* bottom = deep;
  for (int i = 0; i < 1'000'000; ++i) {
    TDomElement* child = Element(u"s");
    bottom->appendChild(child);
    bottom = child;
  }
  FFilter.Reject.clear();
  FFilter.Skip = {"s"};
  TDomTreeWalker* skipping = FDoc->createTreeWalker(deep, kElements, &FFilter, false);
  EXPECT_EQ(skipping->firstChild(), nullptr); // a million skipped levels, nothing accepted
  TDomNodeIterator* iterator = FDoc->createNodeIterator(deep, kElements, nullptr, false);
  int count = 0;
  while (iterator->nextNode()) {
    ++count;
  }
  EXPECT_EQ(count, 1'000'001);
  skipping->setCurrentNode(bottom);
  EXPECT_EQ(skipping->parentNode(), deep);
  deep->Free();
  wide->Free();
}

} // namespace
} // namespace velmora::testing
