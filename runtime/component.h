#pragma once
// The component base: a component may have an owner, which frees it; components it owns
// are freed with it, last to first. A component can ask to be told when another one is
// freed, and references published through TComponentRef are cleared automatically then.

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/intrusive_list.h"
#include "runtime/strings.h"

namespace velmora {

enum TOperation : uint8_t { opInsert = 0, opRemove = 1 };

class TComponent;

// A reference published by one component to another; see TComponent::SetReference.
class TComponentRefBase {
  friend class TComponent;

public:
  TComponentRefBase() = default;
  TComponentRefBase(const TComponentRefBase&) = delete;
  TComponentRefBase& operator=(const TComponentRefBase&) = delete;

protected:
  TComponent* FTarget = nullptr;
};

template <class T> class TComponentRef : public TComponentRefBase {
public:
  T* get() const { return static_cast<T*>(FTarget); }
  T* operator->() const { return get(); }
  explicit operator bool() const { return FTarget != nullptr; }
};

class TComponent : public TIntrusiveLink<TComponent> {
public:
  explicit TComponent(TComponent* owner = nullptr);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Runs BeforeDestruction, tells everyone who asked that this component goes, frees the
  // owned components (last to first), leaves the owner and releases the memory.
  void Free() noexcept;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FOwned.Count()); }
  // The owned component at index (in the order of adoption); EListError when out of range.
  TComponent* Components(int index) const;
  TComponent* FindComponent(std::string_view name) const;

  // Moves component under this owner (from its previous owner, if any).
  void InsertComponent(TComponent* component);
  // Releases component from this owner without freeing it.
  void RemoveComponent(TComponent* component);

  const NarrowString& Name() const { return FName; }
  void SetName(NarrowString name) { FName = std::move(name); }

  // From now on component is told (through its Notification) when this one is freed, and
  // the reverse; the link ends when either is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  virtual const char* ClassName() const { return "TComponent"; }

protected:
  // Only Free releases a component.
  virtual ~TComponent();

  // Runs first in Free, while the component and everything it owns are whole. Must not
  // throw.
  virtual void BeforeDestruction() noexcept {}

  // Called with opRemove when a component this one is linked to is freed (after the
  // published references to it have been cleared), and with opInsert when one is adopted.
  virtual void Notification(TComponent* component, TOperation operation);

  // Points slot at target and asks to be told when target is freed, so that slot can never
  // refer to a freed component.
  void SetReference(TComponentRefBase& slot, TComponent* target);

private:
  void ComponentFreed(TComponent* component);
  void AddNotifyLink(TComponent* component);
  void RemoveNotifyLink(TComponent* component);

  TComponent* FOwner = nullptr;
  TIntrusiveList<TComponent> FOwned;
  NarrowString FName;
  std::vector<TComponent*> FFreeNotifies;
  std::vector<TComponentRefBase*> FReferences;
};

// Frees a component through Free, for std::unique_ptr.
struct TComponentFree {
  void operator()(TComponent* component) const noexcept { component->Free(); }
};

// A component that belongs to whoever holds this pointer.
template <class T> using TOwned = std::unique_ptr<T, TComponentFree>;

template <class T, class... TArgs> TOwned<T> MakeOwned(TArgs&&... args) {
  return TOwned<T>(new T(std::forward<TArgs>(args)...));
}

} // namespace velmora
