#include "tests/xml/signal_recorder.h"

#include "runtime/streams.h"
#include "xml/dtd_reader.h"
#include "xml/dtd_signals.h"
#include "xml/resource_resolvers.h"

namespace velmora::testing {

namespace {

std::string Narrow(std::u16string_view text) {
  return WideToNarrow(text);
}

// Behind a reader: the well-formedness handler and a recorder, and an implementation
// (letting reading go on after every error when tolerant); the errors go into record.
struct TRecordingChain {
  TRecordingChain(TXmlCustomReader& reader, TParseRecord& record, bool tolerant)
      : Implementation(new TDomImplementation), Checker(new TXmlWFTestHandler),
        Recorder(new TSignalRecorder) {
    if (tolerant) {
      Implementation->OnError = [](void*, const TDomError&, bool& go) { go = true; };
    }
    reader.SetDOMImpl(Implementation.get());
    reader.SetNextHandler(Checker.get());
    Checker->SetNextHandler(Recorder.get());
    reader.OnError = [&record](TXmlCustomReader*, const TDomError& error) {
      record.Errors.push_back({error.ErrorKind(), Narrow(error.Snippet()), Narrow(error.Clue()),
                               error.StartLine(), error.StartColumn(), error.EndLine(),
                               error.EndColumn()});
    };
  }

  TOwned<TDomImplementation> Implementation;
  TOwned<TXmlWFTestHandler> Checker;
  TOwned<TSignalRecorder> Recorder;
};

std::string Joined(const std::vector<std::u16string_view>& texts) {
  std::string joined;
  for (std::u16string_view text : texts) {
    joined += (joined.empty() ? "" : ",") + Narrow(text);
  }
  return joined;
}

std::string DtdSignalText(const TXmlSignal& signal) {
  switch (signal.Kind()) {
  case skStartExtDtd: {
    const auto& start = static_cast<const TXmlStartExtDtdSignal&>(signal);
    return "ext:" + Narrow(start.SystemId) + "|" + Narrow(start.PublicId) + "|" +
           Narrow(start.DeclaredEncoding) + "|" + Narrow(start.DeclaredVersion);
  }
  case skStartIntDtd: {
    const auto& start = static_cast<const TXmlStartIntDtdSignal&>(signal);
    return "int:" + Narrow(start.SystemId) + "|" + std::to_string(start.DeclaredStandalone);
  }
  case skElementTypeDeclaration: {
    const auto& element = static_cast<const TXmlElementTypeDeclarationSignal&>(signal);
    return std::string(element.InParameterEntity ? "E%:" : "E:") + Narrow(element.DeclName) + "|" +
           Narrow(element.ContentSpec);
  }
  case skAttributeDefinition: {
    const auto& definition = static_cast<const TXmlAttributeDefinitionSignal&>(signal);
    return std::string(definition.InParameterEntity ? "A%:" : "A:") + Narrow(definition.ElemType) +
           "|" + Narrow(definition.AttrName) + "|" + std::to_string(definition.AttrType) + "|" +
           std::to_string(definition.DefaultKind) + "|" + Narrow(definition.DefaultValue) + "|" +
           Joined(definition.EnumTokens);
  }
  case skEntityDeclaration: {
    const auto& entity = static_cast<const TXmlEntityDeclarationSignal&>(signal);
    return std::string(entity.InParameterEntity ? "G%:" : "G:") + Narrow(entity.DeclName) + "|" +
           Narrow(entity.ValueText) + "|" + Narrow(entity.PublicId) + "|" +
           Narrow(entity.SystemId) + "|" + Narrow(entity.NDataName);
  }
  case skParameterEntityDeclaration: {
    const auto& entity = static_cast<const TXmlParameterEntityDeclarationSignal&>(signal);
    return "P:" + Narrow(entity.DeclName) + "|" + Narrow(entity.ValueText) + "|" +
           Narrow(entity.PublicId) + "|" + Narrow(entity.SystemId);
  }
  case skNotationDeclaration: {
    const auto& notation = static_cast<const TXmlNotationDeclarationSignal&>(signal);
    return std::string(notation.InParameterEntity ? "N%:" : "N:") + Narrow(notation.DeclName) +
           "|" + Narrow(notation.PublicId) + "|" + Narrow(notation.SystemId);
  }
  case skExternalPEReference:
    return "%" + Narrow(static_cast<const TXmlExternalPEReferenceSignal&>(signal).RefName);
  case skPEReferenceFound:
    return "pe";
  default:
    return "?";
  }
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
    return DtdSignalText(signal);
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
  TOwned<TXmlStandardDocReader> reader(new TXmlStandardDocReader);
  TRecordingChain chain(*reader, record, tolerant);
  TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  TXmlInputSource source(&stream, u"", u"file:///doc.xml", 1024, nullptr, false, 0, 0, 0, 0, 1);
  record.Completed = fragment ? reader->ParseFragment(&source) : reader->ParseDocument(&source);
  record.Signals = std::move(chain.Recorder->Signals);
  return record;
}

TParseRecord ParseSubsetThroughChain(std::string_view text, const TSubsetOptions& options) {
  TParseRecord record;
  TOwned<TXmlStandardDtdReader> reader(new TXmlStandardDtdReader);
  TRecordingChain chain(*reader, record, options.Tolerant);
  TOwned<TStandardResourceResolver> resolver(new TStandardResourceResolver);
  resolver->OnResolveResource = [&](TComponent*, std::u16string_view, std::u16string_view,
                                    WideString&, WideString& systemId,
                                    std::unique_ptr<TStream>& stream, bool&) {
    const std::string name = Narrow(systemId);
    record.Opened.push_back(name);
    const auto found = options.Files.find(name);
    if (found != options.Files.end()) {
      stream = std::make_unique<TMemoryStream>(found->second.data(),
                                               static_cast<int64_t>(found->second.size()));
    }
  };
  chain.Implementation->SetResourceResolver(resolver.get());
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  if (options.External) {
    TXmlInputSource source(&stream, u"", u"file:///dtd/doc.dtd", 1024, nullptr, false, 0, 0, 0, 0,
                           1);
    record.Completed = reader->ParseExternalSubset(&source);
  } else {
    TXmlSimpleInputSource source(&stream, u"", u"file:///dtd/doc.dtd", 1024, nullptr, 0, 0, 0, 0,
                                 1);
    record.Completed = reader->ParseInternalSubset(
        &source, static_cast<TDomStandalone>(options.Standalone), options.ReadExternal);
  }
  record.Signals = std::move(chain.Recorder->Signals);
  return record;
}

} // namespace velmora::testing
