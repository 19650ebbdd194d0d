#include "xpath/xpath_namespace.h"

#include "dom/element.h"
#include "dom/xml_rules.h"

namespace velmora {

TDomXPathNamespace::TDomXPathNamespace(TCustomOwnedObject* owner, std::u16string_view prefix,
                                       std::u16string_view namespaceURI, TDomElement* ownerElement)
    : TDomValueNode(owner), FOwnerElement(ownerElement),
      FDocument(ownerElement ? ownerElement->ownerDocument() : nullptr), FPrefix(prefix) {
  setAllowedChildKinds(0);
  confirmAdmission();
  if (!prefix.empty() && !conformsToNCName(prefix)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  if ((prefix == u"xmlns" && namespaceURI != XmlnsNamespaceURI) ||
      (namespaceURI.empty() && !prefix.empty()) ||
      (prefix == u"xml" && namespaceURI != XmlNamespaceURI)) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
  FNamespaceURI = namespaceURI;
  FNodeValue.assign(namespaceURI);
  setReadOnly(true);
}

const WideString& TDomXPathNamespace::nodeName() const {
  static const WideString name = u"#namespace";
  return name;
}

WideString TDomXPathNamespace::lookupNamespaceURI(const WideString& prefix) const {
  return FOwnerElement ? FOwnerElement->lookupNamespaceURI(prefix)
                       : TDomNode::lookupNamespaceURI(prefix);
}

const TDomNode* TDomXPathNamespace::positionParent() const {
  return FOwnerElement;
}

} // namespace velmora
