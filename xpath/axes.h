#pragma once
// The thirteen axes: the nodes that lie in each direction from a context node.

#include "xpath/syntax_node.h"

namespace velmora {

class TDomNode;
class TDomXPathNodeMatcher;
class TDomXPathNodeSetResult;

// Appends to out, in the direction of axis (one of the axis-name classes), the nodes of
// that axis from context that pass the node test. The namespace axis makes namespace
// nodes owned by out; a namespace node that an axis yields itself is copied.
void AppendAxisNodes(TDomXPathNodeClass axis, TDomNode* context, TDomXPathNodeMatcher& test,
                     TDomXPathNodeSetResult& out);

} // namespace velmora
