#pragma once

#include "runtime/strings.h"

namespace velmora {

// The full path of the running program's file ("" if the system does not tell).
NarrowString ExecutablePath();

} // namespace velmora
