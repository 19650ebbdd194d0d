#pragma once
// The sets of node kinds through which the XPath data model sees the DOM.

#include "dom/dom_types.h"

namespace velmora {

// What XPath takes as text: adjacent nodes of these kinds stand for one text node.
constexpr TDomNodeKinds kTextLikeKinds =
    NodeKindBit(nkText) | NodeKindBit(nkCDATASection) | NodeKindBit(nkEntityReference);

// The kinds that have siblings in the data model.
constexpr TDomNodeKinds kSiblingBearingKinds = kTextLikeKinds | NodeKindBit(nkElement) |
                                               NodeKindBit(nkProcessingInstruction) |
                                               NodeKindBit(nkComment);

// The kinds a document's node iterator shows when it walks a subtree for XPath.
constexpr TDomNodeKinds kSubtreeKinds = kSiblingBearingKinds | NodeKindBit(nkDocument);

inline bool HasKind(TDomNodeKinds kinds, TDomNodeType kind) {
  return (kinds & NodeKindBit(kind)) != 0;
}

} // namespace velmora
