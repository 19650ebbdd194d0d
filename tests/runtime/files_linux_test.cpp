#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "runtime/text_file.h"
#include "tests/support/temp_folder.h"

// The file layer on Linux: errno values and their mapping, POSIX paths, devices.

namespace velmora {
namespace {

using testing::TTempFolder;

TEST(FileErrors, MapErrnoToPlatformCodes) {
  TTempFolder folder;
  EXPECT_EQ(FileErrorCode(ENOENT, folder.File("missing")), kErrorFileNotFound);
  EXPECT_EQ(FileErrorCode(ENOENT, folder.File("no-folder/missing")), kErrorPathNotFound);
  EXPECT_EQ(FileErrorCode(ENOTDIR, "x"), kErrorPathNotFound);
  EXPECT_EQ(FileErrorCode(ENAMETOOLONG, "x"), kErrorPathNotFound);
  EXPECT_EQ(FileErrorCode(EMFILE, "x"), kErrorTooManyOpenFiles);
  EXPECT_EQ(FileErrorCode(EROFS, "x"), kErrorAccessDenied);
  EXPECT_EQ(FileErrorCode(EACCES, "x"), kErrorAccessDenied);
  EXPECT_EQ(FileErrorCode(EISDIR, "x"), kErrorAccessDenied);
  EXPECT_EQ(FileErrorCode(ENOSPC, "x"), kErrorDiskFull);
  EXPECT_EQ(FileErrorCode(EDQUOT, "x"), kErrorDiskFull);
  EXPECT_EQ(FileErrorCode(EIO, "x"), kErrorDeviceIo);
}

TEST(FileContent, ReadsWholeFilesAndReportsEveryFailure) {
  TTempFolder folder;
  const NarrowString big(200000, 'x'); // more than one buffer
  folder.WriteFile("big", big);
  NarrowString content = "stale";
  EXPECT_EQ(ReadFileContent(folder.File("big"), content), 0);
  EXPECT_EQ(content, big);
  EXPECT_EQ(ReadFileContent(folder.File("missing"), content), ENOENT);
  EXPECT_EQ(ReadFileContent(folder.Path(), content), EISDIR);
  // Linux: this file opens, but reading it at offset 0 fails. A failed read is a failure,
  // not an empty file.
  if (::access("/proc/self/mem", R_OK) == 0) {
    EXPECT_EQ(ReadFileContent("/proc/self/mem", content), EIO);
    EXPECT_EQ(content, "");
  }
}

TEST(FileNames, ExpandAgainstTheCurrentFolder) {
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/.."), "/");
  EXPECT_EQ(ExpandFileName("x.lmc"), NarrowString(cwd == NarrowString("/") ? "" : cwd) + "/x.lmc");
  EXPECT_EQ(ExtractFileDir("/a/b.ini"), "/a");
  EXPECT_EQ(ExtractFileDir("/b.ini"), "/");
  EXPECT_EQ(ExtractFileDir("b.ini"), "");
}

TEST(TextFile, FullDiskFailsOnFlushAndOnClose) {
  if (::access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "/dev/full is not available";
  }
  {
    TTextFile file("/dev/full");
    file.WriteLine("line"); // still in the buffer
    try {
      file.Close();
      FAIL() << "a failed close reported success";
    } catch (const EInOutError& error) {
      EXPECT_EQ(error.ErrorCode(), 101);
      EXPECT_STREQ(error.what(), "Zu wenig Speicherplatz");
    }
  }
  TTextFile file("/dev/full");
  file.Write("x");
  EXPECT_THROW(file.Flush(), EInOutError);
}

} // namespace
} // namespace velmora
