// The import and export commands of the main window, driven through the fake view.

#include <cstdio>

#include "app/conversion_commands.h"
#include "docservice/document_service.h"
#include "dom/node_lists.h"
#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "tests/app/app_fixture.h"

namespace velmora::testing {
namespace {

// Device A with backups 1 and 2 (contacts in "Contacts" and in a second folder), a device
// without name, and device B whose backup 3 has no "Contacts" folder.
const char* const kBackupFile = R"(<?xml version="1.0"?>
<Data>
  <Folder name="A">
    <Folder name="1">
      <Folder name="Contacts">
        <Contact><Name>Old</Name><Number>+49 30 1</Number></Contact>
      </Folder>
    </Folder>
    <Folder name="2">
      <Folder name="Contacts">
        <Contact>
          <Name>Anna</Name>
          <Text>Office</Text>
          <Number type="Work">+49 30 1234</Number>
          <Number type="Home"> </Number>
          <Number type="General">+49<!-- split -->30 99</Number>
        </Contact>
        <Contact><Number type="Mobile">0171 5</Number></Contact>
      </Folder>
      <Folder name="SIM">
        <Contact><Name>AT&amp;T</Name><Text type="Birthday">1.1.</Text><Number>+1 555</Number></Contact>
      </Folder>
    </Folder>
  </Folder>
  <Folder>
    <Folder name="4"><Folder name="Contacts"/></Folder>
  </Folder>
  <Folder name="B">
    <Folder name="3"><Folder name="Other"><Contact><Number>1</Number></Contact></Folder></Folder>
  </Folder>
</Data>
)";

const char* const kExportOfBackup2 = "1;entry;Anna (Work);0 30 1234;1;0;;;;0;Office;;;\r\n"
                                     "2;entry;Anna;0 30 99;2;0;;;;0;Office;;;\r\n"
                                     "3;entry; (Mobile);0171 5;3;0;;;;0;;;;\r\n"
                                     "4;entry;AT&T;001 555;4;0;;;;0;Birthday: 1.1.;;;\r\n";

class CommandsTest : public AppFixture {
protected:
  void SetUp() override {
    AppFixture::SetUp();
    StartUp();
    FFolder.WriteFile("Mobius.lmc", kBackupFile);
    FView.Fields[feLMCFile] = FFolder.File("Mobius.lmc");
    FView.Fields[feOutFile] = FFolder.File("BUCH.ADR");
  }

  std::vector<NarrowString> RowTexts() const {
    std::vector<NarrowString> texts;
    for (const TFakeMainView::TRow& row : FView.Rows) {
      texts.push_back(row.Caption + "/" + row.SubItem + (row.Checked ? " [x]" : ""));
    }
    return texts;
  }

