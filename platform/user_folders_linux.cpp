#include "platform/user_folders.h"

#include <unistd.h>

#include <cstdlib>

namespace velmora {

NarrowString UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config == '/') {
    return config;
  }
  const char* home = std::getenv("HOME");
  return NarrowString(home ? home : "") + "/.config";
}

bool IsFolderWritable(const NarrowString& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace velmora
