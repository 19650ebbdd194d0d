#include "dom/traversal.h"

#include "dom/document.h"

namespace velmora {

namespace {

// node itself or one of its descendants.
bool IsSelfOrDescendant(const TDomNode* node, const TDomNode* ancestor) {
  return node == ancestor || node->hasAncestorNode(ancestor);
}

// Whether node lies in the subtree of one of the siblings first..last, the attributes of
// their elements included.
bool InSubtrees(const TDomNode* node, const TDomNode* first, const TDomNode* last) {
  if (first == last && !first->hasChildNodes() && !IsElementNode(first)) {
    return node == first; // a leaf holds nothing else
  }
  const TDomNode* parent = first->parentNode();
  for (const TDomNode* n = node; n; n = n->positionParent()) {
    if (n == first || n == last) {
      return true;
    }
    if (parent && n->parentNode() == parent) {
      const size_t index = n->indexInParent();
      return first->indexInParent() <= index && index <= last->indexInParent();
    }
  }
  return false;
}

} // namespace

TDomTraversal::TDomTraversal(TDomNode* root, TDomWhatToShow whatToShow, TDomNodeFilter* filter,
                             bool expandEntityReferences)
    : FRoot(root), FDocument(root ? root->referenceDocument() : nullptr), FWhatToShow(whatToShow),
      FFilter(filter), FExpandEntityReferences(expandEntityReferences) {}

TDomFilterResult TDomTraversal::acceptance(TDomNode* node) const {
  const TDomNodeType kind = node->nodeType();
  if (kind > 15 || !(FWhatToShow & (1u << kind))) {
    return frSkip;
  }
  return FFilter ? FFilter->acceptNode(node) : frAccept;
}

TDomNode* TDomTraversal::firstChildOf(TDomNode* node) const {
  if (node->nodeType() == nkEntityReference && !FExpandEntityReferences) {
    return nullptr;
  }
  return node->firstChild();
}

TDomNode* TDomTraversal::lastChildOf(TDomNode* node) const {
  if (node->nodeType() == nkEntityReference && !FExpandEntityReferences) {
    return nullptr;
  }
  return node->lastChild();
}

TDomTreeWalker::TDomTreeWalker(TDomNode* root, TDomWhatToShow whatToShow, TDomNodeFilter* filter,
                               bool expandEntityReferences)
    : TDomTraversal(root, whatToShow, filter, expandEntityReferences), FCurrentNode(root) {}

void TDomTreeWalker::CheckDocument(const TDomNode* node) const {
  if (!node) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  // Only the walker's own document tells it of the nodes that go.
  if (node->referenceDocument() != FDocument) {
    throw EWrong_Document_Err(dom_messages::kWrongDocument);
  }
}

void TDomTreeWalker::setCurrentNode(TDomNode* node) {
  CheckDocument(node);
  FCurrentNode = node;
}

void TDomTreeWalker::setRoot(TDomNode* node) {
  CheckDocument(node);
  FRoot = node;
}

TDomNode* TDomTreeWalker::FindChild(TDomNode* node, bool first) const {
  // Accepted children answer; skipped ones are searched in their place; rejected ones hide
  // their subtree. Written as a loop over the skipped levels.
  TDomNode* current = first ? firstChildOf(node) : lastChildOf(node);
  while (current) {
    const TDomFilterResult result = acceptance(current);
    if (result == frAccept) {
      return current;
    }
    if (result == frSkip) {
      if (TDomNode* inner = first ? firstChildOf(current) : lastChildOf(current)) {
        current = inner;
        continue;
      }
    }
    for (;;) {
      TDomNode* sibling = first ? current->nextSibling() : current->previousSibling();
      if (sibling) {
        current = sibling;
        break;
      }
      current = current->parentNode();
      if (!current || current == node) {
        return nullptr;
      }
    }
  }
  return nullptr;
}

TDomNode* TDomTreeWalker::findFirstChild(TDomNode* node) const {
  return node && FRoot ? FindChild(node, true) : nullptr;
}

TDomNode* TDomTreeWalker::findLastChild(TDomNode* node) const {
  return node && FRoot ? FindChild(node, false) : nullptr;
}

TDomNode* TDomTreeWalker::findParentNode(TDomNode* node) const {
  while (node && FRoot && node != FRoot) {
    TDomNode* parent = node->parentNode();
    if (!parent) {
      return nullptr;
    }
    if (acceptance(parent) == frAccept) {
      return parent;
    }
    node = parent;
  }
  return nullptr;
}

TDomNode* TDomTreeWalker::FindSibling(TDomNode* node, bool next) const {
  while (node && FRoot && node != FRoot) {
    if (TDomNode* sibling = next ? node->nextSibling() : node->previousSibling()) {
      const TDomFilterResult result = acceptance(sibling);
      if (result == frAccept) {
        return sibling;
      }
      if (result == frSkip) {
        if (TDomNode* inner = next ? findFirstChild(sibling) : findLastChild(sibling)) {
          return inner;
        }
      }
      node = sibling;
      continue;
    }
    TDomNode* parent = node->parentNode();
    if (!parent || acceptance(parent) == frAccept) {
      return nullptr;
    }
    node = parent;
  }
  return nullptr;
}

TDomNode* TDomTreeWalker::findNextSibling(TDomNode* node) const {
  return FindSibling(node, true);
}

TDomNode* TDomTreeWalker::findPreviousSibling(TDomNode* node) const {
  return FindSibling(node, false);
}

TDomNode* TDomTreeWalker::findNextNode(TDomNode* node) const {
  if (!node || !FRoot) {
    return nullptr;
  }
  TDomNode* child = findFirstChild(node);
  if (child || node == FRoot) {
    return child;
  }
  TDomNode* sibling = findNextSibling(node);
  while (!sibling) {
    node = findParentNode(node);
    if (!node) {
      return nullptr;
    }
    sibling = findNextSibling(node);
  }
  return sibling;
}

TDomNode* TDomTreeWalker::findPreviousNode(TDomNode* node) const {
  if (!node || !FRoot || node == FRoot) {
    return nullptr;
  }
  TDomNode* candidate = findPreviousSibling(node);
  if (!candidate) {
    return findParentNode(node);
  }
  while (TDomNode* last = findLastChild(candidate)) {
    candidate = last;
  }
  return candidate;
}

TDomNode* TDomTreeWalker::Move(TDomNode* found) {
  if (found) {
    FCurrentNode = found;
  }
  return found;
}

TDomNode* TDomTreeWalker::parentNode() {
  return Move(findParentNode(FCurrentNode));
}
TDomNode* TDomTreeWalker::firstChild() {
  return Move(findFirstChild(FCurrentNode));
}
TDomNode* TDomTreeWalker::lastChild() {
  return Move(findLastChild(FCurrentNode));
}
TDomNode* TDomTreeWalker::previousSibling() {
  return Move(findPreviousSibling(FCurrentNode));
}
TDomNode* TDomTreeWalker::nextSibling() {
  return Move(findNextSibling(FCurrentNode));
}
TDomNode* TDomTreeWalker::nextNode() {
  return Move(findNextNode(FCurrentNode));
}
TDomNode* TDomTreeWalker::previousNode() {
  return Move(findPreviousNode(FCurrentNode));
}

void TDomTreeWalker::subtreesFreeing(TDomNode* first, TDomNode* last) {
  if (FRoot && InSubtrees(FRoot, first, last)) {
    FRoot = nullptr;
    FCurrentNode = nullptr;
  } else if (FCurrentNode && InSubtrees(FCurrentNode, first, last)) {
    FCurrentNode = FRoot;
  }
}

TDomNodeIterator::TDomNodeIterator(TDomNode* root, TDomWhatToShow whatToShow,
                                   TDomNodeFilter* filter, bool expandEntityReferences)
    : TDomTraversal(root, whatToShow, filter, expandEntityReferences), FReferenceNode(root) {}

TDomNode* TDomNodeIterator::findNextNode(TDomNode* node) const {
  if (!node || !FRoot) {
    return nullptr;
  }
  if (TDomNode* child = firstChildOf(node)) {
    return child;
  }
  // Up to the nearest ancestor with a next sibling, but not beyond the root: whatever lies
  // there is outside the iterator's reach anyway.
  while (node != FRoot && !node->nextSibling()) {
    node = node->parentNode();
    if (!node) {
      return nullptr;
    }
  }
  return node == FRoot ? nullptr : node->nextSibling();
}

TDomNode* TDomNodeIterator::findPreviousNode(TDomNode* node) const {
  if (!node || !FRoot || node == FRoot) {
    return nullptr;
  }
  TDomNode* previous = node->previousSibling();
  if (!previous) {
    return node->parentNode();
  }
  // Entity references are entered whatever the expansion flag says.
  while (TDomNode* last = previous->lastChild()) {
    previous = last;
  }
  return previous;
}

TDomNode* TDomNodeIterator::nextNode() {
  if (FInvalid) {
    throw EInvalid_State_Err(dom_messages::kInvalidState);
  }
  TDomNode* candidate = FPosition == 0 ? FReferenceNode : findNextNode(FReferenceNode);
  while (candidate && acceptance(candidate) != frAccept) {
    candidate = findNextNode(candidate);
  }
  // The searches never leave the root's subtree, so any candidate is within bounds.
  if (candidate) {
    FReferenceNode = candidate;
    FPosition = 1;
  }
  return candidate;
}

TDomNode* TDomNodeIterator::previousNode() {
  if (FInvalid) {
    throw EInvalid_State_Err(dom_messages::kInvalidState);
  }
  TDomNode* candidate = FPosition == 1 ? FReferenceNode : findPreviousNode(FReferenceNode);
  while (candidate && acceptance(candidate) != frAccept) {
    candidate = findPreviousNode(candidate);
  }
  if (candidate) {
    FReferenceNode = candidate;
    FPosition = 0;
  }
  return candidate;
}

void TDomNodeIterator::Invalidate() {
  FInvalid = true;
  FRoot = nullptr;
  FReferenceNode = nullptr;
}

void TDomNodeIterator::detach() {
  Invalidate();
  FDetached = true;
}

void TDomNodeIterator::updateForChange(TDomNode* node, bool removal) {
  if (FInvalid || !node) {
    return;
  }
  // Only a change at the reference node or above it moves the iterator.
  const bool referenceInside = IsSelfOrDescendant(FReferenceNode, node);
  if (!removal) {
    if (FReferenceNode == node || !referenceInside) {
      return;
    }
    if (IsSelfOrDescendant(FRoot, node) && FRoot != node) {
      Invalidate();
      return;
    }
    FReferenceNode = node;
    FPosition = 1;
    return;
  }
  if (IsSelfOrDescendant(FRoot, node) || !referenceInside) {
    return;
  }
  StepOver(node, node);
}

void TDomNodeIterator::StepOver(TDomNode* first, TDomNode* last) {
  // The iterator goes on where the siblings first..last stood: before the node that
  // followed them, or else after the node that preceded them, so that nothing is skipped
  // or repeated.
  if (TDomNode* next = last->nextSibling()) {
    FReferenceNode = next;
    FPosition = 0;
    return;
  }
  TDomNode* previous = findPreviousNode(first);
  if (!previous) {
    Invalidate();
    return;
  }
  FReferenceNode = previous;
  FPosition = 1;
}

void TDomNodeIterator::subtreesFreeing(TDomNode* first, TDomNode* last) {
  if (FInvalid) {
    return;
  }
  if (InSubtrees(FRoot, first, last)) {
    // The root goes: the iterator is invalid, but it was not detached by its user.
    Invalidate();
    return;
  }
  if (InSubtrees(FReferenceNode, first, last)) {
    StepOver(first, last);
  }
}

} // namespace velmora
