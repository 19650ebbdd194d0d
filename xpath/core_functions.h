#pragma once
// The core function library: one procedure per function of XPath 1.0.

#include "xpath/core_function_names.h"
#include "xpath/evaluation.h"

namespace velmora {

class TDomXPathFunctionCall;

// A core function: it evaluates the call's arguments itself, with the call's context.
using TDomXPathCoreFunctionProc = TDomXPathResultPtr (*)(const TDomXPathFunctionCall& call,
                                                         const TDomXPathContext& context);

// The class of result that function gives.
TDomXPathResultType CoreFunctionResultType(TDomXPathCoreFunction function);

// The procedure of function; none for cfNone.
TDomXPathCoreFunctionProc CoreFunctionProc(TDomXPathCoreFunction function);

} // namespace velmora
