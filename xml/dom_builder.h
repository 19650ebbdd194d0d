#pragma once
// The DOM builder: the last handler of a chain, which makes DOM nodes of the signals it
// receives and appends them below its reference node (the target document or fragment at
// the start, then the element being built).

#include <unordered_map>
#include <utility>
#include <vector>

#include "dom/wide_string_builder.h"
#include "xml/handlers.h"

namespace velmora {

class TDomCustomDocument;
class TDomDocument;
class TDomDocumentNS;
class TDomElement;

enum TDomDocTypeDeclTreatment : uint8_t {
  dtIgnore = 0,
  dtCheckWellformedness = 1,
  dtCheckValidity = 2,
};

class TXmlDomBuilder : public TXmlCustomHandler {
public:
  explicit TXmlDomBuilder(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TXmlDomBuilder"; }

  void ProcessSignal(TXmlSignal& signal) override;
  // Text for the reference node: merged with the text before it into one text node.
  virtual void AppendText(bool charRefFlag, std::u16string_view text);
  // Forgets the prefix mappings (and any text not yet placed).
  virtual void Reset();

  // Must be set before signals arrive: the document or fragment to build into.
  TDomNode* ReferenceNode() const { return FReferenceNode; }
  void SetReferenceNode(TDomNode* node);

  bool BuildIDList() const { return FBuildIDList; }
  void SetBuildIDList(bool value) { FBuildIDList = value; }
  TDomDocTypeDeclTreatment DocTypeDeclTreatment() const { return FDocTypeDeclTreatment; }
  void SetDocTypeDeclTreatment(TDomDocTypeDeclTreatment value) { FDocTypeDeclTreatment = value; }
  bool KeepCDATASections() const { return FKeepCDATASections; }
  void SetKeepCDATASections(bool value) { FKeepCDATASections = value; }
  bool KeepComments() const { return FKeepComments; }
  void SetKeepComments(bool value) { FKeepComments = value; }
  bool KeepEntityRefs() const { return FKeepEntityRefs; }
  void SetKeepEntityRefs(bool value) { FKeepEntityRefs = value; }

private:
  // Text is collected and placed as one node when the next other signal comes.
  void FlushText();
  // Appends node to the reference node; a node that cannot be appended is freed.
  void AppendNew(TDomNode* node);
  void StartElement(const TXmlStartElementSignal& signal);
  void AddAttribute(const TXmlAttributeSignal& signal);
  void AddDoctype(const TXmlDoctypeSignal& signal);
  void StartDocument(const TXmlStartDocumentSignal& signal);
  // The namespace the innermost mapping gives prefix, or empty.
  std::u16string_view MappedNamespace(std::u16string_view prefix) const;
  void PushMapping(std::u16string_view prefix, std::u16string_view uri);
  void PopMapping();

  TDomNode* FReferenceNode = nullptr;
  TDomCustomDocument* FDocument = nullptr; // the reference node's document
  TDomDocument* FPlainDocument = nullptr;  // it as a DOM Level 1 document, or none
  TDomDocumentNS* FNamespaceDocument = nullptr; // it as a namespace-aware one, or none
  std::vector<std::pair<WideString, WideString>> FPrefixMappings; // innermost last
  // For each mapped prefix, the places of its mappings in FPrefixMappings, innermost last:
  // an element may declare 10^5 prefixes, and every name asks.
  std::unordered_map<WideString, std::vector<size_t>, TWideStringHash, std::equal_to<>>
      FMappingPlaces;
  TUtilsCustomWideStr FText;
  bool FTextFromCharRef = false;
  bool FBuildIDList = true;
  TDomDocTypeDeclTreatment FDocTypeDeclTreatment = dtCheckWellformedness;
  bool FKeepCDATASections = true;
  bool FKeepComments = true;
  bool FKeepEntityRefs = true;
};

} // namespace velmora
