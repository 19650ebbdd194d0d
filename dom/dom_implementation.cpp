#include "dom/dom_implementation.h"

#include <algorithm>

#include "dom/document.h"
#include "dom/node_lists.h"
#include "xml/input_sources.h"
#include "xml/parse_errors.h"
#include "xml/resource_resolvers.h"

namespace velmora {

TDomImplementation::TDomImplementation(TComponent* owner) : TDomBaseComponent(owner) {}

void TDomImplementation::doRequestXPathFunctionResult(
    std::u16string_view namespaceURI, std::u16string_view localName, TDomNode* contextNode,
    int contextPosition, int contextSize, std::span<TDomXPathExpr* const> arguments,
    TDomXPathCustomResult*& value) {
  if (OnRequestXPathFunctionResult) {
    OnRequestXPathFunctionResult(namespaceURI, localName, contextNode, contextPosition, contextSize,
                                 arguments, value);
  }
}

void TDomImplementation::doRequestXPathVariable(const TXPathExpression* sender,
                                                std::u16string_view namespaceURI,
                                                std::u16string_view localName,
                                                TDomXPathCustomResult*& value) {
  if (OnRequestXPathVariable) {
    OnRequestXPathVariable(sender, namespaceURI, localName, value);
  }
}

TDomImplementation::~TDomImplementation() = default;

TDomNodeList* TDomImplementation::documents() {
  if (!FDocumentsView) {
    FDocumentsView = std::make_unique<TDomNodeList>(&FDocuments);
  }
  return FDocumentsView.get();
}

void TDomImplementation::freeDocuments() {
  TFirstFailure failures;
  while (!FDocuments.empty()) {
    auto* document = static_cast<TDomCustomDocument*>(FDocuments.back());
    FDocuments.pop_back();
    // It need not find itself in the list any more.
    document->forgetImplementation();
    document->Free(failures);
  }
  failures.Raise();
}

void TDomImplementation::BeforeDestruction() noexcept {
  TFirstFailure failures;
  failures.Run([&] { freeDocuments(); });
  // A handler's failure has no one to go to while the implementation itself goes.
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

bool TDomImplementation::handleError(void* sender, const TDomError* error) {
  if (!error) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  bool go = true;
  doError(sender, *error, go);
  return go;
}

void TDomImplementation::doError(void* sender, const TDomError& error, bool& go) {
  go = error.Severity() != svFatal;
  if (OnError && FErrorEventLock == 0) {
    OnError(sender, error, go);
  }
}

TCustomResourceResolver* TDomImplementation::ResourceResolver() const {
  return FResourceResolver.get();
}

void TDomImplementation::SetResourceResolver(TCustomResourceResolver* resolver) {
  SetReference(FResourceResolver, resolver);
}

std::unique_ptr<TStream> TDomImplementation::resolveResource(std::u16string_view baseURI,
                                                             WideString& publicId,
                                                             WideString& systemId) {
  if (!FResourceResolver) {
    throw ENot_Found_Err(dom_messages::kNoResourceResolver);
  }
  return FResourceResolver->ResolveResource(baseURI, publicId, systemId);
}

void TDomImplementation::loadExternalText(std::u16string_view baseURI, WideString publicId,
                                          int& errorCode, WideString& text, WideString systemId) {
  text.clear();
  std::unique_ptr<TStream> stream = resolveResource(baseURI, publicId, systemId);
  if (!stream) {
    errorCode = ekResourceNotFound;
    return;
  }
  std::unique_ptr<TXmlInputSource> source;
  try {
    source = std::make_unique<TXmlInputSource>(stream.get(), publicId, systemId, 4096, nullptr,
                                               false, 0, 0, 0, 0, 1);
  } catch (const ENot_Supported_Err&) {
    errorCode = ekEncodingNotSupported;
    return;
  } catch (const EConvertError&) {
    errorCode = ekInputEncodingError;
    return;
  }
  // An external entity may carry a text declaration, never a full XML declaration.
  if (source->BadDeclaration() || source->DeclKind() == dkXmlDecl) {
    errorCode = ekInvalidTextDeclaration;
    return;
  }
  if (source->DeclaredVersion() != u"1.0") {
    errorCode = ekUnsupportedVersion;
    return;
  }
  try {
    WideString result;
    for (source->Next(); !source->AtEnd(); source->Next()) {
      AppendUtf16(result, source->Current().Code);
    }
    text = std::move(result);
    errorCode = ekNone;
  } catch (const Exception&) {
    errorCode = ekUnreadableExternalEntity;
  }
}

} // namespace velmora
