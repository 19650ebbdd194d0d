#include "xpath/xpath_document.h"

#include <algorithm>

#include "dom/element.h"
#include "xpath/tree_walks.h"

namespace velmora {

void TDomDocumentXPath::beforeAddOwned(TCustomOwnedObject* object) {
  TDomDocumentNS::beforeAddOwned(object);
  // A node under construction is no TDomNode yet; the classes this document refuses ask
  // again from their constructors, once they know their kind.
  const TDomNode* node = object->asDomNode();
  if (!node) {
    return;
  }
  switch (node->nodeType()) {
  case nkElement:
  case nkAttribute:
  case nkText:
  case nkCDATASection:
  case nkProcessingInstruction:
  case nkComment:
  case nkDocumentFragment:
    return;
  default:
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

int TDomDocumentXPath::attributeType(std::u16string_view elementName,
                                     std::u16string_view attrName) {
  return TDomDocumentNS::attributeType(elementName, attrName);
}

void TDomDocumentXPath::normalizeAttributeValue(std::u16string_view value, int attrType,
                                                int& errorCode, WideString& result) {
  TDomDocumentNS::normalizeAttributeValue(value, attrType, errorCode, result);
}

bool TDomDocumentXPath::keepsAttributeValue(const TDomAttr* attr) {
  // Normalizing resolves references and turns white space into spaces; a value it cannot
  // normalize (one with "<") also stands as it is.
  const std::u16string_view value = attr->nodeValue();
  return std::none_of(value.begin(), value.end(), [](char16_t c) {
    return c == u'&' || c == u'\t' || c == u'\n' || c == u'\r';
  });
}

uint64_t TDomDocumentXPath::orderNumber(const TDomNode* node) {
  const uint64_t number = node->xpathOrderNumber();
  if (number >= FFirstCurrentNumber) {
    return number;
  }
  const TCustomOwnedNode* root = node;
  while (const TCustomOwnedNode* parent = root->treeParent()) {
    root = parent;
  }
  NumberTree(static_cast<const TDomNode*>(root));
  return node->xpathOrderNumber();
}

const TDomXPathTreeIndex& TDomDocumentXPath::treeIndex() {
  orderNumber(this);
  if (FTreeIndex.Empty()) {
    // The tree has not changed since it was numbered. Every node of the tree is owned by the
    // document (attributes and nodes outside the tree are, too): an upper bound for the index.
    FTreeIndex.Build(this, FTreeFirstNumber, static_cast<size_t>(ownedObjectCount()) + 1);
  }
  return FTreeIndex;
}

void TDomDocumentXPath::ForgetNumbers() {
  FFirstCurrentNumber = FNextNumber;
  FTreeIndex.Clear();
}

void TDomDocumentXPath::startNumberingAt(uint64_t number) {
  ForgetNumbers();
  FNextNumber = FFirstCurrentNumber = std::clamp<uint64_t>(number, 1, kLastOrderNumber);
}

void TDomDocumentXPath::MakeRoomForNumbers() {
  // Every node of any tree of the document is owned by it (attributes and other objects
  // too): a bound on the numbers one numbering takes.
  const uint64_t bound = static_cast<uint64_t>(ownedObjectCount()) + 1;
  if (FNextNumber + bound <= kLastOrderNumber + 1) {
    return;
  }
  for (TCustomOwnedObject* object = firstOwned(); object; object = object->NextLinked()) {
    if (const TDomNode* node = object->asDomNode()) {
      node->setXPathOrderNumber(0);
    }
  }
  setXPathOrderNumber(0);
  FTreeIndex.Clear();
  FNextNumber = FFirstCurrentNumber = 1;
}

void TDomDocumentXPath::NumberTree(const TDomNode* root) {
  MakeRoomForNumbers();
  if (root == this) {
    FTreeFirstNumber = FNextNumber;
  }
  WalkPreOrder(const_cast<TDomNode*>(root), [this](const TDomNode* node) {
    node->setXPathOrderNumber(static_cast<uint32_t>(FNextNumber++));
    return wsEnter;
  });
}

void TDomDocumentXPath::doNodeClearing(TDomNode* node) {
  ForgetNumbers();
  TDomDocumentNS::doNodeClearing(node);
}

void TDomDocumentXPath::doNodeInserted(TDomNode* node) {
  ForgetNumbers();
  TDomDocumentNS::doNodeInserted(node);
}

void TDomDocumentXPath::doNodeRemoving(TDomNode* node) {
  ForgetNumbers();
  TDomDocumentNS::doNodeRemoving(node);
}

TDomDocumentXPath* XPathDocumentOf(const TDomNode* node) {
  TDomCustomDocument* document = node->ownerDocument();
  if (!document && node->nodeType() == nkDocument) {
    document = const_cast<TDomNode*>(node)->referenceDocument();
  }
  return dynamic_cast<TDomDocumentXPath*>(document);
}

} // namespace velmora
