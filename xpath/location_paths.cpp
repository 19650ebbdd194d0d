#include "xpath/location_paths.h"

#include <cmath>
#include <span>

#include "dom/document.h"
#include "xpath/axes.h"
#include "xpath/location_path_nodes.h"
#include "xpath/node_tests.h"
#include "xpath/number_text.h"
#include "xpath/syntax_chains.h"

namespace velmora {

namespace {

// What a step selects: an axis, its node test and its first predicate.
struct TStepPlan {
  TDomXPathNodeClass Axis;
  TDomXPathAxisType AxisType;
  TDomNodeType PrincipalKind;
  const TDomXPathSyntaxNode* NodeTest;
  const TDomXPathSyntaxNode* Predicates;
};

TStepPlan PlanOf(const TDomXPathSyntaxNode* step) {
  const TDomXPathSyntaxNode* axis = step->Left();
  if (!axis || !axis->IsOneOf(kAxisNameClasses)) {
    RaiseXPathTypeError();
  }
  const auto* axisName = static_cast<const TDomXPathCustomAxisName*>(axis);
  return {axis->NodeClass(), axisName->AxisType(), axisName->PrincipalNodeKind(), axis->Left(),
          axis->Right()};
}

bool IsNodeTypeTest(const TDomXPathSyntaxNode* nodeTest) {
  return nodeTest && nodeTest->IsA(ncNodeTest) && nodeTest->Left() &&
         nodeTest->Left()->IsA(ncNodeTypeNode);
}

// "descendant-or-self::node()/child::t" without predicates selects what
// "descendant::t" selects: one walk of the tree instead of one visit per node in it. The
// child step, when step starts such a pair.
const TDomXPathSyntaxNode* JoinableChildStep(const TDomXPathSyntaxNode* step) {
  const TDomXPathSyntaxNode* axis = step->Left();
  const TDomXPathSyntaxNode* next = step->Right();
  if (!axis->IsA(ncAxisNameDescendantOrSelf) || axis->Right() || !IsNodeTypeTest(axis->Left()) ||
      !next || !next->IsA(ncStep)) {
    return nullptr;
  }
  const TDomXPathSyntaxNode* nextAxis = next->Left();
  return nextAxis && nextAxis->IsA(ncAxisNameChild) && !nextAxis->Right() ? next : nullptr;
}

// The node that a chain of unit nodes stands for (the number of "[1]", say).
const TDomXPathSyntaxNode* Unwrapped(const TDomXPathSyntaxNode* node) {
  static constexpr TDomXPathNodeClasses kUnitWhenAlone =
      TDomXPathNodeClasses{ncOrExpr, ncAndExpr, ncUnionExpr, ncFilterExpr} | kEqualityExprClasses |
      kRelationalExprClasses | kAdditiveExprClasses | kMultiplicativeExprClasses;
  while (node) {
    if (node->IsA(ncExpr) || node->IsA(ncPrimaryExpr) ||
        (node->IsOneOf(kUnitWhenAlone) && !node->Right()) ||
        (node->IsA(ncUnaryExpr) && !node->Right() && node->Left() &&
         !node->Left()->IsA(ncMinusOperator)) ||
        (node->IsA(ncPathExpr) && !node->Right() && node->Left() &&
         node->Left()->IsA(ncFilterExpr))) {
      node = node->Left();
    } else {
      return node;
    }
  }
  return node;
}

// Applies a chain of predicates to set, one after the other. A predicate keeps a node
// when its value, for the node at its position in the list, is a number equal to that
// position or converts to true.
void ApplyPredicates(const TDomXPathSyntaxNode* predicate, TDomXPathNodeSetResult& set) {
  for (; predicate; predicate = predicate->Right()) {
    const TDomXPathSyntaxNode* expression = predicate->Left();
    if (!predicate->IsA(ncPredicate) || !expression || !expression->IsA(ncExpr)) {
      RaiseXPathTypeError();
    }
    const size_t size = set.Nodes().size();
    if (size == 0) {
      continue;
    }
    // A number literal ("[1]") keeps one node, found without evaluating anything.
    if (const TDomXPathSyntaxNode* value = Unwrapped(expression); value->IsA(ncNumber)) {
      const double position = XPathStringToNumber(value->Value());
      const bool exists =
          position >= 1 && position <= static_cast<double>(size) && std::floor(position) == position;
      set.KeepOnly(exists ? static_cast<size_t>(position) : 0);
      continue;
    }
    set.Filter([expression, size](TDomNode* node, size_t position) {
      const TDomXPathResultPtr result = EvaluateExpression(
          expression, {node, static_cast<int>(position), static_cast<int>(size)});
      return result->ResultType() == rtNumber
                 ? result->AsNumber() == static_cast<double>(position)
                 : result->AsBoolean();
    });
  }
}

// The nodes that plan selects from each node of input, merged in the axis's direction.
TDomXPathNodeSetPtr EvaluateStep(const TStepPlan& plan, std::span<TDomNode* const> input) {
  TDomXPathNodeMatcher test(plan.NodeTest, plan.PrincipalKind);
  TDomXPathNodeSetPtr result = NewNodeSet(plan.AxisType);
  // One list for every context node in turn: positions count within one node's axis.
  TDomXPathNodeSetPtr partial = NewNodeSet(plan.AxisType);
  for (TDomNode* context : input) {
    AppendAxisNodes(plan.Axis, context, test, *partial);
    ApplyPredicates(plan.Predicates, *partial);
    result->AppendRun(*partial);
  }
  result->SettleOrder();
  return result;
}

// The steps from step on, the first applied to input (the nodes of inputOwner, when it
// is given; it lives until the first step is done).
TDomXPathNodeSetPtr EvaluateSteps(const TDomXPathSyntaxNode* step,
                                  std::span<TDomNode* const> input,
                                  TDomXPathNodeSetPtr inputOwner) {
  TDomXPathNodeSetPtr current = std::move(inputOwner);
  for (; step; step = step->Right()) {
    if (!step->IsA(ncStep)) {
      RaiseXPathTypeError();
    }
    TStepPlan plan = PlanOf(step);
    if (input.empty()) {
      break;
    }
    if (const TDomXPathSyntaxNode* child = JoinableChildStep(step)) {
      plan = PlanOf(child);
      plan.Axis = ncAxisNameDescendant;
      step = child;
    }
    current = EvaluateStep(plan, input);
    input = current->Nodes();
  }
  if (!current) {
    current = NewNodeSet();
    for (TDomNode* node : input) {
      current->Add(node);
    }
  }
  return current;
}

} // namespace

TDomXPathResultPtr EvaluatePathExpr(const TDomXPathSyntaxNode* path,
                                    const TDomXPathContext& context) {
  const TDomXPathSyntaxNode* start = path->Left();
  const TDomXPathSyntaxNode* firstStep = path->Right();
  if (firstStep && !firstStep->IsA(ncStep)) {
    RaiseXPathTypeError();
  }
  if (start && start->IsA(ncFilterExpr)) {
    TDomXPathResultPtr result = EvaluateFilterExpr(start, context);
    if (!firstStep) {
      return result;
    }
    TDomXPathNodeSetPtr set = TakeNodeSet(std::move(result));
    const std::span<TDomNode* const> nodes = set->Nodes();
    return EvaluateSteps(firstStep, nodes, std::move(set));
  }
  if (start && start->IsA(ncAbsoluteLocationPath)) {
    TDomNode* document = context.Node ? context.Node->referenceDocument() : nullptr;
    if (!document) {
      RaiseXPathTypeError();
    }
    return EvaluateSteps(firstStep, {&document, 1}, nullptr);
  }
  if (start || !firstStep || !context.Node) {
    RaiseXPathTypeError();
  }
  TDomNode* contextNode = context.Node;
  return EvaluateSteps(firstStep, {&contextNode, 1}, nullptr);
}

TDomXPathResultPtr EvaluateFilterExpr(const TDomXPathSyntaxNode* filter,
                                      const TDomXPathContext& context) {
  // One filter expression per predicate, the first predicate innermost.
  TDomXPathChainLinks links;
  const TDomXPathSyntaxNode* primary = CollectLeftChain(filter, {ncFilterExpr}, links);
  if (!primary->IsA(ncPrimaryExpr)) {
    RaiseXPathTypeError();
  }
  TDomXPathResultPtr result = EvaluateExpression(primary, context);
  if (links.Empty()) {
    return result;
  }
  TDomXPathNodeSetPtr set = TakeNodeSet(std::move(result));
  set->SetAxisType(atForward);
  for (size_t i = links.Size(); i > 0; --i) {
    ApplyPredicates(links[i - 1]->Right(), *set);
  }
  return set;
}

} // namespace velmora
