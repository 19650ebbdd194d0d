#include "platform/page_memory.h"

#include <windows.h>

#include <new>

namespace velmora {

// Windows hands out large pages only to accounts with the right to lock pages in memory, so
// the blocks come in ordinary pages.
void* AllocatePageBlock() {
  void* block = ::VirtualAlloc(nullptr, kPageBlockSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!block) {
    throw std::bad_alloc();
  }
  return block;
}

void ReleasePageBlock(void* block) noexcept {
  if (block) {
    ::VirtualFree(block, 0, MEM_RELEASE);
  }
}

void AdviseLargePages(void*, size_t) noexcept {}

} // namespace velmora
