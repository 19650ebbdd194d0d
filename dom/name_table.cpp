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

const TDomQualifiedName* TDomNameTable::Intern(const TDomQualifiedName& name) {
  if (FLastQualifiedName && *FLastQualifiedName == name) {
    return FLastQualifiedName;
  }
  FLastQualifiedName = &*FQualifiedNames.insert(name).first;
  return FLastQualifiedName;
}

const TDomQualifiedName* TDomQualifiedName::Plain(TDomNameTable& table, std::u16string_view name) {
  const WideString* empty = &TDomNameTable::Empty();
  return table.Intern(TDomQualifiedName{table.Intern(name), empty, empty, empty});
}

const TDomQualifiedName* TDomQualifiedName::Namespaced(TDomNameTable& table,
                                                       std::u16string_view qualifiedName,
                                                       std::u16string_view namespaceURI,
                                                       std::u16string_view prefix,
                                                       std::u16string_view localName) {
  const WideString* nodeName = table.Intern(qualifiedName);
  return table.Intern(TDomQualifiedName{nodeName,
                                        prefix.empty() ? nodeName : table.Intern(localName),
                                        table.Intern(namespaceURI), table.Intern(prefix)});
}

const TDomQualifiedName* TDomQualifiedName::WithPrefix(TDomNameTable& table,
                                                       const WideString& prefix) const {
  return table.Intern(TDomQualifiedName{table.Intern(prefix + u":" + *LocalName), LocalName,
                                        NamespaceURI, table.Intern(prefix)});
}

const WideString& TDomNameTable::Empty() {
  static const WideString empty;
  return empty;
}

} // namespace velmora
