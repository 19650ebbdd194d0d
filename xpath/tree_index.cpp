#include "xpath/tree_index.h"

#include "dom/element.h"

namespace velmora {

void TDomXPathTreeIndex::Clear() {
  if (FNodes.empty()) {
    return;
  }
  FNodes = {};
  FKinds = {};
  FNames = {};
  FSubtreeEnds = {};
}

void TDomXPathTreeIndex::Add(const TDomNode* node) {
  const TDomNodeType kind = node->nodeType();
  FNodes.push_back(const_cast<TDomNode*>(node));
  FKinds.push_back(kind);
  const auto* element = kind == nkElement ? static_cast<const TDomElement*>(node) : nullptr;
  FNames.push_back(element ? element->nameKey() : nullptr);
  FSubtreeEnds.push_back(0);
}

void TDomXPathTreeIndex::Reserve(size_t size) {
  FNodes.reserve(size);
  FKinds.reserve(size);
  FNames.reserve(size);
  FSubtreeEnds.reserve(size);
}

void TDomXPathTreeIndex::Build(const TDomNode* root, uint64_t firstNumber, size_t expectedSize) {
  Clear();
  Reserve(expectedSize);
  FFirstNumber = firstNumber;
  const auto placeOf = [this](const TCustomOwnedNode* node) {
    return static_cast<size_t>(static_cast<const TDomNode*>(node)->xpathOrderNumber() -
                               FFirstNumber);
  };
  // Pre-order; a subtree's end is known when the walk leaves it.
  const TCustomOwnedNode* node = root;
  while (node) {
    Add(static_cast<const TDomNode*>(node));
    if (node->hasTreeChildren()) {
      node = node->firstTreeChild();
      continue;
    }
    const auto last = static_cast<uint32_t>(FNodes.size() - 1);
    FSubtreeEnds[last] = last;
    while (node != root && !node->nextTreeSibling()) {
      node = node->treeParent();
      FSubtreeEnds[placeOf(node)] = last;
    }
    node = node == root ? nullptr : node->nextTreeSibling();
  }
  // A guess well above the size would keep memory the index never uses.
  if (FNodes.capacity() > 2 * FNodes.size()) {
    FNodes.shrink_to_fit();
    FKinds.shrink_to_fit();
    FNames.shrink_to_fit();
    FSubtreeEnds.shrink_to_fit();
  }
}

} // namespace velmora
