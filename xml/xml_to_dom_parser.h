#pragma once
// The XML-to-DOM parser: a document reader, a well-formedness test handler and a DOM
// builder, chained in this order, behind entry points for files, streams, strings and
// URIs. Every parse gives a new document or, after its errors were reported, raises
// EParserException "Parser error." with nothing half-built left over.

#include <memory>

#include "xml/dom_builder.h"
#include "xml/unicode_codec.h"

namespace velmora {

class TDomCustomDocument;
class TDomDocument;
class TDomDocumentFragment;
class TStream;
class TUtilsWideStringList;
class TXmlInputSource;
class TXmlSimpleInputSource;
class TXmlStandardDocReader;
class TXmlWFTestHandler;

class TXmlCustomParser : public TDomBaseComponent {
public:
  explicit TXmlCustomParser(TComponent* owner = nullptr) : TDomBaseComponent(owner) {}
  const char* ClassName() const override { return "TXmlCustomParser"; }

  TDomImplementation* DOMImpl() const { return FDomImpl.get(); }
  virtual void SetDOMImpl(TDomImplementation* implementation) {
    SetReference(FDomImpl, implementation);
  }
  // Delivers a problem found outside a reader (a record without a location); whether
  // reading may go on.
  virtual bool SendErrorNotification(int errorKind);
  // The byte buffer of input sources; below 1024 raises ENot_Supported_Err "BufferSize must
  // not be less than 1024.".
  int32_t BufferSize() const { return FBufferSize; }
  virtual void SetBufferSize(int32_t value);

protected:
  [[noreturn]] static void RaiseParserError();

private:
  TComponentRef<TDomImplementation> FDomImpl;
  int32_t FBufferSize = 4096;
};

class TXmlToDomParser : public TXmlCustomParser {
public:
  explicit TXmlToDomParser(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TXmlToDomParser"; }

  // Also the reader's implementation.
  void SetDOMImpl(TDomImplementation* implementation) override;
  // Parses source as the content of fragment.
  virtual bool ParseFragmentInto(TXmlSimpleInputSource* source, TDomDocumentFragment* fragment);
  virtual TDomDocument* ParseFile(const NarrowString& fileName);
  // The strings joined, with a byte-order mark in front, read as UTF-16.
  virtual TDomDocument* ParseStringList(const TUtilsWideStringList& list,
                                        const WideString& systemId);
  virtual TDomDocument* ParseStream(TStream* stream, const WideString& systemId,
                                    TUnicodeCodecClass codecClass, bool keepInitialPosition);
  // text holds the document's bytes.
  virtual TDomDocument* ParseString(std::string_view text, const WideString& systemId,
                                    TUnicodeCodecClass codecClass, bool keepInitialPosition);
  // None when the implementation resolves no stream for the URI.
  virtual TDomDocument* ParseUri(const WideString& systemId, TUnicodeCodecClass codecClass,
                                 bool keepInitialPosition);
  virtual TDomDocument* ParseWideString(std::u16string_view text, const WideString& systemId,
                                        TUnicodeCodecClass codecClass, bool keepInitialPosition);
  virtual TDomDocument* ParseInputSource(TXmlInputSource* source);
  // Parses text as ParseString does, into document: an empty document the caller made and
  // keeps, whatever the parse gave, on every path.
  virtual void ParseStringInto(std::string_view text, const WideString& systemId,
                               TDomCustomDocument* document);

  bool KeepCDATASections() const { return FBuilder->KeepCDATASections(); }
  void SetKeepCDATASections(bool value) { FBuilder->SetKeepCDATASections(value); }
  bool KeepComments() const { return FBuilder->KeepComments(); }
  void SetKeepComments(bool value) { FBuilder->SetKeepComments(value); }
  bool KeepEntityRefs() const { return FBuilder->KeepEntityRefs(); }
  void SetKeepEntityRefs(bool value) { FBuilder->SetKeepEntityRefs(value); }

  TXmlStandardDocReader* Reader() const { return FReader; }
  TXmlWFTestHandler* TestHandler() const { return FTestHandler; }
  TXmlDomBuilder* Builder() const { return FBuilder; }

protected:
  virtual void CreateParts();

private:
  // The input source of stream; a codec or declaration it cannot take is reported and raises
  // EParserException.
  std::unique_ptr<TXmlInputSource> OpenSource(TStream* stream, const WideString& systemId,
                                              TUnicodeCodecClass codecClass,
                                              bool keepInitialPosition);
  // The checks of a source before its parse; failures as for ParseInputSource.
  void CheckSource(const TXmlInputSource* source);
  // Reads source into document; raises EParserException when reading stopped.
  void ParseInto(TXmlInputSource* source, TDomCustomDocument* document);

private:
  // Owned as components of the parser.
  TXmlStandardDocReader* FReader = nullptr;
  TXmlWFTestHandler* FTestHandler = nullptr;
  TXmlDomBuilder* FBuilder = nullptr;
};

} // namespace velmora
