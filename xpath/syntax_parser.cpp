// Parsing: a bottom-up shift-reduce procedure over the tokens. Each token becomes a syntax
// node, the current node; the current node is pushed onto a stack or combined with the
// nodes on top of it into a larger node, which is examined in turn, decided by its class,
// the classes on top of the stack and the kind of the next token. Every operand climbs
// the ladder of unit nodes up to TDomXPathExpr, which makes the precedence of the
// operators: or, and, equality, relational, additive, multiplicative, unary minus, union,
// path. The parse never backtracks and each rule does a fixed amount of work, so parsing
// is linear in the length of the text.

#include <algorithm>
#include <vector>

#include "xpath/expression_nodes.h"
#include "xpath/location_path_nodes.h"
#include "xpath/syntax_tree.h"

namespace velmora {

// The parser's stack; Peek(0) is the top, and entries beyond the bottom are none. The
// nodes belong to the tree, so dropping one frees nothing.
class TDomXPathSyntaxNodeStack {
public:
  // Room for the stacks of everyday expressions, which stay short.
  TDomXPathSyntaxNodeStack() { FNodes.reserve(32); }

  int Length() const { return static_cast<int>(FNodes.size()); }
  TDomXPathSyntaxNode* Peek(int index) const {
    return index < Length() ? FNodes[FNodes.size() - 1 - static_cast<size_t>(index)] : nullptr;
  }
  TDomXPathSyntaxNode* Pop() {
    TDomXPathSyntaxNode* node = FNodes.back();
    FNodes.pop_back();
    FOpenBrackets -= IsBracket(node);
    return node;
  }
  void Push(TDomXPathSyntaxNode* node) {
    FNodes.push_back(node);
    FOpenBrackets += IsBracket(node);
  }
  // The number of "(" and "[" on the stack.
  int OpenBrackets() const { return FOpenBrackets; }

private:
  static bool IsBracket(const TDomXPathSyntaxNode* node) {
    return node->IsA(ncLeftParenthesis) || node->IsA(ncLeftSquareBracket);
  }

  std::vector<TDomXPathSyntaxNode*> FNodes;
  int FOpenBrackets = 0;
};

class TDomXPathParser {
public:
  TDomXPathParser(TDomXPathSyntaxTree& tree, std::u16string_view text)
      : FTree(tree), FTokenizer(text, u"1.0") {}

  // The expression the text reduces to, or none.
  TDomXPathExpr* Parse();

private:
  using TNode = TDomXPathSyntaxNode;
  using enum TDomXPathTokenKind;

  // Each rule returns the node to examine next, or none when it has pushed the current
  // node and the next token is due.
  TNode* Reduce(TNode* current);
  TNode* ReduceAbbreviatedStep(TDomXPathCustomAxisName* axis);
  TNode* ReduceLiteral(TNode* current);
  TNode* ReduceFilterExpr(TNode* current);
  TNode* ReduceNodeTest(TNode* current);
  TNode* ReducePredicate(TNode* current);
  TNode* ReduceRightParenthesis(TNode* current);
  TNode* ReduceFunctionCall(TNode* current);
  TNode* ReduceRightSquareBracket(TNode* current);
  TNode* ReduceShefferStroke(TNode* current);
  TNode* ReduceSlash(TNode* current);
  TNode* ReduceStep(TNode* current);
  TNode* ReducePathExpr(TNode* current);
  TNode* ReduceUnaryExpr(TNode* current);
  TNode* ReduceMultiplicativeExpr(TNode* current);
  TNode* ReduceAdditiveExpr(TNode* current);
  TNode* ReduceRelationalExpr(TNode* current);
  TNode* ReduceEqualityExpr(TNode* current);
  TNode* ReduceAndExpr(TNode* current);
  TNode* ReduceOrExpr(TNode* current);

