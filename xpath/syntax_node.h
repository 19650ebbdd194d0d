#pragma once
// The syntax node: what every node of an XPath syntax tree shares. A node has two links,
// Left and Right, whose meaning depends on its class, and a value (the token's text for
// names, literals and numbers). Nodes live in their tree's storage and are released all
// at once by the tree, so they have no destructor of their own and must hold nothing that
// needs one; values are views into text the tree keeps.

#include <cstdint>
#include <string_view>

#include "xpath/expression_tokenizer.h"

namespace velmora {

class TDomXPathSyntaxTree;

// The class of a syntax node. The classes of the tokens have the numbers of their token
// kinds; the classes of finished trees follow, each family of operator expressions in one
// run.
enum TDomXPathNodeClass : uint8_t {
  ncLeftParenthesis = 0,
  ncRightParenthesis,
  ncLeftSquareBracket,
  ncRightSquareBracket,
  ncSingleDot,
  ncDoubleDot,
  ncCommercialAt,
  ncComma,
  ncDoubleColon,
  ncNameTest,
  ncNodeTypeComment,
  ncNodeTypeText,
  ncNodeTypePI,
  ncNodeTypeNode,
  ncAndOperator,
  ncOrOperator,
  ncModOperator,
  ncDivOperator,
  ncMultiplyOperator,
  ncSlashOperator,
  ncShefferStrokeOperator,
  ncPlusOperator,
  ncMinusOperator,
  ncIsEqualOperator,
  ncIsNotEqualOperator,
  ncLessThanOperator,
  ncLessThanOrEqualOperator,
  ncGreaterThanOperator,
  ncGreaterThanOrEqualOperator,
  ncFunctionName,
  ncAxisNameAncestor,
  ncAxisNameAncestorOrSelf,
  ncAxisNameAttribute,
  ncAxisNameChild,
  ncAxisNameDescendant,
  ncAxisNameDescendantOrSelf,
  ncAxisNameFollowing,
  ncAxisNameFollowingSibling,
  ncAxisNameNamespace,
  ncAxisNameParent,
  ncAxisNamePreceding,
  ncAxisNamePrecedingSibling,
  ncAxisNameSelf,
  ncLiteral,
  ncNumber,
  ncVariableReference,
  ncExpr,
  ncOrExpr,
  ncAndExpr,
  ncIsEqualExpr,
  ncIsNotEqualExpr,
  ncLessThanExpr,
  ncLessThanOrEqualExpr,
  ncGreaterThanExpr,
  ncGreaterThanOrEqualExpr,
  ncPlusExpr,
  ncMinusExpr,
  ncModExpr,
  ncDivExpr,
  ncMultiplyExpr,
  ncUnaryExpr,
  ncUnionExpr,
  ncPathExpr,
  ncAbsoluteLocationPath,
  ncFilterExpr,
  ncPrimaryExpr,
  ncStep,
  ncNodeTest,
  ncPredicate,
  ncFunctionCall,
  ncNodeClassCount,
};

static_assert(static_cast<int>(ncVariableReference) ==
              static_cast<int>(TDomXPathTokenKind::VariableReference));

// The class of the node a token becomes.
constexpr TDomXPathNodeClass NodeClassOfToken(TDomXPathTokenKind kind) {
  return static_cast<TDomXPathNodeClass>(kind);
}

// The class name, as "TDomXPathStep": for messages and for looking at trees.
const char* NodeClassName(TDomXPathNodeClass nodeClass);

using TDomXPathNodeClasses = TDomXPathKindSet<TDomXPathNodeClass, ncNodeClassCount>;

constexpr TDomXPathNodeClasses kAxisNameClasses =
    TDomXPathNodeClasses::Range(ncAxisNameAncestor, ncAxisNameSelf);
constexpr TDomXPathNodeClasses kNodeTypeClasses =
    TDomXPathNodeClasses::Range(ncNodeTypeComment, ncNodeTypeNode);
constexpr TDomXPathNodeClasses kEqualityExprClasses = {ncIsEqualExpr, ncIsNotEqualExpr};
constexpr TDomXPathNodeClasses kRelationalExprClasses =
    TDomXPathNodeClasses::Range(ncLessThanExpr, ncGreaterThanOrEqualExpr);
constexpr TDomXPathNodeClasses kAdditiveExprClasses = {ncPlusExpr, ncMinusExpr};
constexpr TDomXPathNodeClasses kMultiplicativeExprClasses =
    TDomXPathNodeClasses::Range(ncModExpr, ncMultiplyExpr);

class TDomXPathSyntaxNode {
public:
  TDomXPathSyntaxNode(const TDomXPathSyntaxNode&) = delete;
  TDomXPathSyntaxNode& operator=(const TDomXPathSyntaxNode&) = delete;

  TDomXPathNodeClass NodeClass() const { return FNodeClass; }
  bool IsA(TDomXPathNodeClass nodeClass) const { return FNodeClass == nodeClass; }
  bool IsOneOf(TDomXPathNodeClasses classes) const { return classes.Contains(FNodeClass); }
  const char* ClassName() const { return NodeClassName(FNodeClass); }

