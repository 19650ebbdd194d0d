#include "docservice/html/tidy.h"

#include <optional>

#include "docservice/html/markup_recognition.h"
#include "docservice/html/markup_scan.h"
#include "docservice/html/orphan_forms.h"
#include "docservice/html/script_prescan.h"
#include "docservice/html/tidy_document.h"
#include "docservice/html/tidy_reports.h"
#include "runtime/format.h"
#include "runtime/text_file.h"

namespace velmora {

namespace {

constexpr const char* kNullDevice = "/dev/null";

TidyOptionId TagOption(bool inlineTags) {
  return inlineTags ? TidyInlineTags : TidyEmptyTags;
}

} // namespace

// The library's messages reach the wrapper here. Nothing may unwind through the library's
// frames, so a failure of a report handler waits until the library call returns.
struct TTidyCallbacks {
  static Bool TIDY_CALL Message(TidyMessage message) {
    auto* tidy = static_cast<TTidy*>(tidyGetAppData(tidyGetMessageDoc(message)));
    TidyReportLevel level;
    if (!tidy || tidy->FPendingFailure ||
        !ReportLevelFromLibrary(tidyGetMessageLevel(message), level)) {
      return yes;
    }
    const char* text = tidyGetMessage(message);
    const int line = tidyGetMessageLine(message);
    const int col = tidyGetMessageColumn(message);
    try {
      tidy->ReportFilter(level, line > 0 ? static_cast<unsigned>(line) : 0,
                         col > 0 ? static_cast<unsigned>(col) : 0, text ? text : "");
    } catch (...) {
      tidy->FPendingFailure = std::current_exception();
    }
    return yes;
  }
};

// The error file of a run. It is a convenience: failing to create or write it changes
// nothing else.
class TTidy::TErrorFileWriter {
public:
  explicit TErrorFileWriter(const NarrowString& fileName) {
    try {
      FFile.emplace(fileName);
    } catch (const Exception&) {
      FFile.reset();
    }
  }

