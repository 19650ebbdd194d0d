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

// Without a document type declaration only the predefined entities are declared. The
// value has passed its own test, so every reference in it ends with ";".
void TestReferencesPredefined(std::u16string_view value, TSignalFault& fault) {
  for (size_t i = value.find(u'&'); i != std::u16string_view::npos; i = value.find(u'&', i + 1)) {
    const size_t end = value.find(u';', i + 1);
    if (end == std::u16string_view::npos || value[i + 1] == u'#') {
      continue;
    }
    if (predefinedEntityChar(value.substr(i + 1, end - i - 1)) == 0) {
      fault.Set(ekUndeclaredEntityWf, value.substr(i, end + 1 - i));
      return;
    }
  }
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

void TXmlWFTestHandler::Refuse(TXmlSignal& signal, const TSignalFault& fault) {
  FDroppingAttributes = signal.Kind() == skStartElement;
  ReportError(signal.Origin(), {fault.Kind, &signal, fault.Clue, fault.Snippet});
}

// The signal's own rules, then: passed on, or reported and dropped.
void TXmlWFTestHandler::TestAndPass(TXmlSignal& signal) {
  TSignalFault fault;
  signal.TestWellformedness(fault);
  if (fault.Kind != ekNone) {
    Refuse(signal, fault);
    return;
  }
  PassOn(signal);
}

// Each rule of the document and fragment modes with the state change of a signal that
// passes it.
void TXmlWFTestHandler::ProcessContent(TXmlSignal& signal) {
  const bool document = FMode == wfDocument;
  TSignalFault fault;
  switch (signal.Kind()) {
  case skAttribute:
    if (FDroppingAttributes) {
      return;
    }
    signal.TestWellformedness(fault);
    if (fault.Kind == ekNone && document && FPredefinedEntitiesOnly && !FDoctypeSeen) {
      TestReferencesPredefined(static_cast<TXmlAttributeSignal&>(signal).AttrValue, fault);
    }
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    PassOn(signal);
    return;
  case skPCData: {
    FDroppingAttributes = false;
    const auto& text = static_cast<TXmlPCDATASignal&>(signal);
    if (document && FRootState != 1 && (text.IsCharRef || !IsWhiteSpaceText(text.Text))) {
      fault.Set(ekContentOutsideRoot, text.IsCharRef ? u"&#" : text.Text);
      Refuse(signal, fault);
      return;
    }
    TestAndPass(signal);
    return;
  }
  case skStartElement: {
    FDroppingAttributes = false;
    const std::u16string_view name = static_cast<TXmlStartElementSignal&>(signal).TagName;
    if (document && FRootState == 2) {
      fault.Set(ekSecondRootElement, name);
    } else {
      signal.TestWellformedness(fault);
    }
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    FRootState = 1;
    FOpenElements.Push(name);
    PassOn(signal);
    return;
  }
  case skEndElement: {
    FDroppingAttributes = false;
    const std::u16string_view name = static_cast<TXmlEndElementSignal&>(signal).TagName;
    // A name equal to the open element's passed its test with the start tag.
    if (FOpenElements.Empty() || FOpenElements.Top() != name) {
      fault.Set(ekEndTagMismatch, name);
      Refuse(signal, fault);
      return;
    }
    FOpenElements.Pop();
    if (FOpenElements.Empty()) {
      FRootState = 2;
    }
    PassOn(signal);
    return;
  }
  case skCData:
    FDroppingAttributes = false;
    if (document && FRootState != 1) {
      fault.Set(ekContentOutsideRoot, static_cast<TXmlCDATASignal&>(signal).Text);
      Refuse(signal, fault);
      return;
    }
    TestAndPass(signal);
    return;
  case skEntityRef: {
    FDroppingAttributes = false;
    const std::u16string_view name = static_cast<TXmlEntityRefSignal&>(signal).RefName;
    if (document && FRootState != 1) {
      FComposed.assign(1, u'&');
      FComposed.append(name);
      FComposed.push_back(u';');
      fault.Set(ekContentOutsideRoot, FComposed);
      Refuse(signal, fault);
      return;
    }
    signal.TestWellformedness(fault);
    if (fault.Kind == ekNone && document && FPredefinedEntitiesOnly && !FDoctypeSeen &&
        predefinedEntityChar(name) == 0) {
      fault.Set(ekUndeclaredEntityWf, name);
    }
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    PassOn(signal);
    return;
  }
  case skDoctype: {
    FDroppingAttributes = false;
    const std::u16string_view name = static_cast<TXmlDoctypeSignal&>(signal).DeclName;
    if (FDoctypeSeen) {
      fault.Set(ekSecondDoctype, name);
    } else {
      FDoctypeSeen = true;
      if (FRootState != 0) {
        fault.Set(ekDoctypeAfterRoot, name);
      }
    }
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    TestAndPass(signal);
    return;
  }
  case skStartPrefixMapping:
    FDroppingAttributes = false;
    signal.TestWellformedness(fault);
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    FOpenPrefixes.Push(static_cast<TXmlStartPrefixMappingSignal&>(signal).MappedPrefix);
    PassOn(signal);
    return;
  case skEndPrefixMapping: {
    FDroppingAttributes = false;
    const std::u16string_view prefix =
        static_cast<TXmlEndPrefixMappingSignal&>(signal).MappedPrefix;
    if (FOpenPrefixes.Empty() || FOpenPrefixes.Top() != prefix) {
      fault.Set(ekPrefixMappingMismatch, prefix);
    } else {
      signal.TestWellformedness(fault);
    }
    if (fault.Kind != ekNone) {
      Refuse(signal, fault);
      return;
    }
    FOpenPrefixes.Pop();
    PassOn(signal);
    return;
  }
  case skCompleted:
    if (FRootState == 0 && document) {
      fault.Set(ekMissingRootElement);
    } else if (!FOpenElements.Empty()) {
      fault.Set(ekUnclosedRootElement, {}, FOpenElements.Top());
    }
    Complete(signal, fault);
    return;
  default:
    FDroppingAttributes = false;
    if ((signal.AllowedContexts() & kDocumentContext) == 0) {
      RaiseInternal();
    }
    TestAndPass(signal);
    return;
  }
}

// The end of the input is passed on even after a reported error, so the next handlers can
// finish what they built.
void TXmlWFTestHandler::Complete(TXmlSignal& signal, const TSignalFault& fault) {
  if (FMode == wfDocument || FMode == wfFragment) {
    FDoctypeSeen = false;
    FRootState = 0;
  }
  FMode = wfIdle;
  if (fault.Kind != ekNone) {
    ReportError(signal.Origin(), {fault.Kind, &signal, fault.Clue, fault.Snippet});
  }
  PassOn(signal);
}

void TXmlWFTestHandler::ProcessSignal(TXmlSignal& signal) {
  const TXmlSignalKind kind = signal.Kind();
  if (FMode == wfDocument || FMode == wfFragment) {
    if (kind == skAborted) {
      Reset();
      PassOn(signal);
      return;
    }
    ProcessContent(signal);
    return;
  }
  if (kind == skAborted) {
    Reset();
  } else if (FMode == wfIdle) {
    ProcessIdle(signal);
  } else if ((signal.AllowedContexts() & kDtdContext) == 0) {
    RaiseInternal();
  } else if (kind == skCompleted) {
    Complete(signal, TSignalFault());
    return;
  }
  TestAndPass(signal);
}

} // namespace velmora
