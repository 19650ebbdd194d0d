#pragma once
// Locale-free conversions between numbers and text: "." is always the decimal separator,
// whatever locale the process runs in.

#include <cstdint>
#include <optional>

#include "runtime/strings.h"

namespace velmora {

NarrowString IntToStr(int64_t value);

// Decimal with an optional sign, or hexadecimal after "$" (also after a sign). The whole
// text must be the number; a value outside the target type's range is refused.
std::optional<int32_t> TryStrToInt(std::string_view text);
std::optional<int64_t> TryStrToInt64(std::string_view text);

// Hexadecimal digits only (no prefix, no sign), range-checked.
std::optional<int64_t> TryHexToInt64(std::string_view digits);

// General format with the given number of significant digits (1 to 17): rounded, trailing
// zeros and a trailing separator removed; fixed notation when the decimal exponent e
// (value = 0.d1d2... x 10^e) lies between -3 and significantDigits, otherwise scientific
// ("1E15", "1.5E-5"). NaN gives "NaN", infinities "Infinity" and "-Infinity".
NarrowString FloatToStrGeneral(double value, int significantDigits);

// A decimal number with one optional sign, "." as separator and an optional exponent; the
// whole text must be the number (no "inf" or "nan").
std::optional<double> TryStrToFloat(std::string_view text);

} // namespace velmora
