#include "xpath/expression_tokenizer.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "runtime/format.h"

namespace velmora {

namespace {

using enum TDomXPathTokenKind;

struct TNamedKind {
  std::u16string_view Name;
  TDomXPathTokenKind Kind;
};

constexpr TNamedKind kAxisNames[] = {
    {u"ancestor", AxisNameAncestor},
    {u"ancestor-or-self", AxisNameAncestorOrSelf},
    {u"attribute", AxisNameAttribute},
    {u"child", AxisNameChild},
    {u"descendant", AxisNameDescendant},
    {u"descendant-or-self", AxisNameDescendantOrSelf},
    {u"following", AxisNameFollowing},
    {u"following-sibling", AxisNameFollowingSibling},
    {u"namespace", AxisNameNamespace},
    {u"parent", AxisNameParent},
    {u"preceding", AxisNamePreceding},
    {u"preceding-sibling", AxisNamePrecedingSibling},
    {u"self", AxisNameSelf},
};

constexpr TNamedKind kNodeTypeNames[] = {
    {u"comment", NodeTypeComment},
    {u"text", NodeTypeText},
    {u"processing-instruction", NodeTypePI},
    {u"node", NodeTypeNode},
};

constexpr TNamedKind kOperatorNames[] = {
    {u"and", AndOperator},
    {u"or", OrOperator},
    {u"mod", ModOperator},
    {u"div", DivOperator},
};

template <size_t N>
TDomXPathTokenKind KindOfName(const TNamedKind (&table)[N], std::u16string_view name,
                              TDomXPathTokenKind otherwise) {
  for (const TNamedKind& entry : table) {
    if (entry.Name == name) {
      return entry.Kind;
    }
  }
  return otherwise;
}

// After these a "*" is a name test and a name is no operator: XPath's rule for "no
// preceding token, or one of @ :: ( [ , or an operator". InvalidToken is the last kind
// before the first token.
constexpr TDomXPathTokenKinds kNamePosition =
    TDomXPathTokenKinds{LeftParenthesis, LeftSquareBracket, CommercialAt,
                        Comma,           DoubleColon,       InvalidToken} |
    TDomXPathTokenKinds::Range(AndOperator, GreaterThanOrEqualOperator);

bool IsNameStart(char16_t c) {
  return hasNameClass(c, name_class::kNCNameStart);
}

} // namespace

TDomXPathTokenizer::TDomXPathTokenizer(std::u16string_view text, std::u16string_view version)
    : FText(text) {
  if (version != u"1.0") {
    throw ENot_Supported_Err(Format("XPath version \"%S\" not supproted.", {version}));
  }
}

void TDomXPathTokenizer::Reset() {
  FLookAheadActive = false;
  FLastKind = InvalidToken;
  FPosition = 0;
  FDoubleSlashState = 0;
}

TDomXPathTokenKind TDomXPathTokenizer::NextKind() {
  if (!FLookAheadActive) {
    Read(FLookAheadKind, FLookAheadValue, FLookAheadPosition);
    FLookAheadActive = true;
  }
  return FLookAheadKind;
}

void TDomXPathTokenizer::Read(TDomXPathTokenKind& kind, std::u16string_view& value, int& position) {
  if (FLookAheadActive) {
    kind = FLookAheadKind;
    value = FLookAheadValue;
    position = FLookAheadPosition;
    FLookAheadActive = false;
    return;
  }
  value = {};
  if (FDoubleSlashState != 0) {
    ReadExpansion(kind);
  } else {
    Scan(kind, value);
  }
  position = kind == EndOfText ? -1 : static_cast<int>(FPosition);
}

void TDomXPathTokenizer::ReadExpansion(TDomXPathTokenKind& kind) {
  // The inner tokens leave the last kind at SlashOperator, so that what follows "//" is
  // read in name position.
  static constexpr TDomXPathTokenKind kExpansion[] = {
      AxisNameDescendantOrSelf, DoubleColon,      NodeTypeNode,
      LeftParenthesis,          RightParenthesis, SlashOperator};
  kind = kExpansion[FDoubleSlashState - 1];
  if (FDoubleSlashState == 6) {
    FDoubleSlashState = 0;
    FLastKind = SlashOperator;
  } else {
    ++FDoubleSlashState;
  }
}

void TDomXPathTokenizer::Scan(TDomXPathTokenKind& kind, std::u16string_view& value) {
  FPosition = SkipWhiteSpaceFrom(FPosition);
  if (FPosition >= FText.size()) {
    kind = EndOfText;
    return;
  }
  const size_t start = FPosition;
  const char16_t c = FText[FPosition++];
  kind = ScanPunctuation(c);
  if (kind != InvalidToken) {
    // Punctuation and operators carry no value.
  } else if (c == '"' || c == '\'') {
    kind = ScanLiteral(c, value);
  } else if (c == '$') {
    kind = ScanVariableReference(value);
  } else if (c == '*') {
    kind = kNamePosition.Contains(FLastKind) ? NameTest : MultiplyOperator;
    if (kind == NameTest) {
      value = Part(start, FPosition);
    }
  } else if (c == '.' || isAsciiDigit(c)) {
    // Digits with at most one dot (a trailing dot stays in the number), or a dot before
    // digits.
    SkipDigits();
    if (c != '.' && Take('.')) {
      SkipDigits();
    }
    kind = Number;
    value = Part(start, FPosition);
  } else if (IsNameStart(c)) {
    kind = ScanName(start, value);
  } else {
    // "!" without "=", ":" without ":", and any character that starts no token.
    value = Part(start, FPosition);
  }
  FLastKind = kind;
}

TDomXPathTokenKind TDomXPathTokenizer::ScanPunctuation(char16_t c) {
  switch (c) {
  case '(':
    return LeftParenthesis;
  case ')':
    return RightParenthesis;
  case '[':
    return LeftSquareBracket;
  case ']':
    return RightSquareBracket;
  case '@':
    return CommercialAt;
  case ',':
    return Comma;
  case '|':
    return ShefferStrokeOperator;
  case '+':
    return PlusOperator;
  case '-':
    return MinusOperator;
  case '=':
    return IsEqualOperator;
  case '!':
    return Take('=') ? IsNotEqualOperator : InvalidToken;
  case '<':
    return Take('=') ? LessThanOrEqualOperator : LessThanOperator;
  case '>':
    return Take('=') ? GreaterThanOrEqualOperator : GreaterThanOperator;
  case ':':
    return Take(':') ? DoubleColon : InvalidToken;
  case '/':
    if (Take('/')) {
      FDoubleSlashState = 1;
    }
    return SlashOperator;
  case '.':
    if (Take('.')) {
      return DoubleDot;
    }
    // A dot before a digit starts a number.
    return FPosition < FText.size() && isAsciiDigit(FText[FPosition]) ? InvalidToken : SingleDot;
  default:
    return InvalidToken;
  }
}

TDomXPathTokenKind TDomXPathTokenizer::ScanName(size_t start, std::u16string_view& value) {
  SkipNCNameChars();
  if (!kNamePosition.Contains(FLastKind)) {
    // Operator position: only the NCName is read.
    value = Part(start, FPosition);
    const TDomXPathTokenKind kind = KindOfName(kOperatorNames, value, InvalidToken);
    if (kind != InvalidToken) {
      value = {};
    }
    return kind;
  }
  if (DoubleColonFollows()) {
    // The "::" itself is the next token.
    value = {};
    return KindOfName(kAxisNames, Part(start, FPosition), InvalidToken);
  }
  if (PeekIs(':')) {
    // A second colon would have made the name an axis name, so this is a prefix.
    ++FPosition;
    if (FPosition >= FText.size()) {
      value = Part(start, FPosition);
      return InvalidToken;
    }
    const char16_t next = FText[FPosition++];
    if (!IsNameStart(next)) {
      value = Part(start, FPosition);
      return next == '*' ? NameTest : InvalidToken;
    }
    SkipNCNameChars();
  }
  value = Part(start, FPosition);
  if (!LeftParenthesisFollows()) {
    return NameTest;
  }
  const TDomXPathTokenKind kind = KindOfName(kNodeTypeNames, value, FunctionName);
  if (kind != FunctionName) {
    value = {};
  }
  return kind;
}

TDomXPathTokenKind TDomXPathTokenizer::ScanVariableReference(std::u16string_view& value) {
  if (FPosition >= FText.size()) {
    return InvalidToken;
  }
  if (!IsNameStart(FText[FPosition])) {
    value = Part(FPosition, FPosition + 1);
    return InvalidToken;
  }
  const size_t start = FPosition;
  SkipNCNameChars();
  if (PeekIs(':')) {
    ++FPosition;
    if (FPosition >= FText.size()) {
      value = Part(start, FPosition);
      return InvalidToken;
    }
    if (FText[FPosition] == ':') {
      // The reference ends before "::".
      --FPosition;
    } else if (IsNameStart(FText[FPosition])) {
      SkipNCNameChars();
    } else {
      value = Part(start, FPosition + 1);
      return InvalidToken;
    }
  }
  value = Part(start, FPosition);
  return VariableReference;
}

TDomXPathTokenKind TDomXPathTokenizer::ScanLiteral(char16_t quote, std::u16string_view& value) {
  const size_t start = FPosition;
  const size_t end = FText.find(quote, start);
  if (end == std::u16string_view::npos) {
    FPosition = FText.size();
    value = Part(start, FPosition);
    return InvalidToken;
  }
  FPosition = end + 1;
  value = Part(start, end);
  return Literal;
}

void TDomXPathTokenizer::SkipNCNameChars() {
  while (FPosition < FText.size() && isNCNameChar(FText[FPosition])) {
    ++FPosition;
  }
}

void TDomXPathTokenizer::SkipDigits() {
  while (FPosition < FText.size() && isAsciiDigit(FText[FPosition])) {
    ++FPosition;
  }
}

size_t TDomXPathTokenizer::SkipWhiteSpaceFrom(size_t index) const {
  while (index < FText.size() && isWhiteSpaceChar(FText[index])) {
    ++index;
  }
  return index;
}

bool TDomXPathTokenizer::NextChar(char16_t& c) {
  if (!PeekChar(c)) {
    return false;
  }
  ++FPosition;
  return true;
}

bool TDomXPathTokenizer::PeekChar(char16_t& c) const {
  c = FPosition < FText.size() ? FText[FPosition] : 0;
  return FPosition < FText.size();
}

bool TDomXPathTokenizer::DoubleColonFollows() const {
  const size_t index = SkipWhiteSpaceFrom(FPosition);
  return index + 1 < FText.size() && FText[index] == ':' && FText[index + 1] == ':';
}

bool TDomXPathTokenizer::LeftParenthesisFollows() const {
  const size_t index = SkipWhiteSpaceFrom(FPosition);
  return index < FText.size() && FText[index] == '(';
}

} // namespace velmora
