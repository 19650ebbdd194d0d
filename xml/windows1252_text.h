#pragma once
// Text in the Windows-1252 code page, in which the address file is written; the code page
// is TWindows1252Codec's.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

// The byte of a code point in Windows-1252, or -1 when the code page lacks it.
int EncodeWindows1252Char(int32_t codePoint);

// Narrow text to Windows-1252 bytes; characters the code page lacks (and malformed UTF-8
// on Linux) become "?".
NarrowString EncodeWindows1252(std::string_view text);

// Windows-1252 bytes to narrow text (the five unassigned bytes stand for U+0081, U+008D,
// ...).
NarrowString DecodeWindows1252(std::string_view bytes);

} // namespace velmora
