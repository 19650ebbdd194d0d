#include "xml/error_texts.h"

#include <string>

#include "xml/parse_errors.h"

namespace velmora {

namespace {

struct TKindText {
  int Kind;
  const char* Name;
  // The sentence: "%s" stands for the snippet, "%c" for the clue, "%C" for the clue in
  // parentheses after a space when there is one.
  const char* Message;
};

constexpr TKindText kKindTexts[] = {
    {ekUndeclaredEntity, "ekUndeclaredEntity", "entity '%s' is not declared"},
    // Declarations (warnings first, then validity errors, then well-formedness).
    {ekNoDtd, "ekNoDtd", "the document declares nothing to validate against"},
    {ekDuplicateAttlist, "ekDuplicateAttlist", "second ATTLIST declaration for element '%s'"},
    {ekDuplicateAttributeDecl, "ekDuplicateAttributeDecl",
     "attribute '%s' is declared again; the first declaration holds"},
    {ekDuplicateEntityDecl, "ekDuplicateEntityDecl",
     "entity '%s' is declared again; the first declaration holds"},
    {ekDuplicatePEDecl, "ekDuplicatePEDecl",
     "parameter entity '%s' is declared again; the first declaration holds"},
    {ekInvalidDefaultValue, "ekInvalidDefaultValue",
     "default value '%s' does not fit its attribute type"},
    {ekInvalidAttributeValue, "ekInvalidAttributeValue",
     "value '%s' does not fit the declared attribute type"},
    {ekDuplicateElementDecl, "ekDuplicateElementDecl", "element '%s' is declared again"},
    {ekDuplicateEnumToken, "ekDuplicateEnumToken", "token '%s' repeats in the enumeration"},
    {ekSecondIdAttribute, "ekSecondIdAttribute", "element '%c' has a second ID attribute '%s'"},
    {ekDuplicateId, "ekDuplicateId", "ID '%s' is used twice"},
    {ekDuplicateMixedName, "ekDuplicateMixedName", "'%s' repeats in a mixed-content declaration"},
    {ekDuplicateNotationDecl, "ekDuplicateNotationDecl", "notation '%s' is declared again"},
    {ekSecondNotationAttribute, "ekSecondNotationAttribute",
     "element '%c' has a second NOTATION attribute '%s'"},
    {ekDuplicateNotationToken, "ekDuplicateNotationToken",
     "notation '%s' repeats in a NOTATION type"},
    {ekCDataInElementContent, "ekCDataInElementContent",
     "CDATA section in the element content of '%s'"},
    {ekContentMismatch, "ekContentMismatch",
     "the content of '%s' does not match its declaration%C"},
    {ekElementInPCDataContent, "ekElementInPCDataContent",
     "element '%c' inside '%s', which is declared (#PCDATA)"},
    {ekTextInElementContent, "ekTextInElementContent", "text in the element content of '%s'"},
    {ekContentInEmptyElement, "ekContentInEmptyElement", "'%s' is declared EMPTY but has content"},
    {ekEntityDeclaredLater, "ekEntityDeclaredLater",
     "default value refers to entity '%s' declared after it"},
    {ekFixedValueMismatch, "ekFixedValueMismatch", "attribute '%s' must have the value '%c'"},
    {ekInvalidIdDefault, "ekInvalidIdDefault",
     "ID attribute '%s' must be declared #IMPLIED or #REQUIRED"},
    {ekAmbiguousContentModel, "ekAmbiguousContentModel",
     "two alternatives of the model of '%s' match its content"},
    {ekNotationOnEmptyElement, "ekNotationOnEmptyElement",
     "NOTATION attribute '%s' on element '%c' declared EMPTY"},
    {ekCondSectPENesting, "ekCondSectPENesting",
     "conditional section and its '%c' lie in different parameter entities"},
    {ekDeclPENesting, "ekDeclPENesting", "declaration ends in another parameter entity"},
    {ekGroupPENesting, "ekGroupPENesting", "parenthesis closed in another parameter entity"},
    {ekRequiredAttributeMissing, "ekRequiredAttributeMissing",
     "required attribute '%s' is missing on '%c'"},
    {ekUnmatchedIdRef, "ekUnmatchedIdRef", "no element has the ID '%s'"},
    {ekUndeclaredAttribute, "ekUndeclaredAttribute", "attribute '%s' of '%c' is not declared"},
    {ekUndeclaredElement, "ekUndeclaredElement", "element '%s' is not declared"},
    {ekUndeclaredNotation, "ekUndeclaredNotation", "notation '%s' is not declared"},
    {ekUndeclaredPE, "ekUndeclaredPE", "parameter entity '%s' is not declared"},
    {ekNotUnparsedEntity, "ekNotUnparsedEntity", "'%s' names no unparsed entity"},
    {ekStandaloneNormalization, "ekStandaloneNormalization",
     "standalone document: normalization changed attribute '%s', declared externally"},
    {ekExtSubsetNotFound, "ekExtSubsetNotFound", "external subset '%s' cannot be opened"},
    {ekStandaloneDefault, "ekStandaloneDefault",
     "standalone document: attribute '%s' comes from an external default"},
    {ekStandaloneWhitespace, "ekStandaloneWhitespace",
     "standalone document: white space in '%s', whose element content is declared externally"},
    {ekRootNameMismatch, "ekRootNameMismatch",
     "root element '%s' differs from the document type name '%c'"},
    {ekExternalEntityInAttribute, "ekExternalEntityInAttribute",
     "attribute value refers to external entity '%s'"},
    {ekEntityDeclaredLaterWf, "ekEntityDeclaredLaterWf",
     "default value refers to entity '%s' declared after it"},
    {ekExternalEntityInStandalone, "ekExternalEntityInStandalone",
     "standalone document refers to entity '%s', declared externally"},
    {ekInvalidPEName, "ekInvalidPEName", "'%s' is not a valid parameter-entity name"},
    {ekMalformedReplacementText, "ekMalformedReplacementText",
     "the replacement text of entity '%s' is not well-formed"},
    {ekPEEndsInMarkup, "ekPEEndsInMarkup", "parameter entity ends inside a declaration"},
    {ekRecursiveEntity, "ekRecursiveEntity", "recursive entity '%s'%C"},
    {ekUnparsedEntityReference, "ekUnparsedEntityReference",
     "reference to unparsed entity '%s'"},
    {ekUndeclaredEntityWf, "ekUndeclaredEntityWf", "entity '%s' is not declared"},
    {ekInvalidAttlistStart, "ekInvalidAttlistStart", "expected '%c'"},
    {ekCondSectInIntSubset, "ekCondSectInIntSubset",
     "conditional section in the internal subset"},
    {ekInvalidElementDeclStart, "ekInvalidElementDeclStart", "expected '%c'"},
    {ekInvalidEntityDeclStart, "ekInvalidEntityDeclStart", "expected '%c'"},
    {ekInvalidAttlistElementType, "ekInvalidAttlistElementType",
     "'%s' is not a valid element type"},
    {ekInvalidAttlistDecl, "ekInvalidAttlistDecl", "malformed ATTLIST declaration"},
    {ekInvalidAttDefName, "ekInvalidAttDefName", "'%s' is not a valid attribute name"},
    {ekInvalidCondSect, "ekInvalidCondSect", "malformed conditional section"},
    {ekInvalidContentSpecChar, "ekInvalidContentSpecChar",
     "unexpected character in the content of an element declaration"},
    {ekInvalidElementDecl, "ekInvalidElementDecl", "malformed ELEMENT declaration '%s'"},
    {ekInvalidAttDefElementType, "ekInvalidAttDefElementType",
     "'%s' is not a valid element type"},
    {ekInvalidElementDeclName, "ekInvalidElementDeclName", "'%s' is not a valid element name"},
    {ekInvalidEntityDecl, "ekInvalidEntityDecl", "malformed ENTITY declaration"},
    {ekInvalidEntityDeclName, "ekInvalidEntityDeclName", "'%s' is not a valid entity name"},
    {ekInvalidPEDeclName, "ekInvalidPEDeclName", "'%s' is not a valid parameter-entity name"},
    {ekInvalidEntityValue, "ekInvalidEntityValue", "invalid entity value '%s'"},
    {ekInvalidPEValue, "ekInvalidPEValue", "invalid parameter-entity value '%s'"},
    {ekInvalidEnumToken, "ekInvalidEnumToken", "'%s' is not a valid enumeration token"},
    {ekInvalidMarkupDecl, "ekInvalidMarkupDecl", "markup declaration expected"},
    {ekInvalidNotationDecl, "ekInvalidNotationDecl", "malformed NOTATION declaration"},
    {ekInvalidNDataName, "ekInvalidNDataName", "'%s' is not a valid notation name"},
    {ekInvalidNotationDeclName, "ekInvalidNotationDeclName", "'%s' is not a valid notation name"},
    {ekInvalidNotationToken, "ekInvalidNotationToken", "'%s' is not a valid notation name"},
    {ekInvalidPEDecl, "ekInvalidPEDecl", "malformed parameter ENTITY declaration"},
    {ekMisplacedAny, "ekMisplacedAny", "'ANY' inside a content model"},
    {ekMisplacedEmpty, "ekMisplacedEmpty", "'EMPTY' inside a content model"},
    {ekMisplacedPCData, "ekMisplacedPCData", "'#PCDATA' must come first in a content model"},
    {ekInvalidContentModel, "ekInvalidContentModel", "invalid content model near '%s'%C"},
    {ekEntityValueAndExternalId, "ekEntityValueAndExternalId",
     "entity has both a value and an external identifier"},
    {ekPEValueAndExternalId, "ekPEValueAndExternalId",
     "parameter entity has both a value and an external identifier"},
    {ekInvalidNotationDeclStart, "ekInvalidNotationDeclStart", "expected '%c'"},
    {ekPERefInMarkup, "ekPERefInMarkup",
     "parameter-entity reference inside a declaration of the internal subset"},
    {ekUnclosedCondSect, "ekUnclosedCondSect", "conditional section not closed by '%c'"},
    {ekUnreadablePE, "ekUnreadablePE", "parameter entity cannot be read"},

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
    } else if (p[0] == '%' && p[1] == 'C') {
      if (!error.Clue().empty()) {
        message += " (" + Shown(error.Clue()) + ")";
      }
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
