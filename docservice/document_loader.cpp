// Loading: the text is read into a new XPath document, straight or through a plain parsed
// document that a DOM reader replays into it; the XPath document stays.

#include "docservice/document_service.h"

#include "docservice/copy_releaser.h"
#include "docservice/direct_load_handler.h"
#include "docservice/html/html_to_xml.h"
#include "dom/document.h"
#include "dom/dom_exceptions.h"
#include "platform/page_memory.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/streams.h"
#include "xml/dom_builder.h"
#include "xml/dom_reader.h"
#include "xml/dtd_validation_agent.h"
#include "xml/resource_resolvers.h"
#include "xml/wf_test_handler.h"
#include "xml/xml_to_dom_parser.h"
#include "xpath/xpath_document.h"

namespace velmora {

namespace {

// Frees a document on every path but the one that hands it out.
template <class TDocument> class TDocumentGuard {
public:
  explicit TDocumentGuard(TDocument* document) : FDocument(document) {}
  TDocumentGuard(const TDocumentGuard&) = delete;
  TDocumentGuard& operator=(const TDocumentGuard&) = delete;
  ~TDocumentGuard() {
    if (FDocument) {
      TFirstFailure failures; // a guard that unwinds has no one to pass a handler's failure to
      FDocument->Free(failures);
    }
  }
  TDocument* get() const { return FDocument; }
  TDocument* Release() {
    TDocument* document = FDocument;
    FDocument = nullptr;
    return document;
  }

private:
  TDocument* FDocument;
};

const char* ParserTypeName(TParserType parserType) {
  switch (parserType) {
  case ptXml:
    return "ptXml";
  case ptHtml:
    return "ptHtml";
  }
  return nullptr;
}

[[noreturn]] void RaiseNotSupported(TParserType parserType) {
  const char* name = ParserTypeName(parserType);
  const NarrowString shown = name ? NarrowString(name) : std::to_string(parserType);
  throw ENot_Supported_Err(Format("%s: %s", {"Not supported error", shown}));
}

} // namespace

TvxDomImplementation::TvxDomImplementation(TComponent* owner)
    : TDomImplementation(owner) {
  SetResourceResolver(new TStandardResourceResolver(this));
}

TvxDomImplementation::~TvxDomImplementation() = default;

void TvxDomImplementation::BeforeDestruction() noexcept {
  // The results of the kept queries refer to the documents: they go first.
  FExpressions.Clear();
  TDomImplementation::BeforeDestruction();
}

TDomDocumentXPath* TvxDomImplementation::LoadFromFile(const NarrowString& fileName,
                                                      TParserType parserType) {
  TFileStream file(fileName, faRead);
  return LoadFromStream(file, parserType);
}

TDomDocumentXPath* TvxDomImplementation::LoadFromStream(TStream& stream, TParserType parserType) {
  if (!stream.CanSeek()) {
    NarrowString text;
    if (!stream.ReadRest(text, kMaxSourceBytes)) {
      throw EReadError(kSourceTooLarge);
    }
    return LoadFromText(std::move(text), parserType);
  }
  const int64_t size = stream.Size() - stream.Position();
  if (size > kMaxSourceBytes) {
    throw EReadError(kSourceTooLarge);
  }
  const auto length = static_cast<size_t>(size > 0 ? size : 0);
  NarrowString text;
  text.reserve(length);
  // A backup of many megabytes would fault in page by page as it is read.
  AdviseLargePages(text.data(), text.capacity());
  text.resize(length);
  stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  return LoadFromText(std::move(text), parserType);
}

TDomDocumentXPath* TvxDomImplementation::LoadFromText(NarrowString text, TParserType parserType) {
  if (static_cast<int64_t>(text.size()) > kMaxSourceBytes) {
    throw EReadError(kSourceTooLarge);
  }
  if (OnBeforeParse) {
    OnBeforeParse(text, parserType);
  }
  if (FLastXmlSourceIsSource) {
    // The previous load's text stays the one last handed to the parser until this load's is.
    FLastXmlSource = std::move(FLastSource);
    FLastXmlSourceIsSource = false;
  }
  FLastSource = std::move(text);

  switch (parserType) {
  case ptXml:
    FLastXmlSource.clear();
    FLastXmlSourceIsSource = true;
    break;
  case ptHtml:
    if (!THtmlToXml::Available()) {
      RaiseNotSupported(parserType);
    }
    FLastXmlSource = FHtml.Clean(FLastSource);
    FLastXmlSourceIsSource = false;
    break;
  default:
    RaiseNotSupported(parserType);
  }
  return LoadXmlSource();
}

void TvxDomImplementation::doError(void* sender, const TDomError& error, bool& go) {
  if (!FRecordingDecisions && FDecisionsReplayed < FDecisions.size()) {
    go = FDecisions[FDecisionsReplayed++];
    return;
  }
  TDomImplementation::doError(sender, error, go);
  if (FRecordingDecisions) {
    FDecisions.push_back(go);
  }
}

// Most documents have no document type declaration: they are read straight into the XPath
// document. The others, and any read that stops for a reason no report gave, go through a
// parsed document; that read reports the same problems as the first up to where it
// stopped, and the decisions taken on them then are given again instead of asking twice.
TDomDocumentXPath* TvxDomImplementation::LoadXmlSource() {
  struct TDecisionScope {
    TvxDomImplementation& Service;
    ~TDecisionScope() {
      Service.FRecordingDecisions = false;
      Service.FDecisions.clear();
      Service.FDecisionsReplayed = 0;
    }
  } scope{*this};
  FDecisions.clear();
  FDecisionsReplayed = 0;
  FRecordingDecisions = true;
  try {
    return LoadStraight(LastXmlSource());
  } catch (const EParserException&) {
    if (!FDecisions.empty() && !FDecisions.back()) {
      throw; // a reported fatal error stops the other read at the same place
    }
  }
  FRecordingDecisions = false;
  return LoadThroughParsedDocument(LastXmlSource());
}

TXmlToDomParser* TvxDomImplementation::NewParser() {
  auto* parser = new TXmlToDomParser(this);
  parser->SetDOMImpl(this);
  parser->SetKeepCDATASections(true);
  parser->SetKeepComments(true);
  parser->SetKeepEntityRefs(false);
  return parser;
}

TDomDocumentXPath* TvxDomImplementation::LoadStraight(std::string_view text) {
  // Attribute values are expanded by the rules of a document without a type declaration.
  TDocumentGuard<TDomDocument> normalizer(new TDomDocument(this));
  TDocumentGuard<TDomDocumentXPath> document(new TDomDocumentXPath(this));
  TOwned<TXmlToDomParser> parser(NewParser());
  parser->Builder()->SetDocTypeDeclTreatment(dtIgnore);
  TOwned<TXmlDirectLoadHandler> handler(new TXmlDirectLoadHandler(this, normalizer.get()));
  parser->TestHandler()->SetNextHandler(handler.get());
  handler->SetNextHandler(parser->Builder());
  parser->ParseStringInto(text, u"", document.get());
  return document.Release();
}

TDomDocumentXPath* TvxDomImplementation::LoadThroughParsedDocument(std::string_view text) {
  TOwned<TXmlDomBuilder> builder(new TXmlDomBuilder(this));
  // The parse has checked the document type declaration already, and an XPath document
  // cannot hold one.
  builder->SetDocTypeDeclTreatment(dtIgnore);
  TDocumentGuard<TDomDocumentXPath> document(new TDomDocumentXPath(this));
  builder->SetReferenceNode(document.get());
  TOwned<TXmlCopyReleaser> releaser(new TXmlCopyReleaser(this));
  releaser->SetNextHandler(builder.get());
  TOwned<TXmlStandardDomReader> reader(new TXmlStandardDomReader(this));
  reader->SetDOMImpl(this);
  reader->SetNextHandler(releaser.get());

  TOwned<TXmlToDomParser> parser(NewParser());
  TDocumentGuard<TDomDocument> parsed(parser->ParseString(text, u"", nullptr, false));
  // The XPath document holds no entity references: declared entities are filled in and
  // replayed as their content, values written out; an undeclared one fails the load.
  if (parsed.get() &&
      !parsed.get()->validationAgent().ExpandDocument(TDtdValidationAgent::eoRewriteValues)) {
    throw EParserException(dom_messages::kParserError);
  }
  reader->SetReplayEntityContent(true);
  // A copy that stops early would hand out part of the file as if it were all of it.
  if (!reader->ReadNode(parsed.get())) {
    throw EParserException(dom_messages::kParserError);
  }
  builder->SetReferenceNode(nullptr);
  return document.Release();
}

} // namespace velmora
