#include <cstdio>
#include <optional>

#include "runtime/files.h"
#include "tests/app/app_fixture.h"

namespace velmora::testing {
namespace {

using SettingsTest = AppFixture;

TEST_F(SettingsTest, NoSettingsAndNoRegistryGiveTheBuiltInDefaults) {
  FView.ActivePage = tsOutput; // whatever page was active before
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], "Mobius.lmc");
  EXPECT_EQ(FView.Fields[feOutFile], "BUCH.ADR");
  EXPECT_EQ(FView.CountryCode, 49);
  EXPECT_EQ(FView.ActivePage, tsLMC);
  EXPECT_EQ(FView.PlacementsApplied, 0);
  EXPECT_TRUE(FView.ErrorBoxes.empty());
}

TEST_F(SettingsTest, FirstSaveWritesEveryKeyInOrder) {
#ifdef _WIN32
  // The system's profile functions write a value without its surrounding blanks.
  const char* const handlerLine = "LMCFileName=/data/Mobius.lmc\n";
#else
  const char* const handlerLine = "LMCFileName=  /data/Mobius.lmc \n";
#endif
  StartUp();
  FView.Fields[feLMCFile] = "  /data/Mobius.lmc ";
  FView.CountryCode = 43;
  CloseWindow();
  EXPECT_EQ(SettingsText(), "[TfrmMain]\n"
                            "FormVersion=0\n"
                            "Flags=0\n"
                            "ShowCmd=1\n"
                            "PixelsPerInch=96\n"
                            "MinMaxPos(1024x768)=-1,-1,-1,-1\n"
                            "MinMaxPos=-1,-1,-1,-1\n"
                            "NormPos(1024x768)=297,169,689,342\n"
                            "NormPos=297,169,689,342\n"
                            "Visible=0\n"
                            "seCountryCode_Value=43\n"
                            "feLMCFile_Text=/data/Mobius.lmc\n"
                            "feOutFile_Text=BUCH.ADR\n" +
                                NarrowString(handlerLine) +
                                "OutFileName=BUCH.ADR\n"
                                "CountryCode=43\n");
  EXPECT_TRUE(FView.ErrorBoxes.empty());
}

TEST_F(SettingsTest, DestroyWithoutCloseSavesOnceWithVisibleOne) {
  StartUp();
  DestroyWindow();
  EXPECT_EQ(Setting("Visible"), "1");
}

TEST_F(SettingsTest, NothingIsSavedBeforeTheWindowWasShown) {
  FForm = new TfrmMain(nullptr, FView);
  FForm->HandleClose();
  DestroyWindow();
  EXPECT_FALSE(FileExists(IniPath()));
}

TEST_F(SettingsTest, SavedValuesComeBackOnTheNextRun) {
  StartUp();
  FView.Fields[feLMCFile] = "/home/anna/backup.lmc";
  FView.Fields[feOutFile] = "/home/anna/BUCH.ADR";
  FView.CountryCode = 41;
  FView.CurrentPlacement.NormalPosition = {10, 20, 410, 220};
  CloseWindow();

  TFakeMainView second;
  TfrmMain* form = new TfrmMain(nullptr, second);
  second.Visible = true;
  form->HandleShow();
  EXPECT_EQ(second.Fields[feLMCFile], "/home/anna/backup.lmc");
  EXPECT_EQ(second.Fields[feOutFile], "/home/anna/BUCH.ADR");
  EXPECT_EQ(second.CountryCode, 41);
  EXPECT_EQ(second.CurrentPlacement.NormalPosition, (TRect{10, 20, 410, 220}));
  form->Free();
}

TEST_F(SettingsTest, HandlerValuesWinOverStoredProperties) {
  WriteSettings("[TfrmMain]\nfeLMCFile_Text=from-property.lmc\nLMCFileName=from-handler.lmc\n"
                "seCountryCode_Value=7\nCountryCode=8\n");
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], "from-handler.lmc");
  EXPECT_EQ(FView.CountryCode, 8);
}

TEST_F(SettingsTest, CountryCodeReadsHexadecimalAndFallsBackTo49) {
  const std::pair<const char*, int> cases[] = {{"0x31", 49}, {"0X31", 49},        {"$31", 49},
                                               {"-5", -5},   {"abc", 49},         {"0x", 49},
                                               {"0xZZ", 49}, {"99999999999", 49}, {"", 49}};
  for (const auto& [text, expected] : cases) {
    WriteSettings("[TfrmMain]\nCountryCode=" + NarrowString(text) + "\n");
    TFakeMainView view;
    TfrmMain* form = new TfrmMain(nullptr, view);
    form->HandleShow();
    EXPECT_EQ(view.CountryCode, expected) << text;
    form->FormStorage1()->SetActive(false); // keep the file for the next case
    form->Free();
  }
}

