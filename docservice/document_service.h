#pragma once
// The document service: the converter's one way into the XML stack. It loads files,
// streams and texts into XPath documents that it owns, and answers XPath queries about
// them as node lists and as joined texts.

#include <functional>
#include <memory>
#include <vector>

#include "docservice/expression_cache.h"
#include "docservice/html/html_to_xml.h"
#include "dom/dom_implementation.h"
#include "runtime/variant.h"

namespace velmora {

class TDomDocumentXPath;
class TXPathExpression;
class TXmlToDomParser;
class TDomNodeList;
class TStream;

enum TParserType : uint8_t { ptXml = 0, ptHtml = 1 };

// Called before every parse with the source text and the parser type; may replace either.
using TBeforeParseEvent = std::function<void(NarrowString& text, TParserType& parserType)>;

// The message of a source larger than TvxDomImplementation::kMaxSourceBytes.
constexpr const char* kSourceTooLarge = "Source too large: a document may have at most 1024 MB.";

class TvxDomImplementation : public TDomImplementation {
public:
  // The largest source a load takes. A document needs many times its size in memory (its
  // tree, and the parsed tree it is copied from when it has a document type declaration); a
  // larger source would exhaust memory part way through instead of failing at once. A larger
  // one raises EReadError kSourceTooLarge.
  static constexpr int64_t kMaxSourceBytes = int64_t{1024} << 20;

  explicit TvxDomImplementation(TComponent* owner = nullptr);
  ~TvxDomImplementation() override;
  const char* ClassName() const override { return "TvxDomImplementation"; }

  // Each load gives a new document that the service keeps until it is freed. A load that
  // fails keeps nothing: its failure reaches the caller and its document is freed.
  // A file that cannot be opened raises EFOpenError "Datei %s kann nicht geöffnet
  // werden. %s"; an empty text EAccessViolation "Empty string."; text that is not
  // well-formed, or that the XPath document cannot hold as it stands (an undeclared prefix,
  // a reference to an entity), EParserException "Parser error.".
  TDomDocumentXPath* LoadFromFile(const NarrowString& fileName, TParserType parserType);
  // Reads the stream from its position to its end; a shorter stream than its size says
  // raises EReadError "Stream-Lesefehler".
  TDomDocumentXPath* LoadFromStream(TStream& stream, TParserType parserType);
  TDomDocumentXPath* LoadFromText(NarrowString text, TParserType parserType);

  // The text of the last load as it stood after OnBeforeParse, and the text last handed to
  // the XML parser (for an HTML load, the cleaned text).
  const NarrowString& LastSource() const { return FLastSource; }
  const NarrowString& LastXmlSource() const {
    return FLastXmlSourceIsSource ? FLastSource : FLastXmlSource;
  }

  TBeforeParseEvent OnBeforeParse;

  // The nodes expression selects from context (the document itself when context is none),
  // in the order of the result; none when it selects nothing or is no node set. The nodes
  // stay their document's. An expression that does not parse or fails to evaluate, or
  // whose result holds namespace nodes (which would go with the result), raises
  // EXPath_Invalid_Expression_Err "XPath expression error."; a context node outside an
  // XPath document ENot_Supported_Err "Not supported error.".
  std::unique_ptr<TDomNodeList> SelectNodes(TDomDocumentXPath* document, TDomNode* context,
                                            std::u16string_view expression);
  std::unique_ptr<TDomNodeList> SelectDocumentNodes(TDomDocumentXPath* document,
                                                    std::u16string_view expression);
  // The texts of the selected nodes (NodeText) joined by separator; empty when nothing is
  // selected. Failures as for SelectNodes.
  TVariant JoinedValue(TDomDocumentXPath* document, TDomNode* context,
                       std::u16string_view expression, std::string_view separator);
  // The node's text by its kind, without the leading and trailing code units up to U+0020:
  // the text content of an element, a text or an entity reference; the normalized value of
  // an attribute; the data of a comment or processing instruction; the text content of a
  // document's element; the URI of a namespace node; nothing for other kinds.
  static NarrowString NodeText(const TDomNode* node);

protected:
  void BeforeDestruction() noexcept override;
  // Records the decisions taken on the problems of a load's first read, and gives them
  // again when the same problems come up in its second.
  void doError(void* sender, const TDomError& error, bool& go) override;
  // The way every document can take: parsed into a plain document, expanded and replayed
  // into a new XPath document.
  TDomDocumentXPath* LoadThroughParsedDocument(std::string_view text);

private:
  // The evaluated query, whose node-set result holds no namespace nodes; an empty result
  // is no node set or an empty one. It serves until the next query.
  TXPathExpression& Evaluated(TDomDocumentXPath* document, TDomNode* context,
                              std::u16string_view expression);

  // The XML text last handed to the parser, into a new XPath document.
  TDomDocumentXPath* LoadXmlSource();
  // Parsed into the XPath document as it is read; raises EParserException also when the
  // document needs the other way.
  TDomDocumentXPath* LoadStraight(std::string_view text);
  // A parser of this service with the options of both ways.
  TXmlToDomParser* NewParser();

  std::vector<bool> FDecisions; // whether reading went on after each problem reported
  size_t FDecisionsReplayed = 0;
  bool FRecordingDecisions = false;
  NarrowString FLastSource;
  NarrowString FLastXmlSource;
  // An XML load hands its source on unchanged: one copy of it is kept, not two.
  bool FLastXmlSourceIsSource = false;
  TXPathExpressionCache FExpressions;
  // Cleans HTML into the XML that is parsed, set up once for all loads.
  THtmlToXml FHtml;
};

} // namespace velmora
