#include "app/win32/main_window.h"

#include <commctrl.h>

#include <functional>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/caption_about.h"
#include "app/form_storage.h"
#include "app/main_form.h"
#include "app/win32/control_ids.h"
#include "platform/executable_path.h"
#include "platform/ini_file.h"
#include "runtime/files.h"
#include "tests/support/temp_folder.h"

// The Win32 window, built for real and driven through its window messages; under Wine and
// Xvfb.

namespace velmora::testing {
namespace {

RECT ChildRect(HWND child) {
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

NarrowString TextOf(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// Runs action on the modal dialog that the call opens, from inside its message loop; a
// dialog that is still open after 10 s is ended, so that a failing test cannot hang.
class TModalDialogAction {
public:
  explicit TModalDialogAction(std::function<void(HWND)> action) {
    Current() = std::move(action);
    Ticks() = 0;
    FTimer = ::SetTimer(nullptr, 0, 50, &TModalDialogAction::Tick);
  }
  ~TModalDialogAction() {
    ::KillTimer(nullptr, FTimer);
    Current() = nullptr;
  }

private:
  static std::function<void(HWND)>& Current() {
    static std::function<void(HWND)> action;
    return action;
  }
  static int& Ticks() {
    static int ticks = 0;
    return ticks;
  }
  // A visible dialog of this thread.
  static HWND OpenDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
          char name[16] = {};
          ::GetClassNameA(window, name, sizeof name);
          if (::IsWindowVisible(window) && NarrowString(name) == "#32770") {
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = OpenDialog();
    if (!dialog) {
      return;
    }
    if (Current()) {
      auto action = std::move(Current());
      Current() = nullptr;
      action(dialog);
    } else if (++Ticks() > 200) {
      ADD_FAILURE() << "a dialog stayed open";
      ::EndDialog(dialog, IDCANCEL);
    }
  }
  UINT_PTR FTimer;
};

class Win32WindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application().SetTitle("Velmora");
    // The test program carries the version record; the settings go to the test's folder.
    Application().SetEnvironment({ExecutablePath(), FFolder.Path(), ""});
    FWindow = std::make_unique<TWin32MainWindow>(::GetModuleHandleA(nullptr));
    ASSERT_NE(FWindow->Handle(), nullptr) << "no window: is there a display?";
    FForm = new TfrmMain(nullptr, *FWindow);
    FForm->FormStorage1()->SetIniFileName(FFolder.File("velmora.INI"));
    FWindow->SetForm(FForm);
    Application().SetMainForm(FForm);
    ApplyCaptionAndAbout();
    FWindow->Show();
    FWindow->ProcessMessages();
  }
  void TearDown() override {
    if (FForm) {
      FForm->Free();
    }
    FWindow.reset();
  }

  HWND Main() const { return FWindow->Handle(); }
  HWND Pages() const { return ::GetDlgItem(::GetDlgItem(Main(), idPanel), idPages); }
  HWND Page(int id) const { return ::GetDlgItem(Pages(), id); }
  HWND Control(int page, int id) const { return ::GetDlgItem(Page(page), id); }

  TTempFolder FFolder;
  std::unique_ptr<TWin32MainWindow> FWindow;
  TfrmMain* FForm = nullptr;
};

TEST_F(Win32WindowTest, ControlsHaveTheDesignedLayout) {
  RECT client;
  ::GetClientRect(Main(), &client);
  EXPECT_EQ(client.right, 392);
  EXPECT_EQ(client.bottom, 173);
  ASSERT_EQ(::SendMessageA(Pages(), TCM_GETITEMCOUNT, 0, 0), 3);
  const char* const tabs[3] = {"1 - Import from Mobius", "2 - Select Contacts",
                               "3 - Export to Phoner"};
  for (int i = 0; i < 3; ++i) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(Pages(), TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, tabs[i]);
  }
  EXPECT_EQ(::SendMessageA(Pages(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(::IsWindowVisible(Page(idPageLMC)));

  // Labels take the size of their caption in the font the system gives.
  const struct {
    int Page;
    int Id;
    POINT TopLeft;
    const char* Text;
  } labels[] = {{idPageLMC, idLabel1, {8, 16}, "&Mobius Backup-File:"},
                {idPageOutput, idLabel2, {8, 16}, "&Phoner Adress File:"},
                {idPageOutput, idLabel3, {8, 44}, "&Country Code:"}};
  for (const auto& c : labels) {
    const HWND label = Control(c.Page, c.Id);
    const RECT r = ChildRect(label);
    EXPECT_EQ(r.left, c.TopLeft.x) << c.Text;
    EXPECT_EQ(r.top, c.TopLeft.y) << c.Text;
    EXPECT_GT(r.right - r.left, 40) << c.Text;
    EXPECT_EQ(TextOf(label), c.Text);
  }
  const struct {
    int Page;
    int Id;
    RECT Geometry;
    const char* Text;
  } controls[] = {
      {idPageLMC, idLMCFile, {120, 12, 324, 33}, "Mobius.lmc"},
      {idPageLMC, idLMCFileBrowse, {324, 12, 345, 33}, "..."},
      {idPageLMC, idImportBar, {352, 11, 375, 33}, ""},
      {idPageOutput, idOutFile, {120, 12, 324, 33}, "BUCH.ADR"},
      {idPageOutput, idExportBar, {352, 11, 375, 33}, ""},
  };
  for (const auto& c : controls) {
    const HWND control = Control(c.Page, c.Id);
    ASSERT_NE(control, nullptr) << c.Id;
    const RECT r = ChildRect(control);
    EXPECT_EQ(
        (std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
        (std::vector<LONG>{c.Geometry.left, c.Geometry.top, c.Geometry.right, c.Geometry.bottom}))
        << c.Id;
    EXPECT_EQ(TextOf(control), c.Text) << c.Id;
  }
  // The spin field and its arrows share the designed 57 pixels.
  const RECT spin = ChildRect(Control(idPageOutput, idCountryCode));
  const RECT arrows = ChildRect(Control(idPageOutput, idCountryCodeSpin));
  EXPECT_EQ(spin.left, 288);
  EXPECT_GT(arrows.left, spin.left);
  EXPECT_LE(arrows.right, 345);
  EXPECT_GE(arrows.right, 343);
  EXPECT_TRUE(::GetWindowLongA(Control(idPageOutput, idCountryCode), GWL_STYLE) & ES_RIGHT);

  const HWND list = Control(idPageSelect, idSelectList);
  const LONG style = ::GetWindowLongA(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  const DWORD extended = ListView_GetExtendedListViewStyle(list);
  EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
  RECT listClient;
  ::GetClientRect(list, &listClient);
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), 100);
  EXPECT_EQ(ListView_GetColumnWidth(list, 0) + ListView_GetColumnWidth(list, 1), listClient.right);

  const HWND status = ::GetDlgItem(Main(), idStatus);
  int edges[4] = {};
  ASSERT_EQ(::SendMessageA(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 150);
  EXPECT_EQ(edges[1], 200);
  EXPECT_EQ(ChildRect(status).bottom - ChildRect(status).top, 19);
}

TEST_F(Win32WindowTest, CaptionAndAboutEntryOfTheSystemMenu) {
  EXPECT_EQ(TextOf(Main()), "Velmora v0.2.1.19");
  const HMENU menu = ::GetSystemMenu(Main(), FALSE);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  char text[64] = {};
  ::GetMenuStringA(menu, kAboutCommandId, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Info über System...");
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(kAboutCommandId));
  EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);

  // Choosing the entry opens the About box over the window.
  NarrowString aboutTitle;
  {
    TModalDialogAction close([&](HWND about) {
      aboutTitle = TextOf(about);
      ::EndDialog(about, IDOK);
    });
    ::SendMessageA(Main(), WM_SYSCOMMAND, kAboutCommandId, 0);
  }
  EXPECT_NE(aboutTitle.find("System"), NarrowString::npos) << aboutTitle;
}

TEST_F(Win32WindowTest, QuestionBoxHasItsOwnGermanButtons) {
  for (const bool chooseOk : {false, true}) {
    NarrowString title;
    NarrowString buttons;
    TModalDialogAction answer([&](HWND dialog) {
      title = TextOf(dialog);
      buttons = TextOf(::GetDlgItem(dialog, IDOK)) + "|" + TextOf(::GetDlgItem(dialog, IDCANCEL));
      ::SendMessageA(::GetDlgItem(dialog, chooseOk ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(FWindow->AskQuestion("Adressfile exists, overwrite?"), chooseOk);
    EXPECT_EQ(title, "Warnung");
    EXPECT_EQ(buttons, "OK|Abbrechen");
  }
}

TEST_F(Win32WindowTest, RowsFieldsAndPagesThroughTheView) {
  int data[2];
  FWindow->ClearRows();
  EXPECT_EQ(FWindow->SelectedRow(), kNoRow);
  EXPECT_EQ(FWindow->AppendRow("Phone A", "2024-01-02", &data[0]), 0);
  EXPECT_EQ(FWindow->AppendRow("Phone B", "2024-03-04", &data[1]), 1);
  FWindow->CheckSelectAndShowRow(1);
  const HWND list = Control(idPageSelect, idSelectList);
  EXPECT_TRUE(ListView_GetCheckState(list, 1));
  EXPECT_FALSE(ListView_GetCheckState(list, 0));
  EXPECT_EQ(FWindow->SelectedRow(), 1);
  EXPECT_EQ(FWindow->RowData(1), &data[1]);
  char subItem[32] = {};
  ListView_GetItemText(list, 1, 1, subItem, sizeof subItem);
  EXPECT_STREQ(subItem, "2024-03-04");

  FWindow->SetActivePage(tsSelect);
  EXPECT_EQ(::SendMessageA(Pages(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(::IsWindowVisible(Page(idPageSelect)));
  EXPECT_FALSE(::IsWindowVisible(Page(idPageLMC)));

  FWindow->SetStatusText(1, "Jörg");
  char status[32] = {};
  ::SendMessageA(::GetDlgItem(Main(), idStatus), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(status));
  EXPECT_STREQ(status, "Jörg");

  FWindow->SetFileNameText(feOutFile, "\"C:\\a b\\BUCH.ADR\"");
  EXPECT_EQ(TextOf(Control(idPageOutput, idOutFile)), "\"C:\\a b\\BUCH.ADR\"");
  EXPECT_EQ(FWindow->FileNameText(feOutFile), "\"C:\\a b\\BUCH.ADR\"");

  // The spin field: its value is the last valid integer; the arrows step by one.
  const HWND spin = Control(idPageOutput, idCountryCode);
  ::SetWindowTextA(spin, "41");
  EXPECT_EQ(FWindow->CountryCodeValue(), 41);
  ::SetWindowTextA(spin, "4x");
  EXPECT_EQ(FWindow->CountryCodeValue(), 41);
  EXPECT_EQ(FWindow->CountryCodeText(), "4x");
  FWindow->SetCountryCodeValue(-7);
  NMUPDOWN change = {};
  change.hdr.hwndFrom = Control(idPageOutput, idCountryCodeSpin);
  change.hdr.idFrom = idCountryCodeSpin;
  change.hdr.code = UDN_DELTAPOS;
  change.iDelta = 1;
  ::SendMessageA(Main(), WM_NOTIFY, idCountryCodeSpin, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(FWindow->CountryCodeValue(), -6);
  EXPECT_EQ(TextOf(spin), "-6");

  FWindow->SetCommandsEnabled(false);
  EXPECT_FALSE(::SendMessageA(Control(idPageLMC, idImportBar), TB_ISBUTTONENABLED, idImport, 0));
  FWindow->SetCommandsEnabled(true);
  EXPECT_TRUE(::SendMessageA(Control(idPageOutput, idExportBar), TB_ISBUTTONENABLED, idExport, 0));
}

TEST_F(Win32WindowTest, PlacementAndSettingsGoThroughTheSystem) {
  // No settings: the designed position.
  TWindowPlacement placement = FWindow->Placement();
  EXPECT_EQ(placement.NormalPosition.Left, 297);
  EXPECT_EQ(placement.NormalPosition.Top, 169);
  EXPECT_EQ(placement.ShowCmd, kShowNormal);
  EXPECT_EQ(FWindow->FileNameText(feLMCFile), "Mobius.lmc");
  EXPECT_EQ(FWindow->CountryCodeValue(), 49);

  placement.NormalPosition = {100, 120, 600, 400};
  FWindow->SetPlacement(placement);
  EXPECT_EQ(FWindow->Placement().NormalPosition, (TRect{100, 120, 600, 400}));
  FWindow->SetWindowState(wsMaximized);
  EXPECT_EQ(FWindow->WindowState(), wsMaximized);
  FWindow->SetWindowState(wsNormal);

  FWindow->SetFileNameText(feLMCFile, "C:\\data\\Mobius.lmc");
  ::SendMessageA(Main(), WM_CLOSE, 0, 0);
  TIniFile settings(FFolder.File("velmora.INI"));
  EXPECT_EQ(settings.ReadString("TfrmMain", "NormPos", ""), "100,120,600,400");
  EXPECT_EQ(settings.ReadString("TfrmMain", "ShowCmd", ""), "1");
  EXPECT_EQ(settings.ReadString("TfrmMain", "Visible", ""), "0");
  EXPECT_EQ(settings.ReadString("TfrmMain", "LMCFileName", ""), "C:\\data\\Mobius.lmc");
}

// The program itself, driven from outside through window messages as a user's clicks would
// drive it: import a sample backup, export the selected backup, close.
class TRunningProgram {
public:
  TRunningProgram(const NarrowString& program, const NarrowString& folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    NarrowString commandLine = "\"" + program + "\"";
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &FProcess)) {
      ADD_FAILURE() << "cannot start " << program;
      return;
    }
    ::WaitForInputIdle(FProcess.hProcess, 30000);
    WaitFor([this] { return (FWindow = FindWindowOfProcess()) != nullptr; });
  }
  ~TRunningProgram() {
    if (FProcess.hProcess) {
      if (::WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(FProcess.hProcess, 1);
      }
      ::CloseHandle(FProcess.hThread);
      ::CloseHandle(FProcess.hProcess);
    }
  }

  HWND Window() const { return FWindow; }
  HWND Control(int page, int id) const {
    return ::GetDlgItem(::GetDlgItem(::GetDlgItem(::GetDlgItem(FWindow, idPanel), idPages), page),
                        id);
  }
  void SetText(int page, int id, const NarrowString& text) const {
    ::SendMessageA(Control(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Click(int command) const { ::PostMessageA(FWindow, WM_COMMAND, command, 0); }
  bool Close() const {
    ::PostMessageA(FWindow, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(FProcess.hProcess, 30000) == WAIT_OBJECT_0;
  }
  // Waits up to 30 s for done to hold.
  static bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 300; ++i) {
      if (done()) {
        return true;
      }
      ::Sleep(100);
    }
    return false;
  }

private:
  HWND FindWindowOfProcess() const {
    for (HWND window = ::FindWindowExA(nullptr, nullptr, kMainWindowClass, nullptr); window;
         window = ::FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(window, &process);
      if (process == FProcess.dwProcessId) {
        return window;
      }
    }
    return nullptr;
  }

  PROCESS_INFORMATION FProcess = {};
  HWND FWindow = nullptr;
};

// Runs a console program to its end; its exit code, or -1.
int RunProgram(const NarrowString& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  NarrowString line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return -1;
  }
  ::WaitForSingleObject(process.hProcess, 120000);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

TEST(Win32Program, ImportsASampleBackupAndExportsItAsTheCommandLineDoes) {
  if (NarrowString(VELMORA_CONVERT_PROGRAM).empty()) {
    GTEST_SKIP() << "velmora-convert is not built: the conversion comes with the document service";
  }
  TTempFolder folder;
  const NarrowString program = folder.File("velmora.exe"); // its settings go beside it
  ASSERT_TRUE(::CopyFileA(VELMORA_PROGRAM, program.c_str(), FALSE));
  const NarrowString sample = ExpandFileName(VELMORA_SAMPLE_BACKUP);
  ASSERT_TRUE(FileExists(sample)) << sample;

  TRunningProgram velmora(program, folder.Path());
  ASSERT_NE(velmora.Window(), nullptr);
  velmora.SetText(idPageLMC, idLMCFile, sample);
  velmora.Click(idImport);
  const HWND list = velmora.Control(idPageSelect, idSelectList);
  const HWND pages = ::GetParent(velmora.Control(idPageSelect, idSelectList));
  ASSERT_TRUE(TRunningProgram::WaitFor([&] {
    return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0 &&
           ::SendMessageA(::GetParent(pages), TCM_GETCURSEL, 0, 0) == tsSelect;
  })) << "the import listed no backup";

  const NarrowString exported = folder.File("BUCH.ADR");
  velmora.SetText(idPageOutput, idOutFile, exported);
  velmora.Click(idExport);
  // The export has ended when the buttons are enabled again after it.
  const HWND exportBar = velmora.Control(idPageOutput, idExportBar);
  ASSERT_TRUE(TRunningProgram::WaitFor([&] {
    return FileExists(exported) && ::SendMessageA(exportBar, TB_ISBUTTONENABLED, idExport, 0) != 0;
  }));
  ASSERT_TRUE(velmora.Close());

  const NarrowString expected = folder.File("expected.ADR");
  ASSERT_EQ(RunProgram("\"" + NarrowString(VELMORA_CONVERT_PROGRAM) + "\" -o \"" + expected +
                       "\" \"" + sample + "\""),
            0);
  const NarrowString written = ReadWholeFile(exported);
  EXPECT_FALSE(written.empty());
  EXPECT_EQ(written, ReadWholeFile(expected));
  EXPECT_EQ(TIniFile(folder.File("velmora.INI")).ReadString("TfrmMain", "LMCFileName", ""), sample);
}

} // namespace
} // namespace velmora::testing
