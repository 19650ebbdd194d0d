#pragma once
// Error records: what the input layer found wrong in a document, where, and how badly.

#include <cstdint>
#include <memory>

#include "xml/text_location.h"

namespace velmora {

// The kinds of problems, 0 to 151; the severity follows from the kind.
enum TXmlErrorType : uint8_t {
  ekNone = 0,
  ekNoDtd = 1,
  ekDuplicateAttlist = 2,
  ekDuplicateAttributeDecl = 3,
  ekDuplicateEntityDecl = 4,
  ekDuplicatePEDecl = 5,
  ekInvalidDefaultValue = 6,
  ekInvalidAttributeValue = 7,
  ekDuplicateElementDecl = 8,
  ekDuplicateEnumToken = 9,
  ekSecondIdAttribute = 10,
  ekDuplicateId = 11,
  ekDuplicateMixedName = 12,
  ekDuplicateNotationDecl = 13,
  ekSecondNotationAttribute = 14,
  ekDuplicateNotationToken = 15,
  ekCDataInElementContent = 17,
  ekContentMismatch = 18,
  ekElementInPCDataContent = 19,
  ekTextInElementContent = 20,
  ekContentInEmptyElement = 21,
  ekEntityDeclaredLater = 22,
  ekFixedValueMismatch = 23,
  ekInvalidIdDefault = 24,
  ekAmbiguousContentModel = 25,
  ekNotationOnEmptyElement = 26,
  ekCondSectPENesting = 27,
  ekDeclPENesting = 28,
  ekGroupPENesting = 29,
  ekRequiredAttributeMissing = 31,
  ekUnmatchedIdRef = 32,
  ekUndeclaredAttribute = 33,
  ekUndeclaredElement = 34,
  ekUndeclaredEntity = 35,
  ekUndeclaredNotation = 36,
  ekUndeclaredPE = 37,
  ekNotUnparsedEntity = 38,
  ekStandaloneNormalization = 39,
  ekExtSubsetNotFound = 40,
  ekStandaloneDefault = 41,
  ekStandaloneWhitespace = 42,
  ekRootNameMismatch = 43,
  ekExternalEntityInAttribute = 44,
  ekInputEncodingError = 45,
  ekInvalidCDataStart = 46,
  ekInvalidCommentStart = 47,
  ekInvalidDoctypeStart = 48,
  ekDuplicateAttribute = 49,
  ekDoubleHyphenInComment = 51,
  ekSecondRootElement = 52,
  ekEntityDeclaredLaterWf = 53,
  ekExternalEntityInStandalone = 54,
  ekCommentEndsWithHyphen = 55,
  ekInvalidAttributeName = 56,
  ekInvalidCharInAttributeValue = 57,
  ekInvalidCDataContent = 58,
  ekInvalidCharacter = 59,
  ekInvalidCharRef = 60,
  ekInvalidElementName = 62,
  ekInvalidEncodingName = 63,
  ekInvalidEntityName = 64,
  ekInvalidPEName = 65,
  ekInvalidPITarget = 66,
  ekInvalidPublicId = 67,
  ekInvalidSystemId = 68,
  ekInvalidTextDeclaration = 69,
  ekInvalidVersion = 70,
  ekInvalidXmlDeclaration = 71,
  ekMissingSubsetStart = 72,
  ekLessThanInAttributeValue = 73,
  ekMissingElementName = 74,
  ekUnclosedRootElement = 75,
  ekMissingEntityName = 76,
  ekMissingEqualsSign = 77,
  ekMissingQuote = 78,
  ekEndTagMismatch = 79,
  ekMissingWhitespace = 80,
  ekContentOutsideRoot = 81,
  ekMalformedReplacementText = 82,
  ekPEEndsInMarkup = 83,
  ekInvalidPublicKeyword = 84,
  ekInvalidLiteral = 85,
  ekRecursiveEntity = 86,
  ekUnparsedEntityReference = 87,
  ekUnclosedInternalSubset = 88,
  ekMissingRootElement = 89,
  ekInvalidSystemKeyword = 90,
  ekUnclosedCDataSection = 91,
  ekCharRefWithoutSemicolon = 92,
  ekUnclosedComment = 93,
  ekUnclosedDoctype = 94,
  ekUnclosedTag = 95,
  ekEntityRefWithoutSemicolon = 96,
  ekUnclosedPI = 97,
  ekUndeclaredEntityWf = 98,
  ekDoctypeAfterRoot = 99,
  ekInvalidAttlistStart = 100,
  ekCondSectInIntSubset = 101,
  ekSecondDoctype = 102,
  ekInvalidElementDeclStart = 103,
  ekInvalidEntityDeclStart = 104,
  ekInvalidAttlistElementType = 105,
  ekInvalidAttlistDecl = 106,
  ekInvalidAttDefName = 107,
  ekInvalidCondSect = 108,
  ekInvalidContentSpecChar = 109,
  ekInvalidElementDecl = 110,
  ekInvalidAttDefElementType = 111,
  ekInvalidElementDeclName = 112,
  ekInvalidEntityDecl = 113,
  ekInvalidEntityDeclName = 114,
  ekInvalidPEDeclName = 115,
  ekInvalidEntityValue = 116,
  ekInvalidPEValue = 117,
  ekInvalidEnumToken = 118,
  ekInvalidMarkupDecl = 119,
  ekInvalidNotationDecl = 120,
  ekInvalidNDataName = 121,
  ekInvalidNotationDeclName = 122,
  ekInvalidNotationToken = 123,
  ekInvalidPEDecl = 124,
  ekInvalidDoctypeName = 125,
  ekMisplacedAny = 126,
  ekMisplacedEmpty = 127,
  ekMisplacedPCData = 128,
  ekInvalidContentModel = 129,
  ekEntityValueAndExternalId = 130,
  ekPEValueAndExternalId = 131,
  ekInvalidNotationDeclStart = 132,
  ekPERefInMarkup = 133,
  ekUnclosedCondSect = 135,
  ekInvalidNamespaceUri = 142,
  ekInvalidPrefix = 143,
  ekPrefixMappingMismatch = 146,
  ekEncodingNotSupported = 147,
  ekResourceNotFound = 148,
  ekUnreadablePE = 149,
  ekUnreadableExternalEntity = 150,
  ekUnsupportedVersion = 151,
};

enum TDomSeverity : uint8_t { svWarning = 0, svError = 1, svFatal = 2 };

// 0-5 warnings, 6-43 errors (validity), 44-151 fatal but 88 and 109 (warnings), anything
// above 151 a warning. Inline: the DTD tokenizers ask it of every token.
inline TDomSeverity SeverityOf(int errorKind) {
  if (errorKind >= 6 && errorKind <= 43) {
    return svError;
  }
  if (errorKind >= 44 && errorKind <= 151 && errorKind != 88 && errorKind != 109) {
    return svFatal;
  }
  return svWarning;
}

// What a finder knows about one problem: the kind, where (none: no location), a hint and
// the offending text. Every report of the input layer is made of one.
struct TXmlErrorDetail {
  int Kind = ekNone;
  const TextLocation* Location = nullptr;
  std::u16string_view Clue;
  std::u16string_view Snippet;
};

class TDomError final : public TValueLocation {
public:
  // A record without a location: -1 in all ten positions.
  explicit TDomError(int errorKind, WideString snippet = WideString(),
                     WideString clue = WideString());
  explicit TDomError(const TXmlErrorDetail& detail);
  // A record without a location that names what it is about: a declaration, a node.
  TDomError(int errorKind, TDtdObject* dtdObject, TDomNode* domNode, WideString snippet,
            WideString clue);

  TDomSeverity Severity() const { return SeverityOf(FErrorKind); }
  int ErrorKind() const { return FErrorKind; }
  const WideString& Snippet() const { return FSnippet; }
  const WideString& Clue() const { return FClue; }
  const WideString& SourceUri() const override { return FSourceUri; }

  std::unique_ptr<TDomError> CloneError() const { return std::make_unique<TDomError>(*this); }

private:
  int FErrorKind;
  WideString FSnippet;
  WideString FClue;
  WideString FSourceUri;
};

} // namespace velmora