  void Write(std::string_view text) {
    if (!FFile) {
      return;
    }
    try {
      FFile->Write(text);
    } catch (const Exception&) {
      FFile.reset();
    }
  }

private:
  std::optional<TTextFile> FFile;
};

TEncodingScope::TEncodingScope(TidyDoc doc, TidyOptionId option, std::string_view name)
    : FDoc(doc), FOption(option) {
  const char* saved = tidyOptGetEncName(doc, option);
  FSaved = saved ? saved : "raw";
  const NarrowString value(name);
  if (option == TidyInCharEncoding) {
    tidySetInCharEncoding(doc, value.c_str());
  } else {
    tidySetOutCharEncoding(doc, value.c_str());
  }
}

TEncodingScope::~TEncodingScope() {
  if (FOption == TidyInCharEncoding) {
    tidySetInCharEncoding(FDoc, FSaved.c_str());
  } else {
    tidySetOutCharEncoding(FDoc, FSaved.c_str());
  }
}

TTidy::TTidy(TComponent* owner) : TComponent(owner), FLibrary(std::make_unique<TLibrary>()) {
  // The recording rules read the library's English messages, whatever the user's locale.
  static const bool english = tidySetLanguage("en") != no;
  (void)english;
  FLibrary->Doc = TTidyDocument::Create();
  FLibrary->Errors = std::make_unique<TTidyBuffer>();
  tidySetAppData(FLibrary->doc(), this);
  tidySetMessageCallback(FLibrary->doc(), &TTidyCallbacks::Message);
  tidySetErrorBuffer(FLibrary->doc(), FLibrary->Errors->get());
  SetMark(false);
  tidyOptSetValue(FLibrary->doc(), TidyErrFile, kNullDevice);
  SelectOutputKind(omHTML);
  Reset();
}

TTidy::~TTidy() = default;

void TTidy::ReplaceDocument() {
  TTidyDocument fresh = TTidyDocument::Create();
  tidyOptCopyConfig(fresh.get(), FLibrary->doc());
  auto errors = std::make_unique<TTidyBuffer>();
  tidySetAppData(fresh.get(), this);
  tidySetMessageCallback(fresh.get(), &TTidyCallbacks::Message);
  tidySetErrorBuffer(fresh.get(), errors->get());
  // The old document goes before the buffer it writes into.
  FLibrary->Doc = std::move(fresh);
  FLibrary->Errors = std::move(errors);
}

void TTidy::Reset() {
  // Before the copy: a fresh document must not learn the tags of the last run.
  RestoreTagOptions();
  ReplaceDocument();
  FInput = {};
  FLibrary->Input.Clear();
  FUnknownTags.Forget();
  FMissingFormEnds = 0;
  FImplicitForms = 0;
  FPendingFailure = nullptr;
  FLibraryMessages.clear();
}

void TTidy::SelectOutputKind(TidyOutputMode mode) {
  const TidyDoc doc = FLibrary->doc();
  switch (mode) {
  case omXHTML:
    SetFlagOption(doc, TidyXhtmlOut, true);
    SetFlagOption(doc, TidyXmlOut, false);
    SetFlagOption(doc, TidyHtmlOut, false);
    break;
  case omXML:
    SetFlagOption(doc, TidyXmlOut, true);
    SetFlagOption(doc, TidyXhtmlOut, false);
    SetFlagOption(doc, TidyHtmlOut, false);
    break;
  case omHTML:
  case omAuto:
    SetFlagOption(doc, TidyHtmlOut, true);
    SetFlagOption(doc, TidyXmlOut, false);
    SetFlagOption(doc, TidyXhtmlOut, false);
    break;
  }
}

TidyOutputMode TTidy::CurrentOutputKind() const {
  const TidyDoc doc = FLibrary->doc();
  if (GetFlagOption(doc, TidyXmlOut)) {
    return omXML;
  }
  return GetFlagOption(doc, TidyXhtmlOut) ? omXHTML : omHTML;
}

NarrowString TTidy::LineEnd() const {
  return NarrowString(LineEndOf(tidyOptGetInt(FLibrary->doc(), TidyNewline)));
}

NarrowString TTidy::CleanText(std::string_view text) {
  Reset();
  FInput = text;
  SelectOutputKind(FOutputMode);
  if (FCongruent) {
    SetIndent(0);
  }
  FErrorFileWriter.reset();
  if (!FErrorFile.empty()) {
    FErrorFileWriter = std::make_unique<TErrorFileWriter>(FErrorFile);
  }
  // The error file is closed on every path, also when a handler raises.
  struct TCloseErrorFile {
    std::unique_ptr<TErrorFileWriter>& File;
    ~TCloseErrorFile() { File.reset(); }
  } closeErrorFile{FErrorFileWriter};

  NarrowString output;
  for (int pass = 1; pass <= 2; ++pass) {
    FLibrary->Input.Assign(FInput);
    if (pass == 1) {
      CompleteInput();
    }
    const int status = ParseInput();
    if (status >= 0) {
      output = CleanAndSave();
      if (output.size() < 3 && !output.empty() && (output[0] == '\n' || output[0] == '\r')) {
        output.clear();
      }
    }
    if (!FAllowUnknownTags || FUnknownTags.Empty() || pass == 2) {
      break;
    }
    ReportFilter(TidyInfo, 0, 0, "Processing unrecognized tags");
    ReplaceDocument();
    ExtendTagOptions();
  }
  FLibraryMessages = NarrowString(FLibrary->Errors->Text());
  if (FErrorFileWriter) {
    WriteSummary();
  }
  FInput = {};
  return output;
}

int TTidy::ParseInput() {
  const std::string_view bytes = FLibrary->Input.Text();
  if (NestingDepth(bytes, kMaxNestingDepth) > kMaxNestingDepth) {
    throw ETidyError(Format("HTML nests deeper than %d levels.",
                            {static_cast<int>(kMaxNestingDepth)}));
  }
  const int status = tidyParseBuffer(FLibrary->doc(), FLibrary->Input.get());
  RethrowPendingFailure();
  return status;
}

void TTidy::CompleteInput() {
  TTidyBuffer& input = FLibrary->Input;
  if (OnInputComplete) {
    TidyBuffer* buffer = input.get();
    OnInputComplete(this, reinterpret_cast<char*>(buffer->bp), buffer->size);
  }
  if (FOutputMode == omAuto && PassesByteOrderMarkCheck()) {
    AdjustToMarkup();
  }
  if (FPreScanScripts && !XmlTags() && PassesByteOrderMarkCheck()) {
    if (std::optional<NarrowString> protectedText = ProtectScripts(input.Text())) {
      input.Assign(*protectedText);
    }
  }
}

bool TTidy::PassesByteOrderMarkCheck() {
  switch (ByteOrderMarkOf(FLibrary->Input.Text())) {
  case bomUtf8:
    ReportFilter(TidyWarning, 1, 1, "[Marrow] UTF-8 BOM detected, skipping document pre-processing");
    return false;
  case bomUtf16:
    ReportFilter(TidyWarning, 1, 1,
                 "[Marrow] UTF-16/UCS-2 BOM detected, skipping document pre-processing");
    return false;
  case bomNone:
    break;
  }
  return true;
}

void TTidy::AdjustToMarkup() {
  const TMarkupKind kind = RecognizeMarkup(FLibrary->Input.Text());
  if (kind == mkUnknown) {
    ReportFilter(TidyInfo, 0, 0, "Autodetect failed, unable to determine markup language of input");
    return;
  }
  ReportFilter(TidyInfo, 0, 0,
               "Autodetect enabled, assuming input is " + NarrowString(MarkupKindName(kind)));
  switch (kind) {
  case mkXml:
    SetUpperCaseTags(false);
    SetXmlTags(true);
    if (CurrentOutputKind() != omXML) {
      SelectOutputKind(omXML);
    }
    break;
  case mkXhtml:
    SetXmlTags(false);
    if (CurrentOutputKind() == omXML) {
      SelectOutputKind(omXHTML);
    }
    if (CurrentOutputKind() == omXHTML) {
      SetUpperCaseTags(false);
    }
    break;
  case mkHtml:
    SetXmlTags(false);
    if (CurrentOutputKind() == omXML) {
      SelectOutputKind(omHTML);
    }
    break;
  case mkUnknown:
    break;
  }
}

NarrowString TTidy::CleanAndSave() {
  const TidyDoc doc = FLibrary->doc();
  int rounds = 0;
  NarrowString previous;
  for (;;) {
    tidyCleanAndRepair(doc);
    RethrowPendingFailure();
    tidyRunDiagnostics(doc);
    RethrowPendingFailure();
    if (FMergeOrphanForms && FImplicitForms > 0) {
      MergeOrphanedForms();
    }
    TTidyBuffer saved;
    tidySaveBuffer(doc, saved.get());
    RethrowPendingFailure();
    const std::string_view text = saved.Text();
    bool done = true;
    if (FCongruent) {
      done = text.empty() || previous.starts_with(text);
      if (!done) {
        ParseOwnOutput(text);
        ++rounds;
      }
    }
    previous = NarrowString(text);
    if (done || rounds >= kMaxRounds) {
      break;
    }
  }
  if (FCongruent) {
    FCongruent = rounds < kMaxRounds;
  }
  return previous;
}

void TTidy::ParseOwnOutput(std::string_view output) {
  const TidyDoc doc = FLibrary->doc();
  const char* written = tidyOptGetEncName(doc, TidyOutCharEncoding);
  const TEncodingScope sameEncoding(doc, TidyInCharEncoding, written ? written : "raw");
  const NarrowString text(output);
  tidyParseString(doc, text.c_str());
  RethrowPendingFailure();
}

void TTidy::MergeOrphanedForms() {
  const TidyDoc doc = FLibrary->doc();
  TMarkupWriterSettings settings;
  settings.UpperCaseNames = UpperCaseTags() && !GetFlagOption(doc, TidyXmlOut);
  settings.LineEnd = LineEndOf(tidyOptGetInt(doc, TidyNewline));
  settings.EmptyTags = GetStringOption(doc, TidyEmptyTags);
  NarrowString lastEmitted;
  for (int round = 0; round < kMaxRounds; ++round) {
    tTidyBus bus;
    {
      // The markup is written and parsed again in UTF-8, the library's own encoding, so
      // no character is lost on the way.
      const TEncodingScope utf8Out(doc, TidyOutCharEncoding, "utf8");
      const TMarkupWriter writer(doc, settings);
      if (!FindOrphanForm(doc, writer, bus)) {
        break;
      }
      ReportFilter(TidyInfo, 0, 0, "[Marrow] merging orphaned form elements.");
      bus.EmittedDocument = MergedDocument(writer, bus);
    }
    if (round > 0 && bus.EmittedDocument == lastEmitted) {
      break;
    }
    {
      const TEncodingScope utf8In(doc, TidyInCharEncoding, "utf8");
      tidyParseString(doc, bus.EmittedDocument.c_str());
      RethrowPendingFailure();
    }
    tidyCleanAndRepair(doc);
    RethrowPendingFailure();
    tidyRunDiagnostics(doc);
    RethrowPendingFailure();
    lastEmitted = std::move(bus.EmittedDocument);
  }
  FMissingFormEnds = 0;
  FImplicitForms = 0;
}

void TTidy::ExtendTagOptions() {
  const TidyDoc doc = FLibrary->doc();
  FUnknownTags.SaveOptions(GetStringOption(doc, TidyInlineTags), GetStringOption(doc, TidyEmptyTags));
  const NarrowString inlineTags =
      tUnknownTags::Extended(FUnknownTags.SavedInlineTags(), FUnknownTags.Names());
  const NarrowString emptyTags =
      tUnknownTags::Extended(FUnknownTags.SavedEmptyTags(), FUnknownTags.NamesWithoutEndTag());
  tidyOptSetValue(doc, TagOption(true), inlineTags.c_str());
  tidyOptSetValue(doc, TagOption(false), emptyTags.c_str());
}

void TTidy::RestoreTagOptions() {
  if (!FUnknownTags.HasSavedOptions()) {
    return;
  }
  const TidyDoc doc = FLibrary->doc();
  tidyOptSetValue(doc, TagOption(true), FUnknownTags.SavedInlineTags().c_str());
  tidyOptSetValue(doc, TagOption(false), FUnknownTags.SavedEmptyTags().c_str());
}

void TTidy::WriteSummary() {
  const TidyDoc doc = FLibrary->doc();
  TTidyBuffer& errors = *FLibrary->Errors;
  errors.Clear();
  tidyErrorSummary(doc);
  const NarrowString librarySummary(errors.Text());
  errors.Clear();
  const NarrowString nl = LineEnd();
  TRunSummaryFacts facts;
  facts.Errors = tidyErrorCount(doc);
  facts.Warnings = tidyWarningCount(doc);
  facts.ShowErrors = ShowErrors();
  facts.ShowWarnings = ShowWarnings();
  facts.ForceOutput = ForceOutput();
  facts.LineEnd = nl;
  facts.LibrarySummary = librarySummary;
  FErrorFileWriter->Write(nl);
  FErrorFileWriter->Write(RunSummary(facts));
  FErrorFileWriter->Write(nl);
}

void TTidy::ReportFilter(TidyReportLevel level, unsigned line, unsigned col,
                         std::string_view text) {
  if (FAllowUnknownTags) {
    FUnknownTags.Record(text);
  }
  if (FMergeOrphanForms && level == TidyWarning) {
    // The first characters of "missing </form>" and "inserting implicit <form>".
    if (HasTextAt(text, 0, "missing </f")) {
      ++FMissingFormEnds;
    } else if (FImplicitForms < FMissingFormEnds && HasTextAt(text, 0, "inserting implicit <f")) {
      ++FImplicitForms;
    }
  }
  if (OnReport) {
    OnReport(this, level, line, col, NarrowString(text));
  }
  if (FErrorFileWriter) {
    FErrorFileWriter->Write(ReportLine(level, line, col, text));
    FErrorFileWriter->Write(LineEnd());
  }
}

void TTidy::RethrowPendingFailure() {
  if (FPendingFailure) {
    std::exception_ptr failure = FPendingFailure;
    FPendingFailure = nullptr;
    std::rethrow_exception(failure);
  }
}

} // namespace velmora
