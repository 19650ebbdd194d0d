#include "cli/convert_tool.h"

#include <chrono>
#include <ostream>

#include "app/application.h"
#include "app/conversion_commands.h"
#include "docservice/document_service.h"
#include "runtime/exceptions.h"
#include "runtime/numbers.h"

namespace velmora {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: velmora-convert [--list] [--backup N] [--country-code CC] [-o FILE] [--force] BACKUP\n"
    "\n"
    "Writes the contacts of one backup in a Mobius backup file into a Phoner address file.\n"
    "\n"
    "  --list             print the backups that hold contacts, one line each:\n"
    "                     number, device, date (tab-separated); write nothing\n"
    "  --backup N         export backup N of that list (default: the last)\n"
    "  --country-code CC  the home country code (default 49)\n"
    "  -o FILE            the address file (default BUCH.ADR)\n"
    "  --force            overwrite an existing address file\n"
    "  --help             print this text\n"
    "\n"
    "Exit status: 0 done, 1 the conversion failed, 2 bad usage.\n";

struct TOptions {
  bool List = false;
  bool Force = false;
  int Backup = 0; // from 1; 0: the last
  NarrowString CountryCode = "49";
  NarrowString OutFile = "BUCH.ADR";
  NarrowString BackupFile;
};

// Reads the options; false, with the reason in problem, for bad usage.
bool ParseOptions(const std::vector<NarrowString>& arguments, TOptions& options,
                  NarrowString& problem) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const NarrowString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--list") {
      options.List = true;
    } else if (argument == "--force") {
      options.Force = true;
    } else if (argument == "--backup" || argument == "--country-code" || argument == "-o") {
      if (!hasValue) {
        problem = argument + " needs a value";
        return false;
      }
      const NarrowString& value = arguments[++i];
      if (argument == "-o") {
        options.OutFile = value;
        continue;
      }
      const std::optional<int32_t> number = TryStrToInt(value);
      if (!number || (argument == "--backup" && *number < 1)) {
        problem = argument + " needs " + (argument == "--backup" ? "a positive " : "an ") +
                  "integer, not '" + value + "'";
        return false;
      }
      if (argument == "--backup") {
        options.Backup = *number;
      } else {
        // As the window's spin field shows it.
        options.CountryCode = IntToStr(*number);
      }
    } else if (argument.size() > 1 && argument[0] == '-') {
      problem = "unknown option " + argument;
      return false;
    } else if (options.BackupFile.empty()) {
      options.BackupFile = argument;
    } else {
      problem = "one backup file only";
      return false;
    }
  }
  if (options.BackupFile.empty()) {
    problem = "no backup file";
    return false;
  }
  return true;
}

// The window's status bar as one line that is written over, on a terminal; nothing
// elsewhere.
class TConsoleHost final : public TConversionHost {
public:
  TConsoleHost(std::ostream& err, bool show, NarrowString countryCode, bool force)
      : FErr(err), FShow(show), FCountryCode(std::move(countryCode)), FForce(force) {}
  ~TConsoleHost() override {
    if (FDrawn) {
      FErr << "\r\x1b[K" << std::flush;
    }
  }

  void SetStatusText(int panel, const NarrowString& text) override {
    FPanels[panel == 0 ? 0 : 1] = text;
  }
  void ProcessMessages() override {
    const auto now = std::chrono::steady_clock::now();
    if (!FShow || (FDrawn && now - FLastDraw < std::chrono::milliseconds(100))) {
      return;
    }
    FLastDraw = now;
    FDrawn = true;
    FErr << "\r\x1b[K" << Fitted(FPanels[0] + "  " + FPanels[1]) << std::flush;
  }
  NarrowString CountryCodeText() override { return FCountryCode; }
  bool ConfirmOverwrite(const NarrowString&) override { return FForce; }

private:
  // At most one terminal line, cut between characters.
  static NarrowString Fitted(NarrowString line) {
    constexpr size_t kWidth = 79;
    if (line.size() > kWidth) {
      size_t cut = kWidth;
      while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
        --cut;
      }
      line.resize(cut);
    }
    return line;
  }

  std::ostream& FErr;
  bool FShow;
  NarrowString FCountryCode;
  bool FForce;
  NarrowString FPanels[2];
  bool FDrawn = false;
  std::chrono::steady_clock::time_point FLastDraw;
};

int Convert(const TOptions& options, std::ostream& out, std::ostream& err, bool progress,
            bool processEnds) {
  TOwned<TvxDomImplementation> service(new TvxDomImplementation);
  struct TLeaveToProcessEnd {
    TOwned<TvxDomImplementation>& Service;
    bool Leave;
    ~TLeaveToProcessEnd() {
      if (Leave) {
        static_cast<void>(Service.release());
      }
    }
  } leave{service, processEnds};
  TConsoleHost host(err, progress, options.CountryCode, options.Force);
  TDomDocumentXPath* document = service->LoadFromFile(options.BackupFile, ptXml);
  std::vector<TBackupRow> rows;
  ListBackups(*service, document, host, [&](const TBackupRow& row) { rows.push_back(row); });
  if (options.List) {
    for (size_t i = 0; i < rows.size(); ++i) {
      out << i + 1 << '\t' << rows[i].Device << '\t' << rows[i].Date << '\n';
    }
    return kSuccess;
  }
  if (rows.empty()) {
    throw EConvertError("No backup in " + options.BackupFile + " holds contacts");
  }
  const size_t chosen = options.Backup == 0 ? rows.size() : static_cast<size_t>(options.Backup);
  if (chosen > rows.size()) {
    throw EConvertError("There is no backup " + IntToStr(options.Backup) + ": " +
                        options.BackupFile + " lists " + IntToStr(rows.size()));
  }
  if (!ExportBackup(*service, document, rows[chosen - 1].Folder, options.OutFile, host)) {
    throw EConvertError(NarrowString(kOverwriteQuestion) + " (--force overwrites it)");
  }
  return kSuccess;
}

} // namespace

int RunConvertTool(const std::vector<NarrowString>& arguments, std::ostream& out, std::ostream& err,
                   bool progress, bool processEnds) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsageText;
    return kSuccess;
  }
  TOptions options;
  NarrowString problem;
  if (!ParseOptions(arguments, options, problem)) {
    err << "velmora-convert: " << problem << "\n" << kUsageText;
    return kUsage;
  }
  try {
    return Convert(options, out, err, progress, processEnds);
  } catch (const std::exception& failure) {
    err << "velmora-convert: " << TApplication::ErrorBoxText(FailureText(failure)) << '\n';
    return kFailure;
  }
}

} // namespace velmora
