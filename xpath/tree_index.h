#pragma once
// A document's tree in document order, as arrays: what the descendant axes scan instead
// of going from node to node (a node's memory is far from the next one's; the arrays are
// read in one sweep). Made from the numbered tree when a scan first needs it, dropped when
// the tree changes.

#include <cstdint>
#include <vector>

#include "dom/dom_types.h"
#include "dom/name_table.h"

namespace velmora {

class TDomNode;

class TDomXPathTreeIndex {
public:
  // Lists root and its descendants in pre-order, numbered so from firstNumber on (root's
  // number) by their document; expectedSize (at least the number of nodes, best) saves
  // growing the lists.
  void Build(const TDomNode* root, uint64_t firstNumber, size_t expectedSize);
  // Forgets the tree and gives its memory back.
  void Clear();
  bool Empty() const { return FNodes.empty(); }

  // The place of the node with that number, when the index lists it.
  bool Find(uint64_t number, size_t& position) const {
    position = static_cast<size_t>(number - FFirstNumber);
    return number >= FFirstNumber && position < FNodes.size();
  }
  TDomNode* Node(size_t position) const { return FNodes[position]; }
  TDomNodeType Kind(size_t position) const { return FKinds[position]; }
  // An element's interned names; none for other kinds.
  const WideString* LocalName(size_t position) const {
    return FNames[position] ? FNames[position]->LocalName : nullptr;
  }
  const WideString* NamespaceURI(size_t position) const {
    return FNames[position] ? FNames[position]->NamespaceURI : nullptr;
  }
  // The place of the last node of the subtree at position.
  size_t SubtreeEnd(size_t position) const { return FSubtreeEnds[position]; }

private:
  void Add(const TDomNode* node);
  void Reserve(size_t size);

  uint64_t FFirstNumber = 0;
  std::vector<TDomNode*> FNodes;
  std::vector<TDomNodeType> FKinds;
  std::vector<const TDomQualifiedName*> FNames; // of elements; none for other kinds
  // Places in 32 bits: 2^32 nodes would take far more memory than the index can hold.
  std::vector<uint32_t> FSubtreeEnds;
};

} // namespace velmora
