#include "app/main_form.h"

#include <cmath>
#include <limits>

#include "app/application.h"
#include "app/conversion_commands.h"
#include "app/form_storage.h"
#include "docservice/document_service.h"
#include "platform/registry.h"
#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "xpath/xpath_document.h"

namespace velmora {

namespace {

const char* const kMobiusKey = "\\Software\\Kestrovan\\MobiusPX";

} // namespace

// The commands' way to the window.
class TfrmMain::TWindowHost final : public TConversionHost {
public:
  explicit TWindowHost(TMainWindowView& view) : FView(view) {}
  void SetStatusText(int panel, const NarrowString& text) override {
    FView.SetStatusText(panel, text);
  }
  void ProcessMessages() override { FView.ProcessMessages(); }
  NarrowString CountryCodeText() override { return FView.CountryCodeText(); }
  bool ConfirmOverwrite(const NarrowString& question) override {
    return FView.AskQuestion(question);
  }

private:
  TMainWindowView& FView;
};

TfrmMain::TfrmMain(TComponent* owner, TMainWindowView& view)
    : TCustomForm(owner, view), FView(view), FFormStorage1(new TFormStorage(this)) {
  FFormStorage1->SetName("FormStorage1");
  FFormStorage1->SetStoredProps({"seCountryCode.Value", "feLMCFile.Text", "feOutFile.Text"});
  FFormStorage1->OnRestorePlacement = [this] { FormStorage1RestorePlacement(); };
  FFormStorage1->OnSavePlacement = [this] { FormStorage1SavePlacement(); };
  FFormStorage1->Loaded();
  FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate() {
  FFormStorage1->SetIniFileRoot(piExeDir);
  FDomImpl.reset(new TvxDomImplementation);
  FDocument = nullptr;
  FView.SetActivePage(tsLMC);
}

// Every document the service loaded goes with it.
void TfrmMain::FormDestroy() {
  FDocument = nullptr;
  FDomImpl.reset();
}

NarrowString TfrmMain::ReadMobiusDefaultStorage() {
  TRegistry registry(Application().Environment().UserRegistry);
  if (!registry.OpenKeyReadOnly(kMobiusKey)) {
    return "Mobius.lmc";
  }
  // On Linux the phone manager runs under Wine and stores a Windows path.
  return registry.LocalFileName(registry.ReadString("DefaultStorage"));
}

void TfrmMain::FormStorage1RestorePlacement() {
  const NarrowString defaultStorage = ReadMobiusDefaultStorage();
  FView.SetFileNameText(feLMCFile, FFormStorage1->ReadSettingString("LMCFileName", defaultStorage));
  FView.SetFileNameText(feOutFile, FFormStorage1->ReadSettingString("OutFileName", "BUCH.ADR"));
  FView.SetCountryCodeValue(FFormStorage1->ReadSettingInteger("CountryCode", 49));
}

void TfrmMain::FormStorage1SavePlacement() {
  FFormStorage1->WriteSettingString("LMCFileName", FView.FileNameText(feLMCFile));
  FFormStorage1->WriteSettingString("OutFileName", FView.FileNameText(feOutFile));
  FFormStorage1->WriteSettingInteger("CountryCode", FView.CountryCodeValue());
}

void TfrmMain::ReleaseDocument() {
  TDomDocumentXPath* document = FDocument;
  FDocument = nullptr;
  if (document) {
    document->Free();
  }
}

void TfrmMain::btnImportClick() {
  FView.ClearRows();
  // A backup file may be large: the previous one need not stay beside the next.
  ReleaseDocument();
  FDocument = FDomImpl->LoadFromFile(UnquotedFileName(FView.FileNameText(feLMCFile)), ptXml);
  TWindowHost host(FView);
  int lastRow = kNoRow;
  ListBackups(*FDomImpl, FDocument, host, [this, &lastRow](const TBackupRow& row) {
    lastRow = FView.AppendRow(row.Device, row.Date, row.Folder);
  });
  if (lastRow != kNoRow) {
    FView.CheckSelectAndShowRow(lastRow);
  }
  FView.SetActivePage(tsSelect);
}

void TfrmMain::btnExportClick() {
  const int row = FView.SelectedRow();
  if (row == kNoRow) {
    return;
  }
  TWindowHost host(FView);
  auto* backup = static_cast<TDomNode*>(FView.RowData(row));
  ExportBackup(*FDomImpl, FDocument, backup, UnquotedFileName(FView.FileNameText(feOutFile)), host);
}

void TfrmMain::ImportButtonClicked() noexcept {
  RunCommand(&TfrmMain::btnImportClick);
}

void TfrmMain::ExportButtonClicked() noexcept {
  RunCommand(&TfrmMain::btnExportClick);
}

void TfrmMain::RunCommand(void (TfrmMain::*command)()) noexcept {
  // Events processed inside a command could start another one, which would clear rows the
  // running command still uses.
  if (FCommandRunning) {
    return;
  }
  FCommandRunning = true;
  Application().Guard([this] { FView.SetCommandsEnabled(false); });
  Application().Guard([this, command] { (this->*command)(); });
  Application().Guard([this] { FView.SetCommandsEnabled(true); });
  FCommandRunning = false;
}

std::optional<TStoredProperty> TfrmMain::FindStoredProperty(std::string_view component,
                                                            std::string_view property) {
  TStoredProperty stored;
  if (component == "seCountryCode" && property == "Value") {
    stored.Kind = TStoredProperty::pkFloat;
    stored.FloatDigits = 18;
    stored.Get = [this] { return TVariant(static_cast<double>(FView.CountryCodeValue())); };
    stored.Set = [this](const TVariant& value) {
      const double number = std::trunc(value.AsNumber());
      if (!(number >= std::numeric_limits<int>::min() &&
            number <= std::numeric_limits<int>::max())) {
        throw EConvertError("Value out of range");
      }
      FView.SetCountryCodeValue(static_cast<int>(number));
    };
    return stored;
  }
  const TFileNameField field = component == "feLMCFile" ? feLMCFile : feOutFile;
  if ((component == "feLMCFile" || component == "feOutFile") && property == "Text") {
    stored.Kind = TStoredProperty::pkString;
    stored.Get = [this, field] { return TVariant(FView.FileNameText(field)); };
    stored.Set = [this, field](const TVariant& value) {
      FView.SetFileNameText(field, value.AsString());
    };
    return stored;
  }
  return std::nullopt;
}

NarrowString UnquotedFileName(const NarrowString& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

NarrowString QuotedFileNameForField(const NarrowString& path) {
  if (path.find(' ') != NarrowString::npos && (path.empty() || path.front() != '"')) {
    return "\"" + path + "\"";
  }
  return path;
}

} // namespace velmora
