#pragma once
// The names of a document's elements and attributes, each kept once: nodes hold pointers
// into the table, so equal names are equal pointers and a million elements named "Contact"
// share one string.

#include <array>
#include <cstring>
#include <unordered_set>

#include "runtime/strings.h"

namespace velmora {

class TDomNameTable;

// The names of an element or attribute, as pointers into its document's name table. The
// table keeps each such set of names once, too: a node holds one pointer for all four.
struct TDomQualifiedName {
  const WideString* NodeName;
  const WideString* LocalName;
  const WideString* NamespaceURI;
  const WideString* Prefix;

  // A DOM Level 1 name: no prefix, local name or namespace.
  static const TDomQualifiedName* Plain(TDomNameTable& table, std::u16string_view name);
  static const TDomQualifiedName* Namespaced(TDomNameTable& table,
                                             std::u16string_view qualifiedName,
                                             std::u16string_view namespaceURI,
                                             std::u16string_view prefix,
                                             std::u16string_view localName);
  // This name with another prefix: the node name becomes prefix ":" local name.
  const TDomQualifiedName* WithPrefix(TDomNameTable& table, const WideString& prefix) const;

  bool operator==(const TDomQualifiedName&) const = default;
};

class TDomNameTable {
public:
  // The table's copy of name, added when missing. The pointer stays valid as long as the
  // table lives.
  const WideString* Intern(std::u16string_view name);
  // The table's copy of name, or nullptr when no node has that name.
  const WideString* Find(std::u16string_view name) const;

  // The table's copy of the set of names, added when missing; valid as long as the table.
  const TDomQualifiedName* Intern(const TDomQualifiedName& name);

  static const WideString& Empty();

  // How a set of names was checked when a node was made with it: as a plain name, or as the
  // namespace-aware name of an element or of an attribute.
  enum TNameUse : uint8_t { nuPlain, nuElement, nuAttribute, kNameUses };
  // The set of names a node was lately made with from the same qualified name and namespace
  // under the same use, or none. Such a set passed that use's checks, which depend on
  // nothing else, so a hit saves splitting and checking the name again.
  const TDomQualifiedName* FindChecked(TNameUse use, std::u16string_view qualifiedName,
                                       std::u16string_view namespaceURI) const {
    if (qualifiedName.empty()) {
      return nullptr;
    }
    const TDomQualifiedName* name = FChecked[use][RecentSlot(qualifiedName)];
    return name && SameText(*name->NodeName, qualifiedName) &&
                   SameText(*name->NamespaceURI, namespaceURI)
               ? name
               : nullptr;
  }
  // Keeps name, which passed the checks of use, for FindChecked.
  void RememberChecked(TNameUse use, const TDomQualifiedName* name) {
    FChecked[use][RecentSlot(*name->NodeName)] = name;
  }

private:
  struct TQualifiedNameHash {
    size_t operator()(const TDomQualifiedName& name) const {
      const auto bits = [](const WideString* text) { return reinterpret_cast<size_t>(text); };
      return bits(name.NodeName) * 31 + bits(name.NamespaceURI) * 7 + bits(name.LocalName) +
             (bits(name.Prefix) >> 4);
    }
  };

  // One memcmp: the generic comparison of char16_t strings goes unit by unit.
  static bool SameText(const WideString& text, std::u16string_view other) {
    return text.size() == other.size() &&
           (other.empty() ||
            std::memcmp(text.data(), other.data(), other.size() * sizeof(char16_t)) == 0);
  }
  // The names met lately, by a cheap hash: documents repeat the same few names, and a
  // look here saves hashing the whole name.
  static size_t RecentSlot(std::u16string_view name) {
    return (name.size() * 31 + name.front() * 7 + name.back() + name[name.size() / 2] * 3) &
           (kRecent - 1);
  }
  static constexpr size_t kRecent = 64;
  std::array<const WideString*, kRecent> FRecent{};
  std::array<const TDomQualifiedName*, kRecent> FChecked[kNameUses]{};

  std::unordered_set<WideString, TWideStringHash, std::equal_to<>> FNames;
  std::unordered_set<TDomQualifiedName, TQualifiedNameHash> FQualifiedNames;
  const TDomQualifiedName* FLastQualifiedName = nullptr; // elements come in runs of a name
};

} // namespace velmora
