#pragma once
// An intrusive doubly linked list: what an owner uses to keep the objects it owns.
// Adopting and releasing are O(1); the owner frees from Last() backwards.

#include <cstddef>

namespace velmora {

// The links an item of a TIntrusiveList<T> carries; T derives from TIntrusiveLink<T>.
template <class T> class TIntrusiveLink {
  template <class> friend class TIntrusiveList;

public:
  T* NextLinked() const { return FNextLinked; }
  T* PrevLinked() const { return FPrevLinked; }

private:
  T* FPrevLinked = nullptr;
  T* FNextLinked = nullptr;
};

template <class T> class TIntrusiveList {
public:
  TIntrusiveList() = default;
  TIntrusiveList(const TIntrusiveList&) = delete;
  TIntrusiveList& operator=(const TIntrusiveList&) = delete;

  T* First() const { return FFirst; }
  T* Last() const { return FLast; }
  size_t Count() const { return FCount; }
  bool Empty() const { return FCount == 0; }

  void PushBack(T* item) {
    TIntrusiveLink<T>* link = item;
    link->FPrevLinked = FLast;
    link->FNextLinked = nullptr;
    if (FLast) {
      static_cast<TIntrusiveLink<T>*>(FLast)->FNextLinked = item;
    } else {
      FFirst = item;
    }
    FLast = item;
    ++FCount;
  }

  // item must be in this list.
  void Remove(T* item) {
    TIntrusiveLink<T>* link = item;
    if (link->FPrevLinked) {
      static_cast<TIntrusiveLink<T>*>(link->FPrevLinked)->FNextLinked = link->FNextLinked;
    } else {
      FFirst = link->FNextLinked;
    }
    if (link->FNextLinked) {
      static_cast<TIntrusiveLink<T>*>(link->FNextLinked)->FPrevLinked = link->FPrevLinked;
    } else {
      FLast = link->FPrevLinked;
    }
    link->FPrevLinked = nullptr;
    link->FNextLinked = nullptr;
    --FCount;
  }

private:
  T* FFirst = nullptr;
  T* FLast = nullptr;
  size_t FCount = 0;
};

} // namespace velmora
