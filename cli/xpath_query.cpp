#include "cli/xpath_query.h"

#include <memory>

#include "dom/dom_implementation.h"
#include "runtime/exceptions.h"
#include "xml/dom_builder.h"
#include "xml/dom_reader.h"
#include "xml/xml_to_dom_parser.h"
#include "xpath/node_paths.h"
#include "xpath/number_text.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_expression.h"

namespace velmora {

namespace {

NarrowString Quoted(const WideString& text) {
  NarrowString quoted = "\"";
  for (const char c : WideToNarrow(text)) {
    switch (c) {
    case '\\':
      quoted += "\\\\";
      break;
    case '"':
      quoted += "\\\"";
      break;
    case '\n':
      quoted += "\\n";
      break;
    case '\t':
      quoted += "\\t";
      break;
    case '\r':
      quoted += "\\r";
      break;
    default:
      quoted += c;
    }
  }
  return quoted + "\"";
}

// Frees a document on every path; the implementation object would only do so at its end.
struct TDocumentFree {
  void operator()(TCustomOwnedObject* document) const noexcept { document->Free(); }
};

} // namespace

TDomDocumentXPath* LoadXPathDocument(TvxDomImplementation& service, std::string_view text,
                                     TParserType parserType, NarrowString& error) {
  try {
    return service.LoadFromText(NarrowString(text), parserType);
  } catch (const std::exception& exception) {
    error = FailureText(exception);
    return nullptr;
  }
}

NarrowString XPathResultText(const TXPathExpression& query, bool evaluated,
                             TDomXPathNodePaths& paths) {
  if (!evaluated || !query.Result()) {
    return query.FailureMessage().empty() ? NarrowString("error\n")
                                          : "error: " + query.FailureMessage() + "\n";
  }
  switch (query.Result()->ResultType()) {
  case rtNodeSet: {
    NarrowString text = "nodeset " + std::to_string(query.ResultLength()) + "\n";
    for (int i = 0; i < query.ResultLength(); ++i) {
      text += WideToNarrow(paths.Of(query.ResultNode(i))) + "\n";
    }
    return text;
  }
  case rtBoolean:
    return query.AsBoolean() ? "boolean true\n" : "boolean false\n";
  case rtNumber:
    return "number " + WideToNarrow(XPathNumberToString(query.AsNumber())) + "\n";
  default:
    return "string " + Quoted(query.AsWideString()) + "\n";
  }
}

} // namespace velmora
