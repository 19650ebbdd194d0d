#pragma once
// Numbers as XPath writes and reads them, the same in every process locale.

#include <string_view>

#include "runtime/strings.h"

namespace velmora {

// NaN, Infinity and -Infinity by name; any other value rounded to 15 significant digits,
// in fixed notation from 0.0001 to below 10^15 and in scientific notation ("1E15",
// "1.5E-5") outside; negative zero as "0".
WideString XPathNumberToString(double value);

// Optional white space, an optional minus sign, digits with at most one point that is not
// the last character (".5" but not "5."), optional white space: the value, correctly
// rounded. Anything else, a plus sign and exponents included, is NaN; so is a value too
// large for a double.
double XPathStringToNumber(std::u16string_view text);

} // namespace velmora
