#include "dom/id_table.h"

#include "dom/element.h"

namespace velmora {

TDomElement* TDomIdTable::Find(std::u16string_view id) const {
  const auto found = FIds.find(id);
  return found == FIds.end() ? nullptr : found->second;
}

bool TDomIdTable::Add(const WideString& id, TDomElement* element) {
  if (!element || !FIds.emplace(id, element).second) {
    return false;
  }
  FIdsOfElement.emplace(element, id);
  element->setCarriesId(true);
  return true;
}

void TDomIdTable::Drop(const TDomElement* element) {
  const auto [first, last] = FIdsOfElement.equal_range(element);
  for (auto it = first; it != last; ++it) {
    FIds.erase(it->second);
  }
  FIdsOfElement.erase(first, last);
}

void TDomIdTable::Clear() {
  for (const auto& entry : FIdsOfElement) {
    const_cast<TDomElement*>(entry.first)->setCarriesId(false);
  }
  FIds.clear();
  FIdsOfElement.clear();
}

} // namespace velmora
