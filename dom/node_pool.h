#pragma once
// The memory of DOM objects: a pool of blocks in size classes of 8 bytes, carved from large
// chunks and kept on free lists, so that building and freeing a million nodes costs no
// million calls of the general allocator. The DOM is used by one thread at a time; so is the
// pool.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace velmora {

class TCustomOwnedNode;
class TPageBlockReserve;

class TNodePool {
public:
  TNodePool();
  TNodePool(const TNodePool&) = delete;
  TNodePool& operator=(const TNodePool&) = delete;
  ~TNodePool();

  // size bytes, aligned for objects of at most kAlignment (the model's objects hold
  // pointers and integers, nothing wider): a node is rounded up to 8 bytes, not 16.
  void* Allocate(size_t size);
  // Memory of Allocate(size), to be used again.
  void Release(void* memory, size_t size) noexcept;

  // The bytes held in chunks, used or free.
  size_t ChunkBytes() const { return FChunks.size() * kChunkSize; }

  // The pool of the DOM's objects.
  static TNodePool& Shared();

  static constexpr size_t kAlignment = alignof(void*);

private:
  static constexpr size_t kGranule = kAlignment;
  static constexpr size_t kLargest = 512; // beyond, the general allocator
  static constexpr size_t kClasses = kLargest / kGranule;
  static constexpr size_t kChunkSize = size_t{2} * 1024 * 1024; // one page block

  struct TFreeBlock {
    TFreeBlock* Next;
  };

  static size_t ClassOf(size_t size) { return (size + kGranule - 1) / kGranule - 1; }
  void* Carve(size_t blockSize);

  TFreeBlock* FFree[kClasses] = {};
  std::vector<uint8_t*> FChunks;
  uint8_t* FCarve = nullptr; // the rest of the newest chunk
  uint8_t* FCarveEnd = nullptr;
  std::unique_ptr<TPageBlockReserve> FReserve; // made with the first chunk
};

// Memory for the objects of the model and their child arrays: from the shared pool, but
// under AddressSanitizer straight from the general allocator, which must see every block to
// find faults.
// gcc says so with __SANITIZE_ADDRESS__, clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(VELMORA_ADDRESS_SANITIZER)
inline void* AllocateDomMemory(size_t size) {
  return ::operator new(size);
}
inline void ReleaseDomMemory(void* memory, size_t) noexcept {
  ::operator delete(memory);
}
#else
inline void* AllocateDomMemory(size_t size) {
  return TNodePool::Shared().Allocate(size);
}
inline void ReleaseDomMemory(void* memory, size_t size) noexcept {
  TNodePool::Shared().Release(memory, size);
}
#endif

// For the model's small lists (an element's attributes): one from the pool costs a
// fraction of a general allocation, and rounds to 8 bytes.
template <class T> struct TDomPoolAllocator {
  using value_type = T;
  TDomPoolAllocator() = default;
  template <class U> TDomPoolAllocator(const TDomPoolAllocator<U>&) {}
  T* allocate(size_t count) { return static_cast<T*>(AllocateDomMemory(count * sizeof(T))); }
  void deallocate(T* memory, size_t count) noexcept { ReleaseDomMemory(memory, count * sizeof(T)); }
  template <class U> bool operator==(const TDomPoolAllocator<U>&) const { return true; }
};

// The lists node lists are views of.
using TDomNodeVector = std::vector<TCustomOwnedNode*, TDomPoolAllocator<TCustomOwnedNode*>>;

} // namespace velmora
