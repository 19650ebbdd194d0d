#pragma once
// Permission bits in tests: the superuser reads and writes every file whatever its bits, so
// a test that needs a file it may not read, or a folder it may not write, runs that part in
// a child process that has given up the superuser's rights. Linux only.

#include <functional>

#include "runtime/strings.h"

namespace velmora::testing {

// Runs body in a child process without the superuser's rights (as "nobody" when the tests
// run as root; as the current user otherwise). folder and everything in it then belong to
// that user. Failures that body records are printed by the child; the result is true when
// there were none and the child ended normally.
bool RunWithoutSuperuserRights(const NarrowString& folder, const std::function<void()>& body);

} // namespace velmora::testing
