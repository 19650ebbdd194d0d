#include "platform/executable_path.h"

#include "runtime/files.h"

namespace velmora {

NarrowString ExecutablePath() {
  NarrowString path;
  return ReadSymbolicLink("/proc/self/exe", path) == 0 ? path : NarrowString();
}

} // namespace velmora
