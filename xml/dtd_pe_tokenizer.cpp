#include "xml/dtd_pe_tokenizer.h"

#include <algorithm>

#include "dom/uri_rules.h"
#include "runtime/exceptions.h"
#include "runtime/streams.h"
#include "xml/parse_errors.h"
#include "xml/utf_codecs.h"

namespace velmora {

namespace {

bool IsDeclarationStart(TXmlDtdDetailTokenKind kind) {
  return kind == dtAttListStart || kind == dtElementStart || kind == dtEntityStart ||
         kind == dtNotationStart;
}

// "%Name;" as a word reads: a name of at least one character between "%" and ";".
bool IsCompleteReference(std::u16string_view word) {
  return word.size() >= 3 && word.front() == '%' && word.back() == ';';
}

} // namespace

TXmlDtdDetailPETokenizer::TXmlDtdDetailPETokenizer(TXmlSimpleInputSource* subset, TPELookup lookup)
    : FBufferSize(subset ? subset->BufferSize() : 4096), FLookup(std::move(lookup)) {
  auto bottom = std::make_unique<TEntry>();
  bottom->Source = subset;
  bottom->Tokenizer = std::make_unique<TXmlDtdDetailTokenizer>(subset);
  FStack.push_back(std::move(bottom));
}

TXmlDtdDetailPETokenizer::~TXmlDtdDetailPETokenizer() = default;

void TXmlDtdDetailPETokenizer::NextToken() {
  FPreviousKind = FTokenKind;
  for (;;) {
    TXmlDtdDetailTokenizer& top = Top();
    top.NextToken();
    const TXmlDtdDetailTokenKind kind = top.TokenKind();
    const uint8_t error = top.ErrorType();
    FTokenKind = kind;
    FErrorType = error;
    if (error == ekNone) {
      FClue.clear();
    } else {
      FClue = top.Clue();
    }
    if (IsDeclarationStart(kind)) {
      FInMarkup = true;
    } else if (kind == dtDeclEnd) {
      FInMarkup = false;
    } else if (kind == dtEndOfSource && error == ekNone && IsInsidePE()) {
      const bool endsInMarkup = top.OpenedAsDeclSep() && FInMarkup;
      Leave();
      if (endsInMarkup) {
        FErrorType = ekPEEndsInMarkup;
        return;
      }
      continue;
    } else if (kind == dtPercentWord && error == ekNone && IsCompleteReference(top.TokenText())) {
      FTokenKind = dtPEReference;
      if (ExpandReference()) {
        continue;
      }
    }
    return;
  }
}

void TXmlDtdDetailPETokenizer::SkipIgnoredSection() {
  FPreviousKind = FTokenKind;
  TXmlDtdDetailTokenizer& top = Top();
  top.SkipIgnoredSection();
  FTokenKind = top.TokenKind();
  FErrorType = top.ErrorType();
  FClue = top.Clue();
}

bool TXmlDtdDetailPETokenizer::ChargeExpansion(size_t units) {
  ++FExpansions;
  FExpandedUnits += units;
  return FExpansions <= kMaxExpansions && FExpandedUnits <= kMaxExpandedUnits;
}

// In the internal subset references stand only between declarations; the text of an
// external entity may hold them anywhere, as the external subset may.
bool TXmlDtdDetailPETokenizer::ExpandReference() {
  const std::u16string_view text = Top().TokenText();
  const std::u16string_view name = text.substr(1, text.size() - 2);
  if (FInMarkup && FTreatment != peResolveAll && !InsideExternalPE()) {
    FErrorType = ekPERefInMarkup;
    return false;
  }
  TPEReplacement replacement;
  int kind = FLookup(name, replacement);
  if (FTreatment == peResolveBetweenDeclsSkipExternal &&
      (kind == ekUndeclaredPE || kind == ekResourceNotFound)) {
    return false; // passed on unread
  }
  if (SeverityOf(kind) != svWarning) {
    FErrorType = static_cast<uint8_t>(kind);
    return false;
  }
  if (!MayEnter(name)) {
    return false;
  }
  if (!ChargeExpansion(replacement.Value.size() + 2)) {
    FErrorType = ekRecursiveEntity;
    FClue = kExpansionLimitClue;
    return false;
  }
  try {
    Enter(name, replacement);
  } catch (const Exception&) {
    FErrorType = ekUnreadablePE;
    return false;
  }
  return true;
}

// Recursion ends here: an entity that is being read is not entered again.
bool TXmlDtdDetailPETokenizer::MayEnter(std::u16string_view name) {
  const bool reading = std::any_of(FStack.begin() + 1, FStack.end(),
                                   [&](const auto& entry) { return entry->Name == name; });
  if (reading || FStack.size() > kMaxDepth) {
    FErrorType = ekRecursiveEntity;
    FClue = name;
    return false;
  }
  return true;
}

void TXmlDtdDetailPETokenizer::Enter(std::u16string_view name, const TPEReplacement& replacement) {
  auto entry = std::make_unique<TEntry>();
  // Padded with spaces, so that its tokens never join those around it; no space before
  // when white space or another reference came just before.
  const bool padStart = FPreviousKind != dtPEReference && FPreviousKind != dtWhitespace;
  entry->Text.reserve(replacement.Value.size() + 2);
  if (padStart) {
    entry->Text += u' ';
  }
  entry->Text += replacement.Value;
  entry->Text += u' ';
  const WideString& baseUri = CurrentSource()->SystemId();
  WideString systemId;
  if (replacement.SystemId.empty()) {
    systemId = baseUri;
  } else if (!resolveUri(baseUri, replacement.SystemId, systemId)) {
    systemId = replacement.SystemId;
  }
  entry->Name = name;
  entry->Id = ++FEntered;
  entry->IsExternal = replacement.IsExternal;
  const size_t bytes = entry->Text.size() * sizeof(char16_t);
  entry->Stream = std::make_unique<TMemoryStream>(entry->Text.data(), static_cast<int64_t>(bytes));
  // Most entity texts are short: a buffer of the subset's size would cost more to make
  // than to read.
  const int32_t bufferSize =
      static_cast<int32_t>(std::min(bytes, static_cast<size_t>(FBufferSize)));
  entry->OwnedSource = std::make_unique<TXmlSimpleInputSource>(
      entry->Stream.get(), replacement.PublicId, std::move(systemId), bufferSize,
      TUTF16LECodec::ClassRef(), 0, 0, 0, 0, 1, bdNone);
  entry->Source = entry->OwnedSource.get();
  entry->Tokenizer = std::make_unique<TXmlDtdDetailTokenizer>(entry->Source, !FInMarkup);
  FExternalDepth += entry->IsExternal ? 1 : 0;
  FStack.push_back(std::move(entry));
}

void TXmlDtdDetailPETokenizer::Leave() {
  FExternalDepth -= FStack.back()->IsExternal ? 1 : 0;
  FStack.pop_back();
}

} // namespace velmora
