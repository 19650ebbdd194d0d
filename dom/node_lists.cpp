#include "dom/node_lists.h"

#include <algorithm>

#include "dom/document.h"
#include "dom/element.h"

namespace velmora {

int TDomNodeList::length() const {
  return FList ? static_cast<int>(FList->size()) : 0;
}

int TDomNodeList::indexOf(const TDomNode* node) const {
  if (!FList || !node) {
    return -1;
  }
  const auto found = std::find(FList->begin(), FList->end(), node);
  return found == FList->end() ? -1 : static_cast<int>(found - FList->begin());
}

TDomNode* TDomNodeList::item(int index) const {
  if (!FList || index < 0 || static_cast<size_t>(index) >= FList->size()) {
    return nullptr;
  }
  return static_cast<TDomNode*>((*FList)[static_cast<size_t>(index)]);
}

TDomElementsNodeList::TDomElementsNodeList(const WideString& queryName, TDomNode* startNode)
    : TDomNodeList(nullptr), FStartNode(startNode),
      FDocument(startNode ? startNode->referenceDocument() : nullptr), FQueryName(queryName) {}

bool TDomElementsNodeList::Matches(const TDomNode* node) const {
  return IsElementNode(node) && (FQueryName == u"*" || node->nodeName() == FQueryName);
}

const std::vector<TDomNode*>& TDomElementsNodeList::Matches() const {
  // Only a change in the start node's own document can change the matches.
  if (FDocument && FVersion == FDocument->treeVersion()) {
    return FMatches;
  }
  // The start node's descendants in document order, without the start node.
  FMatches.clear();
  const TDomNode* node = FStartNode ? FStartNode->firstChild() : nullptr;
  while (node) {
    if (Matches(node)) {
      FMatches.push_back(const_cast<TDomNode*>(node));
    }
    if (node->hasChildNodes()) {
      node = node->firstChild();
      continue;
    }
    while (node != FStartNode && !node->nextSibling()) {
      node = node->parentNode();
    }
    node = node == FStartNode ? nullptr : node->nextSibling();
  }
  FVersion = FDocument ? FDocument->treeVersion() : UINT64_MAX;
  return FMatches;
}

int TDomElementsNodeList::length() const {
  return static_cast<int>(Matches().size());
}

int TDomElementsNodeList::indexOf(const TDomNode* node) const {
  if (!IsElementNode(node)) {
    return -1;
  }
  const std::vector<TDomNode*>& matches = Matches();
  const auto found = std::find(matches.begin(), matches.end(), node);
  return found == matches.end() ? -1 : static_cast<int>(found - matches.begin());
}

TDomNode* TDomElementsNodeList::item(int index) const {
  const std::vector<TDomNode*>& matches = Matches();
  return index >= 0 && static_cast<size_t>(index) < matches.size()
             ? matches[static_cast<size_t>(index)]
             : nullptr;
}

TDomElementsNodeListNS::TDomElementsNodeListNS(const WideString& queryNamespaceURI,
                                               const WideString& queryLocalName,
                                               TDomNode* startNode)
    : TDomElementsNodeList(WideString(), startNode), FQueryNamespaceURI(queryNamespaceURI),
      FQueryLocalName(queryLocalName) {}

bool TDomElementsNodeListNS::Matches(const TDomNode* node) const {
  return IsElementNode(node) &&
         (FQueryNamespaceURI == u"*" || node->namespaceURI() == FQueryNamespaceURI) &&
         (FQueryLocalName == u"*" || node->localName() == FQueryLocalName);
}

TDomNamedNodeMap::TDomNamedNodeMap(TDomNode* ownerNode, bool namespaceAwareDefault,
                                   TDomNodeKinds allowedKinds)
    : TDomNodeList(nullptr), FOwnerNode(ownerNode), FAllowedKinds(allowedKinds),
      FNamespaceAwareDefault(namespaceAwareDefault) {
  FList = &FItems;
}

bool TDomNamedNodeMap::namespaceAware() const {
  return FOwnerNode ? FOwnerNode->namespaceAware() : FNamespaceAwareDefault;
}

bool TDomNamedNodeMap::readOnly() const {
  return FOwnerNode && FOwnerNode->isReadOnly();
}

TDomNamedNodeMap::TKey TDomNamedNodeMap::KeyOf(const TDomNode* node) const {
  if (node->nodeType() != nkAttribute) {
    return {&node->nodeName(), nullptr};
  }
  const auto* attr = static_cast<const TDomAttr*>(node);
  return namespaceAware() ? TKey{attr->namespaceURIKey(), attr->localNameKey()}
                          : TKey{attr->nodeNameKey(), nullptr};
}

int TDomNamedNodeMap::Find(const TKey& key) const {
  if (FItems.size() <= kIndexThreshold) {
    for (size_t i = 0; i < FItems.size(); ++i) {
      if (KeyOf(static_cast<const TDomNode*>(FItems[i])) == key) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  if (!FIndex) {
    FIndex = std::make_unique<std::unordered_map<TKey, size_t, TKeyHash>>();
    FIndex->reserve(FItems.size());
    for (size_t i = 0; i < FItems.size(); ++i) {
      FIndex->emplace(KeyOf(static_cast<const TDomNode*>(FItems[i])), i); // the first one stays
    }
  }
  const auto found = FIndex->find(key);
  return found == FIndex->end() ? -1 : static_cast<int>(found->second);
}

bool TDomNamedNodeMap::PlainKey(std::u16string_view name, TKey& key) const {
  TDomCustomDocument* document = FOwnerNode ? FOwnerNode->referenceDocument() : nullptr;
  const WideString* interned = document ? document->nameTable().Find(name) : nullptr;
  key = {interned, nullptr};
  return interned != nullptr;
}

bool TDomNamedNodeMap::NamespaceKey(std::u16string_view namespaceURI, std::u16string_view localName,
                                    TKey& key) const {
  TDomCustomDocument* document = FOwnerNode ? FOwnerNode->referenceDocument() : nullptr;
  if (!document) {
    return false;
  }
  key = {document->nameTable().Find(namespaceURI), document->nameTable().Find(localName)};
  return key.First && key.Second;
}

void TDomNamedNodeMap::CheckMode(bool namespaceOperation) const {
  if (namespaceOperation != namespaceAware()) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
}

void TDomNamedNodeMap::CheckWritable() const {
  if (readOnly()) {
    throw ENo_Modification_Allowed_Err(dom_messages::kNoModificationAllowed);
  }
}

void TDomNamedNodeMap::CheckSettable(TDomNode* node) const {
  CheckWritable();
  if (!node) {
    throw ENot_Supported_Err(dom_messages::kTreeNodeNotSpecified);
  }
  const TDomCustomDocument* ownerDocument = FOwnerNode ? FOwnerNode->referenceDocument() : nullptr;
  if (node->referenceDocument() != ownerDocument) {
    throw EWrong_Document_Err(dom_messages::kWrongDocument);
  }
  if (!(FAllowedKinds & NodeKindBit(node->nodeType()))) {
    throw EHierarchy_Request_Err(dom_messages::kHierarchyRequest);
  }
  if (node->parentNode()) {
    throw EInuse_Err(dom_messages::kInuseNode);
  }
  if (node->nodeType() == nkAttribute) {
    const TDomNamedNodeMap* map = static_cast<const TDomAttr*>(node)->ownerMap();
    if (map && map != this) {
      throw EInuse_Err(dom_messages::kInuseAttribute);
    }
  }
}

TDomNode* TDomNamedNodeMap::getNamedItem(std::u16string_view name) const {
  CheckMode(false);
  TKey key;
  if (!PlainKey(name, key)) {
    return nullptr;
  }
  const int index = Find(key);
  return index < 0 ? nullptr : static_cast<TDomNode*>(FItems[static_cast<size_t>(index)]);
}

TDomNode* TDomNamedNodeMap::getNamedItemNS(std::u16string_view namespaceURI,
                                           std::u16string_view localName) const {
  CheckMode(true);
  TKey key;
  if (!NamespaceKey(namespaceURI, localName, key)) {
    return nullptr;
  }
  const int index = Find(key);
  return index < 0 ? nullptr : static_cast<TDomNode*>(FItems[static_cast<size_t>(index)]);
}

TDomNode* TDomNamedNodeMap::SetItem(TDomNode* node, const TKey& key) {
  const int index = Find(key);
  TDomNode* existing =
      index < 0 ? nullptr : static_cast<TDomNode*>(FItems[static_cast<size_t>(index)]);
  if (existing == node) {
    return nullptr;
  }
  if (existing) {
    dropItem(existing);
  }
  addItem(node);
  return existing;
}

TDomNode* TDomNamedNodeMap::setNamedItem(TDomNode* node) {
  CheckMode(false);
  CheckSettable(node);
  return SetItem(node, KeyOf(node));
}

TDomNode* TDomNamedNodeMap::setNamedItemNS(TDomNode* node) {
  CheckMode(true);
  CheckSettable(node);
  return SetItem(node, KeyOf(node));
}

TDomNode* TDomNamedNodeMap::removeNamedItem(std::u16string_view name) {
  CheckMode(false);
  CheckWritable();
  TDomNode* node = getNamedItem(name);
  if (!node) {
    throw ENot_Found_Err(dom_messages::kNodeNotFound);
  }
  dropItem(node);
  return node;
}

TDomNode* TDomNamedNodeMap::removeNamedItemNS(std::u16string_view namespaceURI,
                                              std::u16string_view localName) {
  CheckMode(true);
  CheckWritable();
  TDomNode* node = getNamedItemNS(namespaceURI, localName);
  if (!node) {
    throw ENot_Found_Err(dom_messages::kNodeNotFound);
  }
  dropItem(node);
  return node;
}

bool TDomNamedNodeMap::Holds(const TDomNode* node) const {
  // An attribute knows its map; only other kinds need a search.
  if (node->nodeType() == nkAttribute) {
    return static_cast<const TDomAttr*>(node)->ownerMap() == this;
  }
  return std::find(FItems.begin(), FItems.end(), node) != FItems.end();
}

TDomNode* TDomNamedNodeMap::removeItem(TDomNode* node) {
  CheckWritable();
  if (!node || !Holds(node)) {
    throw ENot_Found_Err(dom_messages::kNodeNotFound);
  }
  dropItem(node);
  return node;
}

void TDomNamedNodeMap::addItem(TDomNode* node) {
  FItems.push_back(node);
  if (node->nodeType() == nkAttribute) {
    static_cast<TDomAttr*>(node)->setOwnerMap(this);
  }
  if (FIndex) {
    FIndex->emplace(KeyOf(node), FItems.size() - 1);
  }
}

void TDomNamedNodeMap::dropItem(TDomNode* node) {
  // Removals mostly take the last item (an element that goes, a replaced attribute set
  // again): search from the end.
  const auto found = std::find(FItems.rbegin(), FItems.rend(), node);
  if (found == FItems.rend()) {
    return;
  }
  const size_t position = static_cast<size_t>(FItems.rend() - found) - 1;
  FItems.erase(std::next(found).base());
  if (node->nodeType() == nkAttribute) {
    static_cast<TDomAttr*>(node)->setOwnerMap(nullptr);
  }
  if (!FIndex) {
    return;
  }
  if (position < FItems.size()) {
    // Positions after the dropped one moved: the index is built again when needed.
    FIndex.reset();
    return;
  }
  // The last one: only its own entry goes (unless an earlier item has its key).
  const auto entry = FIndex->find(KeyOf(node));
  if (entry != FIndex->end() && entry->second == position) {
    FIndex->erase(entry);
  }
}

} // namespace velmora
