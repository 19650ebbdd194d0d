#pragma once
// The main window in Qt 6 Widgets: the view that TfrmMain drives.

#include <QMainWindow>

#include "app/main_view.h"

class QLabel;
class QMenu;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace velmora {

class TFileNameEdit;
class TfrmMain;

class TQtMainWindow : public QMainWindow, public TMainWindowView {
  Q_OBJECT

public:
  TQtMainWindow();

  // The form whose handlers the window's events run.
  void SetForm(TfrmMain* form) { FForm = form; }

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

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* CreateImportPage();
  QWidget* CreateSelectPage();
  QWidget* CreateOutputPage();
  void CreateStatusBar();
  TFileNameEdit* Field(TFileNameField field) const;

  TfrmMain* FForm = nullptr;
  QTabWidget* FPages = nullptr;
  TFileNameEdit* FLMCFile = nullptr;
  TFileNameEdit* FOutFile = nullptr;
  QToolButton* FImportButton = nullptr;
  QToolButton* FExportButton = nullptr;
  QTreeWidget* FSelectList = nullptr;
  QSpinBox* FCountryCode = nullptr;
  QLabel* FStatusPanels[2] = {nullptr, nullptr};
  QMenu* FSystemMenu = nullptr;
};

} // namespace velmora
