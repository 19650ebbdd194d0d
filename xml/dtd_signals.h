#pragma once
// The signals of document type declarations: the start of an external or internal subset,
// one signal per markup declaration (an ATTLIST declaration gives one per attribute
// definition), and the parameter-entity references that were found or left unread. Like
// every signal they live on their sender's stack and view its buffers.

#include "xml/dtd_types.h"
#include "xml/signals.h"

namespace velmora {

class TXmlStartExtDtdSignal final : public TXmlSignal {
public:
  TXmlStartExtDtdSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartExtDtd, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartExtDtdSignal(const TXmlStartExtDtdSignal& source, TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view DeclaredEncoding;
  std::u16string_view ActualEncoding;
  std::u16string_view PublicId;
  std::u16string_view SystemId;
  std::u16string_view DeclaredVersion;
};

class TXmlStartIntDtdSignal final : public TXmlSignal {
public:
  TXmlStartIntDtdSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartIntDtd, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartIntDtdSignal(const TXmlStartIntDtdSignal& source, TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view SystemId;
  uint8_t DeclaredStandalone = 2; // sdUnspecified
};

class TXmlElementTypeDeclarationSignal final : public TXmlSignal {
public:
  TXmlElementTypeDeclarationSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skElementTypeDeclaration, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlElementTypeDeclarationSignal(const TXmlElementTypeDeclarationSignal& source,
                                   TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view ContentSpec; // as written
  std::u16string_view DeclName;
  bool InParameterEntity = false;
};

class TXmlAttributeDefinitionSignal final : public TXmlSignal {
public:
  TXmlAttributeDefinitionSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skAttributeDefinition, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlAttributeDefinitionSignal(const TXmlAttributeDefinitionSignal& source,
                                TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view AttrName;
  TDtdAttrType AttrType = atCData;
  TDtdDefaultKind DefaultKind = dfImplied;
  std::u16string_view DefaultValue; // as written, without the quotes
  // The tokens of an enumerated or NOTATION type, empty otherwise.
  std::vector<std::u16string_view> EnumTokens;
  std::u16string_view ElemType;
  bool InParameterEntity = false;
};

class TXmlEntityDeclarationSignal final : public TXmlSignal {
public:
  TXmlEntityDeclarationSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skEntityDeclaration, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlEntityDeclarationSignal(const TXmlEntityDeclarationSignal& source, TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view DeclBaseUri;
  std::u16string_view ValueText;
  std::u16string_view PublicId;
  std::u16string_view NDataName;
  std::u16string_view DeclName;
  std::u16string_view SystemId;
  bool InParameterEntity = false;
};

class TXmlParameterEntityDeclarationSignal final : public TXmlSignal {
public:
  TXmlParameterEntityDeclarationSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skParameterEntityDeclaration, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlParameterEntityDeclarationSignal(const TXmlParameterEntityDeclarationSignal& source,
                                       TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view DeclBaseUri;
  std::u16string_view DeclName;
  std::u16string_view ValueText;
  std::u16string_view PublicId;
  std::u16string_view SystemId;
};

class TXmlNotationDeclarationSignal final : public TXmlSignal {
public:
  TXmlNotationDeclarationSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skNotationDeclaration, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlNotationDeclarationSignal(const TXmlNotationDeclarationSignal& source,
                                TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view DeclName;
  std::u16string_view PublicId;
  std::u16string_view SystemId;
  bool InParameterEntity = false;
};

// A parameter-entity reference between declarations that was passed on unread.
class TXmlExternalPEReferenceSignal final : public TXmlSignal {
public:
  TXmlExternalPEReferenceSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skExternalPEReference, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlExternalPEReferenceSignal(const TXmlExternalPEReferenceSignal& source,
                                TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }

  std::u16string_view RefName; // without "%" and ";"
};

// A parameter-entity reference was met (whether or not it could be read).
class TXmlPEReferenceFoundSignal final : public TXmlSignal {
public:
  TXmlPEReferenceFoundSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skPEReferenceFound, origin, location) {}
  // The base of a clone: the location of source.
  TXmlPEReferenceFoundSignal(const TXmlPEReferenceFoundSignal& source, TXmlCustomReader* origin)
      : TXmlSignal(source, origin) {}
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDtdContext; }
};

} // namespace velmora
