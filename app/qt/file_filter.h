#pragma once
// Browse filters written as alternating descriptions and patterns separated by "|"
// ("Mobius Backup File (Mobius.lmc)|Mobius.lmc|All Files (*.*)|*.*"), turned into the
// filter list of a Qt file dialog ("Mobius Backup File (Mobius.lmc);;All Files (*)").
// "*.*" becomes "*" so that files without an extension show.

#include "runtime/strings.h"

namespace velmora {

NarrowString QtFileDialogFilter(std::string_view filter);

} // namespace velmora
