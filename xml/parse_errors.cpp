#include "xml/parse_errors.h"

namespace velmora {

TDomSeverity SeverityOf(int errorKind) {
  if (errorKind >= 6 && errorKind <= 43) {
    return svError;
  }
  if (errorKind >= 44 && errorKind <= 151 && errorKind != 88 && errorKind != 109) {
    return svFatal;
  }
  return svWarning;
}

TDomError::TDomError(int errorKind, WideString snippet, WideString clue)
    : FErrorKind(errorKind), FSnippet(std::move(snippet)), FClue(std::move(clue)) {}

TDomError::TDomError(const TXmlErrorDetail& detail)
    : TValueLocation(ValuesOf(detail.Location)), FErrorKind(detail.Kind),
      FSnippet(detail.Snippet), FClue(detail.Clue) {
  if (detail.Location) {
    FSourceUri = detail.Location->SourceUri();
  }
}

} // namespace velmora
