#include "xml/subset_tokenizer.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xml/input_sources.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

bool IsFatal(int errorKind) {
  return SeverityOf(errorKind) == svFatal;
}

bool IsDeclarationText(TXmlDtdDetailTokenKind kind) {
  return kind == dtWord || kind == dtPercentWord || kind == dtLiteral || kind == dtPunctuation ||
         kind == dtWhitespace;
}

} // namespace

TXmlCustomSubsetTokenizer::TXmlCustomSubsetTokenizer(TXmlSimpleInputSource* source,
                                                     TDomPERepository* repository,
                                                     TXmlCustomReader* origin,
                                                     bool allowConditionalSections,
                                                     TXmlPETreatment treatment)
    : FRepository(repository),
      FPETokenizer(source,
                   [this](std::u16string_view name, TPEReplacement& replacement) {
                     return LookupPE(name, replacement);
                   }),
      FAllowConditionalSections(allowConditionalSections), FAttributeSignal(origin, this),
      FCommentSignal(origin, this), FElementSignal(origin, this), FEntitySignal(origin, this),
      FReferenceSignal(origin, this), FNotationSignal(origin, this), FPESignal(origin, this),
      FPISignal(origin, this) {
  if (!source || !repository) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  FPETokenizer.SetTreatment(treatment);
}

TXmlCustomSubsetTokenizer::~TXmlCustomSubsetTokenizer() = default;

void TXmlCustomSubsetTokenizer::EndAtOnce(uint8_t errorKind) {
  FTokenKind = stEndOfSubset;
  FErrorKind = errorKind;
}

int TXmlCustomSubsetTokenizer::LookupPE(std::u16string_view name, TPEReplacement& replacement) {
  if (OnPEReferenceFound) {
    OnPEReferenceFound(*this);
  }
  const bool loadExternal = FPETokenizer.Treatment() != peResolveBetweenDeclsSkipExternal;
  return FRepository->GetPE(name, loadExternal, replacement);
}

std::u16string_view TXmlCustomSubsetTokenizer::EntityBaseUri() const {
  return FTokenKind == stEntityDecl || FTokenKind == stPEDecl ? std::u16string_view(FBaseUri)
                                                              : std::u16string_view();
}

TLocationValues TXmlCustomSubsetTokenizer::StartValues() const {
  if (FInDeclaration && FPETokenizer.EntityId() == FDeclEntity) {
    return FDeclStart;
  }
  return FPETokenizer.Values();
}

TLocationValues TXmlCustomSubsetTokenizer::Values() const {
  TLocationValues values = FPETokenizer.Values();
  if (FInDeclaration && FPETokenizer.EntityId() == FDeclEntity) {
    values.StartByte = FDeclStart.StartByte;
    values.StartChar = FDeclStart.StartChar;
    values.StartColumn = FDeclStart.StartColumn;
    values.StartLine = FDeclStart.StartLine;
    values.StartTabs = FDeclStart.StartTabs;
  }
  return values;
}

