#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/strings.h"
#include "tests/support/temp_folder.h"

// The file layer and the narrow encoding on Windows: error codes as the system gives them,
// drive paths, the ANSI code page.

namespace velmora {
namespace {

using testing::TTempFolder;

TEST(WindowsFiles, ErrorsAreTheSystemsCodes) {
  TTempFolder folder;
  NarrowString content = "stale";
  EXPECT_EQ(ReadFileContent(folder.File("missing"), content), kErrorFileNotFound);
  EXPECT_EQ(ReadFileContent(folder.File("no-folder\\missing"), content), kErrorPathNotFound);
  EXPECT_EQ(ReadFileContent(folder.Path(), content), kErrorAccessDenied);
  EXPECT_EQ(content, "");
  EXPECT_EQ(FileErrorCode(kErrorAccessDenied, "x"), kErrorAccessDenied);
  TFileDescriptor file;
  folder.WriteFile("data", "0123");
  ASSERT_EQ(OpenFile(folder.File("data"), faRead, file), 0);
  int64_t position = 0;
  EXPECT_EQ(SeekFile(file, -1, foBeginning, position), kErrorNegativeSeek);
}

TEST(WindowsFiles, PathsWithDrives) {
  const struct {
    const char* Path;
    const char* Dir;
    const char* Name;
  } cases[] = {
      {"C:\\a\\b.ini", "C:\\a", "b.ini"},
      {"C:\\b.ini", "C:\\", "b.ini"},
      {"C:b.ini", "C:", "b.ini"},
      {"a/b.ini", "a", "b.ini"},
      {"b.ini", "", "b.ini"},
      {"\\\\server\\share\\x", "\\\\server\\share", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFileDir(c.Path), c.Dir) << c.Path;
    EXPECT_EQ(ExtractFileName(c.Path), c.Name) << c.Path;
  }
  EXPECT_EQ(ChangeFileExt("C:\\x.y\\velmora.exe", ".INI"), "C:\\x.y\\velmora.INI");
  EXPECT_EQ(ChangeFileExt("C:\\x.y\\velmora", ".INI"), "C:\\x.y\\velmora.INI");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\"), "C:\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a"), "C:\\a\\");
  EXPECT_EQ(ExpandFileName("C:\\a\\.\\b\\..\\c.ini"), "C:\\a\\c.ini");
}

TEST(WindowsFiles, ForceDirectoriesCreatesEveryLevel) {
  TTempFolder folder;
  EXPECT_TRUE(ForceDirectories(folder.File("a\\b/c")));
  EXPECT_TRUE(DirectoryExists(folder.File("a\\b\\c")));
  folder.WriteFile("file", "x");
  EXPECT_FALSE(ForceDirectories(folder.File("file\\sub")));
  EXPECT_TRUE(FileExists(folder.File("file")));
  EXPECT_FALSE(FileExists(folder.File("a")));
}

TEST(WindowsNarrowStrings, AreTheAnsiCodePage) {
  EXPECT_EQ(WideToNarrow(u"J\u00F6rg \u20AC"), "J\xF6rg \x80");
  EXPECT_EQ(NarrowToWide("J\xF6rg \x80"), u"J\u00F6rg \u20AC");
  // Characters the code page lacks become "?", never a look-alike.
  EXPECT_EQ(WideToNarrow(u"\u0141ukasz \U0001F600"), "?ukasz ?");
}

} // namespace
} // namespace velmora
