#pragma once
// How reports and the summary of a run read in the error file.

#include <string_view>

#include "docservice/html/tidy_types.h"
#include "runtime/strings.h"

namespace velmora {

// "line,col: Level: text", or "Level: text" without a position. Control characters of the
// text (C0 but tab, line feed, vertical tab, form feed and carriage return, and C1) are
// shown as middle dots; the caller's text is not changed.
NarrowString ReportLine(TidyReportLevel level, unsigned line, unsigned col,
                        std::string_view text);

// The facts a summary is made of.
struct TRunSummaryFacts {
  unsigned Errors = 0;
  unsigned Warnings = 0;
  int ShowErrors = 0;
  bool ShowWarnings = true;
  bool ForceOutput = false;
  std::string_view LineEnd = "\n";
  // What the library writes as its own summary.
  std::string_view LibrarySummary;
};

// The counts of warnings and errors, the notes on what was not shown or written, an empty
// line, and the library's summary.
NarrowString RunSummary(const TRunSummaryFacts& facts);

// The line end of the library's TidyNewline value: LF (0), CR LF (1), CR (2).
std::string_view LineEndOf(unsigned long newline);

} // namespace velmora
