#include "xml/dtd_model.h"

#include "dom/dom_exceptions.h"

namespace velmora {

TDtdModel::TDtdModel() {
  Reset();
}

TDtdModel::~TDtdModel() {
  Clear();
}

void TDtdModel::FreeAll(TDtdNamedObjectMap& map) {
  for (int i = map.Count() - 1; i >= 0; --i) {
    delete map.Item(i);
  }
  map.Clear();
}

void TDtdModel::Clear() {
  FreeAll(FAttListDecls);
  FreeAll(FElementDecls);
  FreeAll(FEntityDecls);
  FreeAll(FNotationDecls);
  Changed();
}

void TDtdModel::Reset() {
  Clear();
  FDeclaringPredefined = true;
  struct TPredefined {
    const char16_t* Name;
    const char16_t* Value;
  };
  static constexpr TPredefined kPredefined[] = {
      {u"lt", u"&#60;"}, {u"gt", u">"}, {u"amp", u"&#38;"}, {u"apos", u"'"}, {u"quot", u"\""}};
  for (const TPredefined& entity : kPredefined) {
    TDtdEntityDecl* decl = nullptr;
    AddEntityDecl(entity.Name, entity.Value, decl, orPredefined, u"", u"", u"", u"");
  }
  FDeclaringPredefined = false;
  FHasIntSubsetPERefs = false;
  FPrepStatus = psUnprepared;
}

TDtdAttDeclCollection* TDtdModel::FindAttListDecl(std::u16string_view elementType) const {
  return static_cast<TDtdAttDeclCollection*>(FAttListDecls.Find(elementType));
}

TDtdAttributeDecl* TDtdModel::FindAttributeDecl(std::u16string_view elementType,
                                                std::u16string_view attrName) const {
  const TDtdAttDeclCollection* collection = FindAttListDecl(elementType);
  return collection ? collection->FindAttributeDecl(attrName) : nullptr;
}

TDtdElementDecl* TDtdModel::FindElementDecl(std::u16string_view name) const {
  return static_cast<TDtdElementDecl*>(FElementDecls.Find(name));
}

TDtdEntityDecl* TDtdModel::FindEntityDecl(std::u16string_view name) const {
  return static_cast<TDtdEntityDecl*>(FEntityDecls.Find(name));
}

TDtdNotationDecl* TDtdModel::FindNotationDecl(std::u16string_view name) const {
  return static_cast<TDtdNotationDecl*>(FNotationDecls.Find(name));
}

bool TDtdModel::RemoveAttributeDecl(std::u16string_view elementType,
                                    std::u16string_view attrName) {
  TDtdAttDeclCollection* collection = FindAttListDecl(elementType);
  if (!collection || !collection->RemoveAttributeDecl(attrName)) {
    return false;
  }
  if (collection->Count() == 0) {
    delete FAttListDecls.RemoveNamed(elementType);
  }
  Changed();
  return true;
}

bool TDtdModel::RemoveAndFree(TDtdNamedObjectMap& map, std::u16string_view name) {
  if (!map.Find(name)) {
    return false;
  }
  delete map.RemoveNamed(name);
  Changed();
  return true;
}

bool TDtdModel::RemoveElementDecl(std::u16string_view name) {
  return RemoveAndFree(FElementDecls, name);
}

bool TDtdModel::RemoveEntityDecl(std::u16string_view name) {
  const TDtdEntityDecl* decl = FindEntityDecl(name);
  if (decl && decl->Origin() == orPredefined) {
    return false;
  }
  return RemoveAndFree(FEntityDecls, name);
}

bool TDtdModel::RemoveNotationDecl(std::u16string_view name) {
  return RemoveAndFree(FNotationDecls, name);
}

bool TDtdModel::AddAttributeDecl(std::u16string_view elementType, std::u16string_view attrName,
                                 TDtdAttributeDecl*& decl, TDtdOrigin origin,
                                 TDtdDefaultKind defaultKind, TDtdAttrType attrType,
                                 const std::vector<WideString>& enumeration,
                                 std::u16string_view defaultValue) {
  TDtdAttDeclCollection* collection = FindAttListDecl(elementType);
  if (!collection) {
    auto created = std::make_unique<TDtdAttDeclCollection>(this, WideString(elementType));
    FAttListDecls.Add(created.get());
    collection = created.release();
  }
  const bool added = collection->AddAttributeDecl(attrName, defaultValue, decl, origin,
                                                  defaultKind, attrType, enumeration);
  Changed();
  return added;
}

bool TDtdModel::AddElementDecl(std::u16string_view name, TDtdContentType contentType,
                               TDtdElementDecl*& decl, TDtdOrigin origin) {
  decl = FindElementDecl(name);
  if (decl) {
    return false;
  }
  auto created = std::make_unique<TDtdElementDecl>(this, WideString(name), contentType, origin);
  FElementDecls.Add(created.get());
  decl = created.release();
  Changed();
  return true;
}

bool TDtdModel::AddEntityDecl(std::u16string_view name, std::u16string_view value,
                              TDtdEntityDecl*& decl, TDtdOrigin origin,
                              std::u16string_view baseUri, std::u16string_view notationName,
                              std::u16string_view systemId, std::u16string_view publicId) {
  if (origin == orPredefined && !FDeclaringPredefined) {
    throw ENot_Supported_Err("Setting of predefined entity declarations not supported.");
  }
  decl = FindEntityDecl(name);
  if (decl) {
    return false;
  }
  auto created = std::make_unique<TDtdEntityDecl>(this, WideString(name), value, origin,
                                                  WideString(baseUri), WideString(notationName),
                                                  WideString(systemId), WideString(publicId));
  FEntityDecls.Add(created.get());
  decl = created.release();
  Changed();
  return true;
}

bool TDtdModel::AddNotationDecl(std::u16string_view name, std::u16string_view publicId,
                                TDtdNotationDecl*& decl, TDtdOrigin origin,
                                std::u16string_view systemId) {
  decl = FindNotationDecl(name);
  if (decl) {
    return false;
  }
  auto created = std::make_unique<TDtdNotationDecl>(this, WideString(name), WideString(publicId),
                                                    WideString(systemId), origin);
  FNotationDecls.Add(created.get());
  decl = created.release();
  Changed();
  return true;
}

} // namespace velmora
