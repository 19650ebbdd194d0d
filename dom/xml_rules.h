#pragma once
// Whether characters and strings match the productions of XML 1.0 (Second Edition) and
// Namespaces in XML, and the small text helpers built on them: qualified names, white
// space, quotes and character references.

#include <array>
#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

// The name classes of every BMP code unit, one bit each (Appendix B of XML 1.0 Second
// Edition); built at compile time.
namespace name_class {
constexpr uint8_t kBaseChar = 1;
constexpr uint8_t kIdeographic = 2;
constexpr uint8_t kCombiningChar = 4;
constexpr uint8_t kDigit = 8;
constexpr uint8_t kExtender = 16;
constexpr uint8_t kDotOrHyphen = 32;
constexpr uint8_t kUnderscore = 64;
constexpr uint8_t kColon = 128;

constexpr uint8_t kLetter = kBaseChar | kIdeographic;
constexpr uint8_t kNCNameChar =
    kLetter | kCombiningChar | kDigit | kExtender | kDotOrHyphen | kUnderscore;
constexpr uint8_t kNameChar = kNCNameChar | kColon;
constexpr uint8_t kNCNameStart = kLetter | kUnderscore;
constexpr uint8_t kNameStart = kNCNameStart | kColon;
} // namespace name_class

extern const std::array<uint8_t, 0x10000> kXmlNameClasses;

// True when c is a BMP code point with any of the class bits; code points above U+FFFF
// are in no name class (they are never truncated to 16 bits).
inline bool hasNameClass(int32_t c, uint8_t classes) {
  return c >= 0 && c <= 0xFFFF && (kXmlNameClasses[static_cast<size_t>(c)] & classes) != 0;
}

inline bool isBaseChar(int32_t c) {
  return hasNameClass(c, name_class::kBaseChar);
}
inline bool isIdeographic(int32_t c) {
  return hasNameClass(c, name_class::kIdeographic);
}
inline bool isCombiningChar(int32_t c) {
  return hasNameClass(c, name_class::kCombiningChar);
}
inline bool isDigitChar(int32_t c) {
  return hasNameClass(c, name_class::kDigit);
}
inline bool isExtender(int32_t c) {
  return hasNameClass(c, name_class::kExtender);
}
inline bool isLetterChar(int32_t c) {
  return hasNameClass(c, name_class::kLetter);
}
inline bool isNameChar(int32_t c) {
  return hasNameClass(c, name_class::kNameChar);
}
inline bool isNCNameChar(int32_t c) {
  return hasNameClass(c, name_class::kNCNameChar);
}

inline bool isWhiteSpaceChar(int32_t c) {
  return c == 0x20 || c == 0x9 || c == 0xA || c == 0xD;
}
inline bool isWhiteSpaceOrNull(int32_t c) {
  return c == 0 || isWhiteSpaceChar(c);
}
// #x9, #xA, #xD and [#x20-#xFFFD]; surrogate code units pass (strings test the pairing).
inline bool isXmlCharUnit(int32_t c) {
  return (c >= 0x20 && c <= 0xFFFD) || c == 0x9 || c == 0xA || c == 0xD;
}
inline bool isAsciiLetter(int32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool isAsciiDigit(int32_t c) {
  return c >= '0' && c <= '9';
}
inline bool isHexDigitChar(int32_t c) {
  return isAsciiDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isPubidChar(int32_t c);
bool isVersionNumChar(int32_t c);
bool isEncNameChar(int32_t c);

// String predicates: each matches its production exactly.
bool conformsToChars(std::u16string_view s);
bool conformsToS(std::u16string_view s);
bool conformsToName(std::u16string_view s);
bool conformsToNames(std::u16string_view s);
bool conformsToNmtoken(std::u16string_view s);
bool conformsToNmtokens(std::u16string_view s);
bool conformsToNCName(std::u16string_view s);
bool conformsToPrefix(std::u16string_view s);
bool conformsToLocalPart(std::u16string_view s);
bool conformsToDefaultAttName(std::u16string_view s);
bool conformsToPrefixedAttName(std::u16string_view s);
bool conformsToPITarget(std::u16string_view s);
bool conformsToCharRef(std::u16string_view s);
bool conformsToEntityRef(std::u16string_view s);
bool conformsToPEReference(std::u16string_view s);
bool conformsToReference(std::u16string_view s);
bool conformsToEntityValueChars(std::u16string_view s);
bool conformsToSystemLiteralChars(std::u16string_view s);
bool conformsToPubidChars(std::u16string_view s);
bool conformsToCDataChars(std::u16string_view s);
bool isPredefinedEntityName(std::u16string_view s);
// The character that a predefined entity (lt, gt, amp, apos, quot) stands for, or 0.
char16_t predefinedEntityChar(std::u16string_view name);
bool conformsToVersionNum(std::u16string_view s);
bool conformsToEncName(std::u16string_view s);

// Qualified names: [prefix ":"] local part, split at the first colon.
// False (and both outputs empty) unless both parts are NCNames.
bool splitQName(std::u16string_view qualifiedName, WideString& prefix, WideString& localName);
// The same as views of qualifiedName.
bool splitQName(std::u16string_view qualifiedName, std::u16string_view& prefix,
                std::u16string_view& localName);
// The same split; a part that is no NCName raises EInvalid_Character_Err.
WideString qNamePrefix(std::u16string_view qualifiedName);
WideString qNameLocalName(std::u16string_view qualifiedName);

// White space and quotes.
WideString trimWhiteSpace(std::u16string_view s);
// Drops #x20 at both ends and turns every inner run of #x20 into one; other white space stays.
WideString collapseSpaces(std::u16string_view s);
// The same for all XML white space, every inner run becoming one #x20.
WideString collapseWhiteSpace(std::u16string_view s);
WideString escapeQuotes(std::u16string_view s);
// inner: the trimmed text inside "(...)" of the trimmed s; failed when s is no such text.
void unwrapParentheses(std::u16string_view s, WideString& inner, bool& failed);

// Character references ("&#65;", "&#x41;"). A reference of the wrong shape, whose value
// overflows or is no XML Char raises EConvertError "%S is not a valid XmlCharRef value.".
int32_t charRefValue(std::u16string_view reference);
// The referenced character: one code unit, or a surrogate pair above U+FFFF.
WideString charRefText(std::u16string_view reference);
// Checks text and replaces its character references, keeping entity references; every
// failure is an EConvertError.
WideString resolveCharRefs(std::u16string_view text);

} // namespace velmora
