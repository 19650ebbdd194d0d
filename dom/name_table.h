#pragma once
// The names of a document's elements and attributes, each kept once: nodes hold pointers
// into the table, so equal names are equal pointers and a million elements named "Contact"
// share one string.

#include <array>
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
  // The names met lately, by a cheap hash: documents repeat the same few names, and a
  // look here saves hashing the whole name.
  static size_t RecentSlot(std::u16string_view name) {
    return (name.size() * 31 + name.front() * 7 + name.back() + name[name.size() / 2] * 3) &
           (kRecent - 1);
  }
  static constexpr size_t kRecent = 64;
  std::array<const WideString*, kRecent> FRecent{};

  std::unordered_set<WideString, TWideStringHash, std::equal_to<>> FNames;
};

} // namespace velmora
