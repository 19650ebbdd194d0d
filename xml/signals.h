#pragma once
// Signals: one small record per event of a document (start tag, attribute, text, ...) with
// its location, passed synchronously down a chain of handlers. A signal lives on the stack
// of the routine that sends it; its texts are views of the sender's buffers, so no handler
// may keep one (CloneSignal makes a copy that owns its texts).

#include <memory>
#include <vector>

#include "xml/text_location.h"

namespace velmora {

class TXmlCustomReader;

// What a handler dispatches on.
enum TXmlSignalKind : uint8_t {
  skStartDocument,
  skStartDocumentFragment,
  skStartElement,
  skEndElement,
  skAttribute,
  skPCData,
  skCData,
  skComment,
  skProcessingInstruction,
  skEntityRef,
  skDoctype,
  skStartPrefixMapping,
  skEndPrefixMapping,
  skCompleted,
  skAborted,
  // Signals of document type declarations.
  skStartExtDtd,
  skStartIntDtd,
  skElementTypeDeclaration,
  skAttributeDefinition,
  skEntityDeclaration,
  skParameterEntityDeclaration,
  skNotationDeclaration,
  skExternalPEReference,
  skPEReferenceFound,
};

// The contexts a signal may occur in (AllowedContexts).
constexpr uint8_t kDocumentContext = 1;
constexpr uint8_t kDtdContext = 2;

// What a signal's own test found wrong: ekNone, or a kind with its texts (views of the
// signal's data, of constants, or of a text the finder keeps until it has reported).
struct TSignalFault {
  int Kind = 0;
  std::u16string_view Snippet;
  std::u16string_view Clue;

  void Set(int kind, std::u16string_view snippet = std::u16string_view(),
           std::u16string_view clue = std::u16string_view()) {
    Kind = kind;
    Snippet = snippet;
    Clue = clue;
  }
};

class TXmlSignal : public TextLocation {
public:
  TXmlSignal(const TXmlSignal&) = delete;
  TXmlSignal& operator=(const TXmlSignal&) = delete;
  ~TXmlSignal() override {
    if (FKept) {
      FreeKept();
    }
  }

  TXmlSignalKind Kind() const { return FKind; }
  // The reader that produced the signal; errors found later are reported through it.
  TXmlCustomReader* Origin() const { return FOrigin; }

  // The answers of the location the signal was created at (-1 and none without one); the
  // node and the DTD object may be set on the signal.
  int64_t EndByte() const override { return FLocation ? FLocation->EndByte() : -1; }
  int64_t EndChar() const override { return FLocation ? FLocation->EndChar() : -1; }
  int64_t EndColumn() const override { return FLocation ? FLocation->EndColumn() : -1; }
  int64_t EndLine() const override { return FLocation ? FLocation->EndLine() : -1; }
  int64_t EndTabs() const override { return FLocation ? FLocation->EndTabs() : -1; }
  TDtdObject* DtdObject() const override;
  TDomNode* DomNode() const override;
  int64_t StartByte() const override { return FLocation ? FLocation->StartByte() : -1; }
  int64_t StartChar() const override { return FLocation ? FLocation->StartChar() : -1; }
  int64_t StartColumn() const override { return FLocation ? FLocation->StartColumn() : -1; }
  int64_t StartLine() const override { return FLocation ? FLocation->StartLine() : -1; }
  int64_t StartTabs() const override { return FLocation ? FLocation->StartTabs() : -1; }
  const WideString& SourceUri() const override;
  TLocationValues Values() const override;

  void SetDomNode(TDomNode* node) { FDomNode = node; }
  void SetDtdObject(TDtdObject* object) { FDtdObject = object; }

  // The signal's own well-formedness rules; the base has none.
  virtual void TestWellformedness(TSignalFault& fault) const;
  // A signal of the same class with the same location and data, owning its texts.
  virtual std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const = 0;
  virtual uint8_t AllowedContexts() const = 0;

protected:
  // At location, which is referred to, not copied: the signal lives only while its sender
  // holds the location still (none: -1 in every position, no objects, no URI).
  TXmlSignal(TXmlSignalKind kind, TXmlCustomReader* origin, const TextLocation* location)
      : FKind(kind), FOrigin(origin), FLocation(location) {}
  // The base of a clone of source: a copy of its location's answers.
  TXmlSignal(const TXmlSignal& source, TXmlCustomReader* origin);

  // For clones: a copy of text that lives as long as the signal.
  std::u16string_view Keep(std::u16string_view text);

private:
  class TKept;
  void FreeKept();

