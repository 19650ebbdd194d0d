// Document validation by the validation agent: the validity constraints of XML 1.0 on the
// declarations, on every element's content and attributes, on IDs and IDREFs and on entity
// references, each violation reported as an error record.

#include <unordered_set>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/xml_rules.h"
#include "xml/dtd_validation_agent.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

bool IsWarning(int kind) {
  return SeverityOf(kind) == svWarning;
}

// The next of the element's children in order, passing into entity references: what the
// element's content is made of.
TDomNode* NextInContent(TDomNode* node, const TDomNode* element) {
  if (node->nodeType() == nkEntityReference && node->hasChildNodes()) {
    return node->firstChild();
  }
  while (node != element) {
    if (TDomNode* next = node->nextSibling()) {
      return next;
    }
    node = node->parentNode();
  }
  return nullptr;
}

// The space-separated tokens of a normalized value.
template <class TVisit> void ForEachToken(std::u16string_view value, TVisit visit) {
  size_t start = 0;
  while (start <= value.size()) {
    const size_t end = std::min(value.find(u' ', start), value.size());
    if (end > start) {
      visit(value.substr(start, end - start));
    }
    start = end + 1;
  }
}

} // namespace

bool TDtdValidationAgent::Report(int errorKind, TDtdObject* dtdObject, TDomNode* node,
                                 std::u16string_view snippet, bool& valid, bool& go,
                                 std::u16string_view clue) {
  if (!IsWarning(errorKind)) {
    valid = false;
  }
  // A limit of the expansion budget says so.
  if (clue.empty() && errorKind == ekRecursiveEntity) {
    clue = FFailureClue;
  }
  go = ReportValidityError(errorKind, dtdObject, node, snippet, clue);
  return go;
}

bool TDtdValidationAgent::IsUnparsedEntity(std::u16string_view name) const {
  const TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
  return decl && !decl->IsParsed();
}

bool TDtdValidationAgent::ValidateDocument(TDtdEntityTreatment entityTreatment) {
  TBudgetScope scope(*this);
  FIds.Clear();
  FIdRefs.clear();
  FReportedRefs.clear();
  bool valid = true;
  bool go = true;
  const auto finish = [&] {
    if (!valid) {
      FIds.Clear();
    }
    // Both name nodes of this run only: none is kept that could go.
    FIdRefs.clear();
    FReportedRefs.clear();
    return valid;
  };
  if (FModel.PrepStatus() != psComplete) {
    PrepareDtdModel(true);
    valid = FModel.PrepStatus() != psAborted;
  }
  if (FModel.PrepStatus() == psNoDeclarations) {
    if (!Report(ekNoDtd, nullptr, FDocument, u"", valid, go)) {
      return finish();
    }
  } else {
    ValidateDtd(valid, go);
    if (!go) {
      return finish();
    }
  }
  TDomElement* root = FDocument->documentElement();
  if (!root) {
    Report(ekMissingRootElement, nullptr, FDocument, u"", valid, go);
    valid = false;
    return finish();
  }
  if (const TDomNode* doctype = FDocument->doctype();
      doctype && doctype->nodeName() != root->nodeName()) {
    if (!Report(ekRootNameMismatch, nullptr, root, root->nodeName(), valid, go,
                doctype->nodeName())) {
      return finish();
    }
  }
  ValidateNode(root, entityTreatment, go, valid);
  for (const auto& [token, attr] : FIdRefs) {
    if (!go) {
      break;
    }
    if (!FIds.Find(token)) {
      Report(ekUnmatchedIdRef, FindAttributeDecl(attr->ownerElement()->nodeName(),
                                                 attr->nodeName()),
             attr, token, valid, go);
    }
  }
  return finish();
}