void TXmlCustomSubsetTokenizer::NextToken() {
  FSignal = nullptr;
  FErrorKind = ekNone;
  FClue.clear();
  if (FTokenKind == stEndOfSubset) {
    return;
  }
  if (FDefinitions.Pending()) {
    ProduceDefinition();
    return;
  }
  for (;;) {
    FInDeclaration = false;
    if (FHeld) {
      FHeld = false;
    } else {
      FPETokenizer.NextToken();
    }
    if (SeverityOf(FPETokenizer.ErrorType()) != svWarning) {
      FTokenKind = stInvalid;
      FErrorKind = FPETokenizer.ErrorType();
      FClue = FPETokenizer.Clue();
      return;
    }
    switch (FPETokenizer.TokenKind()) {
    case dtAttListStart:
      if (ReadAttlistDecl()) {
        return;
      }
      break;
    case dtComment:
      ReadComment();
      return;
    case dtCondSectStart:
      if (ReadCondSectStart()) {
        return;
      }
      break;
    case dtCondSectEnd:
      if (ReadCondSectEnd()) {
        return;
      }
      break;
    case dtElementStart:
      ReadElementDecl();
      return;
    case dtEndOfSource:
      FTokenKind = stEndOfSubset;
      if (!FCondSectStarts.empty()) {
        NoteError(ekUnclosedCondSect, u"]]>");
      }
      return;
    case dtEntityStart:
      ReadEntityDecl();
      return;
    case dtNotationStart:
      ReadNotationDecl();
      return;
    case dtPEReference: {
      // Left unread: passed on by name.
      const std::u16string_view reference = FPETokenizer.TokenText();
      FTokenKind = stExternalPERef;
      FName = reference.substr(1, reference.size() - 2);
      FReferenceSignal.RefName = FName;
      FSignal = &FReferenceSignal;
      FErrorKind = FPETokenizer.ErrorType();
      FClue = FPETokenizer.Clue();
      return;
    }
    case dtPITarget:
      ReadPI();
      return;
    case dtWhitespace:
      FTokenKind = stWhitespace;
      return;
    case dtNone:
    case dtStartOfSource:
      break;
    default:
      FTokenKind = stInvalid;
      FErrorKind = ekInvalidMarkupDecl;
      return;
    }
  }
}

// The steps of a declaration.

void TXmlCustomSubsetTokenizer::BeginDeclaration(TXmlSubsetTokenKind kind, uint8_t defaultError) {
  FTokenKind = kind;
  FDefaultError = defaultError;
  FInDeclaration = true;
  FDeclStart = FPETokenizer.Values();
  FDeclEntity = FPETokenizer.EntityId();
}

bool TXmlCustomSubsetTokenizer::Read() {
  if (FHeld) {
    FHeld = false;
    return true;
  }
  FPETokenizer.NextToken();
  const uint8_t error = FPETokenizer.ErrorType();
  if (error == ekNone || SeverityOf(error) == svWarning) {
    return true;
  }
  FErrorKind = error;
  FClue = FPETokenizer.Clue();
  if (!IsFatal(error)) {
    SkipRestOfDeclaration();
  }
  return false;
}

bool TXmlCustomSubsetTokenizer::Fail(std::u16string_view clue) {
  FErrorKind = FDefaultError;
  FClue = clue;
  return false;
}

void TXmlCustomSubsetTokenizer::NoteError(uint8_t errorKind, std::u16string_view clue) {
  if (FErrorKind == ekNone) {
    FErrorKind = errorKind;
    FClue = clue;
  }
}

void TXmlCustomSubsetTokenizer::SkipRestOfDeclaration() {
  while (FPETokenizer.InMarkup()) {
    FPETokenizer.NextToken();
    if (IsFatal(FPETokenizer.ErrorType()) || FPETokenizer.TokenKind() == dtEndOfSource) {
      return;
    }
  }
}

bool TXmlCustomSubsetTokenizer::IsWord() const {
  const TXmlDtdDetailTokenKind kind = FPETokenizer.TokenKind();
  return kind == dtWord || kind == dtPercentWord;
}

bool TXmlCustomSubsetTokenizer::IsWord(std::u16string_view text) const {
  return IsWord() && FPETokenizer.TokenText() == text;
}

bool TXmlCustomSubsetTokenizer::ReadSpace() {
  return Read() && (FPETokenizer.TokenKind() == dtWhitespace || Fail(u" ")) && SkipMoreSpace();
}

// White space may come in several tokens: an entity's padding beside the text's own.
bool TXmlCustomSubsetTokenizer::SkipMoreSpace() {
  do {
    if (!Read()) {
      return false;
    }
  } while (FPETokenizer.TokenKind() == dtWhitespace);
  FHeld = true;
  return true;
}

bool TXmlCustomSubsetTokenizer::ReadAfterSpace(bool* hadSpace) {
  if (!Read()) {
    return false;
  }
  const bool space = FPETokenizer.TokenKind() == dtWhitespace;
  if (hadSpace) {
    *hadSpace = space;
  }
  return !space || (SkipMoreSpace() && Read());
}

bool TXmlCustomSubsetTokenizer::ReadName(WideString& name) {
  if (!Read()) {
    return false;
  }
  if (!IsWord()) {
    return Fail();
  }
  name = FPETokenizer.TokenText();
  return true;
}

