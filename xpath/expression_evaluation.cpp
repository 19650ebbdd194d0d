// The operators: "or" and "and", comparisons, arithmetic, negation and union, and the
// primary expressions.

#include <cmath>
#include <limits>

#include "dom/dom_node.h"
#include "xpath/comparisons.h"
#include "xpath/evaluation.h"
#include "xpath/expression_nodes.h"
#include "xpath/function_calls.h"
#include "xpath/location_paths.h"
#include "xpath/number_text.h"
#include "xpath/syntax_chains.h"

namespace velmora {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr TDomXPathNodeClasses kLogicalClasses = {ncOrExpr, ncAndExpr};
constexpr TDomXPathNodeClasses kComparisonClasses = kEqualityExprClasses | kRelationalExprClasses;
constexpr TDomXPathNodeClasses kArithmeticClasses =
    kAdditiveExprClasses | kMultiplicativeExprClasses;

double EvaluateNumber(const TDomXPathSyntaxNode* node, const TDomXPathContext& context) {
  return EvaluateExpression(node, context)->AsNumber();
}

bool TruthOf(const TDomXPathSyntaxNode* node, const TDomXPathContext& context);

// "or" stops at the first true operand, "and" at the first false one.
bool LogicalValue(const TDomXPathSyntaxNode* node, const TDomXPathContext& context) {
  const bool isOr = node->IsA(ncOrExpr);
  TDomXPathChainLinks links;
  const TDomXPathSyntaxNode* first = CollectLeftChain(node, {node->NodeClass()}, links);
  bool value = TruthOf(first, context);
  for (size_t i = links.Size(); i > 0 && value != isOr; --i) {
    value = TruthOf(links[i - 1]->Right(), context);
  }
  return value;
}

TDomXPathRelation RelationOf(TDomXPathNodeClass comparison) {
  switch (comparison) {
  case ncLessThanExpr:
    return reLess;
  case ncLessThanOrEqualExpr:
    return reLessOrEqual;
  case ncGreaterThanExpr:
    return reGreater;
  case ncGreaterThanOrEqualExpr:
    return reGreaterOrEqual;
  default:
    RaiseXPathTypeError();
  }
}

bool IsEquality(TDomXPathNodeClass comparison) {
  return comparison == ncIsEqualExpr || comparison == ncIsNotEqualExpr;
}

bool Compare(TDomXPathNodeClass comparison, const TDomXPathCustomResult& left,
             const TDomXPathCustomResult& right) {
  return IsEquality(comparison) ? CompareEquality(left, right, comparison == ncIsNotEqualExpr)
                                : CompareRelation(left, right, RelationOf(comparison));
}

// "operand op 'literal'" (or the literal first) where the operand is a node set: its
// nodes compare with the literal's text as it stands in the expression.
bool CompareWithLiteral(TDomXPathNodeClass comparison, const TDomXPathCustomResult& operand,
                        std::u16string_view literal, bool literalFirst) {
  if (operand.ResultType() != rtNodeSet) {
    const TDomXPathResultPtr text = NewStringResult(WideString(literal));
    return literalFirst ? Compare(comparison, *text, operand) : Compare(comparison, operand, *text);
  }
  const auto& set = static_cast<const TDomXPathNodeSetResult&>(operand);
  if (IsEquality(comparison)) {
    return CompareNodeSetWithString(set, literal, comparison == ncIsNotEqualExpr);
  }
  return CompareNodeSetWithString(set, literal, RelationOf(comparison), literalFirst);
}

// A run of one comparison level ("a = b != c", "a < b <= c") from left to right.
bool ComparisonValue(const TDomXPathSyntaxNode* node, const TDomXPathContext& context) {
  const TDomXPathNodeClasses level =
      node->IsOneOf(kEqualityExprClasses) ? kEqualityExprClasses : kRelationalExprClasses;
  TDomXPathChainLinks links;
  const TDomXPathSyntaxNode* first = CollectLeftChain(node, level, links);
  if (links.Size() == 1) {
    // One comparison with a literal, as in "@type = 'Mobile'": no result for the literal.
    const TDomXPathSyntaxNode* second = links[0]->Right();
    const TDomXPathSyntaxNode* left = SkipUnitNodes(first);
    const TDomXPathSyntaxNode* right = SkipUnitNodes(second);
    if (right && right->IsA(ncLiteral)) {
      return CompareWithLiteral(node->NodeClass(), *EvaluateExpression(first, context),
                                right->Value(), false);
    }
    if (left && left->IsA(ncLiteral)) {
      return CompareWithLiteral(node->NodeClass(), *EvaluateExpression(second, context),
                                left->Value(), true);
    }
  }
  TDomXPathResultPtr value = EvaluateExpression(first, context);
  for (size_t i = links.Size(); i > 0; --i) {
    const TDomXPathResultPtr right = EvaluateExpression(links[i - 1]->Right(), context);
    const bool holds = Compare(links[i - 1]->NodeClass(), *value, *right);
    if (i == 1) {
      return holds;
    }
    value = NewBooleanResult(holds);
  }
  return value->AsBoolean();
}

// The truth of an expression, without a result object where its value is a truth.
bool TruthOf(const TDomXPathSyntaxNode* node, const TDomXPathContext& context) {
  node = SkipUnitNodes(node);
  if (node && node->IsOneOf(kLogicalClasses)) {
    return LogicalValue(node, context);
  }
  if (node && node->IsOneOf(kComparisonClasses)) {
    return ComparisonValue(node, context);
  }
  return EvaluateExpression(node, context)->AsBoolean();
}

// x - q * y with q = x / y truncated to a 64-bit integer; NaN where that integer does not
// exist.
double Modulo(double x, double y) {
  if (y == 0 || !std::isfinite(x) || !std::isfinite(y)) {
    return kNaN;
  }
  const double quotient = x / y;
  if (!(std::fabs(quotient) < 0x1p63)) {
    return kNaN;
  }
  return x - static_cast<double>(static_cast<int64_t>(quotient)) * y;
}

double Arithmetic(TDomXPathNodeClass operation, double x, double y) {
  double value;
  switch (operation) {
  case ncPlusExpr:
    value = x + y;
    break;
  case ncMinusExpr:
    value = x - y;
    break;
  case ncMultiplyExpr:
    value = x * y;
    break;
  case ncDivExpr:
    if (y == 0) {
      return kNaN;
    }
    value = x / y;
    break;
  case ncModExpr:
    return Modulo(x, y);
  default:
    RaiseXPathTypeError();
  }
  // An infinity made from finite numbers is an overflow.
  if (std::isinf(value) && std::isfinite(x) && std::isfinite(y)) {
    return kNaN;
  }
  return value;
}

TDomXPathResultPtr EvaluateArithmetic(const TDomXPathSyntaxNode* node,
                                      const TDomXPathContext& context) {
  const TDomXPathNodeClasses level =
      node->IsOneOf(kAdditiveExprClasses) ? kAdditiveExprClasses : kMultiplicativeExprClasses;
  TDomXPathChainLinks links;
  double value = EvaluateNumber(CollectLeftChain(node, level, links), context);
  for (size_t i = links.Size(); i > 0; --i) {
    value = Arithmetic(links[i - 1]->NodeClass(), value,
                       EvaluateNumber(links[i - 1]->Right(), context));
  }
  return NewNumberResult(value);
}

bool IsNegation(const TDomXPathSyntaxNode* node) {
  return node->IsA(ncUnaryExpr) && node->Left() && node->Left()->IsA(ncMinusOperator);
}

// Signs chain through Right: "- - x" negates twice.
TDomXPathResultPtr EvaluateNegation(const TDomXPathSyntaxNode* node,
                                    const TDomXPathContext& context) {
  bool negate = false;
  while (node && IsNegation(node)) {
    negate = !negate;
    node = node->Right();
  }
  if (!node) {
    RaiseXPathTypeError();
  }
  const double value = EvaluateNumber(node, context);
  return NewNumberResult(negate ? -value : value);
}

bool HasAttributesOrNamespaces(const TDomXPathNodeSetResult& set) {
  for (const TDomNode* node : set.Nodes()) {
    const TDomNodeType kind = node->nodeType();
    if (kind == nkAttribute || kind == nkXPathNamespace) {
      return true;
    }
  }
  return false;
}

// "a | b | c": each right operand receives the union so far. Sets of tree nodes alone
// (every node with a key of its own) are gathered and put in order once at the end, so a
// long run of unions stays linear; attributes and namespace nodes of one element share
// keys, and their order among themselves comes from merging one operand after the other.
TDomXPathResultPtr EvaluateUnion(const TDomXPathSyntaxNode* node, const TDomXPathContext& context) {
  TDomXPathChainLinks links;
  TDomXPathResultPtr first =
      EvaluateExpression(CollectLeftChain(node, {ncUnionExpr}, links), context);
  if (links.Empty()) {
    first->SetAxisType(atForward);
    return first;
  }
  TDomXPathNodeSetPtr united = TakeNodeSet(std::move(first));
  united->SetAxisType(atForward);
  bool unitedShares = HasAttributesOrNamespaces(*united);
  for (size_t i = links.Size(); i > 0; --i) {
    TDomXPathNodeSetPtr right = TakeNodeSet(EvaluateExpression(links[i - 1]->Right(), context));
    if (!unitedShares && !HasAttributesOrNamespaces(*right)) {
      right->SetAxisType(atForward);
      united->AppendRun(*right);
      continue;
    }
    united->SettleOrder();
    right->Merge(*united);
    united = std::move(right);
    united->SetAxisType(atForward);
    unitedShares = HasAttributesOrNamespaces(*united);
  }
  united->SettleOrder();
  return united;
}

} // namespace

