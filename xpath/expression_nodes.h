#pragma once
// The expression nodes of a syntax tree: the ladder from TDomXPathExpr down to the unary
// and union expressions, and the primary expressions (literals, numbers, variable
// references, function calls). A two-operand node holds its left operand in Left and its
// right one in Right; a unit node holds only Left, the next level down. Operators of one
// level associate to the left, so a run like "1+2+3" is a chain through Left.

#include <span>

#include "xpath/core_function_names.h"
#include "xpath/syntax_node.h"

namespace velmora {

class TDomXPathExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncExpr;
  explicit TDomXPathExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

class TDomXPathOrExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncOrExpr;
  explicit TDomXPathOrExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

class TDomXPathAndExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAndExpr;
  explicit TDomXPathAndExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// The abstract bases of the operator families; the operator is the node's class.
class TDomXPathEqualityExpr : public TDomXPathSyntaxNode {
protected:
  using TDomXPathSyntaxNode::TDomXPathSyntaxNode;
};
class TDomXPathRelationalExpr : public TDomXPathSyntaxNode {
protected:
  using TDomXPathSyntaxNode::TDomXPathSyntaxNode;
};
class TDomXPathAdditiveExpr : public TDomXPathSyntaxNode {
protected:
  using TDomXPathSyntaxNode::TDomXPathSyntaxNode;
};
class TDomXPathMultiplicativeExpr : public TDomXPathSyntaxNode {
protected:
  using TDomXPathSyntaxNode::TDomXPathSyntaxNode;
};

template <class TFamily, TDomXPathNodeClass Class>
class TDomXPathOperatorExpr final : public TFamily {
public:
  static constexpr TDomXPathNodeClass kNodeClass = Class;
  explicit TDomXPathOperatorExpr(TDomXPathSyntaxTree* tree) : TFamily(tree, Class) {}
};

using TDomXPathIsEqualExpr = TDomXPathOperatorExpr<TDomXPathEqualityExpr, ncIsEqualExpr>;
using TDomXPathIsNotEqualExpr = TDomXPathOperatorExpr<TDomXPathEqualityExpr, ncIsNotEqualExpr>;
using TDomXPathLessThanExpr = TDomXPathOperatorExpr<TDomXPathRelationalExpr, ncLessThanExpr>;
using TDomXPathLessThanOrEqualExpr =
    TDomXPathOperatorExpr<TDomXPathRelationalExpr, ncLessThanOrEqualExpr>;
using TDomXPathGreaterThanExpr = TDomXPathOperatorExpr<TDomXPathRelationalExpr, ncGreaterThanExpr>;
using TDomXPathGreaterThanOrEqualExpr =
    TDomXPathOperatorExpr<TDomXPathRelationalExpr, ncGreaterThanOrEqualExpr>;
using TDomXPathPlusExpr = TDomXPathOperatorExpr<TDomXPathAdditiveExpr, ncPlusExpr>;
using TDomXPathMinusExpr = TDomXPathOperatorExpr<TDomXPathAdditiveExpr, ncMinusExpr>;
using TDomXPathMultiplyExpr = TDomXPathOperatorExpr<TDomXPathMultiplicativeExpr, ncMultiplyExpr>;
using TDomXPathDivExpr = TDomXPathOperatorExpr<TDomXPathMultiplicativeExpr, ncDivExpr>;
using TDomXPathModExpr = TDomXPathOperatorExpr<TDomXPathMultiplicativeExpr, ncModExpr>;

// Unit: Left the union expression. Negation: Left the minus sign (a TDomXPathMinusOperator),
// Right the negated unary expression.
class TDomXPathUnaryExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncUnaryExpr;
  explicit TDomXPathUnaryExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

class TDomXPathUnionExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncUnionExpr;
  explicit TDomXPathUnionExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: a variable reference, a parenthesized TDomXPathExpr, a literal, a number or a
// function call.
class TDomXPathPrimaryExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncPrimaryExpr;
  explicit TDomXPathPrimaryExpr(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Value: the characters between the quotes.
class TDomXPathLiteral final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncLiteral;
  TDomXPathLiteral(TDomXPathSyntaxTree* tree, std::u16string_view value)
      : TDomXPathSyntaxNode(tree, kNodeClass, value) {}
};

// Value: the number as written ("5." included; it reads as NaN).
class TDomXPathNumber final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNumber;
  TDomXPathNumber(TDomXPathSyntaxTree* tree, std::u16string_view value)
      : TDomXPathSyntaxNode(tree, kNodeClass, value) {}
};

// Value: the name without "$", split into prefix and local name.
class TDomXPathVariableReference final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncVariableReference;
  // A name that is no QName raises EInvalid_Character_Err.
  TDomXPathVariableReference(TDomXPathSyntaxTree* tree, std::u16string_view value);

  std::u16string_view Prefix() const { return FPrefix; }
  std::u16string_view LocalName() const { return FLocalName; }

private:
  std::u16string_view FPrefix;
  std::u16string_view FLocalName;
};

// Value: the function name. The arguments are TDomXPathExpr nodes in written order.
class TDomXPathFunctionCall final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncFunctionCall;
  explicit TDomXPathFunctionCall(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}

  std::u16string_view FunctionName() const { return Value(); }
  // Names the function and binds the core function of that name (an unprefixed core
  // function name) or none. A name that is no QName raises EInvalid_Character_Err.
  void SetFunctionName(std::u16string_view name);
  std::u16string_view Prefix() const { return FPrefix; }
  std::u16string_view LocalName() const { return FLocalName; }
  TDomXPathCoreFunction CoreFunction() const { return FCoreFunction; }

  std::span<TDomXPathExpr* const> Arguments() const { return FArguments; }
  // arguments must be storage of the tree.
  void SetArguments(std::span<TDomXPathExpr* const> arguments) { FArguments = arguments; }

private:
  std::u16string_view FPrefix;
  std::u16string_view FLocalName;
  std::span<TDomXPathExpr* const> FArguments;
  TDomXPathCoreFunction FCoreFunction = cfNone;
};

} // namespace velmora
