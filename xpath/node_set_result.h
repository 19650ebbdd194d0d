#pragma once
// The node-set result: DOM nodes in a list kept in document order (forward) or reverse
// document order (reverse), without repeats. It refers to the nodes of documents, except
// namespace nodes: it owns a copy of every namespace node it lists.

#include <vector>

#include "xpath/document_order.h"
#include "xpath/results.h"

namespace velmora {

class TDomElement;

class TDomXPathNodeSetResult final : public TDomXPathCustomResult {
public:
  explicit TDomXPathNodeSetResult(TDomXPathAxisType axisType = atForward) : FAxisType(axisType) {}
  const char* ClassName() const override { return "TDomXPathNodeSetResult"; }

  TDomXPathAxisType AxisType() const override { return FAxisType; }
  // A change of direction reverses the list.
  void SetAxisType(TDomXPathAxisType axisType) override;
  bool AsBoolean() const override { return !FNodes.empty(); }
  double AsNumber() const override;
  // The string value of the first node in document order; empty for an empty set.
  WideString AsWideString() const override;
  TDomNode* Item(int index) const override;
  int Length() const override { return static_cast<int>(FNodes.size()); }
  TDomXPathResultType ResultType() const override { return rtNodeSet; }

  // Appends a new namespace node, owned by this set.
  void AddXPathNamespace(TDomElement* ownerElement, std::u16string_view namespaceURI,
                         std::u16string_view prefix);
  // Appends node (a namespace node as a copy), without looking for repeats.
  void Add(TDomNode* node);
  // Like Add, at index (0 to Length()).
  void Insert(int index, TDomNode* node);
  // node and its descendants, as a document's node iterator rooted at node lists them
  // (entity references not entered): appended in that order to a forward set, in the
  // opposite order to a reverse one.
  void AddSubtree(TDomNode* node);
  void Clear();
  // The ownership layer's clear empties the list as well.
  void clear() override { Clear(); }
  // Removes the entry at index (frees it when it is a namespace node).
  void Delete(int index);
  // Merges other (reordered into this set's direction) into this set: both are sorted and
  // free of repeats, and so is the outcome. Among the attributes or the namespace nodes of
  // one element, this set's come first. Namespace nodes taken over are copied.
  void Merge(TDomXPathNodeSetResult& other);
  // Sorts the list into the set's direction.
  void Sort();
  // Becomes a copy of source: its direction and its nodes.
  void Assign(const TDomXPathNodeSetResult& source);

  const std::vector<TDomNode*>& Nodes() const { return FNodes; }
  // The first node in document order, or none.
  TDomNode* FirstInDocumentOrder() const;
  // Appends a node that is no namespace node.
  void AddTreeNode(TDomNode* node) { FNodes.push_back(node); }
  // Reverses the entries from index start to the end.
  void ReverseFrom(size_t start);
  // Keeps the entries for which keep(node, position) holds (positions count from 1 in
  // list order), in their order; dropped namespace nodes are freed.
  template <class TKeep> void Filter(TKeep keep);
  // Keeps only the entry at position (from 1), or none when there is no such entry.
  void KeepOnly(size_t position);
  // Moves the entries of run, a set of the same direction, to the end of this one. When
  // the run does not begin after this set's last entry, the set is put in order (and rid
  // of repeats) by the next SettleOrder.
  void AppendRun(TDomXPathNodeSetResult& run);
  void SettleOrder();

private:
  // Frees node when it is a namespace node of this set.
  void ReleaseNamespaceNode(TDomNode* node);
  bool OwnsNamespaceNodes() const { return ownedObjectCount() > 0; }
  // Makes every namespace node in the list from index start one of this set's own.
  void CopyForeignNamespaceNodes(size_t start);
  void FreeNamespaceNodes();

  std::vector<TDomNode*> FNodes;
  TDomXPathOrderKeys FKeys; // for the runs appended
  TDomXPathAxisType FAxisType;
  bool FUnsettled = false;
};

using TDomXPathNodeSetPtr = TDomXPathOwned<TDomXPathNodeSetResult>;

inline TDomXPathNodeSetPtr NewNodeSet(TDomXPathAxisType axisType = atForward) {
  return TDomXPathNodeSetPtr(new TDomXPathNodeSetResult(axisType));
}

template <class TKeep> void TDomXPathNodeSetResult::Filter(TKeep keep) {
  size_t kept = 0;
  size_t i = 0;
  try {
    for (; i < FNodes.size(); ++i) {
      TDomNode* node = FNodes[i];
      if (keep(node, i + 1)) {
        FNodes[kept++] = node;
      } else {
        ReleaseNamespaceNode(node);
      }
    }
  } catch (...) {
    // The list stays whole: the entries looked at so far are settled, the rest untouched.
    FNodes.erase(FNodes.begin() + static_cast<std::ptrdiff_t>(kept),
                 FNodes.begin() + static_cast<std::ptrdiff_t>(i));
    throw;
  }
  FNodes.resize(kept);
}

} // namespace velmora
