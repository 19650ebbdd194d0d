#include "xml/custom_tokenizer.h"

#include "xml/parse_errors.h"

namespace velmora {

namespace {

const WideString kNoUri;
constexpr TCharSet kHyphen(u"-");
constexpr TCharSet kQuestionMark(u"?");

} // namespace

TXmlCustomTokenizer::TXmlCustomTokenizer(TXmlSimpleInputSource* inputSource)
    : FInputSource(inputSource) {
  if (inputSource) {
    FTokenStart = inputSource->Current();
    FTokenEnd = inputSource->Previous();
  }
}

const WideString& TXmlCustomTokenizer::SourceUri() const {
  return FInputSource ? FInputSource->SystemId() : kNoUri;
}

TLocationValues TXmlCustomTokenizer::Values() const {
  TLocationValues values;
  values.EndByte = FTokenEnd.EndByte;
  values.EndChar = FTokenEnd.CharCount;
  values.EndColumn = FTokenEnd.Column();
  values.EndLine = FTokenEnd.Line;
  values.EndTabs = FTokenEnd.LineTabs;
  values.StartByte = FTokenStart.StartByte();
  values.StartChar = FTokenStart.CharCount;
  values.StartColumn = FTokenStart.Column();
  values.StartLine = FTokenStart.Line;
  values.StartTabs = FTokenStart.LineTabs;
  return values;
}

bool TXmlCustomTokenizer::MatchAhead(std::u16string_view text) {
  for (char16_t c : text) {
    if (Ahead() != c) {
      return false;
    }
    Advance();
  }
  return true;
}

void TXmlCustomTokenizer::ReadCommentText() {
  for (;;) {
    FInputSource->AppendUntil(kHyphen, FTokenValue);
    if (Ahead() == kEndOfInput) {
      MarkEndAtCurrent();
      Fail(ekUnclosedComment, u"-->");
      return;
    }
    Advance(); // onto a hyphen
    MarkEndAtPrevious();
    Advance();
    if (CurrentChar() == '-') {
      if (Ahead() == '>') {
        Advance();
      } else {
        MarkEndAtCurrent();
        Fail(ekDoubleHyphenInComment, u">");
      }
      return;
    }
    if (CurrentChar() == kEndOfInput) {
      MarkEndAtPrevious();
      Fail(ekUnclosedComment, u"-->");
      return;
    }
    // A lone hyphen: it and the character after it are text.
    Append('-');
    AppendCurrent();
  }
}

bool TXmlCustomTokenizer::AppendUntilPIEnd() {
  for (;;) {
    FInputSource->AppendUntil(kQuestionMark, FTokenValue);
    if (Ahead() == kEndOfInput) {
      MarkEndAtPrevious();
      return false;
    }
    Advance(); // onto "?"
    if (Ahead() == '>') {
      MarkEndAtPrevious();
      Advance();
      return true;
    }
    Append('?');
  }
}

} // namespace velmora
