#pragma once
// The document reader: drives the document tokenizer over an input source, cuts start
// tags into name and attributes, converts character references, and sends one signal per
// event down its handler chain. It neither resolves entity references nor normalizes
// attribute values: values travel as written between their quotes.

#include <memory>
#include <vector>

#include "xml/doc_tokenizer.h"
#include "xml/handlers.h"

namespace velmora {

class TXmlInputSource;

class TXmlStandardDocReader : public TXmlCustomReader {
public:
  explicit TXmlStandardDocReader(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TXmlStandardDocReader"; }

  // Reads every token and dispatches it; each operation gets the tokenizer as location.
  virtual void ParseTokens(TXmlDocTokenizer& tokenizer);
  virtual void SendAborted(const TextLocation* location);
  virtual void SendAttribute(const TextLocation* location, std::u16string_view name,
                             std::u16string_view value);
  virtual void SendCData(const TextLocation* location, std::u16string_view text);
  virtual void SendDecimalCharRef(const TextLocation* location, std::u16string_view digits);
  virtual void SendHexCharRef(const TextLocation* location, std::u16string_view digits);
  virtual void SendComment(const TextLocation* location, std::u16string_view text);
  virtual void SendPCData(const TextLocation* location, std::u16string_view text);
  virtual void SendPI(const TextLocation* location, std::u16string_view text);
  virtual void SendStartDocument(const TextLocation* location, std::u16string_view actualEncoding,
                                 uint8_t standalone, std::u16string_view declaredEncoding,
                                 std::u16string_view version);
  virtual void SendStartFragment(const TextLocation* location, std::u16string_view actualEncoding);
  virtual void SendStartElement(const TextLocation* location, std::u16string_view tagName);
  // Sends the start element and then one attribute signal per attribute as written;
  // a broken attribute list is reported and ends the attributes there.
  virtual void ProcessStartTag(const TextLocation* location, std::u16string_view text,
                               std::u16string_view& tagName);
  virtual void SendEndElement(const TextLocation* location, std::u16string_view tagName);
  virtual void ProcessEmptyElementTag(const TextLocation* location, std::u16string_view text);
  virtual void SendEntityRef(const TextLocation* location, std::u16string_view name);
  virtual void ProcessDoctypeDecl(const TXmlDocTokenizer& token, std::u16string_view text);
  virtual void SendCompleted(const TextLocation* location);
  // True when the whole input was read and passed on; false when reading stopped (the
  // chain then received the aborted signal). No exception passes.
  virtual bool ParseDocument(TXmlInputSource* inputSource);
  // The same for an input without document-level rules; none returns true at once.
  virtual bool ParseFragment(TXmlSimpleInputSource* inputSource);

private:
  void SendCharRef(const TextLocation* location, std::u16string_view digits, bool hex);
  // Whether name was not yet among this tag's attribute names (which it joins).
  bool IsNewAttributeName(std::u16string_view name);
  void StartHashedNames();
  template <class TStart> bool Parse(TXmlSimpleInputSource* inputSource, TStart sendStart);

  std::vector<std::u16string_view> FAttributeNames; // of the tag being read
  // Beyond a few attributes, the tag's names hashed.
  struct THashedNames;
  std::unique_ptr<THashedNames> FHashedNames;

protected:
  ~TXmlStandardDocReader() override;
};

} // namespace velmora
