#include "dom/xml_rules.h"

#include "dom/dom_exceptions.h"
#include "runtime/format.h"

namespace velmora {

namespace {

struct TCodeRange {
  char16_t First;
  char16_t Last;
};

#include "dom/xml_char_tables.inc"

template <size_t N>
constexpr void Mark(std::array<uint8_t, 0x10000>& table, const TCodeRange (&ranges)[N],
                    uint8_t bit) {
  for (const TCodeRange& range : ranges) {
    for (uint32_t c = range.First; c <= range.Last; ++c) {
      table[c] |= bit;
    }
  }
}

constexpr std::array<uint8_t, 0x10000> BuildNameClasses() {
  std::array<uint8_t, 0x10000> table{};
  Mark(table, kBaseCharRanges, name_class::kBaseChar);
  Mark(table, kIdeographicRanges, name_class::kIdeographic);
  Mark(table, kCombiningCharRanges, name_class::kCombiningChar);
  Mark(table, kDigitRanges, name_class::kDigit);
  Mark(table, kExtenderRanges, name_class::kExtender);
  table['.'] |= name_class::kDotOrHyphen;
  table['-'] |= name_class::kDotOrHyphen;
  table['_'] |= name_class::kUnderscore;
  table[':'] |= name_class::kColon;
  return table;
}

// A string of name characters whose first is of the start classes.
bool ConformsToNameLike(std::u16string_view s, uint8_t startClasses, uint8_t classes) {
  if (s.empty() || !hasNameClass(s[0], startClasses)) {
    return false;
  }
  for (size_t i = 1; i < s.size(); ++i) {
    if (!hasNameClass(s[i], classes)) {
      return false;
    }
  }
  return true;
}

bool ConformsToNmtokenView(std::u16string_view s) {
  if (s.empty()) {
    return false;
  }
  for (char16_t c : s) {
    if (!isNameChar(c)) {
      return false;
    }
  }
  return true;
}

// One or more items separated by exactly one #x20 each.
bool ConformsToList(std::u16string_view s, bool (*item)(std::u16string_view)) {
  if (s.empty()) {
    return false;
  }
  size_t start = 0;
  for (;;) {
    const size_t blank = s.find(u' ', start);
    const std::u16string_view part = s.substr(
        start, blank == std::u16string_view::npos ? std::u16string_view::npos : blank - start);
    if (!item(part)) {
      return false;
    }
    if (blank == std::u16string_view::npos) {
      return true;
    }
    start = blank + 1;
  }
}

// Chars with correctly paired surrogates; each code unit also passes check.
template <class TCheck> bool ConformsToCharsWith(std::u16string_view s, TCheck check) {
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (!isXmlCharUnit(c) || !check(c)) {
      return false;
    }
    if (IsHighSurrogate(c)) {
      if (i + 1 >= s.size() || !IsLowSurrogate(s[i + 1])) {
        return false;
      }
      ++i;
    } else if (IsLowSurrogate(c)) {
      return false;
    }
  }
  return true;
}

bool NotBothQuotes(std::u16string_view s) {
  return s.find(u'"') == std::u16string_view::npos || s.find(u'\'') == std::u16string_view::npos;
}

bool IsXmlCharValue(int64_t v) {
  return v == 0x9 || v == 0xA || v == 0xD || (v >= 0x20 && v <= 0xD7FF) ||
         (v >= 0xE000 && v <= 0xFFFD) || (v >= 0x10000 && v <= 0x10FFFF);
}

[[noreturn]] void RaiseInvalidCharRef(std::u16string_view reference) {
  throw EConvertError(Format("%S is not a valid XmlCharRef value.", {reference}));
}

WideString CollapseRuns(std::u16string_view s, bool (*isSeparator)(int32_t)) {
  WideString result;
  result.reserve(s.size());
  bool pendingBlank = false;
  for (char16_t c : s) {
    if (isSeparator(c)) {
      pendingBlank = !result.empty();
      continue;
    }
    if (pendingBlank) {
      result += u' ';
      pendingBlank = false;
    }
    result += c;
  }
  return result;
}

bool IsSpace(int32_t c) {
  return c == 0x20;
}

} // namespace

constinit const std::array<uint8_t, 0x10000> kXmlNameClasses = BuildNameClasses();

bool isPubidChar(int32_t c) {
  if (isAsciiLetter(c) || isAsciiDigit(c)) {
    return true;
  }
  switch (c) {
  case 0x20:
  case 0xD:
  case 0xA:
  case '-':
  case '\'':
  case '(':
  case ')':
  case '+':
  case ',':
  case '.':
  case '/':
  case ':':
  case '=':
  case '?':
  case ';':
  case '!':
  case '*':
  case '#':
  case '@':
  case '$':
  case '_':
  case '%':
    return true;
  default:
    return false;
  }
}

bool isVersionNumChar(int32_t c) {
  return isAsciiLetter(c) || isAsciiDigit(c) || c == '_' || c == '.' || c == ':' || c == '-';
}

