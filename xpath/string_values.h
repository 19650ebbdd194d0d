#pragma once
// The string values of nodes as comparisons read them, without copies where the value is
// stored as it stands: in a text, comment, processing instruction or namespace node, an
// element whose one child is a text, or an attribute of an XPath document whose value
// has no references or line breaks. Anything else is computed into a buffer.

#include <string_view>

#include "runtime/strings.h"

namespace velmora {

class TDomCustomDocument;
class TDomNode;

class TDomXPathStringValues {
public:
  // The string value of node; valid until the next call.
  std::u16string_view Of(const TDomNode* node);

private:
  bool InXPathDocument(const TDomNode* node);

  WideString FBuffer;
  const TDomCustomDocument* FDocument = nullptr;
  bool FXPathDocument = false;
};

} // namespace velmora
