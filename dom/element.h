#pragma once
// Elements and their attributes.

#include <memory>

#include "dom/name_table.h"
#include "dom/node_lists.h"

namespace velmora {

class TDomDocument;
class TDomDocumentNS;

class TDomAttr : public TDomValueNode {
public:
  // A plain attribute; name must be an XML Name.
  TDomAttr(TDomDocument* document, bool specified, std::u16string_view name);
  // A namespace-aware attribute, with the namespace checks.
  TDomAttr(TDomDocumentNS* document, bool specified, std::u16string_view qualifiedName,
           std::u16string_view namespaceURI);
  const char* ClassName() const override { return "TDomAttr"; }

  TDomNodeType nodeType() const override { return nkAttribute; }
  const WideString& nodeName() const override { return *FName->NodeName; }
  const WideString& xpathName() const override { return *FName->NodeName; }
  const WideString& localName() const override { return *FName->LocalName; }
  const WideString& namespaceURI() const override { return *FName->NamespaceURI; }
  const WideString& prefix() const override { return *FName->Prefix; }
  TDomNode* nextSibling() const override { return nullptr; }
  TDomNode* previousSibling() const override { return nullptr; }
  WideString lookupNamespaceURI(const WideString& prefix) const override;
  // Also reports AC_MODIFICATION to the owner element.
  void setNodeValue(std::u16string_view value) override;
  // The value of an attribute that no element holds yet: nothing to report.
  void takeValue(std::u16string_view value) { FNodeValue.assign(value); }
  void setPrefix(const WideString& prefix) override;
  WideString baseURI() const override;
  // The value with references resolved, as XPath sees an attribute.
  WideString xpathStringValue() const override;

  const WideString& name() const { return *FName->NodeName; }
  bool specified() const { return FSpecified; }
  TDomNamespaceDeclKind namespaceDeclKind() const { return FNamespaceDeclKind; }
  TDomElement* ownerElement() const;
  TDomNamedNodeMap* ownerMap() const { return FOwnerMap; }
  void setOwnerMap(TDomNamedNodeMap* map) { FOwnerMap = map; }
  // The value normalized as an attribute-value literal of its declared type; a failure
  // raises EConvertError "Attribute value normalization failed.".
  WideString normalizedValue() const;
  void notifyModified(TDomAttrChange change);

  // The interned name pointers (equal names, equal pointers within a document).
  const WideString* nodeNameKey() const { return FName->NodeName; }
  const WideString* localNameKey() const { return FName->LocalName; }
  const WideString* namespaceURIKey() const { return FName->NamespaceURI; }

  const TDomNode* positionParent() const override;

protected:
  void BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept override;

private:
  friend class TDomElement;
  // A namespace-aware attribute whose names passed the checks already.
  TDomAttr(TDomDocumentNS* document, bool specified, const TDomQualifiedName* checkedName);

  const TDomQualifiedName* FName = nullptr;
  TDomNamedNodeMap* FOwnerMap = nullptr;
};

class TDomElement : public TDomNode {
public:
  // A plain element; tagName must be an XML Name.
  TDomElement(TDomDocument* document, std::u16string_view tagName);
  // A namespace-aware element, with the namespace checks.
  TDomElement(TDomDocumentNS* document, std::u16string_view namespaceURI,
              std::u16string_view qualifiedName);
  const char* ClassName() const override { return "TDomElement"; }

  TDomNodeType nodeType() const override { return nkElement; }
  const WideString& nodeName() const override { return *FName->NodeName; }
  const WideString& xpathName() const override { return *FName->NodeName; }
  const WideString& localName() const override { return *FName->LocalName; }
  const WideString& namespaceURI() const override { return *FName->NamespaceURI; }
  const WideString& prefix() const override { return *FName->Prefix; }
  const WideString& tagName() const { return *FName->NodeName; }
  void setNodeValue(std::u16string_view) override {}
  void setPrefix(const WideString& prefix) override;
  TDomNamedNodeMap* attributes() override { return &AttributeMap(); }
  // The attributes in map order (empty when there are none).
  const TDomNodeVector& attributeItems() const;
  WideString lookupNamespaceURI(const WideString& prefix) const override;
  WideString baseURI() const override;

  WideString getAttribute(std::u16string_view name) const;
  WideString getAttributeNS(std::u16string_view namespaceURI, std::u16string_view localName) const;
  TDomAttr* getAttributeNode(std::u16string_view name) const;
  TDomAttr* getAttributeNodeNS(std::u16string_view namespaceURI,
                               std::u16string_view localName) const;
  // "" when there is no such attribute; any failure becomes EConvertError
  // "Literal attribute value cannot be resolved.".
  WideString getAttributeNormalizedValue(std::u16string_view name) const;
  WideString getAttributeNormalizedValueNS(std::u16string_view namespaceURI,
                                           std::u16string_view localName) const;
  bool hasAttribute(std::u16string_view name) const;
  bool hasAttributeNS(std::u16string_view namespaceURI, std::u16string_view localName) const;
  TDomAttr* setAttribute(std::u16string_view name, std::u16string_view value);
  TDomAttr* setAttributeNS(std::u16string_view namespaceURI, std::u16string_view qualifiedName,
                           std::u16string_view value);
  TDomAttr* setAttributeNode(TDomAttr* attr);
  TDomAttr* setAttributeNodeNS(TDomAttr* attr);
  TDomAttr* removeAttributeNode(TDomAttr* attr);
  TDomAttr* removeAttribute(std::u16string_view name);
  TDomAttr* removeAttributeNS(std::u16string_view namespaceURI, std::u16string_view localName);

  // Live lists of the descendant elements, kept by the element: the same name gives the
  // same list.
  TDomNodeList* getElementsByTagName(const WideString& name);
  TDomNodeList* getElementsByTagNameNS(const WideString& namespaceURI, const WideString& localName);

  void notifyAttrModified(TDomAttrChange change, TDomAttr* attr);

  const WideString* nodeNameKey() const { return FName->NodeName; }
  const WideString* localNameKey() const { return FName->LocalName; }
  const WideString* namespaceURIKey() const { return FName->NamespaceURI; }
  // All four names as one interned key.
  const TDomQualifiedName* nameKey() const { return FName; }

  // Set by the document that lists the element under an ID.
  bool carriesId() const { return FCarriesId; }
  void setCarriesId(bool carries) { FCarriesId = carries; }

protected:
  ~TDomElement() override;
  void BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept override;
  // Clearing removes and frees the attributes too, before what the element owns and its
  // children.
  void ClearContents(TFirstFailure& failures) noexcept override;

private:
  struct TListCaches;
  // The live lists handed out so far, made on the first.
  TListCaches& ListCaches();

  // Each attribute leaves with its removal reported, and goes; a failing report stops
  // nothing.
  void RemoveAllAttributes(TFirstFailure& failures) noexcept;
  TDomAttr* SetAttributeNodeWith(TDomAttr* attr, bool namespaceAware);
  // The map, created with the first attribute (most elements have none).
  TDomNamedNodeMap& AttributeMap();
  // Lookups on an element without a map still make the map's mode check.
  void CheckMapMode(bool namespaceOperation) const;

  const TDomQualifiedName* FName = nullptr;
  std::unique_ptr<TDomNamedNodeMap> FAttributes;
};

} // namespace velmora
