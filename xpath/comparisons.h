#pragma once
// The comparison operators on results. A node set compares through the string values of
// its nodes, also with a number or a boolean (compared as strings then); other operands
// compare as booleans, strings or numbers.

#include <cstdint>
#include <string_view>

namespace velmora {

class TDomXPathCustomResult;

// "=", or "!=" with notEqual. Two NaN values are equal.
bool CompareEquality(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     bool notEqual);

enum TDomXPathRelation : uint8_t { reLess, reLessOrEqual, reGreater, reGreaterOrEqual };

// "<", "<=", ">", ">=": strings compare by code units, numbers numerically (false with NaN).
bool CompareRelation(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     TDomXPathRelation relation);

class TDomXPathNodeSetResult;

// The rules for a node set and a string, without a string result: "set = text" ("!="
// with notEqual), and "set relation text" ("text relation set" with textFirst).
bool CompareNodeSetWithString(const TDomXPathNodeSetResult& set, std::u16string_view text,
                              bool notEqual);
bool CompareNodeSetWithString(const TDomXPathNodeSetResult& set, std::u16string_view text,
                              TDomXPathRelation relation, bool textFirst);

} // namespace velmora
