#pragma once
// Splits the text of a DOCTYPE token into its name, external identifier and internal
// subset. It reads the text through an input source of its own whose counts start where
// the text stands in the document, so its positions are the document's.

#include <memory>

#include "runtime/streams.h"
#include "xml/custom_tokenizer.h"

namespace velmora {

enum TXmlDoctypeDeclTokenType : uint8_t {
  dttEnd = 0,
  dttInternalSubset = 1,
  dttName = 2,
  dttPublicLiteral = 3,
  dttStart = 4,
  dttSystemLiteral = 5,
};

class TXmlDoctypeDeclTokenizer final : public TXmlCustomTokenizer {
public:
  // origin: the position of the character before the text in the document.
  TXmlDoctypeDeclTokenizer(std::u16string_view text, const CharPosition& origin,
                           WideString systemId);
  ~TXmlDoctypeDeclTokenizer() override;

  void NextToken() override;
  TXmlDoctypeDeclTokenType TokenType() const { return FTokenType; }

private:
  void ReadName();
  void ReadExternalId();
  // Whitespace, then a quoted literal, whose characters become the token value.
  void ReadSpacedLiteral();
  void ReadLiteral();
  void ReadAfterExternalId();
  void ReadInternalSubset();

  WideString FText;
  std::unique_ptr<TMemoryStream> FStream;
  std::unique_ptr<TXmlSimpleInputSource> FSource;
  TXmlDoctypeDeclTokenType FTokenType = dttStart;
};

} // namespace velmora
