#pragma once
// A handler between the well-formedness test and the builder of a load that parses straight
// into the XPath document. It makes the reader's signals what the DOM reader would replay
// from the parsed and expanded document: an element's own namespace declarations map their
// prefixes before its start and unmap them after its end, and attribute values are written
// out as the expansion writes them. Whatever needs the document type (its declaration, a
// reference to an entity that is not predefined, a value that does not expand) stops the
// read and asks for the load through the parsed document instead.

#include <exception>
#include <vector>

#include "xml/handlers.h"

namespace velmora {

class TDomCustomDocument;

class TXmlDirectLoadHandler final : public TXmlCustomHandler {
public:
  // normalizer: a document without a type declaration, whose rules expand attribute values.
  TXmlDirectLoadHandler(TComponent* owner, TDomCustomDocument* normalizer);
  const char* ClassName() const override { return "TXmlDirectLoadHandler"; }

  // Raises (and so stops the read) at what needs the load through a parsed document.
  void ProcessSignal(TXmlSignal& signal) override;

private:
  // What stops the read.
  class EFullLoadNeeded : public std::exception {};

  struct TPendingAttribute {
    size_t NameStart, NameLength, ValueStart, ValueLength;
    uint8_t Type;
  };
  struct TMappedPrefix {
    size_t Start, Length;
  };

  [[noreturn]] void StopForFullLoad();
  void StartElement(const TXmlStartElementSignal& signal);
  void AddAttribute(const TXmlAttributeSignal& signal);
  // Sends the waiting element: its prefix mappings, its start, its attributes.
  void SendPendingElement(TXmlSignal& next);
  void EndElement(TXmlSignal& signal);
  std::u16string_view Text(size_t start, size_t length) const {
    return std::u16string_view(FPendingText).substr(start, length);
  }

  TDomCustomDocument* FNormalizer;
  // The element whose start was read but not yet sent, with its attributes; their texts
  // lie back to back in FPendingText.
  bool FElementPending = false;
  size_t FTagNameLength = 0;
  WideString FPendingText;
  std::vector<TPendingAttribute> FPendingAttributes;
  WideString FExpanded; // a value being written out
  // The prefixes mapped by the open elements, innermost last, and how many each mapped.
  WideString FPrefixText;
  std::vector<TMappedPrefix> FMappedPrefixes;
  std::vector<uint32_t> FMappingCounts;
};

} // namespace velmora
