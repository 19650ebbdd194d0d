#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "dom/node_lists.h"
#include "dom/node_pool.h"
#include "dom/page_block_reserve.h"
#include "platform/page_memory.h"
#include "tests/dom/dom_fixture.h"

namespace velmora::testing {
namespace {

using NodeCreation = DomTest;

TEST_F(NodeCreation, EveryKindHasItsCodeNameAndChildKinds) {
  TDomNode* nodes[] = {
      new TDomNode(FDoc.get()),
      Element(u"e"),
      new TDomAttr(FDoc.get(), true, u"a"),
      Text(u"t"),
      new TDomCDATASection(FDoc.get()),
      new TDomEntityReference(FDoc.get(), u"ent"),
      new TDomProcessingInstruction(FDoc.get(), u"pi"),
      new TDomComment(FDoc.get()),
      FDoc.get(),
      new TDomDocumentFragment(FDoc.get()),
      new TDomDocumentTypeDecl(FDoc.get(), u"root", u"pub", u"sys", u"<!ELEMENT root ANY>"),
  };
  const char16_t* names[] = {u"",    u"e",  u"a",        u"#text",     u"#cdata-section",
                             u"ent", u"pi", u"#comment", u"#document", u"#document-fragment",
                             u"root"};
  const TDomNodeKinds kinds[] = {1786, 762, 0, 0, 0, 762, 0, 0, 1730, 762, 0};
  for (int code = 0; code <= 10; ++code) {
    EXPECT_EQ(nodes[code]->nodeType(), code) << code;
    EXPECT_EQ(nodes[code]->nodeName(), names[code]) << code;
    EXPECT_EQ(nodes[code]->allowedChildKinds(), kinds[code]) << code;
    if (code != nkDocument) {
      EXPECT_EQ(nodes[code]->ownerDocument(), FDoc.get()) << code;
    }
  }
  EXPECT_EQ(FDoc->ownerDocument(), nullptr);
  EXPECT_EQ(FDoc->referenceDocument(), FDoc.get());
  EXPECT_TRUE(nodes[nkEntityReference]->isReadOnly());
  EXPECT_EQ(FDoc->ownedObjectCount(), 10);
}

TEST_F(NodeCreation, NamesAreChecked) {
  EXPECT_THROW(Element(u"1a"), EInvalid_Character_Err);
  EXPECT_THROW(new TDomAttr(FDoc.get(), true, u"a b"), EInvalid_Character_Err);
  EXPECT_THROW(new TDomProcessingInstruction(FDoc.get(), u"XmL"), EInvalid_Character_Err);
  EXPECT_THROW(new TDomEntityReference(FDoc.get(), u""), EInvalid_Character_Err);
  // A refused node leaves nothing behind in its document.
  EXPECT_EQ(FDoc->ownedObjectCount(), 0);
  EXPECT_EQ(FDoc->nameTable().Find(u"1a"), nullptr);
}

struct TNamespaceCase {
  const char16_t* QualifiedName;
  const char16_t* NamespaceURI;
  bool Attribute;
  const char* Expected; // exception class, or "" for success
};

TEST_F(NodeCreation, NamespaceAwareConstructorsCheckNames) {
  const WideString xmlns = XmlnsNamespaceURI;
  const WideString xml = XmlNamespaceURI;
  const TNamespaceCase cases[] = {
      {u"p:e", u"urn:x", false, ""},
      {u"e", u"", false, ""},
      {u"a:b:c", u"urn:x", false, "ENamespace_Err"},
      {u":e", u"urn:x", false, "ENamespace_Err"},
      {u"1e", u"urn:x", false, "EInvalid_Character_Err"},
      {u"p:e", u"", false, "ENamespace_Err"},
      {u"xml:e", u"urn:x", false, "ENamespace_Err"},
      {u"xml:lang", xml.c_str(), true, ""},
      {u"xmlns:p", xmlns.c_str(), true, ""},
      {u"xmlns", xmlns.c_str(), true, ""},
      {u"xmlns:p", u"urn:x", true, "ENamespace_Err"},
      {u"xmlns", u"urn:x", true, "ENamespace_Err"},
      {u"xmlns", xmlns.c_str(), false, ""}, // only attributes are bound to the xmlns rules
      // A name accepted once is checked again for another namespace or another use.
      {u"xml:e", xml.c_str(), false, ""},
      {u"xml:e", u"urn:y", false, "ENamespace_Err"},
      {u"xmlns:q", u"urn:x", false, ""},
      {u"xmlns:q", u"urn:x", true, "ENamespace_Err"},
  };
  // Twice: the second round meets every accepted name again.
  for (int round = 0; round < 2; ++round) {
    for (const TNamespaceCase& c : cases) {
      std::string raised;
      try {
        if (c.Attribute) {
          new TDomAttr(FDocNS.get(), true, c.QualifiedName, c.NamespaceURI);
        } else {
          ElementNS(c.NamespaceURI, c.QualifiedName);
        }
      } catch (const Exception& error) {
        raised = error.ClassName();
      }
      EXPECT_EQ(raised, c.Expected) << WideToNarrow(c.QualifiedName) << " round " << round;
    }
  }
  EXPECT_EQ((new TDomAttr(FDocNS.get(), true, u"xmlns", xmlns))->namespaceDeclKind(), ndDefault);
  auto* decl = new TDomAttr(FDocNS.get(), true, u"xmlns:p", xmlns);
  EXPECT_EQ(decl->namespaceDeclKind(), ndPrefixed);
  EXPECT_EQ(decl->prefix(), u"xmlns");
  EXPECT_EQ(decl->localName(), u"p");
  EXPECT_EQ((new TDomAttr(FDoc.get(), true, u"xmlns"))->namespaceDeclKind(), ndDefault);
  EXPECT_EQ((new TDomAttr(FDoc.get(), true, u"xmlns:q"))->namespaceDeclKind(), ndPrefixed);
  EXPECT_EQ((new TDomAttr(FDoc.get(), true, u"xmlnsx"))->namespaceDeclKind(), ndNone);
}

using TreeOperations = DomTest;

TEST_F(TreeOperations, InsertionChecksRaiseDomExceptions) {
  TDomElement* root = Element(u"root");
  TDomElement* child = Element(u"child");
  root->appendChild(child);
  auto* attr = new TDomAttr(FDoc.get(), true, u"a");
  try {
    attr->appendChild(new TDomComment(FDoc.get()));
    FAIL() << "no exception";
  } catch (const EHierarchy_Request_Err& error) {
    EXPECT_STREQ(error.what(),
                 "Nodes of type TDomComment are not allowed as children of nodes of type TDomAttr");
  }
  const auto expectFailure = [](auto operation, const char* className, const char* message) {
    try {
      operation();
      ADD_FAILURE() << "no exception, expected " << message;
    } catch (const EDomException& error) {
      EXPECT_STREQ(error.ClassName(), className);
      EXPECT_STREQ(error.what(), message);
    }
  };
  expectFailure([&] { root->appendChild(nullptr); }, "ENot_Supported_Err", "Node not specified.");
  expectFailure([&] { root->appendChild(root); }, "EHierarchy_Request_Err",
                "EHierarchy request error.");
  expectFailure([&] { child->appendChild(root); }, "EHierarchy_Request_Err",
                "EHierarchy request error.");
  expectFailure([&] { root->insertBefore(child, child); }, "EHierarchy_Request_Err",
                "EHierarchy request error.");
  TDomDocument* other = new TDomDocument;
  expectFailure([&] { root->appendChild(new TDomElement(other, u"x")); }, "EWrong_Document_Err",
                "Wrong document.");
  other->Free();
  expectFailure([&] { root->removeChild(Element(u"stranger")); }, "ENot_Found_Err",
                "Node not found.");
  root->setReadOnly(true);
  expectFailure([&] { root->appendChild(Element(u"late")); }, "ENo_Modification_Allowed_Err",
                "No modification allowed.");
  expectFailure([&] { Element(u"elsewhere")->appendChild(child); }, "ENo_Modification_Allowed_Err",
                "No modification allowed.");
  root->setReadOnly(false);
  // Nothing changed on the way.
  ASSERT_EQ(root->childNodes()->length(), 1);
  EXPECT_EQ(root->firstChild(), child);
}

TEST_F(TreeOperations, ReadOnlyNodeItselfCanBeMoved) {
  TDomElement* a = Element(u"a");
  TDomElement* b = Element(u"b");
  TDomElement* moving = Element(u"m");
  a->appendChild(moving);
  moving->setReadOnly(true);
  b->appendChild(moving);
  EXPECT_EQ(moving->parentNode(), b);
}

TEST_F(TreeOperations, SiblingsAndIndexesFollowEveryChange) {
  TDomElement* root = Element(u"root");
  TDomElement* a = Element(u"a");
  TDomElement* b = Element(u"b");
  TDomElement* c = Element(u"c");
  root->appendChild(a);
  root->appendChild(c);
  root->insertBefore(b, c);
  EXPECT_EQ(root->childNodes()->indexOf(c), 2);
  EXPECT_EQ(b->previousSibling(), a);
  EXPECT_EQ(b->nextSibling(), c);
  root->insertBefore(c, a); // c moves to the front
  EXPECT_EQ(root->firstChild(), c);
  EXPECT_EQ(root->lastChild(), b);
  EXPECT_EQ(a->previousSibling(), c);
  EXPECT_EQ(root->childNodes()->item(1), a);
  EXPECT_EQ(root->replaceChild(a, a), a); // no change
  EXPECT_EQ(root->replaceChild(b, c), c); // b takes c's place
  EXPECT_EQ(c->parentNode(), nullptr);
  EXPECT_EQ(root->firstChild(), b);
  EXPECT_EQ(root->lastChild(), a);
  EXPECT_EQ(root->childNodes()->length(), 2);
  EXPECT_EQ(root->childNodes()->item(2), nullptr);
  EXPECT_EQ(root->childNodes()->item(-1), nullptr);
}

TEST_F(TreeOperations, IndexesStayExactThroughRandomChanges) {
  // Insertions, removals, moves and frees anywhere in a child list, checked after each step
  // against a plain list of what the order must be.
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  std::vector<TDomNode*> model;
  std::mt19937 random(7);
  const auto pick = [&](size_t bound) { return static_cast<size_t>(random() % bound); };
  for (int step = 0; step < 3000; ++step) {
    const size_t n = model.size();
    switch (n < 4 ? 0 : pick(6)) {
    case 0:
    case 1: { // insert a new node anywhere, the front and the end included
      const size_t at = pick(n + 1);
      TDomNode* node = Element(u"n");
      root->insertBefore(node, at < n ? model[at] : nullptr);
      model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), node);
      break;
    }
    case 2: { // remove one, more often from the ends
      const size_t at = pick(3) == 0 ? 0 : (pick(2) ? n - 1 : pick(n));
      root->removeChild(model[at]);
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    }
    case 3: { // move one before another
      const size_t from = pick(n);
      const size_t to = pick(n);
      if (from == to) {
        break;
      }
      TDomNode* node = model[from];
      TDomNode* ref = model[to];
      root->insertBefore(node, ref);
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(from));
      model.insert(std::find(model.begin(), model.end(), ref), node);
      break;
    }
    case 4: { // free one
      const size_t at = pick(n);
      model[at]->Free();
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    }
    default: { // replace one
      const size_t at = pick(n);
      TDomNode* node = Element(u"r");
      root->replaceChild(node, model[at]);
      model[at] = node;
    }
    }
    // One node at random is asked first, so that stale indexes are met everywhere.
    if (!model.empty()) {
      const size_t probe = pick(model.size());
      ASSERT_EQ(root->childNodes()->indexOf(model[probe]), static_cast<int>(probe)) << step;
    }
    ASSERT_EQ(root->childNodes()->length(), static_cast<int>(model.size())) << step;
    for (size_t i = 0; i < model.size(); ++i) {
      ASSERT_EQ(root->childNodes()->item(static_cast<int>(i)), model[i]) << step;
      ASSERT_EQ(model[i]->previousSibling(), i > 0 ? model[i - 1] : nullptr) << step;
      ASSERT_EQ(model[i]->nextSibling(), i + 1 < model.size() ? model[i + 1] : nullptr) << step;
      if (i > 0) {
        ASSERT_EQ(model[i - 1]->compareDocumentPosition(model[i]), dpFollowing) << step;
      }
    }
  }
}

