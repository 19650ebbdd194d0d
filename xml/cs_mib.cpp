#include "xml/cs_mib.h"

#include <algorithm>

#include "xml/codec_names.h"

namespace velmora {

namespace {

struct TCharsetEntry {
  int32_t Mib;
  int16_t First; // index of the registered name in kCharsetNames
  int16_t Count;
};

#include "xml/charset_registry.inc"

const TCharsetEntry* FindEntry(int32_t mib) {
  const auto end = std::end(kCharsetEntries);
  const auto found =
      std::lower_bound(std::begin(kCharsetEntries), end, mib,
                       [](const TCharsetEntry& entry, int32_t value) { return entry.Mib < value; });
  return found != end && found->Mib == mib ? found : nullptr;
}

[[noreturn]] void RaiseInvalidMib() {
  throw ECSMIBException("Invalid MIB number");
}

// The index of the preferred MIME name among a number's names, or -1.
int PreferredMimeIndex(int32_t mib) {
  switch (mib) {
  case 3:
    return 6;
  case 13:
  case 17:
  case 37:
  case 38:
  case 39:
  case 40:
  case 2025:
  case 2026:
  case 2084:
    return 0;
  case 18:
  case 82:
  case 84:
  case 85:
    return 2;
  default:
    return mib >= 4 && mib <= 12 ? 3 : -1;
  }
}

} // namespace

bool TCSMIB::IsValidEnum(int32_t value) {
  return FindEntry(value) != nullptr;
}

void TCSMIB::SetEnum(int32_t value) {
  if (!IsValidEnum(value)) {
    if (FIgnoreInvalidEnum) {
      return;
    }
    RaiseInvalidMib();
  }
  if (value == FEnum) {
    return;
  }
  bool allowChange = true;
  if (OnChanging) {
    OnChanging(this, value, allowChange);
  }
  if (!allowChange) {
    return;
  }
  FEnum = value;
  if (OnChange) {
    OnChange(this);
  }
}

int TCSMIB::AliasCount() const {
  const TCharsetEntry* entry = FindEntry(FEnum);
  return entry ? entry->Count : 0;
}

NarrowString TCSMIB::Alias(int index) const {
  const TCharsetEntry* entry = FindEntry(FEnum);
  if (!entry || index < 0 || index >= entry->Count) {
    RaiseInvalidMib();
  }
  return kCharsetNames[entry->First + index];
}

NarrowString TCSMIB::PreferredMimeName() const {
  const int index = PreferredMimeIndex(FEnum);
  return index < 0 ? NarrowString() : Alias(index);
}

bool TCSMIB::SetByName(std::string_view name) {
  for (const TCharsetEntry& entry : kCharsetEntries) {
    for (int i = 0; i < entry.Count; ++i) {
      if (SameAsciiText(kCharsetNames[entry.First + i], name)) {
        SetEnum(entry.Mib);
        return FEnum == entry.Mib;
      }
    }
  }
  return false;
}

} // namespace velmora
