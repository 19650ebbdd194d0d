#pragma once
// The thirteen axes: the nodes that lie in each direction from a context node.

#include <cstddef>
#include <limits>
#include <span>
#include <unordered_set>
#include <vector>

#include "xpath/syntax_node.h"

namespace velmora {

class TDomNode;
class TDomXPathNodeMatcher;
class TDomXPathNodeSetResult;

// How much of an axis a step needs.
struct TDomXPathAxisNeeds {
  // The walk ends once the list holds this many nodes (a step whose first predicate asks
  // for a position needs no more).
  size_t Limit = std::numeric_limits<size_t>::max();
  // For the ancestor axes of a step without predicates: the nodes that walks from earlier
  // context nodes reached. A walk up ends at the first of them, since everything above it
  // was reached too. None: every walk goes to the top.
  std::unordered_set<const TDomNode*>* Reached = nullptr;
};

// Appends to out, in the direction of axis (one of the axis-name classes), the nodes of
// that axis from context that pass the node test. The namespace axis makes namespace
// nodes owned by out; a namespace node that an axis yields itself is copied.
void AppendAxisNodes(TDomXPathNodeClass axis, TDomNode* context, TDomXPathNodeMatcher& test,
                     TDomXPathNodeSetResult& out, const TDomXPathAxisNeeds& needs = {});

// For a step without predicates, whose result is the union of its context nodes' axes:
// the context nodes of input, in their order, whose axes the others do not already hold
// (the first of some siblings holds the following siblings of the rest, the last one the
// preceding siblings; a node holds the descendants of the nodes in its subtree). False,
// with nothing in uncovered, when the axis is not one of these.
bool SelectUncoveredContexts(TDomXPathNodeClass axis, std::span<TDomNode* const> input,
                             std::vector<TDomNode*>& uncovered);

} // namespace velmora
