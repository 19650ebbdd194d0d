#include "platform/ini_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "tests/platform/ini_file_fixture.h"
#include "tests/support/temp_folder.h"
#include "toolkit/string_toolkit.h"

namespace velmora {
namespace {

using testing::TTempFolder;

using IniFileTest = testing::IniFileFixture;

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

TEST_F(IniFileTest, SectionHeadersAsTheProfileFunctionsReadThem) {
  // A header runs to the line's last "]"; a "[" without "]" is no header.
  FFolder.WriteFile("s.INI", "[a]b]\nX=1\n[B\nY=2\n[C] ; note\nZ=3\n");
  const struct {
    const char* Section;
    const char* Key;
    const char* Expected;
  } cases[] = {
      {"a]b", "X", "1"}, {"a]b", "Y", "2"},    {"a", "X", "<default>"}, {"B", "Y", "<default>"},
      {"C", "Z", "3"},   {" \tC  ", "Z", "3"}, // the caller's section name is trimmed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.Section, c.Key), c.Expected) << c.Section << " " << c.Key;
  }
  Write(" C ", "Z", "4");
  Write("  New", "K", "v");
  EXPECT_EQ(Read("C", "Z"), "4");
  EXPECT_EQ(Read("New", "K"), "v");
  EXPECT_EQ(Read("a]b", "X"), "1");
  EXPECT_EQ(Read("a]b", "Y"), "2");
}

TEST_F(IniFileTest, ByteOrderMarkIsSkippedAndKept) {
  FFolder.WriteFile("s.INI", "\xEF\xBB\xBF[TfrmMain]\r\nA=1\r\n");
  EXPECT_EQ(Read("TfrmMain", "A"), "1");
  Write("TfrmMain", "B", "2");
  EXPECT_EQ(Content(), "\xEF\xBB\xBF[TfrmMain]\r\nA=1\r\nB=2\r\n");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  FFolder.WriteFile("s.INI", "[S]\nLong=" + NarrowString(3000, 'x') + "\nUmlauts=" +
                                 NarrowString(2046, 'x') + WideToNarrow(u"\u00FC") + "\n");
  EXPECT_EQ(Read("S", "Long"), NarrowString(2047, 'x'));
  // A cut never splits a character: in UTF-8 (Linux) the umlaut is two bytes, in the ANSI
  // code page (Windows) one.
  const NarrowString umlaut = WideToNarrow(u"\u00FC");
  EXPECT_EQ(Read("S", "Umlauts"), NarrowString(2046, 'x') + (umlaut.size() == 1 ? umlaut : ""));
}

TEST_F(IniFileTest, WritingCreatesFileAndSectionAndReplacesValues) {
  Write("TfrmMain", "A", "1");
  Write("tfrmmain", "B", "2");
  Write("TfrmMain", "a", "3");
  Write("Other", "C", "4");
  EXPECT_EQ(Read("TfrmMain", "A"), "3");
  EXPECT_EQ(Read("TfrmMain", "B"), "2");
  EXPECT_EQ(Read("Other", "C"), "4");
  NarrowString content = Content();
  ReplaceAll(content, "\r\n", "\n");
  EXPECT_EQ(content.find("[TfrmMain]", 1), NarrowString::npos) << content; // one section
  EXPECT_EQ(content.find("=1"), NarrowString::npos) << content;            // replaced
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
