#pragma once
// Function calls and variable references: the core functions run here, and what the
// engine does not know is asked of the document's implementation object.

#include "xpath/evaluation.h"

namespace velmora {

class TDomXPathFunctionCall;
class TDomXPathVariableReference;

TDomXPathResultPtr EvaluateFunctionCall(const TDomXPathFunctionCall* call,
                                        const TDomXPathContext& context);
TDomXPathResultPtr EvaluateVariableReference(const TDomXPathVariableReference* variable);

} // namespace velmora
