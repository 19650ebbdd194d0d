#include "xpath/syntax_chains.h"

#include "xpath/evaluation.h"

namespace velmora {

const TDomXPathSyntaxNode* CollectLeftChain(const TDomXPathSyntaxNode* node,
                                            TDomXPathNodeClasses family,
                                            TDomXPathChainLinks& links) {
  while (node && node->IsOneOf(family) && node->Right()) {
    links.Push(node);
    node = node->Left();
  }
  if (!node || !node->IsOneOf(family) || !node->Left()) {
    RaiseXPathTypeError();
  }
  return node->Left();
}

const TDomXPathSyntaxNode* SkipUnitNodes(const TDomXPathSyntaxNode* node) {
  static constexpr TDomXPathNodeClasses kUnitWhenAlone =
      TDomXPathNodeClasses{ncOrExpr, ncAndExpr, ncUnionExpr, ncFilterExpr} | kEqualityExprClasses |
      kRelationalExprClasses | kAdditiveExprClasses | kMultiplicativeExprClasses;
  while (node) {
    const bool unit =
        node->IsA(ncExpr) || node->IsA(ncPrimaryExpr) ||
        (node->IsOneOf(kUnitWhenAlone) && !node->Right()) ||
        (node->IsA(ncUnaryExpr) && !node->Right() && node->Left() &&
         !node->Left()->IsA(ncMinusOperator)) ||
        (node->IsA(ncPathExpr) && !node->Right() && node->Left() && node->Left()->IsA(ncFilterExpr));
    if (!unit) {
      return node;
    }
    node = node->Left();
  }
  return node;
}

} // namespace velmora
