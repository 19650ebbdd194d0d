#include "xml/dtd_detail_tokenizer.h"

#include "dom/xml_rules.h"
#include "runtime/exceptions.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

// What ends a word (a ";" ends it too, but belongs to it) and a PI target.
constexpr TCharSet kWordStop(u" \t\r\n\"'%(),<>[]|;");
constexpr TCharSet kPITargetStop(u" \t\r\n\"'%(),<>?[]|");
constexpr TCharSet kApostropheStop(u"'");
constexpr TCharSet kQuotationMarkStop(u"\"");
constexpr TCharSet kIgnoredSectionStop(u"<]");

} // namespace

TXmlDtdDetailTokenizer::TXmlDtdDetailTokenizer(TXmlSimpleInputSource* inputSource,
                                               bool openedAsDeclSep)
    : TXmlCustomTokenizer(inputSource), FTokenKind(inputSource ? dtStartOfSource : dtEndOfSource),
      FOpenedAsDeclSep(openedAsDeclSep) {}

void TXmlDtdDetailTokenizer::NextToken() {
  if (FTokenKind == dtEndOfSource) {
    // An error at the end is reported once.
    StartToken();
    return;
  }
  StartToken();
  FTokenKind = dtNone;
  try {
    MarkStart();
    Advance();
    if (FInPI) {
      ReadPIToken();
    } else {
      ReadToken();
    }
  } catch (const EConvertError&) {
    // Undecodable bytes, or a surrogate code point for the token text.
    MarkEndAtCurrent();
    Fail(ekInvalidCharacter);
  }
}

void TXmlDtdDetailTokenizer::ReadToken() {
  const int32_t c = CurrentChar();
  switch (c) {
  case kEndOfInput:
    FTokenKind = dtEndOfSource;
    MarkEndAtCurrent();
    return;
  case '"':
  case '\'':
    ReadLiteral();
    return;
  case '(':
  case ',':
  case '|':
    FTokenKind = dtPunctuation;
    AppendCurrent();
    MarkEndAtCurrent();
    return;
  case ')':
    FTokenKind = dtPunctuation;
    AppendCurrent();
    if (Ahead() == '*' || Ahead() == '+' || Ahead() == '?') {
      Advance();
      AppendCurrent();
    }
    MarkEndAtCurrent();
    return;
  case '<':
    ReadMarkupStart();
    return;
  case '>':
    FTokenKind = dtDeclEnd;
    AppendCurrent();
    MarkEndAtCurrent();
    return;
  case '[':
    FTokenKind = dtOpenBracket;
    AppendCurrent();
    MarkEndAtCurrent();
    return;
  case ']':
    FTokenKind = dtCondSectEnd;
    if (!MatchAhead(u"]>")) {
      Fail(ekInvalidCharacter, u"]]>");
    }
    MarkEndAtCurrent();
    return;
  default:
    if (isWhiteSpaceChar(c)) {
      ReadWhiteSpace();
    } else {
      ReadWord();
    }
    return;
  }
}

void TXmlDtdDetailTokenizer::ReadPIToken() {
  const int32_t c = CurrentChar();
  if (c == kEndOfInput) {
    FTokenKind = dtEndOfSource;
    FInPI = false;
    MarkEndAtCurrent();
    Fail(ekUnclosedPI, u"?>");
    return;
  }
  if (isWhiteSpaceChar(c)) {
    ReadWhiteSpace();
    return;
  }
  FTokenKind = dtPIData;
  FInPI = false;
  if (c == '?' && Ahead() == '>') {
    MarkEndAtPrevious();
    Advance();
    return;
  }
  AppendCurrent();
  if (!AppendUntilPIEnd()) {
    Fail(ekUnclosedPI, u"?>");
  }
}

void TXmlDtdDetailTokenizer::ReadMarkupStart() {
  if (Ahead() == '?') {
    FTokenKind = dtPITarget;
    Advance();
    FInputSource->AppendUntil(kPITargetStop, FTokenValue);
    MarkEndAtCurrent();
    FInPI = true;
    return;
  }
  if (Ahead() != '!') {
    FTokenKind = dtNone;
    MarkEndAtCurrent();
    Fail(ekInvalidMarkupDecl, u"<!");
    return;
  }
  Advance();
  ReadDeclarationStart();
}

