#include "xpath/location_paths.h"

#include <cmath>
#include <limits>
#include <span>
#include <unordered_set>
#include <vector>

#include "dom/document.h"
#include "xpath/axes.h"
#include "xpath/core_functions.h"
#include "xpath/expression_nodes.h"
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

// Whether a predicate with this expression may have a number as its value (it then
// selects by position).
bool MayBeNumber(const TDomXPathSyntaxNode* expression) {
  const TDomXPathSyntaxNode* node = SkipUnitNodes(expression);
  if (!node) {
    return true;
  }
  if (node->IsOneOf(TDomXPathNodeClasses{ncOrExpr, ncAndExpr, ncUnionExpr, ncPathExpr, ncFilterExpr,
                                         ncLiteral} |
                    kEqualityExprClasses | kRelationalExprClasses)) {
    return false; // booleans, node sets and strings
  }
  if (const auto* call = SyntaxNodeCast<TDomXPathFunctionCall>(node)) {
    return CoreFunctionResultType(call->CoreFunction()) == rtNumber;
  }
  return true;
}

// Whether expression reads the position or size of its context: through position() or
// last(), or through a function the engine does not know (which receives both). The
// predicates inside it have contexts of their own.
bool ReadsContextPosition(const TDomXPathSyntaxNode* expression) {
  std::vector<const TDomXPathSyntaxNode*> pending = {expression};
  while (!pending.empty()) {
    const TDomXPathSyntaxNode* node = pending.back();
    pending.pop_back();
    if (!node || node->IsA(ncPredicate)) {
      continue;
    }
    if (const auto* call = SyntaxNodeCast<TDomXPathFunctionCall>(node)) {
      const TDomXPathCoreFunction function = call->CoreFunction();
      if (function == cfLast || function == cfPosition || function == cfNone) {
        return true;
      }
      pending.insert(pending.end(), call->Arguments().begin(), call->Arguments().end());
    }
    pending.push_back(node->Left());
    pending.push_back(node->Right());
  }
  return false;
}

// Whether predicates select the same nodes whatever positions their nodes have.
bool IgnorePositions(const TDomXPathSyntaxNode* predicate) {
  for (; predicate; predicate = predicate->Right()) {
    if (MayBeNumber(predicate->Left()) || ReadsContextPosition(predicate->Left())) {
      return false;
    }
  }
  return true;
}

// "descendant-or-self::node()/child::t[p]" selects what "descendant::t[p]" selects when
// the predicates p do not count positions: one sweep of the tree instead of one visit per
// node in it. The child step, when step starts such a pair.
const TDomXPathSyntaxNode* JoinableChildStep(const TDomXPathSyntaxNode* step) {
  const TDomXPathSyntaxNode* axis = step->Left();
  const TDomXPathSyntaxNode* next = step->Right();
  if (!axis->IsA(ncAxisNameDescendantOrSelf) || axis->Right() || !IsNodeTypeTest(axis->Left()) ||
      !next || !next->IsA(ncStep)) {
    return nullptr;
  }
  const TDomXPathSyntaxNode* nextAxis = next->Left();
  return nextAxis && nextAxis->IsA(ncAxisNameChild) && IgnorePositions(nextAxis->Right()) ? next
                                                                                          : nullptr;
}

// The position that a predicate asks for when its expression is a number literal
// ("[1]"), else NaN.
double ConstantPosition(const TDomXPathSyntaxNode* predicate) {
  const TDomXPathSyntaxNode* value = predicate ? SkipUnitNodes(predicate->Left()) : nullptr;
  return value && value->IsA(ncNumber) ? XPathStringToNumber(value->Value())
                                       : std::numeric_limits<double>::quiet_NaN();
}

// Applies a chain of predicates to set, one after the other. A predicate keeps a node
// when its value, for the node at its position in the list, is a number equal to that
// position or converts to true.
void ApplyPredicates(const TDomXPathSyntaxNode* predicate, TDomXPathNodeSetResult& set,
                     double firstPosition) {
  for (bool first = true; predicate; predicate = predicate->Right(), first = false) {
    const TDomXPathSyntaxNode* expression = predicate->Left();
    if (!predicate->IsA(ncPredicate) || !expression || !expression->IsA(ncExpr)) {
      RaiseXPathTypeError();
    }
    const size_t size = set.Nodes().size();
    if (size == 0) {
      continue;
    }
    // A number literal keeps one node, found without evaluating anything.
    if (const double position = first ? firstPosition : ConstantPosition(predicate);
        !std::isnan(position)) {
      const bool exists = position >= 1 && position <= static_cast<double>(size) &&
                          std::floor(position) == position;
      set.KeepOnly(exists ? static_cast<size_t>(position) : 0);
      continue;
    }
    set.Filter([expression, size](TDomNode* node, size_t position) {
      return PredicateHolds(expression, {node, static_cast<int>(position), static_cast<int>(size)});
    });
  }
}

// The nodes that plan selects from each node of input, merged in the axis's direction.
TDomXPathNodeSetPtr EvaluateStep(const TStepPlan& plan, std::span<TDomNode* const> input) {
  TDomXPathNodeMatcher test(plan.NodeTest, plan.PrincipalKind);
  TDomXPathAxisNeeds needs;
  // "[n]" first: the axis is needed up to its n-th node.
  const double firstPosition = ConstantPosition(plan.Predicates);
  if (firstPosition >= 1) {
    needs.Limit = firstPosition < 1e18 ? static_cast<size_t>(firstPosition) : needs.Limit;
  }
  // Without predicates the step is the union of its context nodes' axes: context nodes
  // whose axes others hold, and ancestors reached before, need no second walk.
  std::unordered_set<const TDomNode*> reached;
  std::vector<TDomNode*> uncovered;
  if (!plan.Predicates && input.size() > 1) {
    if (plan.Axis == ncAxisNameAncestor || plan.Axis == ncAxisNameAncestorOrSelf) {
      needs.Reached = &reached;
    } else if (SelectUncoveredContexts(plan.Axis, input, uncovered)) {
      input = uncovered;
    }
  }
  TDomXPathNodeSetPtr result = NewNodeSet(plan.AxisType);
  if (input.size() == 1) {
    AppendAxisNodes(plan.Axis, input[0], test, *result, needs);
    ApplyPredicates(plan.Predicates, *result, firstPosition);
    return result;
  }
  // One list for every context node in turn: positions count within one node's axis.
  TDomXPathNodeSetPtr partial = NewNodeSet(plan.AxisType);
  for (TDomNode* context : input) {
    AppendAxisNodes(plan.Axis, context, test, *partial, needs);
    ApplyPredicates(plan.Predicates, *partial, firstPosition);
    result->AppendRun(*partial);
  }
  result->SettleOrder();
  return result;
}

// The steps from step on, the first applied to input (the nodes of inputOwner, when it
// is given; it lives until the first step is done).
TDomXPathNodeSetPtr EvaluateSteps(const TDomXPathSyntaxNode* step, std::span<TDomNode* const> input,
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
    ApplyPredicates(links[i - 1]->Right(), *set, ConstantPosition(links[i - 1]->Right()));
  }
  return set;
}

} // namespace velmora
