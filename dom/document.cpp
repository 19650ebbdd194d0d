#include "dom/document.h"

#include "dom/element.h"
#include "dom/node_lists.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"

namespace velmora {

namespace {

// Parse-error kinds this normalization reports.
constexpr int kUndeclaredEntity = 35;
constexpr int kInvalidCharInAttributeValue = 57;
constexpr int kInvalidCharRef = 60;
constexpr int kInvalidEntityName = 64;
constexpr int kLessThanInAttributeValue = 73;
constexpr int kMissingEntityName = 76;
constexpr int kCharRefWithoutSemicolon = 92;
constexpr int kEntityRefWithoutSemicolon = 96;

char16_t PredefinedEntityChar(std::u16string_view name) {
  if (name == u"lt") {
    return u'<';
  }
  if (name == u"gt") {
    return u'>';
  }
  if (name == u"amp") {
    return u'&';
  }
  if (name == u"apos") {
    return u'\'';
  }
  if (name == u"quot") {
    return u'"';
  }
  return 0;
}

template <class TDocument> TDocument* DocumentAs(TDomCustomDocument* document) {
  auto* typed = dynamic_cast<TDocument*>(document);
  if (!typed) {
    throw EInvalidCast("Ungültige Typumwandlung");
  }
  return typed;
}

} // namespace

TDomCustomDocument::TDomCustomDocument(TDomImplementation* implementation)
    : TDomNode(nullptr), FImplementation(implementation) {
  setAllowedChildKinds(kDocumentChildKinds);
}

const WideString& TDomCustomDocument::nodeName() const {
  static const WideString name = u"#document";
  return name;
}

WideString TDomCustomDocument::baseURI() const {
  return isAbsoluteUri(FDocumentURI) ? FDocumentURI : WideString();
}

WideString TDomCustomDocument::xpathStringValue() const {
  const TDomElement* element = documentElement();
  return element ? element->textContent() : WideString();
}

TDomNode* TDomCustomDocument::doctype() const {
  for (TDomNode* child = firstChild(); child; child = child->nextSibling()) {
    if (child->nodeType() == nkDocumentType) {
      return child;
    }
  }
  return nullptr;
}

TDomElement* TDomCustomDocument::documentElement() const {
  return firstChildElement();
}

TDomNode* TDomCustomDocument::CopyShallow(TDomNode* node) {
  switch (node->nodeType()) {
  case nkElement: {
    auto* source = static_cast<TDomElement*>(node);
    TDomElement* copy = source->namespaceAware()
                            ? new TDomElement(DocumentAs<TDomDocumentNS>(this),
                                              source->namespaceURI(), source->nodeName())
                            : new TDomElement(DocumentAs<TDomDocument>(this), source->nodeName());
    // Only what the document said: defaulted attributes are not copied.
    for (TCustomOwnedNode* item : std::vector<TCustomOwnedNode*>(source->attributeItems())) {
      auto* attr = static_cast<TDomAttr*>(item);
      if (!attr->specified()) {
        continue;
      }
      auto* attrCopy = static_cast<TDomAttr*>(importNode(attr, true));
      if (source->namespaceAware()) {
        copy->setAttributeNodeNS(attrCopy);
      } else {
        copy->setAttributeNode(attrCopy);
      }
    }
    return copy;
  }
  case nkAttribute: {
    auto* source = static_cast<TDomAttr*>(node);
    TDomAttr* copy = source->namespaceAware()
                         ? new TDomAttr(DocumentAs<TDomDocumentNS>(this), true, source->nodeName(),
                                        source->namespaceURI())
                         : new TDomAttr(DocumentAs<TDomDocument>(this), true, source->nodeName());
    copy->setNodeValue(source->nodeValue());
    return copy;
  }
  case nkText: {
    auto* copy = new TDomText(this);
    copy->setNodeValue(node->nodeValue());
    copy->setFromCharacterReference(static_cast<TDomText*>(node)->fromCharacterReference());
    return copy;
  }
  case nkCDATASection: {
    auto* copy = new TDomCDATASection(this);
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkEntityReference:
    return new TDomEntityReference(this, node->nodeName());
  case nkProcessingInstruction: {
    auto* copy = new TDomProcessingInstruction(this, node->nodeName());
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkComment: {
    auto* copy = new TDomComment(this);
    copy->setNodeValue(node->nodeValue());
    return copy;
  }
  case nkDocumentFragment:
    return new TDomDocumentFragment(this);
  default:
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

TDomNode* TDomCustomDocument::copyNode(TDomNode* node, bool deep) {
  if (!node) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  TDomNode* root = CopyShallow(node);
  const TDomNodeType kind = node->nodeType();
  if (!deep || (kind != nkElement && kind != nkDocumentFragment)) {
    return root;
  }
  // The descendants are imported one by one, in document order and without recursion;
  // each one's handlers hear of it once its own copy is complete.
  struct TLevel {
    TDomNode* Source;
    TDomNode* Copy;
  };
  std::vector<TLevel> path{{node, root}};
  TDomNode* source = node->firstChild();
  while (!path.empty()) {
    if (source) {
      TDomNode* copy = CopyShallow(source);
      path.back().Copy->appendChild(copy);
      const TDomNodeType sourceKind = source->nodeType();
      if ((sourceKind == nkElement || sourceKind == nkDocumentFragment) &&
          source->hasChildNodes()) {
        path.push_back({source, copy});
        source = source->firstChild();
      } else {
        source->callUserDataHandlers(udImported, source, copy);
        source = source->nextSibling();
      }
      continue;
    }
    const TLevel done = path.back();
    path.pop_back();
    if (path.empty()) {
      break;
    }
    done.Source->callUserDataHandlers(udImported, done.Source, done.Copy);
    source = done.Source->nextSibling();
  }
  return root;
}

TDomNode* TDomCustomDocument::importNode(TDomNode* node, bool deep) {
  TDomNode* copy = copyNode(node, deep);
  node->callUserDataHandlers(udImported, node, copy);
  return copy;
}

int TDomCustomDocument::attributeType(std::u16string_view, std::u16string_view) {
  return 0;
}

void TDomCustomDocument::normalizeAttributeValue(std::u16string_view value, int, int& errorCode,
                                                 WideString& result) {
  errorCode = 0;
  result.clear();
  WideString text;
  text.reserve(value.size());
  const auto fail = [&](int code) {
    errorCode = code;
    result.clear();
  };
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (c == '<') {
      return fail(kLessThanInAttributeValue);
    }
    if (!isXmlCharUnit(c)) {
      return fail(kInvalidCharInAttributeValue);
    }
    if (c != '&') {
      text += isWhiteSpaceChar(c) ? u' ' : c;
      continue;
    }
    const bool charRef = i + 1 < value.size() && value[i + 1] == '#';
    const size_t semicolon = value.find(u';', i);
    if (semicolon == std::u16string_view::npos) {
      return fail(charRef ? kCharRefWithoutSemicolon : kEntityRefWithoutSemicolon);
    }
    const std::u16string_view reference = value.substr(i, semicolon - i + 1);
    if (charRef) {
      try {
        // A "<" written as a character reference is legal; only a literal one is not.
        text += charRefText(reference);
      } catch (const EConvertError&) {
        return fail(kInvalidCharRef);
      }
    } else {
      const std::u16string_view name = reference.substr(1, reference.size() - 2);
      if (name.empty()) {
        return fail(kMissingEntityName);
      }
      if (!conformsToName(name)) {
        return fail(kInvalidEntityName);
      }
      const char16_t replacement = PredefinedEntityChar(name);
      if (!replacement) {
        return fail(kUndeclaredEntity);
      }
      text += replacement;
    }
    i = semicolon;
  }
  result = std::move(text);
}

bool TDomCustomDocument::isWhitespaceInElementContent(const TDomText*) const {
  return false;
}

void TDomCustomDocument::doAttrModified(TDomNode*, TDomAttrChange, TDomAttr*) {
  FModified = true;
}

void TDomCustomDocument::doCharacterDataModified(TDomNode*) {
  FModified = true;
}

void TDomCustomDocument::doNodeClearing(TDomNode*) {
  FModified = true;
}

void TDomCustomDocument::doNodeInserted(TDomNode*) {
  FModified = true;
}

void TDomCustomDocument::doNodeRemoving(TDomNode*) {
  FModified = true;
}

void TDomCustomDocument::clear() {
  checkWritable();
  hookBeforeClear();
  // Every node of the document goes: no tree maintenance needed.
  freeAllOwnedAtOnce();
  ForgetChildren();
  BumpTreeVersion();
  hookAfterClear();
}

void TDomCustomDocument::DestroyContents() noexcept {
  freeAllOwnedAtOnce();
  ForgetChildren();
  BumpTreeVersion();
}

TDomDocument::TDomDocument(TDomImplementation* implementation)
    : TDomCustomDocument(implementation) {}

TDomDocument::~TDomDocument() = default;

TDomNodeList* TDomDocument::getElementsByTagName(const WideString& name) {
  for (const auto& list : FElementLists) {
    if (static_cast<TDomElementsNodeList*>(list.get())->queryName() == name) {
      return list.get();
    }
  }
  FElementLists.push_back(std::make_unique<TDomElementsNodeList>(name, this));
  return FElementLists.back().get();
}

void TDomDocument::hookBeforeClear() {
  TDomCustomDocument::hookBeforeClear();
  FElementLists.clear();
}

TDomDocumentNS::TDomDocumentNS(TDomImplementation* implementation)
    : TDomCustomDocument(implementation) {}

TDomDocumentNS::~TDomDocumentNS() = default;

TDomNodeList* TDomDocumentNS::getElementsByTagNameNS(const WideString& namespaceURI,
                                                     const WideString& localName) {
  for (const auto& list : FElementLists) {
    const auto* typed = static_cast<TDomElementsNodeListNS*>(list.get());
    if (typed->queryNamespaceURI() == namespaceURI && typed->queryLocalName() == localName) {
      return list.get();
    }
  }
  FElementLists.push_back(std::make_unique<TDomElementsNodeListNS>(namespaceURI, localName, this));
  return FElementLists.back().get();
}

void TDomDocumentNS::hookBeforeClear() {
  TDomCustomDocument::hookBeforeClear();
  FElementLists.clear();
}

} // namespace velmora
