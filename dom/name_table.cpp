#include "dom/name_table.h"

namespace velmora {

const WideString* TDomNameTable::Intern(std::u16string_view name) {
  if (name.empty()) {
    return &Empty();
  }
  const WideString*& recent = FRecent[RecentSlot(name)];
  if (recent && *recent == name) {
    return recent;
  }
  auto found = FNames.find(name);
  if (found == FNames.end()) {
    found = FNames.emplace(name).first;
  }
  recent = &*found;
  return recent;
}

const WideString* TDomNameTable::Find(std::u16string_view name) const {
  if (name.empty()) {
    return &Empty();
  }
  const auto found = FNames.find(name);
  return found == FNames.end() ? nullptr : &*found;
}

const WideString& TDomNameTable::Empty() {
  static const WideString empty;
  return empty;
}

} // namespace velmora