bool TXmlCustomSubsetTokenizer::TakeLiteral(WideString& content) {
  if (FPETokenizer.TokenKind() != dtLiteral) {
    return Fail();
  }
  const std::u16string_view literal = FPETokenizer.TokenText();
  content = literal.substr(1, literal.size() - 2);
  return true;
}

bool TXmlCustomSubsetTokenizer::ReadSystemLiteral() {
  return ReadSpace() && Read() && TakeLiteral(FSystemId) &&
         (conformsToSystemLiteralChars(FSystemId) || Fail());
}

bool TXmlCustomSubsetTokenizer::ReadPublicLiteral() {
  return ReadSpace() && Read() && TakeLiteral(FPublicId) &&
         (conformsToPubidChars(FPublicId) || Fail());
}

bool TXmlCustomSubsetTokenizer::ReadDeclEnd() {
  return ReadAfterSpace() && (FPETokenizer.TokenKind() == dtDeclEnd || Fail());
}

bool TXmlCustomSubsetTokenizer::ReadDeclarationText(WideString& text, bool trackGroups) {
  text.clear();
  FGroupStarts.clear();
  for (;;) {
    if (!Read()) {
      return false;
    }
    const TXmlDtdDetailTokenKind kind = FPETokenizer.TokenKind();
    if (kind == dtDeclEnd) {
      return true;
    }
    if (!IsDeclarationText(kind)) {
      return Fail();
    }
    const std::u16string_view token = FPETokenizer.TokenText();
    if (trackGroups && kind == dtPunctuation) {
      if (token[0] == '(') {
        FGroupStarts.push_back(FPETokenizer.EntityId());
      } else if (token[0] == ')' && !FGroupStarts.empty()) {
        if (FGroupStarts.back() != FPETokenizer.EntityId()) {
          NoteError(ekGroupPENesting);
        }
        FGroupStarts.pop_back();
      }
    }
    text += token;
  }
}

bool TXmlCustomSubsetTokenizer::EndDeclaration() {
  if (FPETokenizer.EntityId() != FDeclEntity) {
    NoteError(ekDeclPENesting);
  }
  return !IsFatal(FErrorKind);
}

// Declarations.

bool TXmlCustomSubsetTokenizer::ReadAttlistDecl() {
  BeginDeclaration(stAttListDecl, ekInvalidAttlistDecl);
  FDefinitions.Clear();
  const WideString& definitions = FDefinitions.Text();
  // White space must part the element type from a definition; "<!ATTLIST a>" has none.
  if (!ReadSpace() || !ReadName(FAttlistElement) ||
      !ReadDeclarationText(FDefinitions.Text(), false) ||
      (!definitions.empty() && !isWhiteSpaceChar(definitions[0]) && !Fail()) || !EndDeclaration()) {
    FDefinitions.Clear();
    return true;
  }
  if (!conformsToName(FAttlistElement)) {
    FDefinitions.Clear();
    FErrorKind = ekInvalidAttlistElementType;
    return true;
  }
  FAttlistInPE = IsInsidePE();
  if (OnAttlistNoted) {
    OnAttlistNoted(*this, FAttlistElement);
  }
  FDefinitions.Restart();
  if (FDefinitions.Pending()) {
    ProduceDefinition();
    return true;
  }
  // Without definitions the next token follows, unless an error is to be reported.
  return FErrorKind != ekNone;
}

void TXmlCustomSubsetTokenizer::ProduceDefinition() {
  FTokenKind = stAttListDecl;
  const int error = FDefinitions.Next(FAttributeSignal);
  if (error != ekNone) {
    FErrorKind = static_cast<uint8_t>(error);
    return;
  }
  FAttributeSignal.ElemType = FAttlistElement;
  FAttributeSignal.InParameterEntity = FAttlistInPE;
  FSignal = &FAttributeSignal;
}

void TXmlCustomSubsetTokenizer::ReadComment() {
  FTokenKind = stComment;
  FCommentSignal.Text = FPETokenizer.TokenText();
  FSignal = &FCommentSignal;
  FErrorKind = FPETokenizer.ErrorType();
  FClue = FPETokenizer.Clue();
}

