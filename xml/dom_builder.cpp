#include "xml/dom_builder.h"

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/xml_rules.h"
#include "xml/dtd_validation_agent.h"

namespace velmora {

namespace {

// The prefix of a qualified name (empty without a colon) and its local part.
void SplitName(std::u16string_view name, std::u16string_view& prefix,
               std::u16string_view& localName) {
  const size_t colon = name.find(u':');
  if (colon == std::u16string_view::npos) {
    prefix = std::u16string_view();
    localName = name;
  } else {
    prefix = name.substr(0, colon);
    localName = name.substr(colon + 1);
  }
}

// Frees a node that could not be placed, unless a tree holds it.
struct TUnplacedNode {
  TDomNode* Node;
  ~TUnplacedNode() {
    if (Node && !Node->parentNode()) {
      TFirstFailure failures; // a guard that unwinds has no one to pass a handler's failure to
      Node->Free(failures);
    }
  }
};

} // namespace

TXmlDomBuilder::TXmlDomBuilder(TComponent* owner) : TXmlCustomHandler(owner) {}

void TXmlDomBuilder::SetReferenceNode(TDomNode* node) {
  FlushText();
  FReferenceNode = node;
  FDocument = node ? node->referenceDocument() : nullptr;
  const TDomDocumentFlavor flavor = FDocument ? FDocument->flavor() : dfCustom;
  FPlainDocument = flavor == dfPlain ? static_cast<TDomDocument*>(FDocument) : nullptr;
  FNamespaceDocument =
      flavor == dfNamespaceAware ? static_cast<TDomDocumentNS*>(FDocument) : nullptr;
}

void TXmlDomBuilder::Reset() {
  FPrefixMappings.clear();
  FMappingPlaces.clear();
  FText.clear();
  FTextFromCharRef = false;
}

void TXmlDomBuilder::AppendText(bool charRefFlag, std::u16string_view text) {
  FText.addWideString(text);
  FTextFromCharRef = FTextFromCharRef || charRefFlag;
}

void TXmlDomBuilder::FlushText() {
  if (FText.length() == 0 || !FReferenceNode) {
    return;
  }
  const std::u16string_view text = FText.view();
  // Text that follows a text node already there joins it (never a CDATA section).
  auto* last = static_cast<TDomNode*>(FReferenceNode->lastTreeChild());
  if (last && last->nodeType() == nkText) {
    auto* textNode = static_cast<TDomText*>(last);
    textNode->appendData(text);
    if (FTextFromCharRef) {
      textNode->setFromCharacterReference(true);
    }
  } else {
    auto* textNode = new TDomText(FDocument, text);
    TUnplacedNode guard{textNode};
    textNode->setFromCharacterReference(FTextFromCharRef);
    FReferenceNode->appendChild(textNode);
  }
  FText.clear();
  FTextFromCharRef = false;
}

void TXmlDomBuilder::AppendNew(TDomNode* node) {
  TUnplacedNode guard{node};
  FReferenceNode->appendChild(node);
}

std::u16string_view TXmlDomBuilder::MappedNamespace(std::u16string_view prefix) const {
  if (FPrefixMappings.empty()) {
    return std::u16string_view();
  }
  const auto places = FMappingPlaces.find(prefix);
  return places == FMappingPlaces.end() ? std::u16string_view()
                                        : FPrefixMappings[places->second.back()].second;
}

void TXmlDomBuilder::PushMapping(std::u16string_view prefix, std::u16string_view uri) {
  FMappingPlaces[WideString(prefix)].push_back(FPrefixMappings.size());
  FPrefixMappings.emplace_back(prefix, uri);
}

void TXmlDomBuilder::PopMapping() {
  if (FPrefixMappings.empty()) {
    return;
  }
  const auto places = FMappingPlaces.find(FPrefixMappings.back().first);
  places->second.pop_back();
  if (places->second.empty()) {
    FMappingPlaces.erase(places);
  }
  FPrefixMappings.pop_back();
}

void TXmlDomBuilder::StartDocument(const TXmlStartDocumentSignal& signal) {
  Reset();
  if (FReferenceNode->nodeType() != nkDocument) {
    return;
  }
  FDocument->setInputEncoding(WideString(signal.ActualEncoding));
  FDocument->setXmlEncoding(WideString(signal.DeclaredEncoding));
  FDocument->setXmlStandalone(signal.DeclaredStandalone);
  FDocument->setXmlVersion(WideString(signal.DeclaredVersion));
  FDocument->setDocumentURI(signal.SourceUri());
  if (FNamespaceDocument) {
    FNamespaceDocument->clearIds();
  }
}

void TXmlDomBuilder::StartElement(const TXmlStartElementSignal& signal) {
  TDomElement* element;
  if (FNamespaceDocument) {
    std::u16string_view prefix;
    std::u16string_view localName;
    SplitName(signal.TagName, prefix, localName);
    element = new TDomElement(FNamespaceDocument, MappedNamespace(prefix), signal.TagName);
  } else {
    element = new TDomElement(FPlainDocument, signal.TagName);
  }
  AppendNew(element);
  FReferenceNode = element;
}

void TXmlDomBuilder::AddAttribute(const TXmlAttributeSignal& signal) {
  auto* element = static_cast<TDomElement*>(FReferenceNode);
  const std::u16string_view value = signal.AttrValue;
  if (!FNamespaceDocument) {
    element->setAttribute(signal.AttrName, value);
    return;
  }
  std::u16string_view namespaceURI;
  if (signal.AttrName == u"xmlns") {
    namespaceURI = XmlnsNamespaceURI;
  } else {
    std::u16string_view prefix;
    std::u16string_view localName;
    SplitName(signal.AttrName, prefix, localName);
    if (prefix == u"xml") {
      namespaceURI = XmlNamespaceURI;
    } else if (prefix == u"xmlns") {
      namespaceURI = XmlnsNamespaceURI;
    } else if (!prefix.empty()) {
      namespaceURI = MappedNamespace(prefix);
    }
  }
  TDomAttr* attribute = element->setAttributeNS(namespaceURI, signal.AttrName, value);
  if (FBuildIDList && signal.AttrType == atId && attribute) {
    FNamespaceDocument->addId(WideString(attribute->nodeValue()), element);
  }
}

void TXmlDomBuilder::AddDoctype(const TXmlDoctypeSignal& signal) {
  if (FDocTypeDeclTreatment == dtIgnore) {
    return;
  }
  auto* doctype = new TDomDocumentTypeDecl(FDocument, signal.DeclName, signal.PublicId,
                                           signal.SystemId, signal.InternalSubset);
  doctype->IntSubsetStartByte = signal.SubsetByte;
  doctype->IntSubsetStartChar = signal.SubsetChar;
  doctype->IntSubsetStartColumn = signal.SubsetColumn;
  doctype->IntSubsetStartLine = signal.SubsetLine;
  AppendNew(doctype);
  if (FPlainDocument && FReferenceNode == FDocument) {
    const bool validating = FDocTypeDeclTreatment == dtCheckValidity;
    TDtdValidationAgent& agent = FPlainDocument->validationAgent();
    agent.PrepareDtdModel(validating);
    if (agent.DtdModel().PrepStatus() == psAborted) {
      throw EParserException(validating ? "Non-wellformed or invalid DTD."
                                        : "Non-wellformed DTD.");
    }
  }
}

void TXmlDomBuilder::ProcessSignal(TXmlSignal& signal) {
  const TXmlSignalKind kind = signal.Kind();
  if (!FReferenceNode) {
    switch (kind) {
    case skStartDocument:
    case skStartDocumentFragment:
    case skAborted:
      Reset();
      return;
    case skStartPrefixMapping: {
      const auto& mapping = static_cast<TXmlStartPrefixMappingSignal&>(signal);
      PushMapping(mapping.MappedPrefix, mapping.MappedUri);
      return;
    }
    case skEndPrefixMapping:
      PopMapping();
      return;
    default:
      return;
    }
  }
  switch (kind) {
  case skPCData: {
    const auto& text = static_cast<TXmlPCDATASignal&>(signal);
    if (FReferenceNode->nodeType() != nkDocument) {
      AppendText(text.IsCharRef, text.Text);
    }
    return;
  }
  case skEntityRef: {
    const std::u16string_view name = static_cast<TXmlEntityRefSignal&>(signal).RefName;
    const char16_t predefined = predefinedEntityChar(name);
    if (!FKeepEntityRefs && predefined != 0) {
      AppendText(false, std::u16string_view(&predefined, 1));
      return;
    }
    FlushText();
    AppendNew(new TDomEntityReference(FDocument, name));
    return;
  }
  case skCData: {
    const std::u16string_view text = static_cast<TXmlCDATASignal&>(signal).Text;
    if (!FKeepCDATASections) {
      AppendText(false, text);
      return;
    }
    FlushText();
    auto* section = new TDomCDATASection(FDocument, text);
    TUnplacedNode guard{section};
    FReferenceNode->appendChild(section);
    return;
  }
  case skAttribute:
    AddAttribute(static_cast<TXmlAttributeSignal&>(signal));
    return;
  default:
    break;
  }
  FlushText();
  switch (kind) {
  case skStartDocument:
    StartDocument(static_cast<TXmlStartDocumentSignal&>(signal));
    return;
  case skStartDocumentFragment:
  case skAborted:
    Reset();
    return;
  case skStartElement:
    StartElement(static_cast<TXmlStartElementSignal&>(signal));
    return;
  case skEndElement:
    if (TDomNode* parent = FReferenceNode->parentNode()) {
      FReferenceNode = parent;
    }
    return;
  case skComment: {
    if (!FKeepComments) {
      return;
    }
    auto* comment = new TDomComment(FDocument, static_cast<TXmlCommentSignal&>(signal).Text);
    TUnplacedNode guard{comment};
    FReferenceNode->appendChild(comment);
    return;
  }
  case skProcessingInstruction: {
    const auto& pi = static_cast<TXmlProcessingInstructionSignal&>(signal);
    auto* node = new TDomProcessingInstruction(FDocument, pi.PITarget, WideString(pi.PIData));
    TUnplacedNode guard{node};
    FReferenceNode->appendChild(node);
    return;
  }
  case skDoctype:
    AddDoctype(static_cast<TXmlDoctypeSignal&>(signal));
    return;
  case skStartPrefixMapping: {
    const auto& mapping = static_cast<TXmlStartPrefixMappingSignal&>(signal);
    PushMapping(mapping.MappedPrefix, mapping.MappedUri);
    return;
  }
  case skEndPrefixMapping:
    PopMapping();
    return;
  case skCompleted:
    return;
  default:
    if ((signal.AllowedContexts() & kDocumentContext) == 0) {
      throw EParserException("Internal Parser Exception");
    }
    return;
  }
}

} // namespace velmora
