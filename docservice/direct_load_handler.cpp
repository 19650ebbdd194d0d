#include "docservice/direct_load_handler.h"

#include "dom/document.h"
#include "dom/xml_rules.h"
#include "xml/dom_reader.h"
#include "xml/dtd_validation_agent.h"
#include "xml/parse_errors.h"
#include "xml/signals.h"

namespace velmora {

namespace {

// Whether expanding the value could change it: only references, the white space that
// becomes a space, and what is written out escaped.
bool NeedsExpansion(std::u16string_view value) {
  for (const char16_t c : value) {
    switch (c) {
    case u'&':
    case u'\t':
    case u'\n':
    case u'\r':
    case u'"':
    case u'<':
      return true;
    default:
      break;
    }
  }
  return false;
}

} // namespace

TXmlDirectLoadHandler::TXmlDirectLoadHandler(TComponent* owner, TDomCustomDocument* normalizer)
    : TXmlCustomHandler(owner), FNormalizer(normalizer) {}

void TXmlDirectLoadHandler::StopForFullLoad() {
  throw EFullLoadNeeded();
}

void TXmlDirectLoadHandler::ProcessSignal(TXmlSignal& signal) {
  const TXmlSignalKind kind = signal.Kind();
  if (kind == skAttribute && FElementPending) {
    AddAttribute(static_cast<const TXmlAttributeSignal&>(signal));
    return;
  }
  if (FElementPending) {
    SendPendingElement(signal);
  }
  switch (kind) {
  case skStartDocument:
  case skStartDocumentFragment:
  case skAborted:
    FElementPending = false;
    FPrefixText.clear();
    FMappedPrefixes.clear();
    FMappingCounts.clear();
    PassOn(signal);
    return;
  case skStartElement:
    StartElement(static_cast<const TXmlStartElementSignal&>(signal));
    return;
  case skEndElement:
    EndElement(signal);
    return;
  case skDoctype:
    StopForFullLoad();
  case skEntityRef:
    if (predefinedEntityChar(static_cast<const TXmlEntityRefSignal&>(signal).RefName) == 0) {
      StopForFullLoad();
    }
    PassOn(signal);
    return;
  default:
    PassOn(signal);
    return;
  }
}

void TXmlDirectLoadHandler::StartElement(const TXmlStartElementSignal& signal) {
  FElementPending = true;
  FPendingText.assign(signal.TagName);
  FTagNameLength = signal.TagName.size();
  FPendingAttributes.clear();
}

void TXmlDirectLoadHandler::AddAttribute(const TXmlAttributeSignal& signal) {
  TPendingAttribute attribute;
  attribute.Type = signal.AttrType;
  attribute.NameStart = FPendingText.size();
  attribute.NameLength = signal.AttrName.size();
  FPendingText.append(signal.AttrName);
  attribute.ValueStart = FPendingText.size();
  if (NeedsExpansion(signal.AttrValue)) {
    // As the expansion of a document without a type declaration: every attribute is CDATA.
    int errorKind = 0;
    FNormalizer->normalizeAttributeValue(signal.AttrValue, atCData, errorKind, FExpanded);
    if (SeverityOf(errorKind) != svWarning) {
      StopForFullLoad();
    }
    FPendingText.append(EscapedAttributeValue(FExpanded));
  } else {
    FPendingText.append(signal.AttrValue);
  }
  attribute.ValueLength = FPendingText.size() - attribute.ValueStart;
  FPendingAttributes.push_back(attribute);
}

void TXmlDirectLoadHandler::SendPendingElement(TXmlSignal& next) {
  FElementPending = false;
  uint32_t mapped = 0;
  for (const TPendingAttribute& attribute : FPendingAttributes) {
    std::u16string_view prefix;
    if (!DeclaredPrefix(Text(attribute.NameStart, attribute.NameLength), prefix)) {
      continue;
    }
    TXmlStartPrefixMappingSignal mapping(next.Origin(), &next);
    mapping.MappedPrefix = prefix;
    mapping.MappedUri = Text(attribute.ValueStart, attribute.ValueLength);
    PassOn(mapping);
    FMappedPrefixes.push_back({FPrefixText.size(), prefix.size()});
    FPrefixText.append(prefix);
    ++mapped;
  }
  FMappingCounts.push_back(mapped);
  TXmlStartElementSignal start(next.Origin(), &next);
  start.TagName = Text(0, FTagNameLength);
  PassOn(start);
  for (const TPendingAttribute& attribute : FPendingAttributes) {
    TXmlAttributeSignal signal(next.Origin(), &next);
    signal.AttrType = attribute.Type;
    signal.AttrName = Text(attribute.NameStart, attribute.NameLength);
    signal.AttrValue = Text(attribute.ValueStart, attribute.ValueLength);
    PassOn(signal);
  }
}

void TXmlDirectLoadHandler::EndElement(TXmlSignal& signal) {
  PassOn(signal);
  if (FMappingCounts.empty()) {
    return;
  }
  for (uint32_t count = FMappingCounts.back(); count > 0; --count) {
    const TMappedPrefix prefix = FMappedPrefixes.back();
    TXmlEndPrefixMappingSignal mapping(signal.Origin(), &signal);
    mapping.MappedPrefix = std::u16string_view(FPrefixText).substr(prefix.Start, prefix.Length);
    PassOn(mapping);
    FMappedPrefixes.pop_back();
    FPrefixText.resize(prefix.Start);
  }
  FMappingCounts.pop_back();
}

} // namespace velmora
