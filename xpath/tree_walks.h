#pragma once
// The pre-order walk over a tree of nodes, without recursion, that numbering, subtrees and
// the descendant axes share.

#include "dom/dom_node.h"

namespace velmora {

// What a walk does after a node: go into its children, go past them, or end.
enum TDomXPathWalkStep : uint8_t { wsEnter, wsSkipChildren, wsStop };

// Calls visit(node) for root and each of its descendants in document order, as long as
// visit asks for them.
template <class TVisit> void WalkPreOrder(TDomNode* root, TVisit visit) {
  TCustomOwnedNode* node = root;
  while (node) {
    const TDomXPathWalkStep step = visit(static_cast<TDomNode*>(node));
    if (step == wsStop) {
      return;
    }
    if (step == wsEnter && node->hasTreeChildren()) {
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
