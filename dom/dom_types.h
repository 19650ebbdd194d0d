#pragma once
// The kinds of nodes, the flags of document positions and the other small enumerations of
// the object model, with the two namespace names that Namespaces in XML fixes.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

// This system's own codes (not the DOM Recommendation's numbers).
enum TDomNodeType : uint8_t {
  nkNone = 0,
  nkElement = 1,
  nkAttribute = 2,
  nkText = 3,
  nkCDATASection = 4,
  nkEntityReference = 5,
  nkProcessingInstruction = 6,
  nkComment = 7,
  nkDocument = 8,
  nkDocumentFragment = 9,
  nkDocumentType = 10,
  nkXPathNamespace = 11,
};

// Sets of node kinds, one bit per kind code.
using TDomNodeKinds = uint16_t;
constexpr TDomNodeKinds NodeKindBit(TDomNodeType kind) {
  return static_cast<TDomNodeKinds>(1u << kind);
}
constexpr TDomNodeKinds kPlainNodeChildKinds = 1786; // 1, 3, 4, 5, 6, 7, 9, 10
constexpr TDomNodeKinds kElementChildKinds = 762;    // 1, 3, 4, 5, 6, 7, 9
constexpr TDomNodeKinds kDocumentChildKinds = 1730;  // 1, 6, 7, 9, 10

// Document position flags.
using TDomDocumentPosition = uint8_t;
constexpr TDomDocumentPosition dpContainedBy = 1;
constexpr TDomDocumentPosition dpContains = 2;
constexpr TDomDocumentPosition dpDisconnected = 4;
constexpr TDomDocumentPosition dpEquivalent = 8;
constexpr TDomDocumentPosition dpFollowing = 16;
constexpr TDomDocumentPosition dpPreceding = 32;
constexpr TDomDocumentPosition dpSameNode = 64;

// Operations reported to user-data handlers.
enum TDomUserDataOperation : uint8_t { udCloned = 1, udDeleted = 2, udImported = 3 };

// Kinds of attribute changes.
enum TDomAttrChange : uint8_t { AC_ADDITION = 0, AC_MODIFICATION = 1, AC_REMOVAL = 2 };

// Kinds of namespace declarations an attribute may be.
enum TDomNamespaceDeclKind : uint8_t { ndDefault = 0, ndPrefixed = 1, ndNone = 2 };

extern const WideString XmlNamespaceURI;   // bound to the prefix "xml"
extern const WideString XmlnsNamespaceURI; // reserved for "xmlns" attributes

} // namespace velmora