  // The axis of a step written without axis name: attribute when "@" is on top (it is
  // dropped), else child.
  TDomXPathCustomAxisName* AbbreviatedAxis();
  // The two-operand expression of the operator on top of the stack, whose left operand
  // is below it; both are taken off.
  TNode* BuildOperation(TNode* right);

  template <class T> T* Build(TNode* left, TNode* right = nullptr) {
    T* node = FTree.Make<T>();
    Link(node, left, right);
    return node;
  }
  static void Link(TNode* node, TNode* left, TNode* right) {
    node->SetLeft(left);
    node->SetRight(right);
  }

  TNode* Push(TNode* node) {
    FStack.Push(node);
    return nullptr;
  }
  TNode* Pop() { return FStack.Pop(); }
  void Drop() { FStack.Pop(); }
  // Whether the stack entry at index (0 the top) is of the class or classes.
  bool EntryIs(int index, TDomXPathNodeClass nodeClass) const {
    const TNode* node = FStack.Peek(index);
    return node && node->IsA(nodeClass);
  }
  bool EntryIsOneOf(int index, TDomXPathNodeClasses classes) const {
    const TNode* node = FStack.Peek(index);
    return node && node->IsOneOf(classes);
  }
  bool NextIs(TDomXPathTokenKind kind) { return FTokenizer.IsFollowing(kind); }
  bool NextIsOneOf(TDomXPathTokenKinds kinds) { return kinds.Contains(FTokenizer.NextKind()); }