void TXmlCustomSubsetTokenizer::ReadElementDecl() {
  BeginDeclaration(stElementDecl, ekInvalidElementDecl);
  if (!ReadSpace() || !ReadName(FName) || !ReadSpace() || !ReadDeclarationText(FText, true) ||
      !EndDeclaration()) {
    return;
  }
  FElementSignal.DeclName = FName;
  FElementSignal.ContentSpec = FText;
  FElementSignal.InParameterEntity = IsInsidePE();
  FSignal = &FElementSignal;
}

void TXmlCustomSubsetTokenizer::ReadEntityDecl() {
  BeginDeclaration(stEntityDecl, ekInvalidEntityDecl);
  FBaseUri = FPETokenizer.CurrentSource()->SystemId();
  FValue.clear();
  FEscapedValue.clear();
  FPublicId.clear();
  FSystemId.clear();
  FNotation.clear();
  if (!ReadSpace() || !Read()) {
    return;
  }
  const bool parameterEntity = IsWord(u"%");
  if (parameterEntity) {
    FTokenKind = stPEDecl;
    FDefaultError = ekInvalidPEDecl;
    if (!ReadSpace() || !Read()) {
      return;
    }
  }
  if (!IsWord()) {
    Fail();
    return;
  }
  FName = FPETokenizer.TokenText();
  bool internal = false;
  if (!ReadSpace() || !Read() || !ReadEntityDefinition(parameterEntity, internal) ||
      !EndDeclaration()) {
    return;
  }
  if (parameterEntity) {
    AddParameterEntity(internal);
    if (IsFatal(FErrorKind)) {
      return;
    }
  }
  MakeEntitySignal(parameterEntity);
}

bool TXmlCustomSubsetTokenizer::ReadEntityDefinition(bool parameterEntity, bool& internal) {
  internal = FPETokenizer.TokenKind() == dtLiteral;
  if (internal) {
    return ReadEntityValue() && ReadDeclEnd();
  }
  if (IsWord(u"SYSTEM")) {
    if (!ReadSystemLiteral()) {
      return false;
    }
  } else if (IsWord(u"PUBLIC")) {
    if (!ReadPublicLiteral() || !ReadSystemLiteral()) {
      return false;
    }
  } else {
    return Fail();
  }
  if (parameterEntity) {
    return ReadDeclEnd();
  }
  bool hadSpace = false;
  if (!ReadAfterSpace(&hadSpace)) {
    return false;
  }
  if (FPETokenizer.TokenKind() == dtDeclEnd) {
    return true;
  }
  if (!hadSpace || !IsWord(u"NDATA")) {
    return Fail();
  }
  return ReadSpace() && ReadName(FNotation) && ReadDeclEnd();
}

bool TXmlCustomSubsetTokenizer::ReadEntityValue() {
  const std::u16string_view literal = FPETokenizer.TokenText();
  const int kind = ExpandEntityValue(literal.substr(1, literal.size() - 2), FValue);
  if (SeverityOf(kind) != svWarning) {
    FErrorKind = static_cast<uint8_t>(kind);
    if (!IsFatal(kind)) {
      SkipRestOfDeclaration();
    }
    return false;
  }
  FEscapedValue = escapeQuotes(FValue);
  return true;
}

