#pragma once
// Protects text inside scripts that the library would take for end tags: "</b>" written by
// a script's code becomes "<\/b>", so the library leaves it in the script.

#include <optional>
#include <string_view>

#include "runtime/strings.h"

namespace velmora {

// The text with every script rewritten, or nothing when no script needed it. Each "</"
// inside a script (up to the end tag that closes it) gets a backslash after "<"; a
// "</script" there gets two, and an already written "<\/script" a second one.
std::optional<NarrowString> ProtectScripts(std::string_view text);

} // namespace velmora