  TDomXPathSyntaxTree& FTree;
  TDomXPathTokenizer FTokenizer;
  TDomXPathSyntaxNodeStack FStack;
  // The arguments of the function call being built, last first.
  std::vector<TDomXPathExpr*> FArguments;
};

namespace {

using enum TDomXPathTokenKind;

// Of the brackets open at one time, each but the innermost encloses an expression, which
// nests at least twelve levels deeper (from TDomXPathExpr down to the primary expression or
// the predicate). A text with more brackets open at once than this can only end too deep:
// it is refused at once, before it fills memory with a tree that would be refused anyway.
constexpr int kMaxOpenBrackets = TDomXPathSyntaxTree::kMaxNestingDepth / 12 + 1;

// The operators that may follow a complete operand of each level, so that it waits on
// the stack for its right operand.
constexpr TDomXPathTokenKinds kMultiplicativeFollowers = {ShefferStrokeOperator, MultiplyOperator,
                                                          DivOperator, ModOperator};
constexpr TDomXPathTokenKinds kAdditiveFollowers =
    kMultiplicativeFollowers | TDomXPathTokenKinds{PlusOperator, MinusOperator};
constexpr TDomXPathTokenKinds kRelationalFollowers =
    kAdditiveFollowers | TDomXPathTokenKinds::Range(LessThanOperator, GreaterThanOrEqualOperator);
constexpr TDomXPathTokenKinds kEqualityFollowers =
    kRelationalFollowers | TDomXPathTokenKinds{IsEqualOperator, IsNotEqualOperator};
constexpr TDomXPathTokenKinds kAndFollowers = kEqualityFollowers | TDomXPathTokenKinds{AndOperator};
constexpr TDomXPathTokenKinds kOrFollowers = kAndFollowers | TDomXPathTokenKinds{OrOperator};

constexpr TDomXPathNodeClasses kMultiplicativeOperators = {ncMultiplyOperator, ncDivOperator,
                                                           ncModOperator};
constexpr TDomXPathNodeClasses kAdditiveOperators = {ncPlusOperator, ncMinusOperator};
constexpr TDomXPathNodeClasses kRelationalOperators =
    TDomXPathNodeClasses::Range(ncLessThanOperator, ncGreaterThanOrEqualOperator);
constexpr TDomXPathNodeClasses kEqualityOperators = {ncIsEqualOperator, ncIsNotEqualOperator};

// What a minus sign may follow when it subtracts rather than negates.
constexpr TDomXPathNodeClasses kMinuends = {ncPlusExpr, ncMinusExpr, ncMultiplyExpr, ncDivExpr,
                                            ncModExpr,  ncUnaryExpr, ncUnionExpr};

// The tokens that are pushed as they come, to wait for what completes them: the operators
// but "/" and "|", and the rest below.
constexpr TDomXPathNodeClasses kWaitingTokens =
    TDomXPathNodeClasses::Range(ncAndOperator, ncMultiplyOperator) |
    TDomXPathNodeClasses::Range(ncPlusOperator, ncGreaterThanOrEqualOperator) |
    TDomXPathNodeClasses{
        ncComma,        ncCommercialAt, ncDoubleColon, ncLeftParenthesis, ncLeftSquareBracket,
        ncFunctionName, ncExpr} |
    kAxisNameClasses | kNodeTypeClasses;

} // namespace

TDomXPathExpr* TDomXPathParser::Parse() {
  TDomXPathTokenKind kind;
  std::u16string_view value;
  int position;
  for (;;) {
    FTokenizer.Read(kind, value, position);
    if (kind == EndOfText || kind == InvalidToken) {
      break;
    }
    TNode* current = FTree.CreateSyntaxNode(kind, value);
    while (current) {
      current = Reduce(current);
    }
    if (FStack.OpenBrackets() > kMaxOpenBrackets) {
      FTree.SetNestsTooDeeply();
      return nullptr;
    }
  }
  if (kind != EndOfText || FStack.Length() != 1 || !EntryIs(0, ncExpr)) {
    return nullptr;
  }
  return static_cast<TDomXPathExpr*>(Pop());
}

TDomXPathSyntaxNode* TDomXPathParser::Reduce(TNode* current) {
  const TDomXPathNodeClass nodeClass = current->NodeClass();
  if (kWaitingTokens.Contains(nodeClass)) {
    return Push(current);
  }
  switch (nodeClass) {
  case ncSingleDot:
    return ReduceAbbreviatedStep(FTree.Make<TDomXPathAxisNameSelf>());
  case ncDoubleDot:
    return ReduceAbbreviatedStep(FTree.Make<TDomXPathAxisNameParent>());
  case ncNameTest:
    return Build<TDomXPathNodeTest>(current);
  case ncNumber:
  case ncVariableReference:
    return Build<TDomXPathPrimaryExpr>(current);
  case ncLiteral:
    return ReduceLiteral(current);
  case ncPrimaryExpr:
    return Build<TDomXPathFilterExpr>(current);
  case ncFilterExpr:
    return ReduceFilterExpr(current);
  case ncNodeTest:
    return ReduceNodeTest(current);
  case ncPredicate:
    return ReducePredicate(current);
  case ncRightParenthesis:
    return ReduceRightParenthesis(current);
  case ncRightSquareBracket:
    return ReduceRightSquareBracket(current);
  case ncShefferStrokeOperator:
    return ReduceShefferStroke(current);
  case ncSlashOperator:
    return ReduceSlash(current);
  case ncStep:
    return ReduceStep(current);
  case ncPathExpr:
    return ReducePathExpr(current);
  case ncUnionExpr:
    return NextIs(ShefferStrokeOperator) ? Push(current) : Build<TDomXPathUnaryExpr>(current);
  case ncUnaryExpr:
    return ReduceUnaryExpr(current);
  case ncMultiplyExpr:
  case ncDivExpr:
  case ncModExpr:
    return ReduceMultiplicativeExpr(current);
  case ncPlusExpr:
  case ncMinusExpr:
    return ReduceAdditiveExpr(current);
  case ncLessThanExpr:
  case ncLessThanOrEqualExpr:
  case ncGreaterThanExpr:
  case ncGreaterThanOrEqualExpr:
    return ReduceRelationalExpr(current);
  case ncIsEqualExpr:
  case ncIsNotEqualExpr:
    return ReduceEqualityExpr(current);
  case ncAndExpr:
    return ReduceAndExpr(current);
  case ncOrExpr:
    return ReduceOrExpr(current);
  default:
    return Push(current);
  }
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceAbbreviatedStep(TDomXPathCustomAxisName* axis) {
  // "." is self::node(), ".." parent::node().
  Link(axis, Build<TDomXPathNodeTest>(FTree.Make<TDomXPathNodeTypeNode>()), nullptr);
  return Build<TDomXPathStep>(axis);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceLiteral(TNode* current) {
  // The target of processing-instruction('...') waits for its parenthesis.
  if (EntryIs(0, ncLeftParenthesis) && EntryIs(1, ncNodeTypePI) && NextIs(RightParenthesis)) {
    return Push(current);
  }
  return Build<TDomXPathPrimaryExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceFilterExpr(TNode* current) {
  if (NextIs(SlashOperator) || NextIs(LeftSquareBracket)) {
    return Push(current);
  }
  return FTree.Make<TDomXPathPathExpr>(current, nullptr);
}

TDomXPathCustomAxisName* TDomXPathParser::AbbreviatedAxis() {
  if (EntryIs(0, ncCommercialAt)) {
    Drop();
    return FTree.Make<TDomXPathAxisNameAttribute>();
  }
  return FTree.Make<TDomXPathAxisNameChild>();
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceNodeTest(TNode* current) {
  if (NextIs(LeftSquareBracket)) {
    return Push(current);
  }
  if (!EntryIs(0, ncDoubleColon)) {
    TDomXPathCustomAxisName* axis = AbbreviatedAxis();
    Link(axis, current, nullptr);
    return Build<TDomXPathStep>(axis);
  }
  if (EntryIsOneOf(1, kAxisNameClasses)) {
    Drop();
    TNode* axis = Pop();
    Link(axis, current, nullptr);
    return Build<TDomXPathStep>(axis);
  }
  return Push(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReducePredicate(TNode* current) {
  if (EntryIs(0, ncFilterExpr)) {
    return Build<TDomXPathFilterExpr>(Pop(), current);
  }
  if (NextIs(LeftSquareBracket)) {
    return Push(current);
  }
  if (EntryIs(0, ncPredicate)) {
    // The last predicate of a run has come: link the run up from its end.
    TNode* previous = Pop();
    previous->SetRight(current);
    return previous;
  }
  if (!EntryIs(0, ncNodeTest)) {
    return Push(current);
  }
  if (!EntryIs(1, ncDoubleColon)) {
    TNode* nodeTest = Pop();
    TDomXPathCustomAxisName* axis = AbbreviatedAxis();
    Link(axis, nodeTest, current);
    return Build<TDomXPathStep>(axis);
  }
  if (EntryIsOneOf(2, kAxisNameClasses)) {
    TNode* nodeTest = Pop();
    Drop();
    TNode* axis = Pop();
    Link(axis, nodeTest, current);
    return Build<TDomXPathStep>(axis);
  }
  return Push(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceRightParenthesis(TNode* current) {
  if (EntryIs(0, ncLeftParenthesis) && EntryIsOneOf(1, kNodeTypeClasses)) {
    Drop();
    return Build<TDomXPathNodeTest>(Pop());
  }
  if (EntryIs(0, ncLiteral) && EntryIs(1, ncLeftParenthesis) && EntryIs(2, ncNodeTypePI)) {
    TNode* target = Pop();
    Drop();
    TNode* nodeType = Pop();
    nodeType->SetLeft(target);
    return Build<TDomXPathNodeTest>(nodeType);
  }
  if (EntryIs(0, ncExpr) && EntryIs(1, ncLeftParenthesis) && !EntryIs(2, ncFunctionName)) {
    TNode* primary = Build<TDomXPathPrimaryExpr>(Pop());
    Drop();
    return primary;
  }
  return ReduceFunctionCall(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceFunctionCall(TNode* current) {
  TDomXPathFunctionCall* call = FTree.Make<TDomXPathFunctionCall>();
  FArguments.clear();
  while (EntryIs(0, ncExpr)) {
    FArguments.push_back(static_cast<TDomXPathExpr*>(Pop()));
    // A comma only stands between two arguments: "f(,a)" is refused.
    if (!EntryIs(0, ncComma) || !EntryIs(1, ncExpr)) {
      break;
    }
    Drop();
  }
  if (!EntryIs(0, ncLeftParenthesis) || !EntryIs(1, ncFunctionName)) {
    // The parse fails: the parenthesis stays on the stack for good.
    Push(call);
    return Push(current);
  }
  Drop();
  call->SetFunctionName(Pop()->Value());
  std::span<TDomXPathExpr*> arguments = FTree.MakeArray<TDomXPathExpr*>(FArguments.size());
  std::copy(FArguments.rbegin(), FArguments.rend(), arguments.begin());
  call->SetArguments(arguments);
  return Build<TDomXPathPrimaryExpr>(call);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceRightSquareBracket(TNode* current) {
  if (EntryIs(0, ncExpr) && EntryIs(1, ncLeftSquareBracket)) {
    TNode* predicate = Build<TDomXPathPredicate>(Pop());
    Drop();
    return predicate;
  }
  return Push(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceShefferStroke(TNode* current) {
  if (EntryIs(0, ncPathExpr)) {
    Push(Build<TDomXPathUnionExpr>(Pop()));
  }
  return Push(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceSlash(TNode* current) {
  // A "/" where an absolute path may begin (the start, after "|" or "(") that ends the
  // text or stands before "|" or ")" is the root path alone, as in "count(/)"; any other
  // waits for its step.
  const bool mayBegin = FStack.Length() == 0 || EntryIs(0, ncShefferStrokeOperator) ||
                        EntryIs(0, ncLeftParenthesis);
  if (!mayBegin ||
      (!NextIs(EndOfText) && !NextIs(ShefferStrokeOperator) && !NextIs(RightParenthesis))) {
    return Push(current);
  }
  return FTree.Make<TDomXPathPathExpr>(FTree.Make<TDomXPathAbsoluteLocationPath>(), nullptr);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceStep(TNode* current) {
  TDomXPathStep* step = static_cast<TDomXPathStep*>(current);
  if (!EntryIs(0, ncSlashOperator)) {
    return FTree.Make<TDomXPathPathExpr>(nullptr, step);
  }
  if (EntryIs(1, ncFilterExpr)) {
    Drop();
    return FTree.Make<TDomXPathPathExpr>(Pop(), step);
  }
  if (EntryIs(1, ncPathExpr)) {
    Drop();
    auto* path = static_cast<TDomXPathPathExpr*>(Pop());
    path->AddStep(step);
    return path;
  }
  // An absolute path begins only at the start of the text, after "|" and after "(".
  if (!FStack.Peek(1) || EntryIs(1, ncShefferStrokeOperator) || EntryIs(1, ncLeftParenthesis)) {
    Drop();
    return FTree.Make<TDomXPathPathExpr>(FTree.Make<TDomXPathAbsoluteLocationPath>(), step);
  }
  return Push(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReducePathExpr(TNode* current) {
  if (NextIs(SlashOperator)) {
    return Push(current);
  }
  if (EntryIs(0, ncShefferStrokeOperator) && EntryIs(1, ncUnionExpr)) {
    Drop();
    return Build<TDomXPathUnionExpr>(Pop(), current);
  }
  return Build<TDomXPathUnionExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceUnaryExpr(TNode* current) {
  if (NextIs(ShefferStrokeOperator)) {
    return Push(current);
  }
  if (EntryIs(0, ncMinusOperator) && !EntryIsOneOf(1, kMinuends)) {
    // A minus without left operand is a sign; it stays in the tree.
    return Build<TDomXPathUnaryExpr>(Pop(), current);
  }
  if (EntryIsOneOf(0, kMultiplicativeOperators) && EntryIsOneOf(1, kMultiplicativeExprClasses)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathMultiplyExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceMultiplicativeExpr(TNode* current) {
  if (NextIsOneOf(kMultiplicativeFollowers)) {
    return Push(current);
  }
  if (EntryIsOneOf(0, kAdditiveOperators) && EntryIsOneOf(1, kAdditiveExprClasses)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathPlusExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceAdditiveExpr(TNode* current) {
  if (NextIsOneOf(kAdditiveFollowers)) {
    return Push(current);
  }
  if (EntryIsOneOf(0, kRelationalOperators) && EntryIsOneOf(1, kRelationalExprClasses)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathLessThanExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceRelationalExpr(TNode* current) {
  if (NextIsOneOf(kRelationalFollowers)) {
    return Push(current);
  }
  if (EntryIsOneOf(0, kEqualityOperators) && EntryIsOneOf(1, kEqualityExprClasses)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathIsEqualExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceEqualityExpr(TNode* current) {
  if (NextIsOneOf(kEqualityFollowers)) {
    return Push(current);
  }
  if (EntryIs(0, ncAndOperator) && EntryIs(1, ncAndExpr)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathAndExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceAndExpr(TNode* current) {
  if (NextIsOneOf(kAndFollowers)) {
    return Push(current);
  }
  if (EntryIs(0, ncOrOperator) && EntryIs(1, ncOrExpr)) {
    return BuildOperation(current);
  }
  return Build<TDomXPathOrExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::ReduceOrExpr(TNode* current) {
  if (NextIsOneOf(kOrFollowers)) {
    return Push(current);
  }
  return Build<TDomXPathExpr>(current);
}

TDomXPathSyntaxNode* TDomXPathParser::BuildOperation(TNode* right) {
  const TDomXPathNodeClass operatorClass = Pop()->NodeClass();
  TNode* left = Pop();
  switch (operatorClass) {
  case ncOrOperator:
    return Build<TDomXPathOrExpr>(left, right);
  case ncAndOperator:
    return Build<TDomXPathAndExpr>(left, right);
  case ncIsEqualOperator:
    return Build<TDomXPathIsEqualExpr>(left, right);
  case ncIsNotEqualOperator:
    return Build<TDomXPathIsNotEqualExpr>(left, right);
  case ncLessThanOperator:
    return Build<TDomXPathLessThanExpr>(left, right);
  case ncLessThanOrEqualOperator:
    return Build<TDomXPathLessThanOrEqualExpr>(left, right);
  case ncGreaterThanOperator:
    return Build<TDomXPathGreaterThanExpr>(left, right);
  case ncGreaterThanOrEqualOperator:
    return Build<TDomXPathGreaterThanOrEqualExpr>(left, right);
  case ncPlusOperator:
    return Build<TDomXPathPlusExpr>(left, right);
  case ncMinusOperator:
    return Build<TDomXPathMinusExpr>(left, right);
  case ncMultiplyOperator:
    return Build<TDomXPathMultiplyExpr>(left, right);
  case ncDivOperator:
    return Build<TDomXPathDivExpr>(left, right);
  default:
    return Build<TDomXPathModExpr>(left, right);
  }
}

bool TDomXPathSyntaxTree::Prepare(std::u16string_view text) {
  // The text is taken first: it may be a view of something the clearing releases.
  FText.assign(text);
  clear();
  TDomXPathExpr* root = TDomXPathParser(*this, FText).Parse();
  if (root && (FNodeCount <= kMaxNestingDepth ||
               SyntaxNestingDepth(root, kMaxNestingDepth) <= kMaxNestingDepth)) {
    FRootExpression = root;
  } else if (root) {
    FNestsTooDeeply = true;
  }
  return IsPrepared();
}

} // namespace velmora
