#pragma once
// Page blocks made ready before they are needed. Fresh memory costs most when it is first
// written: the system finds and clears a page then, and on some virtual machines the host
// backs it only at that moment, which was over half the time of loading a 170 MB backup.
// Once a pool has grown past a few blocks, a thread of the reserve takes that cost on the
// other core: it allocates and writes the next blocks while the parser fills the current one.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

class TPageBlockReserve {
public:
  TPageBlockReserve();
  TPageBlockReserve(const TPageBlockReserve&) = delete;
  TPageBlockReserve& operator=(const TPageBlockReserve&) = delete;
  // Stops the thread and gives back the blocks not taken.
  ~TPageBlockReserve();

  // A zeroed block of kPageBlockSize bytes (platform/page_memory.h): a prepared one when
  // there is one, else a new one. Throws std::bad_alloc when the system has none.
  void* Take();

  // The blocks prepared and not yet taken.
  size_t ReadyCount() const;

  // Taking this many blocks starts the thread: a small document never pays for one.
  static constexpr size_t kStartAfter = 8;
  // The thread keeps this many blocks prepared; at most so much memory is held unused.
  static constexpr size_t kAhead = 4;

private:
  void StartThread();
  void Prepare() noexcept;

  mutable std::mutex FLock;
  std::condition_variable FWake;
  std::vector<void*> FReady; // room for kAhead from the start: keeping one cannot fail
  std::thread FThread;
  size_t FTaken = 0;
  bool FStopping = false;
};

} // namespace velmora
