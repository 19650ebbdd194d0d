#pragma once
// Documents: nodes that own every node created for them, keep their names, copy and import
// nodes, and hear of every change in their tree.

#include <memory>
#include <unordered_map>
#include <vector>

#include "dom/dom_implementation.h"
#include "dom/id_table.h"
#include "dom/name_table.h"
#include "dom/traversal.h"

namespace velmora {

class TDomAttr;
class TDomElement;
class TDomText;
class TDtdValidationAgent;

// The kinds of documents, for checking which one a node belongs to without a cast.
enum TDomDocumentFlavor : uint8_t { dfCustom, dfPlain, dfNamespaceAware };

class TDomCustomDocument : public TDomNode {
public:
  static constexpr TDomDocumentFlavor kFlavor = dfCustom;
  virtual TDomDocumentFlavor flavor() const { return dfCustom; }
  explicit TDomCustomDocument(TDomImplementation* implementation = nullptr);
  const char* ClassName() const override { return "TDomCustomDocument"; }

  TDomNodeType nodeType() const override { return nkDocument; }
  bool isDocumentObject() const override { return true; }
  const WideString& nodeName() const override;
  void setNodeValue(std::u16string_view) override {}
  TDomCustomDocument* referenceDocument() const override {
    return const_cast<TDomCustomDocument*>(this);
  }
  int64_t documentOrderIndex() const override { return 0; }
  int64_t level() const override { return 0; }
  // documentURI when it is an absolute URI, else empty.
  WideString baseURI() const override;
  WideString xpathStringValue() const override;

  TDomImplementation* implementation() const { return FImplementation; }
  // The implementation object frees this document and no longer lists it.
  void forgetImplementation() { FImplementation = nullptr; }
  TDomNameTable& nameTable() { return FNameTable; }

  // The first child of kind 10, and of kind 1.
  TDomNode* doctype() const;
  TDomElement* documentElement() const;

  const WideString& documentURI() const { return FDocumentURI; }
  void setDocumentURI(const WideString& uri) { FDocumentURI = uri; }
  const WideString& inputEncoding() const { return FInputEncoding; }
  void setInputEncoding(const WideString& encoding) { FInputEncoding = encoding; }
  const WideString& xmlEncoding() const { return FXmlEncoding; }
  void setXmlEncoding(const WideString& encoding) { FXmlEncoding = encoding; }
  uint8_t xmlStandalone() const { return FXmlStandalone; }
  void setXmlStandalone(uint8_t standalone) { FXmlStandalone = standalone; }
  const WideString& xmlVersion() const { return FXmlVersion; }
  void setXmlVersion(const WideString& version) { FXmlVersion = version; }
  bool modified() const { return FModified; }

  // A copy of node made for this document (deep: with its descendants), and the same
  // followed by the source's user-data handlers with udImported.
  virtual TDomNode* copyNode(TDomNode* node, bool deep);
  TDomNode* importNode(TDomNode* node, bool deep);

  // The declared type of an attribute (0, CDATA, without a declaration).
  virtual int attributeType(std::u16string_view elementName, std::u16string_view attrName);
  // value normalized as an attribute-value literal: references resolved, white space
  // characters as spaces. errorCode 0 when all went well, else a parse-error kind and an
  // empty result.
  virtual void normalizeAttributeValue(std::u16string_view value, int attrType, int& errorCode,
                                       WideString& result);
  virtual bool isWhitespaceInElementContent(const TDomText* textNode) const;
  // element goes: any ID entries it has go with it.
  virtual void dropIds(const TDomElement* element);

  // At most one document element and one document type, the type first.
  TDomNode* appendChild(TDomNode* newChild) override;
  TDomNode* insertBefore(TDomNode* newChild, TDomNode* refChild) override;
  TDomNode* replaceChild(TDomNode* newChild, TDomNode* oldChild) override;

  // Change notifications from the nodes of this document: the document's own event, then
  // the implementation object's (also when the first raised), then the iterators.
  virtual void doAttrModified(TDomNode* modifiedNode, TDomAttrChange change, TDomAttr* attr);
  virtual void doCharacterDataModified(TDomNode* node);
  virtual void doNodeClearing(TDomNode* node);
  virtual void doNodeInserted(TDomNode* node);
  virtual void doNodeRemoving(TDomNode* node);

  // Grows with every change of a child list in this document and of an element's name:
  // what live lists compare to know whether their matches still hold.
  uint64_t treeVersion() const { return FTreeVersion; }
  void bumpTreeVersion() { ++FTreeVersion; }

  TDomAttrModifiedEvent OnAttrModified;
  TDomNotifyNodeEvent OnCharacterDataModified;
  TDomNotifyNodeEvent OnNodeClearing;
  TDomNotifyNodeEvent OnNodeInserted;
  TDomNotifyNodeEvent OnNodeRemoving;

