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

  size_t size() const { return FEnd - FHead; }
  bool empty() const { return FHead == FEnd; }
  T* operator[](size_t position) const { return FBuffer[FHead + position]; }
  T* front() const { return FBuffer[FHead]; }
  T* back() const { return FBuffer[FEnd - 1]; }

  size_t headSlot() const { return FHead; }
  size_t endSlot() const { return FEnd; }
  T* atSlot(size_t slot) const { return FBuffer[slot]; }

  // Recorded slots from here on may be wrong; below it they are right. Whenever entries
  // move, this drops to at most the lowest slot any of them was recorded at.
  size_t staleFrom() const { return FStaleFrom; }
  // Whoever records slots has brought them up to date.
  void markFresh() const { FStaleFrom = FEnd; }

  // Each returns the slot the new entry took.
  size_t pushBack(T* item) {
    if (FEnd == FCapacity) {
      Reallocate(FHead, std::max<size_t>(2 * size(), 4));
    }
    const size_t slot = FEnd++;
    FBuffer[slot] = item;
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
      if (FHead == 0) {
        // Room for as many entries again (amortised O(1) per insertion at the head); every
        // entry moves up.
        Reallocate(std::max(size(), kMinHeadRoom), size());
        FStaleFrom = 0;
      }
      FBuffer[--FHead] = item;
      return FHead;
    }
    if (FEnd == FCapacity) {
      Reallocate(FHead, std::max<size_t>(2 * size(), 4));
    }
    const size_t at = FHead + position;
    std::move_backward(FBuffer + at, FBuffer + FEnd, FBuffer + FEnd + 1);
    FBuffer[at] = item;
    ++FEnd;
    Stale(at);
    return at;
  }

  void erase(size_t position) {
    if (position == 0) {
      ++FHead;
      if (empty()) {
        clear();
      } else if (FHead > size() && FHead >= kMinHeadRoom) {
        // More room than entries at the head: give it back, paid for by the erasures that
        // made it; every entry moves down.
        const uint32_t count = FEnd - FHead;
        std::move(FBuffer + FHead, FBuffer + FEnd, FBuffer);
        FHead = 0;
        FEnd = count;
        FStaleFrom = 0;
      }
      return;
    }
    const size_t at = FHead + position;
    std::move(FBuffer + at + 1, FBuffer + FEnd, FBuffer + at);
    --FEnd;
    Stale(at);
  }
  void popBack() {
    --FEnd;
    if (empty()) {
      clear();
    } else {
      FStaleFrom = std::min(FStaleFrom, FEnd);
    }
  }
  // Erases every entry that gone accepts, keeping the order of the others: one pass.
  template <class TGone> void eraseIf(TGone gone) {
    T** const end = FBuffer + FEnd;
    T** first = std::find_if(FBuffer + FHead, end, gone);
    if (first == end) {
      return;
    }
    Stale(static_cast<size_t>(first - FBuffer));
    FEnd = static_cast<uint32_t>(std::remove_if(first, end, gone) - FBuffer);
    if (empty()) {
      clear();
    }
  }
  void clear() {
    FHead = FEnd = 0;
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
    std::copy(FBuffer + FHead, FBuffer + FEnd, buffer + headRoom);
    ReleaseDomMemory(FBuffer, FCapacity * sizeof(T*));
    FBuffer = buffer;
    FHead = static_cast<uint32_t>(headRoom);
    FEnd = static_cast<uint32_t>(headRoom + count);
    FCapacity = static_cast<uint32_t>(capacity);
  }

  // Slots, not pointers: every node carries one such array.
  T** FBuffer = nullptr;
  uint32_t FHead = 0;
  uint32_t FEnd = 0;
  uint32_t FCapacity = 0;
  mutable uint32_t FStaleFrom = 0;
};

} // namespace velmora
