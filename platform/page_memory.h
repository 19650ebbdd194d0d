#pragma once
// Memory straight from the system for large, long-lived pools and buffers. The object model
// of a big document touches hundreds of megabytes once; served in the system's small pages,
// that is one page fault per 4 KB, a quarter of a whole load's time. Where the system offers
// large pages for ordinary memory (Linux's transparent huge pages), these calls ask for them.

#include <cstddef>

namespace velmora {

// The size and alignment of a page block.
constexpr size_t kPageBlockSize = size_t{2} * 1024 * 1024;

// A block of kPageBlockSize bytes, aligned at least to the system's page size, zeroed, its
// pages not made until they are first touched.
// Throws std::bad_alloc when the system has none.
void* AllocatePageBlock();
// Gives back a block of AllocatePageBlock.
void ReleasePageBlock(void* block) noexcept;

// Asks that the memory of [memory, memory + size), not yet touched, be backed by large
// pages where whole ones fit. Only a hint: nothing changes where the system has none.
void AdviseLargePages(void* memory, size_t size) noexcept;

} // namespace velmora
