#pragma once
// The operations the main window's logic needs of its window, beyond those of any form.

#include "app/form_window.h"

namespace velmora {

enum TMainPage : uint8_t { tsLMC = 0, tsSelect = 1, tsOutput = 2 };
enum TFileNameField : uint8_t { feLMCFile = 0, feOutFile = 1 };

// The user-data reference a row of the device list carries.
using TRowData = void*;
constexpr int kNoRow = -1;

class TMainWindowView : public TFormWindow {
public:
  virtual void SetActivePage(TMainPage page) = 0;

  virtual void ClearRows() = 0;
  // Appends a row with a caption, one sub-item and user data; returns its index.
  virtual int AppendRow(const NarrowString& caption, const NarrowString& subItem,
                        TRowData data) = 0;
  // Sets the row's check mark, selects it and scrolls it fully into view.
  virtual void CheckSelectAndShowRow(int row) = 0;
  // The selected row, or kNoRow.
  virtual int SelectedRow() const = 0;
  virtual TRowData RowData(int row) const = 0;

  // panel 0 or 1 of the status bar.
  virtual void SetStatusText(int panel, const NarrowString& text) = 0;

  virtual NarrowString FileNameText(TFileNameField field) const = 0;
  virtual void SetFileNameText(TFileNameField field, const NarrowString& text) = 0;

  // The country code field's text as displayed, and its value: the integer its text
  // spells, or the last valid one.
  virtual NarrowString CountryCodeText() const = 0;
  virtual int CountryCodeValue() const = 0;
  virtual void SetCountryCodeValue(int value) = 0;

  // A question with a warning icon, the title "Warnung" and the buttons "OK" and
  // "Abbrechen"; true only for "OK".
  virtual bool AskQuestion(const NarrowString& text) = 0;

  virtual void SetCommandsEnabled(bool enabled) = 0;
};

} // namespace velmora
