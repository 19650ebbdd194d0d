#pragma once
// The document tokenizer: cuts the characters of an input source into the tokens of the
// XML document grammar (character data, markup between "<" and ">", references). Only the
// outer shape is checked here; names, attributes and characters are tested by the reader
// and the signals.

#include "xml/custom_tokenizer.h"

namespace velmora {

enum TXmlDocTokenType : uint8_t {
  ttCDataSection = 0,
  ttDecimalCharRef = 1,
  ttHexCharRef = 2,
  ttComment = 3,
  ttDoctypeDecl = 4,
  ttEmptyElementTag = 5,
  ttEndOfDocument = 6,
  ttEndTag = 7,
  ttEntityRef = 8,
  ttPCData = 9,
  ttProcessingInstruction = 10,
  ttNone = 11,
  ttStartTag = 12,
};

class TXmlDocTokenizer final : public TXmlCustomTokenizer {
public:
  explicit TXmlDocTokenizer(TXmlSimpleInputSource* inputSource);

  // Reads the next token; nothing happens once the end was reached. A token whose first
  // character cannot be decoded keeps the type ttNone.
  void NextToken() override;
  TXmlDocTokenType TokenType() const { return FTokenType; }
  // The position of the character before a DOCTYPE token's text (the "E" of "DOCTYPE").
  const CharPosition& DoctypeTextOrigin() const { return FDoctypeTextOrigin; }

private:
  void ReadToken();
  void ReadReference();
  void ReadCharData();
  void ReadMarkup();
  void ReadDeclarationMarkup();
  void ReadCDataSection();
  void ReadDoctypeDecl();
  void ReadEndTag();
  void ReadProcessingInstruction();
  void ReadTag();

  TXmlDocTokenType FTokenType;
  CharPosition FDoctypeTextOrigin;
};

} // namespace velmora
