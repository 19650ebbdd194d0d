#include "dom/dom_node.h"

#include <algorithm>
#include <unordered_map>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/node_lists.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"
#include "runtime/format.h"

namespace velmora {

const WideString XmlNamespaceURI = u"http://www.w3.org/XML/1998/namespace";
const WideString XmlnsNamespaceURI = u"http://www.w3.org/2000/xmlns/";

namespace {

const WideString& EmptyString() {
  return TDomNameTable::Empty();
}

bool IsFragment(const TDomNode* node) {
  return node->nodeType() == nkDocumentFragment;
}

// The deepest last descendant of node (node itself when it has no children).
const TDomNode* DeepestLast(const TDomNode* node) {
  while (const TDomNode* last = node->lastChild()) {
    node = last;
  }
  return node;
}

bool SameNameNS(const TDomNode* node, std::u16string_view namespaceURI,
                std::u16string_view localName) {
  return node->namespaceURI() == namespaceURI && node->localName() == localName;
}

} // namespace

// The live view of a node's children.
class TDomNode::TChildNodeList : public TDomNodeList {
public:
  explicit TChildNodeList(const TDomNode* node) : TDomNodeList(nullptr), FNode(node) {}
  int length() const override { return FNode->childCount(); }
  int indexOf(const TDomNode* node) const override { return FNode->indexOfTreeChild(node); }
  TDomNode* item(int index) const override {
    return index < 0 ? nullptr
                     : static_cast<TDomNode*>(FNode->treeChild(static_cast<size_t>(index)));
  }

private:
  const TDomNode* FNode;
};

void TDomCustomNode::raiseTreeError(TTreeError error) const {
  RaiseDomTreeError(error);
}

TDomNode::TDomNode(TCustomOwnedObject* owner) : TDomCustomNode(owner) {
  FOwnedByDocument = owner && owner->isDocumentObject();
}

TDomCustomDocument* TDomNode::ownerDocument() const {
  if (FOwnedByDocument) {
    return static_cast<TDomCustomDocument*>(GetOwner());
  }
  return foreignOwnerDocument();
}

// The rare parts of every node that has them. The DOM is used by one thread at a time.
struct TDomNode::TRareTable : std::unordered_map<const TDomNode*, std::unique_ptr<TRareParts>> {};

TDomNode::TRareTable& TDomNode::RareTable() {
  static auto* table = new TRareTable; // lives as long as the nodes
  return *table;
}

TDomNode::~TDomNode() {
  if (FHasRareParts) {
    // Taken out of the table before it goes: what it holds may look at the table.
    auto entry = RareTable().extract(this);
  }
}

const WideString& TDomNode::nodeName() const {
  return EmptyString();
}
const WideString& TDomNode::localName() const {
  return EmptyString();
}
const WideString& TDomNode::namespaceURI() const {
  return EmptyString();
}
const WideString& TDomNode::prefix() const {
  return EmptyString();
}
const WideString& TDomNode::xpathName() const {
  return EmptyString();
}

void TDomNode::checkNotReadOnly() const {
  if (isReadOnly()) {
    throw ENo_Modification_Allowed_Err(dom_messages::kNoModificationAllowed);
  }
}

void TDomNode::confirmAdmission() {
  if (TCustomOwnedObject* owner = GetOwner()) {
    owner->beforeAddOwned(this);
  }
}

void TDomNode::setNodeValue(std::u16string_view) {
  checkNotReadOnly();
}

void TDomValueNode::setNodeValue(std::u16string_view value) {
  checkNotReadOnly();
  FNodeValue.assign(value);
}

void TDomNode::setPrefix(const WideString&) {
  checkNotReadOnly();
}

bool TDomNode::hasAttributes() {
  const TDomNamedNodeMap* map = attributes();
  return map && map->length() > 0;
}

TDomNode::TRareParts* TDomNode::FindRareParts() const {
  if (!FHasRareParts) {
    return nullptr;
  }
  return RareTable().find(this)->second.get();
}

TDomNode::TRareParts& TDomNode::RareParts() {
  if (TRareParts* rare = FindRareParts()) {
    return *rare;
  }
  auto& rare = RareTable()[this];
  rare = std::make_unique<TRareParts>();
  FHasRareParts = true;
  return *rare;
}

TDomNode::TRareExtra* TDomNode::rareExtra() const {
  const TRareParts* rare = FindRareParts();
  return rare ? rare->Extra.get() : nullptr;
}

TDomNode::TRareExtra& TDomNode::setRareExtra(std::unique_ptr<TRareExtra> extra) {
  TRareParts& rare = RareParts();
  rare.Extra = std::move(extra);
  return *rare.Extra;
}

TDomNodeList* TDomNode::childNodes() {
  TRareParts& rare = RareParts();
  if (!rare.ChildNodes) {
    rare.ChildNodes = std::make_unique<TChildNodeList>(this);
  }
  return rare.ChildNodes.get();
}

int64_t TDomNode::documentOrderIndex() const {
  // Steps back through document order to the document, counting the steps.
  int64_t index = 0;
  const TDomNode* current = this;
  for (;;) {
    const TDomNodeType kind = current->nodeType();
    if (kind == nkDocument) {
      return index;
    }
    if (kind == nkDocumentFragment) {
      return -1;
    }
    if (const TDomNode* previous = current->previousSibling()) {
      current = DeepestLast(previous);
    } else if (const TDomNode* parent = current->parentNode()) {
      current = parent;
    } else {
      return -1;
    }
    ++index;
  }
}

int64_t TDomNode::level() const {
  int64_t depth = 0;
  for (const TDomNode* current = this;; current = current->parentNode(), ++depth) {
    const TDomNodeType kind = current->nodeType();
    if (kind == nkDocument) {
      return depth;
    }
    if (kind == nkDocumentFragment || !current->parentNode()) {
      return -1;
    }
  }
}

WideString TDomNode::baseURI() const {
  switch (nodeType()) {
  case nkText:
  case nkCDATASection:
  case nkEntityReference:
  case nkProcessingInstruction:
  case nkComment:
  case nkDocumentType:
    return parentNode() ? parentNode()->baseURI() : WideString();
  default:
    return WideString();
  }
}

WideString TDomNode::language() const {
  // Up the tree to the nearest "xml:lang", by the rule of each kind on the way.
  const TDomNode* current = this;
  while (current) {
    switch (current->nodeType()) {
    case nkElement: {
      const auto* element = static_cast<const TDomElement*>(current);
      const TDomAttr* lang = element->namespaceAware()
                                 ? element->getAttributeNodeNS(XmlNamespaceURI, u"lang")
                                 : element->getAttributeNode(u"xml:lang");
      if (lang) {
        return lang->normalizedValue();
      }
      current = current->parentNode();
      break;
    }
    case nkAttribute:
      current = static_cast<const TDomAttr*>(current)->ownerElement();
      break;
    case nkXPathNamespace:
      current = current->positionParent();
      break;
    case nkText:
    case nkCDATASection:
    case nkEntityReference:
    case nkProcessingInstruction:
    case nkComment:
      current = current->parentNode();
      break;
    default:
      return WideString();
    }
  }
  return WideString();
}

WideString TDomNode::lookupNamespaceURI(const WideString& prefix) const {
  if (prefix == u"xml") {
    return XmlNamespaceURI;
  }
  if (prefix == u"xmlns") {
    return XmlnsNamespaceURI;
  }
  return WideString();
}

WideString TDomNode::textContent() const {
  switch (nodeType()) {
  case nkElement:
  case nkEntityReference:
  case nkDocumentFragment:
    break;
  case nkAttribute:
  case nkText:
  case nkCDATASection:
  case nkProcessingInstruction:
  case nkComment:
    return WideString(nodeValue());
  default:
    return WideString();
  }
  // The text and CDATA descendants in document order, without recursion; comments and
  // processing instructions have no children, so skipping them skips nothing else.
  WideString text;
  const TDomNode* node = firstChild();
  while (node) {
    const TDomNodeType kind = node->nodeType();
    if (kind == nkText || kind == nkCDATASection) {
      text += node->nodeValue();
    }
    if (node->hasChildNodes()) {
      node = node->firstChild();
      continue;
    }
    while (node != this && !node->nextSibling()) {
      node = node->parentNode();
    }
    node = node == this ? nullptr : node->nextSibling();
  }
  return text;
}

WideString TDomNode::xpathStringValue() const {
  switch (nodeType()) {
  case nkElement:
    return textContent();
  case nkText:
  case nkCDATASection:
  case nkProcessingInstruction:
  case nkComment:
  case nkXPathNamespace:
    return WideString(nodeValue());
  default:
    return WideString();
  }
}

void TDomNode::checkChildKind(const TDomNode* node) const {
  if (!node) {
    return;
  }
  const TDomNodeType kind = node->nodeType();
  if (kind > 15 || !(FAllowedChildKinds & NodeKindBit(kind))) {
    throw EHierarchy_Request_Err(
        Format(dom_messages::kChildKindNotAllowed, {node->ClassName(), ClassName()}));
  }
}

TDomNode* TDomNode::appendChild(TDomNode* newChild) {
  checkChildKind(newChild);
  if (!newChild || !IsFragment(newChild)) {
    return static_cast<TDomNode*>(appendChildNode(newChild));
  }
  return MoveFragmentChildren(newChild, nullptr, false);
}

TDomNode* TDomNode::insertBefore(TDomNode* newChild, TDomNode* refChild) {
  checkChildKind(newChild);
  if (!newChild || !IsFragment(newChild)) {
    return static_cast<TDomNode*>(insertChildNodeBefore(newChild, refChild));
  }
  if (newChild == refChild) {
    raiseTreeError(teHierarchyRequest);
  }
  return MoveFragmentChildren(newChild, refChild, true);
}

TDomNode* TDomNode::MoveFragmentChildren(TDomNode* fragment, TDomNode* refChild, bool checked) {
  checkSameOwner(fragment);
  // Moving a fragment's children into the fragment itself would never end.
  if (fragment == this) {
    raiseTreeError(teHierarchyRequest);
  }
  while (TDomNode* child = fragment->firstChild()) {
    if (checked) {
      insertBefore(child, refChild);
    } else {
      appendChildNode(child);
    }
  }
  return fragment;
}

TDomNode* TDomNode::replaceChild(TDomNode* newChild, TDomNode* oldChild) {
  checkChildKind(newChild);
  if (!newChild || !IsFragment(newChild)) {
    return static_cast<TDomNode*>(replaceChildNode(newChild, oldChild));
  }
  checkSameOwner(newChild);
  checkIsChild(oldChild);
  if (newChild == this) {
    raiseTreeError(teHierarchyRequest);
  }
  TDomNode* last = newChild->lastChild();
  if (!last) {
    return removeChild(oldChild);
  }
  replaceChild(last, oldChild);
  while (TDomNode* child = newChild->firstChild()) {
    insertBefore(child, last);
  }
  return oldChild;
}

TDomNode* TDomNode::removeChild(TDomNode* oldChild) {
  return static_cast<TDomNode*>(removeChildNode(oldChild));
}

TDomNode* TDomNode::cloneNode(bool deep) {
  TDomCustomDocument* document = referenceDocument();
  if (!document) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  TDomNode* copy = document->copyNode(this, deep);
  callUserDataHandlers(udCloned, this, copy);
  return copy;
}

void TDomNode::normalize() {
  // Merges adjacent texts below every element of the subtree; other nodes merge nothing
  // themselves. The walk goes down the tree without recursion and merges a node's children
  // before it visits them; the merged texts of one element go together, in one pass over
  // its child list.
  TFirstFailure failures;
  std::vector<TCustomOwnedNode*> gone;
  TDomNode* node = this;
  while (node) {
    if (node->nodeType() == nkElement) {
      gone.clear();
      const bool goOn = node->MergeTextRuns(gone, failures);
      FreeNodes(node, gone, failures);
      if (!goOn) {
        break;
      }
    }
    if (node->hasChildNodes()) {
      node = node->firstChild();
      continue;
    }
    while (node != this && !node->nextSibling()) {
      node = node->parentNode();
    }
    node = node == this ? nullptr : node->nextSibling();
  }
  failures.Raise();
}

void TDomNode::mergeChildTexts() {
  TFirstFailure failures;
  std::vector<TCustomOwnedNode*> gone;
  MergeTextRuns(gone, failures);
  FreeNodes(this, gone, failures);
  failures.Raise();
}

bool TDomNode::MergeTextRuns(std::vector<TCustomOwnedNode*>& gone, TFirstFailure& failures) {
  // From the last child to the first, as the merges of pairs from the right would go.
  TDomNode* child = lastChild();
  while (child) {
    TDomNode* runEnd = child;
    while (child->previousSibling() && child->nodeType() == nkText &&
           child->previousSibling()->nodeType() == nkText) {
      child = child->previousSibling();
    }
    if (child != runEnd) {
      // child starts a run of texts that ends at runEnd: one merge for the whole run.
      auto* first = static_cast<TDomText*>(child);
      WideString rest;
      bool fromReference = first->fromCharacterReference();
      const size_t runStart = gone.size();
      for (TDomNode* t = first->nextSibling();; t = t->nextSibling()) {
        rest += t->nodeValue();
        fromReference = fromReference || static_cast<TDomText*>(t)->fromCharacterReference();
        gone.push_back(t);
        if (t == runEnd) {
          break;
        }
      }
      if (first->isReadOnly()) {
        // Refused before anything changes: this run stays, and normalizing ends here.
        gone.resize(runStart);
        failures.Run([&] { first->appendData(rest); });
        std::reverse(gone.begin(), gone.end());
        return false;
      }
      // Stored before the change is reported: a failing handler loses no text.
      failures.Run([&] { first->appendData(rest); });
      first->setFromCharacterReference(fromReference);
      std::reverse(gone.begin() + static_cast<std::ptrdiff_t>(runStart), gone.end());
    }
    child = child->previousSibling();
  }
  // Gathered last first; freeing wants them in child order.
  std::reverse(gone.begin(), gone.end());
  return true;
}

TDomDocumentPosition TDomNode::compareDocumentPosition(const TDomNode* other) const {
  if (!other) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  if (other == this) {
    return dpEquivalent | dpSameNode;
  }
  // Depths and roots, with attributes and namespace nodes below their owner element.
  int64_t depthA = 0;
  int64_t depthB = 0;
  const TDomNode* rootA = this;
  const TDomNode* rootB = other;
  while (const TDomNode* p = rootA->positionParent()) {
    rootA = p;
    ++depthA;
  }
  while (const TDomNode* p = rootB->positionParent()) {
    rootB = p;
    ++depthB;
  }
  if (rootA != rootB) {
    return dpDisconnected;
  }
  const TDomNode* a = this;
  const TDomNode* b = other;
  for (; depthA > depthB; --depthA) {
    a = a->positionParent();
  }
  for (; depthB > depthA; --depthB) {
    b = b->positionParent();
  }
  if (a == other) {
    return dpContains | dpPreceding;
  }
  if (b == this) {
    return dpContainedBy | dpFollowing;
  }
  while (a->positionParent() != b->positionParent()) {
    a = a->positionParent();
    b = b->positionParent();
  }
  // a and b now start the two branches below the common ancestor: namespace nodes come
  // first, then attributes, then children in child order.
  for (const TDomNodeType kind : {nkXPathNamespace, nkAttribute}) {
    if (a->nodeType() == kind) {
      return b->nodeType() == kind ? dpEquivalent : dpFollowing;
    }
    if (b->nodeType() == kind) {
      return dpPreceding;
    }
  }
  return a->indexInParent() < b->indexInParent() ? dpFollowing : dpPreceding;
}

namespace {

using TStep = TDomNode* (TDomNode::*)() const;

struct TAnyElement {
  bool operator()(const TDomNode*) const { return true; }
};

struct TNamed {
  std::u16string_view Name;
  bool operator()(const TDomNode* node) const { return node->nodeName() == Name; }
};

struct TNamedNS {
  std::u16string_view NamespaceURI;
  std::u16string_view LocalName;
  bool operator()(const TDomNode* node) const { return SameNameNS(node, NamespaceURI, LocalName); }
};

// The first element met from node on, stepping with step, that match accepts.
template <class TMatch> TDomElement* FindElement(TDomNode* node, TStep step, TMatch match) {
  for (; node; node = (node->*step)()) {
    if (IsElementNode(node) && match(node)) {
      return static_cast<TDomElement*>(node);
    }
  }
  return nullptr;
}

} // namespace

TDomElement* TDomNode::firstChildElement() const {
  return FindElement(firstChild(), &TDomNode::nextSibling, TAnyElement{});
}

TDomElement* TDomNode::lastChildElement() const {
  return FindElement(lastChild(), &TDomNode::previousSibling, TAnyElement{});
}

TDomElement* TDomNode::nextSiblingElement() const {
  return FindElement(nextSibling(), &TDomNode::nextSibling, TAnyElement{});
}

TDomElement* TDomNode::previousSiblingElement() const {
  return FindElement(previousSibling(), &TDomNode::previousSibling, TAnyElement{});
}

TDomElement* TDomNode::parentElement() const {
  return FindElement(parentNode(), &TDomNode::parentNode, TAnyElement{});
}

TDomElement* TDomNode::firstChildElementByName(std::u16string_view name) const {
  return FindElement(firstChild(), &TDomNode::nextSibling, TNamed{name});
}

TDomElement* TDomNode::firstChildElementByNameNS(std::u16string_view namespaceURI,
                                                 std::u16string_view localName) const {
  return FindElement(firstChild(), &TDomNode::nextSibling, TNamedNS{namespaceURI, localName});
}

TDomElement* TDomNode::lastChildElementByName(std::u16string_view name) const {
  return FindElement(lastChild(), &TDomNode::previousSibling, TNamed{name});
}

TDomElement* TDomNode::lastChildElementByNameNS(std::u16string_view namespaceURI,
                                                std::u16string_view localName) const {
  return FindElement(lastChild(), &TDomNode::previousSibling, TNamedNS{namespaceURI, localName});
}

TDomElement* TDomNode::nextSiblingElementByName(std::u16string_view name) const {
  return FindElement(nextSibling(), &TDomNode::nextSibling, TNamed{name});
}

TDomElement* TDomNode::nextSiblingElementByNameNS(std::u16string_view namespaceURI,
                                                  std::u16string_view localName) const {
  return FindElement(nextSibling(), &TDomNode::nextSibling, TNamedNS{namespaceURI, localName});
}

TDomElement* TDomNode::previousSiblingElementByName(std::u16string_view name) const {
  return FindElement(previousSibling(), &TDomNode::previousSibling, TNamed{name});
}

TDomElement* TDomNode::previousSiblingElementByNameNS(std::u16string_view namespaceURI,
                                                      std::u16string_view localName) const {
  return FindElement(previousSibling(), &TDomNode::previousSibling,
                     TNamedNS{namespaceURI, localName});
}

TDomElement* TDomNode::ancestorElementByName(std::u16string_view name) const {
  return FindElement(parentNode(), &TDomNode::parentNode, TNamed{name});
}

TDomElement* TDomNode::ancestorElementByNameNS(std::u16string_view namespaceURI,
                                               std::u16string_view localName) const {
  return FindElement(parentNode(), &TDomNode::parentNode, TNamedNS{namespaceURI, localName});
}

TDomUserData TDomNode::getUserData(std::u16string_view key) const {
  if (const TRareParts* rare = FindRareParts()) {
    for (const TUserDataEntry& entry : rare->UserData) {
      if (entry.Key == key) {
        return entry.Data;
      }
    }
  }
  return nullptr;
}

TDomUserData TDomNode::setUserData(const WideString& key, TDomUserData data,
                                   TDomUserDataHandler handler) {
  if (!data && !FHasRareParts) {
    return nullptr;
  }
  std::vector<TUserDataEntry>& entries = RareParts().UserData;
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const TUserDataEntry& e) { return e.Key == key; });
  const bool exists = found != entries.end();
  if (!data) {
    if (!exists) {
      return nullptr;
    }
    TDomUserData old = found->Data;
    entries.erase(found);
    if (entries.empty()) {
      entries.shrink_to_fit();
    }
    return old;
  }
  if (exists) {
    TDomUserData old = found->Data;
    found->Data = data;
    found->Handler = std::move(handler);
    return old;
  }
  entries.push_back({key, data, std::move(handler)});
  return nullptr;
}

