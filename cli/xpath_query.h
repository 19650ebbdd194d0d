#pragma once
// XPath on the command line: documents loaded the way the converter loads them, and
// results written in the form that "velmora-xml xpath" prints and scripts compare:
//   nodeset N            then one node path per line (xpath/node_paths.h), in result order
//   boolean true|false
//   number V             the engine's own formatting
//   string "S"           with \\, \", \n, \t and \r escaped
//   error                the expression did not parse or failed to evaluate

#include <string_view>

#include "docservice/document_service.h"
#include "runtime/strings.h"

namespace velmora {

class TDomDocumentXPath;
class TDomXPathNodePaths;
class TXPathExpression;

// The document in text (its bytes) loaded by the document service, as the converter loads
// it. None, with the reason in error, when the load fails.
TDomDocumentXPath* LoadXPathDocument(TvxDomImplementation& service, std::string_view text,
                                     TParserType parserType, NarrowString& error);

// The lines (each ending in a line feed) for query's last Evaluate, which returned
// evaluated.
NarrowString XPathResultText(const TXPathExpression& query, bool evaluated,
                             TDomXPathNodePaths& paths);

} // namespace velmora
