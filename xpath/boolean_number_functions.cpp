// The core functions on Booleans and numbers: boolean, not, true, false, lang, number, sum,
// floor, ceiling and round. Integers are computed in doubles, never through a narrower
// integer type.

#include <cmath>
#include <limits>

#include "dom/dom_node.h"
#include "xpath/core_function_procs.h"
#include "xpath/function_arguments.h"
#include "xpath/number_text.h"
#include "xpath/rounding.h"
#include "xpath/string_values.h"

namespace velmora {

double XPathRound(double value) {
  if (!std::isfinite(value) || value == 0) {
    return value;
  }
  // value - floor(value) is exact, where floor(value + 0.5) would round 0.49999999999999994
  // up to 1.
  const double below = std::floor(value);
  const double rounded = value - below >= 0.5 ? below + 1 : below;
  return rounded == 0 && value < 0 ? -0.0 : rounded;
}

namespace core_functions {

namespace {

char16_t AsciiLower(char16_t c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// language is wanted, or a sublanguage of it ("en" matches "EN-us").
bool LanguageMatches(std::u16string_view language, std::u16string_view wanted) {
  if (language.size() > wanted.size() && language[wanted.size()] == '-') {
    language = language.substr(0, wanted.size());
  }
  return EqualIgnoringAsciiCase(language, wanted);
}

template <class TRound>
TDomXPathResultPtr RoundedNumber(const TDomXPathFunctionCall& call,
                                 const TDomXPathContext& context, TRound round) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  return NewNumberResult(round(arguments.CheckedNumber(*arguments.Value(0), "a number.")));
}

} // namespace

TDomXPathResultPtr Boolean(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  return ToBooleanResult(arguments.Value(0));
}

TDomXPathResultPtr Not(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  return NewBooleanResult(!arguments.CheckedBoolean(*arguments.Value(0)));
}

TDomXPathResultPtr True(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  TDomXPathArguments(call, context).CheckCount(0);
  return NewBooleanResult(true);
}

TDomXPathResultPtr False(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  TDomXPathArguments(call, context).CheckCount(0);
  return NewBooleanResult(false);
}

TDomXPathResultPtr Lang(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  const TDomNode* node = arguments.ContextNode();
  const WideString wanted = arguments.String(0);
  return NewBooleanResult(LanguageMatches(node->language(), wanted));
}

TDomXPathResultPtr Number(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(0, 1);
  if (arguments.Count() == 0) {
    return NewNumberResult(XPathStringToNumber(arguments.ContextNode()->xpathStringValue()));
  }
  return ToNumberResult(arguments.Value(0));
}

TDomXPathResultPtr Sum(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  const TDomXPathNodeSetPtr set = arguments.NodeSet(0);
  TDomXPathStringValues values;
  double sum = 0;
  for (const TDomNode* node : set->Nodes()) {
    sum += XPathStringToNumber(values.Of(node));
  }
  // The values are finite or NaN: an infinity is an overflow, and fails the sum.
  return NewNumberResult(std::isinf(sum) ? std::numeric_limits<double>::quiet_NaN() : sum);
}

TDomXPathResultPtr Floor(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  return RoundedNumber(call, context, [](double value) { return std::floor(value); });
}

TDomXPathResultPtr Ceiling(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  return RoundedNumber(call, context, [](double value) { return std::ceil(value); });
}

TDomXPathResultPtr Round(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  return RoundedNumber(call, context, XPathRound);
}

} // namespace core_functions
} // namespace velmora
