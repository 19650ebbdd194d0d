#pragma once
// The root object of the model: it owns every document created for it and passes the
// change notifications of all its documents on to its own events.

#include <functional>
#include <memory>
#include <vector>

#include "dom/dom_node.h"
#include "runtime/component.h"

namespace velmora {

class TDomAttr;
class TDomCustomDocument;
class TDomNodeList;

// Sender is the document or the implementation object that raised the event.
using TDomNotifyNodeEvent = std::function<void(void* sender, TDomNode* node)>;
using TDomAttrModifiedEvent = std::function<void(void* sender, TDomNode* modifiedNode,
                                                 TDomAttrChange attrChange, TDomAttr* relatedAttr)>;

class TDomImplementation : public TComponent {
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

  // Called by the documents as they come and go.
  void registerDocument(TDomCustomDocument* document);
  void unregisterDocument(TDomCustomDocument* document);

protected:
  ~TDomImplementation() override;
  void BeforeDestruction() noexcept override;

private:
  std::vector<TCustomOwnedNode*> FDocuments;
  std::unique_ptr<TDomNodeList> FDocumentsView;
};

} // namespace velmora