  TDomXPathSyntaxTree* SyntaxTree() const { return FSyntaxTree; }
  TDomXPathSyntaxNode* Left() const { return FLeft; }
  TDomXPathSyntaxNode* Right() const { return FRight; }
  std::u16string_view Value() const { return FValue; }

protected:
  // Only the parser links nodes into trees (and a path its steps); a finished tree does
  // not change.
  friend class TDomXPathParser;
  friend class TDomXPathPathExpr;

  // value must be text that the tree keeps (see TDomXPathSyntaxTree::CreateSyntaxNode).
  TDomXPathSyntaxNode(TDomXPathSyntaxTree* tree, TDomXPathNodeClass nodeClass,
                      std::u16string_view value = {})
      : FSyntaxTree(tree), FValue(value), FNodeClass(nodeClass) {}
  // Trivial, and never called through a base pointer: the tree releases its nodes' storage.
  ~TDomXPathSyntaxNode() = default;

  void SetLeft(TDomXPathSyntaxNode* node) { FLeft = node; }
  void SetRight(TDomXPathSyntaxNode* node) { FRight = node; }
  void SetValue(std::u16string_view value) { FValue = value; }

private:
  TDomXPathSyntaxTree* FSyntaxTree;
  TDomXPathSyntaxNode* FLeft = nullptr;
  TDomXPathSyntaxNode* FRight = nullptr;
  std::u16string_view FValue;
  TDomXPathNodeClass FNodeClass;
};

// The node as T when it is of T's class, else none.
template <class T> T* SyntaxNodeCast(TDomXPathSyntaxNode* node) {
  return node && node->IsA(T::kNodeClass) ? static_cast<T*>(node) : nullptr;
}
template <class T> const T* SyntaxNodeCast(const TDomXPathSyntaxNode* node) {
  return node && node->IsA(T::kNodeClass) ? static_cast<const T*>(node) : nullptr;
}

// The punctuation and operator tokens and the function name: they add nothing and, but for
// the minus sign of a negation, exist only while an expression is parsed.
template <TDomXPathNodeClass Class> class TDomXPathTokenNode final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = Class;
  explicit TDomXPathTokenNode(TDomXPathSyntaxTree* tree, std::u16string_view value = {})
      : TDomXPathSyntaxNode(tree, Class, value) {}
};

using TDomXPathLeftParenthesis = TDomXPathTokenNode<ncLeftParenthesis>;
using TDomXPathRightParenthesis = TDomXPathTokenNode<ncRightParenthesis>;
using TDomXPathLeftSquareBracket = TDomXPathTokenNode<ncLeftSquareBracket>;
using TDomXPathRightSquareBracket = TDomXPathTokenNode<ncRightSquareBracket>;
using TDomXPathSingleDot = TDomXPathTokenNode<ncSingleDot>;
using TDomXPathDoubleDot = TDomXPathTokenNode<ncDoubleDot>;
using TDomXPathCommercialAt = TDomXPathTokenNode<ncCommercialAt>;
using TDomXPathComma = TDomXPathTokenNode<ncComma>;
using TDomXPathDoubleColon = TDomXPathTokenNode<ncDoubleColon>;
using TDomXPathAndOperator = TDomXPathTokenNode<ncAndOperator>;
using TDomXPathOrOperator = TDomXPathTokenNode<ncOrOperator>;
using TDomXPathModOperator = TDomXPathTokenNode<ncModOperator>;
using TDomXPathDivOperator = TDomXPathTokenNode<ncDivOperator>;
using TDomXPathMultiplyOperator = TDomXPathTokenNode<ncMultiplyOperator>;
using TDomXPathSlashOperator = TDomXPathTokenNode<ncSlashOperator>;
using TDomXPathShefferStrokeOperator = TDomXPathTokenNode<ncShefferStrokeOperator>;
using TDomXPathPlusOperator = TDomXPathTokenNode<ncPlusOperator>;
using TDomXPathMinusOperator = TDomXPathTokenNode<ncMinusOperator>;
using TDomXPathIsEqualOperator = TDomXPathTokenNode<ncIsEqualOperator>;
using TDomXPathIsNotEqualOperator = TDomXPathTokenNode<ncIsNotEqualOperator>;
using TDomXPathLessThanOperator = TDomXPathTokenNode<ncLessThanOperator>;
using TDomXPathLessThanOrEqualOperator = TDomXPathTokenNode<ncLessThanOrEqualOperator>;
using TDomXPathGreaterThanOperator = TDomXPathTokenNode<ncGreaterThanOperator>;
using TDomXPathGreaterThanOrEqualOperator = TDomXPathTokenNode<ncGreaterThanOrEqualOperator>;
using TDomXPathFunctionName = TDomXPathTokenNode<ncFunctionName>;

// Splits a qualified name into views of its prefix (empty without colon) and local part;
// a part that is no NCName raises EInvalid_Character_Err "Invalid character error.".
void SplitQualifiedName(std::u16string_view qualifiedName, std::u16string_view& prefix,
                        std::u16string_view& localName);

} // namespace velmora
