#include "dom/document.h"

#include <algorithm>
#include <exception>

#include "dom/element.h"
#include "dom/node_lists.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"
#include "xml/dtd_validation_agent.h"

namespace velmora {

namespace {

// Parse-error kinds this normalization reports.
constexpr int kUndeclaredEntity = 35;
constexpr int kInvalidCharInAttributeValue = 57;
constexpr int kInvalidCharRef = 60;
constexpr int kInvalidEntityName = 64;
constexpr int kLessThanInAttributeValue = 73;
constexpr int kMissingEntityName = 76;
constexpr int kCharRefWithoutSemicolon = 92;
constexpr int kEntityRefWithoutSemicolon = 96;

} // namespace

TDomCustomDocument::TDomCustomDocument(TDomImplementation* implementation)
    : TDomNode(nullptr), FImplementation(implementation) {
  setAllowedChildKinds(kDocumentChildKinds);
  if (FImplementation) {
    FImplementation->registerDocument(this);
  }
}

void TDomCustomDocument::BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept {
  FreeTraversals();
  if (FImplementation) {
    FImplementation->unregisterDocument(this);
    FImplementation = nullptr;
  }
  TDomNode::BeforeDestruction(ownerGoes, failures);
}

void TDomCustomDocument::FreeTraversals() {
  FIterators.clear();
  FWalkers.clear();
}

void TDomCustomDocument::hookBeforeClear() {
  FreeTraversals();
}

int TDomCustomDocument::ChildIndexOf(TDomNodeType kind) const {
  for (TDomNode* child = firstChild(); child; child = child->nextSibling()) {
    if (child->nodeType() == kind) {
      return static_cast<int>(child->indexInParent());
    }
  }
  return -1;
}

namespace {

// The kinds the document rules look at; every other kind goes on without a look at the
// children, so that many comments or instructions at the top cost no scans.
bool IsRuledKind(TDomNodeType kind) {
  return kind == nkElement || kind == nkDocumentType;
}

} // namespace

TDomNode* TDomCustomDocument::appendChild(TDomNode* newChild) {
  if (!newChild) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  const TDomNodeType kind = newChild->nodeType();
  if (IsRuledKind(kind)) {
    const bool hasElement = ChildIndexOf(nkElement) >= 0;
    if ((kind == nkElement && hasElement) ||
        (kind == nkDocumentType && (hasElement || ChildIndexOf(nkDocumentType) >= 0))) {
      throw EHierarchy_Request_Err(dom_messages::kHierarchyRequest);
    }
  }
  return TDomNode::appendChild(newChild);
}

TDomNode* TDomCustomDocument::insertBefore(TDomNode* newChild, TDomNode* refChild) {
  if (!newChild) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  const TDomNodeType kind = newChild->nodeType();
  if (IsRuledKind(kind)) {
    // Without refChild the insertion point lies after the last child.
    const int at = refChild && refChild->parentNode() == this
                       ? static_cast<int>(refChild->indexInParent())
                       : childCount();
    const int element = ChildIndexOf(nkElement);
    const int doctype = ChildIndexOf(nkDocumentType);
    if ((kind == nkElement && (element >= 0 || (doctype >= 0 && doctype >= at))) ||
        (kind == nkDocumentType && (doctype >= 0 || (element >= 0 && element < at)))) {
      throw EHierarchy_Request_Err(dom_messages::kHierarchyRequest);
    }
  }
  return TDomNode::insertBefore(newChild, refChild);
}

TDomNode* TDomCustomDocument::replaceChild(TDomNode* newChild, TDomNode* oldChild) {
  if (!newChild || !oldChild) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  const TDomNodeType kind = newChild->nodeType();
  if (IsRuledKind(kind)) {
    const int at =
        oldChild->parentNode() == this ? static_cast<int>(oldChild->indexInParent()) : -1;
    const int element = ChildIndexOf(nkElement);
    const int doctype = ChildIndexOf(nkDocumentType);
    if ((kind == nkElement &&
         ((element >= 0 && element != at) || (doctype >= 0 && at < doctype))) ||
        (kind == nkDocumentType &&
         ((doctype >= 0 && doctype != at) || (element >= 0 && element < at)))) {
      throw EHierarchy_Request_Err(dom_messages::kHierarchyRequest);
    }
  }
  return TDomNode::replaceChild(newChild, oldChild);
}

void TDomCustomDocument::CheckTraversalRoot(TDomNode* root) const {
  if (!root) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  if (root->referenceDocument() != this) {
    throw EWrong_Document_Err(dom_messages::kWrongDocument);
  }
}

TDomNodeIterator* TDomCustomDocument::createNodeIterator(TDomNode* root, TDomWhatToShow whatToShow,
                                                         TDomNodeFilter* filter,
                                                         bool expandEntityReferences) {
  CheckTraversalRoot(root);
  FIterators.push_back(
      std::make_unique<TDomNodeIterator>(root, whatToShow, filter, expandEntityReferences));
  return FIterators.back().get();
}

TDomTreeWalker* TDomCustomDocument::createTreeWalker(TDomNode* root, TDomWhatToShow whatToShow,
                                                     TDomNodeFilter* filter,
                                                     bool expandEntityReferences) {
  CheckTraversalRoot(root);
  FWalkers.push_back(
      std::make_unique<TDomTreeWalker>(root, whatToShow, filter, expandEntityReferences));
  return FWalkers.back().get();
}

void TDomCustomDocument::freeTreeWalker(TDomTreeWalker*& walker) {
  if (!walker) {
    return;
  }
  const auto found = std::find_if(FWalkers.begin(), FWalkers.end(),
                                  [walker](const auto& owned) { return owned.get() == walker; });
  if (found == FWalkers.end()) {
    throw EWrong_Document_Err(dom_messages::kWrongDocument);
  }
  FWalkers.erase(found);
  walker = nullptr;
}

void TDomCustomDocument::freeDetachedIterators() {
  std::erase_if(FIterators, [](const auto& iterator) { return iterator->detached(); });
  FIterators.shrink_to_fit();
}

void TDomCustomDocument::SubtreesFreeing(TCustomOwnedNode* first, TCustomOwnedNode* last) noexcept {
  bumpTreeVersion();
  auto* firstNode = static_cast<TDomNode*>(first);
  auto* lastNode = static_cast<TDomNode*>(last);
  for (const auto& iterator : FIterators) {
    iterator->subtreesFreeing(firstNode, lastNode);
  }
  for (const auto& walker : FWalkers) {
    walker->subtreesFreeing(firstNode, lastNode);
  }
}

void TDomCustomDocument::SubtreesFreed() noexcept {
  // Again: a handler may have asked a list while the nodes were going.
  bumpTreeVersion();
}

const WideString& TDomCustomDocument::nodeName() const {
  static const WideString name = u"#document";
  return name;
}

WideString TDomCustomDocument::baseURI() const {
  return isAbsoluteUri(FDocumentURI) ? FDocumentURI : WideString();
}

WideString TDomCustomDocument::xpathStringValue() const {
  const TDomElement* element = documentElement();
  return element ? element->textContent() : WideString();
}

TDomNode* TDomCustomDocument::doctype() const {
  for (TDomNode* child = firstChild(); child; child = child->nextSibling()) {
    if (child->nodeType() == nkDocumentType) {
      return child;
    }
  }
  return nullptr;
}

TDomElement* TDomCustomDocument::documentElement() const {
  return firstChildElement();
}

TDomNode* TDomCustomDocument::CopyShallow(TDomNode* node) {
  switch (node->nodeType()) {
  case nkElement: {
    auto* source = static_cast<TDomElement*>(node);
    TDomElement* copy = source->namespaceAware()
                            ? new TDomElement(DocumentAs<TDomDocumentNS>(this),
                                              source->namespaceURI(), source->nodeName())
                            : new TDomElement(DocumentAs<TDomDocument>(this), source->nodeName());
    // Only what the document said: defaulted attributes are not copied.
    for (TCustomOwnedNode* item : TDomNodeVector(source->attributeItems())) {
      auto* attr = static_cast<TDomAttr*>(item);
      if (!attr->specified()) {
        continue;
      }
      auto* attrCopy = static_cast<TDomAttr*>(importNode(attr, true));
      if (source->namespaceAware()) {
        copy->setAttributeNodeNS(attrCopy);
      } else {
        copy->setAttributeNode(attrCopy);
      }
    }
    return copy;
  }
  case nkAttribute: {
    auto* source = static_cast<TDomAttr*>(node);
    TDomAttr* copy = source->namespaceAware()
                         ? new TDomAttr(DocumentAs<TDomDocumentNS>(this), true, source->nodeName(),
                                        source->namespaceURI())
                         : new TDomAttr(DocumentAs<TDomDocument>(this), true, source->nodeName());
    copy->setNodeValue(source->nodeValue());
    return copy;
  }
  case nkText: {
    auto* copy = new TDomText(this);
    copy->setNodeValue(node->nodeValue());
    copy->setFromCharacterReference(static_cast<TDomText*>(node)->fromCharacterReference());
    return copy;
  }
  case nkCDATASection: {
    auto* copy = new TDomCDATASection(this);
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkEntityReference:
    return new TDomEntityReference(this, node->nodeName());
  case nkProcessingInstruction: {
    auto* copy = new TDomProcessingInstruction(this, node->nodeName());
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkComment: {
    auto* copy = new TDomComment(this);
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkDocumentFragment:
    return new TDomDocumentFragment(this);
  default:
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

TDomNode* TDomCustomDocument::copyNode(TDomNode* node, bool deep) {
  if (!node) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  TDomNode* root = CopyShallow(node);
  const TDomNodeType kind = node->nodeType();
  if (!deep || (kind != nkElement && kind != nkDocumentFragment)) {
    return root;
  }
  // The descendants are imported one by one, in document order and without recursion;
  // each one's handlers hear of it once its own copy is complete.
  struct TLevel {
    TDomNode* Source;
    TDomNode* Copy;
  };
  std::vector<TLevel> path{{node, root}};
  TDomNode* source = node->firstChild();
  while (!path.empty()) {
    if (source) {
      TDomNode* copy = CopyShallow(source);
      path.back().Copy->appendChild(copy);
      const TDomNodeType sourceKind = source->nodeType();
      if ((sourceKind == nkElement || sourceKind == nkDocumentFragment) &&
          source->hasChildNodes()) {
        path.push_back({source, copy});
        source = source->firstChild();
      } else {
        source->callUserDataHandlers(udImported, source, copy);
        source = source->nextSibling();
      }
      continue;
    }
    const TLevel done = path.back();
    path.pop_back();
    if (path.empty()) {
      break;
    }
    done.Source->callUserDataHandlers(udImported, done.Source, done.Copy);
    source = done.Source->nextSibling();
  }
  return root;
}

TDomNode* TDomCustomDocument::importNode(TDomNode* node, bool deep) {
  TDomNode* copy = copyNode(node, deep);
  node->callUserDataHandlers(udImported, node, copy);
  return copy;
}

int TDomCustomDocument::attributeType(std::u16string_view, std::u16string_view) {
  return 0;
}

void TDomCustomDocument::normalizeAttributeValue(std::u16string_view value, int, int& errorCode,
                                                 WideString& result) {
  errorCode = 0;
  result.clear();
  WideString text;
  text.reserve(value.size());
  const auto fail = [&](int code) {
    errorCode = code;
    result.clear();
  };
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (c == '<') {
      return fail(kLessThanInAttributeValue);
    }
    if (!isXmlCharUnit(c)) {
      return fail(kInvalidCharInAttributeValue);
    }
    if (c != '&') {
      text += isWhiteSpaceChar(c) ? u' ' : c;
      continue;
    }
    const bool charRef = i + 1 < value.size() && value[i + 1] == '#';
    const size_t semicolon = value.find(u';', i);
    if (semicolon == std::u16string_view::npos) {
      return fail(charRef ? kCharRefWithoutSemicolon : kEntityRefWithoutSemicolon);
    }
    const std::u16string_view reference = value.substr(i, semicolon - i + 1);
    if (charRef) {
      try {
        // A "<" written as a character reference is legal; only a literal one is not.
        text += charRefText(reference);
      } catch (const EConvertError&) {
        return fail(kInvalidCharRef);
      }
    } else {
      const std::u16string_view name = reference.substr(1, reference.size() - 2);
      if (name.empty()) {
        return fail(kMissingEntityName);
      }
      if (!conformsToName(name)) {
        return fail(kInvalidEntityName);
      }
      const char16_t replacement = predefinedEntityChar(name);
      if (!replacement) {
        return fail(kUndeclaredEntity);
      }
      text += replacement;
    }
    i = semicolon;
  }
  result = std::move(text);
}

bool TDomCustomDocument::isWhitespaceInElementContent(const TDomText*) const {
  return false;
}

void TDomCustomDocument::dropIds(const TDomElement*) {}

template <class TOwnEvent>
void TDomCustomDocument::Notify(TOwnEvent ownEvent, void (TDomImplementation::*forward)(TDomNode*),
                                TDomNode* node, int iteratorChange) {
  FModified = true;
  // The implementation and the iterators hear of the change even when the document's own
  // handler fails; that failure then goes on to the caller.
  std::exception_ptr ownFailure;
  try {
    ownEvent();
  } catch (...) {
    ownFailure = std::current_exception();
  }
  if (FImplementation) {
    (FImplementation->*forward)(node);
  }
  if (iteratorChange >= 0) {
    for (const auto& iterator : FIterators) {
      iterator->updateForChange(node, iteratorChange == 1);
    }
  }
  if (ownFailure) {
    std::rethrow_exception(ownFailure);
  }
}

void TDomCustomDocument::doAttrModified(TDomNode* modifiedNode, TDomAttrChange change,
                                        TDomAttr* attr) {
  FModified = true;
  std::exception_ptr ownFailure;
  try {
    if (OnAttrModified) {
      OnAttrModified(this, modifiedNode, change, attr);
    }
  } catch (...) {
    ownFailure = std::current_exception();
  }
  if (FImplementation) {
    FImplementation->doAttrModified(modifiedNode, change, attr);
  }
  if (ownFailure) {
    std::rethrow_exception(ownFailure);
  }
}

void TDomCustomDocument::doCharacterDataModified(TDomNode* node) {
  Notify(
      [&] {
        if (OnCharacterDataModified)
          OnCharacterDataModified(this, node);
      },
      &TDomImplementation::doCharacterDataModified, node, -1);
}

void TDomCustomDocument::doNodeClearing(TDomNode* node) {
  Notify(
      [&] {
        if (OnNodeClearing)
          OnNodeClearing(this, node);
      },
      &TDomImplementation::doNodeClearing, node, 0);
}

void TDomCustomDocument::doNodeInserted(TDomNode* node) {
  Notify(
      [&] {
        if (OnNodeInserted)
          OnNodeInserted(this, node);
      },
      &TDomImplementation::doNodeInserted, node, -1);
}

void TDomCustomDocument::doNodeRemoving(TDomNode* node) {
  Notify(
      [&] {
        if (OnNodeRemoving)
          OnNodeRemoving(this, node);
      },
      &TDomImplementation::doNodeRemoving, node, 1);
}

void TDomCustomDocument::ClearContents(TFirstFailure& failures) noexcept {
  // Every node of the document goes (its traversals went first): no tree maintenance needed.
  freeAllOwnedAtOnce(failures);
  ForgetChildren();
  bumpTreeVersion();
}

void TDomCustomDocument::DestroyContents(TFirstFailure& failures) noexcept {
  freeAllOwnedAtOnce(failures);
  ForgetChildren();
}

TDomDocument::TDomDocument(TDomImplementation* implementation)
    : TDomCustomDocument(implementation), FAgent(std::make_unique<TDtdValidationAgent>(this)) {}

TDomElement* TDomDocument::getElementById(std::u16string_view id) const {
  return FAgent->ElementById(id);
}

int TDomDocument::attributeType(std::u16string_view elementName, std::u16string_view attrName) {
  return FAgent->AttributeType(elementName, attrName);
}

void TDomDocument::normalizeAttributeValue(std::u16string_view value, int attrType, int& errorCode,
                                           WideString& result) {
  FAgent->NormalizeAttributeValue(value, static_cast<TDtdAttrType>(attrType), errorCode, result);
}

TDomNode* TDomDocument::copyNode(TDomNode* node, bool deep) {
  TDomNode* copy = TDomCustomDocument::copyNode(node, deep);
  // Entity references are copied empty; the declarations fill them again, all in one
  // operation with one expansion budget.
  FAgent->ExpandEntityReferences(copy);
  return copy;
}

bool TDomDocument::isWhitespaceInElementContent(const TDomText* textNode) const {
  if (!textNode || textNode->fromCharacterReference() ||
      !(textNode->data().empty() || conformsToS(textNode->data()))) {
    return false;
  }
  const TDomNode* node = textNode->parentNode();
  while (node && node->nodeType() == nkEntityReference) {
    node = node->parentNode();
  }
  return IsElementNode(node) && FAgent->ContentType(node->nodeName()) == ctElementContent;
}

bool TDomDocument::refreshDefaultAttributes(TDomNode* node) {
  TFirstFailure failures;
  bool result = true;
  for (TDomNode* n = node; n;) {
    if (n->nodeType() == nkElement) {
      auto* element = static_cast<TDomElement*>(n);
      const TDomNodeVector attributes = element->attributeItems();
      for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
        auto* attr = static_cast<TDomAttr*>(*it);
        if (!attr->specified()) {
          attr->Free(failures);
        }
      }
      FAgent->AddDefaultAttributes(element);
      result = result && !element->namespaceAware();
    }
    if (n->hasChildNodes()) {
      n = n->firstChild();
      continue;
    }
    while (n != node && !n->nextSibling()) {
      n = n->parentNode();
    }
    n = n == node ? nullptr : n->nextSibling();
  }
  failures.Raise();
  return result;
}

bool TDomDocument::refreshAllDefaultAttributes() {
  TDomElement* element = documentElement();
  return element ? refreshDefaultAttributes(element) : true;
}

void TDomDocument::dropIds(const TDomElement* element) {
  FAgent->DropIds(element);
}

TDomDocument::~TDomDocument() = default;

TDomNodeList* TDomDocument::getElementsByTagName(const WideString& name) {
  for (const auto& list : FElementLists) {
    if (static_cast<TDomElementsNodeList*>(list.get())->queryName() == name) {
      return list.get();
    }
  }
  FElementLists.push_back(std::make_unique<TDomElementsNodeList>(name, this));
  return FElementLists.back().get();
}

void TDomDocument::hookBeforeClear() {
  TDomCustomDocument::hookBeforeClear();
  FElementLists.clear();
  FAgent->Clear();
}

TDomDocumentNS::TDomDocumentNS(TDomImplementation* implementation)
    : TDomCustomDocument(implementation) {}

TDomDocumentNS::~TDomDocumentNS() = default;

TDomNodeList* TDomDocumentNS::getElementsByTagNameNS(const WideString& namespaceURI,
                                                     const WideString& localName) {
  for (const auto& list : FElementLists) {
    const auto* typed = static_cast<TDomElementsNodeListNS*>(list.get());
    if (typed->queryNamespaceURI() == namespaceURI && typed->queryLocalName() == localName) {
      return list.get();
    }
  }
  FElementLists.push_back(std::make_unique<TDomElementsNodeListNS>(namespaceURI, localName, this));
  return FElementLists.back().get();
}

void TDomDocumentNS::hookBeforeClear() {
  TDomCustomDocument::hookBeforeClear();
  FElementLists.clear();
  clearIds();
}

TDomElement* TDomDocumentNS::getElementById(std::u16string_view id) const {
  return FIds.Find(id);
}

void TDomDocumentNS::addId(const WideString& id, TDomElement* element) {
  FIds.Add(id, element);
}

void TDomDocumentNS::clearIds() {
  FIds.Clear();
}

void TDomDocumentNS::dropIds(const TDomElement* element) {
  FIds.Drop(element);
}

} // namespace velmora
