#include "xpath/string_values.h"

#include "dom/element.h"
#include "xpath/node_kinds.h"
#include "xpath/xpath_document.h"

namespace velmora {

bool TDomXPathStringValues::InXPathDocument(const TDomNode* node) {
  if (node->ownerDocument() != FDocument) {
    FDocument = node->ownerDocument();
    FXPathDocument = XPathDocumentOf(node) != nullptr;
  }
  return FXPathDocument;
}

std::u16string_view TDomXPathStringValues::Of(const TDomNode* node) {
  switch (node->nodeType()) {
  case nkText:
  case nkCDATASection:
  case nkComment:
  case nkProcessingInstruction:
  case nkXPathNamespace:
    return node->nodeValue();
  case nkAttribute:
    if (InXPathDocument(node) &&
        TDomDocumentXPath::keepsAttributeValue(static_cast<const TDomAttr*>(node))) {
      return node->nodeValue();
    }
    break;
  case nkElement: {
    const TDomNode* child = node->firstChild();
    if (child && child == node->lastChild() && !child->hasChildNodes() &&
        (child->nodeType() == nkText || child->nodeType() == nkCDATASection)) {
      return child->nodeValue();
    }
    break;
  }
  default:
    break;
  }
  FBuffer = node->xpathStringValue();
  return FBuffer;
}

} // namespace velmora
