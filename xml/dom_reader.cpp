#include "xml/dom_reader.h"

#include <new>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"

namespace velmora {

namespace {

const WideString kNoUri;

} // namespace

bool DeclaredPrefix(std::u16string_view attributeName, std::u16string_view& prefix) {
  if (!attributeName.starts_with(u"xmlns:")) {
    return false;
  }
  prefix = attributeName.substr(6);
  return true;
}

TXmlStandardDomReader::TNodeLocation::TNodeLocation() : Uri(&kNoUri) {
  FValues = TLocationValues{0, 0, 0, 1, 0, nullptr, nullptr, 0, 0, 0, 1, 0};
}

const WideString& TXmlStandardDomReader::CurrentUri() const {
  if (!FCurrentNode) {
    return kNoUri;
  }
  if (FCurrentNode->nodeType() == nkDocument) {
    return static_cast<TDomCustomDocument*>(FCurrentNode)->documentURI();
  }
  const TDomCustomDocument* document = FCurrentNode->ownerDocument();
  return document ? document->documentURI() : kNoUri;
}

const TextLocation* TXmlStandardDomReader::Here() {
  FLocation.Uri = &CurrentUri();
  return &FLocation;
}

void TXmlStandardDomReader::SendAborted() {
  TXmlAbortedSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  Send(signal);
}

void TXmlStandardDomReader::SendAttribute(uint8_t attrType, std::u16string_view name,
                                          std::u16string_view value) {
  TXmlAttributeSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.AttrType = attrType;
  signal.AttrName = name;
  signal.AttrValue = value;
  Send(signal);
}

void TXmlStandardDomReader::SendCData(std::u16string_view text) {
  TXmlCDATASignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDomReader::SendComment(std::u16string_view text) {
  TXmlCommentSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDomReader::SendDoctype(std::u16string_view name, std::u16string_view publicId,
                                        std::u16string_view systemId,
                                        std::u16string_view internalSubset) {
  TXmlDoctypeSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.DeclName = name;
  signal.PublicId = publicId;
  signal.SystemId = systemId;
  signal.InternalSubset = internalSubset;
  Send(signal);
}

void TXmlStandardDomReader::SendEndElement(std::u16string_view tagName) {
  TXmlEndElementSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.TagName = tagName;
  Send(signal);
}

void TXmlStandardDomReader::SendEndPrefixMapping(std::u16string_view prefix) {
  TXmlEndPrefixMappingSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.MappedPrefix = prefix;
  Send(signal);
}

void TXmlStandardDomReader::SendEntityRef(std::u16string_view name) {
  TXmlEntityRefSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.RefName = name;
  Send(signal);
}

void TXmlStandardDomReader::SendCompleted() {
  TXmlCompletedSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  Send(signal);
}

void TXmlStandardDomReader::SendPCData(std::u16string_view text, bool charRefFlag) {
  TXmlPCDATASignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.IsCharRef = charRefFlag;
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDomReader::SendPI(std::u16string_view target, std::u16string_view data) {
  TXmlProcessingInstructionSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.PITarget = target;
  signal.PIData = data;
  Send(signal);
}

void TXmlStandardDomReader::SendStartDocument(std::u16string_view actualEncoding,
                                              std::u16string_view version, uint8_t standalone,
                                              std::u16string_view declaredEncoding) {
  TXmlStartDocumentSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.ActualEncoding = actualEncoding;
  signal.DeclaredVersion = version;
  signal.DeclaredStandalone = standalone;
  signal.DeclaredEncoding = declaredEncoding;
  Send(signal);
}

void TXmlStandardDomReader::SendStartFragment(std::u16string_view encoding) {
  TXmlStartDocumentFragmentSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.ActualEncoding = encoding;
  Send(signal);
}

void TXmlStandardDomReader::SendStartElement(std::u16string_view tagName) {
  TXmlStartElementSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.TagName = tagName;
  Send(signal);
}

void TXmlStandardDomReader::SendStartPrefixMapping(std::u16string_view prefix,
                                                   std::u16string_view uri) {
  TXmlStartPrefixMappingSignal signal(this, Here());
  signal.SetDomNode(FCurrentNode);
  signal.MappedPrefix = prefix;
  signal.MappedUri = uri;
  Send(signal);
}

// The prefixes the element declares are mapped before its start, so that a copy into a
// namespace-aware document finds them; a plain xmlns maps nothing.
void TXmlStandardDomReader::SendElementStart(TDomElement* element) {
  const TDomNodeVector& attributes = element->attributeItems();
  for (TCustomOwnedNode* item : attributes) {
    const auto* attribute = static_cast<const TDomAttr*>(item);
    std::u16string_view prefix;
    if (DeclaredPrefix(attribute->nodeName(), prefix)) {
      SendStartPrefixMapping(prefix, attribute->nodeValue());
    }
  }
  SendStartElement(element->nodeName());
  TDomCustomDocument* document = element->ownerDocument();
  for (TCustomOwnedNode* item : attributes) {
    auto* attribute = static_cast<TDomAttr*>(item);
    if (FIgnoreUnspecified && !attribute->specified()) {
      continue;
    }
    const int attrType =
        document ? document->attributeType(element->nodeName(), attribute->nodeName()) : 0;
    SendAttribute(static_cast<uint8_t>(attrType), attribute->nodeName(), attribute->nodeValue());
  }
}

void TXmlStandardDomReader::LeaveElement(TDomElement* element) {
  FCurrentNode = element;
  SendEndElement(element->nodeName());
  const TDomNodeVector& attributes = element->attributeItems();
  for (auto item = attributes.rbegin(); item != attributes.rend(); ++item) {
    std::u16string_view prefix;
    if (DeclaredPrefix(static_cast<const TDomAttr*>(*item)->nodeName(), prefix)) {
      SendEndPrefixMapping(prefix);
    }
  }
}

bool TXmlStandardDomReader::ReplaysContent(const TDomNode* node) const {
  return FReplayEntityContent && node->nodeType() == nkEntityReference && node->hasTreeChildren();
}

void TXmlStandardDomReader::EnterNode(TDomNode* node) {
  FCurrentNode = node;
  switch (node->nodeType()) {
  case nkElement:
    SendElementStart(static_cast<TDomElement*>(node));
    return;
  case nkText:
    SendPCData(node->nodeValue(), static_cast<TDomText*>(node)->fromCharacterReference());
    return;
  case nkCDATASection:
    SendCData(node->nodeValue());
    return;
  case nkEntityReference:
    if (!ReplaysContent(node)) {
      SendEntityRef(node->nodeName());
    }
    return;
  case nkProcessingInstruction:
    SendPI(node->nodeName(), node->nodeValue());
    return;
  case nkComment:
    SendComment(node->nodeValue());
    return;
  case nkDocument:
    return;
  case nkDocumentType: {
    const auto* doctype = static_cast<TDomDocumentTypeDecl*>(node);
    SendDoctype(doctype->name(), doctype->publicId(), doctype->systemId(),
                doctype->internalSubset());
    return;
  }
  default:
    throw EParserException("Internal Parser error.");
  }
}

// Depth first along the tree's own links: elements and the document are entered, their
// children walked, and elements left again.
void TXmlStandardDomReader::WalkNode(TDomNode* node) {
  TDomNode* const saved = FCurrentNode;
  TDomNode* current = node;
  for (;;) {
    EnterNode(current);
    const TDomNodeType type = current->nodeType();
    const bool walksChildren = type == nkElement || type == nkDocument || ReplaysContent(current);
    if (walksChildren && current->hasTreeChildren()) {
      current = static_cast<TDomNode*>(current->firstTreeChild());
      continue;
    }
    // Leave the nodes that are done, innermost first, until one has a next sibling.
    for (;;) {
      if (current->nodeType() == nkElement) {
        LeaveElement(static_cast<TDomElement*>(current));
      }
      if (current == node) {
        FCurrentNode = saved;
        return;
      }
      if (TCustomOwnedNode* next = current->nextTreeSibling()) {
        current = static_cast<TDomNode*>(next);
        break;
      }
      current = static_cast<TDomNode*>(current->treeParent());
    }
  }
}

bool TXmlStandardDomReader::ReadNode(TDomNode* node) {
  if (!node) {
    throw EAccessViolation("Source node not specified.");
  }
  try {
    if (node->nodeType() == nkDocument) {
      auto* document = static_cast<TDomCustomDocument*>(node);
      FCurrentNode = document;
      SendStartDocument(document->inputEncoding(), document->xmlVersion(),
                        document->xmlStandalone(), document->xmlEncoding());
      SendPCData(u"\n", false);
    } else {
      FCurrentNode = nullptr;
      const TDomCustomDocument* document = node->ownerDocument();
      std::u16string_view encoding;
      if (document) {
        encoding = document->xmlEncoding().empty() ? std::u16string_view(document->inputEncoding())
                                                   : std::u16string_view(document->xmlEncoding());
      }
      SendStartFragment(encoding);
    }
    WalkNode(node);
    SendCompleted();
    return true;
  } catch (const std::bad_alloc&) {
    // Memory that ran out is no fault of the document: the caller reports it.
    SendAborted();
    throw;
  } catch (const std::exception&) {
    SendAborted();
    return false;
  }
}

} // namespace velmora
