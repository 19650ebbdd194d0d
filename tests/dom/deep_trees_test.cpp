// Trees a million levels deep and a million children wide: every walk over them must be a
// loop (a recursion would overflow the stack), and freeing them, merging their texts and
// taking them apart must be linear.

#include "dom/node_lists.h"
#include "tests/dom/dom_fixture.h"

namespace velmora::testing {
namespace {

constexpr int kSize = 1'000'000;

using HugeTrees = DomTest;

TEST_F(HugeTrees, MillionLevelsDeep) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  root->setAttribute(u"xml:base", u"http://example.org/a/");
  root->setAttribute(u"xml:lang", u"de");
  TDomElement* deepest = root;
  for (int i = 0; i < kSize; ++i) {
    TDomElement* child = Element(u"level");
    deepest->appendChild(child);
    deepest = child;
  }
  deepest->appendChild(Text(u"bottom"));

  EXPECT_EQ(deepest->level(), kSize + 1);
  EXPECT_EQ(deepest->documentOrderIndex(), kSize + 1);
  EXPECT_EQ(root->textContent(), u"bottom");
  EXPECT_EQ(deepest->baseURI(), u"http://example.org/a/");
  EXPECT_EQ(deepest->language(), u"de");
  EXPECT_EQ(deepest->lookupNamespaceURI(u"none"), u"");
  EXPECT_EQ(root->compareDocumentPosition(deepest), dpContainedBy | dpFollowing);
  EXPECT_EQ(deepest->firstChild()->compareDocumentPosition(root), dpContains | dpPreceding);
  EXPECT_EQ(root->getElementsByTagName(u"level")->length(), kSize);
  root->normalize();

  TDomNode* copy = root->cloneNode(true);
  EXPECT_EQ(copy->textContent(), u"bottom");
  EXPECT_EQ(static_cast<TDomElement*>(copy)->getElementsByTagName(u"*")->length(), kSize);
  const int owned = FDoc->ownedObjectCount();
  copy->Free(); // the copy's million levels go one by one
  EXPECT_EQ(FDoc->ownedObjectCount(), owned - (kSize + 2 + 2));
  // The rest goes with the document.
}

TEST_F(HugeTrees, MillionTextsMergeOneLevelDown) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  TDomElement* inner = Element(u"inner");
  root->appendChild(inner);
  inner->appendChild(Text(u"x"));
  inner->appendChild(Text(u"y"));
  for (int i = 0; i < kSize; ++i) {
    root->appendChild(Text(u"a"));
  }
  root->mergeChildTexts(); // one pass, not a removal per text
  ASSERT_EQ(root->childNodes()->length(), 2);
  EXPECT_EQ(root->lastChild()->nodeValue().size(), static_cast<size_t>(kSize));
  EXPECT_EQ(inner->childNodes()->length(), 2); // the children's subtrees stay
}

TEST_F(HugeTrees, MillionChildrenWide) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  for (int i = 0; i < kSize; ++i) {
    root->appendChild(Text(i % 2 ? u"b" : u"a"));
  }
  TDomNodeList* children = root->childNodes();
  ASSERT_EQ(children->length(), kSize);
  EXPECT_EQ(children->item(kSize - 1)->previousSibling(), children->item(kSize - 2));
  EXPECT_EQ(children->item(0)->compareDocumentPosition(children->item(kSize - 1)), dpFollowing);
  EXPECT_EQ(children->item(kSize - 1)->documentOrderIndex(), kSize + 1);
  EXPECT_EQ(root->textContent().size(), static_cast<size_t>(kSize));
  root->normalize(); // one run of a million texts becomes one node
  ASSERT_EQ(children->length(), 1);
  EXPECT_EQ(root->firstChild()->nodeValue().size(), static_cast<size_t>(kSize));

  TDomElement* wide = Element(u"wide");
  for (int i = 0; i < kSize; ++i) {
    wide->appendChild(Element(u"item"));
  }
  EXPECT_EQ(wide->getElementsByTagName(u"item")->item(kSize - 1), wide->lastChild());
  wide->Free();
  EXPECT_EQ(FDoc->ownedObjectCount(), 2);
}

TEST(HugeElements, AMillionAttributesGoInLinearTime) {
  // A document that records nothing: the million names are work enough.
  std::unique_ptr<TDomDocument, TDocumentFree<TDomDocument>> document(new TDomDocument);
  std::vector<WideString> names;
  for (int i = 0; i < kSize; ++i) {
    names.push_back(u"a" + NarrowToWide(std::to_string(i)));
  }
  const auto wide = [&] {
    auto* element = new TDomElement(document.get(), u"wide");
    for (const WideString& name : names) {
      element->setAttribute(name, u"v");
    }
    return element;
  };
  TDomElement* cleared = wide();
  cleared->clear();
  EXPECT_FALSE(cleared->hasAttributes());
  EXPECT_EQ(document->ownedObjectCount(), 1);
  wide()->Free();
  EXPECT_EQ(document->ownedObjectCount(), 1);
}

TEST_F(HugeTrees, NormalizeMergesAMillionTextsBeforeAMillionSiblings) {
  TDomElement* root = Element(u"root");
  for (int i = 0; i < kSize; ++i) {
    root->appendChild(Text(u"t"));
  }
  for (int i = 0; i < kSize; ++i) {
    root->appendChild(new TDomComment(FDoc.get()));
  }
  root->normalize();
  TDomNodeList* children = root->childNodes();
  ASSERT_EQ(children->length(), kSize + 1);
  EXPECT_EQ(root->firstChild()->nodeValue().size(), static_cast<size_t>(kSize));
  EXPECT_EQ(children->item(kSize)->previousSibling(), children->item(kSize - 1));
  EXPECT_EQ(children->indexOf(root->lastChild()), kSize);
  EXPECT_EQ(FDoc->ownedObjectCount(), kSize + 2);
}

TEST_F(HugeTrees, RemovingAMillionChildrenFromTheFront) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  for (int i = 0; i < kSize; ++i) {
    root->appendChild(Element(u"item"));
  }
  TDomElement* last = static_cast<TDomElement*>(root->lastChild());
  int removed = 0;
  for (TDomNode* first = root->firstChild(); first;) {
    TDomNode* next = first->nextSibling();
    root->removeChild(first);
    ++removed;
    if (next && removed % 1000 == 0) {
      // Order questions between removals stay exact.
      ASSERT_EQ(root->childNodes()->indexOf(next), 0);
      ASSERT_EQ(next->compareDocumentPosition(last), next == last ? 72 : dpFollowing);
      ASSERT_EQ(next->documentOrderIndex(), 2);
    }
    first = next;
  }
  EXPECT_EQ(removed, kSize);
  EXPECT_FALSE(root->hasChildNodes());
}

TEST_F(HugeTrees, DocumentFreesEverythingWhateverTheOrderOfCreation) {
  // Children created in the reverse of their order in the tree: a freeing that followed
  // creation order and kept the tree tidy would cost a shift per node.
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  std::vector<TDomElement*> created;
  for (int i = 0; i < kSize; ++i) {
    created.push_back(Element(u"x"));
  }
  for (auto it = created.rbegin(); it != created.rend(); ++it) {
    root->appendChild(*it);
  }
  EXPECT_EQ(root->firstChild(), created.back());
  FDoc->clear();
  EXPECT_FALSE(FDoc->hasChildNodes());
  EXPECT_EQ(FDoc->ownedObjectCount(), 0);
  FDoc->appendChild(Element(u"again"));
  EXPECT_EQ(FDoc->documentElement()->nodeName(), u"again");
}

} // namespace
} // namespace velmora::testing
