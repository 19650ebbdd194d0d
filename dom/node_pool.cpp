#include "dom/node_pool.h"

#include "dom/page_block_reserve.h"
#include "platform/page_memory.h"

#include <new>

namespace velmora {

TNodePool::TNodePool() = default;

TNodePool::~TNodePool() {
  for (uint8_t* chunk : FChunks) {
    ReleasePageBlock(chunk);
  }
}

TNodePool& TNodePool::Shared() {
  static TNodePool* pool = new TNodePool; // lives as long as the objects in it
  return *pool;
}

void* TNodePool::Allocate(size_t size) {
  if (size == 0 || size > kLargest) {
    return ::operator new(size == 0 ? 1 : size);
  }
  const size_t index = ClassOf(size);
  if (TFreeBlock* block = FFree[index]) {
    FFree[index] = block->Next;
    return block;
  }
  return Carve((index + 1) * kGranule);
}

void TNodePool::Release(void* memory, size_t size) noexcept {
  if (!memory) {
    return;
  }
  if (size == 0 || size > kLargest) {
    ::operator delete(memory);
    return;
  }
  const size_t index = ClassOf(size);
  auto* block = static_cast<TFreeBlock*>(memory);
  block->Next = FFree[index];
  FFree[index] = block;
}

void* TNodePool::Carve(size_t blockSize) {
  if (static_cast<size_t>(FCarveEnd - FCarve) < blockSize) {
    // Straight from the system in large pages, so that a big tree does not fault in every
    // 4 KB of its nodes one by one; once the pool grows, the reserve prepares them ahead.
    static_assert(kChunkSize == kPageBlockSize);
    if (FChunks.size() == FChunks.capacity()) {
      // Before the block is taken, so that keeping it cannot fail; doubled, so that a big
      // tree's chunk list is not copied once per chunk.
      FChunks.reserve(2 * FChunks.size() + 16);
    }
    if (!FReserve) {
      FReserve = std::make_unique<TPageBlockReserve>();
    }
    auto* chunk = static_cast<uint8_t*>(FReserve->Take());
    FChunks.push_back(chunk);
    FCarve = chunk;
    FCarveEnd = chunk + kChunkSize;
  }
  void* block = FCarve;
  FCarve += blockSize;
  return block;
}

} // namespace velmora
