#pragma once
// The well-formedness test handler: keeps the element stack of the document being read,
// tests every signal against the rules of XML 1.0 that span several signals (nesting,
// one root, where text and declarations may stand) and against the signal's own rules,
// reports what fails through the signal's reader, and passes on what passed.

#include "xml/handlers.h"
#include "xml/name_stack.h"

namespace velmora {

enum TXmlWFMode : uint8_t {
  wfIdle = 0,
  wfDocument = 1,
  wfFragment = 2,
  wfExternalDtd = 3,
  wfInternalDtd = 4,
};

class TXmlWFTestHandler : public TXmlCustomHandler {
public:
  explicit TXmlWFTestHandler(TComponent* owner = nullptr) : TXmlCustomHandler(owner) {}
  const char* ClassName() const override { return "TXmlWFTestHandler"; }

  // A signal that fails is reported and dropped. The state changes only for signals that
  // pass, so after an error that reading survives, the stack still matches what the next
  // handlers received; the attributes of a dropped start tag are dropped with it.
  void ProcessSignal(TXmlSignal& signal) override;
  virtual void Reset();

  TXmlWFMode Mode() const { return FMode; }
  bool DoctypeSeen() const { return FDoctypeSeen; }
  // 0 before the root element, 1 inside it, 2 after it.
  uint8_t RootState() const { return FRootState; }
  size_t OpenElementCount() const { return FOpenElements.Count(); }
  // In a document without a document type declaration, whether references to entities
  // other than the predefined ones are refused as they are read, where their place in the
  // text is known. Off by default: a parse then keeps them, and expanding the document
  // reports them.
  bool PredefinedEntitiesOnly() const { return FPredefinedEntitiesOnly; }
  void SetPredefinedEntitiesOnly(bool value) { FPredefinedEntitiesOnly = value; }

private:
  void ProcessIdle(const TXmlSignal& signal);
  void ProcessContent(TXmlSignal& signal);
  void TestAndPass(TXmlSignal& signal);
  void Refuse(TXmlSignal& signal, const TSignalFault& fault);
  void Complete(TXmlSignal& signal, const TSignalFault& fault);
  void Start(TXmlWFMode mode);
  [[noreturn]] static void RaiseInternal();

  TXmlWFMode FMode = wfIdle;
  bool FDoctypeSeen = false;
  bool FDroppingAttributes = false;
  bool FPredefinedEntitiesOnly = false;
  TNameStack FOpenPrefixes;
  uint8_t FRootState = 0;
  TNameStack FOpenElements;
  WideString FComposed; // a snippet made for a report
};

} // namespace velmora
