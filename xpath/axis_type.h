#pragma once
// The direction in which an axis yields its nodes, and in which a node set lists them.

#include <cstdint>

namespace velmora {

// Forward: document order. Reverse: reverse document order.
enum TDomXPathAxisType : uint8_t { atForward = 0, atReverse = 1 };

} // namespace velmora
