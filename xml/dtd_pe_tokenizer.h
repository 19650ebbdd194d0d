#pragma once
// The parameter-entity tokenizer: reads the detail tokens of a DTD subset and expands the
// references to parameter entities it meets, by stacking a detail tokenizer over each
// entity's replacement text. The end of an entity is never reported: reading goes on in
// the text below it. Expansion is bounded: an entity cannot be entered while it is being
// read, the stack has a fixed depth, and the text expanded per subset has a budget.

#include <functional>
#include <memory>
#include <vector>

#include "xml/dtd_detail_tokenizer.h"
#include "xml/pe_repository.h"

namespace velmora {

class TMemoryStream;

enum TXmlPETreatment : uint8_t {
  peResolveAll = 0,          // external subset: references anywhere, external entities read
  peResolveBetweenDecls = 1, // internal subset: references only between declarations
  // Internal subset without external entities: as 1, and a reference to an undeclared or
  // external entity is passed on unread.
  peResolveBetweenDeclsSkipExternal = 2,
};

// Looks a parameter entity up by name: an error kind, and the replacement when it can be
// read.
using TPELookup = std::function<int(std::u16string_view name, TPEReplacement& replacement)>;

class TXmlDtdDetailPETokenizer final : public TextLocation {
public:
  // Entities nested deeper are refused as if recursive.
  static constexpr size_t kMaxDepth = 64;
  // What one subset may expand, in UTF-16 units and in references.
  static constexpr size_t kMaxExpandedUnits = size_t{16} << 20;
  static constexpr size_t kMaxExpansions = 100000;
  static constexpr std::u16string_view kExpansionLimitClue =
      u"Parameter-entity expansion limit reached.";

  // subset is read at the bottom of the stack; not owned.
  TXmlDtdDetailPETokenizer(TXmlSimpleInputSource* subset, TPELookup lookup);
  ~TXmlDtdDetailPETokenizer() override;

  void NextToken();
  // SkipIgnoredSection of the entity being read.
  void SkipIgnoredSection();

  TXmlDtdDetailTokenKind TokenKind() const { return FTokenKind; }
  // The text of the current token (for a reference, as written).
  std::u16string_view TokenText() const { return Top().TokenText(); }
  uint8_t ErrorType() const { return FErrorType; }
  const WideString& Clue() const { return FClue; }

  TXmlPETreatment Treatment() const { return FTreatment; }
  void SetTreatment(TXmlPETreatment treatment) { FTreatment = treatment; }
  // Inside a markup declaration (from its keyword to its ">").
  bool InMarkup() const { return FInMarkup; }
  bool IsInsidePE() const { return FStack.size() > 1; }
  // Some entity being read is external (its text came from a file).
  bool InsideExternalPE() const { return FExternalDepth > 0; }
  // Tells apart the entities read, each time one is entered; the subset is 0.
  uint64_t EntityId() const { return FStack.back()->Id; }
  // The source being read.
  TXmlSimpleInputSource* CurrentSource() const { return FStack.back()->Source; }

  // Counts units of text produced by expansion (one reference); false once the budget is
  // spent.
  bool ChargeExpansion(size_t units);

  int64_t EndByte() const override { return Top().EndByte(); }
  int64_t EndChar() const override { return Top().EndChar(); }
  int64_t EndColumn() const override { return Top().EndColumn(); }
  int64_t EndLine() const override { return Top().EndLine(); }
  int64_t EndTabs() const override { return Top().EndTabs(); }
  TDtdObject* DtdObject() const override { return nullptr; }
  TDomNode* DomNode() const override { return nullptr; }
  int64_t StartByte() const override { return Top().StartByte(); }
  int64_t StartChar() const override { return Top().StartChar(); }
  int64_t StartColumn() const override { return Top().StartColumn(); }
  int64_t StartLine() const override { return Top().StartLine(); }
  int64_t StartTabs() const override { return Top().StartTabs(); }
  const WideString& SourceUri() const override { return Top().SourceUri(); }
  TLocationValues Values() const override { return Top().Values(); }

private:
  // One source being read: the subset, or an entity's text with its reader.
  struct TEntry {
    WideString Name; // empty for the subset
    uint64_t Id = 0;
    bool IsExternal = false;
    WideString Text;
    std::unique_ptr<TMemoryStream> Stream;
    std::unique_ptr<TXmlSimpleInputSource> OwnedSource;
    TXmlSimpleInputSource* Source = nullptr;
    std::unique_ptr<TXmlDtdDetailTokenizer> Tokenizer;
  };

  const TXmlDtdDetailTokenizer& Top() const { return *FStack.back()->Tokenizer; }
  TXmlDtdDetailTokenizer& Top() { return *FStack.back()->Tokenizer; }
  // A complete reference: true when an entity was entered and reading goes on in it.
  bool ExpandReference();
  bool MayEnter(std::u16string_view name);
  void Enter(std::u16string_view name, const TPEReplacement& replacement);
  void Leave();

  TXmlPETreatment FTreatment = peResolveAll;
  bool FInMarkup = false;
  int32_t FBufferSize;
  std::vector<std::unique_ptr<TEntry>> FStack;
  size_t FExternalDepth = 0; // external entities on the stack
  uint64_t FEntered = 0;     // entities entered so far
  size_t FExpandedUnits = 0;
  size_t FExpansions = 0;
  TXmlDtdDetailTokenKind FTokenKind = dtStartOfSource;
  TXmlDtdDetailTokenKind FPreviousKind = dtNone; // the kind reported before
  uint8_t FErrorType = 0;
  WideString FClue;
  TPELookup FLookup;
};

} // namespace velmora
