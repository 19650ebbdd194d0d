#pragma once
// The DTD reader: reads an internal or an external subset through its subset tokenizer and
// sends one signal per declaration, comment and processing instruction down its handler
// chain, framed by a start signal and a completed or aborted one. It keeps the parameter
// entities declared, so that those of the internal subset are known while the external
// subset of the same document type declaration is read.

#include <memory>
#include <unordered_set>

#include "xml/handlers.h"
#include "xml/input_sources.h"
#include "xml/pe_repository.h"

namespace velmora {

class TXmlCustomSubsetTokenizer;

class TXmlStandardDtdReader : public TXmlCustomReader {
public:
  explicit TXmlStandardDtdReader(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TXmlStandardDtdReader"; }

  virtual void SendPEReferenceFound(const TextLocation* location);
  // A second ATTLIST declaration for an element type is reported (ekDuplicateAttlist).
  virtual void NoteAttlistDecl(const TextLocation* location, std::u16string_view elementType);
  virtual void SendAborted(const TextLocation* location);
  virtual void SendCompleted(const TextLocation* location);
  virtual void SendStartExtDtd(const TextLocation* location, std::u16string_view actualEncoding,
                               std::u16string_view declaredEncoding,
                               std::u16string_view declaredVersion, std::u16string_view systemId,
                               std::u16string_view publicId);
  virtual void SendStartIntDtd(const TextLocation* location, std::u16string_view systemId,
                               TDomStandalone standalone);
  // Sends a subset tokenizer's signal, which already names this reader as its origin: the
  // next handler sees what a copy would show it, and nothing is copied.
  virtual void SendSignalClone(TXmlSignal& signal);
  // True when the subset was read to its end without an error or a fatal error; no
  // exception passes (a subset that stops ends with the aborted signal).
  virtual bool ParseExternalSubset(TXmlInputSource* inputSource);
  virtual bool ParseInternalSubset(TXmlSimpleInputSource* inputSource, TDomStandalone standalone,
                                   bool readExternal);
  // Forgets the element types with ATTLIST declarations and every parameter entity.
  virtual void Reset();
  void SendError(const TXmlErrorDetail& detail) override;

  TDomPERepository& PERepository() { return *FRepository; }
  // What the last subset read reported.
  bool FatalSeen() const { return FFatalSeen; }
  bool ErrorSeen() const { return FErrorSeen; }

protected:
  ~TXmlStandardDtdReader() override;

private:
  template <class TStart> bool Parse(TXmlCustomSubsetTokenizer& tokenizer, TStart sendStart);
  void ParseTokens(TXmlCustomSubsetTokenizer& tokenizer);
  void Listen(TXmlCustomSubsetTokenizer& tokenizer);

  std::unordered_set<WideString, TWideStringHash, std::equal_to<>> FAttlistElements;
  std::unique_ptr<TDomPERepository> FRepository;
  bool FFatalSeen = false;
  bool FErrorSeen = false;
};

} // namespace velmora
