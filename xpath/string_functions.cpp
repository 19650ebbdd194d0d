// The core functions on strings. Lengths and positions count UTF-16 code units, the first
// being 1; strings compare code unit by code unit.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "dom/xml_rules.h"
#include "dom/dom_node.h"
#include "xpath/core_function_procs.h"
#include "xpath/function_arguments.h"
#include "xpath/number_text.h"
#include "xpath/rounding.h"

namespace velmora::core_functions {

namespace {

// The argument, or the context node's string value without one.
WideString StringOrContextValue(const TDomXPathArguments& arguments) {
  arguments.CheckCount(0, 1);
  return arguments.Count() == 0 ? arguments.ContextNode()->xpathStringValue()
                                : arguments.String(0);
}

// Positions are rounded and compared as doubles, so that no value of start or length is
// out of range; only positions within the string become indexes.
WideString SubstringOf(const WideString& text, double start, std::optional<double> length) {
  const double size = static_cast<double>(text.size());
  double first; // from 1
  double end;   // exclusive
  if (!length) {
    if (std::isnan(start) || start == INFINITY) {
      return WideString();
    }
    first = start == -INFINITY ? 1 : XPathRound(start);
    end = size + 1;
  } else {
    if (!std::isfinite(start) || std::isnan(*length) || *length == -INFINITY) {
      return WideString();
    }
    first = XPathRound(start);
    end = *length == INFINITY ? size + 1 : first + XPathRound(*length);
  }
  first = std::max(first, 1.0);
  end = std::min(end, size + 1);
  if (!(first < end)) {
    return WideString();
  }
  return text.substr(static_cast<size_t>(first) - 1, static_cast<size_t>(end - first));
}

WideString Translated(std::u16string_view text, std::u16string_view from, std::u16string_view to) {
  // What each code unit of from becomes (its first occurrence decides): an index into to,
  // or none when to is too short, and the unit is removed.
  struct TMapping {
    char16_t From;
    int32_t To;
  };
  std::vector<TMapping> mappings;
  mappings.reserve(from.size());
  for (size_t i = 0; i < from.size(); ++i) {
    mappings.push_back({from[i], i < to.size() ? static_cast<int32_t>(i) : -1});
  }
  const auto byUnit = [](const TMapping& a, const TMapping& b) { return a.From < b.From; };
  std::stable_sort(mappings.begin(), mappings.end(), byUnit);
  mappings.erase(std::unique(mappings.begin(), mappings.end(),
                             [](const TMapping& a, const TMapping& b) { return a.From == b.From; }),
                 mappings.end());
  WideString result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    const auto found = std::lower_bound(mappings.begin(), mappings.end(), TMapping{c, 0}, byUnit);
    if (found == mappings.end() || found->From != c) {
      result += c;
    } else if (found->To >= 0) {
      result += to[static_cast<size_t>(found->To)];
    }
  }
  return result;
}

} // namespace

TDomXPathResultPtr String(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(0, 1);
  if (arguments.Count() == 0) {
    return NewStringResult(arguments.ContextNode()->xpathStringValue());
  }
  return ToStringResult(arguments.Value(0));
}

TDomXPathResultPtr Concat(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2, SIZE_MAX);
  WideString result;
  for (size_t i = 0; i < arguments.Count(); ++i) {
    result += arguments.String(i);
  }
  return NewStringResult(std::move(result));
}

TDomXPathResultPtr StartsWith(const TDomXPathFunctionCall& call,
                              const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2);
  const auto [text, start] = arguments.Strings<2>();
  return NewBooleanResult(text.starts_with(start));
}

TDomXPathResultPtr Contains(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2);
  const auto [text, part] = arguments.Strings<2>();
  return NewBooleanResult(text.find(part) != WideString::npos);
}

TDomXPathResultPtr SubstringBefore(const TDomXPathFunctionCall& call,
                                   const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2);
  const auto [text, part] = arguments.Strings<2>();
  const size_t at = part.empty() ? WideString::npos : text.find(part);
  return NewStringResult(at == WideString::npos ? WideString() : text.substr(0, at));
}

TDomXPathResultPtr SubstringAfter(const TDomXPathFunctionCall& call,
                                  const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2);
  const auto [text, part] = arguments.Strings<2>();
  const size_t at = text.find(part);
  return NewStringResult(at == WideString::npos ? WideString() : text.substr(at + part.size()));
}

TDomXPathResultPtr Substring(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(2, 3);
  const TDomXPathResultPtr text = arguments.Value(0);
  const TDomXPathResultPtr start = arguments.Value(1);
  const WideString value = arguments.CheckedString(*text);
  const double from = arguments.CheckedNumber(*start, "number.");
  std::optional<double> length;
  if (arguments.Count() == 3) {
    length = arguments.CheckedNumber(*arguments.Value(2), "number.");
  }
  return NewStringResult(SubstringOf(value, from, length));
}

TDomXPathResultPtr StringLength(const TDomXPathFunctionCall& call,
                                const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  return NewNumberResult(static_cast<double>(StringOrContextValue(arguments).size()));
}

TDomXPathResultPtr NormalizeSpace(const TDomXPathFunctionCall& call,
                                  const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  return NewStringResult(collapseWhiteSpace(StringOrContextValue(arguments)));
}

TDomXPathResultPtr Translate(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(3);
  const auto [text, from, to] = arguments.Strings<3>();
  return NewStringResult(Translated(text, from, to));
}

} // namespace velmora::core_functions
