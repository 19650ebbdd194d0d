#include "xml/element_cm_tokenizer.h"

#include "dom/xml_rules.h"
#include "xml/parse_errors.h"

namespace velmora {

void TXmlElementCMTokenizer::NextToken() {
  if (FTokenType == cmtEnd) {
    return;
  }
  FErrorType = 0;
  FClue = std::u16string_view();
  const size_t spaceStart = FPosition;
  while (FPosition < FText.size() && isWhiteSpaceChar(FText[FPosition])) {
    ++FPosition;
  }
  FSpaceBefore = FPosition != spaceStart;
  const size_t start = FPosition;
  if (start == FText.size()) {
    FTokenType = cmtEnd;
    FTokenText = std::u16string_view();
    return;
  }
  const char16_t c = FText[FPosition++];
  switch (c) {
  case '(':
    FTokenType = cmtOpenParen;
    ++FDepth;
    break;
  case ')':
    FTokenType = cmtCloseParen;
    FDepth = FDepth > 0 ? FDepth - 1 : 0;
    break;
  case '*':
  case '+':
  case '?':
    FTokenType = cmtOccurrence;
    break;
  case ',':
  case '|':
    FTokenType = cmtSeparator;
    break;
  case '#':
    if (FText.substr(FPosition, 6) == u"PCDATA") {
      FPosition += 6;
      FTokenType = cmtPCData;
    } else {
      FTokenType = cmtInvalid;
      FErrorType = ekInvalidContentSpecChar;
      FClue = u"#PCDATA";
    }
    break;
  default:
    if (hasNameClass(c, name_class::kNameStart)) {
      ReadName(start);
    } else {
      FTokenType = cmtInvalid;
      // A surrogate pair is one character that starts no token; a lone surrogate is no
      // character at all.
      if (IsHighSurrogate(c) && FPosition < FText.size() && IsLowSurrogate(FText[FPosition])) {
        ++FPosition;
        FErrorType = ekInvalidContentSpecChar;
      } else {
        FErrorType = IsSurrogate(c) ? ekInvalidCharacter : ekInvalidContentSpecChar;
      }
    }
    break;
  }
  FTokenText = FText.substr(start, FPosition - start);
}

void TXmlElementCMTokenizer::ReadName(size_t start) {
  while (FPosition < FText.size() && isNameChar(FText[FPosition])) {
    ++FPosition;
  }
  FTokenType = cmtName;
  if (FDepth == 0) {
    const std::u16string_view name = FText.substr(start, FPosition - start);
    if (name == u"ANY") {
      FTokenType = cmtAny;
    } else if (name == u"EMPTY") {
      FTokenType = cmtEmpty;
    }
  }
}

namespace {

// The states of the content-model automaton; its stack holds the separator of each open
// group (0 until the group's first one).
enum TCMState : uint8_t {
  csStart,        // nothing read
  csKeyword,      // after a sole "EMPTY" or "ANY"
  csGroupOpened,  // after "("
  csItemExpected, // after a separator
  csAfterItem,    // after a name or a closed inner group
  csAfterOccurrence,
  csMixedPCData,      // after "(#PCDATA"
  csMixedName,        // after "(#PCDATA|", a name expected
  csMixedAfterName,   // after "(#PCDATA|a"
  csMixedClosed,      // after "(#PCDATA)": "*" may follow
  csMixedNamesClosed, // after "(#PCDATA|a)": "*" must follow
  csModelClosed,      // after the outermost ")" of a children model
  csDone,             // only the end may follow
};

class TContentModelCheck {
public:
  explicit TContentModelCheck(TSignalFault& fault) : FFault(fault) {}

  // One token; false once the model has failed.
  bool Take(const TXmlElementCMTokenizer& token);

private:
  bool Fail(int kind, std::u16string_view snippet, std::u16string_view clue = {}) {
    FFault.Set(kind, snippet, clue);
    return false;
  }
  bool TakeOpen();
  bool TakeClose();
  bool TakeSeparator(char16_t separator);
  bool TakeOccurrence(const TXmlElementCMTokenizer& token);