TEST_F(TreeOperations, RemovedNodeStaysOwnedAndCanComeBack) {
  TDomElement* root = Element(u"root");
  TDomText* text = Text(u"x");
  root->appendChild(text);
  EXPECT_EQ(root->removeChild(text), text);
  EXPECT_EQ(text->parentNode(), nullptr);
  EXPECT_EQ(text->GetOwner(), FDoc.get());
  root->appendChild(text);
  EXPECT_EQ(root->textContent(), u"x");
}

TEST_F(TreeOperations, MovingANodeTellsTheOldPlace) {
  TDomElement* from = Element(u"from");
  TDomElement* to = Element(u"to");
  FDoc->appendChild(from);
  TDomElement* moving = Element(u"m");
  from->appendChild(moving);
  FDoc->Events.clear();
  to->appendChild(moving);
  EXPECT_EQ(FDoc->Events, (std::vector<std::string>{"removing m", "inserted m"}));
  FDoc->Events.clear();
  from->insertBefore(moving, nullptr);
  EXPECT_EQ(FDoc->Events, (std::vector<std::string>{"removing m", "inserted m"}));
}

TEST_F(TreeOperations, FragmentsMoveTheirChildren) {
  TDomElement* root = Element(u"root");
  root->appendChild(Element(u"first"));
  auto* fragment = new TDomDocumentFragment(FDoc.get());
  for (const char16_t* name : {u"a", u"b", u"c"}) {
    fragment->appendChild(Element(name));
  }
  EXPECT_EQ(root->appendChild(fragment), fragment);
  EXPECT_FALSE(fragment->hasChildNodes());
  ASSERT_EQ(root->childNodes()->length(), 4);
  EXPECT_EQ(root->childNodes()->item(1)->nodeName(), u"a");
  EXPECT_EQ(root->lastChild()->nodeName(), u"c");

  for (const char16_t* name : {u"x", u"y"}) {
    fragment->appendChild(Element(name));
  }
  TDomNode* b = root->childNodes()->item(2);
  EXPECT_EQ(root->replaceChild(fragment, b), b);
  EXPECT_EQ(root->childNodes()->item(2)->nodeName(), u"x");
  EXPECT_EQ(root->childNodes()->item(3)->nodeName(), u"y");
  EXPECT_EQ(root->childNodes()->item(4)->nodeName(), u"c");

  fragment->appendChild(Element(u"z"));
  root->insertBefore(fragment, root->firstChild());
  EXPECT_EQ(root->firstChild()->nodeName(), u"z");

  // An empty fragment replacing a child just removes it.
  TDomNode* last = root->lastChild();
  EXPECT_EQ(root->replaceChild(fragment, last), last);
  EXPECT_EQ(last->parentNode(), nullptr);
  EXPECT_EQ(root->childNodes()->length(), 5);
}

