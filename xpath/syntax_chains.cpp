#include "xpath/syntax_chains.h"

#include <array>

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

namespace {

// When a node of a class hands its Left's value through unchanged.
enum TUnitRule : uint8_t {
  urNever,
  urAlways,        // the expression root and the primary expression
  urWithoutRight,  // an operator node with one operand, a filter expression without predicate
  urUnsignedUnary, // a unary expression without sign
  urFilterPath,    // a path of a filter expression and no steps
};

constexpr auto kUnitRules = [] {
  std::array<TUnitRule, ncNodeClassCount> rules{};
  rules[ncExpr] = rules[ncPrimaryExpr] = urAlways;
  for (TDomXPathNodeClass c :
       {ncOrExpr, ncAndExpr, ncIsEqualExpr, ncIsNotEqualExpr, ncLessThanExpr, ncLessThanOrEqualExpr,
        ncGreaterThanExpr, ncGreaterThanOrEqualExpr, ncPlusExpr, ncMinusExpr, ncModExpr, ncDivExpr,
        ncMultiplyExpr, ncUnionExpr, ncFilterExpr}) {
    rules[c] = urWithoutRight;
  }
  rules[ncUnaryExpr] = urUnsignedUnary;
  rules[ncPathExpr] = urFilterPath;
  return rules;
}();

bool IsUnit(const TDomXPathSyntaxNode* node) {
  switch (kUnitRules[node->NodeClass()]) {
  case urAlways:
    return true;
  case urWithoutRight:
    return !node->Right();
  case urUnsignedUnary:
    return !node->Right() && node->Left() && !node->Left()->IsA(ncMinusOperator);
  case urFilterPath:
    return !node->Right() && node->Left() && node->Left()->IsA(ncFilterExpr);
  case urNever:
    break;
  }
  return false;
}

} // namespace

const TDomXPathSyntaxNode* SkipUnitNodes(const TDomXPathSyntaxNode* node) {
  while (node && IsUnit(node)) {
    node = node->Left();
  }
  return node;
}

} // namespace velmora
