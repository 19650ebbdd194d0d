#include "app/win32/main_window.h"

#include <shellapi.h>

#include <climits>

#include "app/main_form.h"
#include "app/win32/control_ids.h"
#include "app/win32/dialogs.h"
#include "app/win32/icons.h"
#include "runtime/numbers.h"

namespace velmora {

namespace {

constexpr const char* kPageClass = "TVelmoraPage";
constexpr int kClientWidth = 392;
constexpr int kClientHeight = 173;
constexpr int kStatusHeight = 19;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

const char* const kPageCaptions[3] = {"1 - Import from Mobius", "2 - Select Contacts",
                                      "3 - Export to Phoner"};

TWin32MainWindow* WindowOf(HWND window) {
  return reinterpret_cast<TWin32MainWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void InitCommonControlClasses() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  ::InitCommonControlsEx(&controls);
}

// Sizes a label to its caption in its font, as labels size themselves; the accelerator's
// "&" takes no room.
void FitLabelToCaption(HWND label) {
  char caption[128] = {};
  ::GetWindowTextA(label, caption, sizeof caption);
  NarrowString shown;
  for (const char* c = caption; *c; ++c) {
    if (*c != '&' || c[1] == '&') {
      shown += *c;
    }
  }
  const HDC dc = ::GetDC(label);
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)));
  SIZE size;
  ::GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(label, dc);
  ::SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

NarrowString WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  NarrowString text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

} // namespace

TWin32MainWindow::TWin32MainWindow(HINSTANCE instance) : FInstance(instance) {
  InitCommonControlClasses();
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = CreateApplicationIcon(32);
  windowClass.hIconSm = CreateApplicationIcon(16);
  windowClass.lpszClassName = kMainWindowClass;
  ::RegisterClassExA(&windowClass);
  WNDCLASSEXA pageClass = windowClass;
  pageClass.lpfnWndProc = PageProc;
  pageClass.hIcon = nullptr;
  pageClass.hIconSm = nullptr;
  pageClass.lpszClassName = kPageClass;
  ::RegisterClassExA(&pageClass);

  RECT frame = {0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  FWindow =
      ::CreateWindowExA(0, kMainWindowClass, "", kWindowStyle, 297, 169, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, this);
  CreateControls();
}

TWin32MainWindow::~TWin32MainWindow() {
  if (FWindow) {
    ::SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
    ::DestroyWindow(FWindow);
  }
  ::DeleteObject(FFont);
  ImageList_Destroy(FButtonImages);
}

LRESULT CALLBACK TWin32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TWin32MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->FWindow = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (TWin32MainWindow* self = WindowOf(window)) {
    return self->HandleMessage(message, wParam, lParam);
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32MainWindow::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  // The controls report to their page (and the page control to its panel); the main
  // window handles them all.
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    return ::SendMessageA(::GetAncestor(page, GA_ROOT), message, wParam, lParam);
  }
  return ::DefWindowProcA(page, message, wParam, lParam);
}

LRESULT TWin32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    HandleCommand(LOWORD(wParam), HIWORD(wParam));
    return 0;
  case WM_NOTIFY:
    HandleNotify(*reinterpret_cast<const NMHDR*>(lParam));
    return 0;
  case WM_SIZE:
    Layout();
    return 0;
  case WM_SYSCOMMAND:
    // The commands of entries added to the system menu come as they were given.
    for (const int command : FSystemCommands) {
      if (static_cast<int>(wParam) == command) {
        if (FForm) {
          FForm->HandleSystemCommand(command);
        }
        return 0;
      }
    }
    break;
  case WM_CLOSE:
    // The loop ends; the window goes after the form, whose destruction may still save.
    if (FForm) {
      FForm->HandleClose();
    }
    ::PostQuitMessage(0);
    return 0;
  case WM_NCDESTROY:
    FWindow = nullptr;
    break;
  default:
    break;
  }
  return ::DefWindowProcA(FWindow, message, wParam, lParam);
}