bool isEncNameChar(int32_t c) {
  return isAsciiLetter(c) || isAsciiDigit(c) || c == '_' || c == '.' || c == '-';
}

bool conformsToChars(std::u16string_view s) {
  return ConformsToCharsWith(s, [](char16_t) { return true; });
}

bool conformsToS(std::u16string_view s) {
  if (s.empty()) {
    return false;
  }
  for (char16_t c : s) {
    if (!isWhiteSpaceChar(c)) {
      return false;
    }
  }
  return true;
}

bool conformsToName(std::u16string_view s) {
  return ConformsToNameLike(s, name_class::kNameStart, name_class::kNameChar);
}

bool conformsToNames(std::u16string_view s) {
  return ConformsToList(s, conformsToName);
}

bool conformsToNmtoken(std::u16string_view s) {
  return ConformsToNmtokenView(s);
}

bool conformsToNmtokens(std::u16string_view s) {
  return ConformsToList(s, ConformsToNmtokenView);
}

bool conformsToNCName(std::u16string_view s) {
  return ConformsToNameLike(s, name_class::kNCNameStart, name_class::kNCNameChar);
}

bool conformsToPrefix(std::u16string_view s) {
  return conformsToNCName(s);
}

bool conformsToLocalPart(std::u16string_view s) {
  return conformsToNCName(s);
}

bool conformsToDefaultAttName(std::u16string_view s) {
  return s == u"xmlns";
}

bool conformsToPrefixedAttName(std::u16string_view s) {
  return s.starts_with(u"xmlns:") && conformsToNCName(s.substr(6));
}

bool conformsToPITarget(std::u16string_view s) {
  if (!conformsToName(s)) {
    return false;
  }
  return !(s.size() == 3 && (s[0] == 'x' || s[0] == 'X') && (s[1] == 'm' || s[1] == 'M') &&
           (s[2] == 'l' || s[2] == 'L'));
}

bool conformsToCharRef(std::u16string_view s) {
  if (s.size() < 4 || !s.starts_with(u"&#") || s.back() != ';') {
    return false;
  }
  std::u16string_view digits = s.substr(2, s.size() - 3);
  const bool hex = digits[0] == 'x';
  if (hex) {
    digits.remove_prefix(1);
  }
  if (digits.empty()) {
    return false;
  }
  for (char16_t c : digits) {
    if (hex ? !isHexDigitChar(c) : !isAsciiDigit(c)) {
      return false;
    }
  }
  return true;
}

bool conformsToEntityRef(std::u16string_view s) {
  return s.size() >= 3 && s.front() == '&' && s.back() == ';' &&
         conformsToName(s.substr(1, s.size() - 2));
}

bool conformsToPEReference(std::u16string_view s) {
  return s.size() >= 3 && s.front() == '%' && s.back() == ';' &&
         conformsToName(s.substr(1, s.size() - 2));
}

bool conformsToReference(std::u16string_view s) {
  return conformsToEntityRef(s) || conformsToCharRef(s);
}

bool conformsToEntityValueChars(std::u16string_view s) {
  if (!NotBothQuotes(s) || !ConformsToCharsWith(s, [](char16_t c) { return c != '%'; })) {
    return false;
  }
  for (size_t amp = s.find(u'&'); amp != std::u16string_view::npos; amp = s.find(u'&', amp + 1)) {
    const size_t semicolon = s.find(u';', amp);
    if (semicolon == std::u16string_view::npos ||
        !conformsToReference(s.substr(amp, semicolon - amp + 1))) {
      return false;
    }
  }
  return true;
}

bool conformsToSystemLiteralChars(std::u16string_view s) {
  return NotBothQuotes(s) && conformsToChars(s);
}

bool conformsToPubidChars(std::u16string_view s) {
  for (char16_t c : s) {
    if (!isPubidChar(c)) {
      return false;
    }
  }
  return true;
}

bool conformsToCDataChars(std::u16string_view s) {
  return s.find(u"]]>") == std::u16string_view::npos && conformsToChars(s);
}

char16_t predefinedEntityChar(std::u16string_view name) {
  if (name == u"lt") {
    return u'<';
  }
  if (name == u"gt") {
    return u'>';
  }
  if (name == u"amp") {
    return u'&';
  }
  if (name == u"apos") {
    return u'\'';
  }
  return name == u"quot" ? u'"' : 0;
}

bool isPredefinedEntityName(std::u16string_view s) {
  return predefinedEntityChar(s) != 0;
}

bool conformsToVersionNum(std::u16string_view s) {
  if (s.empty()) {
    return false;
  }
  for (char16_t c : s) {
    if (!isVersionNumChar(c)) {
      return false;
    }
  }
  return true;
}

bool conformsToEncName(std::u16string_view s) {
  if (s.empty() || !isAsciiLetter(s[0])) {
    return false;
  }
  for (char16_t c : s.substr(1)) {
    if (!isEncNameChar(c)) {
      return false;
    }
  }
  return true;
}

