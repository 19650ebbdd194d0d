#pragma once
// The DOM node: what every kind of node shares (names, values, tree operations with their
// checks, text content, document position, base URI, language, namespace lookup and user
// data). Elements, attributes, character data and documents derive from it.

#include <functional>
#include <memory>
#include <vector>

#include "dom/dom_types.h"
#include "dom/name_table.h"
#include "dom/owned_object.h"
#include "dom/value_string.h"

namespace velmora {

class TDomCustomDocument;
class TDomElement;
class TDomNamedNodeMap;
class TDomNode;
class TDomNodeList;

// User data is an opaque pointer that the node never frees.
using TDomUserData = void*;
using TDomUserDataHandler =
    std::function<void(TDomUserDataOperation operation, const WideString& key, TDomUserData data,
                       TDomNode* source, TDomNode* destination)>;

// Translates the failures of the tree layer into DOM exceptions.
class TDomCustomNode : public TCustomOwnedNode {
public:
  using TCustomOwnedNode::TCustomOwnedNode;
  const char* ClassName() const override { return "TDomCustomNode"; }
  [[noreturn]] void raiseTreeError(TTreeError error) const override;
};

class TDomNode : public TDomCustomNode {
public:
  // A node of kind 0, owned by owner; its owner document is owner when that is a document.
  explicit TDomNode(TCustomOwnedObject* owner);
  const char* ClassName() const override { return "TDomNode"; }
  const TDomNode* asDomNode() const override { return this; }

  virtual TDomNodeType nodeType() const { return nkNone; }
  virtual const WideString& nodeName() const;
  // Empty for the kinds of node that carry no value.
  std::u16string_view nodeValue() const;
  // Read-only nodes refuse with ENo_Modification_Allowed_Err.
  virtual void setNodeValue(std::u16string_view value);
  virtual const WideString& localName() const;
  virtual const WideString& namespaceURI() const;
  virtual const WideString& prefix() const;
  // The name in the XPath data model.
  virtual const WideString& xpathName() const;
  virtual void setPrefix(const WideString& prefix);
  bool namespaceAware() const { return FNamespaceAware; }

  virtual TDomNamedNodeMap* attributes() { return nullptr; }
  bool hasAttributes();
  // A live view of the children, kept by the node.
  TDomNodeList* childNodes();
  TDomCustomDocument* ownerDocument() const;
  // The document that notifications, copies and XPath go through.
  virtual TDomCustomDocument* referenceDocument() const { return ownerDocument(); }

  TDomNode* parentNode() const { return static_cast<TDomNode*>(treeParent()); }
  TDomNode* firstChild() const { return static_cast<TDomNode*>(firstTreeChild()); }
  TDomNode* lastChild() const { return static_cast<TDomNode*>(lastTreeChild()); }
  virtual TDomNode* nextSibling() const { return static_cast<TDomNode*>(nextTreeSibling()); }
  virtual TDomNode* previousSibling() const {
    return static_cast<TDomNode*>(previousTreeSibling());
  }
  bool hasChildNodes() const { return hasTreeChildren(); }
  bool hasAncestorNode(const TDomNode* node) const { return hasAncestor(node); }

  // The position in document order below a document (0 for the document), else -1.
  virtual int64_t documentOrderIndex() const;
  // The depth below a document (0 for the document), else -1.
  virtual int64_t level() const;
  virtual WideString baseURI() const;
  // The "xml:lang" in scope.
  WideString language() const;
  virtual WideString lookupNamespaceURI(const WideString& prefix) const;
  WideString textContent() const;
  virtual WideString xpathStringValue() const;

  virtual TDomNode* appendChild(TDomNode* newChild);
  virtual TDomNode* insertBefore(TDomNode* newChild, TDomNode* refChild);
  virtual TDomNode* replaceChild(TDomNode* newChild, TDomNode* oldChild);
  virtual TDomNode* removeChild(TDomNode* oldChild);
  // A copy made by the reference document; ENot_Supported_Err without one.
  TDomNode* cloneNode(bool deep);
  virtual void normalize();
  // Merges every run of adjacent texts among this node's children into its first text, in
  // one pass over the child list; the children's subtrees stay as they are.
  void mergeChildTexts();
  TDomDocumentPosition compareDocumentPosition(const TDomNode* other) const;
  void checkChildKind(const TDomNode* node) const;
  TDomNodeKinds allowedChildKinds() const { return FAllowedChildKinds; }

