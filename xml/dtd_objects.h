#pragma once
// The base of every object of a DTD model, and the two lists the model keeps them in: a
// plain ordered list, and an ordered list looked up by name (with a hash index beside it,
// so that a DTD of many declarations is searched in constant time).

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "runtime/strings.h"
#include "xml/dtd_types.h"

namespace velmora {

class TDtdModel;

class TDtdObject {
public:
  // An owner model of none raises EAccessViolation "Owner DTD subset model not specified.".
  TDtdObject(TDtdModel* ownerModel, WideString name, TDtdObjectType objectType);
  TDtdObject(const TDtdObject&) = delete;
  TDtdObject& operator=(const TDtdObject&) = delete;
  virtual ~TDtdObject() = default;

  virtual const WideString& GetName() const { return FName; }
  TDtdObjectType ObjectType() const { return FObjectType; }
  TDtdModel* OwnerModel() const { return FOwnerModel; }
  // Drawn from the model's counter: keys grow in the order of creation, the first is 1.
  uint64_t Key() const { return FKey; }

private:
  WideString FName;
  TDtdObjectType FObjectType;
  TDtdModel* FOwnerModel;
  uint64_t FKey;
};

// An ordered list of model objects; it owns nothing.
class TDtdObjectList {
public:
  TDtdObject* Add(TDtdObject* object);
  void Delete(int index);
  int IndexOf(const TDtdObject* object) const;
  // Before before; at the end when before is none.
  void Insert(TDtdObject* object, TDtdObject* before);
  int Count() const { return static_cast<int>(FItems.size()); }
  TDtdObject* Remove(TDtdObject* object);
  // None outside 0..Count-1.
  TDtdObject* Item(int index) const;
  void Clear() { FItems.clear(); }

private:
  std::vector<TDtdObject*> FItems;
};

// Model objects in the order they were added, found by name; it frees nothing. Names are
// unique: adding an object of a name already there takes the older one out.
class TDtdNamedObjectMap {
public:
  explicit TDtdNamedObjectMap(TDtdModel* ownerModel) : FOwnerModel(ownerModel) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  // The object taken out; ENot_Found_Err "Not found error." when there is none.
  TDtdObject* RemoveNamed(std::u16string_view name);
  // None, or the object of the same name that was taken out before object was appended.
  TDtdObject* Add(TDtdObject* object);
  void Clear();
  TDtdObject* Find(std::u16string_view name) const;
  TDtdObject* Item(int index) const;
  TDtdModel* OwnerModel() const { return FOwnerModel; }

private:
  TDtdModel* FOwnerModel;
  std::vector<TDtdObject*> FItems;
  // Views of the objects' own names.
  std::unordered_map<std::u16string_view, TDtdObject*> FIndex;
};

} // namespace velmora
