#pragma once
// XML input sources: character readers that carry the document's identifiers; the full
// source also reads the XML declaration ahead and switches to the declared encoding.

#include "xml/ucs4_reader.h"

namespace velmora {

enum TXmlDeclKind : uint8_t {
  dkXmlDecl = 0,       // can only be an XML declaration (no encoding, or with standalone)
  dkTextDecl = 1,      // a text declaration (encoding without version)
  dkXmlOrTextDecl = 2, // version and encoding, no standalone
  dkNone = 3,          // no declaration
};

enum TDomStandalone : uint8_t { sdYes = 0, sdNo = 1, sdUnspecified = 2 };

class TXmlSimpleInputSource : public TUtilsUCS4Reader {
public:
  TXmlSimpleInputSource(TStream* stream, WideString publicId, WideString systemId,
                        int32_t bufferSize, TUnicodeCodecClass codecClass, int64_t initialByte,
                        int64_t initialChar, int64_t initialColumn, int64_t initialTabs,
                        int64_t initialLine, TBomDetection detection = bdDetect);

  // The own name of the current codec ("UTF-8", ...), or empty.
  virtual WideString EncodingName() const;

  const WideString& PublicId() const { return FPublicId; }
  const WideString& SystemId() const { return FSystemId; }

private:
  WideString FPublicId;
  WideString FSystemId;
};

class TXmlInputSource final : public TXmlSimpleInputSource {
public:
  // Reads the XML declaration, if any, and goes on with the declared encoding from the
  // character after it. A declared encoding that contradicts the byte-order mark raises
  // EConvertError, an unknown one ENot_Supported_Err. Positions after the declaration
  // continue its count unless keepInitialPosition restarts them from the initial values.
  TXmlInputSource(TStream* stream, WideString publicId, WideString systemId, int32_t bufferSize,
                  TUnicodeCodecClass codecClass, bool keepInitialPosition, int64_t initialByte,
                  int64_t initialChar, int64_t initialColumn, int64_t initialTabs,
                  int64_t initialLine);

  TXmlDeclKind DeclKind() const { return FDeclKind; }
  // The text began with "<?xml" but no well-formed declaration followed.
  bool BadDeclaration() const { return FBadDeclaration; }
  const WideString& DeclaredEncoding() const { return FDeclaredEncoding; }
  TDomStandalone DeclaredStandalone() const { return FDeclaredStandalone; }
  const WideString& DeclaredVersion() const { return FDeclaredVersion; }

private:
  bool ReadDeclaration();
  bool ReadEquals();
  bool ReadQuotedValue(WideString& value, bool (*isFirst)(int32_t), bool (*isNext)(int32_t));
  bool ReadStandalone();
  void SwitchToDeclaredEncoding();

  TXmlDeclKind FDeclKind = dkNone;
  bool FBadDeclaration = false;
  WideString FDeclaredEncoding;
  TDomStandalone FDeclaredStandalone = sdUnspecified;
  WideString FDeclaredVersion = u"1.0";
};

} // namespace velmora
