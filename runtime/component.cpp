#include "runtime/component.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace velmora {

TComponent::TComponent(TComponent* owner) {
  if (owner) {
    owner->InsertComponent(this);
  }
}

TComponent::~TComponent() = default;

void TComponent::Free() noexcept {
  BeforeDestruction();
  // Whoever is linked learns first, while this component is still whole.
  bool ownerTold = false;
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->RemoveNotifyLink(this);
    other->ComponentFreed(this);
    ownerTold = ownerTold || other == FOwner;
  }
  while (TComponent* last = FOwned.Last()) {
    last->Free();
  }
  if (TComponent* owner = FOwner) {
    owner->RemoveComponent(this);
    if (!ownerTold) {
      owner->ComponentFreed(this);
    }
  }
  delete this;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
  }
  TComponent* component = FOwned.First();
  for (int i = 0; i < index; ++i) {
    component = component->NextLinked();
  }
  return component;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c = FOwned.First(); c; c = c->NextLinked()) {
    if (!name.empty() && c->FName == name) {
      return c;
    }
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->FOwner == this) {
    return;
  }
  if (component->FOwner) {
    component->FOwner->RemoveComponent(component);
  }
  FOwned.PushBack(component);
  component->FOwner = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->FOwner != this) {
    return;
  }
  FOwned.Remove(component);
  component->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (component && component != this) {
    AddNotifyLink(component);
    component->AddNotifyLink(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component) {
    RemoveNotifyLink(component);
    component->RemoveNotifyLink(this);
  }
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::SetReference(TComponentRefBase& slot, TComponent* target) {
  if (std::find(FReferences.begin(), FReferences.end(), &slot) == FReferences.end()) {
    FReferences.push_back(&slot);
  }
  slot.FTarget = target;
  FreeNotification(target);
}

void TComponent::ComponentFreed(TComponent* component) {
  for (TComponentRefBase* slot : FReferences) {
    if (slot->FTarget == component) {
      slot->FTarget = nullptr;
    }
  }
  Notification(component, opRemove);
}

void TComponent::AddNotifyLink(TComponent* component) {
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
  }
}

void TComponent::RemoveNotifyLink(TComponent* component) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (it != FFreeNotifies.end()) {
    FFreeNotifies.erase(it);
  }
}

} // namespace velmora
