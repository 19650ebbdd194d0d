#pragma once
// The DTD-to-model parser: a DTD reader, a well-formedness test handler and a DTD model
// builder, chained in this order, behind entry points for internal and external subsets
// as streams and strings, and for a whole document type declaration.

#include "xml/input_sources.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora {

class TDomDocumentTypeDecl;
class TDtdModel;
class TXmlDtdModelBuilder;
class TXmlStandardDtdReader;

class TDtdToDtdModelParser : public TXmlCustomParser {
public:
  explicit TDtdToDtdModelParser(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TDtdToDtdModelParser"; }

  // Also the reader's implementation.
  void SetDOMImpl(TDomImplementation* implementation) override;
  // The model the declarations go into; not owned.
  virtual void SetDtdModel(TDtdModel* model);
  TDtdModel* DtdModel() const { return FModel; }

  // Each raises EParserException "Parser error." when the subset was not read without
  // errors (the records were delivered first).
  virtual void ParseExtSubsetStringList(const TUtilsWideStringList& list,
                                        const WideString& publicId, const WideString& systemId);
  virtual void ParseExtSubsetStream(TStream* stream, const WideString& publicId,
                                    bool keepInitialPosition, TUnicodeCodecClass codecClass,
                                    const WideString& systemId);
  // bytes holds the subset's bytes.
  virtual void ParseExtSubsetString(std::string_view bytes, const WideString& publicId,
                                    bool keepInitialPosition, TUnicodeCodecClass codecClass,
                                    const WideString& systemId);
  virtual void ParseExtSubsetWideString(std::u16string_view text, const WideString& publicId,
                                        bool keepInitialPosition, TUnicodeCodecClass codecClass,
                                        const WideString& systemId);
  // The positions are where the subset starts in its document.
  struct TSubsetStart {
    int64_t Line = 1;
    int64_t Column = 0;
    int64_t Char = 0;
    int64_t Byte = 0;
  };
  virtual void ParseIntSubsetStringList(const TUtilsWideStringList& list,
                                        const WideString& publicId, bool readExternal,
                                        const TSubsetStart& start, TDomStandalone standalone,
                                        const WideString& systemId);
  virtual void ParseIntSubsetStream(TStream* stream, const WideString& publicId,
                                    bool readExternal, const TSubsetStart& start,
                                    TDomStandalone standalone, TUnicodeCodecClass codecClass,
                                    const WideString& systemId);
  virtual void ParseIntSubsetString(std::string_view bytes, const WideString& publicId,
                                    bool readExternal, const TSubsetStart& start,
                                    TDomStandalone standalone, TUnicodeCodecClass codecClass,
                                    const WideString& systemId);
  virtual void ParseIntSubsetWideString(std::u16string_view text, const WideString& publicId,
                                        bool readExternal, const TSubsetStart& start,
                                        TDomStandalone standalone,
                                        const WideString& systemId);
  // Reads the internal subset of doctype and, with readExternal, its external subset and
  // the external parameter entities; the outcome is the model's preparation status (a
  // failure leaves it psAborted and raises nothing).
  virtual void ParseDocTypeDecl(TDomDocumentTypeDecl* doctype, bool readExternal);
  // The reader's and the model's.
  virtual void Reset();

  TXmlStandardDtdReader* Reader() const { return FReader; }
  TXmlDtdModelBuilder* Builder() const { return FBuilder; }

private:
  void ReadExternalSubset(TDomDocumentTypeDecl& doctype, const WideString& base);
  // The input source make builds. A codec that is not supported, or first bytes that cannot
  // be decoded, are reported as their error kind and raise the parser error.
  template <class TMake> auto MakeSource(TMake make) -> decltype(make());

  // Owned as components of the parser.
  TXmlStandardDtdReader* FReader = nullptr;
  TXmlWFTestHandler* FTestHandler = nullptr;
  TXmlDtdModelBuilder* FBuilder = nullptr;
  TDtdModel* FModel = nullptr;
};

} // namespace velmora
