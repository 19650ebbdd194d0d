#include "xpath/syntax_tree.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "dom/dom_node.h"
#include "xpath/evaluation.h"
#include "xpath/expression_nodes.h"
#include "xpath/location_path_nodes.h"
#include "xpath/node_kinds.h"
#include "xpath/xpath_expression.h"

namespace velmora {

void TDomXPathSyntaxTree::clear() {
  FRootExpression = nullptr;
  FNestsTooDeeply = false;
  FNodeCount = 0;
  FArena.Release();
}

TDomXPathResultPtr TDomXPathSyntaxTree::Evaluate(TDomNode* contextNode) {
  constexpr TDomNodeKinds kContextKinds =
      NodeKindBit(nkElement) | NodeKindBit(nkAttribute) | NodeKindBit(nkText) |
      NodeKindBit(nkProcessingInstruction) | NodeKindBit(nkComment) | NodeKindBit(nkDocument) |
      NodeKindBit(nkXPathNamespace);
  if (contextNode && !HasKind(kContextKinds, contextNode->nodeType())) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  if (!FRootExpression) {
    throw EXPath_Invalid_Expression_Err("No valid XPath expression prepared.");
  }
  struct TContextScope {
    TDomNode*& Slot;
    TDomNode* Saved;
    ~TContextScope() { Slot = Saved; }
  } scope{FContextNode, FContextNode};
  FContextNode = contextNode;
  return EvaluateExpression(FRootExpression, {contextNode, 1, 1});
}

WideString TDomXPathSyntaxTree::LookupNamespaceURI(const WideString& prefix) const {
  if (FOwnerExpression) {
    return FOwnerExpression->LookupNamespaceURI(prefix);
  }
  return FContextNode ? FContextNode->lookupNamespaceURI(prefix) : WideString();
}

std::u16string_view TDomXPathSyntaxTree::KeepText(std::u16string_view text) {
  const std::less<const char16_t*> before;
  if (text.empty() || (!before(text.data(), FText.data()) &&
                       !before(FText.data() + FText.size(), text.data() + text.size()))) {
    return text;
  }
  std::span<char16_t> copy = MakeArray<char16_t>(text.size());
  std::copy(text.begin(), text.end(), copy.begin());
  return {copy.data(), copy.size()};
}

TDomXPathSyntaxNode* TDomXPathSyntaxTree::CreateSyntaxNode(TDomXPathTokenKind kind,
                                                           std::u16string_view value) {
  using enum TDomXPathTokenKind;
  value = KeepText(value);
  switch (kind) {
  case LeftParenthesis:
    return Make<TDomXPathLeftParenthesis>(value);
  case RightParenthesis:
    return Make<TDomXPathRightParenthesis>(value);
  case LeftSquareBracket:
    return Make<TDomXPathLeftSquareBracket>(value);
  case RightSquareBracket:
    return Make<TDomXPathRightSquareBracket>(value);
  case SingleDot:
    return Make<TDomXPathSingleDot>(value);
  case DoubleDot:
    return Make<TDomXPathDoubleDot>(value);
  case CommercialAt:
    return Make<TDomXPathCommercialAt>(value);
  case Comma:
    return Make<TDomXPathComma>(value);
  case DoubleColon:
    return Make<TDomXPathDoubleColon>(value);
  case NameTest:
    return Make<TDomXPathNameTest>(value);
  case NodeTypeComment:
    return Make<TDomXPathNodeTypeComment>();
  case NodeTypeText:
    return Make<TDomXPathNodeTypeText>();
  case NodeTypePI:
    return Make<TDomXPathNodeTypePI>();
  case NodeTypeNode:
    return Make<TDomXPathNodeTypeNode>();
  case AndOperator:
    return Make<TDomXPathAndOperator>(value);
  case OrOperator:
    return Make<TDomXPathOrOperator>(value);
  case ModOperator:
    return Make<TDomXPathModOperator>(value);
  case DivOperator:
    return Make<TDomXPathDivOperator>(value);
  case MultiplyOperator:
    return Make<TDomXPathMultiplyOperator>(value);
  case SlashOperator:
    return Make<TDomXPathSlashOperator>(value);
  case ShefferStrokeOperator:
    return Make<TDomXPathShefferStrokeOperator>(value);
  case PlusOperator:
    return Make<TDomXPathPlusOperator>(value);
  case MinusOperator:
    return Make<TDomXPathMinusOperator>(value);
  case IsEqualOperator:
    return Make<TDomXPathIsEqualOperator>(value);
  case IsNotEqualOperator:
    return Make<TDomXPathIsNotEqualOperator>(value);
  case LessThanOperator:
    return Make<TDomXPathLessThanOperator>(value);
  case LessThanOrEqualOperator:
    return Make<TDomXPathLessThanOrEqualOperator>(value);
  case GreaterThanOperator:
    return Make<TDomXPathGreaterThanOperator>(value);
  case GreaterThanOrEqualOperator:
    return Make<TDomXPathGreaterThanOrEqualOperator>(value);
  case FunctionName:
    return Make<TDomXPathFunctionName>(value);
  case AxisNameAncestor:
    return Make<TDomXPathAxisNameAncestor>();
  case AxisNameAncestorOrSelf:
    return Make<TDomXPathAxisNameAncestorOrSelf>();
  case AxisNameAttribute:
    return Make<TDomXPathAxisNameAttribute>();
  case AxisNameChild:
    return Make<TDomXPathAxisNameChild>();
  case AxisNameDescendant:
    return Make<TDomXPathAxisNameDescendant>();
  case AxisNameDescendantOrSelf:
    return Make<TDomXPathAxisNameDescendantOrSelf>();
  case AxisNameFollowing:
    return Make<TDomXPathAxisNameFollowing>();
  case AxisNameFollowingSibling:
    return Make<TDomXPathAxisNameFollowingSibling>();
  case AxisNameNamespace:
    return Make<TDomXPathAxisNameNamespace>();
  case AxisNameParent:
    return Make<TDomXPathAxisNameParent>();
  case AxisNamePreceding:
    return Make<TDomXPathAxisNamePreceding>();
  case AxisNamePrecedingSibling:
    return Make<TDomXPathAxisNamePrecedingSibling>();
  case AxisNameSelf:
    return Make<TDomXPathAxisNameSelf>();
  case Literal:
    return Make<TDomXPathLiteral>(value);
  case Number:
    return Make<TDomXPathNumber>(value);
  case VariableReference:
    return Make<TDomXPathVariableReference>(value);
  case EndOfText:
  case InvalidToken:
    break;
  }
  return nullptr;
}

namespace {

// The flat chains: a link from a node to a node of the same family, on the family's side,
// does not nest.
enum TChainFamily : uint8_t {
  chNone,
  chOr,
  chAnd,
  chEquality,
  chRelational,
  chAdditive,
  chMultiplicative,
  chUnion,
  chFilter, // the filter expressions of a primary expression's predicates
  // These three run through Right, the others through Left.
  chSteps,
  chPredicates,
  chSigns,
};

constexpr auto kChainFamilies = [] {
  std::array<TChainFamily, ncNodeClassCount> families{};
  families[ncOrExpr] = chOr;
  families[ncAndExpr] = chAnd;
  families[ncIsEqualExpr] = families[ncIsNotEqualExpr] = chEquality;
  for (int c = ncLessThanExpr; c <= ncGreaterThanOrEqualExpr; ++c) {
    families[c] = chRelational;
  }
  families[ncPlusExpr] = families[ncMinusExpr] = chAdditive;
  families[ncModExpr] = families[ncDivExpr] = families[ncMultiplyExpr] = chMultiplicative;
  families[ncUnionExpr] = chUnion;
  families[ncFilterExpr] = chFilter;
  families[ncStep] = chSteps;
  families[ncPredicate] = chPredicates;
  families[ncUnaryExpr] = chSigns;
  return families;
}();

TChainFamily ChainFamily(const TDomXPathSyntaxNode* node) {
  return kChainFamilies[node->NodeClass()];
}

bool ChainsThroughRight(TChainFamily family) {
  return family == chSteps || family == chPredicates || family == chSigns;
}

// Whether the link from parent to child (its Left when viaLeft) continues a flat chain.
bool IsChainLink(const TDomXPathSyntaxNode* parent, const TDomXPathSyntaxNode* child,
                 bool viaLeft) {
  const TChainFamily family = ChainFamily(parent);
  if (family == chNone || ChainFamily(child) != family) {
    return false;
  }
  // A chain through Left runs along two-operand nodes; a unit node ends it.
  return ChainsThroughRight(family) ? !viaLeft : viaLeft && parent->Right() != nullptr;
}

} // namespace

int SyntaxNestingDepth(const TDomXPathSyntaxNode* root, int limit) {
  struct TPending {
    const TDomXPathSyntaxNode* Node;
    int Depth;
  };
  std::vector<TPending> pending;
  if (root) {
    pending.push_back({root, 1});
  }
  int deepest = 0;
  auto visit = [&pending](const TDomXPathSyntaxNode* parent, const TDomXPathSyntaxNode* child,
                          int depth, bool viaLeft) {
    if (child) {
      pending.push_back({child, IsChainLink(parent, child, viaLeft) ? depth : depth + 1});
    }
  };
  while (!pending.empty() && deepest <= limit) {
    const TPending entry = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, entry.Depth);
    visit(entry.Node, entry.Node->Left(), entry.Depth, true);
    visit(entry.Node, entry.Node->Right(), entry.Depth, false);
    if (entry.Node->IsA(ncFunctionCall)) {
      for (const TDomXPathExpr* argument :
           static_cast<const TDomXPathFunctionCall*>(entry.Node)->Arguments()) {
        visit(entry.Node, argument, entry.Depth, false);
      }
    }
  }
  return deepest;
}

} // namespace velmora
