#include "app/win32/dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "runtime/files.h"

namespace velmora {

namespace {

constexpr int kTextId = 100;
constexpr int kIconId = 101;

// A dialog template in memory: the header, then its items, each aligned to a DWORD.
class TDialogTemplate {
public:
  TDialogTemplate(const char* title, short width, short height) {
    DLGTEMPLATE header = {};
    header.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cx = width;
    header.cy = height;
    Append(&header, sizeof header);
    Word(0); // no menu
    Word(0); // the standard dialog class
    Text(title);
    Word(8); // the font, in points
    Text("MS Sans Serif");
  }

  void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD atom,
            const char* text) {
    Align();
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = width;
    item.cy = height;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(atom);
    Text(text);
    Word(0); // no creation data
    reinterpret_cast<DLGTEMPLATE*>(FBytes.data())->cdit++;
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(FBytes.data()); }

private:
  void Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    FBytes.insert(FBytes.end(), bytes, bytes + size);
  }
  void Word(WORD value) { Append(&value, sizeof value); }
  void Text(const char* text) {
    const WideString wide = NarrowToWide(text);
    Append(wide.data(), wide.size() * sizeof(char16_t));
    Word(0);
  }
  void Align() {
    while (FBytes.size() % 4 != 0) {
      FBytes.push_back(0);
    }
  }

  std::vector<unsigned char> FBytes;
};

struct TQuestion {
  const NarrowString* Text;
};

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG: {
    const auto* question = reinterpret_cast<const TQuestion*>(lParam);
    ::SetDlgItemTextA(dialog, kTextId, question->Text->c_str());
    ::SendDlgItemMessageA(dialog, kIconId, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIconA(nullptr, IDI_WARNING)), 0);
    ::MessageBeep(MB_ICONWARNING);
    return TRUE;
  }
  case WM_COMMAND:
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
      ::EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    break;
  default:
    break;
  }
  return FALSE;
}

// The text's size in dialog units with the dialog font, at most maxWidth wide.
SIZE TextSizeInDialogUnits(HFONT font, const NarrowString& text, int maxWidth) {
  const HDC dc = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA metrics;
  ::GetTextMetricsA(dc, &metrics);
  SIZE average;
  ::GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &average);
  const int baseX = std::max<int>(1, (average.cx / 26 + 1) / 2);
  const int baseY = std::max<int>(1, metrics.tmHeight);
  RECT bounds = {0, 0, ::MulDiv(maxWidth, baseX, 4), 0};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return SIZE{::MulDiv(bounds.right, 4, baseX) + 2, ::MulDiv(bounds.bottom, 8, baseY) + 2};
}

NarrowString DialogFilter(std::string_view filter) {
  // The dialog takes the pairs separated by NULs and ended by two.
  NarrowString result(filter);
  std::replace(result.begin(), result.end(), '|', '\0');
  result.append(2, '\0');
  return result;
}

} // namespace

bool AskOkCancel(HWND owner, HFONT font, const NarrowString& title, const NarrowString& text) {
  const SIZE size = TextSizeInDialogUnits(font, text, 220);
  const short textWidth = static_cast<short>(std::max<LONG>(size.cx, 100));
  const short textHeight = static_cast<short>(std::max<LONG>(size.cy, 20));
  const short width = static_cast<short>(textWidth + 46);
  const short buttonsTop = static_cast<short>(textHeight + 16);
  TDialogTemplate dialog(title.c_str(), width, static_cast<short>(buttonsTop + 22));
  dialog.Item(SS_ICON, 8, 8, 21, 20, kIconId, 0x0082, "");
  dialog.Item(SS_LEFT | SS_NOPREFIX, 38, 8, textWidth, textHeight, kTextId, 0x0082, "");
  const short left = static_cast<short>(width / 2 - 53);
  dialog.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, left, buttonsTop, 50, 14, IDOK, 0x0080,
              "OK");
  dialog.Item(BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(left + 56), buttonsTop, 50, 14,
              IDCANCEL, 0x0080, "Abbrechen");
  TQuestion question{&text};
  return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), dialog.Get(), owner, QuestionProc,
                                   reinterpret_cast<LPARAM>(&question)) == IDOK;
}

bool BrowseForExistingFile(HWND owner, std::string_view filter, NarrowString& path) {
  const NarrowString filters = DialogFilter(filter);
  const NarrowString folder = ExtractFileDir(path);
  std::vector<char> file(32768, '\0');
  const NarrowString name = ExtractFileName(path);
  std::copy_n(name.begin(), std::min(name.size(), file.size() - 1), file.begin());
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (!::GetOpenFileNameA(&dialog)) {
    return false;
  }
  path = file.data();
  return true;
}

} // namespace velmora
