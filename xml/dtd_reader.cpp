#include "xml/dtd_reader.h"

#include <new>

#include "runtime/exceptions.h"
#include "xml/dtd_signals.h"
#include "xml/subset_tokenizer.h"

namespace velmora {

TXmlStandardDtdReader::TXmlStandardDtdReader(TComponent* owner)
    : TXmlCustomReader(owner), FRepository(std::make_unique<TDomPERepository>(this)) {}

TXmlStandardDtdReader::~TXmlStandardDtdReader() = default;

void TXmlStandardDtdReader::SendPEReferenceFound(const TextLocation* location) {
  TXmlPEReferenceFoundSignal signal(this, location);
  Send(signal);
}

void TXmlStandardDtdReader::NoteAttlistDecl(const TextLocation* location,
                                            std::u16string_view elementType) {
  if (FAttlistElements.find(elementType) == FAttlistElements.end()) {
    FAttlistElements.emplace(elementType);
    return;
  }
  SendError({ekDuplicateAttlist, location, {}, elementType});
}

void TXmlStandardDtdReader::SendAborted(const TextLocation* location) {
  TXmlAbortedSignal signal(this, location);
  Send(signal);
}

void TXmlStandardDtdReader::SendCompleted(const TextLocation* location) {
  TXmlCompletedSignal signal(this, location);
  Send(signal);
}

void TXmlStandardDtdReader::SendStartExtDtd(const TextLocation* location,
                                            std::u16string_view actualEncoding,
                                            std::u16string_view declaredEncoding,
                                            std::u16string_view declaredVersion,
                                            std::u16string_view systemId,
                                            std::u16string_view publicId) {
  TXmlStartExtDtdSignal signal(this, location);
  signal.ActualEncoding = actualEncoding;
  signal.DeclaredEncoding = declaredEncoding;
  signal.DeclaredVersion = declaredVersion;
  signal.SystemId = systemId;
  signal.PublicId = publicId;
  Send(signal);
}

void TXmlStandardDtdReader::SendStartIntDtd(const TextLocation* location,
                                            std::u16string_view systemId,
                                            TDomStandalone standalone) {
  TXmlStartIntDtdSignal signal(this, location);
  signal.SystemId = systemId;
  signal.DeclaredStandalone = standalone;
  Send(signal);
}

void TXmlStandardDtdReader::SendSignalClone(TXmlSignal& signal) {
  Send(signal);
}

void TXmlStandardDtdReader::SendError(const TXmlErrorDetail& detail) {
  const TDomSeverity severity = SeverityOf(detail.Kind);
  FFatalSeen = FFatalSeen || severity == svFatal;
  FErrorSeen = FErrorSeen || severity == svError;
  TXmlCustomReader::SendError(detail);
}

void TXmlStandardDtdReader::Reset() {
  FAttlistElements.clear();
  FRepository->Clear();
  FFatalSeen = false;
  FErrorSeen = false;
}

void TXmlStandardDtdReader::Listen(TXmlCustomSubsetTokenizer& tokenizer) {
  tokenizer.OnPEReferenceFound = [this](const TextLocation& location) {
    SendPEReferenceFound(&location);
  };
  tokenizer.OnAttlistNoted = [this](const TextLocation& location, std::u16string_view elementType) {
    NoteAttlistDecl(&location, elementType);
  };
}

void TXmlStandardDtdReader::ParseTokens(TXmlCustomSubsetTokenizer& tokenizer) {
  while (tokenizer.TokenKind() != stEndOfSubset) {
    tokenizer.NextToken();
    if (tokenizer.ErrorKind() != ekNone) {
      SendError({tokenizer.ErrorKind(), &tokenizer, tokenizer.Clue(), {}});
    }
    switch (tokenizer.TokenKind()) {
    case stCondSectEnd:
    case stEndOfSubset:
    case stWhitespace:
    case stInvalid:
    case stStart:
      break;
    default:
      if (TXmlSignal* signal = tokenizer.Signal()) {
        SendSignalClone(*signal);
      }
      break;
    }
  }
}

template <class TStart>
bool TXmlStandardDtdReader::Parse(TXmlCustomSubsetTokenizer& tokenizer, TStart sendStart) {
  FFatalSeen = false;
  FErrorSeen = false;
  Listen(tokenizer);
  try {
    sendStart();
    if (tokenizer.ErrorKind() != ekNone) {
      SendError({tokenizer.ErrorKind(), &tokenizer, tokenizer.Clue(), {}});
    } else {
      ParseTokens(tokenizer);
    }
    SendCompleted(&tokenizer);
  } catch (const std::bad_alloc&) {
    // Memory that ran out is no fault of the document: the caller reports it.
    SendAborted(&tokenizer);
    throw;
  } catch (const std::exception&) {
    SendAborted(&tokenizer);
    return false;
  }
  return !FFatalSeen && !FErrorSeen;
}

bool TXmlStandardDtdReader::ParseExternalSubset(TXmlInputSource* inputSource) {
  if (!inputSource) {
    throw EAccessViolation("Input source not specified.");
  }
  TXmlExtSubsetTokenizer tokenizer(inputSource, FRepository.get(), this);
  const WideString actualEncoding = inputSource->EncodingName();
  return Parse(tokenizer, [&] {
    SendStartExtDtd(&tokenizer, actualEncoding, inputSource->DeclaredEncoding(),
                    inputSource->DeclaredVersion(), inputSource->SystemId(),
                    inputSource->PublicId());
  });
}

bool TXmlStandardDtdReader::ParseInternalSubset(TXmlSimpleInputSource* inputSource,
                                                TDomStandalone standalone, bool readExternal) {
  if (!inputSource) {
    throw EAccessViolation("Input source not specified.");
  }
  TXmlIntSubsetTokenizer tokenizer(inputSource, FRepository.get(), this);
  tokenizer.SetReadExternal(readExternal);
  return Parse(tokenizer,
               [&] { SendStartIntDtd(&tokenizer, inputSource->SystemId(), standalone); });
}

} // namespace velmora
