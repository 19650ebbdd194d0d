#pragma once
// The tokenizer base: reads an input source token by token; each token has its text, its
// start and end positions and, when its shape is broken, an error kind and a clue.

#include "dom/wide_string_builder.h"
#include "xml/input_sources.h"
#include "xml/text_location.h"

namespace velmora {

class TXmlCustomTokenizer : public TextLocation {
public:
  // Not owned; none reads as an empty input.
  explicit TXmlCustomTokenizer(TXmlSimpleInputSource* inputSource);
  TXmlCustomTokenizer(const TXmlCustomTokenizer&) = delete;
  TXmlCustomTokenizer& operator=(const TXmlCustomTokenizer&) = delete;

  virtual WideString GetTokenValue() const { return FTokenValue.value(); }
  // The token's text without a copy; valid until the next token.
  std::u16string_view TokenText() const { return FTokenValue.view(); }

  // From the end position record; EndByte as it stands.
  int64_t EndByte() const override { return FTokenEnd.EndByte; }
  int64_t EndChar() const override { return FTokenEnd.CharCount; }
  int64_t EndColumn() const override { return FTokenEnd.Column(); }
  int64_t EndLine() const override { return FTokenEnd.Line; }
  int64_t EndTabs() const override { return FTokenEnd.LineTabs; }
  TDtdObject* DtdObject() const override { return nullptr; }
  TDomNode* DomNode() const override { return nullptr; }
  // From the start position record; the start byte is where its character begins.
  int64_t StartByte() const override { return FTokenStart.StartByte(); }
  int64_t StartChar() const override { return FTokenStart.CharCount; }
  int64_t StartColumn() const override { return FTokenStart.Column(); }
  int64_t StartLine() const override { return FTokenStart.Line; }
  int64_t StartTabs() const override { return FTokenStart.LineTabs; }
  const WideString& SourceUri() const override;
  TLocationValues Values() const override;

  virtual void NextToken() = 0;

  uint8_t ErrorType() const { return FErrorType; }
  const WideString& Clue() const { return FClue; }
  TXmlSimpleInputSource* InputSource() const { return FInputSource; }
  const CharPosition& TokenStart() const { return FTokenStart; }
  const CharPosition& TokenEnd() const { return FTokenEnd; }

protected:
  // The steps the tokenizers are written in.
  void StartToken() {
    FTokenValue.clear();
    FErrorType = 0;
    FClue.clear();
  }
  void MarkStart() { FTokenStart = FInputSource->Lookahead(); }
  void MarkEndAtCurrent() { FTokenEnd = FInputSource->Current(); }
  void MarkEndAtPrevious() { FTokenEnd = FInputSource->Previous(); }
  void Fail(uint8_t errorType, std::u16string_view clue = std::u16string_view()) {
    FErrorType = errorType;
    FClue = clue;
  }
  void Advance() { FInputSource->Advance(); }
  int32_t Ahead() const { return FInputSource->AheadCode(); }
  int32_t CurrentChar() const { return FInputSource->CurrentCode(); }
  void Append(int32_t code) { FTokenValue.addUCS4Char(code); }
  void AppendCurrent() { FTokenValue.addUCS4Char(FInputSource->CurrentCode()); }
  // Advances over each character of text while the look-ahead matches it.
  bool MatchAhead(std::u16string_view text);
  // The text of a comment after its "<!--", up to and over "-->"; the errors of a comment
  // that does not end so.
  void ReadCommentText();
  // Appends up to "?>" and advances over it; false when the input ends first. The token
  // ends at the character before.
  bool AppendUntilPIEnd();

  TXmlSimpleInputSource* FInputSource;
  WideString FClue;
  uint8_t FErrorType = 0;
  CharPosition FTokenEnd;
  CharPosition FTokenStart;
  TUtilsCustomWideStr FTokenValue;
};

} // namespace velmora
