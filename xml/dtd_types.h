#pragma once
// The codes that declarations of a document type carry: attribute types, default kinds and
// content types, shared by the DTD reader's signals, the DTD model and the validation agent;
// and the codes of the model itself.

#include <cstdint>

namespace velmora {

enum TDtdAttrType : uint8_t {
  atCData = 0,
  atNotation = 1,
  atId = 2,
  atIdRef = 3,
  atIdRefs = 4,
  atEntity = 5,
  atEntities = 6,
  atNmToken = 7, // also every enumerated type
  atNmTokens = 8,
};

enum TDtdDefaultKind : uint8_t {
  dfValue = 0, // a default value only
  dfFixed = 1,
  dfImplied = 2,
  dfRequired = 3,
};

enum TDtdContentType : uint8_t {
  ctAny = 0,
  ctEmpty = 1,
  ctElementContent = 2,
  ctMixed = 3,
  ctStrictMixed = 4,
};

enum TDtdObjectType : uint8_t {
  otUndefined = 0,
  otAttListDecl = 1,
  otAttributeDecl = 2,
  otContentModel = 3,
  otElementDecl = 4,
  otEntityDecl = 5,
  otNotationDecl = 6,
};

enum TDtdContentModelKind : uint8_t {
  cmChoice = 0,
  cmElement = 1, // one element name
  cmSequence = 2,
};

// A set of content-model kinds, one bit per kind.
using TDtdContentModelKinds = uint8_t;
constexpr TDtdContentModelKinds ContentModelKindBit(TDtdContentModelKind kind) {
  return static_cast<TDtdContentModelKinds>(1u << kind);
}

enum TDtdFrequency : uint8_t {
  frOnce = 0,
  frOptional = 1,   // "?"
  frOneOrMore = 2,  // "+"
  frZeroOrMore = 3, // "*"
};

enum TDtdOrigin : uint8_t {
  orInternal = 0, // the internal subset
  orExternal = 1, // the external subset, or any parameter entity's replacement text
  orPredefined = 2,
};

enum TDtdPrepStatus : uint8_t {
  psUnprepared = 0,
  psInProgress = 1,
  // The internal subset is complete; the external subset was not read, or a standalone
  // document referred to an unread parameter entity.
  psExtSubsetUnread = 2,
  psIncomplete = 3, // declarations after an unread parameter entity were skipped
  psAborted = 4,
  psIntSubsetComplete = 5, // transient
  psComplete = 6,
  psNoDeclarations = 7, // no internal subset and nothing read
};

} // namespace velmora
