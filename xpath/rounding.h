#pragma once
// XPath's rounding to an integer, in doubles: no value is out of range.

namespace velmora {

// The integer closest to value, halves rounded towards positive infinity; NaN, infinities
// and zeros unchanged, and negative zero for a negative value that rounds to 0.
double XPathRound(double value);

} // namespace velmora
