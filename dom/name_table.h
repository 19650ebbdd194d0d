#pragma once
// The names of a document's elements and attributes, each kept once: nodes hold pointers
// into the table, so equal names are equal pointers and a million elements named "Contact"
// share one string.

#include <unordered_set>

#include "runtime/strings.h"

namespace velmora {

class TDomNameTable {
public:
  // The table's copy of name, added when missing. The pointer stays valid as long as the
  // table lives.
  const WideString* Intern(std::u16string_view name);
  // The table's copy of name, or nullptr when no node has that name.
  const WideString* Find(std::u16string_view name) const;

  static const WideString& Empty();

private:
  std::unordered_set<WideString, TWideStringHash, std::equal_to<>> FNames;
};

} // namespace velmora
