#include "xml/custom_tokenizer.h"

namespace velmora {

namespace {

const WideString kNoUri;

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

} // namespace velmora