TEST_F(TreeOperations, FragmentIntoItselfIsRefusedInsteadOfLooping) {
  auto* fragment = new TDomDocumentFragment(FDoc.get());
  TDomElement* child = Element(u"a");
  fragment->appendChild(child);
  EXPECT_THROW(fragment->appendChild(fragment), EHierarchy_Request_Err);
  EXPECT_THROW(fragment->insertBefore(fragment, child), EHierarchy_Request_Err);
  EXPECT_THROW(fragment->replaceChild(fragment, child), EHierarchy_Request_Err);
  EXPECT_EQ(fragment->firstChild(), child);
  // Into its own child: that child would have to become its own child.
  EXPECT_THROW(child->appendChild(fragment), EHierarchy_Request_Err);
  EXPECT_EQ(child->parentNode(), fragment);
}

TEST_F(TreeOperations, FreeingANodeFreesItsSubtreeWithHandlersWhileWhole) {
  TDomElement* root = Element(u"root");
  TDomElement* inner = Element(u"inner");
  root->appendChild(inner);
  inner->appendChild(Text(u"deep"));
  std::vector<std::string> seen;
  const auto handler = [&](TDomUserDataOperation op, const WideString& key, TDomUserData,
                           TDomNode* source, TDomNode* destination) {
    EXPECT_EQ(op, udDeleted);
    EXPECT_EQ(source, nullptr);
    EXPECT_EQ(destination, nullptr);
    seen.push_back(WideToNarrow(key));
  };
  root->setUserData(u"root", root, handler);
  inner->setUserData(u"inner", inner,
                     [&](TDomUserDataOperation op, const WideString& key, TDomUserData data,
                         TDomNode*, TDomNode*) {
                       // The subtree is still whole when a node hears of its end.
                       EXPECT_EQ(static_cast<TDomNode*>(data)->textContent(), u"deep");
                       handler(op, key, data, nullptr, nullptr);
                     });
  FDoc->appendChild(root);
  const int before = FDoc->ownedObjectCount();
  root->Free();
  EXPECT_EQ(seen, (std::vector<std::string>{"root", "inner"}));
  EXPECT_EQ(FDoc->ownedObjectCount(), before - 3);
  EXPECT_FALSE(FDoc->hasChildNodes());
}

