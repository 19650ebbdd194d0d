#include "xml/parse_errors.h"

namespace velmora {

TDomError::TDomError(int errorKind, WideString snippet, WideString clue)
    : FErrorKind(errorKind), FSnippet(std::move(snippet)), FClue(std::move(clue)) {}

TDomError::TDomError(const TXmlErrorDetail& detail)
    : TValueLocation(ValuesOf(detail.Location)), FErrorKind(detail.Kind),
      FSnippet(detail.Snippet), FClue(detail.Clue) {
  if (detail.Location) {
    FSourceUri = detail.Location->SourceUri();
  }
}

TDomError::TDomError(int errorKind, TDtdObject* dtdObject, TDomNode* domNode, WideString snippet,
                     WideString clue)
    : FErrorKind(errorKind), FSnippet(std::move(snippet)), FClue(std::move(clue)) {
  FValues.DtdObject = dtdObject;
  FValues.DomNode = domNode;
}

} // namespace velmora
