#include "platform/version_record.h"

#include <gtest/gtest.h>

#include "platform/executable_path.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadWholeFile;
using testing::TTempFolder;

TEST(VersionRecord, TheRunningProgramCarriesItsVersion) {
  const auto version = ReadFileVersionRecord(ExecutablePath());
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->FileVersionMS, (0u << 16) | 2u);
  EXPECT_EQ(version->FileVersionLS, (1u << 16) | 19u);
}

TEST(VersionRecord, FilesWithoutAVersionResourceGiveNone) {
  TTempFolder folder;
  folder.WriteFile("text.txt", "not a program");
  folder.WriteFile("empty", "");
  // A program's header without the rest of it.
  folder.WriteFile("cut.exe", ReadWholeFile(ExecutablePath()).substr(0, 1024));
  for (const char* name : {"text.txt", "empty", "cut.exe", "missing.exe"}) {
    EXPECT_FALSE(ReadFileVersionRecord(folder.File(name)).has_value()) << name;
  }
  EXPECT_FALSE(ReadFileVersionRecord(folder.Path()).has_value());
}

} // namespace
} // namespace velmora
