#include "platform/executable_path.h"

#include <windows.h>

#include <vector>

namespace velmora {

NarrowString ExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  // A path that does not fit is cut to the buffer; grow until it fits.
  while (buffer.size() <= 32768) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return NarrowString();
    }
    if (length < buffer.size()) {
      return NarrowString(buffer.data(), length);
    }
    buffer.resize(buffer.size() * 2);
  }
  return NarrowString();
}

} // namespace velmora
