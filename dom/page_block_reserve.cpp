#include "dom/page_block_reserve.h"

#include "platform/page_memory.h"

#include <new>
#include <system_error>

namespace velmora {

namespace {

// Writes every page of a fresh block, with zero so that it stays a zeroed block.
void TouchPages(void* block) {
  constexpr size_t kSmallPage = 4096;
  auto* bytes = static_cast<volatile unsigned char*>(block);
  for (size_t offset = 0; offset < kPageBlockSize; offset += kSmallPage) {
    bytes[offset] = 0;
  }
}

} // namespace

TPageBlockReserve::TPageBlockReserve() {
  FReady.reserve(kAhead);
}

TPageBlockReserve::~TPageBlockReserve() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    FStopping = true;
  }
  FWake.notify_one();
  if (FThread.joinable()) {
    FThread.join();
  }
  for (void* block : FReady) {
    ReleasePageBlock(block);
  }
}

void* TPageBlockReserve::Take() {
  void* block = nullptr;
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (!FReady.empty()) {
      block = FReady.back();
      FReady.pop_back();
    }
    if (++FTaken == kStartAfter) {
      StartThread();
    }
  }
  FWake.notify_one();
  return block ? block : AllocatePageBlock();
}

size_t TPageBlockReserve::ReadyCount() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FReady.size();
}

void TPageBlockReserve::StartThread() {
  try {
    FThread = std::thread([this] { Prepare(); });
  } catch (const std::system_error&) {
    // No thread to be had: every block is made when it is taken, as without a reserve.
  }
}

void TPageBlockReserve::Prepare() noexcept {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FWake.wait(lock, [this] { return FStopping || FReady.size() < kAhead; });
    if (FStopping) {
      return;
    }
    lock.unlock();
    void* block = nullptr;
    try {
      block = AllocatePageBlock();
      TouchPages(block);
    } catch (const std::bad_alloc&) {
      // The system is short of memory: preparing more would only take it from the parser,
      // whose own requests now say so.
      return;
    }
    lock.lock();
    FReady.push_back(block);
  }
}

} // namespace velmora
