// The core functions about node sets and the context: last, position, count, id,
// local-name, namespace-uri and name.

#include <algorithm>
#include <vector>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/xml_rules.h"
#include "xpath/core_function_procs.h"
#include "xpath/function_arguments.h"

namespace velmora::core_functions {

namespace {

// The name of the argument's first node in document order (empty for an empty set), or of
// the context node without argument.
template <class TName>
TDomXPathResultPtr NameOfFirstNode(const TDomXPathFunctionCall& call,
                                   const TDomXPathContext& context, TName name) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(0, 1);
  if (arguments.Count() == 0) {
    return NewStringResult(WideString(name(arguments.ContextNode())));
  }
  const TDomXPathNodeSetPtr set = arguments.NodeSet(0);
  const TDomNode* first = set->FirstInDocumentOrder();
  return NewStringResult(first ? WideString(name(first)) : WideString());
}

// Appends the maximal runs of text that hold no white space.
void AppendTokens(std::u16string_view text, std::vector<WideString>& tokens) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isWhiteSpaceChar(text[i])) {
      ++i;
    }
    const size_t start = i;
    while (i < text.size() && !isWhiteSpaceChar(text[i])) {
      ++i;
    }
    if (i > start) {
      tokens.emplace_back(text.substr(start, i - start));
    }
  }
}

TDomElement* ElementById(const TDomCustomDocument* document, std::u16string_view id) {
  switch (document->flavor()) {
  case dfNamespaceAware:
    return static_cast<const TDomDocumentNS*>(document)->getElementById(id);
  case dfPlain:
    return static_cast<const TDomDocument*>(document)->getElementById(id);
  default:
    return nullptr;
  }
}

} // namespace

TDomXPathResultPtr Last(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  TDomXPathArguments(call, context).CheckCount(0);
  if (context.Size < 1) {
    throw EXPath_Invalid_Function_Call_Err("Invalid context size.");
  }
  return NewNumberResult(context.Size);
}

TDomXPathResultPtr Position(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  TDomXPathArguments(call, context).CheckCount(0);
  if (context.Position < 1) {
    throw EXPath_Invalid_Function_Call_Err("Invalid context position.");
  }
  return NewNumberResult(context.Position);
}

TDomXPathResultPtr Count(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  return NewNumberResult(arguments.NodeSet(0)->Length());
}

TDomXPathResultPtr Id(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  const TDomXPathArguments arguments(call, context);
  arguments.CheckCount(1);
  const TDomCustomDocument* document = arguments.ContextNode()->ownerDocument();
  if (!document) {
    arguments.Raise("Context node with no owner document specified for %S().");
  }
  std::vector<WideString> tokens;
  const TDomXPathResultPtr value = arguments.Value(0);
  if (value->ResultType() == rtNodeSet) {
    for (const TDomNode* node : static_cast<const TDomXPathNodeSetResult&>(*value).Nodes()) {
      AppendTokens(node->xpathStringValue(), tokens);
    }
  } else {
    AppendTokens(value->AsWideString(), tokens);
  }
  std::sort(tokens.begin(), tokens.end());
  tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
  std::vector<TDomNode*> elements;
  for (const WideString& token : tokens) {
    if (TDomElement* element = ElementById(document, token)) {
      elements.push_back(element);
    }
  }
  // An element may be found under more than one of its IDs.
  std::sort(elements.begin(), elements.end());
  elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
  TDomXPathNodeSetPtr result = NewNodeSet();
  for (TDomNode* element : elements) {
    result->AddTreeNode(element);
  }
  result->Sort();
  return result;
}

TDomXPathResultPtr LocalName(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  return NameOfFirstNode(call, context, [](const TDomNode* node) -> const WideString& {
    return node->nodeType() == nkProcessingInstruction ? node->nodeName() : node->localName();
  });
}

TDomXPathResultPtr NamespaceUri(const TDomXPathFunctionCall& call,
                                const TDomXPathContext& context) {
  return NameOfFirstNode(call, context, [](const TDomNode* node) -> const WideString& {
    return node->namespaceURI();
  });
}

TDomXPathResultPtr Name(const TDomXPathFunctionCall& call, const TDomXPathContext& context) {
  return NameOfFirstNode(call, context, [](const TDomNode* node) -> const WideString& {
    return node->xpathName();
  });
}

} // namespace velmora::core_functions
