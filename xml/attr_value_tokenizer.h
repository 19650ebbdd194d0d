#pragma once
// Splits an attribute value into single characters and references, for resolving the
// value. It scans the text directly and never reports an error.

#include "runtime/strings.h"

namespace velmora {

enum TXmlAttrValueTokenType : uint8_t {
  avtCharRef = 0,   // value: the text after "&#" up to ";"
  avtEnd = 1,
  avtEntityRef = 2, // value: the name
  avtStart = 3,
  avtText = 4, // value: one code unit of text
};

class TXmlAttrValueTokenizer {
public:
  explicit TXmlAttrValueTokenizer(WideString value) : FValue(std::move(value)) {}

  void NextToken();
  WideString GetTokenValue() const { return WideString(FToken); }
  std::u16string_view TokenText() const { return FToken; }
  TXmlAttrValueTokenType TokenType() const { return FTokenType; }
  uint8_t ErrorType() const { return 0; }

private:
  WideString FValue;
  size_t FPosition = 0;
  std::u16string_view FToken;
  TXmlAttrValueTokenType FTokenType = avtStart;
};

} // namespace velmora
