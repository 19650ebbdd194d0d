#include "platform/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "tests/platform/ini_file_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged_child.h"

namespace velmora {
namespace {

using testing::TTempFolder;

// Symbolic links and permission bits: Linux only.
class IniFileLinuxTest : public testing::IniFileFixture {
protected:
  bool IsLink(const NarrowString& name) const {
    struct stat info;
    return ::lstat(FFolder.File(name).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }
  static void Link(const char* target, const NarrowString& link) {
    ASSERT_EQ(::symlink(target, link.c_str()), 0) << link;
  }
};

// The imitation keeps every other line as it was, and its line ends.
TEST_F(IniFileLinuxTest, WritingKeepsCommentsAndBlankLines) {
  FFolder.WriteFile("s.INI", "[a]b]\nX=1\n[B\nY=2\n[C] ; note\nZ=3\n");
  Write(" C ", "Z", "4");
  Write("  New", "K", "v");
  EXPECT_EQ(Content(), "[a]b]\nX=1\n[B\nY=2\n[C] ; note\nZ=4\n[New]\nK=v\n");
}

TEST_F(IniFileLinuxTest, WritingCreatesFileAndSectionAndKeepsOtherLines) {
  Write("TfrmMain", "A", "1");
  EXPECT_EQ(Content(), "[TfrmMain]\nA=1\n");
  Write("tfrmmain", "B", "2");
  Write("TfrmMain", "a", "3"); // replaced in place, in the caller's spelling
  Write("Other", "C", "4");
  EXPECT_EQ(Content(), "[TfrmMain]\na=3\nB=2\n[Other]\nC=4\n");
}

TEST_F(IniFileLinuxTest, NewKeyGoesAtTheEndOfItsSectionBeforeBlankLines) {
  FFolder.WriteFile("s.INI", "; keep me\r\n[First]\r\nX=1\r\n\r\n[Second]\r\nY=2\r\n");
  Write("First", "Z", "3");
  EXPECT_EQ(Content(), "; keep me\r\n[First]\r\nX=1\r\nZ=3\r\n\r\n[Second]\r\nY=2\r\n");
}

TEST_F(IniFileLinuxTest, UnreadableFileIsNeverReplaced) {
  const NarrowString kept = "[S]\nKeep=important\nOther=2\n";
  const NarrowString path = FFolder.File("s.INI");
  EXPECT_TRUE(testing::RunWithoutSuperuserRights(FFolder.Path(), [&] {
    FFolder.WriteFile("s.INI", kept);
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0); // may be written, not read
    EXPECT_EQ(Read("S", "Keep"), "<default>");
    try {
      Write("S", "New", "1");
      ADD_FAILURE() << "a write over an unreadable file reported success";
    } catch (const EIniFileException& error) {
      EXPECT_EQ(error.Message(), "In " + path + " kann nicht geschrieben werden");
    }
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(Content(), kept);
  }));
}

TEST_F(IniFileLinuxTest, WritesThroughSymbolicLinksUpdateTheTargetAndKeepTheLinks) {
  ASSERT_TRUE(ForceDirectories(FFolder.File("real")));
  FFolder.WriteFile("real/s.INI", "[S]\nK=1\n");
  Link("real/s.INI", FFolder.File("link.INI"));
  Link("link.INI", FFolder.File("chain.INI"));
  Link("real/new.INI", FFolder.File("dangling.INI"));
  Link("loop2.INI", FFolder.File("loop1.INI"));
  Link("loop1.INI", FFolder.File("loop2.INI"));

  TIniFile(FFolder.File("link.INI")).WriteString("S", "A", "2");
  TIniFile(FFolder.File("chain.INI")).WriteString("S", "B", "3");
  TIniFile(FFolder.File("dangling.INI")).WriteString("S", "C", "4");
  EXPECT_THROW(TIniFile(FFolder.File("loop1.INI")).WriteString("S", "D", "5"), EIniFileException);

  for (const char* link : {"link.INI", "chain.INI", "dangling.INI", "loop1.INI", "loop2.INI"}) {
    EXPECT_TRUE(IsLink(link)) << link;
  }
  EXPECT_EQ(FFolder.ReadFile("real/s.INI"), "[S]\nK=1\nA=2\nB=3\n");
  EXPECT_EQ(FFolder.ReadFile("real/new.INI"), "[S]\nC=4\n");
  EXPECT_EQ(TIniFile(FFolder.File("chain.INI")).ReadString("S", "B", ""), "3");
  // No temporary file is left beside the links or the targets.
  int entries = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FFolder.Path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 8); // real/, its two files, five links
}

} // namespace
} // namespace velmora