TEST_F(SettingsTest, UnconvertibleStoredPropertyIsIgnored) {
  WriteSettings("[TfrmMain]\nseCountryCode_Value=abc\nfeOutFile_Text=other.adr\n");
  FView.CountryCode = 12;
  StartUp();
  EXPECT_EQ(FView.Fields[feOutFile], "BUCH.ADR"); // the handler's default comes last
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  // Without the handler's keys the stored properties show through.
  FForm->FormStorage1()->OnRestorePlacement = nullptr;
  FView.CountryCode = 12;
  FForm->FormStorage1()->RestoreFormPlacement();
  EXPECT_EQ(FView.CountryCode, 12);
  EXPECT_EQ(FView.Fields[feOutFile], "other.adr");
}

TEST_F(SettingsTest, OlderFormVersionRestoresNothingAndIsRewritten) {
  WriteSettings("[TfrmMain]\nFormVersion=-1\nLMCFileName=x.lmc\nNormPos=1,2,300,400\n");
  WriteRegistry({{"DefaultStorage", TTestRegistryValue::rvDword, "1"}}); // fails if read
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], "Mobius.lmc");
  EXPECT_EQ(FView.Fields[feOutFile], "BUCH.ADR");
  EXPECT_EQ(FView.CountryCode, 49);
  EXPECT_EQ(FView.PlacementsApplied, 0);
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  CloseWindow();
  EXPECT_EQ(Setting("FormVersion"), "0");
  EXPECT_EQ(Setting("LMCFileName"), "Mobius.lmc");
}

TEST_F(SettingsTest, QuotedFieldTextRoundTrips) {
  StartUp();
  FView.Fields[feLMCFile] = "\"/home/anna/my backup.lmc\"";
  CloseWindow();
  EXPECT_NE(SettingsText().find("LMCFileName=\"\"/home/anna/my backup.lmc\"\"\n"),
            NarrowString::npos);
  TFakeMainView second;
  TfrmMain* form = new TfrmMain(nullptr, second);
  form->HandleShow();
  EXPECT_EQ(second.Fields[feLMCFile], "\"/home/anna/my backup.lmc\"");
  form->Free();
}

TEST_F(SettingsTest, PlacementAtAnotherPixelDensityIsNotApplied) {
  WriteSettings("[TfrmMain]\nPixelsPerInch=120\nNormPos=10,10,500,300\n");
  StartUp();
  EXPECT_EQ(FView.PlacementsApplied, 0);
  EXPECT_EQ(FView.CurrentPlacement.NormalPosition, (TRect{297, 169, 689, 342}));
}

TEST_F(SettingsTest, PlacementForThisScreenSizeIsPreferred) {
  WriteSettings("[TfrmMain]\nPixelsPerInch=96\nFlags=2\nNormPos=10,10,500,300\n"
                "NormPos(1024x768)=20 , 30,520,330\nNormPos(800x600)=1,1,2,2\n"
                "MinMaxPos=9,9,9,9\nMinMaxPos(1024x768)=1,2,-4,-5\n");
  StartUp();
  EXPECT_EQ(FView.CurrentPlacement,
            (TWindowPlacement{2, kShowNormal, {1, 2}, {-4, -5}, {20, 30, 520, 330}}));
}

TEST_F(SettingsTest, PlacementWithMissingWordsKeepsCurrentValues) {
  WriteSettings("[TfrmMain]\nNormPos=50,x\nMinMaxPos=5\n");
  StartUp();
  EXPECT_EQ(FView.CurrentPlacement.NormalPosition, (TRect{50, 169, 689, 342}));
  EXPECT_EQ(FView.CurrentPlacement.MinPosition, (TPoint{5, 0}));
  EXPECT_EQ(FView.CurrentPlacement.MaxPosition, (TPoint{0, 0}));
  WriteSettings("[TfrmMain]\nNormPos=900,10,100,300\n"); // left >= right: not applied
  FForm->FormStorage1()->RestoreFormPlacement();
  EXPECT_EQ(FView.CurrentPlacement.NormalPosition.Left, 50);
}