void TDtdValidationAgent::CheckMixedDecl(TDtdElementDecl& decl, bool& valid, bool& go) {
  const TDtdContentModel* model = decl.ContentModel();
  bool wellBuilt = model && model->Kind() == cmChoice;
  for (int i = 0; wellBuilt && i < model->SubModelCount(); ++i) {
    wellBuilt = model->SubModel(i)->Kind() == cmElement;
  }
  if (!wellBuilt) {
    Report(ekInvalidElementDecl, &decl, nullptr, decl.GetName(), valid, go);
    return;
  }
  std::unordered_set<std::u16string_view> names;
  for (int i = 0; i < model->SubModelCount() && go; ++i) {
    const WideString& name = model->SubModel(i)->GetName();
    if (!names.insert(name).second) {
      Report(ekDuplicateMixedName, &decl, nullptr, name, valid, go);
    }
  }
}

void TDtdValidationAgent::CheckAttributeDecl(TDtdAttributeDecl& decl, bool& valid, bool& go) {
  const bool hasDefault = decl.DefaultKind() == dfValue || decl.DefaultKind() == dfFixed;
  WideString value;
  int kind = ekNone;
  if (hasDefault) {
    NormalizeDefaultValue(&decl, value, kind);
    if (kind != ekNone && !Report(kind, &decl, nullptr, decl.DefaultValue(), valid, go)) {
      return;
    }
  }
  const std::vector<WideString>& tokens = decl.Enumeration();
  const auto reportDuplicateTokens = [&](int duplicateKind) {
    std::unordered_set<std::u16string_view> seen;
    for (const WideString& token : tokens) {
      if (!seen.insert(token).second && !Report(duplicateKind, &decl, nullptr, token, valid, go)) {
        return false;
      }
    }
    return true;
  };
  const auto defaultFits = [&](bool (*conforms)(std::u16string_view)) {
    if (hasDefault && IsWarning(kind) && !conforms(value)) {
      Report(ekInvalidDefaultValue, &decl, nullptr, decl.DefaultValue(), valid, go);
    }
  };
  switch (decl.AttrType()) {
  case atNotation:
    for (const WideString& token : tokens) {
      if (!FModel.FindNotationDecl(token) &&
          !Report(ekUndeclaredNotation, &decl, nullptr, token, valid, go)) {
        return;
      }
    }
    if (reportDuplicateTokens(ekDuplicateNotationToken) && hasDefault && IsWarning(kind) &&
        !decl.HasEnumToken(value)) {
      Report(ekInvalidDefaultValue, &decl, nullptr, decl.DefaultValue(), valid, go);
    }
    return;
  case atId:
    if (hasDefault) {
      Report(ekInvalidIdDefault, &decl, nullptr, decl.GetName(), valid, go);
    }
    return;
  case atIdRef:
  case atEntity:
    return defaultFits(conformsToName);
  case atIdRefs:
  case atEntities:
    return defaultFits(conformsToNames);
  case atNmTokens:
    return defaultFits(conformsToNmtokens);
  case atNmToken:
    if (!reportDuplicateTokens(ekDuplicateEnumToken)) {
      return;
    }
    if (hasDefault && IsWarning(kind) &&
        (!conformsToNmtoken(value) || (!tokens.empty() && !decl.HasEnumToken(value)))) {
      Report(ekInvalidDefaultValue, &decl, nullptr, decl.DefaultValue(), valid, go);
    }
    return;
  case atCData:
    return;
  }
}