// Parameter-entity references in an entity value are read in the external subset and in
// external entities; in the internal subset they may not stand inside markup at all.
int TXmlCustomSubsetTokenizer::ExpandEntityValue(std::u16string_view literal, WideString& value) {
  value.clear();
  const bool mayExpand = IsExternal() || FPETokenizer.InsideExternalPE();
  size_t i = 0;
  for (;;) {
    const size_t percent = literal.find(u'%', i);
    value.append(literal.substr(i, percent - i));
    if (percent == std::u16string_view::npos) {
      return ekNone;
    }
    size_t end = percent + 1;
    if (end < literal.size() && hasNameClass(literal[end], name_class::kNameStart)) {
      while (++end < literal.size() && isNameChar(literal[end])) {
      }
    }
    if (end == percent + 1 || end >= literal.size() || literal[end] != ';') {
      value += u'%'; // no reference: the character stands for itself
      i = percent + 1;
      continue;
    }
    const auto fail = [&](int kind) {
      value = literal;
      return kind;
    };
    if (!mayExpand) {
      return fail(ekPERefInMarkup);
    }
    TPEReplacement replacement;
    const int kind = LookupPE(literal.substr(percent + 1, end - percent - 1), replacement);
    if (kind != ekNone) {
      return fail(kind);
    }
    if (!FPETokenizer.ChargeExpansion(replacement.Value.size())) {
      FClue = TXmlDtdDetailPETokenizer::kExpansionLimitClue;
      return fail(ekRecursiveEntity);
    }
    value.append(replacement.Value);
    i = end + 1;
  }
}

void TXmlCustomSubsetTokenizer::AddParameterEntity(bool internal) {
  try {
    const bool added = internal ? FRepository->AddInternalPE(FName, FValue)
                                : FRepository->AddExternalPE(FName, FBaseUri, FSystemId, FPublicId);
    if (!added) {
      NoteError(ekDuplicatePEDecl);
    }
  } catch (const EInvalid_Character_Err&) {
    FErrorKind = ekInvalidPEDecl;
  }
}

void TXmlCustomSubsetTokenizer::MakeEntitySignal(bool parameterEntity) {
  if (parameterEntity) {
    FPESignal.DeclBaseUri = FBaseUri;
    FPESignal.DeclName = FName;
    FPESignal.ValueText = FEscapedValue;
    FPESignal.PublicId = FPublicId;
    FPESignal.SystemId = FSystemId;
    FSignal = &FPESignal;
    return;
  }
  FEntitySignal.DeclBaseUri = FBaseUri;
  FEntitySignal.ValueText = FEscapedValue;
  FEntitySignal.PublicId = FPublicId;
  FEntitySignal.NDataName = FNotation;
  FEntitySignal.DeclName = FName;
  FEntitySignal.SystemId = FSystemId;
  FEntitySignal.InParameterEntity = IsInsidePE();
  FSignal = &FEntitySignal;
}

void TXmlCustomSubsetTokenizer::ReadNotationDecl() {
  BeginDeclaration(stNotationDecl, ekInvalidNotationDecl);
  FPublicId.clear();
  FSystemId.clear();
  if (!ReadSpace() || !ReadName(FName) || !ReadSpace() || !Read()) {
    return;
  }
  if (IsWord(u"SYSTEM")) {
    if (!ReadSystemLiteral() || !ReadDeclEnd()) {
      return;
    }
  } else if (IsWord(u"PUBLIC")) {
    if (!ReadNotationPublicId()) {
      return;
    }
  } else {
    Fail();
    return;
  }
  if (!EndDeclaration()) {
    return;
  }
  FNotationSignal.DeclName = FName;
  FNotationSignal.PublicId = FPublicId;
  FNotationSignal.SystemId = FSystemId;
  FNotationSignal.InParameterEntity = IsInsidePE();
  FSignal = &FNotationSignal;
}

// A public identifier, then optionally a system literal.
bool TXmlCustomSubsetTokenizer::ReadNotationPublicId() {
  bool hadSpace = false;
  if (!ReadPublicLiteral() || !ReadAfterSpace(&hadSpace)) {
    return false;
  }
  if (FPETokenizer.TokenKind() == dtDeclEnd) {
    return true;
  }
  if (!hadSpace) {
    return Fail(u" ");
  }
  return TakeLiteral(FSystemId) && (conformsToSystemLiteralChars(FSystemId) || Fail()) &&
         ReadDeclEnd();
}