  NarrowString Written() const { return FFolder.ReadFile("BUCH.ADR"); }
  int DocumentCount() const { return FForm->DomImpl()->documents()->length(); }
};

TEST_F(CommandsTest, ImportListsTheBackupsWithContactsAndSelectsTheLast) {
  FForm->ImportButtonClicked();
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  EXPECT_EQ(RowTexts(), (std::vector<NarrowString>{"A/1", "A/2", "/4 [x]"}));
  EXPECT_EQ(FView.Selected, 2);
  EXPECT_EQ(FView.ActivePage, tsSelect);
  EXPECT_EQ(FView.StatusTexts[0], "");
  EXPECT_EQ(FView.StatusTexts[1], "4");

  // The second import lists only its own file, and the first document is gone.
  FFolder.WriteFile("Other.lmc",
                    "<Data><Folder name='C'><Folder name='9'><Folder name='Contacts'/></Folder>"
                    "</Folder></Data>");
  FView.Fields[feLMCFile] = "\"" + FFolder.File("Other.lmc") + "\"";
  FForm->ImportButtonClicked();
  EXPECT_EQ(RowTexts(), (std::vector<NarrowString>{"C/9 [x]"}));
  EXPECT_EQ(DocumentCount(), 1);
}

struct TFailedImport {
  const char* Content; // none: the file is missing
  const char* Message;
};

class FailedImportTest : public CommandsTest,
                         public ::testing::WithParamInterface<TFailedImport> {};

TEST_P(FailedImportTest, ShowsTheErrorAndLeavesTheListEmptyOnPage1) {
  FForm->ImportButtonClicked();
  ASSERT_EQ(FView.Rows.size(), 3u);
  FView.ActivePage = tsLMC;
  if (GetParam().Content) {
    FFolder.WriteFile("Mobius.lmc", GetParam().Content);
  } else {
    FView.Fields[feLMCFile] = FFolder.File("missing.lmc");
  }
  FForm->ImportButtonClicked();
  const NarrowString expected = GetParam().Content
                                    ? NarrowString(GetParam().Message)
                                    : "Datei " + FFolder.File("missing.lmc") +
                                          " kann nicht geöffnet werden. " + GetParam().Message;
  ASSERT_EQ(FView.ErrorBoxes.size(), 1u);
  EXPECT_EQ(FView.ErrorBoxes[0], (TFakeMainView::TBox{"Velmora", expected}));
  EXPECT_TRUE(FView.Rows.empty());
  EXPECT_EQ(FView.ActivePage, tsLMC);
  EXPECT_EQ(FForm->Document(), nullptr);
  EXPECT_EQ(DocumentCount(), 0);
  // Export has no row to take.
  FForm->ExportButtonClicked();
  EXPECT_FALSE(FileExists(FView.Fields[feOutFile]));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedImportTest,
    ::testing::Values(TFailedImport{nullptr, "Das System kann die angegebene Datei nicht finden."},
                      TFailedImport{"", "Empty string."},
                      TFailedImport{"not XML at all", "Parser error."},
                      // Backups after the prefixed name would be missing from a partial copy.
                      TFailedImport{"<Data><Folder name='A'/><x:Folder name='B'/></Data>",
                                    "Parser error."}));

TEST_F(CommandsTest, ABackupFileWithADocumentTypeImportsCompletely) {
  const NarrowString backup = kBackupFile;
  const size_t afterDeclaration = backup.find("?>") + 2;
  FFolder.WriteFile("Mobius.lmc", backup.substr(0, afterDeclaration) +
                                      "<!DOCTYPE Data [<!ATTLIST Folder name CDATA #IMPLIED>]>" +
                                      backup.substr(afterDeclaration));
  FForm->ImportButtonClicked();
  EXPECT_EQ(RowTexts(), (std::vector<NarrowString>{"A/1", "A/2", "/4 [x]"}));
}

TEST_F(CommandsTest, ABackupFileWithoutContactsFoldersGivesAnEmptyListOnPage2) {
  FFolder.WriteFile("Mobius.lmc", "<Data><Folder name='B'><Folder name='3'/></Folder></Data>");
  FForm->ImportButtonClicked();
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  EXPECT_TRUE(FView.Rows.empty());
  EXPECT_EQ(FView.ActivePage, tsSelect);
}

TEST_F(CommandsTest, ExportWritesTheSelectedBackupWhateverRowsAreChecked) {
  FForm->ImportButtonClicked();
  FView.Rows[0].Checked = true;
  FView.Selected = 1;
  FForm->ExportButtonClicked();
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  EXPECT_TRUE(FView.Questions.empty());
  EXPECT_EQ(Written(), kExportOfBackup2);
  EXPECT_EQ(FView.StatusTexts[0], "4");
  EXPECT_EQ(FView.StatusTexts[1], "AT&T: 001 555");
  EXPECT_EQ(FView.ActivePage, tsSelect);

  // A backup without contacts empties the file (after the question).
  FView.Selected = 2;
  FForm->ExportButtonClicked();
  EXPECT_EQ(FView.Questions, (std::vector<NarrowString>{"Adressfile exists, overwrite?"}));
  EXPECT_EQ(Written(), "");
}

TEST_F(CommandsTest, AnsweringAbbrechenLeavesTheFileAndTheStatus) {
  FForm->ImportButtonClicked();
  FFolder.WriteFile("BUCH.ADR", "kept");
  FView.AnswerOk = false;
  FForm->ExportButtonClicked();
  EXPECT_EQ(FView.Questions.size(), 1u);
  EXPECT_EQ(Written(), "kept");
  EXPECT_EQ(FView.StatusTexts[1], "4");
  FView.AnswerOk = true;
  FView.Selected = 1;
  FForm->ExportButtonClicked();
  EXPECT_EQ(Written(), kExportOfBackup2);
}

TEST_F(CommandsTest, TheCountryCodeIsReadForEachContact) {
  FForm->ImportButtonClicked();
  FView.Selected = 1;
  FView.OnProcessMessages = [this] { FView.CountryCode = 1; };
  FForm->ExportButtonClicked();
  EXPECT_EQ(Written().substr(Written().rfind("4;entry")),
            "4;entry;AT&T;0 555;4;0;;;;0;Birthday: 1.1.;;;\r\n");
}

TEST_F(CommandsTest, AnAddressFileThatCannotBeCreatedIsReported) {
  FForm->ImportButtonClicked();
  FView.Fields[feOutFile] = FFolder.File("no/such/folder/BUCH.ADR");
  FForm->ExportButtonClicked();
  ASSERT_EQ(FView.ErrorBoxes.size(), 1u);
  EXPECT_EQ(FView.ErrorBoxes[0].Text,
            TApplication::ErrorBoxText(EInOutError(kErrorPathNotFound).what()));
}

#ifndef _WIN32
// Linux lets a file go while it is written (Windows refuses to remove an open file), and
// /dev/full takes nothing: neither export may look complete.
TEST_F(CommandsTest, AnAddressFileThatCannotBeWrittenIsReported) {
  FForm->ImportButtonClicked();
  FView.Selected = 1;
  ASSERT_TRUE(ForceDirectories(FFolder.File("out")));
  FView.Fields[feOutFile] = FFolder.File("out/BUCH.ADR");
  FView.OnProcessMessages = [this] {
    std::remove(FFolder.File("out/BUCH.ADR").c_str());
    std::remove(FFolder.File("out").c_str());
  };
  FForm->ExportButtonClicked();
  FView.OnProcessMessages = nullptr;
  FView.Fields[feOutFile] = "/dev/full";
  FForm->ExportButtonClicked();
  ASSERT_EQ(FView.ErrorBoxes.size(), 2u);
  EXPECT_EQ(FView.ErrorBoxes[0].Text,
            TApplication::ErrorBoxText(EInOutError(kErrorPathNotFound).what()));
  EXPECT_EQ(FView.ErrorBoxes[1].Text, TApplication::ErrorBoxText(EInOutError(101).what()));
}
#endif

TEST_F(CommandsTest, CommandsStartedWhileOneRunsAreIgnored) {
  FForm->ImportButtonClicked();
  FView.Selected = 1;
  int nested = 0;
  FView.OnProcessMessages = [this, &nested] {
    ++nested;
    FForm->ImportButtonClicked();
    FForm->ExportButtonClicked();
  };
  FForm->ExportButtonClicked();
  EXPECT_EQ(nested, 3) << "one call after each contact";
  EXPECT_EQ(Written(), kExportOfBackup2);
  EXPECT_EQ(RowTexts().size(), 3u);
  EXPECT_TRUE(FView.ErrorBoxes.empty());
}

} // namespace
} // namespace velmora::testing
