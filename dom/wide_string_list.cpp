#include "dom/wide_string_list.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace velmora {

int TUtilsWideStringList::add(const WideString& text, void* object) {
  if (!FSorted) {
    FItems.push_back({text, object});
    return count() - 1;
  }
  int index = 0;
  if (find(text, index)) {
    if (FDuplicates == dupIgnore) {
      return index;
    }
    if (FDuplicates == dupError) {
      throw EStringListError("String list does not allow duplicates");
    }
  }
  FItems.insert(FItems.begin() + index, {text, object});
  return index;
}

bool TUtilsWideStringList::find(std::u16string_view text, int& index) const {
  if (!FSorted) {
    index = indexOf(text);
    return index >= 0;
  }
  const auto found = std::lower_bound(
      FItems.begin(), FItems.end(), text,
      [](const TEntry& entry, std::u16string_view value) { return entry.Text < value; });
  index = static_cast<int>(found - FItems.begin());
  return found != FItems.end() && found->Text == text;
}

int TUtilsWideStringList::indexOf(std::u16string_view text) const {
  if (FSorted) {
    int index = 0;
    return find(text, index) ? index : -1;
  }
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Text == text) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int TUtilsWideStringList::indexOfObject(const void* object) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Object == object) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void TUtilsWideStringList::CheckIndex(int index) const {
  if (index < 0 || index >= count()) {
    throw EStringListError(Format("List index out of bounds (%d)", {index}));
  }
}

const WideString& TUtilsWideStringList::strings(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Text;
}

void* TUtilsWideStringList::objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Object;
}

void TUtilsWideStringList::remove(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
}

} // namespace velmora
