#pragma once
// Evaluation of syntax trees. Every expression node yields a new result, owned by the
// caller, for a context: a node, its position (from 1) and the size of the list it was
// taken from. Flat chains (operators of one level, steps, predicates) are walked with
// loops; nesting recurses, as deep as the tree is (bounded when it is parsed).

#include "xpath/node_set_result.h"

namespace velmora {

class TDomXPathSyntaxNode;

struct TDomXPathContext {
  TDomNode* Node; // may be none: what needs it then fails
  int Position;
  int Size;
};

// The value of an expression node: an operator expression of any level, a path, filter
// or primary expression, a literal, a number, a variable reference or a function call. A
// tree of another shape raises EXPath_Type_Err "XPath type error.".
TDomXPathResultPtr EvaluateExpression(const TDomXPathSyntaxNode* node,
                                      const TDomXPathContext& context);

// Whether a predicate with this expression keeps the context node: its value is a
// number equal to the context position, or another value that converts to true.
bool PredicateHolds(const TDomXPathSyntaxNode* expression, const TDomXPathContext& context);

[[noreturn]] void RaiseXPathTypeError();

// result as a node set; another class (or none) raises EXPath_Type_Err.
TDomXPathNodeSetPtr TakeNodeSet(TDomXPathResultPtr result);

} // namespace velmora
