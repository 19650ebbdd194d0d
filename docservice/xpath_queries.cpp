// The queries the converter asks of a loaded document: node lists and joined texts.

#include "docservice/document_service.h"
#include "docservice/owned_node_list.h"
#include "dom/document.h"
#include "dom/dom_exceptions.h"
#include "dom/element.h"
#include "toolkit/string_toolkit.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_expression.h"

namespace velmora {

namespace {

constexpr const char* kXPathExpressionError = "XPath expression error.";

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() <= u' ') {
    text.remove_suffix(1);
  }
  return text;
}

NarrowString TrimmedNarrow(std::u16string_view text) {
  return WideToNarrow(Trimmed(text));
}

} // namespace

TXPathExpression& TvxDomImplementation::Evaluated(TDomDocumentXPath* document, TDomNode* context,
                                                  std::u16string_view expression) {
  TXPathExpression& query = FExpressions.Get(expression);
  query.SetContextNode(context ? context : document);
  if (!query.Evaluate()) {
    throw EXPath_Invalid_Expression_Err(kXPathExpressionError);
  }
  for (int i = 0, n = query.ResultLength(); i < n; ++i) {
    if (query.ResultNode(i)->nodeType() == nkXPathNamespace) {
      // Namespace nodes belong to the result; none may outlive the query.
      FExpressions.Forget(expression);
      throw EXPath_Invalid_Expression_Err(kXPathExpressionError);
    }
  }
  return query;
}

std::unique_ptr<TDomNodeList> TvxDomImplementation::SelectNodes(TDomDocumentXPath* document,
                                                                TDomNode* context,
                                                                std::u16string_view expression) {
  const TXPathExpression& query = Evaluated(document, context, expression);
  const int length = query.ResultLength();
  if (length <= 0) {
    return nullptr;
  }
  auto list = std::make_unique<TDomOwnedNodeList>(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    list->Append(query.ResultNode(i));
  }
  return list;
}

std::unique_ptr<TDomNodeList>
TvxDomImplementation::SelectDocumentNodes(TDomDocumentXPath* document,
                                          std::u16string_view expression) {
  return SelectNodes(document, nullptr, expression);
}

TVariant TvxDomImplementation::JoinedValue(TDomDocumentXPath* document, TDomNode* context,
                                           std::u16string_view expression,
                                           std::string_view separator) {
  const TXPathExpression& query = Evaluated(document, context, expression);
  const int length = query.ResultLength();
  if (length <= 0) {
    return TVariant();
  }
  std::vector<NarrowString> texts;
  texts.reserve(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    texts.push_back(NodeText(query.ResultNode(i)));
  }
  return TVariant(JoinText(separator, texts));
}

NarrowString TvxDomImplementation::NodeText(const TDomNode* node) {
  if (!node) {
    return NarrowString();
  }
  switch (node->nodeType()) {
  case nkElement:
  case nkEntityReference:
    return TrimmedNarrow(node->textContent());
  case nkText:
  case nkCDATASection:
  case nkProcessingInstruction:
  case nkComment:
    return TrimmedNarrow(node->nodeValue());
  case nkAttribute: {
    // As XPath reads it: references resolved (a device written AT&amp;T is AT&T).
    const auto* attr = static_cast<const TDomAttr*>(node);
    if (XPathDocumentOf(attr) && TDomDocumentXPath::keepsAttributeValue(attr)) {
      return TrimmedNarrow(attr->nodeValue());
    }
    return TrimmedNarrow(attr->xpathStringValue());
  }
  case nkDocument: {
    const TDomElement* element = static_cast<const TDomCustomDocument*>(node)->documentElement();
    return element ? TrimmedNarrow(element->textContent()) : NarrowString();
  }
  case nkXPathNamespace:
    return TrimmedNarrow(node->namespaceURI());
  default:
    return NarrowString();
  }
}

} // namespace velmora
