#pragma once
// The window's dialogs: the question box with the buttons "OK" and "Abbrechen" (a dialog of
// its own, since the system's message boxes label their buttons in the system's language)
// and the file-open dialog of a file-name field.

#include <windows.h>

#include "runtime/strings.h"

namespace velmora {

// A modal question with a warning icon; true only for "OK".
bool AskOkCancel(HWND owner, HFONT font, const NarrowString& title, const NarrowString& text);

// The file-open dialog with filter (description|pattern pairs), preset to the folder and
// name of path; the read-only option is hidden and only existing files are accepted. True
// and the chosen path when the user confirms.
bool BrowseForExistingFile(HWND owner, std::string_view filter, NarrowString& path);

} // namespace velmora
