#include "dom/dom_implementation.h"
#include "dom/node_lists.h"
#include "tests/dom/dom_fixture.h"

namespace velmora::testing {
namespace {

using DocumentRules = DomTest;

TEST_F(DocumentRules, OneDocumentElementAndOneDoctypeBeforeIt) {
  auto* doctype = new TDomDocumentTypeDecl(FDoc.get(), u"root", u"", u"", u"");
  TDomElement* root = Element(u"root");
  FDoc->insertBefore(root, nullptr); // only a doctype-less document: appended
  try {
    FDoc->appendChild(Element(u"second"));
    FAIL() << "a second document element";
  } catch (const EHierarchy_Request_Err& error) {
    EXPECT_STREQ(error.what(), "Hierarchy request error.");
  }
  EXPECT_THROW(FDoc->insertBefore(doctype, nullptr), EHierarchy_Request_Err); // after the element
  EXPECT_THROW(FDoc->appendChild(doctype), EHierarchy_Request_Err);
  FDoc->insertBefore(doctype, root);
  EXPECT_EQ(FDoc->doctype(), doctype);
  EXPECT_THROW(FDoc->appendChild(Text(u"t")), EHierarchy_Request_Err); // the kind rule
  EXPECT_THROW(FDoc->insertBefore(Element(u"x"), doctype), EHierarchy_Request_Err);
  TDomElement* replacement = Element(u"replacement");
  EXPECT_EQ(FDoc->replaceChild(replacement, root), root);
  EXPECT_EQ(FDoc->documentElement(), replacement);
  EXPECT_THROW(FDoc->replaceChild(Element(u"y"), doctype), EHierarchy_Request_Err);
  try {
    FDoc->appendChild(nullptr);
    FAIL() << "none accepted";
  } catch (const ENot_Supported_Err& error) {
    EXPECT_STREQ(error.what(), "Not supported error.");
  }
  EXPECT_THROW(FDoc->replaceChild(Element(u"z"), nullptr), ENot_Supported_Err);
  // Fragments are not looked into.
  auto* fragment = new TDomDocumentFragment(FDoc.get());
  fragment->appendChild(Element(u"smuggled"));
  FDoc->appendChild(fragment);
  EXPECT_EQ(FDoc->lastChild()->nodeName(), u"smuggled");
}

// insertBefore puts every child of a fragment through the checks it would meet alone, with
// or without a reference child: a refused child stops the move, the ones before it stay.
TEST_F(DocumentRules, FragmentChildrenMeetTheChecksOfInsertBefore) {
  struct TCase {
    const char* Name;
    const char* Start;    // what the document holds first: "" nothing, "e" an element, "d" a type
    const char* Fragment; // "e" element, "t" text, "c" comment, one letter per child
    bool WithReference;   // insert before the document's first child
    const char* Message;  // of the refusal, or nullptr
    int Moved;            // children that arrived
  };
  const TCase cases[] = {
      {"text", "", "t", false,
       "Nodes of type TDomText are not allowed as children of nodes of type TDomDocument", 0},
      {"text before a child", "e", "t", true,
       "Nodes of type TDomText are not allowed as children of nodes of type TDomDocument", 0},
      {"two elements", "", "ee", false, "Hierarchy request error.", 1},
      {"comment and a second element", "e", "ce", false, "Hierarchy request error.", 1},
      {"element before the type", "d", "e", true, "Hierarchy request error.", 0},
      {"element after the type", "d", "ce", false, nullptr, 2},
      {"comments before the element", "e", "cc", true, nullptr, 2},
  };
  for (const TCase& c : cases) {
    FDoc->clear();
    if (*c.Start == 'e') {
      FDoc->appendChild(Element(u"root"));
    } else if (*c.Start == 'd') {
      FDoc->appendChild(new TDomDocumentTypeDecl(FDoc.get(), u"root", u"", u"", u""));
    }
    auto* fragment = new TDomDocumentFragment(FDoc.get());
    for (const char* kind = c.Fragment; *kind; ++kind) {
      fragment->appendChild(*kind == 'e'   ? static_cast<TDomNode*>(Element(u"e"))
                            : *kind == 't' ? static_cast<TDomNode*>(Text(u"t"))
                                           : new TDomComment(FDoc.get()));
    }
    const int before = FDoc->childNodes()->length();
    const int offered = fragment->childNodes()->length();
    std::string refused;
    try {
      FDoc->insertBefore(fragment, c.WithReference ? FDoc->firstChild() : nullptr);
    } catch (const EHierarchy_Request_Err& error) {
      refused = error.what();
    }
    EXPECT_EQ(refused, c.Message ? c.Message : "") << c.Name;
    EXPECT_EQ(FDoc->childNodes()->length() - before, c.Moved) << c.Name;
    EXPECT_EQ(fragment->childNodes()->length(), offered - c.Moved) << c.Name;
  }
}

TEST_F(DocumentRules, CopiesOnlySpecifiedAttributes) {
  TDomElement* e = Element(u"e");
  e->setAttribute(u"given", u"1");
  auto* defaulted = new TDomAttr(FDoc.get(), false, u"default");
  e->setAttributeNode(defaulted);
  auto* copy = static_cast<TDomElement*>(FDoc->copyNode(e, false));
  EXPECT_TRUE(copy->hasAttribute(u"given"));
  EXPECT_FALSE(copy->hasAttribute(u"default"));
  EXPECT_TRUE(copy->getAttributeNode(u"given")->specified());
  EXPECT_THROW(FDoc->copyNode(FDoc.get(), true), ENot_Supported_Err);
  EXPECT_THROW(FDoc->copyNode(nullptr, true), ENot_Supported_Err);
  EXPECT_THROW(FDoc->copyNode(new TDomDocumentTypeDecl(FDoc.get(), u"d", u"", u"", u""), true),
               ENot_Supported_Err);
  // A plain element cannot be copied into a namespace-aware document.
  EXPECT_THROW(FDocNS->importNode(e, true), EInvalidCast);
}

TEST_F(DocumentRules, AttributeValueNormalization) {
  struct TCase {
    const char16_t* Value;
    int Code;
    const char16_t* Result;
  };
  const TCase cases[] = {
      {u"a&amp;b", 0, u"a&b"},
      {u"a&#60;b", 0, u"a<b"}, // a character reference may give "<"
      {u"t\tl\nc\rs", 0, u"t l c s"},
      {u"&lt;&gt;&apos;&quot;", 0, u"<>'\""},
      {u"x&foo;", 98, u""}, // no document type: the standalone rules apply
      {u"a<b", 73, u""},
      {u"a&#x110000;", 60, u""},
      {u"a&#65", 92, u""},
      {u"a&amp", 96, u""},
  };
  for (const TCase& c : cases) {
    int code = -1;
    WideString result = u"junk";
    FDoc->normalizeAttributeValue(c.Value, 0, code, result);
    EXPECT_EQ(code, c.Code) << WideToNarrow(c.Value);
    EXPECT_EQ(result, c.Result) << WideToNarrow(c.Value);
  }
}

TEST_F(DocumentRules, IdsOfANamespaceAwareDocument) {
  TDomElement* first = ElementNS(u"", u"a");
  TDomElement* second = ElementNS(u"", u"b");
  FDocNS->addId(u"x", first);
  FDocNS->addId(u"x", second); // the first element with an ID wins
  FDocNS->addId(u"y", second);
  EXPECT_EQ(FDocNS->getElementById(u"x"), first);
  EXPECT_EQ(FDocNS->getElementById(u"y"), second);
  EXPECT_EQ(FDocNS->getElementById(u"z"), nullptr);
  second->Free(); // its IDs go with it
  EXPECT_EQ(FDocNS->getElementById(u"y"), nullptr);
  EXPECT_EQ(FDocNS->getElementById(u"x"), first);
  FDocNS->appendChild(first);
  FDocNS->clear();
  EXPECT_EQ(FDocNS->getElementById(u"x"), nullptr);
}

TEST_F(DocumentRules, NotificationsReachDocumentThenImplementation) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  auto* document = new TDomDocument(implementation.get());
  std::vector<std::string> heard;
  document->OnNodeInserted = [&](void* sender, TDomNode* node) {
    EXPECT_EQ(sender, document);
    heard.push_back("document " + WideToNarrow(node->nodeName()));
    throw EConvertError("handler failed");
  };
  implementation->OnNodeInserted = [&](void* sender, TDomNode* node) {
    EXPECT_EQ(sender, implementation.get());
    heard.push_back("implementation " + WideToNarrow(node->nodeName()));
  };
  implementation->OnAttrModified = [&](void*, TDomNode* node, TDomAttrChange change,
                                       TDomAttr* attr) {
    heard.push_back("attr " + std::to_string(change) + " " + WideToNarrow(attr->nodeName()) +
                    " of " + WideToNarrow(node->nodeName()));
  };
  auto* root = new TDomElement(document, u"root");
  EXPECT_FALSE(document->modified());
  EXPECT_THROW(document->appendChild(root), EConvertError); // the handler's failure goes on
  EXPECT_EQ(document->documentElement(), root);             // after the insertion
  EXPECT_TRUE(document->modified());
  root->setAttribute(u"a", u"1");
  EXPECT_EQ(heard,
            (std::vector<std::string>{"document root", "implementation root", "attr 0 a of root"}));
  implementation->OnNodeInserted = nullptr;
  implementation->OnAttrModified = nullptr;
}

TEST(DomImplementation, OwnsItsDocumentsAndFreesThemLastFirst) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  std::vector<std::string> freed;
  const auto track = [&](TDomCustomDocument* document, const char* name) {
    document->setUserData(u"name", const_cast<char*>(name),
                          [&freed](TDomUserDataOperation op, const WideString&, TDomUserData data,
                                   TDomNode*, TDomNode*) {
                            if (op == udDeleted) {
                              freed.push_back(static_cast<const char*>(data));
                            }
                          });
  };
  auto* a = new TDomDocument(implementation.get());
  auto* b = new TDomDocumentNS(implementation.get());
  auto* c = new TDomDocument(implementation.get());
  track(a, "a");
  track(b, "b");
  track(c, "c");
  TDomNodeList* documents = implementation->documents();
  ASSERT_EQ(documents->length(), 3);
  EXPECT_EQ(documents->item(1), b);
  b->Free(); // a document freed by its caller leaves the list
  EXPECT_EQ(documents->length(), 2);
  EXPECT_EQ(documents->item(1), c);
  implementation->freeDocuments();
  EXPECT_EQ(freed, (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(documents->length(), 0);
  for (int i = 0; i < 1000; ++i) {
    new TDomDocumentNS(implementation.get());
  }
  EXPECT_EQ(documents->length(), 1000);
  // Freeing the implementation frees the thousand documents (the sanitizer sees leaks).
}

} // namespace
} // namespace velmora::testing