void TDtdValidationAgent::ValidateDtd(bool& valid, bool& go) {
  const TDtdNamedObjectMap& elements = FModel.ElementDecls();
  for (int i = 0; i < elements.Count() && go; ++i) {
    auto* decl = static_cast<TDtdElementDecl*>(elements.Item(i));
    if (decl->ContentType() == ctMixed) {
      CheckMixedDecl(*decl, valid, go);
    }
  }
  const TDtdNamedObjectMap& entities = FModel.EntityDecls();
  for (int i = 0; i < entities.Count() && go; ++i) {
    auto* decl = static_cast<TDtdEntityDecl*>(entities.Item(i));
    if (!decl->NotationName().empty() && !FModel.FindNotationDecl(decl->NotationName())) {
      Report(ekUndeclaredNotation, decl, nullptr, decl->NotationName(), valid, go);
    }
  }
  const TDtdNamedObjectMap& collections = FModel.AttListDecls();
  for (int i = 0; i < collections.Count() && go; ++i) {
    auto* collection = static_cast<TDtdAttDeclCollection*>(collections.Item(i));
    const TDtdElementDecl* element = FModel.FindElementDecl(collection->GetName());
    bool seenId = false;
    bool seenNotation = false;
    for (int j = 0; j < collection->Count() && go; ++j) {
      TDtdAttributeDecl* decl = collection->Item(j);
      CheckAttributeDecl(*decl, valid, go);
      if (!go) {
        return;
      }
      if (decl->AttrType() == atId) {
        if (seenId) {
          Report(ekSecondIdAttribute, decl, nullptr, decl->GetName(), valid, go,
                 collection->GetName());
        }
        seenId = true;
      } else if (decl->AttrType() == atNotation) {
        if (seenNotation) {
          Report(ekSecondNotationAttribute, decl, nullptr, decl->GetName(), valid, go,
                 collection->GetName());
        } else if (element && element->ContentType() == ctEmpty) {
          Report(ekNotationOnEmptyElement, decl, nullptr, decl->GetName(), valid, go,
                 collection->GetName());
        }
        seenNotation = true;
      }
    }
  }
}

void TDtdValidationAgent::ValidateNode(TDomNode* node, TDtdEntityTreatment entityTreatment,
                                       bool& go, bool& valid) {
  TBudgetScope scope(*this);
  for (TDomNode* n = node; n && go; n = NextInSubtree(n, node)) {
    FBudget->GrantNode();
    switch (n->nodeType()) {
    case nkElement: {
      auto* element = static_cast<TDomElement*>(n);
      CheckDeclaredAttributes(element, valid, go);
      if (go) {
        ValidateElementContent(element, entityTreatment, go, valid);
      }
      const TDomNodeVector& attributes = element->attributeItems();
      for (size_t i = 0; i < attributes.size() && go; ++i) {
        ValidateAttribute(static_cast<TDomAttr*>(attributes[i]), entityTreatment, go, valid);
      }
      break;
    }
    case nkAttribute:
      ValidateAttribute(static_cast<TDomAttr*>(n), entityTreatment, go, valid);
      break;
    case nkEntityReference:
      ValidateEntityReference(static_cast<TDomEntityReference*>(n), valid, go);
      break;
    default:
      break;
    }
  }
}

void TDtdValidationAgent::CheckDeclaredAttributes(TDomElement* element, bool& valid, bool& go) {
  const TDtdAttDeclCollection* collection = FModel.FindAttListDecl(element->nodeName());
  for (int i = 0; collection && i < collection->Count() && go; ++i) {
    CheckDeclaredAttribute(element, *collection->Item(i), valid, go);
  }
}

void TDtdValidationAgent::CheckDeclaredAttribute(TDomElement* element, TDtdAttributeDecl& decl,
                                                 bool& valid, bool& go) {
  TDomAttr* attr = element->getAttributeNode(decl.GetName());
  switch (decl.DefaultKind()) {
  case dfImplied:
    return;
  case dfRequired:
    if (!attr) {
      Report(ekRequiredAttributeMissing, &decl, element, decl.GetName(), valid, go,
             element->nodeName());
    }
    return;
  case dfValue:
  case dfFixed:
    break;
  }
  if (attr && decl.DefaultKind() == dfValue) {
    return;
  }
  WideString normalizedDefault;
  int kind = ekNone;
  NormalizeDefaultValue(&decl, normalizedDefault, kind);
  if (!IsWarning(kind)) {
    Report(kind, &decl, element, decl.DefaultValue(), valid, go);
    return;
  }
  if (!attr) {
    AddDefault(element, decl, normalizedDefault);
    return;
  }
  WideString value;
  int valueKind = ekNone;
  NormalizeAttributeValue(attr->nodeValue(), decl.AttrType(), valueKind, value);
  if (!IsWarning(valueKind) || value != normalizedDefault) {
    Report(ekFixedValueMismatch, &decl, attr, decl.GetName(), valid, go, normalizedDefault);
  }
}

