#pragma once
// IDs of elements: an ID value finds its element in constant time, and an element that
// goes takes its IDs along. The first element with a given ID keeps it.

#include <unordered_map>

#include "runtime/strings.h"

namespace velmora {

class TDomElement;

class TDomIdTable {
public:
  TDomElement* Find(std::u16string_view id) const;
  // False, and nothing changed, when the ID is taken (or there is no element).
  bool Add(const WideString& id, TDomElement* element);
  void Drop(const TDomElement* element);
  void Clear();
  size_t Count() const { return FIds.size(); }

private:
  std::unordered_map<WideString, TDomElement*, TWideStringHash, std::equal_to<>> FIds;
  std::unordered_multimap<const TDomElement*, WideString> FIdsOfElement;
};

} // namespace velmora
