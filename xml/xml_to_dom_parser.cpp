#include "xml/xml_to_dom_parser.h"

#include <filesystem>
#include <limits>

#include "dom/document.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/wide_string_list.h"
#include "runtime/streams.h"
#include "xml/doc_reader.h"
#include "xml/input_sources.h"
#include "xml/utf_codecs.h"
#include "xml/wf_test_handler.h"

namespace velmora {

namespace {

// Frees a document on every path but the one that hands it out.
struct TDocumentGuard {
  TDomDocument* Document;
  ~TDocumentGuard() {
    if (Document) {
      TFirstFailure failures; // a guard that unwinds has no one to pass a handler's failure to
      Document->Free(failures);
    }
  }
  TDomDocument* Release() {
    TDomDocument* document = Document;
    Document = nullptr;
    return document;
  }
};

} // namespace

TXmlToDomParser::TXmlToDomParser(TComponent* owner) : TXmlCustomParser(owner) {
  CreateParts();
}

void TXmlToDomParser::CreateParts() {
  FReader = new TXmlStandardDocReader(this);
  FTestHandler = new TXmlWFTestHandler(this);
  FBuilder = new TXmlDomBuilder(this);
  FBuilder->SetDocTypeDeclTreatment(dtCheckWellformedness);
  FReader->SetDOMImpl(DOMImpl());
  FReader->SetNextHandler(FTestHandler);
  FTestHandler->SetNextHandler(FBuilder);
}

void TXmlToDomParser::SetDOMImpl(TDomImplementation* implementation) {
  TXmlCustomParser::SetDOMImpl(implementation);
  FReader->SetDOMImpl(implementation);
}

void TXmlCustomParser::RaiseParserError() {
  throw EParserException(dom_messages::kParserError);
}

bool TXmlCustomParser::SendErrorNotification(int errorKind) {
  const TDomError error(errorKind);
  if (TDomImplementation* implementation = DOMImpl()) {
    return implementation->handleError(this, &error);
  }
  return error.Severity() != svFatal;
}

void TXmlCustomParser::SetBufferSize(int32_t value) {
  if (value < 1024) {
    throw ENot_Supported_Err("BufferSize must not be less than 1024.");
  }
  FBufferSize = value;
}

bool TXmlToDomParser::ParseFragmentInto(TXmlSimpleInputSource* source,
                                        TDomDocumentFragment* fragment) {
  if (!fragment) {
    throw EAccessViolation("Reference document fragment not specified.");
  }
  if (!DOMImpl()) {
    throw EAccessViolation("DOM implementation not specified.");
  }
  FBuilder->SetReferenceNode(fragment);
  if (!FReader->ParseFragment(source)) {
    RaiseParserError();
  }
  return true;
}

TDomDocument* TXmlToDomParser::ParseFile(const NarrowString& fileName) {
  if (fileName.empty()) {
    throw EAccessViolation("Filename not specified.");
  }
  TFileStream stream(fileName, faRead);
  // The URI names the file wherever the program runs (relative references resolve against
  // it); positions count from the file's first byte, so that they point into the file.
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(fileName, ignored);
  const NarrowString name = absolute.empty() ? fileName : absolute.string();
  return ParseStream(&stream, NarrowToWide(fileNameToUri(name)), nullptr, false);
}

TDomDocument* TXmlToDomParser::ParseStringList(const TUtilsWideStringList& list,
                                               const WideString& systemId) {
  WideString text(1, u'\uFEFF');
  for (int i = 0; i < list.count(); ++i) {
    text += list.strings(i);
  }
  return ParseWideString(text, systemId, TUTF16LECodec::ClassRef(), true);
}

std::unique_ptr<TXmlInputSource> TXmlToDomParser::OpenSource(TStream* stream,
                                                             const WideString& systemId,
                                                             TUnicodeCodecClass codecClass,
                                                             bool keepInitialPosition) {
  if (!stream) {
    throw EAccessViolation("Stream not specified.");
  }
  try {
    return std::make_unique<TXmlInputSource>(stream, WideString(), systemId, BufferSize(),
                                             codecClass, keepInitialPosition, 0, 0, 0, 0, 1);
  } catch (const ENot_Supported_Err&) {
    SendErrorNotification(ekEncodingNotSupported);
    RaiseParserError();
  } catch (const EConvertError&) {
    SendErrorNotification(ekInputEncodingError);
    RaiseParserError();
  }
}

TDomDocument* TXmlToDomParser::ParseStream(TStream* stream, const WideString& systemId,
                                           TUnicodeCodecClass codecClass,
                                           bool keepInitialPosition) {
  if (stream && !stream->CanSeek()) {
    // A pipe: the reader goes back to the start after the XML declaration, so the bytes are
    // read first, and positions count from the first of them.
    NarrowString bytes;
    stream->ReadRest(bytes, std::numeric_limits<int64_t>::max());
    TMemoryStream memory(bytes.data(), static_cast<int64_t>(bytes.size()));
    return ParseStream(&memory, systemId, codecClass, false);
  }
  const std::unique_ptr<TXmlInputSource> source =
      OpenSource(stream, systemId, codecClass, keepInitialPosition);
  return ParseInputSource(source.get());
}

TDomDocument* TXmlToDomParser::ParseString(std::string_view text, const WideString& systemId,
                                           TUnicodeCodecClass codecClass,
                                           bool keepInitialPosition) {
  if (text.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  return ParseStream(&stream, systemId, codecClass, keepInitialPosition);
}

TDomDocument* TXmlToDomParser::ParseWideString(std::u16string_view text,
                                               const WideString& systemId,
                                               TUnicodeCodecClass codecClass,
                                               bool keepInitialPosition) {
  if (text.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size() * sizeof(char16_t)));
  return ParseStream(&stream, systemId, codecClass, keepInitialPosition);
}

TDomDocument* TXmlToDomParser::ParseUri(const WideString& systemId, TUnicodeCodecClass codecClass,
                                        bool keepInitialPosition) {
  if (!DOMImpl()) {
    throw EAccessViolation("DOM implementation not specified.");
  }
  WideString publicId;
  WideString resolvedId = systemId;
  std::unique_ptr<TStream> stream = DOMImpl()->resolveResource(u"", publicId, resolvedId);
  if (!stream) {
    return nullptr;
  }
  return ParseStream(stream.get(), resolvedId, codecClass, keepInitialPosition);
}

void TXmlToDomParser::CheckSource(const TXmlInputSource* source) {
  if (!source) {
    throw EAccessViolation("Input source not specified.");
  }
  if (!DOMImpl()) {
    throw EAccessViolation("DOM implementation not specified.");
  }
  if (source->BadDeclaration() || source->DeclKind() == dkTextDecl) {
    SendErrorNotification(ekInvalidXmlDeclaration);
    RaiseParserError();
  }
  if (source->DeclaredVersion() != u"1.0") {
    SendErrorNotification(ekUnsupportedVersion);
    RaiseParserError();
  }
}

void TXmlToDomParser::ParseInto(TXmlInputSource* source, TDomCustomDocument* document) {
  document->setDocumentURI(source->SystemId());
  FBuilder->SetReferenceNode(document);
  const bool completed = FReader->ParseDocument(source);
  FBuilder->SetReferenceNode(nullptr);
  if (!completed) {
    RaiseParserError();
  }
}

TDomDocument* TXmlToDomParser::ParseInputSource(TXmlInputSource* source) {
  CheckSource(source);
  TDocumentGuard guard{new TDomDocument(DOMImpl())};
  ParseInto(source, guard.Document);
  return guard.Release();
}

void TXmlToDomParser::ParseStringInto(std::string_view text, const WideString& systemId,
                                      TDomCustomDocument* document) {
  if (text.empty()) {
    throw EAccessViolation("Empty string.");
  }
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  const std::unique_ptr<TXmlInputSource> source = OpenSource(&stream, systemId, nullptr, false);
  CheckSource(source.get());
  ParseInto(source.get(), document);
}

} // namespace velmora
