#pragma once
// A tagged value that is empty or holds a string, a number or a Boolean.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

class TVariant {
public:
  enum TKind : uint8_t { vkEmpty, vkString, vkNumber, vkBoolean };

  TVariant() = default;
  TVariant(NarrowString value) : FKind(vkString), FString(std::move(value)) {}
  TVariant(const char* value) : FKind(vkString), FString(value) {}
  TVariant(double value) : FKind(vkNumber), FNumber(value) {}
  TVariant(int value) : FKind(vkNumber), FNumber(value) {}
  TVariant(bool value) : FKind(vkBoolean), FBoolean(value) {}

  TKind Kind() const { return FKind; }
  bool IsEmpty() const { return FKind == vkEmpty; }

  // The value as text: "" when empty, the string itself, a number in general format with
  // 15 significant digits, "True" or "False".
  NarrowString AsString() const;
  // The number of a number variant, 1 or 0 for a Boolean, 0 otherwise.
  double AsNumber() const;

  bool operator==(const TVariant& other) const;

private:
  TKind FKind = vkEmpty;
  NarrowString FString;
  double FNumber = 0;
  bool FBoolean = false;
};

} // namespace velmora
