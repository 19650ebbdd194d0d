#pragma once
// The comparison operators on results. A node set compares through the string values of
// its nodes, also with a number or a boolean (compared as strings then); other operands
// compare as booleans, strings or numbers.

#include <cstdint>

namespace velmora {

class TDomXPathCustomResult;

// "=", or "!=" with notEqual. Two NaN values are equal.
bool CompareEquality(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     bool notEqual);

enum TDomXPathRelation : uint8_t { reLess, reLessOrEqual, reGreater, reGreaterOrEqual };

// "<", "<=", ">", ">=": strings compare by code units, numbers numerically (false with NaN).
bool CompareRelation(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     TDomXPathRelation relation);

} // namespace velmora