// A handler that fails while nodes go neither stops the freeing (nothing is left behind, no
// attribute keeps a map that is gone) nor vanishes: its exception reaches the caller.
struct TFailingHandlerCase {
  const char* Name;
  bool FailOnRemoval; // else the child's user-data handler fails
  void (*Free)(TDomElement* element);
  int Freed;          // nodes that go: the element, attributes x y z, child, its text
  int AttributesLeft; // -1: the element went
};

class FailingHandlers : public DomTest,
                        public ::testing::WithParamInterface<TFailingHandlerCase> {};

TEST_P(FailingHandlers, FreeingCompletesAndThenRaises) {
  TDomElement* e = Element(u"e");
  FDoc->appendChild(e);
  for (const char16_t* name : {u"x", u"y", u"z"}) {
    e->setAttribute(name, u"1");
  }
  TDomElement* child = Element(u"child");
  e->appendChild(child);
  child->appendChild(Text(u"t"));
  if (GetParam().FailOnRemoval) {
    FDoc->OnAttrModified = [](void*, TDomNode*, TDomAttrChange change, TDomAttr*) {
      if (change == AC_REMOVAL) {
        throw EConvertError("handler failed");
      }
    };
  } else {
    child->setUserData(u"k", child,
                       [](TDomUserDataOperation, const WideString&, TDomUserData, TDomNode*,
                          TDomNode*) { throw EConvertError("handler failed"); });
  }
  const int owned = FDoc->ownedObjectCount();
  try {
    GetParam().Free(e);
    ADD_FAILURE() << "the handler's failure was lost";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "handler failed");
  }
  FDoc->OnAttrModified = nullptr;
  EXPECT_EQ(FDoc->ownedObjectCount(), owned - GetParam().Freed);
  if (GetParam().AttributesLeft >= 0) {
    EXPECT_EQ(e->attributes()->length(), GetParam().AttributesLeft);
    for (int i = 0; i < e->attributes()->length(); ++i) {
      EXPECT_EQ(static_cast<TDomAttr*>(e->attributes()->item(i))->ownerElement(), e);
    }
  } else {
    EXPECT_FALSE(FDoc->hasChildNodes());
  }
}

INSTANTIATE_TEST_SUITE_P(
    RemovalAndDeletion, FailingHandlers,
    ::testing::Values(
        TFailingHandlerCase{"FreeAnAttachedAttribute", true,
                            [](TDomElement* e) { e->getAttributeNode(u"y")->Free(); }, 1, 2},
        TFailingHandlerCase{"FreeTheElement", true, [](TDomElement* e) { e->Free(); }, 6, -1},
        TFailingHandlerCase{"ClearTheElement", true, [](TDomElement* e) { e->clear(); }, 5, 0},
        TFailingHandlerCase{"DeletionHandlerOfAChild", false, [](TDomElement* e) { e->Free(); }, 6,
                            -1}),
    [](const ::testing::TestParamInfo<TFailingHandlerCase>& info) { return info.param.Name; });

using NodeValues = DomTest;

