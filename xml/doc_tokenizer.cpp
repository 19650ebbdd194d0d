#include "xml/doc_tokenizer.h"

#include "dom/xml_rules.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

constexpr TCharSet kCharDataStop(u"<&");
constexpr TCharSet kEndTagNameStop(u" \t\r\n>");
constexpr TCharSet kRightBracket(u"]");

} // namespace

TXmlDocTokenizer::TXmlDocTokenizer(TXmlSimpleInputSource* inputSource)
    : TXmlCustomTokenizer(inputSource), FTokenType(inputSource ? ttNone : ttEndOfDocument) {}

void TXmlDocTokenizer::NextToken() {
  if (FTokenType == ttEndOfDocument) {
    return;
  }
  StartToken();
  FTokenType = ttNone;
  try {
    ReadToken();
  } catch (const EConvertError&) {
    // Undecodable bytes, or a surrogate code point for the token text.
    MarkEndAtCurrent();
    Fail(ekInvalidCharacter);
  }
}

void TXmlDocTokenizer::ReadToken() {
  MarkStart();
  Advance();
  switch (CurrentChar()) {
  case kEndOfInput:
    FTokenType = ttEndOfDocument;
    MarkEndAtCurrent();
    return;
  case '&':
    ReadReference();
    return;
  case '<':
    ReadMarkup();
    return;
  default:
    ReadCharData();
    return;
  }
}

void TXmlDocTokenizer::ReadReference() {
  if (Ahead() == '#') {
    Advance();
    const bool hex = Ahead() == 'x';
    FTokenType = hex ? ttHexCharRef : ttDecimalCharRef;
    if (hex) {
      Advance();
    }
    MarkStart();
    while (hex ? isHexDigitChar(Ahead()) : isAsciiDigit(Ahead())) {
      Advance();
      AppendCurrent();
    }
    MarkEndAtCurrent();
    if (Ahead() == ';') {
      Advance();
    } else {
      Fail(ekCharRefWithoutSemicolon, u";");
    }
    return;
  }
  FTokenType = ttEntityRef;
  MarkStart();
  if (!hasNameClass(Ahead(), name_class::kNameStart)) {
    MarkEndAtCurrent();
    Fail(ekMissingEntityName);
    return;
  }
  Advance();
  AppendCurrent();
  FInputSource->AppendNameChars(FTokenValue);
  MarkEndAtCurrent();
  if (Ahead() == ';') {
    Advance();
  } else {
    Fail(ekEntityRefWithoutSemicolon, u";");
  }
}

void TXmlDocTokenizer::ReadCharData() {
  FTokenType = ttPCData;
  AppendCurrent();
  FInputSource->AppendUntil(kCharDataStop, FTokenValue);
  MarkEndAtCurrent();
}

void TXmlDocTokenizer::ReadMarkup() {
  switch (Ahead()) {
  case '!':
    Advance();
    ReadDeclarationMarkup();
    return;
  case '/':
    ReadEndTag();
    return;
  case '>':
    MarkEndAtCurrent();
    Advance();
    FTokenType = ttStartTag;
    Fail(ekMissingElementName);
    return;
  case '?':
    ReadProcessingInstruction();
    return;
  case kEndOfInput:
    MarkEndAtCurrent();
    FTokenType = ttStartTag;
    Fail(ekMissingElementName);
    return;
  default:
    ReadTag();
    return;
  }
}

void TXmlDocTokenizer::ReadDeclarationMarkup() {
  switch (Ahead()) {
  case '-':
    FTokenType = ttComment;
    Advance();
    if (Ahead() != '-') {
      MarkEndAtCurrent();
      Fail(ekInvalidCommentStart, u"<!--");
      return;
    }
    Advance();
    MarkStart();
    ReadCommentText();
    return;
  case '[':
    FTokenType = ttCDataSection;
    Advance();
    if (!MatchAhead(u"CDATA[")) {
      MarkEndAtCurrent();
      Fail(ekInvalidCDataStart, u"<![CDATA[");
      return;
    }
    MarkStart();
    ReadCDataSection();
    return;
  case 'C':
  case 'c':
  case ']':
    MarkEndAtCurrent();
    FTokenType = ttCDataSection;
    Fail(ekInvalidCDataStart, u"<![CDATA[");
    return;
  case 'D':
    FTokenType = ttDoctypeDecl;
    Advance();
    if (!MatchAhead(u"OCTYPE")) {
      MarkEndAtCurrent();
      Fail(ekInvalidDoctypeStart, u"<!DOCTYPE");
      return;
    }
    FDoctypeTextOrigin = FInputSource->Current();
    MarkStart();
    ReadDoctypeDecl();
    return;
  case 'O':
  case 'd':
  case 'o':
    MarkEndAtCurrent();
    FTokenType = ttDoctypeDecl;
    Fail(ekInvalidDoctypeStart, u"<!DOCTYPE");
    return;
  default:
    MarkEndAtCurrent();
    FTokenType = ttComment;
    Fail(ekInvalidCommentStart, u"<!--");
    return;
  }
}

