#pragma once
// Error records: what the input layer found wrong in a document, where, and how badly.

#include <cstdint>

#include "xml/text_location.h"

namespace velmora {

// The kinds of problems, 0 to 151; the severity follows from the kind.
enum TXmlErrorType : uint8_t {
  ekNone = 0,
  ekUndeclaredEntity = 35,
  ekInputEncodingError = 45,
  ekInvalidCDataStart = 46,
  ekInvalidCommentStart = 47,
  ekInvalidDoctypeStart = 48,
  ekDuplicateAttribute = 49,
  ekDoubleHyphenInComment = 51,
  ekSecondRootElement = 52,
  ekCommentEndsWithHyphen = 55,
  ekInvalidAttributeName = 56,
  ekInvalidCharInAttributeValue = 57,
  ekInvalidCDataContent = 58,
  ekInvalidCharacter = 59,
  ekInvalidCharRef = 60,
  ekInvalidElementName = 62,
  ekInvalidEncodingName = 63,
  ekInvalidEntityName = 64,
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
  ekInvalidPublicKeyword = 84,
  ekInvalidLiteral = 85,
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
  ekDoctypeAfterRoot = 99,
  ekSecondDoctype = 102,
  ekInvalidDoctypeName = 125,
  ekInvalidNamespaceUri = 142,
  ekInvalidPrefix = 143,
  ekPrefixMappingMismatch = 146,
  ekEncodingNotSupported = 147,
  ekResourceNotFound = 148,
  ekUnreadableExternalEntity = 150,
  ekUnsupportedVersion = 151,
};

enum TDomSeverity : uint8_t { svWarning = 0, svError = 1, svFatal = 2 };

// 0-5 warnings, 6-43 errors (validity), 44-151 fatal but 88 and 109 (warnings), anything
// above 151 a warning.
TDomSeverity SeverityOf(int errorKind);

class TDomError : public TextLocation {
public:
  // A record without a location: -1 in all ten positions.
  TDomError(int errorKind, WideString snippet = WideString(), WideString clue = WideString());
  // A record at the place location stands for (none: without a location).
  TDomError(int errorKind, const TextLocation* location, WideString clue, WideString snippet);

  TDomSeverity Severity() const { return SeverityOf(FErrorKind); }
  int ErrorKind() const { return FErrorKind; }
  const WideString& Snippet() const { return FSnippet; }
  const WideString& Clue() const { return FClue; }

  int64_t EndByte() const override { return FEndByte; }
  int64_t EndChar() const override { return FEndChar; }
  int64_t EndColumn() const override { return FEndColumn; }
  int64_t EndLine() const override { return FEndLine; }
  int64_t EndTabs() const override { return FEndTabs; }
  TDtdObject* DtdObject() const override { return FDtdObject; }
  TDomNode* DomNode() const override { return FDomNode; }
  int64_t StartByte() const override { return FStartByte; }
  int64_t StartChar() const override { return FStartChar; }
  int64_t StartColumn() const override { return FStartColumn; }
  int64_t StartLine() const override { return FStartLine; }
  int64_t StartTabs() const override { return FStartTabs; }
  const WideString& SourceUri() const override { return FSourceUri; }

private:
  int FErrorKind;
  WideString FSnippet;
  WideString FClue;
  int64_t FEndByte = -1, FEndChar = -1, FEndColumn = -1, FEndLine = -1, FEndTabs = -1;
  int64_t FStartByte = -1, FStartChar = -1, FStartColumn = -1, FStartLine = -1, FStartTabs = -1;
  TDtdObject* FDtdObject = nullptr;
  TDomNode* FDomNode = nullptr;
  WideString FSourceUri;
};

} // namespace velmora