  TSignalFault& FFault;
  TCMState FState = csStart;
  // One per open group; a string, which holds a few without allocating.
  WideString FSeparators;
  TXmlElementCMTokenType FKeyword = cmtStart;
  std::u16string_view FKeywordText;
};

bool TContentModelCheck::Take(const TXmlElementCMTokenizer& token) {
  const std::u16string_view text = token.TokenText();
  if (FState == csKeyword && token.TokenType() != cmtEnd && token.TokenType() != cmtInvalid) {
    // "EMPTY" and "ANY" stand alone.
    return Fail(FKeyword == cmtAny ? ekMisplacedAny : ekMisplacedEmpty, FKeywordText);
  }
  switch (token.TokenType()) {
  case cmtAny:
  case cmtEmpty:
    if (FState != csStart) {
      return Fail(token.TokenType() == cmtAny ? ekMisplacedAny : ekMisplacedEmpty, text);
    }
    FState = csKeyword;
    FKeyword = token.TokenType();
    FKeywordText = text;
    return true;
  case cmtPCData:
    if (FState != csGroupOpened || FSeparators.size() != 1) {
      return Fail(ekMisplacedPCData, text);
    }
    FState = csMixedPCData;
    return true;
  case cmtName:
    if (FState == csGroupOpened || FState == csItemExpected) {
      FState = csAfterItem;
    } else if (FState == csMixedName) {
      FState = csMixedAfterName;
    } else {
      return Fail(ekInvalidContentModel, text);
    }
    return true;
  case cmtOpenParen:
    // Models are built and matched along their nesting: a bound keeps that shallow.
    if (FSeparators.size() >= kMaxContentModelDepth) {
      return Fail(ekInvalidContentModel, text, kContentModelTooDeepClue);
    }
    return TakeOpen() || Fail(ekInvalidContentModel, text);
  case cmtCloseParen:
    return TakeClose() || Fail(ekInvalidContentModel, text);
  case cmtSeparator:
    return TakeSeparator(text[0]) || Fail(ekInvalidContentModel, text);
  case cmtOccurrence:
    return TakeOccurrence(token) || Fail(ekInvalidContentModel, text);
  case cmtEnd:
    if (FState == csKeyword || FState == csModelClosed || FState == csMixedClosed ||
        FState == csDone) {
      return true;
    }
    return Fail(ekInvalidContentModel, text);
  default:
    return true;
  }
}

bool TContentModelCheck::TakeOpen() {
  if (FState != csStart && FState != csGroupOpened && FState != csItemExpected) {
    return false;
  }
  FSeparators.push_back(0);
  FState = csGroupOpened;
  return true;
}

bool TContentModelCheck::TakeClose() {
  switch (FState) {
  case csAfterItem:
  case csAfterOccurrence:
    FSeparators.pop_back();
    FState = FSeparators.empty() ? csModelClosed : csAfterItem;
    return true;
  case csMixedPCData:
    FSeparators.pop_back();
    FState = csMixedClosed;
    return true;
  case csMixedAfterName:
    FSeparators.pop_back();
    FState = csMixedNamesClosed;
    return true;
  default:
    return false;
  }
}

bool TContentModelCheck::TakeSeparator(char16_t separator) {
  switch (FState) {
  case csAfterItem:
  case csAfterOccurrence: {
    char16_t& groupSeparator = FSeparators.back();
    if (groupSeparator != 0 && groupSeparator != separator) {
      return false;
    }
    groupSeparator = separator;
    FState = csItemExpected;
    return true;
  }
  case csMixedPCData:
  case csMixedAfterName:
    FState = csMixedName;
    return separator == '|';
  default:
    return false;
  }
}

bool TContentModelCheck::TakeOccurrence(const TXmlElementCMTokenizer& token) {
  if (token.SpaceBefore()) {
    return false;
  }
  switch (FState) {
  case csAfterItem:
    FState = csAfterOccurrence;
    return true;
  case csModelClosed:
    FState = csDone;
    return true;
  case csMixedClosed:
  case csMixedNamesClosed:
    FState = csDone;
    return token.TokenText() == u"*";
  default:
    return false;
  }
}

} // namespace

void TestContentModel(std::u16string_view model, TSignalFault& fault) {
  TXmlElementCMTokenizer tokenizer(model);
  TContentModelCheck check(fault);
  TSignalFault warning;
  do {
    tokenizer.NextToken();
    if (tokenizer.ErrorType() != 0) {
      if (SeverityOf(tokenizer.ErrorType()) == svFatal) {
        fault.Set(tokenizer.ErrorType(), tokenizer.TokenText(), tokenizer.Clue());
        return;
      }
      if (warning.Kind == ekNone) {
        warning.Set(tokenizer.ErrorType(), tokenizer.TokenText(), tokenizer.Clue());
      }
    }
    if (!check.Take(tokenizer)) {
      return;
    }
  } while (tokenizer.TokenType() != cmtEnd);
  fault = warning;
}

} // namespace velmora