void TWin32MainWindow::HandleCommand(int id, int code) {
  switch (id) {
  case idImport:
    if (FForm) {
      FForm->ImportButtonClicked();
    }
    break;
  case idExport:
    if (FForm) {
      FForm->ExportButtonClicked();
    }
    break;
  case idLMCFileBrowse:
    Browse(feLMCFile);
    break;
  case idOutFileBrowse:
    Browse(feOutFile);
    break;
  case idCountryCode:
    if (code == EN_CHANGE) {
      CountryCodeValue(); // keeps the last valid value
    }
    break;
  default:
    break;
  }
}

void TWin32MainWindow::HandleNotify(const NMHDR& header) {
  if (header.idFrom == idPages && header.code == TCN_SELCHANGE) {
    ShowPage(static_cast<int>(::SendMessageA(FPages, TCM_GETCURSEL, 0, 0)));
  } else if (header.idFrom == idCountryCodeSpin && header.code == UDN_DELTAPOS) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    const long long value = static_cast<long long>(CountryCodeValue()) + change.iDelta;
    if (value >= INT_MIN && value <= INT_MAX) {
      SetCountryCodeValue(static_cast<int>(value));
    }
  }
}

void TWin32MainWindow::CreateControls() {
  const HDC screen = ::GetDC(nullptr);
  const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  FFont = ::CreateFontA(-::MulDiv(8, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  // pmMain: a panel with a lowered bevel, filled by the page control.
  FPanel = ::CreateWindowExA(WS_EX_STATICEDGE | WS_EX_CONTROLPARENT, kPageClass, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kClientWidth,
                             kClientHeight - kStatusHeight, FWindow,
                             reinterpret_cast<HMENU>(idPanel), FInstance, nullptr);
  FPages =
      ::CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, 0,
                        0, 390, 152, FPanel, reinterpret_cast<HMENU>(idPages), FInstance, nullptr);
  ::SendMessageA(FPages, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  for (int i = 0; i < 3; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kPageCaptions[i]);
    ::SendMessageA(FPages, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&item));
  }
  FButtonImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
  ImageList_AddIcon(FButtonImages, CreateImportIcon());
  ImageList_AddIcon(FButtonImages, CreateExportIcon());
  CreateImportPage();
  CreateSelectPage();
  CreateOutputPage();
  CreateStatusBar();
  Layout();
  ShowPage(0);
}

HWND TWin32MainWindow::CreatePage(int id) {
  return ::CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPCHILDREN, 0, 0,
                           382, 124, FPages, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           FInstance, nullptr);
}

void TWin32MainWindow::CreateFileNameField(HWND page, int labelId, const char* caption,
                                           int labelWidth, int editId, const char* text) {
  // The label comes before its field, so that its accelerator focuses the field.
  const HWND label = ::CreateWindowExA(
      0, "STATIC", caption, WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 16, labelWidth, 13, page,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(labelId)), FInstance, nullptr);
  const HWND edit = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 120, 12,
      204, 21, page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(editId)), FInstance, nullptr);
  const HWND browse = ::CreateWindowExA(
      0, "BUTTON", "...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 324, 12, 21, 21, page,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(editId + 1)), FInstance, nullptr);
  for (HWND control : {label, edit, browse}) {
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  }
  FitLabelToCaption(label);
}

HWND TWin32MainWindow::CreateCommandButton(HWND page, int barId, int commandId) {
  // A flat toolbar button: it shows its picture, has no caption and takes no focus.
  const HWND bar =
      ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | CCS_NORESIZE |
                            CCS_NOPARENTALIGN | CCS_NODIVIDER,
                        352, 11, 23, 22, page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(barId)),
                        FInstance, nullptr);
  ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FButtonImages));
  ::SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
  ::SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
  TBBUTTON button = {};
  button.iBitmap = commandId == idImport ? 0 : 1;
  button.idCommand = commandId;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  ::SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  return bar;
}

