#include "docservice/html/tidy_reports.h"

#include <string>

namespace velmora {

namespace {

bool IsHiddenControl(int32_t c) {
  return (c >= 1 && c <= 8) || (c >= 14 && c <= 31) || (c >= 128 && c <= 159);
}

NarrowString Counted(unsigned count, std::string_view noun) {
  NarrowString text = std::to_string(count);
  text += ' ';
  text += noun;
  if (count != 1) {
    text += 's';
  }
  return text;
}

} // namespace

std::string_view ReportLevelName(TidyReportLevel level) {
  switch (level) {
  case TidyInfo:
    return "Info";
  case TidyWarning:
    return "Warning";
  case TidyConfig:
    return "Configuration";
  case TidyAccess:
    return "Accessibility";
  case TidyError:
    return "Error";
  case TidyBadDocument:
    return "Bad Document";
  case TidyFatal:
    return "Fatal Error";
  }
  return "Error";
}

NarrowString ReportLine(TidyReportLevel level, unsigned line, unsigned col,
                        std::string_view text) {
  NarrowString shown;
  shown.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const int32_t c = DecodeUtf8(text, pos);
    AppendUtf8(shown, IsHiddenControl(c) ? 0xB7 : c);
  }
  NarrowString result;
  if (line != 0 || col != 0) {
    result = std::to_string(line) + "," + std::to_string(col) + ": ";
  }
  result += ReportLevelName(level);
  result += ": ";
  result += shown;
  return result;
}

std::string_view LineEndOf(unsigned long newline) {
  switch (newline) {
  case 1:
    return "\r\n";
  case 2:
    return "\r";
  default:
    return "\n";
  }
}

NarrowString RunSummary(const TRunSummaryFacts& facts) {
  const std::string_view nl = facts.LineEnd;
  NarrowString s;
  if (facts.Errors != 0 || facts.Warnings != 0) {
    s = Counted(facts.Warnings, "warning") + ", " + Counted(facts.Errors, "error") +
        " were found!";
  } else {
    s = "No warnings or errors were found.";
  }
  if (static_cast<long long>(facts.Errors) > facts.ShowErrors ||
      (facts.Warnings != 0 && !facts.ShowWarnings)) {
    s += " Not all warnings/errors were shown.";
  }
  if (facts.Errors != 0 && !facts.ForceOutput) {
    s += nl;
    s += nl;
    s += "This document has errors that must be fixed before";
    s += nl;
    s += "using HTML Tidy to generate a tidied up version.";
  }
  if (s.size() > 255) {
    s.resize(255);
  }
  s += nl;
  s += nl;
  s += facts.LibrarySummary;
  return s;
}

} // namespace velmora