TEST_F(NodeValues, TextContentAndXPathStringValue) {
  TDomElement* root = Element(u"root");
  root->appendChild(Text(u"x"));
  root->appendChild(new TDomComment(FDoc.get()));
  root->appendChild(Text(u"y"));
  auto* pi = new TDomProcessingInstruction(FDoc.get(), u"pi");
  pi->setData(u"ignored");
  root->appendChild(pi);
  TDomElement* inner = Element(u"inner");
  inner->appendChild(Text(u"z"));
  root->appendChild(inner);
  EXPECT_EQ(root->textContent(), u"xyz");
  EXPECT_EQ(FDoc->textContent(), u"");
  FDoc->appendChild(root);
  EXPECT_EQ(FDoc->xpathStringValue(), u"xyz");
  EXPECT_EQ(pi->textContent(), u"ignored");
  EXPECT_EQ(pi->xpathStringValue(), u"ignored");
  auto* attr = root->setAttribute(u"a", u"AT&amp;T");
  EXPECT_EQ(attr->nodeValue(), u"AT&amp;T");
  EXPECT_EQ(attr->xpathStringValue(), u"AT&T");
  root->setAttribute(u"bad", u"a&unknown;b");
  EXPECT_EQ(root->getAttributeNode(u"bad")->xpathStringValue(), u"a&unknown;b");
}

TEST_F(NodeValues, ReadOnlyNodesRefuseChanges) {
  TDomText* text = Text(u"abc");
  text->setReadOnly(true);
  for (auto change : std::initializer_list<std::function<void()>>{
           [&] { text->setNodeValue(u"x"); }, [&] { text->setData(u"x"); },
           [&] { text->appendData(u"x"); }, [&] { text->replaceData(9, 0, u"x"); },
           [&] { text->splitText(1); }}) {
    try {
      change();
      ADD_FAILURE() << "accepted";
    } catch (const ENo_Modification_Allowed_Err& error) {
      EXPECT_STREQ(error.what(), "No modification allowed error.");
    }
  }
  EXPECT_EQ(text->data(), u"abc");
}

TEST_F(NodeValues, CharacterDataOperations) {
  TDomText* text = Text(u"abc");
  EXPECT_EQ(text->substringData(1, 10), u"bc");
  EXPECT_EQ(text->substringData(3, 10), u"");
  EXPECT_THROW(text->substringData(4, 0), EIndex_Size_Err);
  EXPECT_THROW(text->substringData(0, -1), EIndex_Size_Err);
  text->insertData(1, u"XY");
  EXPECT_EQ(text->data(), u"aXYbc");
  text->deleteData(3, 100);
  EXPECT_EQ(text->data(), u"aXY");
  text->replaceData(0, 1, u"__");
  EXPECT_EQ(text->data(), u"__XY");
  EXPECT_EQ(text->length(), 4);
  FDoc->Events.clear();
  text->appendData(u"!");
  EXPECT_EQ(FDoc->Events, (std::vector<std::string>{"data #text"}));
}

TEST_F(NodeValues, AppendingPieceByPieceTakesLinearTime) {
  // Copying the whole text for each of 200,000 pieces would move 80 GB.
  TDomText* text = Text(u"");
  for (int i = 0; i < 200000; ++i) {
    text->appendData(u"xy");
  }
  EXPECT_EQ(text->length(), 400000);
  EXPECT_EQ(text->data().find_first_not_of(u"xy"), std::u16string_view::npos);
}

TEST_F(NodeValues, SplitText) {
  TDomElement* root = Element(u"root");
  TDomText* text = Text(u"abc");
  text->setFromCharacterReference(true);
  root->appendChild(text);
  root->appendChild(Element(u"after"));
  TDomText* split = text->splitText(0);
  EXPECT_EQ(text->data(), u"");
  EXPECT_EQ(split->data(), u"abc");
  EXPECT_TRUE(split->fromCharacterReference());
  EXPECT_EQ(text->nextSibling(), split);
  EXPECT_EQ(split->nextSibling()->nodeName(), u"after");
  EXPECT_THROW(split->splitText(4), EIndex_Size_Err);
  auto* cdata = new TDomCDATASection(FDoc.get());
  cdata->setNodeValue(u"xyz");
  TDomText* tail = cdata->splitText(1);
  EXPECT_EQ(tail->nodeType(), nkText);
  EXPECT_EQ(tail->data(), u"yz");
  EXPECT_EQ(cdata->data(), u"x");
  // A parent that refuses the new node: nothing is cut.
  root->setReadOnly(true);
  EXPECT_THROW(split->splitText(1), ENo_Modification_Allowed_Err);
  EXPECT_EQ(split->data(), u"abc");
}

TEST_F(NodeValues, NormalizeMergesAdjacentTextsBelowElements) {
  TDomElement* root = Element(u"root");
  root->appendChild(Text(u"x"));
  root->appendChild(Text(u""));
  auto* cdata = new TDomCDATASection(FDoc.get());
  cdata->setNodeValue(u"y");
  root->appendChild(cdata);
  root->appendChild(Text(u"u"));
  TDomText* fromReference = Text(u"v");
  fromReference->setFromCharacterReference(true);
  root->appendChild(fromReference);
  TDomElement* inner = Element(u"inner");
  inner->appendChild(Text(u"1"));
  inner->appendChild(Text(u"2"));
  root->appendChild(inner);
  auto* fragment = new TDomDocumentFragment(FDoc.get());
  fragment->appendChild(Text(u"f"));
  fragment->appendChild(Text(u"g"));
  const int owned = FDoc->ownedObjectCount();
  root->normalize();
  ASSERT_EQ(root->childNodes()->length(), 4);
  EXPECT_EQ(root->childNodes()->item(0)->nodeValue(), u"x");
  EXPECT_EQ(root->childNodes()->item(1), cdata);
  auto* merged = static_cast<TDomText*>(root->childNodes()->item(2));
  EXPECT_EQ(merged->data(), u"uv");
  EXPECT_TRUE(merged->fromCharacterReference());
  EXPECT_EQ(inner->childNodes()->length(), 1);
  EXPECT_EQ(inner->textContent(), u"12");
  EXPECT_EQ(FDoc->ownedObjectCount(), owned - 3); // the merged nodes were freed
  fragment->normalize();                          // merges nothing at its own level
  EXPECT_EQ(fragment->childNodes()->length(), 2);
}

