#pragma once
// A node list over a list of its own, which goes with it: what the service's queries hand
// out. The nodes stay their document's.

#include <vector>

#include "dom/node_lists.h"

namespace velmora {

class TDomOwnedNodeList final : public TDomNodeList {
public:
  explicit TDomOwnedNodeList(size_t capacity = 0) : TDomNodeList(&FNodes) {
    FNodes.reserve(capacity);
  }
  void Append(TDomNode* node) { FNodes.push_back(node); }

private:
  TDomNodeVector FNodes;
};

} // namespace velmora
