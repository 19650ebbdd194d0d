#pragma once
// The 27 core functions of XPath 1.0, by name: what a function call binds when its name
// has no prefix.

#include <cstdint>
#include <string_view>

namespace velmora {

enum TDomXPathCoreFunction : uint8_t {
  cfNone = 0,
  cfLast,
  cfPosition,
  cfCount,
  cfId,
  cfLocalName,
  cfNamespaceUri,
  cfName,
  cfString,
  cfConcat,
  cfStartsWith,
  cfContains,
  cfSubstringBefore,
  cfSubstringAfter,
  cfSubstring,
  cfStringLength,
  cfNormalizeSpace,
  cfTranslate,
  cfBoolean,
  cfNot,
  cfTrue,
  cfFalse,
  cfLang,
  cfNumber,
  cfSum,
  cfFloor,
  cfCeiling,
  cfRound,
};

// The core function of that local name, or cfNone.
TDomXPathCoreFunction CoreFunctionByName(std::u16string_view localName);

} // namespace velmora
