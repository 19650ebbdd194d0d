#pragma once
// The character-set registry component: one IANA MIB number and the registered names of
// every number in the ranges 3-106, 109-112, 1000-1015, 2000-2101 and 2250-2259.

#include <functional>

#include "runtime/component.h"
#include "runtime/exceptions.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(ECSMIBException, Exception);

class TCSMIB;

using TCSMIBNotifyEvent = std::function<void(TCSMIB* sender)>;
// Before Enum changes; clearing allowChange (true on entry) cancels the change.
using TCSMIBChangingEvent = std::function<void(TCSMIB* sender, int32_t newEnum, bool& allowChange)>;

class TCSMIB : public TComponent {
public:
  explicit TCSMIB(TComponent* owner = nullptr) : TComponent(owner) {}

  int32_t Enum() const { return FEnum; }
  // An invalid number raises ECSMIBException "Invalid MIB number", or is ignored under
  // IgnoreInvalidEnum.
  void SetEnum(int32_t value);
  bool IgnoreInvalidEnum() const { return FIgnoreInvalidEnum; }
  void SetIgnoreInvalidEnum(bool value) { FIgnoreInvalidEnum = value; }

  TCSMIBNotifyEvent OnChange;
  TCSMIBChangingEvent OnChanging;

  static bool IsValidEnum(int32_t value);
  // The names of the current number: the registered name, then the aliases.
  int AliasCount() const;
  // ECSMIBException "Invalid MIB number" for an index outside the list.
  NarrowString Alias(int index) const;
  // The preferred MIME name of the current number, or empty when it has none.
  NarrowString PreferredMimeName() const;
  // Sets Enum to the first number that has name (ASCII case ignored); false, and Enum
  // unchanged, when none has it.
  bool SetByName(std::string_view name);

  const char* ClassName() const override { return "TCSMIB"; }

private:
  int32_t FEnum = 3;
  bool FIgnoreInvalidEnum = false;
};

} // namespace velmora