TEST_F(SettingsTest, ShowCommandRestoresTheWindowState) {
  enum TMainForm { mfThis, mfNone, mfOther };
  const struct {
    int ShowCmd;
    TMainForm MainForm;
    TWindowState Expected;
    bool MinimizePosted;
  } cases[] = {
      {1, mfThis, wsNormal, false},
      {9, mfThis, wsNormal, false},
      {3, mfThis, wsMaximized, false},
      {42, mfThis, wsNormal, false},
      // A minimized main window, or any window when there is no main window, opens normal
      // and minimizes once the event loop runs; another window minimizes at once.
      {2, mfThis, wsNormal, true},
      {7, mfThis, wsNormal, true},
      {2, mfNone, wsNormal, true},
      {6, mfNone, wsNormal, true},
      {2, mfOther, wsMinimized, false},
      {3, mfNone, wsMaximized, false},
  };
  TFakeMainView otherView;
  TfrmMain* other = new TfrmMain(nullptr, otherView);
  other->FormStorage1()->SetActive(false);
  for (const auto& c : cases) {
    WriteSettings("[TfrmMain]\nShowCmd=" + std::to_string(c.ShowCmd) + "\n");
    TFakeMainView view;
    view.State = wsMaximized;
    TfrmMain* form = new TfrmMain(nullptr, view);
    Application().SetMainForm(c.MainForm == mfThis    ? form
                              : c.MainForm == mfOther ? other
                                                      : nullptr);
    form->HandleShow();
    EXPECT_EQ(view.State, c.Expected) << c.ShowCmd << " " << c.MainForm;
    EXPECT_EQ(view.MinimizePosted, c.MinimizePosted) << c.ShowCmd << " " << c.MainForm;
    form->FormStorage1()->SetActive(false); // keep the file for the next case
    form->Free();
  }
  other->Free();
}

TEST_F(SettingsTest, MinimizedApplicationSavesShowCommandTwo) {
  StartUp();
  FView.State = wsMinimized;
  CloseWindow();
  EXPECT_EQ(Setting("ShowCmd"), "2");
}

TEST_F(SettingsTest, RegistryKeyWithoutValueGivesAnEmptyBackupField) {
  WriteRegistry({{"Other", TTestRegistryValue::rvString, "x"}});
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], "");
}

TEST_F(SettingsTest, RegistryValueOfAnotherTypeFailsTheHandlerOnly) {
  // The registry is read even though the file holds the backup file name.
  WriteSettings("[TfrmMain]\nfeOutFile_Text=kept.adr\nLMCFileName=stored.lmc\n");
  WriteRegistry({{"DefaultStorage", TTestRegistryValue::rvDword, "1"}});
  StartUp();
  // The message ends in "'", which sorts before ".": no full stop is appended.
  EXPECT_EQ(FView.ErrorBoxes, (std::vector<TFakeMainView::TBox>{
                                  {"Velmora", "Ungültiger Datentyp für 'DefaultStorage'"}}));
  EXPECT_EQ(FView.Fields[feOutFile], "kept.adr");
  EXPECT_TRUE(FForm->FormStorage1()->Restored());
  CloseWindow();
  EXPECT_EQ(Setting("OutFileName"), "kept.adr");
}

TEST_F(SettingsTest, FailedSaveIsReportedAndTheWindowStillCloses) {
  FFolder.WriteFile("blocker", "a file where a folder would have to be");
  StartUp();
  FForm->FormStorage1()->SetIniFileName(FFolder.File("blocker/velmora.INI"));
  CloseWindow();
  // Closing did not save, so destroying the window tries once more.
  const TFakeMainView::TBox failure{"Velmora", "In " + FFolder.File("blocker/velmora.INI") +
                                                   " kann nicht geschrieben werden."};
  EXPECT_EQ(FView.ErrorBoxes, (std::vector<TFakeMainView::TBox>{failure, failure}));
}

TEST_F(SettingsTest, SettingsFileLiesBesideTheProgramOrInTheUserFolder) {
  TFakeMainView view;
  TfrmMain* form = new TfrmMain(nullptr, view);
  EXPECT_EQ(form->FormStorage1()->IniFilePath(), FFolder.File("bin/velmora.INI"));
  Application().SetEnvironment({FFolder.File("bin/velmora.bin"), FFolder.File("config"), ""});
  EXPECT_EQ(form->FormStorage1()->IniFilePath(), FFolder.File("bin/velmora.INI"));
  form->FormStorage1()->SetIniFileRoot(piDefault);
  EXPECT_EQ(form->FormStorage1()->IniFilePath(), FFolder.File("config/velmora/velmora.INI"));
  form->FormStorage1()->SetActive(false);
  form->Free();
}

