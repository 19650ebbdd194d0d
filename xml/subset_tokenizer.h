#pragma once
// The subset tokenizers: assemble whole markup declarations, comments, processing
// instructions and conditional sections from the detail tokens of a DTD subset, check
// their shape, and build one signal for each. The external subset reads parameter
// entities wherever they occur; the internal subset only between declarations, and has no
// conditional sections.

#include <functional>
#include <memory>
#include <vector>

#include "xml/attlist_definitions.h"
#include "xml/dtd_pe_tokenizer.h"
#include "xml/dtd_signals.h"

namespace velmora {

class TXmlCustomReader;
class TXmlInputSource;

enum TXmlSubsetTokenKind : uint8_t {
  stAttListDecl = 0, // one attribute definition of an ATTLIST declaration
  stComment = 1,
  stCondSectEnd = 2, // the end of a conditional section, or a malformed one
  stElementDecl = 3,
  stEndOfSubset = 4,
  stEntityDecl = 5,    // a general entity
  stExternalPERef = 6, // a parameter-entity reference left unread
  stWhitespace = 7,
  stInvalid = 8,
  stNotationDecl = 9,
  stPEDecl = 10,
  stPI = 11,
  stStart = 12,
};

class TXmlCustomSubsetTokenizer : public TextLocation {
public:
  using TReferenceFoundEvent = std::function<void(const TextLocation& location)>;
  using TAttlistNotedEvent =
      std::function<void(const TextLocation& location, std::u16string_view elementType)>;

  TXmlCustomSubsetTokenizer(const TXmlCustomSubsetTokenizer&) = delete;
  TXmlCustomSubsetTokenizer& operator=(const TXmlCustomSubsetTokenizer&) = delete;
  ~TXmlCustomSubsetTokenizer() override;

  // Reads the next token; its signal, if it has one, is Signal() until the next call.
  void NextToken();

  bool IsExternal() const { return FPETokenizer.Treatment() == peResolveAll; }
  TXmlSubsetTokenKind TokenKind() const { return FTokenKind; }
  uint8_t ErrorKind() const { return FErrorKind; }
  const WideString& Clue() const { return FClue; }
  // The signal of the current token, or none; its origin is the reader given at creation.
  TXmlSignal* Signal() const { return FSignal; }
  // The base URI of the entity declaration just read, else empty.
  std::u16string_view EntityBaseUri() const;
  bool IsInsidePE() const { return FPETokenizer.IsInsidePE(); }
  std::u16string_view DetailTokenText() const { return FPETokenizer.TokenText(); }
  // Reports the reference as found, then asks the repository; external entities are loaded
  // unless the treatment skips them.
  virtual int LookupPE(std::u16string_view name, TPEReplacement& replacement);

  // A declaration's location runs from its keyword, when it ends in the entity where it
  // began; any other token's is that of the detail token read last.
  int64_t EndByte() const override { return FPETokenizer.EndByte(); }
  int64_t EndChar() const override { return FPETokenizer.EndChar(); }
  int64_t EndColumn() const override { return FPETokenizer.EndColumn(); }
  int64_t EndLine() const override { return FPETokenizer.EndLine(); }
  int64_t EndTabs() const override { return FPETokenizer.EndTabs(); }
  TDtdObject* DtdObject() const override { return nullptr; }
  TDomNode* DomNode() const override { return nullptr; }
  int64_t StartByte() const override { return StartValues().StartByte; }
  int64_t StartChar() const override { return StartValues().StartChar; }
  int64_t StartColumn() const override { return StartValues().StartColumn; }
  int64_t StartLine() const override { return StartValues().StartLine; }
  int64_t StartTabs() const override { return StartValues().StartTabs; }
  const WideString& SourceUri() const override { return FPETokenizer.SourceUri(); }
  TLocationValues Values() const override;

  TReferenceFoundEvent OnPEReferenceFound;
  TAttlistNotedEvent OnAttlistNoted;

protected:
  // source and repository are not owned; either of none raises ENot_Supported_Err "Not
  // supported error.". origin is the reader that the signals name.
  TXmlCustomSubsetTokenizer(TXmlSimpleInputSource* source, TDomPERepository* repository,
                            TXmlCustomReader* origin, bool allowConditionalSections,
                            TXmlPETreatment treatment);