  TDomElement* firstChildElement() const;
  TDomElement* lastChildElement() const;
  TDomElement* nextSiblingElement() const;
  TDomElement* previousSiblingElement() const;
  TDomElement* parentElement() const;
  TDomElement* firstChildElementByName(std::u16string_view name) const;
  TDomElement* firstChildElementByNameNS(std::u16string_view namespaceURI,
                                         std::u16string_view localName) const;
  TDomElement* lastChildElementByName(std::u16string_view name) const;
  TDomElement* lastChildElementByNameNS(std::u16string_view namespaceURI,
                                        std::u16string_view localName) const;
  TDomElement* nextSiblingElementByName(std::u16string_view name) const;
  TDomElement* nextSiblingElementByNameNS(std::u16string_view namespaceURI,
                                          std::u16string_view localName) const;
  TDomElement* previousSiblingElementByName(std::u16string_view name) const;
  TDomElement* previousSiblingElementByNameNS(std::u16string_view namespaceURI,
                                              std::u16string_view localName) const;
  TDomElement* ancestorElementByName(std::u16string_view name) const;
  TDomElement* ancestorElementByNameNS(std::u16string_view namespaceURI,
                                       std::u16string_view localName) const;

  TDomUserData getUserData(std::u16string_view key) const;
  // Stores data (and its handler) under key and returns the data it replaced; none as data
  // deletes the key.
  TDomUserData setUserData(const WideString& key, TDomUserData data,
                           TDomUserDataHandler handler = nullptr);
  // Calls every handler, in the order their keys were first set.
  void callUserDataHandlers(TDomUserDataOperation operation, TDomNode* source,
                            TDomNode* destination);

  bool isSupported(std::u16string_view feature, std::u16string_view version) const;

  // expression evaluated with this node as context node, read as a Boolean, a number, the
  // first node (none for a namespace node, which would not outlive the call) or a string.
  // An expression that fails gives false, NaN, none or the empty string; a node outside an
  // XPath document raises ENot_Supported_Err. Defined beside the expression object.
  bool evaluateToBoolean(const WideString& expression);
  double evaluateToNumber(const WideString& expression);
  TDomNode* evaluateToNode(const WideString& expression);
  WideString evaluateToString(const WideString& expression);

  // The node's place in its document's XPath numbering (0: not numbered), written only by
  // TDomDocumentXPath; the node carries it so that document order costs no lookup.
  uint32_t xpathOrderNumber() const { return FXPathOrderNumber; }
  void setXPathOrderNumber(uint32_t number) const { FXPathOrderNumber = number; }

  // The node's parent in document order questions: attributes and XPath namespace nodes
  // answer their owner element.
  virtual const TDomNode* positionParent() const { return parentNode(); }

protected:
  ~TDomNode() override;

  void hookAfterInsert(TCustomOwnedNode* node) override;
  void hookBeforeRemove(TCustomOwnedNode* node) override;
  void hookAfterRemove(TCustomOwnedNode* node) override;
  void hookBeforeClear() override;
  TCustomOwnedNode* TreeWatcher() const noexcept override;
  void BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept override;