TEST_F(SettingsTest, UserFolderIsCreatedOnFirstSave) {
  Application().SetEnvironment(
      {FFolder.File("missing-bin/velmora"), FFolder.File("config"), FFolder.File("none.reg")});
  StartUp();
  CloseWindow();
  EXPECT_EQ(
      TIniFile(FFolder.File("config/velmora/velmora.INI")).ReadString("TfrmMain", "Visible", ""),
      "0");
}

TEST_F(SettingsTest, AccessorsQuoteValuesThatWouldLoseTheirQuotes) {
  StartUp();
  TFormStorage& storage = *FForm->FormStorage1();
  for (const char* value : {"\"quoted\"", "'single'", "\"", "plain", "\"half"}) {
    storage.WriteSettingString("Probe", value);
    EXPECT_EQ(storage.ReadSettingString("Probe", ""), value);
  }
  storage.WriteSettingInteger("Number", -12);
  EXPECT_EQ(storage.ReadSettingInteger("Number", 0), -12);
  EXPECT_EQ(storage.ReadSettingInteger("Missing", 5), 5);
}

TEST_F(SettingsTest, ByteOrderMarkFileKeepsItsOneSection) {
  WriteSettings("\xEF\xBB\xBF[TfrmMain]\r\nLMCFileName=bom.lmc\r\nCountryCode=41\r\n");
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], "bom.lmc");
  EXPECT_EQ(FView.CountryCode, 41);
  CloseWindow();
  const NarrowString content = SettingsText();
  EXPECT_TRUE(content.starts_with(
      "\xEF\xBB\xBF[TfrmMain]\nLMCFileName=bom.lmc\nCountryCode=41\nFormVersion=0\n"))
      << content;
  EXPECT_EQ(content.find("[TfrmMain]", 4), NarrowString::npos);
}

// A save reads the file once and writes it once; the result is the file that the fifteen
// writes of the profile functions, one after the other, would leave.
TEST_F(SettingsTest, SaveWritesWhatFifteenSingleWritesWould) {
  const std::optional<NarrowString> startFiles[] = {
      std::nullopt,
      "",
      "; comment\r\n[Other]\r\nA=1\r\n\r\n[tfrmmain]\r\nshowcmd=3\r\nlmcfilename=old\r\n"
      "Extra=keep\r\n\r\n[Last]\r\nB=2\r\n",
      "\xEF\xBB\xBF[TfrmMain]\nNormPos=1,2,3,4\n",
      "[TfrmMain]\nFlags=5\n[X]\n[ TFRMMAIN ]\nVisible=1\n",
      "[TfrmMain]\nFormVersion=0",
  };
  const std::pair<const char*, const char*> keys[] = {
      {"FormVersion", "0"},
      {"Flags", "0"},
      {"ShowCmd", "1"},
      {"PixelsPerInch", "96"},
      {"MinMaxPos(1024x768)", "-1,-1,-1,-1"},
      {"MinMaxPos", "-1,-1,-1,-1"},
      {"NormPos(1024x768)", "10,20,410,220"},
      {"NormPos", "10,20,410,220"},
      {"Visible", "0"},
      {"seCountryCode_Value", "43"},
      {"feLMCFile_Text", "/data/a.lmc"},
      {"feOutFile_Text", "BUCH.ADR"},
      {"LMCFileName", "/data/a.lmc"},
      {"OutFileName", "BUCH.ADR"},
      {"CountryCode", "43"},
  };
  const auto writeStartFile = [&](const std::optional<NarrowString>& start) {
    std::remove(IniPath().c_str());
    if (start) {
      WriteSettings(*start);
    }
  };
  for (const auto& start : startFiles) {
    writeStartFile(start);
    StartUp();
    FView.Fields[feLMCFile] = "/data/a.lmc";
    FView.Fields[feOutFile] = "BUCH.ADR";
    FView.CountryCode = 43;
    FView.State = wsNormal;
    FView.CurrentPlacement = {0, kShowNormal, {-1, -1}, {-1, -1}, {10, 20, 410, 220}};
    CloseWindow();
    const NarrowString saved = SettingsText();

    writeStartFile(start);
    for (const auto& [key, value] : keys) {
      TIniFile(IniPath()).WriteString("TfrmMain", key, value);
    }
    EXPECT_EQ(saved, SettingsText()) << start.value_or("<no file>");
  }
}

} // namespace
} // namespace velmora::testing