  // Traversals of a subtree of this document, owned by it. A root of none raises
  // ENot_Supported_Err, one of another document EWrong_Document_Err.
  TDomNodeIterator* createNodeIterator(TDomNode* root, TDomWhatToShow whatToShow,
                                       TDomNodeFilter* filter, bool expandEntityReferences);
  TDomTreeWalker* createTreeWalker(TDomNode* root, TDomWhatToShow whatToShow,
                                   TDomNodeFilter* filter, bool expandEntityReferences);
  // Frees walker and sets it to none; a walker of another document raises
  // EWrong_Document_Err "Wrong document error.".
  void freeTreeWalker(TDomTreeWalker*& walker);
  // Frees the iterators their users detached.
  void freeDetachedIterators();
  size_t nodeIteratorCount() const { return FIterators.size(); }
  size_t treeWalkerCount() const { return FWalkers.size(); }

protected:
  void hookBeforeClear() override;
  void BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept override;
  void FreeTraversals();
  void DestroyContents(TFirstFailure& failures) noexcept override;
  void ClearContents(TFirstFailure& failures) noexcept override;
  // Nodes of this document go: iterators and walkers leave them, live lists look again.
  void SubtreesFreeing(TCustomOwnedNode* first, TCustomOwnedNode* last) noexcept override;
  void SubtreesFreed() noexcept override;
  // Makes the copy of one node without its children.
  TDomNode* CopyShallow(TDomNode* node);

  bool FModified = false;

  // A document owns every node it makes: it keeps that list itself.
  TOwnedList* OwnedList() const override { return FOwnedNodes.Empty() ? nullptr : &FOwnedNodes; }
  TOwnedList& MakeOwnedList() override { return FOwnedNodes; }

private:
  mutable TOwnedList FOwnedNodes;

  template <class TOwnEvent>
  void Notify(TOwnEvent ownEvent, void (TDomImplementation::*forward)(TDomNode*), TDomNode* node,
              int iteratorChange);
  void CheckTraversalRoot(TDomNode* root) const;
  // The index of the first child of kind, or -1.
  int ChildIndexOf(TDomNodeType kind) const;

  TDomImplementation* FImplementation;
  TDomNameTable FNameTable;
  std::vector<std::unique_ptr<TDomNodeIterator>> FIterators;
  std::vector<std::unique_ptr<TDomTreeWalker>> FWalkers;
  WideString FDocumentURI;
  WideString FInputEncoding;
  WideString FXmlEncoding;
  WideString FXmlVersion;
  uint64_t FTreeVersion = 0;
  uint8_t FXmlStandalone = 2;
};

// A document with DOM Level 1 names, and a validation agent that knows what its document
// type declaration says.
class TDomDocument : public TDomCustomDocument {
public:
  static constexpr TDomDocumentFlavor kFlavor = dfPlain;
  TDomDocumentFlavor flavor() const override { return dfPlain; }
  explicit TDomDocument(TDomImplementation* implementation = nullptr);
  const char* ClassName() const override { return "TDomDocument"; }
  TDomNodeList* getElementsByTagName(const WideString& name);

  TDtdValidationAgent& validationAgent() { return *FAgent; }
  TDomElement* getElementById(std::u16string_view id) const;
  int attributeType(std::u16string_view elementName, std::u16string_view attrName) override;
  void normalizeAttributeValue(std::u16string_view value, int attrType, int& errorCode,
                               WideString& result) override;
  // Copies as every document does, and expands each copied entity reference.
  TDomNode* copyNode(TDomNode* node, bool deep) override;
  // White space (or nothing) not from a character reference, in an element whose declared
  // content is element content.
  bool isWhitespaceInElementContent(const TDomText* textNode) const override;
  // Frees the defaulted attributes of node's elements and adds the declared defaults; true
  // when every element got them (namespace-aware elements do not).
  bool refreshDefaultAttributes(TDomNode* node);
  bool refreshAllDefaultAttributes();
  void dropIds(const TDomElement* element) override;

protected:
  ~TDomDocument() override;
  void hookBeforeClear() override;

private:
  std::vector<std::unique_ptr<TDomNodeList>> FElementLists;
  std::unique_ptr<TDtdValidationAgent> FAgent;
};

// A namespace-aware document.
class TDomDocumentNS : public TDomCustomDocument {
public:
  static constexpr TDomDocumentFlavor kFlavor = dfNamespaceAware;
  TDomDocumentFlavor flavor() const override { return dfNamespaceAware; }
  explicit TDomDocumentNS(TDomImplementation* implementation = nullptr);
  const char* ClassName() const override { return "TDomDocumentNS"; }
  TDomNodeList* getElementsByTagNameNS(const WideString& namespaceURI, const WideString& localName);

  // The element stored for an ID, or none.
  TDomElement* getElementById(std::u16string_view id) const;
  // Stores element for id unless the ID is taken (the first element with an ID wins).
  void addId(const WideString& id, TDomElement* element);
  void clearIds();
  void dropIds(const TDomElement* element) override;

protected:
  ~TDomDocumentNS() override;
  void hookBeforeClear() override;

private:
  std::vector<std::unique_ptr<TDomNodeList>> FElementLists;
  TDomIdTable FIds;
};

// document as a document of the class a node kind requires; EInvalidCast otherwise (a
// namespace-aware node in a DOM Level 1 document, or the reverse).
template <class TDocument> TDocument* DocumentAs(TDomCustomDocument* document) {
  if (!document || document->flavor() != TDocument::kFlavor) {
    throw EInvalidCast("Ungültige Typumwandlung");
  }
  return static_cast<TDocument*>(document);
}

} // namespace velmora
