#include "dom/element.h"

#include "dom/document.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"

namespace velmora {

namespace {

// The parts of a namespace-aware name, after the checks every namespace-aware constructor
// and setAttributeNS make; views of the qualified name.
struct TNamespaceName {
  std::u16string_view Prefix;
  std::u16string_view LocalName;
};

TNamespaceName SplitNamespaceName(std::u16string_view qualifiedName,
                                  std::u16string_view namespaceURI, bool attribute) {
  TNamespaceName name;
  if (!splitQName(qualifiedName, name.Prefix, name.LocalName)) {
    if (conformsToName(qualifiedName)) {
      throw ENamespace_Err(dom_messages::kNamespace);
    }
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  // Only attributes are bound to the xmlns rules: a declaration is in the xmlns namespace.
  if (attribute && (name.Prefix == u"xmlns" || qualifiedName == u"xmlns") &&
      namespaceURI != XmlnsNamespaceURI) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
  if ((!name.Prefix.empty() && namespaceURI.empty()) ||
      (name.Prefix == u"xml" && namespaceURI != XmlNamespaceURI)) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
  return name;
}

TDomNameTable& TableOf(TDomCustomDocument* document) {
  if (!document) {
    throw EAccessViolation("Document not specified.");
  }
  return document->nameTable();
}

void CheckName(std::u16string_view name) {
  if (!conformsToName(name)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
}

// The interned names of a new plain element or attribute: those a node was lately made
// with, else the name checked and interned now.
const TDomQualifiedName* CheckedPlainName(TDomCustomDocument* document, std::u16string_view name) {
  if (document) {
    if (const TDomQualifiedName* known =
            document->nameTable().FindChecked(TDomNameTable::nuPlain, name, u"")) {
      return known;
    }
  }
  CheckName(name);
  TDomNameTable& table = TableOf(document);
  const TDomQualifiedName* names = TDomQualifiedName::Plain(table, name);
  table.RememberChecked(TDomNameTable::nuPlain, names);
  return names;
}

// The same for a new namespace-aware element or attribute (use tells which).
const TDomQualifiedName* CheckedNamespacedName(TDomCustomDocument* document,
                                               TDomNameTable::TNameUse use,
                                               std::u16string_view qualifiedName,
                                               std::u16string_view namespaceURI) {
  if (document) {
    if (const TDomQualifiedName* known =
            document->nameTable().FindChecked(use, qualifiedName, namespaceURI)) {
      return known;
    }
  }
  const TNamespaceName name =
      SplitNamespaceName(qualifiedName, namespaceURI, use == TDomNameTable::nuAttribute);
  TDomNameTable& table = TableOf(document);
  const TDomQualifiedName* names = TDomQualifiedName::Namespaced(table, qualifiedName, namespaceURI,
                                                                 name.Prefix, name.LocalName);
  table.RememberChecked(use, names);
  return names;
}

// The checks of setPrefix for elements and attributes, in their order.
void CheckNewPrefix(const TDomNode& node, const WideString& prefix, bool attribute) {
  if (!conformsToName(prefix)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  if (node.isReadOnly()) {
    throw ENo_Modification_Allowed_Err(dom_messages::kNoModificationAllowed);
  }
  if (!conformsToNCName(prefix) || node.namespaceURI().empty() ||
      (prefix == u"xml" && node.namespaceURI() != XmlNamespaceURI) ||
      (attribute && ((prefix == u"xmlns" && node.namespaceURI() != XmlnsNamespaceURI) ||
                     node.nodeName() == u"xmlns"))) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
}

} // namespace

// The live element lists an element has handed out, by name.
struct TDomElement::TListCaches : TRareExtra {
  std::vector<std::unique_ptr<TDomElementsNodeList>> ByName;
  std::vector<std::unique_ptr<TDomElementsNodeListNS>> ByNameNS;
};

TDomAttr::TDomAttr(TDomDocument* document, bool specified, std::u16string_view name)
    : TDomValueNode(document) {
  FSpecified = specified;
  setAllowedChildKinds(0);
  FName = CheckedPlainName(document, name);
  if (name == u"xmlns") {
    FNamespaceDeclKind = ndDefault;
  } else if (name.starts_with(u"xmlns:") && conformsToNCName(name.substr(6))) {
    FNamespaceDeclKind = ndPrefixed;
  }
}

TDomAttr::TDomAttr(TDomDocumentNS* document, bool specified, std::u16string_view qualifiedName,
                   std::u16string_view namespaceURI)
    : TDomAttr(document, specified,
               CheckedNamespacedName(document, TDomNameTable::nuAttribute, qualifiedName,
                                     namespaceURI)) {}

TDomAttr::TDomAttr(TDomDocumentNS* document, bool specified, const TDomQualifiedName* checkedName)
    : TDomValueNode(document) {
  FSpecified = specified;
  setAllowedChildKinds(0);
  setNamespaceAware(true);
  FName = checkedName;
  // What the checks found: "xmlns:p" declares a prefix, "xmlns" the default namespace.
  FNamespaceDeclKind = *FName->Prefix == u"xmlns"     ? ndPrefixed
                       : *FName->NodeName == u"xmlns" ? ndDefault
                                                      : ndNone;
}

TDomElement* TDomAttr::ownerElement() const {
  TDomNode* owner = FOwnerMap ? FOwnerMap->ownerNode() : nullptr;
  return IsElementNode(owner) ? static_cast<TDomElement*>(owner) : nullptr;
}

const TDomNode* TDomAttr::positionParent() const {
  return ownerElement();
}

WideString TDomAttr::lookupNamespaceURI(const WideString& prefix) const {
  if (prefix.empty()) {
    return WideString();
  }
  if (const TDomElement* element = ownerElement()) {
    return element->lookupNamespaceURI(prefix);
  }
  return TDomNode::lookupNamespaceURI(prefix);
}

void TDomAttr::setNodeValue(std::u16string_view value) {
  TDomValueNode::setNodeValue(value);
  notifyModified(AC_MODIFICATION);
}

void TDomAttr::setPrefix(const WideString& prefix) {
  CheckNewPrefix(*this, prefix, true);
  FName = FName->WithPrefix(TableOf(referenceDocument()), prefix);
  if (FOwnerMap) {
    FOwnerMap->nameChanged();
  }
}

WideString TDomAttr::baseURI() const {
  const TDomElement* element = ownerElement();
  if (!element) {
    return WideString();
  }
  const bool isXmlBase =
      (*FName->NamespaceURI == XmlNamespaceURI && *FName->LocalName == u"base") ||
      (FName->NamespaceURI->empty() && *FName->NodeName == u"xml:base");
  if (!isXmlBase) {
    return element->baseURI();
  }
  return element->parentNode() ? element->parentNode()->baseURI() : WideString();
}

WideString TDomAttr::normalizedValue() const {
  TDomCustomDocument* document = referenceDocument();
  const TDomElement* element = ownerElement();
  const int type =
      element && document ? document->attributeType(element->nodeName(), nodeName()) : 0;
  int errorCode = 0;
  WideString result;
  if (document) {
    document->normalizeAttributeValue(FNodeValue, type, errorCode, result);
  }
  if (errorCode < 0 || errorCode > 5) {
    throw EConvertError("Attribute value normalization failed.");
  }
  return result;
}

WideString TDomAttr::xpathStringValue() const {
  try {
    return normalizedValue();
  } catch (const EConvertError&) {
    return WideString(FNodeValue.view());
  }
}

void TDomAttr::notifyModified(TDomAttrChange change) {
  if (TDomElement* element = ownerElement()) {
    element->notifyAttrModified(change, this);
  }
}

void TDomAttr::BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept {
  TDomNode::BeforeDestruction(ownerGoes, failures);
  if (ownerGoes) {
    return;
  }
  if (TDomElement* element = ownerElement()) {
    const bool readOnly = element->isReadOnly();
    element->setReadOnly(false);
    failures.Run([&] { element->removeAttributeNode(this); });
    // Whatever the removal met, the map must not keep an attribute that goes.
    if (FOwnerMap) {
      FOwnerMap->dropItem(this);
    }
    element->setReadOnly(readOnly);
  }
}

TDomElement::TDomElement(TDomDocument* document, std::u16string_view tagName) : TDomNode(document) {
  setAllowedChildKinds(kElementChildKinds);
  FName = CheckedPlainName(document, tagName);
}

TDomElement::TDomElement(TDomDocumentNS* document, std::u16string_view namespaceURI,
                         std::u16string_view qualifiedName)
    : TDomNode(document) {
  setAllowedChildKinds(kElementChildKinds);
  setNamespaceAware(true);
  FName = CheckedNamespacedName(document, TDomNameTable::nuElement, qualifiedName, namespaceURI);
}

TDomElement::~TDomElement() = default;

TDomNamedNodeMap& TDomElement::AttributeMap() {
  if (!FAttributes) {
    FAttributes =
        std::make_unique<TDomNamedNodeMap>(this, namespaceAware(), NodeKindBit(nkAttribute));
  }
  return *FAttributes;
}

const TDomNodeVector& TDomElement::attributeItems() const {
  static const TDomNodeVector none;
  return FAttributes ? FAttributes->items() : none;
}

void TDomElement::CheckMapMode(bool namespaceOperation) const {
  if (namespaceOperation != namespaceAware()) {
    throw ENamespace_Err(dom_messages::kNamespace);
  }
}

void TDomElement::setPrefix(const WideString& prefix) {
  CheckNewPrefix(*this, prefix, false);
  TDomCustomDocument* document = referenceDocument();
  FName = FName->WithPrefix(TableOf(document), prefix);
  // Lists of elements by name may now match differently.
  document->bumpTreeVersion();
}

WideString TDomElement::lookupNamespaceURI(const WideString& prefix) const {
  const TDomNode* node = this;
  while (IsElementNode(node)) {
    const auto* element = static_cast<const TDomElement*>(node);
    for (const TCustomOwnedNode* item : element->attributeItems()) {
      const auto* attr = static_cast<const TDomAttr*>(item);
      if (prefix.empty() ? attr->namespaceDeclKind() == ndDefault
                         : attr->namespaceDeclKind() == ndPrefixed && attr->localName() == prefix) {
        return WideString(attr->nodeValue());
      }
    }
    node = node->parentNode();
  }
  return TDomNode::lookupNamespaceURI(prefix);
}

WideString TDomElement::baseURI() const {
  // Relative "xml:base" values from here up to the first absolute one (or the top) are
  // resolved top-down against what lies above them.
  std::vector<WideString> relative;
  WideString base;
  const TDomNode* node = this;
  while (node) {
    if (!IsElementNode(node)) {
      if (node->nodeType() == nkEntityReference) {
        node = node->parentNode();
        continue;
      }
      base = node->baseURI();
      break;
    }
    const auto* element = static_cast<const TDomElement*>(node);
    const TDomAttr* attr = element->namespaceAware()
                               ? element->getAttributeNodeNS(XmlNamespaceURI, u"base")
                               : element->getAttributeNode(u"xml:base");
    if (attr) {
      WideString value = attr->normalizedValue();
      TUriWideAnalyzer uri;
      if (uri.parse(value) && uri.HasScheme) {
        base = std::move(value);
        break;
      }
      relative.push_back(std::move(value));
    }
    node = node->parentNode();
  }
  for (auto it = relative.rbegin(); it != relative.rend(); ++it) {
    WideString resolved;
    resolveUri(base, *it, resolved);
    base = std::move(resolved);
  }
  return base;
}

TDomAttr* TDomElement::getAttributeNode(std::u16string_view name) const {
  if (!FAttributes) {
    CheckMapMode(false);
    return nullptr;
  }
  return static_cast<TDomAttr*>(FAttributes->getNamedItem(name));
}

TDomAttr* TDomElement::getAttributeNodeNS(std::u16string_view namespaceURI,
                                          std::u16string_view localName) const {
  if (!FAttributes) {
    CheckMapMode(true);
    return nullptr;
  }
  return static_cast<TDomAttr*>(FAttributes->getNamedItemNS(namespaceURI, localName));
}

WideString TDomElement::getAttribute(std::u16string_view name) const {
  const TDomAttr* attr = getAttributeNode(name);
  return attr ? WideString(attr->nodeValue()) : WideString();
}

WideString TDomElement::getAttributeNS(std::u16string_view namespaceURI,
                                       std::u16string_view localName) const {
  const TDomAttr* attr = getAttributeNodeNS(namespaceURI, localName);
  return attr ? WideString(attr->nodeValue()) : WideString();
}

WideString TDomElement::getAttributeNormalizedValue(std::u16string_view name) const {
  try {
    const TDomAttr* attr = getAttributeNode(name);
    return attr ? attr->normalizedValue() : WideString();
  } catch (const std::exception&) {
    throw EConvertError("Literal attribute value cannot be resolved.");
  }
}

WideString TDomElement::getAttributeNormalizedValueNS(std::u16string_view namespaceURI,
                                                      std::u16string_view localName) const {
  try {
    const TDomAttr* attr = getAttributeNodeNS(namespaceURI, localName);
    return attr ? attr->normalizedValue() : WideString();
  } catch (const std::exception&) {
    throw EConvertError("Literal attribute value cannot be resolved.");
  }
}

bool TDomElement::hasAttribute(std::u16string_view name) const {
  return getAttributeNode(name) != nullptr;
}

bool TDomElement::hasAttributeNS(std::u16string_view namespaceURI,
                                 std::u16string_view localName) const {
  return getAttributeNodeNS(namespaceURI, localName) != nullptr;
}

TDomAttr* TDomElement::setAttribute(std::u16string_view name, std::u16string_view value) {
  checkNotReadOnly();
  if (TDomAttr* existing = getAttributeNode(name)) {
    existing->setNodeValue(value);
    return nullptr;
  }
  auto* attr = new TDomAttr(DocumentAs<TDomDocument>(referenceDocument()), true, name);
  attr->takeValue(value);
  AttributeMap().addItem(attr);
  notifyAttrModified(AC_ADDITION, attr);
  return attr;
}

TDomAttr* TDomElement::setAttributeNS(std::u16string_view namespaceURI,
                                      std::u16string_view qualifiedName,
                                      std::u16string_view value) {
  checkNotReadOnly();
  // Checked once, here: the new attribute takes the names as they are.
  const TDomQualifiedName* names = CheckedNamespacedName(
      referenceDocument(), TDomNameTable::nuAttribute, qualifiedName, namespaceURI);
  if (TDomAttr* existing = getAttributeNodeNS(namespaceURI, *names->LocalName)) {
    // Only a changed prefix goes through setPrefix (which refuses an empty one).
    if (existing->prefix() != *names->Prefix) {
      existing->setPrefix(*names->Prefix);
    }
    existing->setNodeValue(value);
    return nullptr;
  }
  auto* attr = new TDomAttr(DocumentAs<TDomDocumentNS>(referenceDocument()), true, names);
  attr->takeValue(value);
  AttributeMap().addItem(attr);
  notifyAttrModified(AC_ADDITION, attr);
  return attr;
}

TDomAttr* TDomElement::SetAttributeNodeWith(TDomAttr* attr, bool namespaceAware) {
  const bool hadOwnerElement = attr && attr->ownerElement();
  TDomNamedNodeMap& map = AttributeMap();
  auto* replaced =
      static_cast<TDomAttr*>(namespaceAware ? map.setNamedItemNS(attr) : map.setNamedItem(attr));
  if (!hadOwnerElement) {
    notifyAttrModified(AC_ADDITION, attr);
  }
  return replaced;
}

TDomAttr* TDomElement::setAttributeNode(TDomAttr* attr) {
  return SetAttributeNodeWith(attr, false);
}

TDomAttr* TDomElement::setAttributeNodeNS(TDomAttr* attr) {
  return SetAttributeNodeWith(attr, true);
}

TDomAttr* TDomElement::removeAttributeNode(TDomAttr* attr) {
  AttributeMap().removeItem(attr);
  notifyAttrModified(AC_REMOVAL, attr);
  return attr;
}

TDomAttr* TDomElement::removeAttribute(std::u16string_view name) {
  return removeAttributeNode(getAttributeNode(name));
}

TDomAttr* TDomElement::removeAttributeNS(std::u16string_view namespaceURI,
                                         std::u16string_view localName) {
  return removeAttributeNode(getAttributeNodeNS(namespaceURI, localName));
}

TDomElement::TListCaches& TDomElement::ListCaches() {
  if (auto* caches = static_cast<TListCaches*>(rareExtra())) {
    return *caches;
  }
  return static_cast<TListCaches&>(setRareExtra(std::make_unique<TListCaches>()));
}

TDomNodeList* TDomElement::getElementsByTagName(const WideString& name) {
  TListCaches& caches = ListCaches();
  for (const auto& list : caches.ByName) {
    if (list->queryName() == name) {
      return list.get();
    }
  }
  caches.ByName.push_back(std::make_unique<TDomElementsNodeList>(name, this));
  return caches.ByName.back().get();
}

TDomNodeList* TDomElement::getElementsByTagNameNS(const WideString& namespaceURI,
                                                  const WideString& localName) {
  TListCaches& caches = ListCaches();
  for (const auto& list : caches.ByNameNS) {
    if (list->queryNamespaceURI() == namespaceURI && list->queryLocalName() == localName) {
      return list.get();
    }
  }
  caches.ByNameNS.push_back(
      std::make_unique<TDomElementsNodeListNS>(namespaceURI, localName, this));
  return caches.ByNameNS.back().get();
}

void TDomElement::notifyAttrModified(TDomAttrChange change, TDomAttr* attr) {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->doAttrModified(this, change, attr);
  }
}

void TDomElement::RemoveAllAttributes(TFirstFailure& failures) noexcept {
  // From the last one, so that every removal takes the end of the list.
  while (!attributeItems().empty()) {
    auto* attr = static_cast<TDomAttr*>(attributeItems().back());
    failures.Run([&] { removeAttributeNode(attr); });
    if (attr->ownerMap()) {
      attr->ownerMap()->dropItem(attr);
    }
    attr->Free(failures);
  }
}

void TDomElement::ClearContents(TFirstFailure& failures) noexcept {
  RemoveAllAttributes(failures);
  TDomNode::ClearContents(failures);
}

void TDomElement::BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept {
  TDomNode::BeforeDestruction(ownerGoes, failures);
  if (ownerGoes) {
    return;
  }
  if (FCarriesId) {
    if (TDomCustomDocument* document = referenceDocument()) {
      document->dropIds(this);
    }
  }
  setReadOnly(false);
  RemoveAllAttributes(failures);
}

} // namespace velmora
