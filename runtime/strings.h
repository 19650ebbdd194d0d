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

constexpr int32_t kReplacementCharacter = 0xFFFD;
constexpr int32_t kMaxCodePoint = 0x10FFFF;

// Reads the UTF-8 sequence that starts at text[pos] and moves pos past it. A malformed
// sequence gives U+FFFD and consumes its maximal valid prefix (at least one byte), so a
// caller looping until the end always terminates.
int32_t DecodeUtf8(std::string_view text, size_t& pos);

// Appends the UTF-8 form of a code point; surrogates and values outside Unicode give U+FFFD.
void AppendUtf8(NarrowString& out, int32_t codePoint);

// Appends a code point as one or two UTF-16 units; invalid values give U+FFFD.
void AppendUtf16(WideString& out, int32_t codePoint);

// text without leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view Trim(std::string_view text);

// UTF-8 to UTF-16; malformed input becomes U+FFFD.
WideString NarrowToWide(std::string_view text);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
NarrowString WideToNarrow(std::u16string_view text);

} // namespace velmora
