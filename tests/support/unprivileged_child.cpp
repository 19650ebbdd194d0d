#include "tests/support/unprivileged_child.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

namespace velmora::testing {

namespace {

constexpr uid_t kNobody = 65534;

bool GiveFolderTo(const NarrowString& folder, uid_t user) {
  bool given = ::lchown(folder.c_str(), user, user) == 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    given = ::lchown(entry.path().c_str(), user, user) == 0 && given;
  }
  return given && !error;
}

} // namespace

bool RunWithoutSuperuserRights(const NarrowString& folder, const std::function<void()>& body) {
  const bool superuser = ::geteuid() == 0;
  if (superuser && !GiveFolderTo(folder, kNobody)) {
    ADD_FAILURE() << "cannot hand " << folder << " to an unprivileged user";
    return false;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t child = ::fork();
  if (child < 0) {
    ADD_FAILURE() << "cannot start a child process";
    return false;
  }
  if (child == 0) {
    if (superuser &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      std::fprintf(stderr, "cannot give up the superuser's rights\n");
      ::_exit(2);
    }
    body();
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      ADD_FAILURE() << "lost the child process";
      return false;
    }
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace velmora::testing
