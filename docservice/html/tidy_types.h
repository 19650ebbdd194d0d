#pragma once
// The enumerations and events of the HTML cleanup wrapper. They keep the wrapper's own
// numbering; the library's values are mapped in tidy_library.cpp.

#include <cstdint>
#include <functional>
#include <string_view>

#include "runtime/strings.h"

namespace velmora {

class TTidy;

enum TidyOutputMode : uint8_t { omHTML = 0, omXHTML = 1, omXML = 2, omAuto = 3 };

enum TidyReportLevel : uint8_t {
  TidyInfo = 0,
  TidyWarning = 1,
  TidyConfig = 2,
  TidyAccess = 3,
  TidyError = 4,
  TidyBadDocument = 5,
  TidyFatal = 6,
};

enum TidyEncodingID : uint8_t {
  TidyRaw = 0,
  TidyASCII = 1,
  TidyLatin1 = 2,
  TidyUTF8 = 3,
  TidyISO2022 = 4,
  TidyMacRoman = 5,
  TidyWin1252 = 6,
  TidyUTF16le = 7,
  TidyUTF16be = 8,
  TidyUTF16 = 9,
  TidyBig5 = 10,
  TidyShiftJIS = 11,
};

enum TidyDupAttrModes : uint8_t { TidyKeepFirst = 0, TidyKeepLast = 1 };

// "Info", "Warning", ..., "Fatal Error".
std::string_view ReportLevelName(TidyReportLevel level);

// Called for every report of the library and of the wrapper; may raise, which ends the run.
using tTidyReportEvent = std::function<void(TTidy* sender, TidyReportLevel level, unsigned line,
                                            unsigned col, const NarrowString& msg)>;
// Called with the input bytes before a run's first parse; the handler may change them.
using tTidyInputCompleteEvent = std::function<void(TTidy* sender, char* buf, size_t len)>;

} // namespace velmora
