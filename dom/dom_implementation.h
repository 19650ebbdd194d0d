#pragma once
// The root object of the model: it owns every document created for it and passes the
// change notifications of all its documents on to its own events.

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "dom/dom_node.h"
#include "runtime/component.h"
#include "runtime/streams.h"

namespace velmora {

class TCustomResourceResolver;
class TDomAttr;
class TDomCustomDocument;
class TDomError;
class TDomNodeList;
class TDomXPathCustomResult;
class TDomXPathExpr;
class TXPathExpression;

// Sender is the document or the implementation object that raised the event.
using TDomNotifyNodeEvent = std::function<void(void* sender, TDomNode* node)>;
using TDomAttrModifiedEvent = std::function<void(void* sender, TDomNode* modifiedNode,
                                                 TDomAttrChange attrChange, TDomAttr* relatedAttr)>;
// Sender is the object that reported the error; go may be changed to decide whether
// reading goes on.
using TDomErrorEvent = std::function<void(void* sender, const TDomError& error, bool& go)>;
// Asked by the XPath engine for functions and variables it does not know. A handler answers
// by storing a new result (of the four classes of xpath/results.h) in value, which the
// engine then owns; leaving it empty means no answer. The arguments come unevaluated: a
// handler may evaluate them with EvaluateExpression (xpath/evaluation.h) and the context
// it is given (the expression object's context node, the current position and size).
using TDomRequestXPathFunctionResultEvent = std::function<void(
    std::u16string_view namespaceURI, std::u16string_view localName, TDomNode* contextNode,
    int contextPosition, int contextSize, std::span<TDomXPathExpr* const> arguments,
    TDomXPathCustomResult*& value)>;
using TDomRequestXPathVariableEvent =
    std::function<void(const TXPathExpression* sender, std::u16string_view namespaceURI,
                       std::u16string_view localName, TDomXPathCustomResult*& value)>;

// The common base of the components of the object model and the XML stack.
class TDomBaseComponent : public TComponent {
public:
  using TComponent::TComponent;
  const char* ClassName() const override { return "TDomBaseComponent"; }
};

class TDomImplementation : public TDomBaseComponent {
public:
  explicit TDomImplementation(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TDomImplementation"; }

  // A live list of the documents, in creation order.
  TDomNodeList* documents();
  // Frees every document, last first.
  void freeDocuments();

  virtual void doAttrModified(TDomNode* modifiedNode, TDomAttrChange change, TDomAttr* attr);
  virtual void doCharacterDataModified(TDomNode* node);
  virtual void doNodeClearing(TDomNode* node);
  virtual void doNodeInserted(TDomNode* node);
  virtual void doNodeRemoving(TDomNode* node);

  TDomAttrModifiedEvent OnAttrModified;
  TDomNotifyNodeEvent OnCharacterDataModified;
  TDomNotifyNodeEvent OnNodeClearing;
  TDomNotifyNodeEvent OnNodeInserted;
  TDomNotifyNodeEvent OnNodeRemoving;
  TDomErrorEvent OnError;
  TDomRequestXPathFunctionResultEvent OnRequestXPathFunctionResult;
  TDomRequestXPathVariableEvent OnRequestXPathVariable;

  // Pass their arguments on to the events, when assigned.
  virtual void doRequestXPathFunctionResult(std::u16string_view namespaceURI,
                                            std::u16string_view localName, TDomNode* contextNode,
                                            int contextPosition, int contextSize,
                                            std::span<TDomXPathExpr* const> arguments,
                                            TDomXPathCustomResult*& value);
  virtual void doRequestXPathVariable(const TXPathExpression* sender,
                                      std::u16string_view namespaceURI,
                                      std::u16string_view localName, TDomXPathCustomResult*& value);

  // The one entry point for parse errors: whether reading goes on (warnings and errors
  // yes, fatal errors no, unless OnError decides otherwise). None raises
  // ENot_Supported_Err "Not supported error.".
  bool handleError(void* sender, const TDomError* error);
  virtual void doError(void* sender, const TDomError& error, bool& go);
  // While suspended (counted), OnError is not called.
  void suspendErrorEvents() { ++FErrorEventLock; }
  void resumeErrorEvents() {
    if (FErrorEventLock > 0) {
      --FErrorEventLock;
    }
  }

  // The resolver of external resources; not owned, and forgotten when it is freed.
  TCustomResourceResolver* ResourceResolver() const;
  void SetResourceResolver(TCustomResourceResolver* resolver);
  // The resolver's stream for the resource; without a resolver ENot_Found_Err
  // "No resource resolver assigned to DOM implementation.".
  std::unique_ptr<TStream> resolveResource(std::u16string_view baseURI, WideString& publicId,
                                           WideString& systemId);
  // Reads an external parsed entity or external subset into text. errorCode 0 when it
  // worked, else the parse-error kind (148 no resource, 147 unknown encoding, 45 encoding
  // error, 69 bad declaration, 151 other version, 150 undecodable text) and an empty text.
  void loadExternalText(std::u16string_view baseURI, WideString publicId, int& errorCode,
                        WideString& text, WideString systemId);

  // Called by the documents as they come and go.
  void registerDocument(TDomCustomDocument* document);
  void unregisterDocument(TDomCustomDocument* document);

protected:
  ~TDomImplementation() override;
  void BeforeDestruction() noexcept override;

private:
  TDomNodeVector FDocuments;
  std::unique_ptr<TDomNodeList> FDocumentsView;
  TComponentRef<TCustomResourceResolver> FResourceResolver;
  uint16_t FErrorEventLock = 0;
};

} // namespace velmora
