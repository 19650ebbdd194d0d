#include "platform/page_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace velmora {

void* AllocatePageBlock() {
  // Twice the size, so that an aligned block lies inside; the rest goes back at once.
  const size_t span = 2 * kPageBlockSize;
  void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) {
    throw std::bad_alloc();
  }
  auto* begin = static_cast<uint8_t*>(mapped);
  const uintptr_t address = reinterpret_cast<uintptr_t>(begin);
  auto* block = begin + ((kPageBlockSize - address % kPageBlockSize) % kPageBlockSize);
  if (block > begin) {
    ::munmap(begin, static_cast<size_t>(block - begin));
  }
  uint8_t* blockEnd = block + kPageBlockSize;
  if (begin + span > blockEnd) {
    ::munmap(blockEnd, static_cast<size_t>(begin + span - blockEnd));
  }
  ::madvise(block, kPageBlockSize, MADV_HUGEPAGE);
  return block;
}

void ReleasePageBlock(void* block) noexcept {
  if (block) {
    ::munmap(block, kPageBlockSize);
  }
}

void AdviseLargePages(void* memory, size_t size) noexcept {
  // Only whole large pages can be backed by one; the parts outside them stay as they are.
  const uintptr_t begin = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t first = (begin + kPageBlockSize - 1) / kPageBlockSize * kPageBlockSize;
  const uintptr_t end = (begin + size) / kPageBlockSize * kPageBlockSize;
  if (memory && end > first) {
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
  }
}

} // namespace velmora