void RaiseXPathTypeError() {
  throw EXPath_Type_Err("XPath type error.");
}

bool PredicateHolds(const TDomXPathSyntaxNode* expression, const TDomXPathContext& context) {
  const TDomXPathSyntaxNode* node = SkipUnitNodes(expression);
  if (node && node->IsOneOf(kLogicalClasses | kComparisonClasses)) {
    return TruthOf(node, context);
  }
  const TDomXPathResultPtr result = EvaluateExpression(node, context);
  return result->ResultType() == rtNumber
             ? result->AsNumber() == static_cast<double>(context.Position)
             : result->AsBoolean();
}

TDomXPathNodeSetPtr TakeNodeSet(TDomXPathResultPtr result) {
  if (!result || result->ResultType() != rtNodeSet) {
    RaiseXPathTypeError();
  }
  return TDomXPathNodeSetPtr(static_cast<TDomXPathNodeSetResult*>(result.release()));
}

TDomXPathResultPtr EvaluateExpression(const TDomXPathSyntaxNode* node,
                                      const TDomXPathContext& context) {
  // Unit nodes hand their one operand's result through: a loop, not a call per level.
  while (node) {
    const TDomXPathNodeClass nodeClass = node->NodeClass();
    if (nodeClass == ncExpr || nodeClass == ncPrimaryExpr) {
      node = node->Left();
      continue;
    }
    if (node->IsOneOf(kLogicalClasses | kComparisonClasses | kArithmeticClasses)) {
      if (!node->Right()) {
        node = node->Left();
      } else if (node->IsOneOf(kLogicalClasses)) {
        return NewBooleanResult(LogicalValue(node, context));
      } else if (node->IsOneOf(kComparisonClasses)) {
        return NewBooleanResult(ComparisonValue(node, context));
      } else {
        return EvaluateArithmetic(node, context);
      }
      continue;
    }
    switch (nodeClass) {
    case ncUnaryExpr:
      if (IsNegation(node)) {
        return EvaluateNegation(node, context);
      }
      if (node->Right()) {
        RaiseXPathTypeError();
      }
      node = node->Left();
      continue;
    case ncUnionExpr:
      return EvaluateUnion(node, context);
    case ncPathExpr:
      return EvaluatePathExpr(node, context);
    case ncFilterExpr:
      return EvaluateFilterExpr(node, context);
    case ncLiteral:
      return NewStringResult(WideString(node->Value()));
    case ncNumber:
      return NewNumberResult(XPathStringToNumber(node->Value()));
    case ncVariableReference:
      return EvaluateVariableReference(static_cast<const TDomXPathVariableReference*>(node));
    case ncFunctionCall:
      return EvaluateFunctionCall(static_cast<const TDomXPathFunctionCall*>(node), context);
    default:
      RaiseXPathTypeError();
    }
  }
  RaiseXPathTypeError();
}

} // namespace velmora
