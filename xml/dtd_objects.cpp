#include "xml/dtd_objects.h"

#include <algorithm>

#include "dom/dom_exceptions.h"
#include "runtime/exceptions.h"
#include "xml/dtd_model.h"

namespace velmora {

TDtdObject::TDtdObject(TDtdModel* ownerModel, WideString name, TDtdObjectType objectType)
    : FName(std::move(name)), FObjectType(objectType), FOwnerModel(ownerModel) {
  if (!ownerModel) {
    throw EAccessViolation("Owner DTD subset model not specified.");
  }
  FKey = ownerModel->NextKey();
}

TDtdObject* TDtdObjectList::Add(TDtdObject* object) {
  FItems.push_back(object);
  return object;
}

void TDtdObjectList::Delete(int index) {
  if (index >= 0 && index < Count()) {
    FItems.erase(FItems.begin() + index);
  }
}

int TDtdObjectList::IndexOf(const TDtdObject* object) const {
  const auto found = std::find(FItems.begin(), FItems.end(), object);
  return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
}

void TDtdObjectList::Insert(TDtdObject* object, TDtdObject* before) {
  const int at = before ? IndexOf(before) : -1;
  FItems.insert(at < 0 ? FItems.end() : FItems.begin() + at, object);
}

TDtdObject* TDtdObjectList::Remove(TDtdObject* object) {
  Delete(IndexOf(object));
  return object;
}

TDtdObject* TDtdObjectList::Item(int index) const {
  return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)] : nullptr;
}

TDtdObject* TDtdNamedObjectMap::RemoveNamed(std::u16string_view name) {
  const auto found = FIndex.find(name);
  if (found == FIndex.end()) {
    throw ENot_Found_Err(dom_messages::kNotFound);
  }
  TDtdObject* object = found->second;
  FIndex.erase(found);
  FItems.erase(std::find(FItems.begin(), FItems.end(), object));
  return object;
}

TDtdObject* TDtdNamedObjectMap::Add(TDtdObject* object) {
  TDtdObject* previous = Find(object->GetName());
  if (previous) {
    RemoveNamed(object->GetName());
  }
  FItems.push_back(object);
  FIndex.emplace(object->GetName(), object);
  return previous;
}

void TDtdNamedObjectMap::Clear() {
  FItems.clear();
  FIndex.clear();
}

TDtdObject* TDtdNamedObjectMap::Find(std::u16string_view name) const {
  const auto found = FIndex.find(name);
  return found == FIndex.end() ? nullptr : found->second;
}

TDtdObject* TDtdNamedObjectMap::Item(int index) const {
  return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)] : nullptr;
}

} // namespace velmora