void TDtdValidationAgent::ValidateAttribute(TDomAttr* attr, TDtdEntityTreatment entityTreatment,
                                            bool& go, bool& valid) {
  TDomElement* element = attr->ownerElement();
  const TDtdAttributeDecl* decl =
      element ? FModel.FindAttributeDecl(element->nodeName(), attr->nodeName()) : nullptr;
  const TDtdAttrType type = decl ? decl->AttrType() : atCData;
  WideString value;
  int kind = ekNone;
  NormalizeAttributeValue(attr->nodeValue(), type, kind, value);
  if (kind != ekNone && !Report(kind, const_cast<TDtdAttributeDecl*>(decl), attr,
                                attr->nodeValue(), valid, go)) {
    return;
  }
  if (!decl) {
    Report(ekUndeclaredAttribute, nullptr, attr, attr->nodeName(), valid, go,
           element ? std::u16string_view(element->nodeName()) : std::u16string_view());
    return;
  }
  auto* declared = const_cast<TDtdAttributeDecl*>(decl);
  if (decl->Origin() == orExternal && StandaloneRulesApply()) {
    if (!attr->specified()) {
      if (!Report(ekStandaloneDefault, declared, attr, attr->nodeName(), valid, go)) {
        return;
      }
    } else if (type != atCData && IsWarning(kind)) {
      // Changed by normalization: the type's normalization differs from CDATA's.
      WideString asCData;
      int cdataKind = ekNone;
      NormalizeAttributeValue(attr->nodeValue(), atCData, cdataKind, asCData);
      if (asCData != value &&
          !Report(ekStandaloneNormalization, declared, attr, attr->nodeName(), valid, go)) {
        return;
      }
    }
  }
  if (!IsWarning(kind)) {
    return;
  }
  if (entityTreatment == etReplace) {
    WideString literal = EscapedAttributeValue(value);
    if (literal != attr->nodeValue()) {
      attr->setNodeValue(literal);
    }
  }
  CheckAttributeType(attr, *decl, value, go, valid);
}

void TDtdValidationAgent::CheckAttributeType(TDomAttr* attr, const TDtdAttributeDecl& decl,
                                             const WideString& value, bool& go, bool& valid) {
  auto* declared = const_cast<TDtdAttributeDecl*>(&decl);
  const auto invalid = [&] { Report(ekInvalidAttributeValue, declared, attr, value, valid, go); };
  const auto unparsed = [&](std::u16string_view name) {
    if (go && !IsUnparsedEntity(name)) {
      Report(ekNotUnparsedEntity, declared, attr, name, valid, go);
    }
  };
  switch (decl.AttrType()) {
  case atCData:
    if (!conformsToChars(value)) {
      invalid();
    }
    return;
  case atNotation:
    if (!decl.Enumeration().empty() && !decl.HasEnumToken(value)) {
      invalid();
    }
    return;
  case atId:
    if (!conformsToName(value)) {
      invalid();
    } else if (!FIds.Add(value, attr->ownerElement())) {
      Report(ekDuplicateId, declared, attr, value, valid, go);
    }
    return;
  case atIdRef:
    if (!conformsToName(value)) {
      return invalid();
    }
    FIdRefs.emplace_back(value, attr);
    return;
  case atIdRefs:
    if (!conformsToNames(value)) {
      return invalid();
    }
    ForEachToken(value, [&](std::u16string_view token) { FIdRefs.emplace_back(token, attr); });
    return;
  case atEntity:
    if (!conformsToName(value)) {
      return invalid();
    }
    return unparsed(value);
  case atEntities:
    if (!conformsToNames(value)) {
      return invalid();
    }
    return ForEachToken(value, unparsed);
  case atNmToken:
    if (!conformsToNmtoken(value) ||
        (!decl.Enumeration().empty() && !decl.HasEnumToken(value))) {
      invalid();
    }
    return;
  case atNmTokens:
    if (!conformsToNmtokens(value)) {
      invalid();
    }
    return;
  }
}

