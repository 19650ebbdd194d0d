#include "xml/dtd_validation_agent.h"

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/xml_rules.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

// The replacement texts of the predefined entities, already resolved.
const char16_t* PredefinedText(std::u16string_view name) {
  if (name == u"lt") {
    return u"<";
  }
  if (name == u"gt") {
    return u">";
  }
  if (name == u"amp") {
    return u"&";
  }
  if (name == u"apos") {
    return u"'";
  }
  if (name == u"quot") {
    return u"\"";
  }
  return nullptr;
}

// An undeclared entity: without a document type declaration the document cannot declare
// any (98); with one, the entity may sit in a subset that was not read (35).
constexpr int kEntityWithoutDoctype = 98;

} // namespace

TDtdValidationAgent::TDtdValidationAgent(TDomDocument* document) : FDocument(document) {
  if (!document) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

bool TDtdValidationAgent::AddDefaultAttributes(TDomElement*) {
  return true;
}

int TDtdValidationAgent::ExpandEntityReference(TDomEntityReference* entityRef) {
  const bool readOnly = entityRef->isReadOnly();
  entityRef->setReadOnly(false);
  int kind = ekNone;
  try {
    while (TDomNode* child = entityRef->lastChild()) {
      entityRef->removeChild(child);
      child->Free();
    }
    if (const char16_t* text = PredefinedText(entityRef->nodeName())) {
      auto* node = new TDomText(FDocument);
      node->setNodeValue(text);
      entityRef->appendChild(node);
      node->setReadOnly(true);
    } else {
      kind = FDocument->doctype() ? ekUndeclaredEntity : kEntityWithoutDoctype;
    }
  } catch (...) {
    entityRef->setReadOnly(readOnly);
    throw;
  }
  entityRef->setReadOnly(true);
  return kind;
}

TDtdAttrType TDtdValidationAgent::AttributeType(std::u16string_view, std::u16string_view) const {
  return atCData;
}

TDtdContentType TDtdValidationAgent::ContentType(std::u16string_view) const {
  return ctAny;
}

void TDtdValidationAgent::NormalizeAttributeValue(std::u16string_view value, TDtdAttrType attrType,
                                                  int& errorKind, WideString& result) {
  // With the predefined entities only, a value is normalized as a CDATA literal; other
  // types then lose their surrounding and doubled spaces.
  FDocument->TDomCustomDocument::normalizeAttributeValue(value, atCData, errorKind, result);
  if (attrType != atCData && errorKind == ekNone) {
    result = collapseSpaces(result);
  }
}

void TDtdValidationAgent::Clear() {
  for (int i = 0; i < FIds.count(); ++i) {
    static_cast<TDomElement*>(FIds.objects(i))->setCarriesId(false);
  }
  FIds.clear();
}

TDomElement* TDtdValidationAgent::ElementById(std::u16string_view id) const {
  const int index = FIds.indexOf(id);
  return index < 0 ? nullptr : static_cast<TDomElement*>(FIds.objects(index));
}

bool TDtdValidationAgent::AddId(const WideString& id, TDomElement* element) {
  int index = 0;
  if (!element || FIds.find(id, index)) {
    return false;
  }
  FIds.add(id, element);
  element->setCarriesId(true);
  return true;
}

void TDtdValidationAgent::DropIds(const TDomElement* element) {
  for (int i = FIds.count() - 1; i >= 0; --i) {
    if (FIds.objects(i) == element) {
      FIds.remove(i);
    }
  }
}

bool TDtdValidationAgent::PrepareDtdModel(TDomDocumentTypeDecl*, bool) {
  return true;
}

} // namespace velmora