void TDomNode::callUserDataHandlers(TDomUserDataOperation operation, TDomNode* source,
                                    TDomNode* destination) {
  const TRareParts* rare = FindRareParts();
  if (!rare || rare->UserData.empty()) {
    return;
  }
  // A handler may change the user data; work on a copy of the entries.
  const std::vector<TUserDataEntry> entries = rare->UserData;
  for (const TUserDataEntry& entry : entries) {
    if (entry.Handler) {
      entry.Handler(operation, entry.Key, entry.Data, source, destination);
    }
  }
}

bool TDomNode::isSupported(std::u16string_view feature, std::u16string_view version) const {
  const bool xml = feature.size() == 3 && (feature[0] | 0x20) == 'x' &&
                   (feature[1] | 0x20) == 'm' && (feature[2] | 0x20) == 'l';
  return xml && (version.empty() || version == u"1.0" || version == u"2.0");
}

void TDomNode::hookAfterInsert(TCustomOwnedNode* node) {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->bumpTreeVersion();
    document->doNodeInserted(static_cast<TDomNode*>(node));
  }
}

void TDomNode::hookBeforeRemove(TCustomOwnedNode* node) {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->doNodeRemoving(static_cast<TDomNode*>(node));
  }
}

void TDomNode::hookAfterRemove(TCustomOwnedNode*) {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->bumpTreeVersion();
  }
}

void TDomNode::hookBeforeClear() {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->doNodeClearing(this);
  }
}

TCustomOwnedNode* TDomNode::TreeWatcher() const noexcept {
  // Iterators, walkers and live lists must never hold on to a node that goes. A node made
  // for another node rather than a document answers through its owners.
  TDomCustomDocument* document = referenceDocument();
  for (const TCustomOwnedObject* owner = GetOwner(); !document && owner;
       owner = owner->GetOwner()) {
    if (const TDomNode* node = owner->asDomNode()) {
      document = node->referenceDocument();
    }
  }
  return document == this ? nullptr : document;
}

void TDomNode::BeforeDestruction(bool, TFirstFailure& failures) noexcept {
  failures.Run([&] { callUserDataHandlers(udDeleted, nullptr, nullptr); });
}

} // namespace velmora