TEST_F(NodeValues, CloneAndImportCallTheirHandlers) {
  TDomElement* root = Element(u"root");
  root->setAttribute(u"a", u"1");
  TDomElement* child = Element(u"child");
  child->appendChild(Text(u"text"));
  root->appendChild(child);
  std::vector<std::string> calls;
  const auto handler = [&](TDomUserDataOperation op, const WideString& key, TDomUserData,
                           TDomNode* source, TDomNode* destination) {
    calls.push_back(std::to_string(op) + " " + WideToNarrow(key) + " " +
                    WideToNarrow(source->nodeName()) + "->" +
                    WideToNarrow(destination->nodeName()));
  };
  root->setUserData(u"r", root, handler);
  child->setUserData(u"c", child, handler);
  TDomNode* copy = root->cloneNode(true);
  EXPECT_EQ(copy->textContent(), u"text");
  EXPECT_EQ(static_cast<TDomElement*>(copy)->getAttribute(u"a"), u"1");
  EXPECT_NE(copy->firstChild(), child);
  EXPECT_EQ(copy->parentNode(), nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"3 c child->child", "1 r root->root"}));
  calls.clear();
  TDomNode* shallow = root->cloneNode(false);
  EXPECT_FALSE(shallow->hasChildNodes());
  EXPECT_EQ(calls, (std::vector<std::string>{"1 r root->root"}));

  auto* orphan = new TDomText(nullptr);
  EXPECT_THROW(orphan->cloneNode(false), ENot_Supported_Err);
  orphan->Free();
  EXPECT_THROW(FDoc->cloneNode(true), ENot_Supported_Err);
  // The handlers refer to this test's state: they must not hear of the document's end.
  root->setUserData(u"r", nullptr);
  child->setUserData(u"c", nullptr);
}

TEST_F(NodeValues, UserDataKeepsKeysAndHandlers) {
  TDomElement* e = Element(u"e");
  int one = 1;
  int two = 2;
  EXPECT_EQ(e->setUserData(u"k", &one), nullptr);
  EXPECT_EQ(e->setUserData(u"k", &two), &one);
  EXPECT_EQ(e->getUserData(u"k"), &two);
  EXPECT_EQ(e->getUserData(u"K"), nullptr);
  EXPECT_EQ(e->setUserData(u"k", nullptr), &two);
  EXPECT_EQ(e->getUserData(u"k"), nullptr);
  EXPECT_EQ(e->setUserData(u"absent", nullptr), nullptr);
}

using Positions = DomTest;

TEST_F(Positions, CompareDocumentPosition) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  TDomElement* a = Element(u"a");
  TDomElement* b = Element(u"b");
  root->appendChild(a);
  root->appendChild(b);
  TDomText* deep = Text(u"deep");
  a->appendChild(deep);
  TDomAttr* x = root->setAttribute(u"x", u"1");
  TDomAttr* y = root->setAttribute(u"y", u"2");
  EXPECT_EQ(a->compareDocumentPosition(a), dpEquivalent | dpSameNode);
  EXPECT_EQ(x->compareDocumentPosition(y), dpEquivalent);
  EXPECT_EQ(root->compareDocumentPosition(x), dpContainedBy | dpFollowing);
  EXPECT_EQ(x->compareDocumentPosition(root), dpContains | dpPreceding);
  EXPECT_EQ(x->compareDocumentPosition(a), dpFollowing); // attributes before children
  EXPECT_EQ(a->compareDocumentPosition(x), dpPreceding);
  EXPECT_EQ(deep->compareDocumentPosition(b), dpFollowing);
  EXPECT_EQ(b->compareDocumentPosition(deep), dpPreceding);
  EXPECT_EQ(FDoc->compareDocumentPosition(deep), dpContainedBy | dpFollowing);
  TDomDocument* other = new TDomDocument;
  EXPECT_EQ(a->compareDocumentPosition(new TDomElement(other, u"o")), dpDisconnected);
  EXPECT_EQ(a->compareDocumentPosition(Element(u"detached")), dpDisconnected);
  other->Free();
  EXPECT_THROW(a->compareDocumentPosition(nullptr), ENot_Supported_Err);
}

