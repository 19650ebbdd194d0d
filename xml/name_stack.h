#pragma once
// A stack of names kept in one buffer: pushing and popping allocate nothing once the
// buffer has grown to the deepest nesting seen.

#include <cstdint>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

class TNameStack {
public:
  void Push(std::u16string_view name) {
    FStarts.push_back(FChars.size());
    FChars.append(name);
  }
  void Pop() {
    FChars.resize(FStarts.back());
    FStarts.pop_back();
  }
  std::u16string_view Top() const {
    return std::u16string_view(FChars).substr(FStarts.back());
  }
  bool Empty() const { return FStarts.empty(); }
  size_t Count() const { return FStarts.size(); }
  void Clear() {
    FChars.clear();
    FStarts.clear();
  }

private:
  WideString FChars;
  std::vector<size_t> FStarts;
};

} // namespace velmora