  TXmlSignalKind FKind;
  TXmlCustomReader* FOrigin;
  const TextLocation* FLocation;
  TDomNode* FDomNode = nullptr;
  TDtdObject* FDtdObject = nullptr;
  TKept* FKept = nullptr; // what a clone owns; freed with the signal
};

// The signal classes of documents. Their fields are public: handlers read them, and
// senders fill them before sending.

class TXmlStartDocumentSignal final : public TXmlSignal {
public:
  TXmlStartDocumentSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartDocument, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartDocumentSignal(const TXmlStartDocumentSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view DeclaredEncoding;
  std::u16string_view ActualEncoding;
  uint8_t DeclaredStandalone = 2; // sdUnspecified
  std::u16string_view DeclaredVersion;
};

class TXmlStartDocumentFragmentSignal final : public TXmlSignal {
public:
  TXmlStartDocumentFragmentSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartDocumentFragment, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartDocumentFragmentSignal(const TXmlStartDocumentFragmentSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view ActualEncoding;
};

class TXmlStartElementSignal final : public TXmlSignal {
public:
  TXmlStartElementSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartElement, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartElementSignal(const TXmlStartElementSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view TagName;
};

class TXmlEndElementSignal final : public TXmlSignal {
public:
  TXmlEndElementSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skEndElement, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlEndElementSignal(const TXmlEndElementSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view TagName;
};

class TXmlAttributeSignal final : public TXmlSignal {
public:
  TXmlAttributeSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skAttribute, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlAttributeSignal(const TXmlAttributeSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  uint8_t AttrType = 0; // string
  std::u16string_view AttrName;
  std::u16string_view AttrValue;
};

class TXmlPCDATASignal final : public TXmlSignal {
public:
  TXmlPCDATASignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skPCData, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlPCDATASignal(const TXmlPCDATASignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  bool IsCharRef = false; // produced by a character reference
  std::u16string_view Text;
};

class TXmlCDATASignal final : public TXmlSignal {
public:
  TXmlCDATASignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skCData, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlCDATASignal(const TXmlCDATASignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view Text;
};

class TXmlCommentSignal final : public TXmlSignal {
public:
  TXmlCommentSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skComment, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlCommentSignal(const TXmlCommentSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext | kDtdContext; }

  std::u16string_view Text;
};

class TXmlProcessingInstructionSignal final : public TXmlSignal {
public:
  TXmlProcessingInstructionSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skProcessingInstruction, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlProcessingInstructionSignal(const TXmlProcessingInstructionSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext | kDtdContext; }

  std::u16string_view PIData;
  std::u16string_view PITarget;
};

class TXmlEntityRefSignal final : public TXmlSignal {
public:
  TXmlEntityRefSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skEntityRef, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlEntityRefSignal(const TXmlEntityRefSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view RefName;
};

class TXmlDoctypeSignal final : public TXmlSignal {
public:
  TXmlDoctypeSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skDoctype, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlDoctypeSignal(const TXmlDoctypeSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view InternalSubset;
  std::u16string_view DeclName;
  // Where the internal subset starts.
  int64_t SubsetByte = -1;
  int64_t SubsetChar = -1;
  int64_t SubsetColumn = -1;
  int64_t SubsetLine = -1;
  std::u16string_view PublicId;
  std::u16string_view SystemId;
};

class TXmlStartPrefixMappingSignal final : public TXmlSignal {
public:
  TXmlStartPrefixMappingSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skStartPrefixMapping, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlStartPrefixMappingSignal(const TXmlStartPrefixMappingSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view MappedPrefix;
  std::u16string_view MappedUri;
};

class TXmlEndPrefixMappingSignal final : public TXmlSignal {
public:
  TXmlEndPrefixMappingSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skEndPrefixMapping, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlEndPrefixMappingSignal(const TXmlEndPrefixMappingSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  void TestWellformedness(TSignalFault& fault) const override;
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext; }

  std::u16string_view MappedPrefix;
};

class TXmlCompletedSignal final : public TXmlSignal {
public:
  TXmlCompletedSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skCompleted, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlCompletedSignal(const TXmlCompletedSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext | kDtdContext; }
};

class TXmlAbortedSignal final : public TXmlSignal {
public:
  TXmlAbortedSignal(TXmlCustomReader* origin, const TextLocation* location)
      : TXmlSignal(skAborted, origin, location) {}
  // The base of a clone: the location of source; the fields are set by CloneSignal.
  TXmlAbortedSignal(const TXmlAbortedSignal& source, TXmlCustomReader* origin) : TXmlSignal(source, origin) {}
  std::unique_ptr<TXmlSignal> CloneSignal(TXmlCustomReader* origin) const override;
  uint8_t AllowedContexts() const override { return kDocumentContext | kDtdContext; }
};

// The rules of an attribute value as written (also of a declared default value): no "<",
// only XML characters, complete references with names or valid character numbers.
void TestAttValueText(std::u16string_view value, TSignalFault& fault);

// The character data rule: no "]]>", and only XML characters (surrogates in pairs). The
// index of the first offending unit, or npos when text passes; "]]>" is reported at its
// "]".
size_t FindCharDataFault(std::u16string_view text, bool allowCDataEnd);

} // namespace velmora