TEST_F(Positions, DocumentOrderIndexAndLevel) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(new TDomComment(FDoc.get()));
  FDoc->appendChild(root);
  TDomElement* a = Element(u"a");
  root->appendChild(a);
  a->appendChild(Text(u"t"));
  TDomElement* b = Element(u"b");
  root->appendChild(b);
  EXPECT_EQ(FDoc->documentOrderIndex(), 0);
  EXPECT_EQ(FDoc->firstChild()->documentOrderIndex(), 1);
  EXPECT_EQ(root->documentOrderIndex(), 2);
  EXPECT_EQ(b->documentOrderIndex(), 5);
  EXPECT_EQ(b->level(), 2);
  EXPECT_EQ(FDoc->level(), 0);
  EXPECT_EQ(root->getAttributeNode(u"none"), nullptr);
  TDomAttr* attr = root->setAttribute(u"x", u"1");
  EXPECT_EQ(attr->documentOrderIndex(), -1);
  EXPECT_EQ(attr->level(), -1);
  auto* fragment = new TDomDocumentFragment(FDoc.get());
  TDomElement* inFragment = Element(u"f");
  fragment->appendChild(inFragment);
  EXPECT_EQ(inFragment->documentOrderIndex(), -1);
  EXPECT_EQ(inFragment->level(), -1);
  EXPECT_EQ(Element(u"detached")->documentOrderIndex(), -1);
}

using Namespaces = DomTest;

TEST_F(Namespaces, LookupNamespaceURI) {
  TDomElement* outer = ElementNS(u"", u"outer");
  outer->setAttributeNS(XmlnsNamespaceURI, u"xmlns:p", u"urn:p");
  outer->setAttributeNS(XmlnsNamespaceURI, u"xmlns", u"urn:default");
  TDomElement* inner = ElementNS(u"urn:p", u"p:inner");
  outer->appendChild(inner);
  EXPECT_EQ(inner->lookupNamespaceURI(u"p"), u"urn:p");
  EXPECT_EQ(inner->lookupNamespaceURI(u""), u"urn:default");
  EXPECT_EQ(inner->lookupNamespaceURI(u"q"), u"");
  EXPECT_EQ(ElementNS(u"", u"detached")->lookupNamespaceURI(u"xml"), XmlNamespaceURI);
  EXPECT_EQ(ElementNS(u"", u"detached")->lookupNamespaceURI(u"xmlns"), XmlnsNamespaceURI);
  TDomAttr* attr = inner->setAttributeNS(u"", u"plain", u"v");
  EXPECT_EQ(attr->lookupNamespaceURI(u""), u"");
  EXPECT_EQ(attr->lookupNamespaceURI(u"p"), u"urn:p");
  // A plain attribute named xmlns:p has no local name and never answers.
  TDomElement* plain = Element(u"plain");
  plain->setAttribute(u"xmlns:p", u"urn:plain");
  EXPECT_EQ(plain->lookupNamespaceURI(u"p"), u"");
  plain->setAttribute(u"xmlns", u"urn:plain-default");
  EXPECT_EQ(plain->lookupNamespaceURI(u""), u"urn:plain-default");
}

TEST_F(Namespaces, SetPrefixChecks) {
  TDomElement* e = ElementNS(u"urn:x", u"p:e");
  e->setPrefix(u"q");
  EXPECT_EQ(e->nodeName(), u"q:e");
  EXPECT_EQ(e->prefix(), u"q");
  EXPECT_THROW(e->setPrefix(u""), EInvalid_Character_Err);
  EXPECT_THROW(e->setPrefix(u"a:b"), ENamespace_Err);
  EXPECT_THROW(e->setPrefix(u"xml"), ENamespace_Err);
  EXPECT_THROW(Element(u"plain")->setPrefix(u"p"), ENamespace_Err);
  EXPECT_THROW(ElementNS(u"", u"none")->setPrefix(u"p"), ENamespace_Err);
  TDomAttr* attr = new TDomAttr(FDocNS.get(), true, u"a:b", u"urn:a");
  EXPECT_THROW(attr->setPrefix(u"xmlns"), ENamespace_Err);
  auto* decl = new TDomAttr(FDocNS.get(), true, u"xmlns", XmlnsNamespaceURI);
  EXPECT_THROW(decl->setPrefix(u"p"), ENamespace_Err);
  e->setReadOnly(true);
  EXPECT_THROW(e->setPrefix(u"r"), ENo_Modification_Allowed_Err);
  EXPECT_EQ(e->nodeName(), u"q:e");
}