void TWin32MainWindow::CreateImportPage() {
  FPage[tsLMC] = CreatePage(idPageLMC);
  CreateFileNameField(FPage[tsLMC], idLabel1, "&Mobius Backup-File:", 96, idLMCFile, "Mobius.lmc");
  CreateCommandButton(FPage[tsLMC], idImportBar, idImport);
}

void TWin32MainWindow::CreateSelectPage() {
  FPage[tsSelect] = CreatePage(idPageSelect);
  const HWND list = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
      382, 124, FPage[tsSelect], reinterpret_cast<HMENU>(idSelectList), FInstance, nullptr);
  ::SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
  const char* const captions[2] = {"Device", "Date"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(captions[i]);
    column.cx = 100;
    ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&column));
  }
}

void TWin32MainWindow::CreateOutputPage() {
  const HWND page = FPage[tsOutput] = CreatePage(idPageOutput);
  CreateFileNameField(page, idLabel2, "&Phoner Adress File:", 91, idOutFile, "BUCH.ADR");
  CreateCommandButton(page, idExportBar, idExport);
  const HWND label =
      ::CreateWindowExA(0, "STATIC", "&Country Code:", WS_CHILD | WS_VISIBLE, 8, 44, 67, 13, page,
                        reinterpret_cast<HMENU>(idLabel3), FInstance, nullptr);
  const HWND edit =
      ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "49",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, 288, 40, 57,
                        21, page, reinterpret_cast<HMENU>(idCountryCode), FInstance, nullptr);
  for (HWND control : {label, edit}) {
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  }
  FitLabelToCaption(label);
  // The arrows change the value by 1 without limits; the window does the arithmetic.
  ::CreateWindowExA(0, UPDOWN_CLASSA, "",
                    WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0,
                    0, 0, page, reinterpret_cast<HMENU>(idCountryCodeSpin), FInstance, nullptr);
  ::SendMessageA(Control(idCountryCodeSpin), UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  ::SendMessageA(Control(idCountryCodeSpin), UDM_SETRANGE32, static_cast<WPARAM>(INT_MIN), INT_MAX);
}

