#pragma once
// A growable wide string that stores code points as UTF-16: what tokenizers append their
// token text to, one character at a time. Starts with room for 64 units and grows by a
// quarter of its capacity whenever an addition does not fit.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

class TUtilsCustomWideStr {
public:
  TUtilsCustomWideStr() { FBuffer.resize(kInitialCapacity); }

  // The unit at index (from 1); EListError when out of range.
  char16_t charAt(size_t index) const;
  void setCharAt(size_t index, char16_t c);
  // Appends a code point, as a surrogate pair above U+FFFF. Surrogate code points and
  // values outside 0..#x10FFFF raise EConvertError
  // "%d is not a valid ISO-10646-UCS4 code point".
  void addUCS4Char(int32_t codePoint);
  void addWideChar(char16_t c) {
    if (FLength == FBuffer.size()) {
      Grow(FLength + 1);
    }
    FBuffer[FLength++] = c;
  }
  void addWideString(std::u16string_view text);
  // False for an empty text or one longer than the content.
  bool endsWith(std::u16string_view text) const;
  bool startsWith(std::u16string_view text) const;
  bool equals(std::u16string_view text) const { return view() == text; }
  void clear();
  WideString value() const { return WideString(view()); }

  std::u16string_view view() const { return std::u16string_view(FBuffer.data(), FLength); }
  size_t length() const { return FLength; }
  size_t capacity() const { return FBuffer.size(); }

private:
  static constexpr size_t kInitialCapacity = 64;

  void Grow(size_t needed);

  WideString FBuffer;
  size_t FLength = 0;
};

} // namespace velmora
