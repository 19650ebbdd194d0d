#include "dom/dom_implementation.h"

#include <algorithm>

#include "dom/document.h"
#include "dom/node_lists.h"

namespace velmora {

TDomImplementation::TDomImplementation(TComponent* owner) : TComponent(owner) {}

TDomImplementation::~TDomImplementation() = default;

TDomNodeList* TDomImplementation::documents() {
  if (!FDocumentsView) {
    FDocumentsView = std::make_unique<TDomNodeList>(&FDocuments);
  }
  return FDocumentsView.get();
}

void TDomImplementation::freeDocuments() {
  while (!FDocuments.empty()) {
    auto* document = static_cast<TDomCustomDocument*>(FDocuments.back());
    FDocuments.pop_back();
    // It need not find itself in the list any more.
    document->forgetImplementation();
    document->Free();
  }
}

void TDomImplementation::BeforeDestruction() noexcept {
  freeDocuments();
}

void TDomImplementation::registerDocument(TDomCustomDocument* document) {
  FDocuments.push_back(document);
}

void TDomImplementation::unregisterDocument(TDomCustomDocument* document) {
  const auto found = std::find(FDocuments.rbegin(), FDocuments.rend(), document);
  if (found != FDocuments.rend()) {
    FDocuments.erase(std::next(found).base());
  }
}

void TDomImplementation::doAttrModified(TDomNode* modifiedNode, TDomAttrChange change,
                                        TDomAttr* attr) {
  if (OnAttrModified) {
    OnAttrModified(this, modifiedNode, change, attr);
  }
}

void TDomImplementation::doCharacterDataModified(TDomNode* node) {
  if (OnCharacterDataModified) {
    OnCharacterDataModified(this, node);
  }
}

void TDomImplementation::doNodeClearing(TDomNode* node) {
  if (OnNodeClearing) {
    OnNodeClearing(this, node);
  }
}

void TDomImplementation::doNodeInserted(TDomNode* node) {
  if (OnNodeInserted) {
    OnNodeInserted(this, node);
  }
}

void TDomImplementation::doNodeRemoving(TDomNode* node) {
  if (OnNodeRemoving) {
    OnNodeRemoving(this, node);
  }
}

} // namespace velmora
