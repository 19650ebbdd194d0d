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

TDomError::TDomError(int errorKind, const TextLocation* location, WideString clue,
                     WideString snippet)
    : TDomError(errorKind, std::move(snippet), std::move(clue)) {
  if (!location) {
    return;
  }
  FEndByte = location->EndByte();
  FEndChar = location->EndChar();
  FEndColumn = location->EndColumn();
  FEndLine = location->EndLine();
  FEndTabs = location->EndTabs();
  FDtdObject = location->DtdObject();
  FDomNode = location->DomNode();
  FStartByte = location->StartByte();
  FStartChar = location->StartChar();
  FStartColumn = location->StartColumn();
  FStartLine = location->StartLine();
  FStartTabs = location->StartTabs();
  FSourceUri = location->SourceUri();
}

} // namespace velmora
