#pragma once
// The parameter entities declared while a DTD is read: their names, replacement texts or
// external identifiers. External texts are loaded through the owner reader on the first
// reference that may load them, and the outcome is kept for every later one.

#include <memory>
#include <unordered_map>

#include "runtime/strings.h"

namespace velmora {

class TXmlCustomReader;
class TDomPERepository;

enum TDomPEKind : uint8_t { pekExternal = 0, pekInternal = 1 };

class TDomPEInfoObject {
public:
  TDomPEInfoObject(TDomPERepository* ownerRepository, WideString name, TDomPEKind kind)
      : FName(std::move(name)), FEntityKind(kind), FOwnerRepository(ownerRepository) {}

  const WideString& BaseUri() const { return FBaseUri; }
  TDomPEKind EntityKind() const { return FEntityKind; }
  bool UpdateAttempted() const { return FUpdateAttempted; }
  int UpdateError() const { return FUpdateError; }
  const WideString& Value() const { return FValue; }
  const WideString& Name() const { return FName; }
  TDomPERepository* OwnerRepository() const { return FOwnerRepository; }
  const WideString& PublicId() const { return FPublicId; }
  const WideString& SystemId() const { return FSystemId; }

private:
  friend class TDomPERepository;

  WideString FBaseUri;
  WideString FName;
  TDomPEKind FEntityKind;
  bool FUpdateAttempted = false; // an external text was asked for
  int FUpdateError = 0;          // and this was the outcome
  WideString FValue;
  TDomPERepository* FOwnerRepository;
  WideString FPublicId;
  WideString FSystemId;
};

// What a lookup gives for a parameter entity that can be read.
struct TPEReplacement {
  // The replacement text; valid until the repository changes.
  std::u16string_view Value;
  WideString PublicId;
  // Resolved against the base URI of the declaration; empty for an internal entity.
  WideString SystemId;
  bool IsExternal = false;
};

class TDomPERepository {
public:
  // An owner of none raises EAccessViolation "AOwner not specified.".
  explicit TDomPERepository(TXmlCustomReader* owner);
  TDomPERepository(const TDomPERepository&) = delete;
  TDomPERepository& operator=(const TDomPERepository&) = delete;
  virtual ~TDomPERepository();

  // The text of an external entity, through the owner reader.
  virtual void LoadExternalPE(std::u16string_view baseUri, const WideString& publicId, int& kind,
                              WideString& text, const WideString& systemId);
  virtual void Clear();
  // ekInvalidPEName for a name that is no Name, ekUndeclaredPE, ekResourceNotFound for an
  // external entity while loadExternal is false, the kind of the (first) load of an
  // external one, or 0. replacement is filled when the kind is 0 or a warning.
  virtual int GetPE(std::u16string_view name, bool loadExternal, TPEReplacement& replacement);

  // False, and nothing changed, when name is already declared: the first declaration
  // wins. A name that is no Name, a value whose character references do not resolve, or
  // identifiers of the wrong characters raise EInvalid_Character_Err.
  bool AddInternalPE(std::u16string_view name, std::u16string_view value);
  bool AddExternalPE(std::u16string_view name, std::u16string_view baseUri,
                     std::u16string_view systemId, std::u16string_view publicId);

private:
  // The new entity's record, or none when the name is taken.
  TDomPEInfoObject* Declare(std::u16string_view name, TDomPEKind kind);

  TXmlCustomReader* FOwner;
  std::unordered_map<WideString, std::unique_ptr<TDomPEInfoObject>, TWideStringHash,
                     std::equal_to<>>
      FEntities;
};

} // namespace velmora