void TDtdValidationAgent::HandleEntityChildren(TDomElement* element,
                                               TDtdEntityTreatment entityTreatment, bool& go,
                                               bool& valid) {
  std::vector<TDomEntityReference*> filled;
  for (TDomNode* child = element->firstChild(); child && go;) {
    TDomNode* next = child->nextSibling();
    if (child->nodeType() != nkEntityReference) {
      child = next;
      continue;
    }
    auto* ref = static_cast<TDomEntityReference*>(child);
    const WideString name = ref->nodeName();
    TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
    if (entityTreatment == etReplace) {
      const int kind = FillReference(ref);
      // A reference that failed stays, empty.
      const bool stayed = !IsWarning(kind);
      if (!stayed) {
        filled.push_back(ref);
      }
      if (kind != ekNone) {
        Report(kind, decl, stayed ? static_cast<TDomNode*>(ref) : element, name, valid, go);
      }
      if (stayed) {
        FReportedRefs.insert(ref);
      }
    } else if (!ref->hasChildNodes()) { // an enclosing reference may have filled it
      const int kind = FillReference(ref);
      if (kind != ekNone) {
        Report(kind, decl, ref, name, valid, go);
        FReportedRefs.insert(ref);
      }
    }
    child = next;
  }
  if (!filled.empty()) {
    ReplaceFilledReferences(element, filled);
    // Adjacent texts become one, in one pass: a removal per text would be quadratic.
    element->mergeChildTexts();
  }
}

void TDtdValidationAgent::ReplaceFilledReferences(
    TDomElement* element, const std::vector<TDomEntityReference*>& filled) {
  // The children as they will stand, and the references that give way. A splice per
  // reference would move every child behind it each time.
  std::vector<TDomNode*> children;
  size_t next = 0;
  for (TDomNode* child = element->firstChild(); child; child = child->nextSibling()) {
    if (next == filled.size() || child != filled[next]) {
      children.push_back(child); // a reference that failed stays, empty
      continue;
    }
    ++next;
    // The reference's content in document order, the references in it flattened too.
    std::vector<TDomNode*> resume;
    for (TDomNode* n = child->firstChild(); n || !resume.empty();) {
      if (!n) {
        n = resume.back();
        resume.pop_back();
      } else if (n->nodeType() == nkEntityReference) {
        resume.push_back(n->nextSibling());
        n = n->firstChild();
      } else {
        children.push_back(n);
        n = n->nextSibling();
      }
    }
    for (TDomNode* n = child; n; n = NextInSubtree(n, child)) {
      n->setReadOnly(false);
    }
  }
  while (TDomNode* last = element->lastChild()) {
    element->removeChild(last);
  }
  for (TDomNode* child : children) {
    element->appendChild(child);
  }
  // Only the emptied references of nested ones are left in them.
  for (TDomEntityReference* ref : filled) {
    ref->Free();
  }
}

void TDtdValidationAgent::MatchChildren(TDomElement* element, TDtdElementDecl& decl,
                                        const TDtdNameList& names, bool& go, bool& valid) {
  const TDtdContentModel* model = decl.ContentModel();
  if (!model) {
    // Its model could not be built: nothing can match it.
    Report(ekInvalidElementDecl, &decl, element, decl.GetName(), valid, go);
    return;
  }
  size_t index = 0;
  bool ambiguous = false;
  const bool matched = model->MatchRepeated(names, index, ambiguous);
  if (ambiguous) {
    Report(ekAmbiguousContentModel, &decl, element, element->nodeName(), valid, go);
  } else if (!matched || index != names.size()) {
    const WideString clue = index < names.size()
                                ? u"unexpected '" + WideString(names[index]) + u"'"
                                : WideString(u"more content expected");
    Report(ekContentMismatch, &decl, element, element->nodeName(), valid, go, clue);
  }
}

