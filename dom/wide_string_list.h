#pragma once
// An ordered list of (wide string, object) pairs, searched linearly or, when sorted, by
// bisection. Strings compare by UTF-16 code unit values, a proper prefix sorting first.

#include <cstdint>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

enum TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TUtilsWideStringList {
public:
  TUtilsWideStringList(bool sorted, TDuplicates duplicates)
      : FSorted(sorted), FDuplicates(duplicates) {}

  int count() const { return static_cast<int>(FItems.size()); }
  // Unsorted lists append; sorted ones insert in order. In a sorted list an existing string
  // gives its index (dupIgnore) or raises EStringListError "String list does not allow
  // duplicates" (dupError).
  int add(const WideString& text, void* object);
  // True and the index of text when present; for a sorted list a missing text gives the
  // index it would be inserted at.
  bool find(std::u16string_view text, int& index) const;
  int indexOf(std::u16string_view text) const;
  int indexOfObject(const void* object) const;
  const WideString& strings(int index) const;
  void* objects(int index) const;
  // EStringListError "List index out of bounds (%d)" for a bad index.
  void remove(int index);
  void clear() { FItems.clear(); }
  bool sorted() const { return FSorted; }

private:
  struct TEntry {
    WideString Text;
    void* Object;
  };
  void CheckIndex(int index) const;

  std::vector<TEntry> FItems;
  bool FSorted;
  TDuplicates FDuplicates;
};

} // namespace velmora