bool splitQName(std::u16string_view qualifiedName, std::u16string_view& prefix,
                std::u16string_view& localName) {
  const size_t colon = qualifiedName.find(u':');
  std::u16string_view prefixPart;
  std::u16string_view localPart = qualifiedName;
  if (colon != std::u16string_view::npos) {
    prefixPart = qualifiedName.substr(0, colon);
    localPart = qualifiedName.substr(colon + 1);
  }
  if ((colon != std::u16string_view::npos && !conformsToNCName(prefixPart)) ||
      !conformsToNCName(localPart)) {
    prefix = localName = std::u16string_view();
    return false;
  }
  prefix = prefixPart;
  localName = localPart;
  return true;
}

bool splitQName(std::u16string_view qualifiedName, WideString& prefix, WideString& localName) {
  std::u16string_view prefixPart;
  std::u16string_view localPart;
  const bool split = splitQName(qualifiedName, prefixPart, localPart);
  prefix = prefixPart;
  localName = localPart;
  return split;
}

WideString qNamePrefix(std::u16string_view qualifiedName) {
  WideString prefix;
  WideString localName;
  if (!splitQName(qualifiedName, prefix, localName)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  return prefix;
}

WideString qNameLocalName(std::u16string_view qualifiedName) {
  WideString prefix;
  WideString localName;
  if (!splitQName(qualifiedName, prefix, localName)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  return localName;
}

WideString trimWhiteSpace(std::u16string_view s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && isWhiteSpaceChar(s[first])) {
    ++first;
  }
  while (last > first && isWhiteSpaceChar(s[last - 1])) {
    --last;
  }
  return WideString(s.substr(first, last - first));
}

WideString collapseSpaces(std::u16string_view s) {
  return CollapseRuns(s, IsSpace);
}

WideString collapseWhiteSpace(std::u16string_view s) {
  return CollapseRuns(s, isWhiteSpaceChar);
}

WideString escapeQuotes(std::u16string_view s) {
  WideString result;
  result.reserve(s.size());
  for (char16_t c : s) {
    if (c == '"') {
      result += u"&#34;";
    } else if (c == '\'') {
      result += u"&#39;";
    } else {
      result += c;
    }
  }
  return result;
}

void unwrapParentheses(std::u16string_view s, WideString& inner, bool& failed) {
  const WideString trimmed = trimWhiteSpace(s);
  failed = !(trimmed.size() > 1 && trimmed.front() == '(' && trimmed.back() == ')');
  inner = failed ? WideString()
                 : trimWhiteSpace(std::u16string_view(trimmed).substr(1, trimmed.size() - 2));
}

int32_t charRefValue(std::u16string_view reference) {
  if (!conformsToCharRef(reference)) {
    RaiseInvalidCharRef(reference);
  }
  const bool hex = reference[2] == 'x';
  const std::u16string_view digits =
      reference.substr(hex ? 3 : 2, reference.size() - (hex ? 4 : 3));
  int64_t value = 0;
  for (char16_t c : digits) {
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + digit;
    // Stop before the value can wrap: a huge number never turns into a valid character.
    if (value > 0x10FFFF) {
      RaiseInvalidCharRef(reference);
    }
  }
  if (!IsXmlCharValue(value)) {
    RaiseInvalidCharRef(reference);
  }
  return static_cast<int32_t>(value);
}

WideString charRefText(std::u16string_view reference) {
  WideString text;
  AppendUtf16(text, charRefValue(reference));
  return text;
}

WideString resolveCharRefs(std::u16string_view text) {
  WideString result;
  result.reserve(text.size());
  size_t i = 0;
  if (!text.empty() && text[0] == 0xFEFF) {
    result += text[0];
    i = 1;
  }
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsLowSurrogate(c)) {
      throw EConvertError("WideString must not start with a UTF-16 low surrogate.");
    }
    if (IsHighSurrogate(c)) {
      if (i + 1 >= text.size()) {
        throw EConvertError("WideString must not end with a UTF-16 high surrogate.");
      }
      if (!IsLowSurrogate(text[i + 1])) {
        throw EConvertError(
            "WideString contains an UTF-16 high surrogate without its corresponding low "
            "surrogate.");
      }
      result += c;
      result += text[++i];
      continue;
    }
    if (!isXmlCharUnit(c)) {
      throw EConvertError("WideString contains an invalid character.");
    }
    if (c != '&') {
      result += c;
      continue;
    }
    const size_t semicolon = text.find(u';', i);
    if (semicolon == std::u16string_view::npos) {
      throw EConvertError("WideString contains an '&' without a ';'.");
    }
    const std::u16string_view reference = text.substr(i, semicolon - i + 1);
    if (conformsToEntityRef(reference)) {
      result += reference;
    } else if (conformsToCharRef(reference)) {
      result += charRefText(reference);
    } else {
      throw EConvertError(Format("WideString contains an invalid reference %S.", {reference}));
    }
    i = semicolon;
  }
  return result;
}

} // namespace velmora