void TXmlDocTokenizer::ReadCDataSection() {
  for (;;) {
    FInputSource->AppendUntil(kRightBracket, FTokenValue);
    if (Ahead() == kEndOfInput) {
      MarkEndAtCurrent();
      Fail(ekUnclosedCDataSection, u"]]>");
      return;
    }
    Advance(); // onto "]"
    while (CurrentChar() == ']' && Ahead() == ']') {
      MarkEndAtPrevious();
      Advance();
      if (Ahead() == '>') {
        Advance();
        return;
      }
      Append(']');
    }
    AppendCurrent();
  }
}

void TXmlDocTokenizer::ReadDoctypeDecl() {
  bool inApostrophes = false;
  bool inQuotationMarks = false;
  bool inSubset = false;
  std::u16string_view terminator; // the end of a comment or PI inside the subset
  int opener = 0;                 // "<" 1, "<!" 2, "<!-" 3
  while (Ahead() != kEndOfInput) {
    Advance();
    const int32_t c = CurrentChar();
    if (c == '>' && !inApostrophes && !inQuotationMarks && !inSubset && terminator.empty()) {
      MarkEndAtPrevious();
      return;
    }
    AppendCurrent();
    if (!terminator.empty()) {
      if (FTokenValue.endsWith(terminator)) {
        terminator = std::u16string_view();
      }
      continue;
    }
    if (c == '\'' && !inQuotationMarks) {
      inApostrophes = !inApostrophes;
    } else if (c == '"' && !inApostrophes) {
      inQuotationMarks = !inQuotationMarks;
    }
    const bool quoted = inApostrophes || inQuotationMarks;
    if (inSubset && !quoted) {
      if (c == '<') {
        opener = 1;
      } else if (c == '!' && opener == 1) {
        opener = 2;
      } else if (c == '?' && opener == 1) {
        opener = 0;
        terminator = u"?>";
      } else if (c == '-' && opener == 2) {
        opener = 3;
      } else if (c == '-' && opener == 3) {
        opener = 0;
        terminator = u"-->";
      } else {
        opener = 0;
      }
      if (c == ']') {
        inSubset = false;
      }
    } else if (!inSubset && !quoted && c == '[') {
      inSubset = true;
    }
  }
  MarkEndAtCurrent();
  Fail(ekUnclosedDoctype, u"]>");
}

void TXmlDocTokenizer::ReadEndTag() {
  FTokenType = ttEndTag;
  Advance(); // onto "/"
  MarkStart();
  FInputSource->AppendUntil(kEndTagNameStop, FTokenValue);
  MarkEndAtCurrent();
  FInputSource->SkipWhiteSpaceAhead();
  if (Ahead() == '>') {
    Advance();
  } else {
    Fail(ekUnclosedTag, u">");
  }
}

void TXmlDocTokenizer::ReadProcessingInstruction() {
  FTokenType = ttProcessingInstruction;
  Advance(); // onto "?"
  MarkStart();
  if (!AppendUntilPIEnd()) {
    Fail(ekUnclosedPI, u"?");
  }
}

void TXmlDocTokenizer::ReadTag() {
  Advance();
  FTokenStart = FInputSource->Current();
  AppendCurrent();
  int32_t openQuote = 0;
  FInputSource->AppendTagText(FTokenValue, openQuote);
  MarkEndAtCurrent();
  switch (Ahead()) {
  case '/':
    FTokenType = ttEmptyElementTag;
    Advance();
    if (Ahead() == '>') {
      Advance();
    } else {
      Fail(ekUnclosedTag, u">");
    }
    return;
  case '>':
    FTokenType = ttStartTag;
    Advance();
    return;
  default:
    FTokenType = ttStartTag;
    Fail(ekUnclosedTag, openQuote == '\'' ? u"'>" : openQuote == '"' ? u"\">" : u">");
    return;
  }
}

} // namespace velmora