// After "<!".
void TXmlDtdDetailTokenizer::ReadDeclarationStart() {
  const int32_t next = Ahead();
  if (next != kEndOfInput) {
    Advance();
  }
  switch (next) {
  case '-':
    FTokenKind = dtComment;
    if (Ahead() != '-') {
      MarkEndAtCurrent();
      Fail(ekInvalidCommentStart, u"<!--");
      return;
    }
    Advance();
    ReadCommentText();
    return;
  case 'A':
    ReadKeyword(u"TTLIST", dtAttListStart, ekInvalidAttlistStart, u"<!ATTLIST");
    return;
  case 'E':
    if (Ahead() == 'L') {
      Advance();
      ReadKeyword(u"EMENT", dtElementStart, ekInvalidElementDeclStart, u"<!ELEMENT");
    } else if (Ahead() == 'N') {
      Advance();
      ReadKeyword(u"TITY", dtEntityStart, ekInvalidEntityDeclStart, u"<!ENTITY");
    } else {
      MarkEndAtCurrent();
      Fail(ekInvalidMarkupDecl);
    }
    return;
  case 'N':
    ReadKeyword(u"OTATION", dtNotationStart, ekInvalidNotationDeclStart, u"<!NOTATION");
    return;
  case '[':
    FTokenKind = dtCondSectStart;
    MarkEndAtCurrent();
    return;
  default:
    MarkEndAtCurrent();
    Fail(ekInvalidMarkupDecl);
    return;
  }
}

void TXmlDtdDetailTokenizer::ReadKeyword(std::u16string_view rest, TXmlDtdDetailTokenKind kind,
                                         uint8_t error, std::u16string_view clue) {
  FTokenKind = kind;
  if (!MatchAhead(rest)) {
    Fail(error, clue);
  }
  MarkEndAtCurrent();
}

void TXmlDtdDetailTokenizer::ReadLiteral() {
  FTokenKind = dtLiteral;
  const int32_t quote = CurrentChar();
  AppendCurrent();
  FInputSource->AppendUntil(quote == '\'' ? kApostropheStop : kQuotationMarkStop, FTokenValue);
  if (Ahead() == quote) {
    Advance();
    AppendCurrent();
    MarkEndAtCurrent();
    return;
  }
  MarkEndAtCurrent();
  Fail(ekInvalidLiteral, quote == '\'' ? u"'" : u"\"");
}

void TXmlDtdDetailTokenizer::ReadWhiteSpace() {
  FTokenKind = dtWhitespace;
  AppendCurrent();
  while (isWhiteSpaceChar(Ahead())) {
    Advance();
    AppendCurrent();
  }
  MarkEndAtCurrent();
}

void TXmlDtdDetailTokenizer::ReadWord() {
  const int32_t first = CurrentChar();
  FTokenKind = first == '%' ? dtPercentWord : dtWord;
  AppendCurrent();
  if (first != ';') {
    FInputSource->AppendUntil(kWordStop, FTokenValue);
    if (Ahead() == ';') {
      Advance();
      AppendCurrent();
    }
  }
  MarkEndAtCurrent();
}

void TXmlDtdDetailTokenizer::SkipIgnoredSection() {
  if (FTokenKind == dtEndOfSource) {
    return;
  }
  StartToken();
  FTokenKind = dtNone;
  int64_t depth = 0;
  try {
    MarkStart();
    for (;;) {
      // The contents are not kept.
      FTokenValue.clear();
      FInputSource->AppendUntil(kIgnoredSectionStop, FTokenValue);
      if (Ahead() == kEndOfInput) {
        FTokenKind = dtEndOfSource;
        FTokenValue.clear();
        Advance();
        MarkEndAtCurrent();
        return;
      }
      Advance();
      if (CurrentChar() == '<') {
        if (MatchAhead(u"![")) {
          ++depth;
        }
        continue;
      }
      if (Ahead() != ']') {
        continue;
      }
      while (Ahead() == ']') {
        Advance();
      }
      if (Ahead() != '>') {
        continue;
      }
      Advance();
      if (depth == 0) {
        FTokenKind = dtCondSectEnd;
        FTokenValue.clear();
        MarkEndAtCurrent();
        return;
      }
      --depth;
    }
  } catch (const EConvertError&) {
    MarkEndAtCurrent();
    Fail(ekInvalidCharacter);
  }
}

} // namespace velmora
