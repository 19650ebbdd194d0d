#include "runtime/strings.h"

// Narrow strings on Linux are UTF-8.

namespace velmora {

WideString NarrowToWide(std::string_view text) {
  return Utf8ToWide(text);
}

NarrowString WideToNarrow(std::u16string_view text) {
  return WideToUtf8(text);
}

} // namespace velmora
