#pragma once
// The DTD model: the declarations of a document's type declaration in object form
// (attribute-list collections, element types, general entities, notations), each kept in
// declaration order and found by name, together with how far the declarations were read.

#include "xml/dtd_declarations.h"

namespace velmora {

class TDtdModel {
public:
  // Created in the Reset state: the predefined entities only.
  TDtdModel();
  TDtdModel(const TDtdModel&) = delete;
  TDtdModel& operator=(const TDtdModel&) = delete;
  virtual ~TDtdModel();

  // Frees every declaration.
  virtual void Clear();
  virtual void SetPrepStatus(TDtdPrepStatus status) { FPrepStatus = status; }
  // Clear, then the predefined entities; no parameter-entity references; unprepared.
  virtual void Reset();

  TDtdAttDeclCollection* FindAttListDecl(std::u16string_view elementType) const;
  TDtdAttributeDecl* FindAttributeDecl(std::u16string_view elementType,
                                       std::u16string_view attrName) const;
  TDtdElementDecl* FindElementDecl(std::u16string_view name) const;
  TDtdEntityDecl* FindEntityDecl(std::u16string_view name) const;
  TDtdNotationDecl* FindNotationDecl(std::u16string_view name) const;

  // Each frees what it removes; false when there is nothing. A collection left empty
  // goes too; a predefined entity stays.
  bool RemoveAttributeDecl(std::u16string_view elementType, std::u16string_view attrName);
  bool RemoveElementDecl(std::u16string_view name);
  bool RemoveEntityDecl(std::u16string_view name);
  bool RemoveNotationDecl(std::u16string_view name);

  // Each: false with decl the existing declaration when the name is declared already
  // (the first declaration holds), else true with the new one. Names and identifiers of
  // the wrong characters raise EInvalid_Character_Err.
  bool AddAttributeDecl(std::u16string_view elementType, std::u16string_view attrName,
                        TDtdAttributeDecl*& decl, TDtdOrigin origin, TDtdDefaultKind defaultKind,
                        TDtdAttrType attrType, const std::vector<WideString>& enumeration,
                        std::u16string_view defaultValue);
  bool AddElementDecl(std::u16string_view name, TDtdContentType contentType,
                      TDtdElementDecl*& decl, TDtdOrigin origin);
  // Origin orPredefined raises ENot_Supported_Err "Setting of predefined entity
  // declarations not supported." (only Reset declares those).
  bool AddEntityDecl(std::u16string_view name, std::u16string_view value, TDtdEntityDecl*& decl,
                     TDtdOrigin origin, std::u16string_view baseUri,
                     std::u16string_view notationName, std::u16string_view systemId,
                     std::u16string_view publicId);
  bool AddNotationDecl(std::u16string_view name, std::u16string_view publicId,
                       TDtdNotationDecl*& decl, TDtdOrigin origin, std::u16string_view systemId);

  const TDtdNamedObjectMap& AttListDecls() const { return FAttListDecls; }
  const TDtdNamedObjectMap& ElementDecls() const { return FElementDecls; }
  const TDtdNamedObjectMap& EntityDecls() const { return FEntityDecls; }
  const TDtdNamedObjectMap& NotationDecls() const { return FNotationDecls; }

  const WideString& ExtSubsetSystemId() const { return FExtSubsetSystemId; }
  void SetExtSubsetSystemId(std::u16string_view id) { FExtSubsetSystemId = WideString(id); }
  const WideString& IntSubsetSystemId() const { return FIntSubsetSystemId; }
  void SetIntSubsetSystemId(std::u16string_view id) { FIntSubsetSystemId = WideString(id); }
  // A parameter-entity reference occurred in the internal subset.
  bool HasIntSubsetPERefs() const { return FHasIntSubsetPERefs; }
  void SetHasIntSubsetPERefs(bool value) { FHasIntSubsetPERefs = value; }
  TDtdPrepStatus PrepStatus() const { return FPrepStatus; }

  // The key of the next object created.
  uint64_t NextKey() { return ++FKeyCounter; }
  // Grows with every change of the declarations: what cached answers compare.
  uint64_t Generation() const { return FGeneration; }
  void Changed() { ++FGeneration; }

private:
  static void FreeAll(TDtdNamedObjectMap& map);
  bool RemoveAndFree(TDtdNamedObjectMap& map, std::u16string_view name);

  WideString FExtSubsetSystemId;
  WideString FIntSubsetSystemId;
  uint64_t FKeyCounter = 0;
  uint64_t FGeneration = 1;
  bool FHasIntSubsetPERefs = false;
  TDtdPrepStatus FPrepStatus = psUnprepared;
  bool FDeclaringPredefined = false;
  TDtdNamedObjectMap FAttListDecls{this};
  TDtdNamedObjectMap FElementDecls{this};
  TDtdNamedObjectMap FEntityDecls{this};
  TDtdNamedObjectMap FNotationDecls{this};
};

} // namespace velmora
