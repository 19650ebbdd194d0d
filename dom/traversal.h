#pragma once
// Tree walkers and node iterators: filtered traversals of a subtree, created and owned by a
// document, which keeps them up to date as its tree changes.

#include <cstdint>

#include "dom/dom_node.h"

namespace velmora {

class TDomCustomDocument;

// This system's own answers (the DOM Recommendation numbers them 1, 2, 3).
enum TDomFilterResult : uint8_t { frAccept = 0, frReject = 1, frSkip = 2 };

class TDomNodeFilter {
public:
  virtual ~TDomNodeFilter() = default;
  virtual TDomFilterResult acceptNode(TDomNode* node) = 0;
};

// Sets of node kinds to show, one bit per kind code: {1, 3} is 10.
using TDomWhatToShow = uint16_t;

class TDomTraversal {
public:
  TDomTraversal(TDomNode* root, TDomWhatToShow whatToShow, TDomNodeFilter* filter,
                bool expandEntityReferences);
  TDomTraversal(const TDomTraversal&) = delete;
  TDomTraversal& operator=(const TDomTraversal&) = delete;
  virtual ~TDomTraversal() = default;

  TDomNode* root() const { return FRoot; }
  TDomWhatToShow whatToShow() const { return FWhatToShow; }
  TDomNodeFilter* filter() const { return FFilter; }
  bool expandEntityReferences() const { return FExpandEntityReferences; }

protected:
  // Not shown (kind above 15 or not in whatToShow): skipped; else the filter's answer.
  TDomFilterResult acceptance(TDomNode* node) const;
  // The first or last child, none below an entity reference that is not expanded.
  TDomNode* firstChildOf(TDomNode* node) const;
  TDomNode* lastChildOf(TDomNode* node) const;

  TDomNode* FRoot;
  // The document of the root: the only one whose nodes the traversal may stand on.
  TDomCustomDocument* FDocument;
  TDomWhatToShow FWhatToShow;
  TDomNodeFilter* FFilter;
  bool FExpandEntityReferences;
};

class TDomTreeWalker : public TDomTraversal {
public:
  TDomTreeWalker(TDomNode* root, TDomWhatToShow whatToShow, TDomNodeFilter* filter,
                 bool expandEntityReferences);

  TDomNode* currentNode() const { return FCurrentNode; }
  // ENot_Supported_Err "Not supported error." for none, EWrong_Document_Err "Wrong document
  // error." for a node of another document.
  void setCurrentNode(TDomNode* node);
  void setRoot(TDomNode* node);
  void setFilter(TDomNodeFilter* filter) { FFilter = filter; }
  void setWhatToShow(TDomWhatToShow whatToShow) { FWhatToShow = whatToShow; }
  void setExpandEntityReferences(bool expand) { FExpandEntityReferences = expand; }

  // Each moves to the node it finds and returns it, or returns none and stays.
  TDomNode* parentNode();
  TDomNode* firstChild();
  TDomNode* lastChild();
  TDomNode* previousSibling();
  TDomNode* nextSibling();
  TDomNode* nextNode();
  TDomNode* previousNode();

  // The searches, all inside the root's subtree and all loops.
  TDomNode* findFirstChild(TDomNode* node) const;
  TDomNode* findLastChild(TDomNode* node) const;
  TDomNode* findParentNode(TDomNode* node) const;
  TDomNode* findNextSibling(TDomNode* node) const;
  TDomNode* findPreviousSibling(TDomNode* node) const;
  TDomNode* findNextNode(TDomNode* node) const;
  TDomNode* findPreviousNode(TDomNode* node) const;

  // The document frees the subtrees of the siblings first..last: a current node in them
  // moves to the root; a root in them leaves the walker without a root, answering none
  // from then on.
  void subtreesFreeing(TDomNode* first, TDomNode* last);

private:
  void CheckDocument(const TDomNode* node) const;
  TDomNode* Move(TDomNode* found);
  TDomNode* FindChild(TDomNode* node, bool first) const;
  TDomNode* FindSibling(TDomNode* node, bool next) const;

  TDomNode* FCurrentNode;
};

class TDomNodeIterator : public TDomTraversal {
public:
  TDomNodeIterator(TDomNode* root, TDomWhatToShow whatToShow, TDomNodeFilter* filter,
                   bool expandEntityReferences);

  TDomNode* referenceNode() const { return FReferenceNode; }
  // 0: the iterator stands before the reference node, 1: after it.
  uint8_t position() const { return FPosition; }
  bool invalid() const { return FInvalid; }
  bool detached() const { return FDetached; }

  // EInvalid_State_Err "Invalid state error." once the iterator is invalid. The position
  // changes only when a node is returned.
  TDomNode* nextNode();
  TDomNode* previousNode();
  void detach();

  // The node after or before node in document order (within the root's subtree).
  TDomNode* findNextNode(TDomNode* node) const;
  TDomNode* findPreviousNode(TDomNode* node) const;

  // node is about to be cleared (removal false) or removed (removal true).
  void updateForChange(TDomNode* node, bool removal);
  // The subtrees of the siblings first..last are about to be freed: the iterator goes on
  // as if they had been removed, or becomes invalid when its root is among them.
  void subtreesFreeing(TDomNode* first, TDomNode* last);

private:
  void Invalidate();
  // Moves the reference off the siblings first..last, which leave the tree.
  void StepOver(TDomNode* first, TDomNode* last);

  TDomNode* FReferenceNode;
  uint8_t FPosition = 0;
  bool FInvalid = false;
  bool FDetached = false;
};

} // namespace velmora
