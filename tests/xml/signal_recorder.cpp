#include "tests/xml/signal_recorder.h"

#include "runtime/streams.h"

namespace velmora::testing {

namespace {

std::string Narrow(std::u16string_view text) {
  return WideToNarrow(text);
}

} // namespace

std::string SignalText(const TXmlSignal& signal) {
  switch (signal.Kind()) {
  case skStartDocument:
  case skStartDocumentFragment:
    return "start";
  case skStartElement:
    return "<" + Narrow(static_cast<const TXmlStartElementSignal&>(signal).TagName);
  case skEndElement:
    return "/" + Narrow(static_cast<const TXmlEndElementSignal&>(signal).TagName);
  case skAttribute: {
    const auto& attribute = static_cast<const TXmlAttributeSignal&>(signal);
    return "@" + Narrow(attribute.AttrName) + "=" + Narrow(attribute.AttrValue);
  }
  case skPCData: {
    const auto& text = static_cast<const TXmlPCDATASignal&>(signal);
    return (text.IsCharRef ? "r:" : "t:") + Narrow(text.Text);
  }
  case skCData:
    return "cd:" + Narrow(static_cast<const TXmlCDATASignal&>(signal).Text);
  case skComment:
    return "c:" + Narrow(static_cast<const TXmlCommentSignal&>(signal).Text);
  case skProcessingInstruction: {
    const auto& pi = static_cast<const TXmlProcessingInstructionSignal&>(signal);
    return "?" + Narrow(pi.PITarget) + "|" + Narrow(pi.PIData);
  }
  case skEntityRef:
    return "&" + Narrow(static_cast<const TXmlEntityRefSignal&>(signal).RefName);
  case skDoctype: {
    const auto& doctype = static_cast<const TXmlDoctypeSignal&>(signal);
    return "!" + Narrow(doctype.DeclName) + "|" + Narrow(doctype.PublicId) + "|" +
           Narrow(doctype.SystemId) + "|" + Narrow(doctype.InternalSubset);
  }
  case skStartPrefixMapping: {
    const auto& mapping = static_cast<const TXmlStartPrefixMappingSignal&>(signal);
    return "pm:" + Narrow(mapping.MappedPrefix) + "=" + Narrow(mapping.MappedUri);
  }
  case skEndPrefixMapping:
    return "/pm:" + Narrow(static_cast<const TXmlEndPrefixMappingSignal&>(signal).MappedPrefix);
  case skCompleted:
    return "end";
  case skAborted:
    return "abort";
  default:
    return "dtd";
  }
}

std::vector<int> TParseRecord::Kinds() const {
  std::vector<int> kinds;
  for (const TRecordedError& error : Errors) {
    kinds.push_back(error.Kind);
  }
  return kinds;
}

TParseRecord ParseThroughChain(std::string_view bytes, bool tolerant, bool fragment) {
  TParseRecord record;
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  if (tolerant) {
    implementation->OnError = [](void*, const TDomError&, bool& go) { go = true; };
  }
  TOwned<TXmlStandardDocReader> reader(new TXmlStandardDocReader);
  TOwned<TXmlWFTestHandler> checker(new TXmlWFTestHandler);
  TOwned<TSignalRecorder> recorder(new TSignalRecorder);
  reader->SetDOMImpl(implementation.get());
  reader->SetNextHandler(checker.get());
  checker->SetNextHandler(recorder.get());
  reader->OnError = [&](TXmlCustomReader*, const TDomError& error) {
    record.Errors.push_back({error.ErrorKind(), Narrow(error.Snippet()), Narrow(error.Clue()),
                             error.StartLine(), error.StartColumn(), error.EndLine(),
                             error.EndColumn()});
  };
  TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  TXmlInputSource source(&stream, u"", u"file:///doc.xml", 1024, nullptr, false, 0, 0, 0, 0, 1);
  record.Completed = fragment ? reader->ParseFragment(&source) : reader->ParseDocument(&source);
  record.Signals = std::move(recorder->Signals);
  return record;
}

} // namespace velmora::testing
