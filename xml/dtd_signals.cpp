#include "xml/dtd_signals.h"

#include "dom/xml_rules.h"
#include "xml/element_cm_tokenizer.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

// The identifiers of a declaration: a system literal and public-identifier characters.
void TestExternalId(std::u16string_view publicId, std::u16string_view systemId,
                    TSignalFault& fault) {
  if (!conformsToSystemLiteralChars(systemId)) {
    fault.Set(ekInvalidSystemId, systemId);
  } else if (!conformsToPubidChars(publicId)) {
    fault.Set(ekInvalidPublicId, publicId);
  }
}

} // namespace

// The start of a subset.

void TXmlStartExtDtdSignal::TestWellformedness(TSignalFault& fault) const {
  if (!DeclaredEncoding.empty() && !conformsToEncName(DeclaredEncoding)) {
    fault.Set(ekInvalidEncodingName, DeclaredEncoding);
  } else if (!DeclaredVersion.empty() && !conformsToVersionNum(DeclaredVersion)) {
    fault.Set(ekInvalidVersion, DeclaredVersion);
  }
}

std::unique_ptr<TXmlSignal> TXmlStartExtDtdSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartExtDtdSignal>(*this, origin);
  clone->DeclaredEncoding = clone->Keep(DeclaredEncoding);
  clone->ActualEncoding = clone->Keep(ActualEncoding);
  clone->PublicId = clone->Keep(PublicId);
  clone->SystemId = clone->Keep(SystemId);
  clone->DeclaredVersion = clone->Keep(DeclaredVersion);
  return clone;
}

std::unique_ptr<TXmlSignal> TXmlStartIntDtdSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartIntDtdSignal>(*this, origin);
  clone->SystemId = clone->Keep(SystemId);
  clone->DeclaredStandalone = DeclaredStandalone;
  return clone;
}

// Element types and their attributes.

void TXmlElementTypeDeclarationSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(DeclName)) {
    fault.Set(ekInvalidElementDeclName, DeclName);
    return;
  }
  TestContentModel(ContentSpec, fault);
}

std::unique_ptr<TXmlSignal>
TXmlElementTypeDeclarationSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlElementTypeDeclarationSignal>(*this, origin);
  clone->ContentSpec = clone->Keep(ContentSpec);
  clone->DeclName = clone->Keep(DeclName);
  clone->InParameterEntity = InParameterEntity;
  return clone;
}

void TXmlAttributeDefinitionSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(AttrName)) {
    fault.Set(ekInvalidAttDefName, AttrName);
    return;
  }
  if (!conformsToName(ElemType)) {
    fault.Set(ekInvalidAttDefElementType, ElemType);
    return;
  }
  for (std::u16string_view token : EnumTokens) {
    if (AttrType == atNotation ? !conformsToName(token) : !conformsToNmtoken(token)) {
      fault.Set(AttrType == atNotation ? ekInvalidNotationToken : ekInvalidEnumToken, token);
      return;
    }
  }
  TestAttValueText(DefaultValue, fault);
}

std::unique_ptr<TXmlSignal>
TXmlAttributeDefinitionSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlAttributeDefinitionSignal>(*this, origin);
  clone->AttrName = clone->Keep(AttrName);
  clone->AttrType = AttrType;
  clone->DefaultKind = DefaultKind;
  clone->DefaultValue = clone->Keep(DefaultValue);
  clone->EnumTokens.reserve(EnumTokens.size());
  for (std::u16string_view token : EnumTokens) {
    clone->EnumTokens.push_back(clone->Keep(token));
  }
  clone->ElemType = clone->Keep(ElemType);
  clone->InParameterEntity = InParameterEntity;
  return clone;
}

// Entities and notations.

void TXmlEntityDeclarationSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(DeclName)) {
    fault.Set(ekInvalidEntityDeclName, DeclName);
  } else if (!ValueText.empty() && !conformsToEntityValueChars(ValueText)) {
    fault.Set(ekInvalidEntityValue, ValueText);
  } else if (!ValueText.empty() && (!PublicId.empty() || !SystemId.empty() || !NDataName.empty())) {
    fault.Set(ekEntityValueAndExternalId, DeclName);
  } else {
    TestExternalId(PublicId, SystemId, fault);
    if (fault.Kind == ekNone && !NDataName.empty() && !conformsToName(NDataName)) {
      fault.Set(ekInvalidNDataName, NDataName);
    }
  }
}

std::unique_ptr<TXmlSignal>
TXmlEntityDeclarationSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlEntityDeclarationSignal>(*this, origin);
  clone->DeclBaseUri = clone->Keep(DeclBaseUri);
  clone->ValueText = clone->Keep(ValueText);
  clone->PublicId = clone->Keep(PublicId);
  clone->NDataName = clone->Keep(NDataName);
  clone->DeclName = clone->Keep(DeclName);
  clone->SystemId = clone->Keep(SystemId);
  clone->InParameterEntity = InParameterEntity;
  return clone;
}

void TXmlParameterEntityDeclarationSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(DeclName)) {
    fault.Set(ekInvalidPEDeclName, DeclName);
  } else if (!ValueText.empty() && !conformsToEntityValueChars(ValueText)) {
    fault.Set(ekInvalidPEValue, ValueText);
  } else if (!ValueText.empty() && (!PublicId.empty() || !SystemId.empty())) {
    fault.Set(ekPEValueAndExternalId, DeclName);
  } else {
    TestExternalId(PublicId, SystemId, fault);
  }
}

std::unique_ptr<TXmlSignal>
TXmlParameterEntityDeclarationSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlParameterEntityDeclarationSignal>(*this, origin);
  clone->DeclBaseUri = clone->Keep(DeclBaseUri);
  clone->DeclName = clone->Keep(DeclName);
  clone->ValueText = clone->Keep(ValueText);
  clone->PublicId = clone->Keep(PublicId);
  clone->SystemId = clone->Keep(SystemId);
  return clone;
}

void TXmlNotationDeclarationSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(DeclName)) {
    fault.Set(ekInvalidNotationDeclName, DeclName);
    return;
  }
  TestExternalId(PublicId, SystemId, fault);
}

std::unique_ptr<TXmlSignal>
TXmlNotationDeclarationSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlNotationDeclarationSignal>(*this, origin);
  clone->DeclName = clone->Keep(DeclName);
  clone->PublicId = clone->Keep(PublicId);
  clone->SystemId = clone->Keep(SystemId);
  clone->InParameterEntity = InParameterEntity;
  return clone;
}

// Parameter-entity references.

void TXmlExternalPEReferenceSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(RefName)) {
    fault.Set(ekInvalidPEName, RefName);
  }
}

std::unique_ptr<TXmlSignal>
TXmlExternalPEReferenceSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlExternalPEReferenceSignal>(*this, origin);
  clone->RefName = clone->Keep(RefName);
  return clone;
}

std::unique_ptr<TXmlSignal>
TXmlPEReferenceFoundSignal::CloneSignal(TXmlCustomReader* origin) const {
  return std::make_unique<TXmlPEReferenceFoundSignal>(*this, origin);
}

} // namespace velmora
