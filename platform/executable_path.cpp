#include "platform/executable_path.h"

#include <unistd.h>

#include <vector>

namespace velmora {

NarrowString ExecutablePath() {
  std::vector<char> buffer(1024);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) {
      return NarrowString();
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      return NarrowString(buffer.data(), static_cast<size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

} // namespace velmora
