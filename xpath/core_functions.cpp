#include "xpath/core_functions.h"

#include <iterator>

#include "xpath/core_function_procs.h"

namespace velmora {

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
  using namespace core_functions;
  // In the order of the enumeration, from cfLast.
  static constexpr TDomXPathCoreFunctionProc kProcs[] = {
      Last,   Position,  Count,     Id,         LocalName,       NamespaceUri,   Name,
      String, Concat,    StartsWith, Contains,  SubstringBefore, SubstringAfter, Substring,
      StringLength, NormalizeSpace, Translate, Boolean, Not,      True,           False,
      Lang,   Number,    Sum,       Floor,      Ceiling,         Round,
  };
  static_assert(std::size(kProcs) == cfRound);
  return function == cfNone || function > cfRound ? nullptr : kProcs[function - 1];
}

} // namespace velmora
