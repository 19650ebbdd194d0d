#include "platform/ini_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TTempFolder;

class IniFileTest : public ::testing::Test {
protected:
  NarrowString Read(std::string_view section, std::string_view key) {
    return TIniFile(FFolder.File("s.INI")).ReadString(section, key, "<default>");
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) {
    TIniFile(FFolder.File("s.INI")).WriteString(section, key, value);
  }
  NarrowString Content() { return FFolder.ReadFile("s.INI"); }

  TTempFolder FFolder;
};

TEST_F(IniFileTest, ReadingFollowsTheProfileRules) {
  FFolder.WriteFile("s.INI", "; comment line\r\n"
                             "[Other]\r\nKey=other\r\n"
                             "  [ TfrmMain ]  \r\n"
                             "  Key  =  value with blanks  \r\n"
                             "Quoted=\"  kept blanks \"\r\n"
                             "Single='x'\r\n"
                             "Mixed=\"x'\r\n"
                             "Twice=\"\"a\"\"\r\n"
                             "Empty=\r\n"
                             "Key=second wins not\r\n"
                             "no equals sign\r\n"
                             "[Last]\r\nTail=end");
  EXPECT_EQ(Read("tfrmmain", "KEY"), "value with blanks");
  EXPECT_EQ(Read("TfrmMain", "Quoted"), "  kept blanks ");
  EXPECT_EQ(Read("TfrmMain", "Single"), "x");
  EXPECT_EQ(Read("TfrmMain", "Mixed"), "\"x'");
  EXPECT_EQ(Read("TfrmMain", "Twice"), "\"a\"");
  EXPECT_EQ(Read("TfrmMain", "Empty"), "");
  EXPECT_EQ(Read("TfrmMain", "Tail"), "<default>");
  EXPECT_EQ(Read("Other", "Key"), "other");
  EXPECT_EQ(Read("Last", "Tail"), "end");
  EXPECT_EQ(Read("Missing", "Key"), "<default>");
  EXPECT_EQ(TIniFile(FFolder.File("none.INI")).ReadString("A", "B", "dflt"), "dflt");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  FFolder.WriteFile("s.INI", "[S]\nLong=" + NarrowString(3000, 'x') +
                                 "\nUmlauts=" + NarrowString(2046, 'x') + "ü\n");
  EXPECT_EQ(Read("S", "Long"), NarrowString(2047, 'x'));
  // A cut never splits a character.
  EXPECT_EQ(Read("S", "Umlauts"), NarrowString(2046, 'x'));
}

TEST_F(IniFileTest, WritingCreatesFileAndSectionAndKeepsOtherLines) {
  Write("TfrmMain", "A", "1");
  EXPECT_EQ(Content(), "[TfrmMain]\nA=1\n");
  Write("tfrmmain", "B", "2");
  Write("TfrmMain", "a", "3"); // replaced in place, in the caller's spelling
  Write("Other", "C", "4");
  EXPECT_EQ(Content(), "[TfrmMain]\na=3\nB=2\n[Other]\nC=4\n");
}

TEST_F(IniFileTest, NewKeyGoesAtTheEndOfItsSectionBeforeBlankLines) {
  FFolder.WriteFile("s.INI", "; keep me\r\n[First]\r\nX=1\r\n\r\n[Second]\r\nY=2\r\n");
  Write("First", "Z", "3");
  EXPECT_EQ(Content(), "; keep me\r\n[First]\r\nX=1\r\nZ=3\r\n\r\n[Second]\r\nY=2\r\n");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotStartNewKeys) {
  Write("S", "Path", "a\nInjected=1");
  EXPECT_EQ(Read("S", "Injected"), "<default>");
  EXPECT_EQ(Read("S", "Path"), "a Injected=1");
}

TEST_F(IniFileTest, FailedWriteRaisesAndLeavesTheFileAsItWas) {
  FFolder.WriteFile("blocker", "not a folder");
  const NarrowString path = FFolder.File("blocker/s.INI");
  try {
    TIniFile(path).WriteString("S", "K", "v");
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "In " + path + " kann nicht geschrieben werden");
  }
  EXPECT_EQ(FFolder.ReadFile("blocker"), "not a folder");
}

TEST_F(IniFileTest, WritingLeavesNoTemporaryFilesBehind) {
  for (int i = 0; i < 5; ++i) {
    Write("S", "K" + std::to_string(i), "v");
  }
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FFolder.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

} // namespace
} // namespace velmora