  // Ends the subset before its first token, with errorKind.
  void EndAtOnce(uint8_t errorKind);
  TXmlDtdDetailPETokenizer& PETokenizer() { return FPETokenizer; }
  const TXmlDtdDetailPETokenizer& PETokenizer() const { return FPETokenizer; }

private:
  // Each reads a declaration after its keyword; false when it yields no token and
  // reading goes on.
  bool ReadAttlistDecl();
  void ReadComment();
  bool ReadCondSectStart();
  bool ReadCondSectEnd();
  void ReadElementDecl();
  void ReadEntityDecl();
  // From the literal or keyword after the name to the ">".
  bool ReadEntityDefinition(bool parameterEntity, bool& internal);
  bool ReadEntityValue();
  void AddParameterEntity(bool internal);
  void MakeEntitySignal(bool parameterEntity);
  void ReadNotationDecl();
  bool ReadNotationPublicId();
  void ReadPI();
  void ProduceDefinition();

  // The steps of a declaration.
  void BeginDeclaration(TXmlSubsetTokenKind kind, uint8_t defaultError);
  // The next detail token; false when it reported a kind that is not a warning, which
  // then ends the declaration.
  bool Read();
  bool Fail(std::u16string_view clue = std::u16string_view());
  // Required white space; the token after it is held for the next Read.
  bool ReadSpace();
  bool SkipMoreSpace();
  bool ReadAfterSpace(bool* hadSpace = nullptr); // optional white space, then the next token
  bool ReadName(WideString& name);
  // The literal read last, without its quotes.
  bool TakeLiteral(WideString& content);
  bool ReadSystemLiteral(); // white space and a system literal
  bool ReadPublicLiteral(); // white space and a public identifier
  bool ReadDeclEnd();       // optional white space and ">"
  bool IsWord() const;
  bool IsWord(std::u16string_view text) const;
  // The rest of the text up to ">" into text (white space included).
  bool ReadDeclarationText(WideString& text, bool trackGroups);
  // A declaration that read to its end: the nesting check; true when its signal is to be
  // made.
  bool EndDeclaration();
  void NoteError(uint8_t errorKind, std::u16string_view clue = std::u16string_view());
  // After a declaration that stopped with an error reading survives: on to its ">".
  void SkipRestOfDeclaration();
  int ExpandEntityValue(std::u16string_view literal, WideString& value);
  TLocationValues StartValues() const;

  TDomPERepository* FRepository;
  TXmlDtdDetailPETokenizer FPETokenizer;
  bool FAllowConditionalSections;
  // The entities in which the open conditional sections began and had their "[", and
  // in which the open parentheses of an element declaration stand.
  std::vector<uint64_t> FCondSectStarts;
  std::vector<uint64_t> FCondSectBrackets;
  std::vector<uint64_t> FGroupStarts;
  // The current detail token is still to be read (white space was looked past).
  bool FHeld = false;
  TXmlSubsetTokenKind FTokenKind = stStart;
  uint8_t FErrorKind = 0;
  uint8_t FDefaultError = 0;
  WideString FClue;
  // Where the declaration being read began.
  TLocationValues FDeclStart;
  uint64_t FDeclEntity = 0;
  bool FInDeclaration = false;
  // The texts the signals view.
  WideString FName;
  WideString FText;
  WideString FValue;
  WideString FEscapedValue;
  WideString FPublicId;
  WideString FSystemId;
  WideString FNotation;
  WideString FBaseUri;
  TXmlAttListDefinitions FDefinitions;
  WideString FAttlistElement;
  bool FAttlistInPE = false;
  // One signal of each class, reused: a declaration allocates nothing.
  TXmlSignal* FSignal = nullptr;
  TXmlAttributeDefinitionSignal FAttributeSignal;
  TXmlCommentSignal FCommentSignal;
  TXmlElementTypeDeclarationSignal FElementSignal;
  TXmlEntityDeclarationSignal FEntitySignal;
  TXmlExternalPEReferenceSignal FReferenceSignal;
  TXmlNotationDeclarationSignal FNotationSignal;
  TXmlParameterEntityDeclarationSignal FPESignal;
  TXmlProcessingInstructionSignal FPISignal;
};

class TXmlExtSubsetTokenizer final : public TXmlCustomSubsetTokenizer {
public:
  // The source's declaration must be a text declaration of version 1.0: otherwise the
  // subset ends at once with ekInvalidTextDeclaration or ekUnsupportedVersion.
  TXmlExtSubsetTokenizer(TXmlInputSource* source, TDomPERepository* repository,
                         TXmlCustomReader* origin);
};

class TXmlIntSubsetTokenizer final : public TXmlCustomSubsetTokenizer {
public:
  TXmlIntSubsetTokenizer(TXmlSimpleInputSource* source, TDomPERepository* repository,
                         TXmlCustomReader* origin);

  bool LoadsExternalPEs() const;
  // Whether external parameter entities are read; without them, a reference to an
  // undeclared or external one is passed on unread.
  void SetReadExternal(bool readExternal);
};

} // namespace velmora
