// The operations of syntax nodes that are more than accessors: names split into prefix and
// local name, function names bound to core functions, steps appended to paths.

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xpath/expression_nodes.h"
#include "xpath/location_path_nodes.h"
#include "xpath/syntax_tree.h"

namespace velmora {

namespace {

constexpr const char* kNodeClassNames[] = {
    "TDomXPathLeftParenthesis",
    "TDomXPathRightParenthesis",
    "TDomXPathLeftSquareBracket",
    "TDomXPathRightSquareBracket",
    "TDomXPathSingleDot",
    "TDomXPathDoubleDot",
    "TDomXPathCommercialAt",
    "TDomXPathComma",
    "TDomXPathDoubleColon",
    "TDomXPathNameTest",
    "TDomXPathNodeTypeComment",
    "TDomXPathNodeTypeText",
    "TDomXPathNodeTypePI",
    "TDomXPathNodeTypeNode",
    "TDomXPathAndOperator",
    "TDomXPathOrOperator",
    "TDomXPathModOperator",
    "TDomXPathDivOperator",
    "TDomXPathMultiplyOperator",
    "TDomXPathSlashOperator",
    "TDomXPathShefferStrokeOperator",
    "TDomXPathPlusOperator",
    "TDomXPathMinusOperator",
    "TDomXPathIsEqualOperator",
    "TDomXPathIsNotEqualOperator",
    "TDomXPathLessThanOperator",
    "TDomXPathLessThanOrEqualOperator",
    "TDomXPathGreaterThanOperator",
    "TDomXPathGreaterThanOrEqualOperator",
    "TDomXPathFunctionName",
    "TDomXPathAxisNameAncestor",
    "TDomXPathAxisNameAncestorOrSelf",
    "TDomXPathAxisNameAttribute",
    "TDomXPathAxisNameChild",
    "TDomXPathAxisNameDescendant",
    "TDomXPathAxisNameDescendantOrSelf",
    "TDomXPathAxisNameFollowing",
    "TDomXPathAxisNameFollowingSibling",
    "TDomXPathAxisNameNamespace",
    "TDomXPathAxisNameParent",
    "TDomXPathAxisNamePreceding",
    "TDomXPathAxisNamePrecedingSibling",
    "TDomXPathAxisNameSelf",
    "TDomXPathLiteral",
    "TDomXPathNumber",
    "TDomXPathVariableReference",
    "TDomXPathExpr",
    "TDomXPathOrExpr",
    "TDomXPathAndExpr",
    "TDomXPathIsEqualExpr",
    "TDomXPathIsNotEqualExpr",
    "TDomXPathLessThanExpr",
    "TDomXPathLessThanOrEqualExpr",
    "TDomXPathGreaterThanExpr",
    "TDomXPathGreaterThanOrEqualExpr",
    "TDomXPathPlusExpr",
    "TDomXPathMinusExpr",
    "TDomXPathModExpr",
    "TDomXPathDivExpr",
    "TDomXPathMultiplyExpr",
    "TDomXPathUnaryExpr",
    "TDomXPathUnionExpr",
    "TDomXPathPathExpr",
    "TDomXPathAbsoluteLocationPath",
    "TDomXPathFilterExpr",
    "TDomXPathPrimaryExpr",
    "TDomXPathStep",
    "TDomXPathNodeTest",
    "TDomXPathPredicate",
    "TDomXPathFunctionCall",
};
static_assert(std::size(kNodeClassNames) == ncNodeClassCount);

} // namespace

const char* NodeClassName(TDomXPathNodeClass nodeClass) {
  return nodeClass < ncNodeClassCount ? kNodeClassNames[nodeClass] : "TDomXPathSyntaxNode";
}

void SplitQualifiedName(std::u16string_view qualifiedName, std::u16string_view& prefix,
                        std::u16string_view& localName) {
  // The rule of qNamePrefix and qNameLocalName, on views: the names are parts of the
  // expression text and need no copies.
  const size_t colon = qualifiedName.find(u':');
  prefix =
      colon == std::u16string_view::npos ? std::u16string_view() : qualifiedName.substr(0, colon);
  localName = colon == std::u16string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
  if ((colon != std::u16string_view::npos && !conformsToNCName(prefix)) ||
      !conformsToNCName(localName)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
}

TDomXPathNameTest::TDomXPathNameTest(TDomXPathSyntaxTree* tree, std::u16string_view value)
    : TDomXPathSyntaxNode(tree, kNodeClass, value) {
  if (value == u"*") {
    FLocalName = value;
  } else if (value.size() >= 2 && value.substr(value.size() - 2) == u":*") {
    FPrefix = value.substr(0, value.size() - 2);
    FLocalName = value.substr(value.size() - 1);
    if (!conformsToNCName(FPrefix)) {
      throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
    }
  } else {
    SplitQualifiedName(value, FPrefix, FLocalName);
  }
}

TDomXPathVariableReference::TDomXPathVariableReference(TDomXPathSyntaxTree* tree,
                                                       std::u16string_view value)
    : TDomXPathSyntaxNode(tree, kNodeClass, value) {
  SplitQualifiedName(value, FPrefix, FLocalName);
}

void TDomXPathFunctionCall::SetFunctionName(std::u16string_view name) {
  if (name == Value()) {
    return;
  }
  const std::u16string_view kept = SyntaxTree()->KeepText(name);
  std::u16string_view prefix;
  std::u16string_view localName;
  SplitQualifiedName(kept, prefix, localName);
  SetValue(kept);
  FPrefix = prefix;
  FLocalName = localName;
  FCoreFunction = prefix.empty() ? CoreFunctionByName(localName) : cfNone;
}

TDomXPathPathExpr::TDomXPathPathExpr(TDomXPathSyntaxTree* tree, TDomXPathSyntaxNode* start,
                                     TDomXPathStep* firstStep)
    : TDomXPathSyntaxNode(tree, kNodeClass), FLastStep(firstStep) {
  SetLeft(start);
  SetRight(firstStep);
}

void TDomXPathPathExpr::AddStep(TDomXPathStep* step) {
  if (FLastStep) {
    FLastStep->SetRight(step);
  } else {
    SetRight(step);
  }
  FLastStep = step;
}

} // namespace velmora
