#pragma once
// A growable wide string that stores code points as UTF-16: what tokenizers append their
// token text to. Starts with room for 64 units and grows by a quarter of its capacity
// whenever an addition does not fit; clearing keeps the room, so a builder reused for
// every token allocates only while its largest token grows.

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
  void addUCS4Char(int32_t codePoint) {
    if (codePoint >= 0 && codePoint < 0xD800) {
      addWideChar(static_cast<char16_t>(codePoint));
    } else {
      AddOtherCodePoint(codePoint);
    }
  }
  void addWideChar(char16_t c) {
    if (FLength == FBuffer.size()) {
      Grow(FLength + 1);
    }
    FBuffer[FLength++] = c;
  }
  void addWideString(std::u16string_view text);
  // Room for count more units after the content: write them from the returned pointer on,
  // then setLength to the new content length (at most length() + count).
  char16_t* reserveTail(size_t count) {
    if (FLength + count > FBuffer.size()) {
      Grow(FLength + count);
    }
    return FBuffer.data() + FLength;
  }
  void setLength(size_t length) { FLength = length; }
  const char16_t* data() const { return FBuffer.data(); }
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
  void AddOtherCodePoint(int32_t codePoint);

  WideString FBuffer;
  size_t FLength = 0;
};

} // namespace velmora
