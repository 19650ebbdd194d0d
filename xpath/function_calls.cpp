#include "xpath/function_calls.h"

#include "dom/document.h"
#include "dom/dom_implementation.h"
#include "runtime/format.h"
#include "xpath/core_functions.h"
#include "xpath/expression_nodes.h"
#include "xpath/syntax_tree.h"

namespace velmora {

namespace {

// The namespace of a function's or a variable's prefix; ENamespace_Err for a prefix that is
// not bound. An empty prefix stands for the default namespace in scope, or none.
WideString NamespaceOfPrefix(const TDomXPathSyntaxNode& node, std::u16string_view prefix) {
  WideString namespaceURI = node.SyntaxTree()->LookupNamespaceURI(WideString(prefix));
  if (namespaceURI.empty() && !prefix.empty()) {
    throw ENamespace_Err(Format("Namespace URI of prefix '%S' not found.", {prefix}));
  }
  return namespaceURI;
}

// The implementation object to ask: the one of the document of the expression's context
// node. The document node itself has no owner document, so it gives none.
TDomImplementation* ImplementationToAsk(const TDomXPathSyntaxNode& node) {
  const TDomNode* contextNode = node.SyntaxTree()->ContextNode();
  const TDomCustomDocument* document = contextNode ? contextNode->ownerDocument() : nullptr;
  return document ? document->implementation() : nullptr;
}

// The value a handler stored, owned from here on, also when the handler fails after
// storing it.
template <class TAsk> TDomXPathResultPtr Answer(TAsk ask) {
  TDomXPathCustomResult* value = nullptr;
  try {
    ask(value);
  } catch (...) {
    if (value) {
      value->Free();
    }
    throw;
  }
  return TDomXPathResultPtr(value);
}

TDomXPathResultPtr EvaluateExtensionFunction(const TDomXPathFunctionCall* call,
                                             const TDomXPathContext& context) {
  const WideString namespaceURI = NamespaceOfPrefix(*call, call->Prefix());
  TDomXPathResultPtr value;
  if (TDomImplementation* implementation = ImplementationToAsk(*call)) {
    value = Answer([&](TDomXPathCustomResult*& answer) {
      implementation->doRequestXPathFunctionResult(
          namespaceURI, call->LocalName(), call->SyntaxTree()->ContextNode(), context.Position,
          context.Size, call->Arguments(), answer);
    });
  }
  if (!value) {
    throw EXPath_Exception("Unknown function name.");
  }
  return value;
}

} // namespace

TDomXPathResultPtr EvaluateFunctionCall(const TDomXPathFunctionCall* call,
                                        const TDomXPathContext& context) {
  if (const TDomXPathCoreFunctionProc function = CoreFunctionProc(call->CoreFunction())) {
    return function(*call, context);
  }
  return EvaluateExtensionFunction(call, context);
}

TDomXPathResultPtr EvaluateVariableReference(const TDomXPathVariableReference* variable) {
  const WideString namespaceURI = NamespaceOfPrefix(*variable, variable->Prefix());
  TDomXPathResultPtr value;
  if (TDomImplementation* implementation = ImplementationToAsk(*variable)) {
    value = Answer([&](TDomXPathCustomResult*& answer) {
      implementation->doRequestXPathVariable(variable->SyntaxTree()->OwnerExpression(),
                                             namespaceURI, variable->LocalName(), answer);
    });
  }
  if (!value) {
    throw EXPath_Exception(Format("No binding for variable $%S provided.", {variable->Value()}));
  }
  return value;
}

} // namespace velmora
