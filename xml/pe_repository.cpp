#include "xml/pe_repository.h"

#include "dom/dom_exceptions.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"
#include "runtime/exceptions.h"
#include "xml/handlers.h"

namespace velmora {

namespace {

[[noreturn]] void RaiseInvalidCharacter() {
  throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
}

} // namespace

TDomPERepository::TDomPERepository(TXmlCustomReader* owner) : FOwner(owner) {
  if (!owner) {
    throw EAccessViolation("AOwner not specified.");
  }
}

TDomPERepository::~TDomPERepository() = default;

void TDomPERepository::LoadExternalPE(std::u16string_view baseUri, const WideString& publicId,
                                      int& kind, WideString& text, const WideString& systemId) {
  FOwner->ReadExternalEntity(baseUri, publicId, kind, text, systemId);
}

void TDomPERepository::Clear() {
  FEntities.clear();
}

int TDomPERepository::GetPE(std::u16string_view name, bool loadExternal,
                            TPEReplacement& replacement) {
  replacement = TPEReplacement();
  if (!conformsToName(name)) {
    return ekInvalidPEName;
  }
  const auto found = FEntities.find(name);
  if (found == FEntities.end()) {
    return ekUndeclaredPE;
  }
  TDomPEInfoObject& entity = *found->second;
  if (entity.FEntityKind == pekExternal) {
    if (!entity.FUpdateAttempted) {
      if (!loadExternal) {
        return ekResourceNotFound;
      }
      entity.FUpdateAttempted = true;
      try {
        LoadExternalPE(entity.FBaseUri, entity.FPublicId, entity.FUpdateError, entity.FValue,
                       entity.FSystemId);
      } catch (const ENot_Found_Err&) {
        // An implementation without a resource resolver finds nothing.
        entity.FUpdateError = ekResourceNotFound;
        entity.FValue.clear();
      }
    }
    if (SeverityOf(entity.FUpdateError) != svWarning) {
      return entity.FUpdateError;
    }
    replacement.IsExternal = true;
    replacement.PublicId = entity.FPublicId;
    if (!resolveUri(entity.FBaseUri, entity.FSystemId, replacement.SystemId)) {
      replacement.SystemId = entity.FSystemId;
    }
  }
  replacement.Value = entity.FValue;
  return entity.FEntityKind == pekExternal ? entity.FUpdateError : ekNone;
}

TDomPEInfoObject* TDomPERepository::Declare(std::u16string_view name, TDomPEKind kind) {
  if (!conformsToName(name)) {
    RaiseInvalidCharacter();
  }
  if (FEntities.find(name) != FEntities.end()) {
    return nullptr;
  }
  auto entity = std::make_unique<TDomPEInfoObject>(this, WideString(name), kind);
  TDomPEInfoObject* const result = entity.get();
  FEntities.emplace(result->FName, std::move(entity));
  return result;
}

bool TDomPERepository::AddInternalPE(std::u16string_view name, std::u16string_view value) {
  WideString resolved;
  try {
    resolved = resolveCharRefs(value);
  } catch (const EConvertError&) {
    RaiseInvalidCharacter();
  }
  TDomPEInfoObject* const entity = Declare(name, pekInternal);
  if (!entity) {
    return false;
  }
  entity->FValue = std::move(resolved);
  return true;
}

bool TDomPERepository::AddExternalPE(std::u16string_view name, std::u16string_view baseUri,
                                     std::u16string_view systemId, std::u16string_view publicId) {
  if (!conformsToSystemLiteralChars(systemId) || !conformsToPubidChars(publicId)) {
    RaiseInvalidCharacter();
  }
  TDomPEInfoObject* const entity = Declare(name, pekExternal);
  if (!entity) {
    return false;
  }
  entity->FBaseUri = baseUri;
  entity->FSystemId = systemId;
  entity->FPublicId = publicId;
  return true;
}

} // namespace velmora
