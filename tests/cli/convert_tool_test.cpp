#include "cli/convert_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "runtime/files.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {
namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun Convert(const std::vector<NarrowString>& arguments, bool progress = false) {
  std::ostringstream out, err;
  const int status = RunConvertTool(arguments, out, err, progress);
  return {status, out.str(), err.str()};
}

class ConvertToolTest : public ::testing::Test {
protected:
  ConvertToolTest()
      : FBackup(TestDataFile("../../examples/Mobius.lmc")), FOut(FFolder.File("BUCH.ADR")) {}

  TTempFolder FFolder;
  NarrowString FBackup;
  NarrowString FOut;
};

// The sample backup's last backup, as the reference converters write it.
TEST_F(ConvertToolTest, WritesTheAddressFileOfTheLastBackupByteForByte) {
  const TRun run = Convert({"-o", FOut, FBackup});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(ReadWholeFile(FOut), ReadWholeFile(TestDataFile("convert/Mobius.adr")));
}

TEST_F(ConvertToolTest, ListsTheBackupsAsTheWindowDoes) {
  const TRun run = Convert({"--list", FBackup});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "1\tNokia 6230i\t2026-01-01 12:00\n"
                     "2\tNokia 6230i\t2026-02-01 12:01\n"
                     "3\tNokia 6230i\t2026-03-01 12:02\n"
                     "4\tHandy Büro\t2026-01-02 12:00\n"
                     "5\tHandy Büro\t2026-02-02 12:01\n"
                     "6\tHandy Büro\t2026-03-02 12:02\n");
  EXPECT_FALSE(FileExists(FFolder.File("BUCH.ADR")));
}

TEST_F(ConvertToolTest, ChoosesTheBackupAndTheCountryCode) {
  FFolder.WriteFile("Mobius.lmc", "<Data><Folder name='D'>"
                                  "<Folder name='1'><Folder name='Contacts'><Contact><Name>A</Name>"
                                  "<Number>+1 555</Number></Contact></Folder></Folder>"
                                  "<Folder name='2'><Folder name='Contacts'/></Folder>"
                                  "</Folder></Data>");
  TRun run =
      Convert({"--backup", "1", "--country-code", "01", "-o", FOut, FFolder.File("Mobius.lmc")});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(ReadWholeFile(FOut), "1;entry;A;0 555;1;0;;;;0;;;;\r\n");

  run = Convert({"--backup", "3", "-o", FOut, "--force", FFolder.File("Mobius.lmc")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err,
            "velmora-convert: There is no backup 3: " + FFolder.File("Mobius.lmc") + " lists 2.\n");

  FFolder.WriteFile("None.lmc", "<Data><Folder name='D'><Folder name='1'/></Folder></Data>");
  run = Convert({"-o", FOut, "--force", FFolder.File("None.lmc")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err,
            "velmora-convert: No backup in " + FFolder.File("None.lmc") + " holds contacts.\n");
  EXPECT_EQ(ReadWholeFile(FOut), "1;entry;A;0 555;1;0;;;;0;;;;\r\n");
}

TEST_F(ConvertToolTest, OverwritesAnAddressFileOnlyWhenForced) {
  FFolder.WriteFile("BUCH.ADR", "kept");
  TRun run = Convert({"-o", FOut, FBackup});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "velmora-convert: Adressfile exists, overwrite? (--force overwrites it)\n");
  EXPECT_EQ(ReadWholeFile(FOut), "kept");
  run = Convert({"--force", "-o", FOut, FBackup});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(ReadWholeFile(FOut), ReadWholeFile(TestDataFile("convert/Mobius.adr")));
}

TEST_F(ConvertToolTest, FailuresBringTheWindowsMessages) {
  FFolder.WriteFile("bad.lmc", "no XML");
  TRun run = Convert({FFolder.File("bad.lmc")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "velmora-convert: Parser error.\n");
  run = Convert({FFolder.File("missing.lmc")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "velmora-convert: Datei " + FFolder.File("missing.lmc") +
                         " kann nicht geöffnet werden. Das System kann die angegebene Datei "
                         "nicht finden.\n");
  run = Convert({"-o", FFolder.File("no/folder/BUCH.ADR"), FBackup});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err, "");
  if (FileExists("/dev/full")) {
    run = Convert({"--force", "-o", "/dev/full", FBackup});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "velmora-convert: Zu wenig Speicherplatz.\n");
  }
}

TEST_F(ConvertToolTest, ShowsProgressAsOneLineOnlyWhenAsked) {
  EXPECT_EQ(Convert({"-o", FOut, FBackup}).Err, "");
  const TRun run = Convert({"--force", "-o", FOut, FBackup}, true);
  EXPECT_EQ(run.Status, 0);
  // The first status is drawn at once, and the line is cleared at the end.
  EXPECT_EQ(run.Err.rfind("\r\x1b[KNokia 6230i  2026-01-01 12:00", 0), 0u) << run.Err;
  EXPECT_EQ(run.Err.find('\n'), std::string::npos);
  EXPECT_TRUE(run.Err.ends_with("\r\x1b[K"));
}

TEST(ConvertTool, RefusesBadUsage) {
  const TRun help = Convert({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("usage: velmora-convert [--list]", 0), 0u);
  const std::vector<std::vector<NarrowString>> wrong = {
      {},
      {"--list"},
      {"a.lmc", "b.lmc"},
      {"--frobnicate", "a.lmc"},
      {"--backup", "0", "a.lmc"},
      {"--backup", "x", "a.lmc"},
      {"--country-code", "4 9", "a.lmc"},
      {"a.lmc", "-o"},
  };
  for (const std::vector<NarrowString>& arguments : wrong) {
    const TRun run = Convert(arguments);
    EXPECT_EQ(run.Status, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(run.Err.find("usage: velmora-convert"), std::string::npos);
  }
}

} // namespace
} // namespace velmora::testing
