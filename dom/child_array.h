#pragma once
// The child list of a tree node: an array with room before its first entry, so that taking
// from or adding at either end costs O(1), whatever the length.
//
// Entries live in slots of one buffer; an entry's position is its slot minus the head.
// Slots stay put unless something before them is inserted or erased, and the array
// remembers the lowest slot from which recorded slots may be out of date, so that whoever
// records slots (the nodes, which know where they stand) renumbers once, when a slot is next
// asked for.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

#include "dom/node_pool.h"
#include "runtime/exceptions.h"

namespace velmora {

template <class T> class TChildArray {
public:
  TChildArray() = default;
  TChildArray(const TChildArray&) = delete;
  TChildArray& operator=(const TChildArray&) = delete;
  ~TChildArray() { ReleaseDomMemory(FBuffer, FCapacity * sizeof(T*)); }

  size_t size() const { return static_cast<size_t>(FEnd - FBegin); }
  bool empty() const { return FBegin == FEnd; }
  T* operator[](size_t position) const { return FBegin[position]; }
  T* front() const { return *FBegin; }
  T* back() const { return FEnd[-1]; }

  size_t headSlot() const { return static_cast<size_t>(FBegin - FBuffer); }
  size_t endSlot() const { return static_cast<size_t>(FEnd - FBuffer); }
  T* atSlot(size_t slot) const { return FBuffer[slot]; }

  // Recorded slots from here on may be wrong; below it they are right. Whenever entries
  // move, this drops to at most the lowest slot any of them was recorded at.
  size_t staleFrom() const { return FStaleFrom; }
  // Whoever records slots has brought them up to date.
  void markFresh() const { FStaleFrom = static_cast<uint32_t>(endSlot()); }

  // Each returns the slot the new entry took.
  size_t pushBack(T* item) {
    if (FEnd == FBuffer + FCapacity) {
      Reallocate(headSlot(), std::max<size_t>(2 * size(), 4));
    }
    *FEnd++ = item;
    const size_t slot = endSlot() - 1;
    if (FStaleFrom == slot) {
      ++FStaleFrom; // a new last entry is fresh when all before it are
    }
    return slot;
  }
  size_t insert(size_t position, T* item) {
    if (position == size()) {
      return pushBack(item);
    }
    if (position == 0) {
      if (FBegin == FBuffer) {
        // Room for as many entries again (amortised O(1) per insertion at the head); every
        // entry moves up.
        Reallocate(std::max(size(), kMinHeadRoom), size());
        FStaleFrom = 0;
      }
      *--FBegin = item;
      return headSlot();
    }
    if (FEnd == FBuffer + FCapacity) {
      Reallocate(headSlot(), std::max<size_t>(2 * size(), 4));
    }
    T** at = FBegin + position;
    std::move_backward(at, FEnd, FEnd + 1);
    *at = item;
    ++FEnd;
    Stale(static_cast<size_t>(at - FBuffer));
    return static_cast<size_t>(at - FBuffer);
  }

  void erase(size_t position) {
    if (position == 0) {
      ++FBegin;
      if (empty()) {
        clear();
      } else if (headSlot() > size() && headSlot() >= kMinHeadRoom) {
        // More room than entries at the head: give it back, paid for by the erasures that
        // made it; every entry moves down.
        std::move(FBegin, FEnd, FBuffer);
        FEnd = FBuffer + size();
        FBegin = FBuffer;
        FStaleFrom = 0;
      }
      return;
    }
    T** at = FBegin + position;
    std::move(at + 1, FEnd, at);
    --FEnd;
    Stale(static_cast<size_t>(at - FBuffer));
  }
  void popBack() {
    --FEnd;
    if (empty()) {
      clear();
    } else {
      FStaleFrom = std::min(FStaleFrom, static_cast<uint32_t>(endSlot()));
    }
  }
  // Erases every entry that gone accepts, keeping the order of the others: one pass.
  template <class TGone> void eraseIf(TGone gone) {
    T** first = std::find_if(FBegin, FEnd, gone);
    if (first == FEnd) {
      return;
    }
    Stale(static_cast<size_t>(first - FBuffer));
    FEnd = std::remove_if(first, FEnd, gone);
    if (empty()) {
      clear();
    }
  }
  void clear() {
    FBegin = FEnd = FBuffer;
    FStaleFrom = 0;
  }

private:
  static constexpr size_t kMinHeadRoom = 16;

  void Stale(size_t slot) {
    FStaleFrom = static_cast<uint32_t>(std::min({size_t{FStaleFrom}, slot, endSlot()}));
  }
  // A new buffer with head room before the entries and tail room after them.
  void Reallocate(size_t headRoom, size_t tailRoom) {
    const size_t count = size();
    const size_t capacity = headRoom + count + tailRoom;
    if (capacity > std::numeric_limits<uint32_t>::max()) {
      throw EListError("List capacity out of bounds");
    }
    T** buffer = static_cast<T**>(AllocateDomMemory(capacity * sizeof(T*)));
    std::copy(FBegin, FEnd, buffer + headRoom);
    ReleaseDomMemory(FBuffer, FCapacity * sizeof(T*));
    FBuffer = buffer;
    FBegin = FBuffer + headRoom;
    FEnd = FBegin + count;
    FCapacity = static_cast<uint32_t>(capacity);
  }

  T** FBuffer = nullptr;
  T** FBegin = nullptr;
  T** FEnd = nullptr;
  uint32_t FCapacity = 0;
  mutable uint32_t FStaleFrom = 0;
};

} // namespace velmora
