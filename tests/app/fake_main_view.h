#pragma once
// A main window without a screen: keeps what the logic sets and records what it asks.

#include <functional>
#include <vector>

#include "app/main_view.h"

namespace velmora::testing {

class TFakeMainView : public TMainWindowView {
public:
  struct TRow {
    NarrowString Caption;
    NarrowString SubItem;
    TRowData Data = nullptr;
    bool Checked = false;
  };

  // TFormWindow
  void SetCaption(const NarrowString& caption) override { Caption = caption; }
  TWindowPlacement Placement() const override { return CurrentPlacement; }
  // As the interface says: everything but the show command.
  void SetPlacement(const TWindowPlacement& placement) override {
    const int showCmd = CurrentPlacement.ShowCmd;
    CurrentPlacement = placement;
    CurrentPlacement.ShowCmd = showCmd;
    ++PlacementsApplied;
  }
  bool IsVisible() const override { return Visible; }
  TWindowState WindowState() const override { return State; }
  void SetWindowState(TWindowState state) override { State = state; }
  void PostApplicationMinimize() override { MinimizePosted = true; }
  bool IsApplicationMinimized() const override { return State == wsMinimized; }
  TScreenMetrics Screen() const override { return ScreenMetrics; }
  void AppendSystemMenuSeparator() override { SystemMenu.push_back({0, "-"}); }
  void AppendSystemMenuItem(int commandId, const NarrowString& caption) override {
    SystemMenu.push_back({commandId, caption});
  }
  void ShowAboutBox(const NarrowString& applicationName, const NarrowString& text) override {
    AboutBoxes.push_back({applicationName, text});
  }
  void ShowErrorBox(const NarrowString& title, const NarrowString& message) override {
    ErrorBoxes.push_back({title, message});
  }
  void ProcessMessages() override {
    if (OnProcessMessages) {
      OnProcessMessages();
    }
  }

  // TMainWindowView
  void SetActivePage(TMainPage page) override { ActivePage = page; }
  void ClearRows() override { Rows.clear(); }
  int AppendRow(const NarrowString& caption, const NarrowString& subItem, TRowData data) override {
    Rows.push_back({caption, subItem, data, false});
    return static_cast<int>(Rows.size()) - 1;
  }
  void CheckSelectAndShowRow(int row) override {
    Rows.at(static_cast<size_t>(row)).Checked = true;
    Selected = row;
  }
  int SelectedRow() const override { return Selected; }
  TRowData RowData(int row) const override { return Rows.at(static_cast<size_t>(row)).Data; }
  void SetStatusText(int panel, const NarrowString& text) override { StatusTexts[panel] = text; }
  NarrowString FileNameText(TFileNameField field) const override { return Fields[field]; }
  void SetFileNameText(TFileNameField field, const NarrowString& text) override {
    Fields[field] = text;
  }
  NarrowString CountryCodeText() const override { return std::to_string(CountryCode); }
  int CountryCodeValue() const override { return CountryCode; }
  void SetCountryCodeValue(int value) override { CountryCode = value; }
  bool AskQuestion(const NarrowString& text) override {
    Questions.push_back(text);
    return AnswerOk;
  }
  void SetCommandsEnabled(bool enabled) override {
    CommandsEnabledLog.push_back(enabled);
    if (OnSetCommandsEnabled) {
      OnSetCommandsEnabled(enabled);
    }
  }

  // The layout's initial values.
  NarrowString Caption;
  NarrowString Fields[2] = {"Mobius.lmc", "BUCH.ADR"};
  int CountryCode = 49;
  TMainPage ActivePage = tsOutput;
  std::vector<TRow> Rows;
  int Selected = kNoRow;
  NarrowString StatusTexts[2];

  TWindowPlacement CurrentPlacement{0, kShowNormal, {-1, -1}, {-1, -1}, {297, 169, 689, 342}};
  int PlacementsApplied = 0;
  bool Visible = false;
  TWindowState State = wsNormal;
  bool MinimizePosted = false;
  TScreenMetrics ScreenMetrics{1024, 768, 96};

  struct TMenuEntry {
    int CommandId;
    NarrowString Caption;
    bool operator==(const TMenuEntry&) const = default;
  };
  struct TBox {
    NarrowString Title;
    NarrowString Text;
    bool operator==(const TBox&) const = default;
  };
  std::vector<TMenuEntry> SystemMenu;
  std::vector<TBox> AboutBoxes;
  std::vector<TBox> ErrorBoxes;
  std::vector<NarrowString> Questions;
  bool AnswerOk = true;
  std::vector<bool> CommandsEnabledLog;
  std::function<void()> OnProcessMessages;
  std::function<void(bool)> OnSetCommandsEnabled;
};

} // namespace velmora::testing
