#pragma once
// Where in the file the elements and entity references of a parsed document began. The
// checks that run on the finished document (validation, the expansion of entities) know
// only the node a problem is about; this handler, placed before the builder, lets their
// records name a line and a column as the reader's own do.

#include <cstdint>
#include <vector>

#include "xml/handlers.h"

namespace velmora {

class TDomNode;
class TXmlDomBuilder;

class TXmlNodePlaces final : public TXmlCustomHandler {
public:
  // builder: the next handler, whose newest node each signal's place is given to.
  explicit TXmlNodePlaces(TXmlDomBuilder* builder);
  const char* ClassName() const override { return "TXmlNodePlaces"; }

  // Nodes are placed only after a document type declaration: without one, nothing checks
  // the finished document, and a large file should not pay for it.
  void ProcessSignal(TXmlSignal& signal) override;

  // The place of node, or of the nearest element that holds it (an attribute: its
  // element); false when none is known.
  bool Find(const TDomNode* node, int64_t& line, int64_t& column);
  // To be told of every node that goes after the parse, before another may take its memory.
  void Forget(const TDomNode* node);

private:
  // Line 0: the node has gone. A line or column past 32 bits is kept as the largest.
  struct TPlace {
    const TDomNode* Node;
    uint32_t Line, Column;
  };
  void Place(const TDomNode* node, const TXmlSignal& signal);
  // The place of node, or none. The places are kept in the order they were read, which
  // costs the parse nearly nothing; the first question sorts them by node.
  TPlace* Lookup(const TDomNode* node);

  TXmlDomBuilder* FBuilder;
  bool FDoctypeSeen = false;
  std::vector<TPlace> FPlaces;
  bool FSorted = false;
};

} // namespace velmora
