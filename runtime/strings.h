#pragma once
// The two string types of the system and the one place that converts between them.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Every name, value and text of the XML stack, the DOM and XPath: UTF-16 code units.
using WideString = std::u16string;
// File names, settings, messages and window texts: UTF-8 on Linux.
using NarrowString = std::string;

// Hashes wide strings and their views alike, for hash containers looked up by view.
struct TWideStringHash {
  using is_transparent = void;
  size_t operator()(std::u16string_view text) const noexcept {
    return std::hash<std::u16string_view>{}(text);
  }
};

constexpr int32_t kReplacementCharacter = 0xFFFD;
constexpr int32_t kMaxCodePoint = 0x10FFFF;

inline bool IsSurrogate(int64_t value) {
  return value >= 0xD800 && value <= 0xDFFF;
}
inline bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
inline int32_t CombineSurrogates(char16_t high, char16_t low) {
  return ((high - 0xD800) << 10) + (low - 0xDC00) + 0x10000;
}

// ASCII letters only: encoding names, URI schemes, INI and registry keys must not compare
// by the rules of the process locale.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool SameAsciiText(std::string_view a, std::string_view b);

// Reads the UTF-8 sequence that starts at text[pos] and moves pos past it. A malformed
// sequence gives U+FFFD and consumes its maximal valid prefix (at least one byte), so a
// caller looping until the end always terminates.
int32_t DecodeUtf8(std::string_view text, size_t& pos);

// Appends the UTF-8 form of a code point; surrogates and values outside Unicode give U+FFFD.
void AppendUtf8(NarrowString& out, int32_t codePoint);
// Appends the 1 to 4 bytes of value as they stand (up to 0x1FFFFF, surrogates included):
// for encoders that have checked the value by their own rules.
void AppendUtf8Unchecked(NarrowString& out, uint32_t value);

// Appends a code point as one or two UTF-16 units; invalid values give U+FFFD.
void AppendUtf16(WideString& out, int32_t codePoint);

// text without leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view Trim(std::string_view text);

// UTF-8 to UTF-16; malformed input becomes U+FFFD.
WideString NarrowToWide(std::string_view text);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
NarrowString WideToNarrow(std::u16string_view text);

} // namespace velmora
