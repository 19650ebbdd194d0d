#pragma once
// The codes that declarations of a document type carry: attribute types, default kinds and
// content types, shared by the DTD reader's signals, the DTD model and the validation agent.

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

} // namespace velmora