  void checkNotReadOnly() const;
  // What ownerDocument answers for a node that no document owns: XPath namespace nodes
  // answer their element's.
  virtual TDomCustomDocument* foreignOwnerDocument() const { return nullptr; }
  // Runs the owner's admission check (beforeAddOwned) again from the constructor of a node
  // class: the first check runs while the node is still being built and cannot know its kind.
  void confirmAdmission();
  void setAllowedChildKinds(TDomNodeKinds kinds) { FAllowedChildKinds = kinds; }
  void setNamespaceAware(bool aware) { FNamespaceAware = aware; }

private:
  // The first fields: they fill the room the base class leaves at its end, as bits. Every
  // byte of a node counts a million times over in a large document.
  TDomNodeKinds FAllowedChildKinds = kPlainNodeChildKinds;
  bool FNamespaceAware : 1 = false;
  // The owner is the node's document, as for nearly every node; it is not kept twice.
  bool FOwnedByDocument : 1 = false;
  // The node has rare parts, kept in a table beside the nodes (FindRareParts).
  bool FHasRareParts : 1 = false;

protected:
  // Flags of some kinds of node, kept here rather than in fields of their own that would
  // make each such node 8 bytes larger.
  // A text some of which came from a character reference (TDomText).
  bool FFromCharacterReference : 1 = false;
  // Set by TDomValueNode: the node carries a value.
  bool FHoldsValue : 1 = false;
  // An attribute given in the document rather than by a default, and what it declares
  // (TDomAttr).
  bool FSpecified : 1 = false;
  // An element with an attribute of type ID (TDomElement).
  bool FCarriesId : 1 = false;
  TDomNamespaceDeclKind FNamespaceDeclKind = ndNone;

  // What a kind of node keeps among its rare parts (an element: the live lists of its
  // descendants by name).
  struct TRareExtra {
    virtual ~TRareExtra() = default;
  };
  TRareExtra* rareExtra() const;
  TRareExtra& setRareExtra(std::unique_ptr<TRareExtra> extra);

private:
  struct TUserDataEntry {
    WideString Key;
    TDomUserData Data;
    TDomUserDataHandler Handler;
  };
  class TChildNodeList;
  // What few nodes have, kept apart so that the others do not carry it.
  struct TRareParts {
    std::unique_ptr<TDomNodeList> ChildNodes;
    std::vector<TUserDataEntry> UserData;
    std::unique_ptr<TRareExtra> Extra;
  };
  // A node's rare parts live in a table beside the nodes, not in a field that every node of a
  // large document would carry empty.
  struct TRareTable;
  static TRareTable& RareTable();
  TRareParts* FindRareParts() const;
  TRareParts& RareParts();

  // Moves the fragment's children here, before refChild (at the end without one); each one
  // through insertBefore with all its checks when checked, else as appendChild moves them.
  TDomNode* MoveFragmentChildren(TDomNode* fragment, TDomNode* refChild, bool checked);
  // Merges every run of adjacent texts among the children of this element into its first
  // text; the merged ones join gone, in child order. False when a read-only text refused.
  bool MergeTextRuns(std::vector<TCustomOwnedNode*>& gone, TFirstFailure& failures);

  // 32 bits, in the room the flags leave: four billion numbers outlast any tree that fits
  // in memory, and the document starts its numbering over before they run out.
  mutable uint32_t FXPathOrderNumber = 0;
};

// A node with a value of its own: attributes, character data, processing instructions and
// XPath namespace nodes. Elements, the most numerous of the rest, do not carry the string.
class TDomValueNode : public TDomNode {
public:
  explicit TDomValueNode(TCustomOwnedObject* owner) : TDomNode(owner) { FHoldsValue = true; }
  const char* ClassName() const override { return "TDomValueNode"; }
  void setNodeValue(std::u16string_view value) override;

protected:
  TDomValueString FNodeValue;

private:
  friend class TDomNode;
};

inline std::u16string_view TDomNode::nodeValue() const {
  return FHoldsValue ? static_cast<const TDomValueNode*>(this)->FNodeValue.view()
                     : std::u16string_view();
}

// The class of a node by its kind, for the few places that must look at it.
inline bool IsElementNode(const TDomNode* node) {
  return node && node->nodeType() == nkElement;
}

// The node after node in document order within root's subtree, or none: the walk over a
// subtree without recursion. skipChildren passes over node's children.
inline TDomNode* NextInSubtree(TDomNode* node, const TDomNode* root, bool skipChildren = false) {
  if (!skipChildren && node->hasChildNodes()) {
    return node->firstChild();
  }
  while (node != root) {
    if (TDomNode* next = node->nextSibling()) {
      return next;
    }
    node = node->parentNode();
  }
  return nullptr;
}

} // namespace velmora
