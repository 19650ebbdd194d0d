#include "xml/dtd_model_parser.h"

#include <new>

#include "dom/document.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/wide_string_list.h"
#include "runtime/streams.h"
#include "xml/dtd_model.h"
#include "xml/dtd_model_builder.h"
#include "xml/dtd_reader.h"
#include "xml/input_sources.h"
#include "xml/utf_codecs.h"
#include "xml/wf_test_handler.h"

namespace velmora {

namespace {

WideString Joined(const TUtilsWideStringList& list) {
  WideString text;
  for (int i = 0; i < list.count(); ++i) {
    text += list.strings(i);
  }
  return text;
}

int64_t WideBytes(std::u16string_view text) {
  return static_cast<int64_t>(text.size() * sizeof(char16_t));
}

} // namespace

TDtdToDtdModelParser::TDtdToDtdModelParser(TComponent* owner) : TXmlCustomParser(owner) {
  FReader = new TXmlStandardDtdReader(this);
  FTestHandler = new TXmlWFTestHandler(this);
  FBuilder = new TXmlDtdModelBuilder(this);
  FReader->SetNextHandler(FTestHandler);
  FTestHandler->SetNextHandler(FBuilder);
}

void TDtdToDtdModelParser::SetDOMImpl(TDomImplementation* implementation) {
  TXmlCustomParser::SetDOMImpl(implementation);
  FReader->SetDOMImpl(implementation);
}

void TDtdToDtdModelParser::SetDtdModel(TDtdModel* model) {
  FModel = model;
  FBuilder->SetDtdModel(model);
}

void TDtdToDtdModelParser::Reset() {
  FReader->Reset();
  if (FModel) {
    FModel->Reset();
  }
}

template <class TMake> auto TDtdToDtdModelParser::MakeSource(TMake make) -> decltype(make()) {
  try {
    return make();
  } catch (const ENot_Supported_Err&) {
    SendErrorNotification(ekEncodingNotSupported);
  } catch (const EConvertError&) {
    SendErrorNotification(ekInputEncodingError);
  }
  RaiseParserError();
}

void TDtdToDtdModelParser::ParseExtSubsetStringList(const TUtilsWideStringList& list,
                                                    const WideString& publicId,
                                                    const WideString& systemId) {
  ParseExtSubsetWideString(Joined(list), publicId, true, TUTF16LECodec::ClassRef(), systemId);
}

void TDtdToDtdModelParser::ParseExtSubsetStream(TStream* stream, const WideString& publicId,
                                                bool keepInitialPosition,
                                                TUnicodeCodecClass codecClass,
                                                const WideString& systemId) {
  if (!stream) {
    throw EAccessViolation("Stream not specified.");
  }
  FBuilder->SetDtdModel(FModel);
  const std::unique_ptr<TXmlInputSource> source = MakeSource([&] {
    return std::make_unique<TXmlInputSource>(stream, publicId, systemId, BufferSize(), codecClass,
                                             keepInitialPosition, 0, 0, 0, 0, 1);
  });
  if (!FReader->ParseExternalSubset(source.get())) {
    RaiseParserError();
  }
}

void TDtdToDtdModelParser::ParseExtSubsetString(std::string_view bytes,
                                                const WideString& publicId,
                                                bool keepInitialPosition,
                                                TUnicodeCodecClass codecClass,
                                                const WideString& systemId) {
  if (bytes.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  ParseExtSubsetStream(&stream, publicId, keepInitialPosition, codecClass, systemId);
}

void TDtdToDtdModelParser::ParseExtSubsetWideString(std::u16string_view text,
                                                    const WideString& publicId,
                                                    bool keepInitialPosition,
                                                    TUnicodeCodecClass codecClass,
                                                    const WideString& systemId) {
  if (text.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(text.data(), WideBytes(text));
  ParseExtSubsetStream(&stream, publicId, keepInitialPosition, codecClass, systemId);
}

void TDtdToDtdModelParser::ParseIntSubsetStringList(const TUtilsWideStringList& list,
                                                    const WideString& publicId,
                                                    bool readExternal, const TSubsetStart& start,
                                                    TDomStandalone standalone,
                                                    const WideString& systemId) {
  ParseIntSubsetWideString(Joined(list), publicId, readExternal, start, standalone, systemId);
}

void TDtdToDtdModelParser::ParseIntSubsetStream(TStream* stream, const WideString& publicId,
                                                bool readExternal, const TSubsetStart& start,
                                                TDomStandalone standalone,
                                                TUnicodeCodecClass codecClass,
                                                const WideString& systemId) {
  if (!stream) {
    throw EAccessViolation("Stream not specified.");
  }
  FBuilder->SetDtdModel(FModel);
  const std::unique_ptr<TXmlSimpleInputSource> source = MakeSource([&] {
    return std::make_unique<TXmlSimpleInputSource>(stream, publicId, systemId, BufferSize(),
                                                   codecClass, start.Byte, start.Char,
                                                   start.Column, 0, start.Line);
  });
  if (!FReader->ParseInternalSubset(source.get(), standalone, readExternal)) {
    RaiseParserError();
  }
}

void TDtdToDtdModelParser::ParseIntSubsetString(std::string_view bytes,
                                                const WideString& publicId, bool readExternal,
                                                const TSubsetStart& start,
                                                TDomStandalone standalone,
                                                TUnicodeCodecClass codecClass,
                                                const WideString& systemId) {
  if (bytes.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  ParseIntSubsetStream(&stream, publicId, readExternal, start, standalone, codecClass, systemId);
}

void TDtdToDtdModelParser::ParseIntSubsetWideString(std::u16string_view text,
                                                    const WideString& publicId,
                                                    bool readExternal, const TSubsetStart& start,
                                                    TDomStandalone standalone,
                                                    const WideString& systemId) {
  if (text.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(text.data(), WideBytes(text));
  ParseIntSubsetStream(&stream, publicId, readExternal, start, standalone,
                       TUTF16LECodec::ClassRef(), systemId);
}

void TDtdToDtdModelParser::ReadExternalSubset(TDomDocumentTypeDecl& doctype,
                                              const WideString& base) {
  WideString publicId = doctype.publicId();
  WideString systemId = doctype.systemId();
  std::unique_ptr<TStream> stream;
  try {
    stream = DOMImpl()->resolveResource(base, publicId, systemId);
  } catch (const ENot_Found_Err&) {
    // No resolver: the subset cannot be opened, as when the resolver finds nothing.
  }
  if (!stream) {
    SendErrorNotification(ekExtSubsetNotFound);
    FModel->SetPrepStatus(psAborted);
    return;
  }
  WideString resolved;
  if (!resolveUri(base, doctype.systemId(), resolved)) {
    resolved = doctype.systemId();
  }
  ParseExtSubsetStream(stream.get(), doctype.publicId(), false, nullptr, resolved);
}

void TDtdToDtdModelParser::ParseDocTypeDecl(TDomDocumentTypeDecl* doctype, bool readExternal) {
  if (!doctype) {
    throw EAccessViolation("Document type declaration not specified.");
  }
  if (!DOMImpl()) {
    throw EAccessViolation("DOM implementation not specified.");
  }
  if (!FModel) {
    throw EAccessViolation("Target DTD model not specified.");
  }
  TDomCustomDocument* document = doctype->ownerDocument();
  if (!document || document->implementation() != DOMImpl()) {
    throw EWrong_DOM_Implementation_Err(dom_messages::kWrongDomImplementation);
  }
  const WideString base = document->documentURI();
  Reset();
  const auto standalone = static_cast<TDomStandalone>(document->xmlStandalone());
  try {
    if (!doctype->internalSubset().empty()) {
      const TSubsetStart start{doctype->IntSubsetStartLine, doctype->IntSubsetStartColumn,
                               doctype->IntSubsetStartChar, doctype->IntSubsetStartByte};
      ParseIntSubsetWideString(doctype->internalSubset(), u"", readExternal, start, standalone,
                               base);
    } else {
      FModel->SetPrepStatus(psNoDeclarations);
    }
    const TDtdPrepStatus status = FModel->PrepStatus();
    if (status != psIntSubsetComplete && status != psNoDeclarations) {
      return;
    }
    if (doctype->systemId().empty() && doctype->publicId().empty()) {
      if (status == psIntSubsetComplete) {
        FModel->SetPrepStatus(psComplete);
      }
    } else if (readExternal) {
      ReadExternalSubset(*doctype, base);
    } else if (status == psIntSubsetComplete) {
      FModel->SetPrepStatus(psExtSubsetUnread);
    }
  } catch (const std::bad_alloc&) {
    FModel->SetPrepStatus(psAborted);
    throw;
  } catch (const std::exception&) {
    FModel->SetPrepStatus(psAborted);
  }
}

} // namespace velmora
