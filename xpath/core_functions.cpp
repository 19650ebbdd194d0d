#include "xpath/core_functions.h"

#include "runtime/format.h"
#include "xpath/expression_nodes.h"

namespace velmora {

namespace {

[[noreturn]] void RaiseCallError(const char* pattern, const TDomXPathFunctionCall& call) {
  throw EXPath_Invalid_Function_Call_Err(Format(pattern, {call.LocalName()}));
}

void CheckArgumentCount(const TDomXPathFunctionCall& call, size_t count) {
  if (call.Arguments().size() != count) {
    RaiseCallError("Arguments mismatch error in %S().", call);
  }
}

TDomXPathResultPtr Last(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  CheckArgumentCount(call, 0);
  if (context.Size < 1) {
    throw EXPath_Invalid_Function_Call_Err("Invalid context size.");
  }
  return NewNumberResult(context.Size);
}

TDomXPathResultPtr Position(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  CheckArgumentCount(call, 0);
  if (context.Position < 1) {
    throw EXPath_Invalid_Function_Call_Err("Invalid context position.");
  }
  return NewNumberResult(context.Position);
}

TDomXPathResultPtr Count(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  CheckArgumentCount(call, 1);
  const TDomXPathResultPtr set = EvaluateExpression(call.Arguments()[0], context);
  if (set->ResultType() != rtNodeSet) {
    RaiseCallError("Argument mismatch error in %S(): Expression does not evaluate to node-set.",
                   call);
  }
  return NewNumberResult(set->Length());
}

} // namespace

TDomXPathResultType CoreFunctionResultType(TDomXPathCoreFunction function) {
  switch (function) {
  case cfId:
    return rtNodeSet;
  case cfLocalName:
  case cfNamespaceUri:
  case cfName:
  case cfString:
  case cfConcat:
  case cfSubstringBefore:
  case cfSubstringAfter:
  case cfSubstring:
  case cfNormalizeSpace:
  case cfTranslate:
    return rtString;
  case cfStartsWith:
  case cfContains:
  case cfBoolean:
  case cfNot:
  case cfTrue:
  case cfFalse:
  case cfLang:
    return rtBoolean;
  default:
    return rtNumber; // also for functions the engine does not know: they may give one
  }
}

TDomXPathCoreFunctionProc CoreFunctionProc(TDomXPathCoreFunction function) {
  switch (function) {
  case cfLast:
    return Last;
  case cfPosition:
    return Position;
  case cfCount:
    return Count;
  default:
    return nullptr;
  }
}

} // namespace velmora
