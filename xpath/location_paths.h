#pragma once
// Location paths: path expressions, steps over the thirteen axes, node tests and
// predicates, and filter expressions with predicates.

#include "xpath/evaluation.h"

namespace velmora {

// A TDomXPathPathExpr: absolute, relative, or continuing a filter expression.
TDomXPathResultPtr EvaluatePathExpr(const TDomXPathSyntaxNode* path,
                                    const TDomXPathContext& context);
// A TDomXPathFilterExpr: a primary expression and its predicates, whose positions count
// in document order.
TDomXPathResultPtr EvaluateFilterExpr(const TDomXPathSyntaxNode* filter,
                                      const TDomXPathContext& context);

} // namespace velmora
