#pragma once
// velmora-convert: the window's conversion without a window, for scripts and batch use.
//
//   velmora-convert [--list] [--backup N] [--country-code CC] [-o FILE] [--force] BACKUP
//
// Exit codes: 0 success, 1 the conversion failed, 2 bad usage.

#include <iosfwd>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

// progress: show the window's two status texts as one updating line on err (a terminal).
// processEnds: the process ends right after, without freeing the loaded document (the
// system takes its memory back at once, far faster than freeing it node by node); the
// caller must then end it with std::_Exit, so that no leak check runs.
int RunConvertTool(const std::vector<NarrowString>& arguments, std::ostream& out, std::ostream& err,
                   bool progress, bool processEnds = false);

} // namespace velmora
