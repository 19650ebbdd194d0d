#include "xpath/syntax_arena.h"

#include <algorithm>
#include <new>

namespace velmora {

namespace {

// The first block holds a typical expression's nodes; blocks double up to the largest.
constexpr size_t kFirstBlockSize = 4096;
constexpr size_t kLargestBlockSize = 1 << 20;

} // namespace

TDomXPathSyntaxArena::~TDomXPathSyntaxArena() {
  while (FNewest) {
    TBlock* previous = FNewest->Previous;
    ::operator delete(FNewest);
    FNewest = previous;
  }
}

void TDomXPathSyntaxArena::AddBlock(size_t minimumSize) {
  const size_t grown = FNewest ? std::min(FNewest->Size * 2, kLargestBlockSize) : kFirstBlockSize;
  const size_t size = std::max(grown, minimumSize);
  auto* block = static_cast<TBlock*>(::operator new(sizeof(TBlock) + size));
  block->Previous = FNewest;
  block->Size = size;
  FNewest = block;
  FCursor = Payload(block);
  FEnd = FCursor + size;
}

void TDomXPathSyntaxArena::Release() {
  if (!FNewest) {
    return;
  }
  while (TBlock* older = FNewest->Previous) {
    FNewest->Previous = older->Previous;
    ::operator delete(older);
  }
  FCursor = Payload(FNewest);
  FEnd = FCursor + FNewest->Size;
}

} // namespace velmora