void TDtdValidationAgent::CheckContent(TDomElement* element, TDtdElementDecl& decl, bool& go,
                                       bool& valid) {
  const bool externalStandalone = decl.Origin() == orExternal && StandaloneRulesApply();
  TDtdNameList names;
  switch (decl.ContentType()) {
  case ctAny:
    return;
  case ctEmpty:
    for (TDomNode* child = element->firstChild(); child; child = child->nextSibling()) {
      if (child->nodeType() != nkText || !child->nodeValue().empty()) {
        Report(ekContentInEmptyElement, &decl, element, element->nodeName(), valid, go);
        return;
      }
    }
    return;
  case ctElementContent:
    for (TDomNode* n = element->firstChild(); n && go; n = NextInContent(n, element)) {
      switch (n->nodeType()) {
      case nkElement:
        names.push_back(n->nodeName());
        break;
      case nkText: {
        const auto* text = static_cast<const TDomText*>(n);
        if (!FDocument->isWhitespaceInElementContent(text)) {
          Report(ekTextInElementContent, &decl, n, element->nodeName(), valid, go);
        } else if (externalStandalone && !text->data().empty()) {
          Report(ekStandaloneWhitespace, &decl, n, element->nodeName(), valid, go);
        }
        break;
      }
      case nkCDATASection:
        Report(ekCDataInElementContent, &decl, n, element->nodeName(), valid, go);
        break;
      default:
        break;
      }
    }
    if (go) {
      MatchChildren(element, decl, names, go, valid);
    }
    return;
  case ctMixed:
    for (TDomNode* n = element->firstChild(); n; n = NextInContent(n, element)) {
      if (n->nodeType() == nkElement) {
        names.push_back(n->nodeName());
      }
    }
    if (decl.ContentModel() && decl.ContentModel()->SubModelCount() == 0) {
      if (!names.empty()) {
        Report(ekElementInPCDataContent, &decl, element, element->nodeName(), valid, go,
               names.front());
      }
      return;
    }
    MatchChildren(element, decl, names, go, valid);
    return;
  case ctStrictMixed:
    // Nothing declares it; an element declared so cannot be checked.
    Report(ekInvalidElementDecl, &decl, element, decl.GetName(), valid, go);
    return;
  }
}

void TDtdValidationAgent::ValidateElementContent(TDomElement* element,
                                                 TDtdEntityTreatment entityTreatment, bool& go,
                                                 bool& valid) {
  TDtdElementDecl* decl = FModel.FindElementDecl(element->nodeName());
  if (!decl && !Report(ekUndeclaredElement, nullptr, element, element->nodeName(), valid, go)) {
    return;
  }
  HandleEntityChildren(element, entityTreatment, go, valid);
  if (decl && go) {
    CheckContent(element, *decl, go, valid);
  }
}

void TDtdValidationAgent::ValidateEntityReference(TDomEntityReference* entityRef, bool& valid,
                                                  bool& go) {
  if (FReportedRefs.count(entityRef) != 0) {
    return;
  }
  const WideString& name = entityRef->nodeName();
  TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
  if (!decl) {
    Report(StandaloneRulesApply() ? ekUndeclaredEntityWf : ekUndeclaredEntity, nullptr, entityRef,
           name, valid, go);
    return;
  }
  const int kind = ResolveEntity(*decl);
  if (kind != ekNone && !Report(kind, decl, entityRef, name, valid, go)) {
    return;
  }
  if (!decl->CheckRecursion() && !Report(ekRecursiveEntity, decl, entityRef, name, valid, go)) {
    return;
  }
  if (decl->Origin() == orExternal && StandaloneRulesApply()) {
    Report(ekExternalEntityInStandalone, decl, entityRef, name, valid, go);
  }
}

} // namespace velmora
