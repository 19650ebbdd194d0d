#pragma once
// Browse filters written as alternating descriptions and patterns separated by "|"
// ("Mobius Backup File (Mobius.lmc)|Mobius.lmc|All Files (*.*)|*.*"), turned into the
// filter list of a Qt file dialog ("Mobius Backup File (Mobius.lmc);;All Files (*)").
// "*.*" becomes "*" so that files without an extension show.

#include "runtime/strings.h"

namespace velmora {

NarrowString QtFileDialogFilter(std::string_view filter);

// A path as the field shows it: enclosed in double quotes when it contains a blank.
NarrowString QuotedFileNameForField(const NarrowString& path);

} // namespace velmora
