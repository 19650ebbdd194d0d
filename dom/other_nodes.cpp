#include "dom/other_nodes.h"

#include "dom/document.h"
#include "dom/xml_rules.h"

namespace velmora {

namespace {

[[noreturn]] void RaiseIndexSize() {
  throw EIndex_Size_Err(dom_messages::kIndexSize);
}

void CheckName(std::u16string_view name, bool (*rule)(std::u16string_view)) {
  if (!rule(name)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
}

} // namespace

TDomCharacterData::TDomCharacterData(TCustomOwnedObject* owner) : TDomValueNode(owner) {
  setAllowedChildKinds(0);
}

TDomCharacterData::TDomCharacterData(TCustomOwnedObject* owner, std::u16string_view data)
    : TDomValueNode(owner) {
  setAllowedChildKinds(0);
  FNodeValue.assign(data);
}

void TDomCharacterData::setData(std::u16string_view value) {
  setNodeValue(value);
  notifyDataModified();
}

WideString TDomCharacterData::substringData(int offset, int count) const {
  if (offset < 0 || offset > length() || count < 0) {
    RaiseIndexSize();
  }
  return WideString(
      FNodeValue.view().substr(static_cast<size_t>(offset), static_cast<size_t>(count)));
}

void TDomCharacterData::appendData(std::u16string_view arg) {
  checkNotReadOnly();
  // In place: a text the builder extends piece by piece grows in linear time.
  FNodeValue.append(arg);
  notifyDataModified();
}

void TDomCharacterData::replaceData(int offset, int count, std::u16string_view arg) {
  checkNotReadOnly();
  if (offset < 0 || offset > length() || count < 0) {
    RaiseIndexSize();
  }
  const size_t start = static_cast<size_t>(offset);
  const size_t cut = std::min(static_cast<size_t>(count), FNodeValue.size() - start);
  WideString value(FNodeValue.view().substr(0, start));
  value += arg;
  value += FNodeValue.view().substr(start + cut);
  setData(value);
}

void TDomCharacterData::notifyDataModified() {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->doCharacterDataModified(this);
  }
}

const WideString& TDomText::nodeName() const {
  static const WideString name = u"#text";
  return name;
}

bool TDomText::isWhitespaceInElementContent() const {
  const TDomCustomDocument* document = referenceDocument();
  return document && document->isWhitespaceInElementContent(this);
}

TDomText* TDomText::splitText(int offset) {
  checkNotReadOnly();
  if (offset < 0 || offset > length()) {
    RaiseIndexSize();
  }
  // The new node must be insertable before any text is cut, so that a refusal loses
  // nothing.
  TDomNode* parent = parentNode();
  if (parent && parent->isReadOnly()) {
    throw ENo_Modification_Allowed_Err(dom_messages::kTreeNoModificationAllowed);
  }
  // Owned by this node's owner, so that it may join this node's parent.
  auto* split = new TDomText(GetOwner());
  split->FNodeValue.assign(FNodeValue.view().substr(static_cast<size_t>(offset)));
  split->setFromCharacterReference(fromCharacterReference());
  TDomNode* next = nextSibling();
  deleteData(offset, length() - offset);
  if (parent) {
    parent->insertBefore(split, next);
  }
  return split;
}

const WideString& TDomCDATASection::nodeName() const {
  static const WideString name = u"#cdata-section";
  return name;
}

const WideString& TDomComment::nodeName() const {
  static const WideString name = u"#comment";
  return name;
}

TDomProcessingInstruction::TDomProcessingInstruction(TCustomOwnedObject* owner,
                                                     std::u16string_view target)
    : TDomValueNode(owner), FTarget(target) {
  setAllowedChildKinds(0);
  CheckName(target, conformsToPITarget);
}

TDomProcessingInstruction::TDomProcessingInstruction(TCustomOwnedObject* owner,
                                                     std::u16string_view target,
                                                     std::u16string_view data)
    : TDomProcessingInstruction(owner, target) {
  FNodeValue.assign(data);
}

void TDomProcessingInstruction::setData(std::u16string_view value) {
  setNodeValue(value);
  notifyDataModified();
}

void TDomProcessingInstruction::notifyDataModified() {
  if (TDomCustomDocument* document = referenceDocument()) {
    document->doCharacterDataModified(this);
  }
}

TDomDocumentTypeDecl::TDomDocumentTypeDecl(TCustomOwnedObject* owner, std::u16string_view name,
                                           std::u16string_view publicId,
                                           std::u16string_view systemId,
                                           std::u16string_view internalSubset)
    : TDomNode(owner), FName(name), FPublicId(publicId), FSystemId(systemId),
      FInternalSubset(internalSubset) {
  setAllowedChildKinds(0);
  confirmAdmission();
}

TDomEntityReference::TDomEntityReference(TCustomOwnedObject* owner, std::u16string_view name)
    : TDomNode(owner), FName(name) {
  setAllowedChildKinds(kElementChildKinds);
  CheckName(name, conformsToName);
  setReadOnly(true);
  confirmAdmission();
}

TDomDocumentFragment::TDomDocumentFragment(TCustomOwnedObject* owner) : TDomNode(owner) {
  setAllowedChildKinds(kElementChildKinds);
}

const WideString& TDomDocumentFragment::nodeName() const {
  static const WideString name = u"#document-fragment";
  return name;
}

} // namespace velmora
