#include "xml/error_texts.h"

#include <string>

#include "xml/parse_errors.h"

namespace velmora {

namespace {

struct TKindText {
  int Kind;
  const char* Name;
  // The sentence: "%s" stands for the snippet, "%c" for the clue.
  const char* Message;
};

constexpr TKindText kKindTexts[] = {
    {ekUndeclaredEntity, "ekUndeclaredEntity", "entity '%s' is not declared"},
    {ekInputEncodingError, "ekInputEncodingError",
     "the encoding contradicts the byte-order mark, or the first characters cannot be decoded"},
    {ekInvalidCDataStart, "ekInvalidCDataStart", "malformed CDATA section start, expected '%c'"},
    {ekInvalidCommentStart, "ekInvalidCommentStart", "malformed comment start, expected '%c'"},
    {ekInvalidDoctypeStart, "ekInvalidDoctypeStart", "malformed DOCTYPE start, expected '%c'"},
    {ekDuplicateAttribute, "ekDuplicateAttribute", "attribute '%s' is given twice"},
    {ekDoubleHyphenInComment, "ekDoubleHyphenInComment", "'--' inside a comment"},
    {ekSecondRootElement, "ekSecondRootElement", "element '%s' after the root element"},
    {ekCommentEndsWithHyphen, "ekCommentEndsWithHyphen", "comment ends with '-'"},
    {ekInvalidAttributeName, "ekInvalidAttributeName", "'%s' is not a valid attribute name"},
    {ekInvalidCharInAttributeValue, "ekInvalidCharInAttributeValue",
     "character not allowed in an attribute value"},
    {ekInvalidCDataContent, "ekInvalidCDataContent", "character not allowed in a CDATA section"},
    {ekInvalidCharacter, "ekInvalidCharacter", "character not allowed here, or bytes that "
                                               "cannot be decoded"},
    {ekInvalidCharRef, "ekInvalidCharRef", "'%s' is not a valid character reference"},
    {ekInvalidElementName, "ekInvalidElementName", "'%s' is not a valid element name"},
    {ekInvalidEncodingName, "ekInvalidEncodingName", "invalid encoding name"},
    {ekInvalidEntityName, "ekInvalidEntityName", "'%s' is not a valid entity name"},
    {ekInvalidPITarget, "ekInvalidPITarget", "'%s' is not allowed as processing instruction "
                                             "target"},
    {ekInvalidPublicId, "ekInvalidPublicId", "invalid public identifier '%s'"},
    {ekInvalidSystemId, "ekInvalidSystemId", "invalid system identifier '%s'"},
    {ekInvalidTextDeclaration, "ekInvalidTextDeclaration", "malformed text declaration"},
    {ekInvalidVersion, "ekInvalidVersion", "invalid version number"},
    {ekInvalidXmlDeclaration, "ekInvalidXmlDeclaration", "malformed XML declaration"},
    {ekMissingSubsetStart, "ekMissingSubsetStart", "expected '%c' or the end of the DOCTYPE"},
    {ekLessThanInAttributeValue, "ekLessThanInAttributeValue", "'<' in an attribute value"},
    {ekMissingElementName, "ekMissingElementName", "element name expected after '<'"},
    {ekUnclosedRootElement, "ekUnclosedRootElement", "the input ends inside element '%c'"},
    {ekMissingEntityName, "ekMissingEntityName", "entity name expected after '&'"},
    {ekMissingEqualsSign, "ekMissingEqualsSign", "'=' expected after the attribute name"},
    {ekMissingQuote, "ekMissingQuote", "attribute value not quoted or not closed"},
    {ekEndTagMismatch, "ekEndTagMismatch", "end tag '%s' does not match the open element"},
    {ekMissingWhitespace, "ekMissingWhitespace", "white space expected"},
    {ekContentOutsideRoot, "ekContentOutsideRoot", "'%s' outside the root element"},
    {ekInvalidPublicKeyword, "ekInvalidPublicKeyword", "'%c' expected"},
    {ekInvalidLiteral, "ekInvalidLiteral", "quoted literal expected"},
    {ekUnclosedInternalSubset, "ekUnclosedInternalSubset", "internal subset not closed by ']'"},
    {ekMissingRootElement, "ekMissingRootElement", "no root element"},
    {ekInvalidSystemKeyword, "ekInvalidSystemKeyword", "'%c' expected"},
    {ekUnclosedCDataSection, "ekUnclosedCDataSection", "the input ends inside a CDATA section"},
    {ekCharRefWithoutSemicolon, "ekCharRefWithoutSemicolon",
     "character reference not ended by ';'"},
    {ekUnclosedComment, "ekUnclosedComment", "comment not closed by '-->'"},
    {ekUnclosedDoctype, "ekUnclosedDoctype", "DOCTYPE not closed"},
    {ekUnclosedTag, "ekUnclosedTag", "tag not closed, expected '%c'"},
    {ekEntityRefWithoutSemicolon, "ekEntityRefWithoutSemicolon",
     "entity reference not ended by ';'"},
    {ekUnclosedPI, "ekUnclosedPI", "the input ends inside a processing instruction"},
    {ekDoctypeAfterRoot, "ekDoctypeAfterRoot", "DOCTYPE after the root element"},
    {ekSecondDoctype, "ekSecondDoctype", "second DOCTYPE"},
    {ekInvalidDoctypeName, "ekInvalidDoctypeName", "'%s' is not a valid DOCTYPE name"},
    {ekInvalidNamespaceUri, "ekInvalidNamespaceUri", "'%s' is not a valid namespace URI"},
    {ekInvalidPrefix, "ekInvalidPrefix", "'%s' is not a valid prefix"},
    {ekPrefixMappingMismatch, "ekPrefixMappingMismatch",
     "prefix mapping '%s' does not end in order"},
    {ekEncodingNotSupported, "ekEncodingNotSupported", "the declared encoding is not supported"},
    {ekResourceNotFound, "ekResourceNotFound", "external resource not found"},
    {ekUnreadableExternalEntity, "ekUnreadableExternalEntity",
     "external entity cannot be decoded"},
    {ekUnsupportedVersion, "ekUnsupportedVersion", "XML version other than 1.0"},
};

const TKindText* FindKind(int errorKind) {
  for (const TKindText& text : kKindTexts) {
    if (text.Kind == errorKind) {
      return &text;
    }
  }
  return nullptr;
}

// Snippets are shown short and on one line.
NarrowString Shown(const WideString& text) {
  constexpr size_t kLongest = 60;
  WideString shown;
  for (char16_t c : std::u16string_view(text).substr(0, kLongest)) {
    if (c < 0x20) {
      shown += u"\\x";
      shown += u"0123456789abcdef"[c >> 4];
      shown += u"0123456789abcdef"[c & 15];
    } else {
      shown += c;
    }
  }
  if (text.size() > kLongest) {
    shown += u"...";
  }
  return WideToNarrow(shown);
}

} // namespace

NarrowString ErrorKindName(int errorKind) {
  const TKindText* text = FindKind(errorKind);
  return text ? NarrowString(text->Name) : "kind " + std::to_string(errorKind);
}

const char* SeverityName(int errorKind) {
  switch (SeverityOf(errorKind)) {
  case svFatal:
    return "fatal";
  case svError:
    return "error";
  default:
    return "warning";
  }
}

NarrowString ErrorMessage(const TDomError& error) {
  const TKindText* text = FindKind(error.ErrorKind());
  if (!text) {
    return SeverityOf(error.ErrorKind()) == svError ? "validity error" : "problem in the document";
  }
  NarrowString message;
  for (const char* p = text->Message; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      message += Shown(error.Snippet());
      ++p;
    } else if (p[0] == '%' && p[1] == 'c') {
      message += Shown(error.Clue());
      ++p;
    } else {
      message += *p;
    }
  }
  return message;
}

} // namespace velmora
