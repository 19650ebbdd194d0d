#pragma once
// The program's pictures, drawn rather than shipped as files.

#include <windows.h>

namespace velmora {

// The application's icon at size x size pixels (16 or 32).
HICON CreateApplicationIcon(int size);
// 16 x 16 pictures of the two command buttons: an arrow into a page, and out of one.
HICON CreateImportIcon();
HICON CreateExportIcon();

} // namespace velmora
