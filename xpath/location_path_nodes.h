#pragma once
// The location-path nodes of a syntax tree: path and filter expressions, steps, the
// thirteen axis names, node tests and predicates. A path holds its first step in Right,
// each step the next one; an axis name holds its node test in Left and its first
// predicate in Right, each predicate the next one. A filter expression with predicates
// nests one TDomXPathFilterExpr per predicate.

#include "dom/dom_types.h"
#include "xpath/axis_type.h"
#include "xpath/syntax_node.h"

namespace velmora {

class TDomXPathStep;

// Left: a filter expression, the absolute-path marker, or none for a relative location
// path. Right: the first step, or none.
class TDomXPathPathExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncPathExpr;
  TDomXPathPathExpr(TDomXPathSyntaxTree* tree, TDomXPathSyntaxNode* start,
                    TDomXPathStep* firstStep);

  // Appends step to the path, in constant time: the path keeps its last step.
  void AddStep(TDomXPathStep* step);

private:
  TDomXPathStep* FLastStep;
};

// The marker in Left of a path that starts at the root.
class TDomXPathAbsoluteLocationPath final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAbsoluteLocationPath;
  explicit TDomXPathAbsoluteLocationPath(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: the primary expression, or, with a predicate in Right, the filter expression it
// applies to.
class TDomXPathFilterExpr final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncFilterExpr;
  explicit TDomXPathFilterExpr(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: the axis name. Right: the next step, or none.
class TDomXPathStep final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncStep;
  explicit TDomXPathStep(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: the node test. Right: the first predicate, or none.
class TDomXPathCustomAxisName : public TDomXPathSyntaxNode {
public:
  TDomXPathAxisType AxisType() const { return FAxisType; }
  // The kind of node a name test selects on this axis.
  TDomNodeType PrincipalNodeKind() const { return FPrincipalNodeKind; }

protected:
  TDomXPathCustomAxisName(TDomXPathSyntaxTree* tree, TDomXPathNodeClass nodeClass,
                          TDomXPathAxisType axisType = atForward,
                          TDomNodeType principalNodeKind = nkElement)
      : TDomXPathSyntaxNode(tree, nodeClass), FAxisType(axisType),
        FPrincipalNodeKind(principalNodeKind) {}

private:
  TDomXPathAxisType FAxisType;
  TDomNodeType FPrincipalNodeKind;
};

class TDomXPathAxisNameAncestor final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameAncestor;
  explicit TDomXPathAxisNameAncestor(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atReverse) {}
};

class TDomXPathAxisNameAncestorOrSelf final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameAncestorOrSelf;
  explicit TDomXPathAxisNameAncestorOrSelf(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atReverse) {}
};

class TDomXPathAxisNameAttribute final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameAttribute;
  explicit TDomXPathAxisNameAttribute(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atForward, nkAttribute) {}
};

class TDomXPathAxisNameChild final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameChild;
  explicit TDomXPathAxisNameChild(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNameDescendant final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameDescendant;
  explicit TDomXPathAxisNameDescendant(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNameDescendantOrSelf final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameDescendantOrSelf;
  explicit TDomXPathAxisNameDescendantOrSelf(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNameFollowing final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameFollowing;
  explicit TDomXPathAxisNameFollowing(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNameFollowingSibling final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameFollowingSibling;
  explicit TDomXPathAxisNameFollowingSibling(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNameNamespace final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameNamespace;
  explicit TDomXPathAxisNameNamespace(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atForward, nkXPathNamespace) {}
};

class TDomXPathAxisNameParent final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameParent;
  explicit TDomXPathAxisNameParent(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

class TDomXPathAxisNamePreceding final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNamePreceding;
  explicit TDomXPathAxisNamePreceding(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atReverse) {}
};

class TDomXPathAxisNamePrecedingSibling final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNamePrecedingSibling;
  explicit TDomXPathAxisNamePrecedingSibling(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass, atReverse) {}
};

class TDomXPathAxisNameSelf final : public TDomXPathCustomAxisName {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncAxisNameSelf;
  explicit TDomXPathAxisNameSelf(TDomXPathSyntaxTree* tree)
      : TDomXPathCustomAxisName(tree, kNodeClass) {}
};

// Left: a name test or one of the four node-type tests.
class TDomXPathNodeTest final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNodeTest;
  explicit TDomXPathNodeTest(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Value: "*", "prefix:*" or a QName, split into prefix and local name ("*" for both
// wildcards).
class TDomXPathNameTest final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNameTest;
  // A value that is none of these raises EInvalid_Character_Err.
  TDomXPathNameTest(TDomXPathSyntaxTree* tree, std::u16string_view value);

  std::u16string_view Prefix() const { return FPrefix; }
  std::u16string_view LocalName() const { return FLocalName; }

private:
  std::u16string_view FPrefix;
  std::u16string_view FLocalName;
};

class TDomXPathNodeTypeComment final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNodeTypeComment;
  explicit TDomXPathNodeTypeComment(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

class TDomXPathNodeTypeText final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNodeTypeText;
  explicit TDomXPathNodeTypeText(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

class TDomXPathNodeTypeNode final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNodeTypeNode;
  explicit TDomXPathNodeTypeNode(TDomXPathSyntaxTree* tree)
      : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: the literal naming the target, or none.
class TDomXPathNodeTypePI final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncNodeTypePI;
  explicit TDomXPathNodeTypePI(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

// Left: the expression. Right: the next predicate, or none.
class TDomXPathPredicate final : public TDomXPathSyntaxNode {
public:
  static constexpr TDomXPathNodeClass kNodeClass = ncPredicate;
  explicit TDomXPathPredicate(TDomXPathSyntaxTree* tree) : TDomXPathSyntaxNode(tree, kNodeClass) {}
};

} // namespace velmora
