#pragma once
// The storage of a syntax tree's nodes: memory handed out in order from blocks and given
// back all at once. A parse allocates once per block, not once per node, and a failed
// parse leaves nothing to free node by node.

#include <cstddef>
#include <cstdint>

namespace velmora {

class TDomXPathSyntaxArena {
public:
  TDomXPathSyntaxArena() = default;
  TDomXPathSyntaxArena(const TDomXPathSyntaxArena&) = delete;
  TDomXPathSyntaxArena& operator=(const TDomXPathSyntaxArena&) = delete;
  ~TDomXPathSyntaxArena();

  // size bytes aligned to alignment (a power of two up to alignof(std::max_align_t)).
  void* Allocate(size_t size, size_t alignment) {
    std::byte* start = Aligned(FCursor, alignment);
    if (!FCursor || start > FEnd || static_cast<size_t>(FEnd - start) < size) {
      AddBlock(size + alignment);
      start = Aligned(FCursor, alignment);
    }
    FCursor = start + size;
    return start;
  }
  // Gives back everything allocated; the newest block is kept for reuse.
  void Release();

private:
  struct TBlock {
    TBlock* Previous;
    size_t Size; // bytes after the header
  };

  void AddBlock(size_t minimumSize);
  static std::byte* Aligned(std::byte* p, size_t alignment) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(p);
    return reinterpret_cast<std::byte*>((address + alignment - 1) & ~(alignment - 1));
  }
  static std::byte* Payload(TBlock* block) { return reinterpret_cast<std::byte*>(block + 1); }

  TBlock* FNewest = nullptr;
  std::byte* FCursor = nullptr;
  std::byte* FEnd = nullptr;
};

} // namespace velmora
