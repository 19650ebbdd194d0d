#pragma once
// The document service: the converter's one way into the XML stack. It loads files,
// streams and texts into XPath documents that it owns, and answers XPath queries about
// them as node lists and as joined texts.

#include <functional>
#include <memory>

#include "dom/dom_implementation.h"
#include "runtime/variant.h"

namespace velmora {

class TDomDocumentXPath;
class TDomNodeList;
class TStream;

enum TParserType : uint8_t { ptXml = 0, ptHtml = 1 };

// Called before every parse with the source text and the parser type; may replace either.
using TBeforeParseEvent = std::function<void(NarrowString& text, TParserType& parserType)>;

class TvxDomImplementation : public TDomImplementation {
public:
  explicit TvxDomImplementation(TComponent* owner = nullptr);
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

private:
  NarrowString FLastSource;
  NarrowString FLastXmlSource;
  // An XML load hands its source on unchanged: one copy of it is kept, not two.
  bool FLastXmlSourceIsSource = false;
};

} // namespace velmora
