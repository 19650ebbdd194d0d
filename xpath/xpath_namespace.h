#pragma once
// The namespace node of the XPath data model: one binding of a prefix that is in scope on
// an element, made on demand by the namespace axis and owned by the node set that lists it.

#include "dom/dom_node.h"

namespace velmora {

class TDomElement;

class TDomXPathNamespace : public TDomValueNode {
public:
  // Owned by owner (a node set). A non-empty prefix that is no NCName raises
  // EInvalid_Character_Err; "xmlns" bound to anything but XmlnsNamespaceURI, a prefix
  // bound to the empty URI, and "xml" bound to anything but XmlNamespaceURI raise
  // ENamespace_Err. An empty prefix with an empty URI is allowed.
  TDomXPathNamespace(TCustomOwnedObject* owner, std::u16string_view prefix,
                     std::u16string_view namespaceURI, TDomElement* ownerElement);
  const char* ClassName() const override { return "TDomXPathNamespace"; }

  TDomNodeType nodeType() const override { return nkXPathNamespace; }
  const WideString& nodeName() const override;
  // The namespace URI is the node's value too.
  const WideString& namespaceURI() const override { return FNamespaceURI; }
  const WideString& localName() const override { return FPrefix; }
  const WideString& prefix() const override { return FPrefix; }
  const WideString& xpathName() const override { return FPrefix; }
  WideString xpathStringValue() const override { return FNamespaceURI; }
  WideString lookupNamespaceURI(const WideString& prefix) const override;

  virtual TDomElement* ownerElement() const { return FOwnerElement; }
  // The element's document.
  TDomCustomDocument* foreignOwnerDocument() const override { return FDocument; }

protected:
  const TDomNode* positionParent() const override;
  // The node is in no tree and no traversal, and may outlive its element's document: it
  // tells no document of its end.
  TCustomOwnedNode* TreeWatcher() const noexcept override { return nullptr; }

private:
  TDomElement* FOwnerElement;
  TDomCustomDocument* FDocument;
  WideString FPrefix;
  WideString FNamespaceURI;
};

} // namespace velmora
