#include "xml/doctype_decl_tokenizer.h"

#include "dom/xml_rules.h"
#include "xml/parse_errors.h"
#include "xml/utf_codecs.h"

namespace velmora {

namespace {

constexpr TCharSet kNameStop(u" \t\r\n[>");

std::unique_ptr<TXmlSimpleInputSource> MakeSource(TMemoryStream& stream,
                                                  const CharPosition& origin,
                                                  WideString systemId) {
  return std::make_unique<TXmlSimpleInputSource>(
      &stream, WideString(), std::move(systemId), 4096, TUTF16LECodec::ClassRef(),
      origin.EndByte, origin.CharCount, origin.LineChars, origin.LineTabs, origin.Line, bdNone);
}

} // namespace

TXmlDoctypeDeclTokenizer::TXmlDoctypeDeclTokenizer(std::u16string_view text,
                                                   const CharPosition& origin,
                                                   WideString systemId)
    : TXmlCustomTokenizer(nullptr), FText(text),
      FStream(std::make_unique<TMemoryStream>(
          FText.data(), static_cast<int64_t>(FText.size() * sizeof(char16_t)))),
      FSource(MakeSource(*FStream, origin, std::move(systemId))) {
  FInputSource = FSource.get();
  FTokenStart = FSource->Current();
  FTokenEnd = FSource->Previous();
}

TXmlDoctypeDeclTokenizer::~TXmlDoctypeDeclTokenizer() = default;

void TXmlDoctypeDeclTokenizer::NextToken() {
  StartToken();
  MarkStart();
  try {
    switch (FTokenType) {
    case dttStart:
      ReadName();
      return;
    case dttName:
      ReadExternalId();
      return;
    case dttPublicLiteral:
      FTokenType = dttSystemLiteral;
      ReadSpacedLiteral();
      return;
    case dttSystemLiteral:
      ReadAfterExternalId();
      return;
    default:
      FTokenType = dttEnd;
      return;
    }
  } catch (const EConvertError&) {
    MarkEndAtCurrent();
    Fail(ekInvalidCharacter);
  }
}

void TXmlDoctypeDeclTokenizer::ReadName() {
  Advance();
  if (!isWhiteSpaceChar(CurrentChar())) {
    MarkEndAtCurrent();
    Fail(ekMissingWhitespace, u" ");
    return;
  }
  FSource->SkipWhiteSpaceAhead();
  MarkStart();
  FSource->AppendUntil(kNameStop, FTokenValue);
  MarkEndAtCurrent();
  FTokenType = dttName;
}

void TXmlDoctypeDeclTokenizer::ReadExternalId() {
  FSource->SkipWhiteSpaceAhead();
  switch (Ahead()) {
  case 'P':
    Advance();
    if (!MatchAhead(u"UBLIC")) {
      MarkEndAtCurrent();
      Fail(ekInvalidPublicKeyword, u"PUBLIC");
      return;
    }
    FTokenType = dttPublicLiteral;
    ReadSpacedLiteral();
    return;
  case 'S':
    Advance();
    if (!MatchAhead(u"YSTEM")) {
      MarkEndAtCurrent();
      Fail(ekInvalidSystemKeyword, u"SYSTEM");
      return;
    }
    FTokenType = dttSystemLiteral;
    ReadSpacedLiteral();
    return;
  case '[':
    FTokenType = dttSystemLiteral;
    ReadAfterExternalId();
    return;
  case kEndOfInput:
    FTokenType = dttEnd;
    return;
  default:
    Advance();
    MarkEndAtCurrent();
    Fail(ekInvalidSystemKeyword, u"SYSTEM");
    return;
  }
}

void TXmlDoctypeDeclTokenizer::ReadSpacedLiteral() {
  if (FSource->SkipWhiteSpaceAhead() == 0) {
    MarkEndAtCurrent();
    Fail(ekMissingWhitespace, u" ");
    return;
  }
  ReadLiteral();
}

void TXmlDoctypeDeclTokenizer::ReadLiteral() {
  const int32_t quote = Ahead();
  if (quote != '"' && quote != '\'') {
    MarkEndAtCurrent();
    Fail(ekInvalidLiteral, u"\"");
    return;
  }
  Advance();
  MarkStart();
  const char16_t quoteText[] = {static_cast<char16_t>(quote), 0};
  FSource->AppendUntil(TCharSet(quoteText), FTokenValue);
  MarkEndAtCurrent();
  if (Ahead() != quote) {
    Fail(ekInvalidLiteral, quoteText);
    return;
  }
  Advance();
}

void TXmlDoctypeDeclTokenizer::ReadAfterExternalId() {
  FSource->SkipWhiteSpaceAhead();
  if (Ahead() == kEndOfInput) {
    FTokenType = dttEnd;
    return;
  }
  if (Ahead() != '[') {
    Advance();
    MarkEndAtCurrent();
    Fail(ekMissingSubsetStart, u"[");
    return;
  }
  FTokenType = dttInternalSubset;
  Advance();
  MarkStart();
  ReadInternalSubset();
}

// Up to the "]" that closes the subset; quotes, comments and processing instructions are
// followed so that a "]" inside them does not count.
void TXmlDoctypeDeclTokenizer::ReadInternalSubset() {
  int32_t quote = 0;
  bool inComment = false;
  bool inPI = false;
  int opener = 0; // "<" 1, "<!" 2, "<!-" 3
  for (;;) {
    if (Ahead() == kEndOfInput) {
      MarkEndAtCurrent();
      Fail(ekUnclosedInternalSubset, u"]");
      return;
    }
    Advance();
    const int32_t c = CurrentChar();
    if (quote != 0) {
      quote = c == quote ? 0 : quote;
    } else if (inComment) {
      if (c == '-' && Ahead() == '-') {
        AppendCurrent();
        Advance();
        if (Ahead() != '>') {
          MarkEndAtCurrent();
          Fail(ekUnclosedComment, u"-->");
          return;
        }
        inComment = false;
      }
    } else if (inPI) {
      inPI = !(c == '?' && Ahead() == '>');
    } else if (c == ']') {
      MarkEndAtPrevious();
      break;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '<') {
      opener = 1;
      AppendCurrent();
      continue;
    } else if (c == '!' && opener == 1) {
      opener = 2;
      AppendCurrent();
      continue;
    } else if (c == '-' && opener >= 2) {
      opener = opener == 2 ? 3 : 0;
      inComment = opener == 0;
      AppendCurrent();
      continue;
    } else if (c == '?' && opener == 1) {
      inPI = true;
    }
    opener = 0;
    AppendCurrent();
  }
  FSource->SkipWhiteSpaceAhead();
  if (Ahead() != kEndOfInput) {
    Fail(ekUnclosedDoctype, u"]>");
  }
}

} // namespace velmora
