#include "dom/owner_named_node_map.h"

namespace velmora {

TDomNode* TDomOwnerNamedNodeMap::item(int index) const {
  return index >= 0 && index < length() ? static_cast<TDomNode*>(FItems.objects(index)) : nullptr;
}

int TDomOwnerNamedNodeMap::add(TDomNode* node) {
  if (!node || !FItemClass(node)) {
    throw EHierarchy_Request_Err(dom_messages::kHierarchyRequest);
  }
  return FItems.add(node->nodeName(), node);
}

TDomOwnerNamedNodeMap::~TDomOwnerNamedNodeMap() {
  TFirstFailure failures; // a destructor has no one to pass a failure to
  FreeAll(failures);
}

void TDomOwnerNamedNodeMap::clear() {
  TFirstFailure failures;
  FreeAll(failures);
  failures.Raise();
}

void TDomOwnerNamedNodeMap::FreeAll(TFirstFailure& failures) noexcept {
  while (length() > 0) {
    auto* node = static_cast<TDomNode*>(FItems.objects(length() - 1));
    FItems.remove(length() - 1);
    node->Free(failures);
  }
}

void TDomOwnerNamedNodeMap::remove(int index) {
  auto* node = static_cast<TDomNode*>(FItems.objects(index));
  FItems.remove(index);
  node->Free();
}

TDomNode* TDomOwnerNamedNodeMap::extract(TDomNode* node) {
  const int index = indexOf(node);
  if (index < 0) {
    throw EStringListError("Item not found");
  }
  FItems.remove(index);
  return node;
}

TDomNode* TDomOwnerNamedNodeMap::getNamedItem(std::u16string_view name) const {
  const int index = indexOfName(name);
  return index < 0 ? nullptr : static_cast<TDomNode*>(FItems.objects(index));
}

int TDomOwnerNamedNodeMap::removeNode(TDomNode* node) {
  const int index = indexOf(node);
  if (index >= 0) {
    remove(index);
  }
  return index;
}

int TDomOwnerNamedNodeMap::removeNamedItem(std::u16string_view name) {
  const int index = indexOfName(name);
  if (index >= 0) {
    remove(index);
  }
  return index;
}

} // namespace velmora
