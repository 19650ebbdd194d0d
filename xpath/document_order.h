#pragma once
// Document order for node sets: a key per node that sorts as the nodes stand in their
// documents, and the sort and merge of node lists by those keys.
//
// A tree node's key is its document's number for it (TDomDocumentXPath::orderNumber); an
// attribute or a namespace node takes its element's number and a class that puts
// namespace nodes, then attributes, between the element and its first child. The
// attributes (or namespace nodes) of one element share a key: among them a list keeps the
// order in which it received them.

#include <compare>
#include <cstdint>
#include <vector>

#include "xpath/axis_type.h"

namespace velmora {

class TDomCustomDocument;
class TDomDocumentXPath;
class TDomNode;

struct TDomXPathOrderKey {
  uintptr_t Tree; // the document; nodes of two documents order by their documents
  uint64_t Position;
  auto operator<=>(const TDomXPathOrderKey&) const = default;
};

// The keys of nodes, with the last document asked about at hand.
class TDomXPathOrderKeys {
public:
  // A node of a document other than a TDomDocumentXPath raises ENot_Supported_Err "Not
  // supported error.": only XPath documents keep their nodes numbered.
  TDomXPathOrderKey KeyOf(const TDomNode* node);

  // Whether a comes before b in the order of direction.
  static bool Before(const TDomXPathOrderKey& a, const TDomXPathOrderKey& b,
                     TDomXPathAxisType direction) {
    return direction == atForward ? a < b : b < a;
  }

private:
  const TDomCustomDocument* FDocument = nullptr;
  TDomDocumentXPath* FXPathDocument = nullptr;
};

// Whether a and b are one node of the data model: the same object, or two namespace nodes
// of one element for one prefix.
bool SameXPathNode(const TDomNode* a, const TDomNode* b);

// Sorts nodes into the order of direction, stably (among equal keys the given order
// stays). With unique, repeated nodes go (all but the first) and are added to dropped.
void SortNodes(std::vector<TDomNode*>& nodes, TDomXPathAxisType direction, bool unique,
               std::vector<TDomNode*>* dropped = nullptr);

// The entries of a and b, both sorted in direction and free of repeats, merged in that
// order: nodes of b that a has are left out, and among equal keys a's entries come first.
// Linear, also for large sets of attributes of one element.
std::vector<TDomNode*> MergeNodes(const std::vector<TDomNode*>& a, const std::vector<TDomNode*>& b,
                                  TDomXPathAxisType direction);

} // namespace velmora