TEST_F(Namespaces, BaseUriAndLanguage) {
  FDoc->setDocumentURI(u"file:///data/doc.xml");
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  TDomElement* a = Element(u"a");
  root->appendChild(a);
  TDomElement* b = Element(u"b");
  a->appendChild(b);
  TDomText* text = Text(u"t");
  b->appendChild(text);
  EXPECT_EQ(text->baseURI(), u"file:///data/doc.xml");
  a->setAttribute(u"xml:base", u"sub/");
  b->setAttribute(u"xml:base", u"deeper/x.xml");
  EXPECT_EQ(text->baseURI(), u"file:///data/sub/deeper/x.xml");
  EXPECT_EQ(b->getAttributeNode(u"xml:base")->baseURI(), u"file:///data/sub/");
  root->setAttribute(u"xml:base", u"http://example.org/base/");
  EXPECT_EQ(text->baseURI(), u"http://example.org/base/sub/deeper/x.xml");
  EXPECT_EQ(FDoc->baseURI(), u"file:///data/doc.xml");
  FDoc->setDocumentURI(u"relative/doc.xml");
  EXPECT_EQ(FDoc->baseURI(), u"");

  EXPECT_EQ(text->language(), u"");
  root->setAttribute(u"xml:lang", u" de ");
  a->setAttribute(u"xml:lang", u"en");
  EXPECT_EQ(text->language(), u"en");
  EXPECT_EQ(root->getAttributeNode(u"xml:lang")->language(), u" de "); // CDATA keeps blanks
  EXPECT_EQ(FDoc->language(), u"");
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

using ElementNavigation = DomTest;

TEST_F(ElementNavigation, WalksPastOtherKindsAndMatchesNames) {
  TDomElement* root = ElementNS(u"", u"root");
  auto* comment = new TDomComment(FDocNS.get());
  root->appendChild(comment);
  TDomElement* a = ElementNS(u"urn:x", u"p:a");
  TDomElement* b = ElementNS(u"", u"b");
  TDomElement* a2 = ElementNS(u"urn:y", u"q:a");
  root->appendChild(a);
  root->appendChild(new TDomText(FDocNS.get()));
  root->appendChild(b);
  root->appendChild(a2);
  root->appendChild(new TDomComment(FDocNS.get()));
  TDomElement* inner = ElementNS(u"", u"inner");
  b->appendChild(inner);
  EXPECT_EQ(root->firstChildElement(), a);
  EXPECT_EQ(root->lastChildElement(), a2);
  EXPECT_EQ(comment->nextSiblingElement(), a);
  EXPECT_EQ(a2->previousSiblingElement(), b);
  EXPECT_EQ(inner->parentElement(), b);
  EXPECT_EQ(root->firstChildElementByName(u"b"), b);
  EXPECT_EQ(root->firstChildElementByName(u"a"), nullptr); // names are compared whole
  EXPECT_EQ(root->lastChildElementByName(u"p:a"), a);
  EXPECT_EQ(root->firstChildElementByNameNS(u"urn:y", u"a"), a2);
  EXPECT_EQ(root->lastChildElementByNameNS(u"urn:x", u"a"), a);
  EXPECT_EQ(a->nextSiblingElementByName(u"q:a"), a2);
  EXPECT_EQ(a->nextSiblingElementByNameNS(u"urn:x", u"a"), nullptr);
  EXPECT_EQ(a2->previousSiblingElementByNameNS(u"urn:x", u"a"), a);
  EXPECT_EQ(a2->previousSiblingElementByName(u"b"), b);
  EXPECT_EQ(inner->ancestorElementByName(u"root"), root);
  EXPECT_EQ(inner->ancestorElementByNameNS(u"", u"b"), b);
  EXPECT_EQ(inner->ancestorElementByName(u"none"), nullptr);
  EXPECT_EQ(root->parentElement(), nullptr);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// The pool hands out blocks of the size classes and takes them back for reuse; large
// requests go to the general allocator.
TEST(NodePool, ReusesFreedBlocksOfTheirSizeClass) {
  TNodePool pool;
  void* a = pool.Allocate(40);
  void* b = pool.Allocate(48);
  EXPECT_NE(a, b);
  pool.Release(a, 40);
  EXPECT_EQ(pool.Allocate(33), a); // 33 to 40 bytes share a class
  void* large = pool.Allocate(4096);
  pool.Release(large, 4096);
  std::vector<void*> many;
  for (int i = 0; i < 100000; ++i) {
    many.push_back(pool.Allocate(200));
    static_cast<char*>(many.back())[199] = 1; // every block is whole
  }
  EXPECT_GE(pool.ChunkBytes(), 100000u * 200u);
  for (void* block : many) {
    pool.Release(block, 200);
  }
  const size_t chunks = pool.ChunkBytes();
  for (int i = 0; i < 100000; ++i) {
    pool.Allocate(200);
  }
  EXPECT_EQ(pool.ChunkBytes(), chunks); // all from the free list
}

// Once enough blocks were taken, the reserve's thread keeps blocks ready, and a ready block
// is as good as a new one: zeroed, whole and not handed out twice.
TEST(PageBlockReserve, PreparesZeroedBlocksOnceBlocksAreTaken) {
  TPageBlockReserve reserve;
  std::vector<unsigned char*> taken;
  for (size_t i = 0; i < TPageBlockReserve::kStartAfter; ++i) {
    taken.push_back(static_cast<unsigned char*>(reserve.Take()));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (reserve.ReadyCount() < TPageBlockReserve::kAhead &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(reserve.ReadyCount(), TPageBlockReserve::kAhead);
  for (size_t i = 0; i < TPageBlockReserve::kAhead + 2; ++i) {
    auto* block = static_cast<unsigned char*>(reserve.Take());
    EXPECT_TRUE(std::all_of(block, block + kPageBlockSize, [](unsigned char b) { return b == 0; }));
    block[0] = block[kPageBlockSize - 1] = 1;
    taken.push_back(block);
  }
  std::sort(taken.begin(), taken.end());
  EXPECT_EQ(std::adjacent_find(taken.begin(), taken.end()), taken.end());
  for (unsigned char* block : taken) {
    ReleasePageBlock(block);
  }
}

} // namespace
} // namespace velmora::testing
