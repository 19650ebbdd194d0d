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
  ~TChildArray() {
    if (FBlock) {
      ReleaseDomMemory(FBlock, BlockBytes(FBlock->Capacity));
    }
  }

  size_t size() const { return FBlock ? FBlock->End - FBlock->Head : 0; }
  bool empty() const { return !FBlock || FBlock->Head == FBlock->End; }
  T* operator[](size_t position) const { return Slots()[FBlock->Head + position]; }
  T* front() const { return Slots()[FBlock->Head]; }
  T* back() const { return Slots()[FBlock->End - 1]; }

  size_t headSlot() const { return FBlock ? FBlock->Head : 0; }
  size_t endSlot() const { return FBlock ? FBlock->End : 0; }
  T* atSlot(size_t slot) const { return Slots()[slot]; }

  // Recorded slots from here on may be wrong; below it they are right. Whenever entries
  // move, this drops to at most the lowest slot any of them was recorded at.
  size_t staleFrom() const { return FBlock ? FBlock->StaleFrom : 0; }
  // Whoever records slots has brought them up to date.
  void markFresh() const {
    if (FBlock) {
      FBlock->StaleFrom = FBlock->End;
    }
  }

  // Each returns the slot the new entry took.
  size_t pushBack(T* item) {
    if (!FBlock || FBlock->End == FBlock->Capacity) {
      // Room for one child at first: most elements of a document hold just their text.
      Reallocate(headSlot(), FBlock ? std::max<size_t>(2 * size(), 4) : 1);
    }
    THeader& header = *FBlock;
    const size_t slot = header.End++;
    Slots()[slot] = item;
    if (header.StaleFrom == slot) {
      ++header.StaleFrom; // a new last entry is fresh when all before it are
    }
    return slot;
  }
  size_t insert(size_t position, T* item) {
    if (position == size()) {
      return pushBack(item);
    }
    if (position == 0) {
      if (FBlock->Head == 0) {
        // Room for as many entries again (amortised O(1) per insertion at the head); every
        // entry moves up.
        Reallocate(std::max(size(), kMinHeadRoom), size());
        FBlock->StaleFrom = 0;
      }
      Slots()[--FBlock->Head] = item;
      return FBlock->Head;
    }
    if (FBlock->End == FBlock->Capacity) {
      Reallocate(FBlock->Head, std::max<size_t>(2 * size(), 4));
    }
    T** const slots = Slots();
    const size_t at = FBlock->Head + position;
    std::move_backward(slots + at, slots + FBlock->End, slots + FBlock->End + 1);
    slots[at] = item;
    ++FBlock->End;
    Stale(at);
    return at;
  }

  void erase(size_t position) {
    THeader& header = *FBlock;
    T** const slots = Slots();
    if (position == 0) {
      ++header.Head;
      if (empty()) {
        clear();
      } else if (header.Head > size() && header.Head >= kMinHeadRoom) {
        // More room than entries at the head: give it back, paid for by the erasures that
        // made it; every entry moves down.
        const uint32_t count = header.End - header.Head;
        std::move(slots + header.Head, slots + header.End, slots);
        header.Head = 0;
        header.End = count;
        header.StaleFrom = 0;
      }
      return;
    }
    const size_t at = header.Head + position;
    std::move(slots + at + 1, slots + header.End, slots + at);
    --header.End;
    Stale(at);
  }
  void popBack() {
    --FBlock->End;
    if (empty()) {
      clear();
    } else {
      FBlock->StaleFrom = std::min(FBlock->StaleFrom, FBlock->End);
    }
  }
  // Erases every entry that gone accepts, keeping the order of the others: one pass.
  template <class TGone> void eraseIf(TGone gone) {
    if (empty()) {
      return;
    }
    T** const slots = Slots();
    T** const end = slots + FBlock->End;
    T** first = std::find_if(slots + FBlock->Head, end, gone);
    if (first == end) {
      return;
    }
    Stale(static_cast<size_t>(first - slots));
    FBlock->End = static_cast<uint32_t>(std::remove_if(first, end, gone) - slots);
    if (empty()) {
      clear();
    }
  }
  void clear() {
    if (FBlock) {
      FBlock->Head = FBlock->End = 0;
      FBlock->StaleFrom = 0;
    }
  }

private:
  static constexpr size_t kMinHeadRoom = 16;

  // The counts sit in front of the slots, in the same block: a node without children
  // carries one null pointer, not the counts.
  struct THeader {
    uint32_t Head;
    uint32_t End;
    uint32_t Capacity;
    uint32_t StaleFrom;
  };
  static size_t BlockBytes(size_t capacity) { return sizeof(THeader) + capacity * sizeof(T*); }
  T** Slots() const { return reinterpret_cast<T**>(FBlock + 1); }

  void Stale(size_t slot) {
    FBlock->StaleFrom =
        static_cast<uint32_t>(std::min({size_t{FBlock->StaleFrom}, slot, endSlot()}));
  }
  // A new block with head room before the entries and tail room after them.
  void Reallocate(size_t headRoom, size_t tailRoom) {
    const size_t count = size();
    const size_t capacity = headRoom + count + tailRoom;
    if (capacity > std::numeric_limits<uint32_t>::max()) {
      throw EListError("List capacity out of bounds");
    }
    auto* block = static_cast<THeader*>(AllocateDomMemory(BlockBytes(capacity)));
    block->Head = static_cast<uint32_t>(headRoom);
    block->End = static_cast<uint32_t>(headRoom + count);
    block->Capacity = static_cast<uint32_t>(capacity);
    block->StaleFrom = 0;
    if (FBlock) {
      std::copy(Slots() + FBlock->Head, Slots() + FBlock->End,
                reinterpret_cast<T**>(block + 1) + headRoom);
      block->StaleFrom = FBlock->StaleFrom;
      ReleaseDomMemory(FBlock, BlockBytes(FBlock->Capacity));
    }
    FBlock = block;
  }

  // One pointer: every node carries one such array, most of them empty.
  THeader* FBlock = nullptr;
};

} // namespace velmora
