#include "xpath/core_function_names.h"

#include <iterator>

namespace velmora {

namespace {

// In the order of the enumeration, from cfLast.
constexpr std::u16string_view kNames[] = {
    u"last",
    u"position",
    u"count",
    u"id",
    u"local-name",
    u"namespace-uri",
    u"name",
    u"string",
    u"concat",
    u"starts-with",
    u"contains",
    u"substring-before",
    u"substring-after",
    u"substring",
    u"string-length",
    u"normalize-space",
    u"translate",
    u"boolean",
    u"not",
    u"true",
    u"false",
    u"lang",
    u"number",
    u"sum",
    u"floor",
    u"ceiling",
    u"round",
};
static_assert(std::size(kNames) == cfRound);

} // namespace

TDomXPathCoreFunction CoreFunctionByName(std::u16string_view localName) {
  for (size_t i = 0; i < std::size(kNames); ++i) {
    if (kNames[i] == localName) {
      return static_cast<TDomXPathCoreFunction>(i + 1);
    }
  }
  return cfNone;
}

} // namespace velmora
