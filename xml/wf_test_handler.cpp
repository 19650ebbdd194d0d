#include "xml/wf_test_handler.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"

namespace velmora {

namespace {

bool IsWhiteSpaceText(std::u16string_view text) {
  for (char16_t c : text) {
    if (!isWhiteSpaceChar(c)) {
      return false;
    }
  }
  return true;
}

} // namespace

void TXmlWFTestHandler::RaiseInternal() {
  throw EParserException("Internal Parser Exception");
}

void TXmlWFTestHandler::Reset() {
  FMode = wfIdle;
  FDoctypeSeen = false;
  FDroppingAttributes = false;
  FRootState = 0;
  FOpenPrefixes.Clear();
  FOpenElements.Clear();
}

void TXmlWFTestHandler::Start(TXmlWFMode mode) {
  Reset();
  FMode = mode;
}

void TXmlWFTestHandler::ProcessIdle(const TXmlSignal& signal) {
  switch (signal.Kind()) {
  case skStartDocument:
    Start(wfDocument);
    return;
  case skStartDocumentFragment:
    Start(wfFragment);
    return;
  case skStartExtDtd:
    FMode = wfExternalDtd;
    return;
  case skStartIntDtd:
    FMode = wfInternalDtd;
    return;
  case skAborted:
    Reset();
    return;
  default:
    RaiseInternal();
  }
}

bool TXmlWFTestHandler::TestContent(TXmlSignal& signal, TSignalFault& fault) {
  const bool document = FMode == wfDocument;
  switch (signal.Kind()) {
  case skCData:
    if (document && FRootState != 1) {
      fault.Set(ekContentOutsideRoot, static_cast<TXmlCDATASignal&>(signal).Text);
    }
    break;
  case skEntityRef:
    if (document && FRootState != 1) {
      FComposed.assign(1, u'&');
      FComposed.append(static_cast<TXmlEntityRefSignal&>(signal).RefName);
      FComposed.push_back(u';');
      fault.Set(ekContentOutsideRoot, FComposed);
    }
    break;
  case skPCData: {
    const auto& text = static_cast<TXmlPCDATASignal&>(signal);
    if (document && FRootState != 1 && (text.IsCharRef || !IsWhiteSpaceText(text.Text))) {
      fault.Set(ekContentOutsideRoot, text.IsCharRef ? u"&#" : text.Text);
    }
    break;
  }
  case skDoctype:
    if (FDoctypeSeen) {
      fault.Set(ekSecondDoctype, static_cast<TXmlDoctypeSignal&>(signal).DeclName);
    } else {
      FDoctypeSeen = true;
      if (FRootState != 0) {
        fault.Set(ekDoctypeAfterRoot, static_cast<TXmlDoctypeSignal&>(signal).DeclName);
      }
    }
    break;
  case skStartElement:
    if (document && FRootState == 2) {
      fault.Set(ekSecondRootElement, static_cast<TXmlStartElementSignal&>(signal).TagName);
    }
    break;
  case skEndElement: {
    const std::u16string_view name = static_cast<TXmlEndElementSignal&>(signal).TagName;
    if (FOpenElements.Empty() || FOpenElements.Top() != name) {
      fault.Set(ekEndTagMismatch, name);
    }
    break;
  }
  case skEndPrefixMapping: {
    const std::u16string_view prefix = static_cast<TXmlEndPrefixMappingSignal&>(signal).MappedPrefix;
    if (FOpenPrefixes.Empty() || FOpenPrefixes.Top() != prefix) {
      fault.Set(ekPrefixMappingMismatch, prefix);
    }
    break;
  }
  case skAttribute:
    if (FDroppingAttributes) {
      return false;
    }
    break;
  case skCompleted:
    if (FRootState == 0 && document) {
      fault.Set(ekMissingRootElement);
    } else if (!FOpenElements.Empty()) {
      fault.Set(ekUnclosedRootElement, {}, FOpenElements.Top());
    }
    break;
  default:
    if ((signal.AllowedContexts() & kDocumentContext) == 0) {
      RaiseInternal();
    }
    break;
  }
  return true;
}

void TXmlWFTestHandler::Apply(const TXmlSignal& signal) {
  switch (signal.Kind()) {
  case skStartElement:
    FRootState = 1;
    FOpenElements.Push(static_cast<const TXmlStartElementSignal&>(signal).TagName);
    break;
  case skEndElement:
    FOpenElements.Pop();
    if (FOpenElements.Empty()) {
      FRootState = 2;
    }
    break;
  case skStartPrefixMapping:
    FOpenPrefixes.Push(static_cast<const TXmlStartPrefixMappingSignal&>(signal).MappedPrefix);
    break;
  case skEndPrefixMapping:
    FOpenPrefixes.Pop();
    break;
  default:
    break;
  }
}

void TXmlWFTestHandler::ProcessSignal(TXmlSignal& signal) {
  TSignalFault fault;
  const TXmlSignalKind kind = signal.Kind();
  if (kind == skAborted) {
    Reset();
  } else if (FMode == wfIdle) {
    ProcessIdle(signal);
  } else if (FMode == wfDocument || FMode == wfFragment) {
    if (!TestContent(signal, fault)) {
      return;
    }
    if (kind != skAttribute) {
      FDroppingAttributes = false;
    }
  } else if ((signal.AllowedContexts() & kDtdContext) == 0) {
    RaiseInternal();
  }
  if (fault.Kind == ekNone) {
    signal.TestWellformedness(fault);
  }
  if (kind == skCompleted) {
    // The end of the input is passed on even after a reported error, so the next
    // handlers can finish what they built.
    const bool wasDtd = FMode == wfExternalDtd || FMode == wfInternalDtd;
    if (!wasDtd) {
      FDoctypeSeen = false;
      FRootState = 0;
    }
    FMode = wfIdle;
    if (fault.Kind != ekNone) {
      ReportError(signal.Origin(), {fault.Kind, &signal, fault.Clue, fault.Snippet});
    }
    PassOn(signal);
    return;
  }
  if (fault.Kind != ekNone) {
    FDroppingAttributes = kind == skStartElement;
    ReportError(signal.Origin(), {fault.Kind, &signal, fault.Clue, fault.Snippet});
    return;
  }
  Apply(signal);
  PassOn(signal);
}

} // namespace velmora
