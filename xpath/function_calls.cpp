#include "xpath/function_calls.h"

#include "runtime/format.h"
#include "xpath/core_functions.h"
#include "xpath/expression_nodes.h"

namespace velmora {

TDomXPathResultPtr EvaluateFunctionCall(const TDomXPathFunctionCall* call,
                                        const TDomXPathContext& context) {
  if (const TDomXPathCoreFunctionProc function = CoreFunctionProc(call->CoreFunction())) {
    return function(*call, context);
  }
  throw EXPath_Exception("Unknown function name.");
}

TDomXPathResultPtr EvaluateVariableReference(const TDomXPathVariableReference* variable) {
  throw EXPath_Exception(Format("No binding for variable $%S provided.", {variable->Value()}));
}

} // namespace velmora
