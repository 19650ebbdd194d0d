#pragma once
// The procedures of the core functions, by group; core_functions.cpp binds them to names.

#include "xpath/core_functions.h"

namespace velmora::core_functions {

// Node sets: node_set_functions.cpp.
TDomXPathResultPtr Last(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Position(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Count(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Id(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr LocalName(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr NamespaceUri(const TDomXPathFunctionCall& call,
                                const TDomXPathContext& context);
TDomXPathResultPtr Name(const TDomXPathFunctionCall& call, const TDomXPathContext& context);

// Strings: string_functions.cpp.
TDomXPathResultPtr String(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Concat(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr StartsWith(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Contains(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr SubstringBefore(const TDomXPathFunctionCall& call,
                                   const TDomXPathContext& context);
TDomXPathResultPtr SubstringAfter(const TDomXPathFunctionCall& call,
                                  const TDomXPathContext& context);
TDomXPathResultPtr Substring(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr StringLength(const TDomXPathFunctionCall& call,
                                const TDomXPathContext& context);
TDomXPathResultPtr NormalizeSpace(const TDomXPathFunctionCall& call,
                                  const TDomXPathContext& context);
TDomXPathResultPtr Translate(const TDomXPathFunctionCall& call, const TDomXPathContext& context);

// Booleans and numbers: boolean_number_functions.cpp.
TDomXPathResultPtr Boolean(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Not(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr True(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr False(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Lang(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Number(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Sum(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Floor(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Ceiling(const TDomXPathFunctionCall& call, const TDomXPathContext& context);
TDomXPathResultPtr Round(const TDomXPathFunctionCall& call, const TDomXPathContext& context);

} // namespace velmora::core_functions
