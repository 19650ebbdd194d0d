#pragma once

#include "runtime/strings.h"

namespace velmora {

// The folder for per-user settings: $XDG_CONFIG_HOME, default ~/.config, on Linux; the
// roaming application data folder (%APPDATA%) on Windows.
NarrowString UserConfigFolder();

// Whether the current user may create files in folder.
bool IsFolderWritable(const NarrowString& folder);

} // namespace velmora
