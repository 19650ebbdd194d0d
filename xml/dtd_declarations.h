#pragma once
// The declarations of a DTD model: attribute-list collections and their attribute
// declarations, element type declarations with the content models they own, general
// entities and notations.

#include <functional>
#include <memory>
#include <unordered_set>

#include "xml/dtd_content_model.h"

namespace velmora {

class TDtdAttDeclCollection;

class TDtdAttributeDecl final : public TDtdObject {
public:
  // name must be an XML Name, else EInvalid_Character_Err "Invalid character error.".
  TDtdAttributeDecl(TDtdAttDeclCollection* ownerCollection, WideString name,
                    WideString defaultValue, TDtdOrigin origin, TDtdDefaultKind defaultKind,
                    TDtdAttrType attrType, std::vector<WideString> enumeration);

  TDtdAttrType AttrType() const { return FAttrType; }
  // As written in the declaration.
  const WideString& DefaultValue() const { return FDefaultValue; }
  TDtdDefaultKind DefaultKind() const { return FDefaultKind; }
  // The tokens of an enumerated or NOTATION type, empty otherwise.
  const std::vector<WideString>& Enumeration() const { return FEnumeration; }
  bool HasEnumToken(std::u16string_view token) const;
  TDtdOrigin Origin() const { return FOrigin; }
  TDtdAttDeclCollection* OwnerCollection() const { return FOwnerCollection; }

  // The default normalized once per state of the model (a document asks it of every
  // element of the type): valid while stamp matches.
  struct TNormalizedDefault {
    uint64_t Stamp = 0;
    int ErrorKind = 0;
    WideString Value;
  };
  TNormalizedDefault& NormalizedDefault() const { return FNormalizedDefault; }

private:
  TDtdAttrType FAttrType;
  WideString FDefaultValue;
  TDtdDefaultKind FDefaultKind;
  std::vector<WideString> FEnumeration;
  // Beside long enumerations, built on first use.
  mutable std::unique_ptr<std::unordered_set<std::u16string_view>> FEnumIndex;
  TDtdOrigin FOrigin;
  TDtdAttDeclCollection* FOwnerCollection;
  mutable TNormalizedDefault FNormalizedDefault;
};

// The attribute declarations of one element type, in declaration order; it owns them.
class TDtdAttDeclCollection final : public TDtdObject {
public:
  // elementType must be an XML Name, else "Invalid character error.".
  TDtdAttDeclCollection(TDtdModel* ownerModel, WideString elementType);
  ~TDtdAttDeclCollection() override;

  void Clear();
  TDtdAttributeDecl* FindAttributeDecl(std::u16string_view name) const;
  // Frees the declaration; false when there is none.
  bool RemoveAttributeDecl(std::u16string_view name);
  // False, with decl the existing declaration, when name is declared already (the first
  // declaration holds); else true with the new one.
  bool AddAttributeDecl(std::u16string_view name, std::u16string_view defaultValue,
                        TDtdAttributeDecl*& decl, TDtdOrigin origin, TDtdDefaultKind defaultKind,
                        TDtdAttrType attrType, const std::vector<WideString>& enumeration);
  int Count() const { return FDecls.Count(); }
  TDtdAttributeDecl* Item(int index) const {
    return static_cast<TDtdAttributeDecl*>(FDecls.Item(index));
  }

private:
  TDtdNamedObjectMap FDecls;
};

class TDtdElementDecl final : public TDtdObject {
public:
  // name must be an XML Name, else "Invalid character error.".
  TDtdElementDecl(TDtdModel* ownerModel, WideString name, TDtdContentType contentType,
                  TDtdOrigin origin);

  TDtdOrigin Origin() const { return FOrigin; }
  TDtdContentType ContentType() const { return FContentType; }
  // None for ANY and EMPTY; a choice or a sequence otherwise.
  TDtdContentModelKinds AllowedContentModelKinds() const;
  TDtdContentModel* ContentModel() const { return FContentModel; }

