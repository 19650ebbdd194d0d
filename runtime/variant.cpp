#include "runtime/variant.h"

#include "runtime/numbers.h"

namespace velmora {

NarrowString TVariant::AsString() const {
  switch (FKind) {
  case vkString:
    return FString;
  case vkNumber:
    return FloatToStrGeneral(FNumber, 15);
  case vkBoolean:
    return FBoolean ? "True" : "False";
  case vkEmpty:
    break;
  }
  return NarrowString();
}

double TVariant::AsNumber() const {
  if (FKind == vkNumber) {
    return FNumber;
  }
  return FKind == vkBoolean && FBoolean ? 1 : 0;
}

bool TVariant::operator==(const TVariant& other) const {
  if (FKind != other.FKind) {
    return false;
  }
  switch (FKind) {
  case vkString:
    return FString == other.FString;
  case vkNumber:
    return FNumber == other.FNumber;
  case vkBoolean:
    return FBoolean == other.FBoolean;
  case vkEmpty:
    break;
  }
  return true;
}

} // namespace velmora
