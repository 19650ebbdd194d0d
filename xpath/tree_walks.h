#pragma once
// The pre-order walk over a tree of nodes, without recursion, that numbering, subtrees and
// the descendant axes share.

#include "dom/dom_node.h"

namespace velmora {

// Calls visit(node) for root and each of its descendants in document order; the children
// of a node are visited when visit returns true for it.
template <class TVisit> void WalkPreOrder(TDomNode* root, TVisit visit) {
  TCustomOwnedNode* node = root;
  while (node) {
    if (visit(static_cast<TDomNode*>(node)) && node->hasTreeChildren()) {
      node = node->firstTreeChild();
      continue;
    }
    while (node != root && !node->nextTreeSibling()) {
      node = node->treeParent();
    }
    node = node == root ? nullptr : node->nextTreeSibling();
  }
}

} // namespace velmora
