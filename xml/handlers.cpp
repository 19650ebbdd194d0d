#include "xml/handlers.h"

#include "dom/dom_exceptions.h"

namespace velmora {

namespace {

constexpr const char* kSignalProcessingException = "Signal Processing Exception";

} // namespace

void TXmlCustomHandler::ReportError(TXmlCustomReader* origin, const TXmlErrorDetail& detail) {
  if (origin) {
    origin->SendError(detail);
    return;
  }
  if (SeverityOf(detail.Kind) == svFatal) {
    throw EParserException(kSignalProcessingException);
  }
}

void TXmlCustomReader::ReadExternalEntity(std::u16string_view baseUri, const WideString& publicId,
                                          int& errorKind, WideString& text,
                                          const WideString& systemId) {
  if (TDomImplementation* implementation = DOMImpl()) {
    implementation->loadExternalText(baseUri, publicId, errorKind, text, systemId);
    return;
  }
  text.clear();
  errorKind = ekResourceNotFound;
}

void TXmlCustomReader::SendError(const TXmlErrorDetail& detail) {
  const TDomError error(detail);
  if (OnError) {
    OnError(this, error);
  }
  TDomImplementation* implementation = DOMImpl();
  const bool go =
      implementation ? implementation->handleError(this, &error) : error.Severity() != svFatal;
  if (!go) {
    throw EParserException(kSignalProcessingException);
  }
}

} // namespace velmora
