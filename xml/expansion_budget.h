#pragma once
// What one operation may produce by expanding entities: replacement text, nodes and
// nesting. Operations over a whole document earn an allowance for every node of the
// document they pass, so that expansion stays proportional to what the document holds;
// past the limits the operation ends with ekRecursiveEntity and kExpansionLimitClue.

#include <cstddef>
#include <string_view>

namespace velmora {

class TExpansionBudget {
public:
  static constexpr size_t kMaxUnits = size_t{1} << 22; // UTF-16 units of replacement text
  static constexpr size_t kMaxNodes = size_t{1} << 18;
  static constexpr size_t kMaxDepth = 256; // references within references
  static constexpr size_t kUnitsPerNode = 256;
  static constexpr size_t kNodesPerNode = 16;
  static constexpr std::u16string_view kExpansionLimitClue = u"expansion limit reached";

  // False once the units or nodes produced exceed what is allowed.
  bool ChargeUnits(size_t units) {
    FUnits += units;
    return FUnits <= FUnitLimit;
  }
  bool ChargeNodes(size_t nodes) {
    FNodes += nodes;
    return FNodes <= FNodeLimit;
  }
  // The allowance for one node of the document passed.
  void GrantNode() {
    FUnitLimit += kUnitsPerNode;
    FNodeLimit += kNodesPerNode;
  }

private:
  size_t FUnits = 0;
  size_t FNodes = 0;
  size_t FUnitLimit = kMaxUnits;
  size_t FNodeLimit = kMaxNodes;
};

} // namespace velmora
