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
    if (THeader* block = Block()) {
      ReleaseDomMemory(block, BlockBytes(block->Capacity));
    }
  }

  size_t size() const {
    if (IsSingle()) {
      return 1;
    }
    const THeader* block = Block();
    return block ? block->End - block->Head : 0;
  }
  bool empty() const { return size() == 0; }
  T* operator[](size_t position) const { return atSlot(headSlot() + position); }
  T* front() const { return atSlot(headSlot()); }
  T* back() const { return atSlot(endSlot() - 1); }

  size_t headSlot() const {
    const THeader* block = Block();
    return block ? block->Head : 0;
  }
  size_t endSlot() const {
    if (IsSingle()) {
      return 1;
    }
    const THeader* block = Block();
    return block ? block->End : 0;
  }
  T* atSlot(size_t slot) const { return IsSingle() ? Single() : Slots()[slot]; }

  // Recorded slots from here on may be wrong; below it they are right. Whenever entries
  // move, this drops to at most the lowest slot any of them was recorded at. A single
  // child stands at slot 0, where it was recorded.
  size_t staleFrom() const {
    if (IsSingle()) {
      return 1;
    }
    const THeader* block = Block();
    return block ? block->StaleFrom : 0;
  }
  // Whoever records slots has brought them up to date.
  void markFresh() const {
    if (THeader* block = Block()) {
      block->StaleFrom = block->End;
    }
  }

  // Each returns the slot the new entry took.
  size_t pushBack(T* item) {
    if (FWord == 0) {
      // Most elements of a document hold just their text: the only child needs no block.
      FWord = reinterpret_cast<uintptr_t>(item) | kSingleTag;
      return 0;
    }
    if (IsSingle() || Block()->End == Block()->Capacity) {
      Reallocate(headSlot(), std::max<size_t>(2 * size(), 4));
    }
    THeader& header = *Block();
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
      if (headSlot() == 0) {
        // Room for as many entries again (amortised O(1) per insertion at the head); every
        // entry moves up.
        Reallocate(std::max(size(), kMinHeadRoom), size());
        Block()->StaleFrom = 0;
      }
      THeader& header = *Block();
      Slots()[--header.Head] = item;
      return header.Head;
    }
    if (IsSingle() || Block()->End == Block()->Capacity) {
      Reallocate(headSlot(), std::max<size_t>(2 * size(), 4));
    }
    THeader& header = *Block();
    T** const slots = Slots();
    const size_t at = header.Head + position;
    std::move_backward(slots + at, slots + header.End, slots + header.End + 1);
    slots[at] = item;
    ++header.End;
    Stale(at);
    return at;
  }

  void erase(size_t position) {
    if (IsSingle()) {
      FWord = 0;
      return;
    }
    THeader& header = *BlockOf(FWord);
    T** const slots = SlotsOf(&header);
    if (position == 0) {
      ++header.Head;
      if (header.Head == header.End) {
        header.Head = header.End = header.StaleFrom = 0;
      } else if (header.Head > header.End - header.Head && header.Head >= kMinHeadRoom) {
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
    if (IsSingle()) {
      FWord = 0;
      return;
    }
    THeader& header = *BlockOf(FWord);
    --header.End;
    if (header.Head == header.End) {
      header.Head = header.End = header.StaleFrom = 0;
    } else {
      header.StaleFrom = std::min(header.StaleFrom, header.End);
    }
  }
  // Erases every entry that gone accepts, keeping the order of the others: one pass.
  template <class TGone> void eraseIf(TGone gone) {
    if (IsSingle()) {
      if (gone(Single())) {
        FWord = 0;
      }
      return;
    }
    if (empty()) {
      return;
    }
    THeader& header = *Block();
    T** const slots = Slots();
    T** const end = slots + header.End;
    T** first = std::find_if(slots + header.Head, end, gone);
    if (first == end) {
      return;
    }
    Stale(static_cast<size_t>(first - slots));
    header.End = static_cast<uint32_t>(std::remove_if(first, end, gone) - slots);
    if (empty()) {
      clear();
    }
  }
  void clear() {
    if (IsSingle()) {
      FWord = 0;
    } else if (THeader* block = Block()) {
      block->Head = block->End = 0;
      block->StaleFrom = 0;
    }
  }

private:
  static constexpr size_t kMinHeadRoom = 16;
  static constexpr uintptr_t kSingleTag = 1; // entries are aligned: their low bit is free

  // The counts sit in front of the slots, in the same block: a node without children
  // carries one null pointer, not the counts.
  struct THeader {
    uint32_t Head;
    uint32_t End;
    uint32_t Capacity;
    uint32_t StaleFrom;
  };
  static size_t BlockBytes(size_t capacity) { return sizeof(THeader) + capacity * sizeof(T*); }
  bool IsSingle() const { return (FWord & kSingleTag) != 0; }
  T* Single() const { return reinterpret_cast<T*>(FWord & ~kSingleTag); }
  THeader* Block() const { return IsSingle() ? nullptr : reinterpret_cast<THeader*>(FWord); }
  T** Slots() const { return SlotsOf(Block()); }
  // For a word known to hold a block.
  static THeader* BlockOf(uintptr_t word) { return reinterpret_cast<THeader*>(word); }
  static T** SlotsOf(THeader* block) { return reinterpret_cast<T**>(block + 1); }

  void Stale(size_t slot) {
    THeader& header = *BlockOf(FWord);
    header.StaleFrom =
        static_cast<uint32_t>(std::min({size_t{header.StaleFrom}, slot, size_t{header.End}}));
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
    T** const slots = reinterpret_cast<T**>(block + 1);
    if (IsSingle()) {
      slots[headRoom] = Single();
      // Where it stood is where it stands, unless head room moved it up.
      block->StaleFrom = headRoom == 0 ? block->End : 0;
    } else if (THeader* old = Block()) {
      std::copy(Slots() + old->Head, Slots() + old->End, slots + headRoom);
      block->StaleFrom = old->StaleFrom;
      ReleaseDomMemory(old, BlockBytes(old->Capacity));
    }
    FWord = reinterpret_cast<uintptr_t>(block);
  }

  // One word: null for no children (most nodes), the only child tagged by the low bit, or
  // the block.
  uintptr_t FWord = 0;
};

} // namespace velmora
