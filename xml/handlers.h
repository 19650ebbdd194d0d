#pragma once
// The two ends of a signal chain: readers produce signals and hand them to their next
// handler; handlers process them and pass them on. Both are components, linked by
// published references that clear themselves when the other end is freed.

#include <functional>

#include "dom/dom_implementation.h"
#include "xml/parse_errors.h"
#include "xml/signals.h"

namespace velmora {

class TXmlCustomReader;

class TXmlCustomHandler : public TDomBaseComponent {
public:
  explicit TXmlCustomHandler(TComponent* owner = nullptr) : TDomBaseComponent(owner) {}
  const char* ClassName() const override { return "TXmlCustomHandler"; }

  // Reports a problem found in a signal: through origin's SendError when there is a
  // reader; without one a fatal kind raises EParserException "Signal Processing
  // Exception" and any other kind is dropped.
  virtual void ReportError(TXmlCustomReader* origin, const TXmlErrorDetail& detail);
  // The only entry of a handler. The signal is the sender's: it must not be kept.
  virtual void ProcessSignal(TXmlSignal& signal) = 0;

  TXmlCustomHandler* NextHandler() const { return FNextHandler.get(); }
  void SetNextHandler(TXmlCustomHandler* handler) { SetReference(FNextHandler, handler); }

protected:
  // Hands signal to the next handler, if any.
  void PassOn(TXmlSignal& signal) {
    if (TXmlCustomHandler* next = FNextHandler.get()) {
      next->ProcessSignal(signal);
    }
  }

private:
  TComponentRef<TXmlCustomHandler> FNextHandler;
};

// Told of every error a reader reports, before the implementation decides.
using TDomErrorNotifyEvent = std::function<void(TXmlCustomReader* sender, const TDomError& error)>;

class TXmlCustomReader : public TDomBaseComponent {
public:
  explicit TXmlCustomReader(TComponent* owner = nullptr) : TDomBaseComponent(owner) {}
  const char* ClassName() const override { return "TXmlCustomReader"; }

  // The implementation that decides on errors and opens external resources.
  TDomImplementation* DOMImpl() const { return FDomImpl.get(); }
  void SetDOMImpl(TDomImplementation* implementation) { SetReference(FDomImpl, implementation); }
  TXmlCustomHandler* NextHandler() const { return FNextHandler.get(); }
  void SetNextHandler(TXmlCustomHandler* handler) { SetReference(FNextHandler, handler); }
  TDomErrorNotifyEvent OnError;

  // The text of an external entity, through the implementation; without one the text is
  // empty and the kind ekResourceNotFound.
  virtual void ReadExternalEntity(std::u16string_view baseUri, const WideString& publicId,
                                  int& errorKind, WideString& text, const WideString& systemId);
  // Builds the record, shows it to OnError, asks the implementation (or, without one, the
  // severity) whether reading goes on, and raises EParserException "Signal Processing
  // Exception" when it does not.
  virtual void SendError(const TXmlErrorDetail& detail);

protected:
  // Hands signal to the first handler, if any.
  void Send(TXmlSignal& signal) {
    if (TXmlCustomHandler* next = FNextHandler.get()) {
      next->ProcessSignal(signal);
    }
  }

private:
  TComponentRef<TDomImplementation> FDomImpl;
  TComponentRef<TXmlCustomHandler> FNextHandler;
};

} // namespace velmora
