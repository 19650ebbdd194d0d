#pragma once
// The program's pictures, drawn rather than shipped as files.

#include <QIcon>

namespace velmora {

QIcon ApplicationIcon();
// 16 x 16 pictures of the two command buttons.
QIcon ImportIcon();
QIcon ExportIcon();
QIcon BrowseIcon();

} // namespace velmora