void TXmlCustomSubsetTokenizer::ReadPI() {
  BeginDeclaration(stPI, ekUnclosedPI);
  FName = FPETokenizer.TokenText();
  if (!Read()) {
    return;
  }
  if (FPETokenizer.TokenKind() == dtPIData) {
    // Data right after the target: only "?>" may follow it directly.
    if (!FPETokenizer.TokenText().empty()) {
      FErrorKind = ekMissingWhitespace;
      FClue = u" ";
      return;
    }
  } else if (FPETokenizer.TokenKind() != dtWhitespace || !Read() ||
             FPETokenizer.TokenKind() != dtPIData) {
    if (FErrorKind == ekNone) {
      Fail(u"?>");
    }
    return;
  }
  FPISignal.PITarget = FName;
  FPISignal.PIData = FPETokenizer.TokenText();
  FSignal = &FPISignal;
}

// Conditional sections.

bool TXmlCustomSubsetTokenizer::ReadCondSectStart() {
  if (!FAllowConditionalSections && !IsInsidePE()) {
    FTokenKind = stInvalid;
    FErrorKind = ekCondSectInIntSubset;
    return true;
  }
  BeginDeclaration(stCondSectEnd, ekInvalidCondSect);
  FCondSectStarts.push_back(FPETokenizer.EntityId());
  const auto fail = [this](std::u16string_view clue) {
    FCondSectStarts.pop_back();
    if (FErrorKind == ekNone) {
      Fail(clue);
    }
    return true;
  };
  if (!ReadAfterSpace()) {
    return fail({});
  }
  const bool include = IsWord(u"INCLUDE");
  if (!include && !IsWord(u"IGNORE")) {
    return fail({});
  }
  if (!ReadAfterSpace() || FPETokenizer.TokenKind() != dtOpenBracket) {
    return fail(u"[");
  }
  FCondSectBrackets.push_back(FPETokenizer.EntityId());
  if (include) {
    return false; // the section's contents belong to the subset
  }
  FPETokenizer.SkipIgnoredSection();
  if (FPETokenizer.ErrorType() != ekNone || FPETokenizer.TokenKind() != dtCondSectEnd) {
    FCondSectBrackets.pop_back();
    FTokenKind = stInvalid;
    FErrorKind = FPETokenizer.ErrorType();
    FClue = FPETokenizer.Clue();
    return fail(u"]]>");
  }
  return ReadCondSectEnd();
}

bool TXmlCustomSubsetTokenizer::ReadCondSectEnd() {
  FTokenKind = stCondSectEnd;
  if (FCondSectStarts.empty()) {
    FErrorKind = ekInvalidCondSect;
    return true;
  }
  const uint64_t start = FCondSectStarts.back();
  const uint64_t bracket = FCondSectBrackets.back();
  FCondSectStarts.pop_back();
  FCondSectBrackets.pop_back();
  if (start != bracket) {
    FErrorKind = ekCondSectPENesting;
    FClue = u"[";
  } else if (bracket != FPETokenizer.EntityId()) {
    FErrorKind = ekCondSectPENesting;
    FClue = u"]]>";
  }
  return FErrorKind != ekNone;
}

// The two subsets.

TXmlExtSubsetTokenizer::TXmlExtSubsetTokenizer(TXmlInputSource* source,
                                               TDomPERepository* repository,
                                               TXmlCustomReader* origin)
    : TXmlCustomSubsetTokenizer(source, repository, origin, true, peResolveAll) {
  if (source->BadDeclaration() || source->DeclKind() == dkXmlDecl) {
    EndAtOnce(ekInvalidTextDeclaration);
  } else if (source->DeclaredVersion() != u"1.0") {
    EndAtOnce(ekUnsupportedVersion);
  }
}

TXmlIntSubsetTokenizer::TXmlIntSubsetTokenizer(TXmlSimpleInputSource* source,
                                               TDomPERepository* repository,
                                               TXmlCustomReader* origin)
    : TXmlCustomSubsetTokenizer(source, repository, origin, false, peResolveBetweenDecls) {}

bool TXmlIntSubsetTokenizer::LoadsExternalPEs() const {
  return PETokenizer().Treatment() != peResolveBetweenDeclsSkipExternal;
}

void TXmlIntSubsetTokenizer::SetReadExternal(bool readExternal) {
  PETokenizer().SetTreatment(readExternal ? peResolveBetweenDecls
                                          : peResolveBetweenDeclsSkipExternal);
}

} // namespace velmora
