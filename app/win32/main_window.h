#pragma once
// The main window in Win32: the view that TfrmMain drives, with the controls of the
// layout at their designed geometry.

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "app/main_view.h"

namespace velmora {

class TfrmMain;

class TWin32MainWindow : public TMainWindowView {
public:
  // Creates the window, hidden, with all its controls.
  explicit TWin32MainWindow(HINSTANCE instance);
  TWin32MainWindow(const TWin32MainWindow&) = delete;
  TWin32MainWindow& operator=(const TWin32MainWindow&) = delete;
  ~TWin32MainWindow() override;

  HWND Handle() const { return FWindow; }
  // The form whose handlers the window's events run.
  void SetForm(TfrmMain* form) { FForm = form; }

  // The first showing: the form restores its settings, then the window appears in the
  // state they chose.
  void Show();
  // Runs the message loop until the window is asked to close; returns the exit code. The
  // window goes with this object, after the form.
  int RunMessageLoop();

  // TFormWindow
  void SetCaption(const NarrowString& caption) override;
  TWindowPlacement Placement() const override;
  void SetPlacement(const TWindowPlacement& placement) override;
  bool IsVisible() const override;
  TWindowState WindowState() const override;
  void SetWindowState(TWindowState state) override;
  void PostApplicationMinimize() override;
  bool IsApplicationMinimized() const override;
  TScreenMetrics Screen() const override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(int commandId, const NarrowString& caption) override;
  void ShowAboutBox(const NarrowString& applicationName, const NarrowString& text) override;
  void ShowErrorBox(const NarrowString& title, const NarrowString& message) override;
  void ProcessMessages() override;

  // TMainWindowView
  void SetActivePage(TMainPage page) override;
  void ClearRows() override;
  int AppendRow(const NarrowString& caption, const NarrowString& subItem, TRowData data) override;
  void CheckSelectAndShowRow(int row) override;
  int SelectedRow() const override;
  TRowData RowData(int row) const override;
  void SetStatusText(int panel, const NarrowString& text) override;
  NarrowString FileNameText(TFileNameField field) const override;
  void SetFileNameText(TFileNameField field, const NarrowString& text) override;
  NarrowString CountryCodeText() const override;
  int CountryCodeValue() const override;
  void SetCountryCodeValue(int value) override;
  bool AskQuestion(const NarrowString& text) override;
  void SetCommandsEnabled(bool enabled) override;

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleCommand(int id, int code);
  void HandleNotify(const NMHDR& header);
  void CreateControls();
  HWND CreatePage(int id);
  void CreateImportPage();
  void CreateSelectPage();
  void CreateOutputPage();
  void CreateFileNameField(HWND page, int labelId, const char* caption, int labelWidth, int editId,
                           const char* text);
  HWND CreateCommandButton(HWND page, int barId, int commandId);
  void CreateStatusBar();
  void Layout();
  void ShowPage(int index);
  void Browse(TFileNameField field);
  HWND Control(int id) const;

  HINSTANCE FInstance;
  HWND FWindow = nullptr;
  HWND FPanel = nullptr;
  HWND FPages = nullptr;
  HWND FPage[3] = {nullptr, nullptr, nullptr};
  HWND FStatus = nullptr;
  HFONT FFont = nullptr;
  HIMAGELIST FButtonImages = nullptr;
  TfrmMain* FForm = nullptr;
  bool FShown = false;
  // The state to show the window in while it is still hidden.
  int FShowCommand = SW_SHOWNORMAL;
  mutable int FCountryCode = 49; // the last valid value of the field
  std::vector<int> FSystemCommands;
};

} // namespace velmora
