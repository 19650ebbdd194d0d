#pragma once
// The main window's logic: three pages (import, select, export), the settings it keeps and
// the two commands. It talks to the window only through TMainWindowView.

#include "app/custom_form.h"
#include "app/main_view.h"

namespace velmora {

class TDomDocumentXPath;
class TFormStorage;
class TvxDomImplementation;

class TfrmMain : public TCustomForm {
public:
  // Creates the form with its settings component and runs FormCreate.
  TfrmMain(TComponent* owner, TMainWindowView& view);

  const char* ClassName() const override { return "TfrmMain"; }
  TMainWindowView& View() const { return FView; }
  TFormStorage* FormStorage1() const { return FFormStorage1; }
  // The document service, from FormCreate to FormDestroy, and the backup document of the
  // last import (the service's), or none.
  TvxDomImplementation* DomImpl() const { return FDomImpl.get(); }
  TDomDocumentXPath* Document() const { return FDocument; }

  // The command buttons: each runs its command inside the error guard, with both buttons
  // disabled meanwhile; a click while a command runs is ignored.
  void ImportButtonClicked() noexcept;
  void ExportButtonClicked() noexcept;
  bool CommandRunning() const { return FCommandRunning; }

  // Handlers.
  void FormCreate();
  void FormDestroy();
  void FormStorage1RestorePlacement();
  void FormStorage1SavePlacement();
  // Lists the backups with contacts of the backup file as rows, selects the last one and
  // shows page 2.
  void btnImportClick();
  // Writes the contacts of the selected row's backup into the address file.
  void btnExportClick();

  // The backup file name the phone manager uses by default, from its registry settings;
  // "Mobius.lmc" when it has none.
  NarrowString ReadMobiusDefaultStorage();

  std::optional<TStoredProperty> FindStoredProperty(std::string_view component,
                                                    std::string_view property) override;

protected:
  ~TfrmMain() override;
  void DoDestroy() override { FormDestroy(); }

private:
  void RunCommand(void (TfrmMain::*command)()) noexcept;

  class TWindowHost;

  // Frees the document of the last import, which no row refers to any more.
  void ReleaseDocument();

  TMainWindowView& FView;
  TFormStorage* FFormStorage1;
  TOwned<TvxDomImplementation> FDomImpl;
  TDomDocumentXPath* FDocument = nullptr;
  bool FCommandRunning = false;
};

// A file-name field's text without one enclosing pair of double quotes (the browse dialog
// quotes a path with a blank).
NarrowString UnquotedFileName(const NarrowString& text);

// A browsed path as the field shows it: enclosed in double quotes when it contains a blank.
NarrowString QuotedFileNameForField(const NarrowString& path);

// The browse filters of the two file-name fields, as description|pattern pairs.
constexpr const char* kLMCFileFilter =
    "Mobius Backup File (Mobius.lmc)|Mobius.lmc|All Files (*.*)|*.*";
constexpr const char* kOutFileFilter = "Phoner Adress File (BUCH.ADR)|BUCH.ADR|All Files (*.*)|*.*";

} // namespace velmora
