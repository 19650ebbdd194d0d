#include "xml/attlist_definitions.h"

#include "dom/xml_rules.h"
#include "xml/dtd_signals.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

size_t SkipSpace(std::u16string_view text, size_t i) {
  while (i < text.size() && isWhiteSpaceChar(text[i])) {
    ++i;
  }
  return i;
}

// The characters from i up to white space or the end.
std::u16string_view TakeUntilSpace(std::u16string_view text, size_t& i) {
  const size_t start = i;
  while (i < text.size() && !isWhiteSpaceChar(text[i])) {
    ++i;
  }
  return text.substr(start, i - start);
}

bool SpaceAt(std::u16string_view text, size_t i) {
  return i < text.size() && isWhiteSpaceChar(text[i]);
}

std::u16string_view TrimSpace(std::u16string_view text) {
  const size_t start = SkipSpace(text, 0);
  size_t end = text.size();
  while (end > start && isWhiteSpaceChar(text[end - 1])) {
    --end;
  }
  return text.substr(start, end - start);
}

struct TTypeKeyword {
  std::u16string_view Text;
  TDtdAttrType Type;
};

constexpr TTypeKeyword kTypeKeywords[] = {
    {u"CDATA", atCData},       {u"ID", atId},
    {u"IDREF", atIdRef},       {u"IDREFS", atIdRefs},
    {u"ENTITY", atEntity},     {u"ENTITIES", atEntities},
    {u"NMTOKEN", atNmToken},   {u"NMTOKENS", atNmTokens},
    {u"NOTATION", atNotation},
};

} // namespace

bool TXmlAttListDefinitions::Pending() {
  FPosition = SkipSpace(FText, FPosition);
  return FPosition < FText.size();
}

int TXmlAttListDefinitions::Next(TXmlAttributeDefinitionSignal& signal) {
  const std::u16string_view text = FText;
  size_t i = SkipSpace(text, FPosition);
  signal.EnumTokens.clear();
  signal.DefaultValue = std::u16string_view();
  signal.AttrName = TakeUntilSpace(text, i);
  const bool read = SpaceAt(text, i) && ReadType(text, i, signal) && ReadDefault(text, i, signal) &&
                    (i == text.size() || SpaceAt(text, i));
  FPosition = read ? i : text.size();
  return read ? ekNone : ekInvalidAttlistDecl;
}

// At white space after the name.
bool TXmlAttListDefinitions::ReadType(std::u16string_view text, size_t& i,
                                      TXmlAttributeDefinitionSignal& signal) {
  i = SkipSpace(text, i);
  if (i < text.size() && text[i] == '(') {
    signal.AttrType = atNmToken;
    return ReadEnumeration(text, i, signal);
  }
  const std::u16string_view keyword = TakeUntilSpace(text, i);
  bool known = false;
  for (const TTypeKeyword& entry : kTypeKeywords) {
    if (entry.Text == keyword) {
      signal.AttrType = entry.Type;
      known = true;
      break;
    }
  }
  if (!known || !SpaceAt(text, i)) {
    return false;
  }
  if (signal.AttrType != atNotation) {
    return true;
  }
  i = SkipSpace(text, i);
  return i < text.size() && text[i] == '(' && ReadEnumeration(text, i, signal);
}

// At "(": up to the first ")", which white space must follow.
bool TXmlAttListDefinitions::ReadEnumeration(std::u16string_view text, size_t& i,
                                             TXmlAttributeDefinitionSignal& signal) {
  const size_t close = text.find(u')', i);
  if (close == std::u16string_view::npos || !SpaceAt(text, close + 1)) {
    return false;
  }
  const std::u16string_view inner = TrimSpace(text.substr(i + 1, close - i - 1));
  if (inner.empty() || inner.back() == '|') {
    return false;
  }
  size_t start = 0;
  for (;;) {
    const size_t bar = inner.find(u'|', start);
    signal.EnumTokens.push_back(TrimSpace(inner.substr(start, bar - start)));
    if (bar == std::u16string_view::npos) {
      break;
    }
    start = bar + 1;
  }
  i = close + 1;
  return true;
}

// At white space after the type.
bool TXmlAttListDefinitions::ReadDefault(std::u16string_view text, size_t& i,
                                         TXmlAttributeDefinitionSignal& signal) {
  i = SkipSpace(text, i);
  if (i < text.size() && text[i] == '#') {
    const std::u16string_view keyword = TakeUntilSpace(text, i);
    if (keyword == u"#REQUIRED") {
      signal.DefaultKind = dfRequired;
      return true;
    }
    if (keyword == u"#IMPLIED") {
      signal.DefaultKind = dfImplied;
      return true;
    }
    if (keyword != u"#FIXED" || !SpaceAt(text, i)) {
      return false;
    }
    signal.DefaultKind = dfFixed;
    i = SkipSpace(text, i);
  } else {
    signal.DefaultKind = dfValue;
  }
  if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) {
    return false;
  }
  const size_t close = text.find(text[i], i + 1);
  if (close == std::u16string_view::npos) {
    return false;
  }
  signal.DefaultValue = text.substr(i + 1, close - i - 1);
  i = close + 1;
  return true;
}

} // namespace velmora