void TWin32MainWindow::CreateStatusBar() {
  FStatus =
      ::CreateWindowExA(0, STATUSCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN,
                        0, 0, 0, 0, FWindow, reinterpret_cast<HMENU>(idStatus), FInstance, nullptr);
  ::SendMessageA(FStatus, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  const int edges[2] = {150, 200}; // panels of 150 and 50 pixels
  ::SendMessageA(FStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

void TWin32MainWindow::Layout() {
  if (!FStatus) {
    return;
  }
  RECT client;
  ::GetClientRect(FWindow, &client);
  const int width = client.right;
  const int height = client.bottom - kStatusHeight;
  ::MoveWindow(FStatus, 0, height, width, kStatusHeight, TRUE);
  ::MoveWindow(FPanel, 0, 0, width, height, TRUE);
  RECT inside;
  ::GetClientRect(FPanel, &inside);
  ::MoveWindow(FPages, 0, 0, inside.right, inside.bottom, TRUE);
  RECT display = {0, 0, inside.right, inside.bottom};
  ::SendMessageA(FPages, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (HWND page : FPage) {
    ::MoveWindow(page, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, TRUE);
  }
  // lvSelect fills its page; "Date" takes the width that "Device" leaves.
  const HWND list = Control(idSelectList);
  ::MoveWindow(list, 0, 0, display.right - display.left, display.bottom - display.top, TRUE);
  ::SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

void TWin32MainWindow::ShowPage(int index) {
  for (int i = 0; i < 3; ++i) {
    ::ShowWindow(FPage[i], i == index ? SW_SHOW : SW_HIDE);
  }
}

void TWin32MainWindow::Browse(TFileNameField field) {
  NarrowString path = UnquotedFileName(FileNameText(field));
  if (BrowseForExistingFile(FWindow, field == feLMCFile ? kLMCFileFilter : kOutFileFilter, path)) {
    SetFileNameText(field, QuotedFileNameForField(path));
  }
}

HWND TWin32MainWindow::Control(int id) const {
  for (HWND page : FPage) {
    if (const HWND control = page ? ::GetDlgItem(page, id) : nullptr) {
      return control;
    }
  }
  return nullptr;
}

void TWin32MainWindow::Show() {
  if (FForm && !FShown) {
    FShown = true;
    FForm->HandleShow();
  }
  ::ShowWindow(FWindow, FShowCommand);
  ::UpdateWindow(FWindow);
}

int TWin32MainWindow::RunMessageLoop() {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!FWindow || !::IsDialogMessageA(FWindow, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

void TWin32MainWindow::SetCaption(const NarrowString& caption) {
  ::SetWindowTextA(FWindow, caption.c_str());
}

TWindowPlacement TWin32MainWindow::Placement() const {
  WINDOWPLACEMENT system = {};
  system.length = sizeof system;
  ::GetWindowPlacement(FWindow, &system);
  TWindowPlacement placement;
  placement.Flags = system.flags;
  placement.ShowCmd = static_cast<int>(system.showCmd);
  placement.MinPosition = {system.ptMinPosition.x, system.ptMinPosition.y};
  placement.MaxPosition = {system.ptMaxPosition.x, system.ptMaxPosition.y};
  const RECT& r = system.rcNormalPosition;
  placement.NormalPosition = {r.left, r.top, r.right, r.bottom};
  return placement;
}

void TWin32MainWindow::SetPlacement(const TWindowPlacement& placement) {
  WINDOWPLACEMENT system = {};
  system.length = sizeof system;
  ::GetWindowPlacement(FWindow, &system);
  // The state stays: a hidden window stays hidden.
  if (!::IsWindowVisible(FWindow)) {
    system.showCmd = SW_HIDE;
  }
  system.flags = placement.Flags;
  system.ptMinPosition = {placement.MinPosition.X, placement.MinPosition.Y};
  system.ptMaxPosition = {placement.MaxPosition.X, placement.MaxPosition.Y};
  const TRect& r = placement.NormalPosition;
  system.rcNormalPosition = {r.Left, r.Top, r.Right, r.Bottom};
  ::SetWindowPlacement(FWindow, &system);
}

bool TWin32MainWindow::IsVisible() const {
  return ::IsWindowVisible(FWindow) != FALSE;
}

TWindowState TWin32MainWindow::WindowState() const {
  if (!IsVisible()) {
    return FShowCommand == SW_SHOWMAXIMIZED   ? wsMaximized
           : FShowCommand == SW_SHOWMINIMIZED ? wsMinimized
                                              : wsNormal;
  }
  if (::IsIconic(FWindow)) {
    return wsMinimized;
  }
  return ::IsZoomed(FWindow) ? wsMaximized : wsNormal;
}

void TWin32MainWindow::SetWindowState(TWindowState state) {
  const int command = state == wsMaximized   ? SW_SHOWMAXIMIZED
                      : state == wsMinimized ? SW_SHOWMINIMIZED
                                             : SW_SHOWNORMAL;
  if (IsVisible()) {
    ::ShowWindow(FWindow, command);
  } else {
    FShowCommand = command; // Show uses it
  }
}

void TWin32MainWindow::PostApplicationMinimize() {
  ::PostMessageA(FWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

bool TWin32MainWindow::IsApplicationMinimized() const {
  return ::IsIconic(FWindow) != FALSE;
}

TScreenMetrics TWin32MainWindow::Screen() const {
  TScreenMetrics metrics;
  metrics.Width = ::GetSystemMetrics(SM_CXSCREEN);
  metrics.Height = ::GetSystemMetrics(SM_CYSCREEN);
  const HDC screen = ::GetDC(nullptr);
  metrics.PixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return metrics;
}

void TWin32MainWindow::AppendSystemMenuSeparator() {
  ::AppendMenuA(::GetSystemMenu(FWindow, FALSE), MF_SEPARATOR, 0, nullptr);
}

void TWin32MainWindow::AppendSystemMenuItem(int commandId, const NarrowString& caption) {
  ::AppendMenuA(::GetSystemMenu(FWindow, FALSE), MF_STRING, static_cast<UINT_PTR>(commandId),
                caption.c_str());
  FSystemCommands.push_back(commandId);
}

void TWin32MainWindow::ShowAboutBox(const NarrowString& applicationName, const NarrowString& text) {
  ::ShellAboutA(FWindow, applicationName.c_str(), text.c_str(),
                reinterpret_cast<HICON>(::GetClassLongPtrA(FWindow, GCLP_HICON)));
}

void TWin32MainWindow::ShowErrorBox(const NarrowString& title, const NarrowString& message) {
  ::MessageBoxA(FWindow, message.c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
}

void TWin32MainWindow::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop that runs the program ends on it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (!FWindow || !::IsDialogMessageA(FWindow, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

void TWin32MainWindow::SetActivePage(TMainPage page) {
  ::SendMessageA(FPages, TCM_SETCURSEL, page, 0);
  ShowPage(page);
}

void TWin32MainWindow::ClearRows() {
  ::SendMessageA(Control(idSelectList), LVM_DELETEALLITEMS, 0, 0);
}

int TWin32MainWindow::AppendRow(const NarrowString& caption, const NarrowString& subItem,
                                TRowData data) {
  const HWND list = Control(idSelectList);
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(caption.c_str());
  item.lParam = reinterpret_cast<LPARAM>(data);
  const int row =
      static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  LVITEMA sub = {};
  sub.iSubItem = 1;
  sub.pszText = const_cast<char*>(subItem.c_str());
  ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
  return row;
}

void TWin32MainWindow::CheckSelectAndShowRow(int row) {
  const HWND list = Control(idSelectList);
  ListView_SetCheckState(list, row, TRUE);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, FALSE);
}

int TWin32MainWindow::SelectedRow() const {
  const int row = ListView_GetNextItem(Control(idSelectList), -1, LVNI_SELECTED);
  return row < 0 ? kNoRow : row;
}

TRowData TWin32MainWindow::RowData(int row) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!::SendMessageA(Control(idSelectList), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
    return nullptr;
  }
  return reinterpret_cast<TRowData>(item.lParam);
}

void TWin32MainWindow::SetStatusText(int panel, const NarrowString& text) {
  if (panel == 0 || panel == 1) {
    ::SendMessageA(FStatus, SB_SETTEXTA, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(text.c_str()));
  }
}

NarrowString TWin32MainWindow::FileNameText(TFileNameField field) const {
  return WindowText(Control(field == feLMCFile ? idLMCFile : idOutFile));
}

void TWin32MainWindow::SetFileNameText(TFileNameField field, const NarrowString& text) {
  ::SetWindowTextA(Control(field == feLMCFile ? idLMCFile : idOutFile), text.c_str());
}

NarrowString TWin32MainWindow::CountryCodeText() const {
  return WindowText(Control(idCountryCode));
}

int TWin32MainWindow::CountryCodeValue() const {
  if (const auto value = TryStrToInt(Trim(CountryCodeText()))) {
    FCountryCode = *value;
  }
  return FCountryCode;
}

void TWin32MainWindow::SetCountryCodeValue(int value) {
  FCountryCode = value;
  ::SetWindowTextA(Control(idCountryCode), IntToStr(value).c_str());
}

bool TWin32MainWindow::AskQuestion(const NarrowString& text) {
  return AskOkCancel(FWindow, FFont, "Warnung", text);
}

void TWin32MainWindow::SetCommandsEnabled(bool enabled) {
  ::SendMessageA(Control(idImportBar), TB_ENABLEBUTTON, idImport, MAKELPARAM(enabled, 0));
  ::SendMessageA(Control(idExportBar), TB_ENABLEBUTTON, idExport, MAKELPARAM(enabled, 0));
}

} // namespace velmora
