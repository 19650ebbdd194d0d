#include "dom/wide_string_builder.h"

#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace velmora {

char16_t TUtilsCustomWideStr::charAt(size_t index) const {
  if (index < 1 || index > FLength) {
    throw EListError(Format("List index out of bounds (%d)", {static_cast<long long>(index)}));
  }
  return FBuffer[index - 1];
}

void TUtilsCustomWideStr::setCharAt(size_t index, char16_t c) {
  if (index < 1 || index > FLength) {
    throw EListError(Format("List index out of bounds (%d)", {static_cast<long long>(index)}));
  }
  FBuffer[index - 1] = c;
}

void TUtilsCustomWideStr::AddOtherCodePoint(int32_t codePoint) {
  if (codePoint < 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    throw EConvertError(Format("%d is not a valid ISO-10646-UCS4 code point", {codePoint}));
  }
  if (codePoint < 0x10000) {
    addWideChar(static_cast<char16_t>(codePoint));
    return;
  }
  const int32_t offset = codePoint - 0x10000;
  addWideChar(static_cast<char16_t>(0xD800 + (offset >> 10)));
  addWideChar(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

void TUtilsCustomWideStr::addWideString(std::u16string_view text) {
  if (FLength + text.size() > FBuffer.size()) {
    Grow(FLength + text.size());
  }
  text.copy(FBuffer.data() + FLength, text.size());
  FLength += text.size();
}

bool TUtilsCustomWideStr::endsWith(std::u16string_view text) const {
  return !text.empty() && text.size() <= FLength && view().ends_with(text);
}

bool TUtilsCustomWideStr::startsWith(std::u16string_view text) const {
  return !text.empty() && text.size() <= FLength && view().starts_with(text);
}

void TUtilsCustomWideStr::clear() {
  FLength = 0;
}

void TUtilsCustomWideStr::Grow(size_t needed) {
  size_t capacity = FBuffer.size();
  while (capacity < needed) {
    capacity += capacity / 4;
  }
  FBuffer.resize(capacity);
}

} // namespace velmora