  // Frees every model created for the declaration; the content model becomes none.
  void ClearContentModels();
  TDtdContentModel* CreateContentModel(std::u16string_view name, TDtdContentModelKind kind);
  // Frees model with its sub-models (a model in use raises EInuse_Err "Content model in use
  // error.") and sets it to none.
  void FreeContentModel(TDtdContentModel*& model);
  // The previous model. A model of another declaration raises ENot_Supported_Err "Not
  // supported error: Wrong owner element declaration.", a kind outside the allowed ones
  // "Not supported error.", a model in use EInuse_Err.
  TDtdContentModel* SetContentModel(TDtdContentModel* model);
  size_t CreatedModelCount() const { return FCreatedModels.size(); }

private:
  TDtdOrigin FOrigin;
  TDtdContentType FContentType;
  TDtdContentModel* FContentModel = nullptr;
  std::vector<std::unique_ptr<TDtdContentModel>> FCreatedModels;
};

enum TDtdEntityCategory : uint8_t { ecInternal, ecExternal, ecPredefined };

// Loads an external entity's text: (origin, base URI, var kind, var text, system id,
// public id).
using TDtdEntityLoader =
    std::function<void(TDtdOrigin origin, std::u16string_view baseUri, int& errorKind,
                       WideString& text, const WideString& systemId, const WideString& publicId)>;

class TDtdEntityDecl final : public TDtdObject {
public:
  // name must be an XML Name, else "Invalid character error.". An internal entity takes
  // value as its replacement text, a predefined one as well (without looking into it); an
  // external one is unresolved until Resolve.
  TDtdEntityDecl(TDtdModel* ownerModel, WideString name, std::u16string_view value,
                 TDtdOrigin origin, WideString baseUri, WideString notationName,
                 WideString systemId, WideString publicId);

  const WideString& BaseUri() const { return FBaseUri; }
  // The names of the general entities the replacement text refers to, each once.
  const std::vector<WideString>& ReferencedEntities() const { return FReferencedEntities; }
  const WideString& NotationName() const { return FNotationName; }
  TDtdOrigin Origin() const { return FOrigin; }
  const WideString& PublicId() const { return FPublicId; }
  const WideString& ReplacementText() const { return FReplacementText; }
  const WideString& SystemId() const { return FSystemId; }
  bool Resolved() const { return FResolved; }
  TDtdEntityCategory Category() const;
  bool IsExternal() const { return Category() == ecExternal; }

  // No entity reachable through the references refers back to one on the way there, nor
  // to a name in visited. Iterative; CheckRecursion's answers are kept until the model
  // changes.
  bool IsRecursionFree(const std::vector<WideString>& visited) const;
  bool IsParsed() const { return FNotationName.empty(); }
  bool CheckRecursion() const;
  // For an external entity not yet resolved: ekUnparsedEntityReference for an unparsed one,
  // else the loader's kind (the text is taken when it is a warning or 0). 0 otherwise.
  int Resolve(const TDtdEntityLoader& loader);
  void SetReplacementText(std::u16string_view text);

private:
  friend class TDtdRecursionCheck;

  WideString FBaseUri;
  std::vector<WideString> FReferencedEntities;
  WideString FNotationName;
  TDtdOrigin FOrigin;
  WideString FPublicId;
  WideString FReplacementText;
  WideString FSystemId;
  bool FResolved = false;
  // CheckRecursion's answer and the model generation it holds for (0: none).
  mutable uint64_t FCheckedGeneration = 0;
  mutable bool FRecursionFree = false;
};

class TDtdNotationDecl final : public TDtdObject {
public:
  // A Name, public-identifier characters and system-literal characters, else "Invalid
  // character error.".
  TDtdNotationDecl(TDtdModel* ownerModel, WideString name, WideString publicId,
                   WideString systemId, TDtdOrigin origin);

  TDtdOrigin Origin() const { return FOrigin; }
  const WideString& PublicId() const { return FPublicId; }
  const WideString& SystemId() const { return FSystemId; }

private:
  TDtdOrigin FOrigin;
  WideString FPublicId;
  WideString FSystemId;
};

} // namespace velmora
