#pragma once
// Splits an XPath 1.0 expression into tokens by the lexical rules of XPath 1.0 (section
// 3.7): whether "*" and names like "div" are operators or name tests, whether a name is a
// function name, a node type or an axis name. "//" comes out expanded into the tokens of
// "/descendant-or-self::node()/". Bad input never raises: it becomes an InvalidToken.

#include <cstdint>
#include <string_view>

#include "xpath/kind_set.h"

namespace velmora {

// The codes are fixed: each kind below EndOfText has the syntax-node class of the same
// number.
enum class TDomXPathTokenKind : uint8_t {
  LeftParenthesis = 0,
  RightParenthesis = 1,
  LeftSquareBracket = 2,
  RightSquareBracket = 3,
  SingleDot = 4,
  DoubleDot = 5,
  CommercialAt = 6,
  Comma = 7,
  DoubleColon = 8,
  NameTest = 9,
  NodeTypeComment = 10,
  NodeTypeText = 11,
  NodeTypePI = 12,
  NodeTypeNode = 13,
  AndOperator = 14,
  OrOperator = 15,
  ModOperator = 16,
  DivOperator = 17,
  MultiplyOperator = 18,
  SlashOperator = 19,
  ShefferStrokeOperator = 20,
  PlusOperator = 21,
  MinusOperator = 22,
  IsEqualOperator = 23,
  IsNotEqualOperator = 24,
  LessThanOperator = 25,
  LessThanOrEqualOperator = 26,
  GreaterThanOperator = 27,
  GreaterThanOrEqualOperator = 28,
  FunctionName = 29,
  AxisNameAncestor = 30,
  AxisNameAncestorOrSelf = 31,
  AxisNameAttribute = 32,
  AxisNameChild = 33,
  AxisNameDescendant = 34,
  AxisNameDescendantOrSelf = 35,
  AxisNameFollowing = 36,
  AxisNameFollowingSibling = 37,
  AxisNameNamespace = 38,
  AxisNameParent = 39,
  AxisNamePreceding = 40,
  AxisNamePrecedingSibling = 41,
  AxisNameSelf = 42,
  Literal = 43,
  Number = 44,
  VariableReference = 45,
  EndOfText = 46,
  InvalidToken = 47,
};

using TDomXPathTokenKinds = TDomXPathKindSet<TDomXPathTokenKind, 48>;

class TDomXPathTokenizer {
public:
  // Tokenizes text, which must outlive the tokenizer. A version other than "1.0" raises
  // ENot_Supported_Err.
  TDomXPathTokenizer(std::u16string_view text, std::u16string_view version);

  // The next token. value is a part of the text (empty where the kind carries none);
  // position is the number of characters consumed after the token, -1 at the end.
  void Read(TDomXPathTokenKind& kind, std::u16string_view& value, int& position);
  // One token of look-ahead: any number of calls look at the same token, which the next
  // Read returns.
  bool IsFollowing(TDomXPathTokenKind kind) { return NextKind() == kind; }
  TDomXPathTokenKind NextKind();
  void Reset();

  // Character helpers over the unread text.
  bool NextChar(char16_t& c);
  bool PeekChar(char16_t& c) const;
  // Whether, after white space, the text continues with "::" or with "(".
  bool DoubleColonFollows() const;
  bool LeftParenthesisFollows() const;

private:
  void ReadExpansion(TDomXPathTokenKind& kind);
  void Scan(TDomXPathTokenKind& kind, std::u16string_view& value);
  // The kind of a token that c alone (or with "=", ":", "/" or "." after it) makes, or
  // InvalidToken when c starts something longer or nothing.
  TDomXPathTokenKind ScanPunctuation(char16_t c);
  TDomXPathTokenKind ScanName(size_t start, std::u16string_view& value);
  TDomXPathTokenKind ScanVariableReference(std::u16string_view& value);
  TDomXPathTokenKind ScanLiteral(char16_t quote, std::u16string_view& value);
  void SkipNCNameChars();
  void SkipDigits();
  size_t SkipWhiteSpaceFrom(size_t index) const;
  bool PeekIs(char16_t c) const { return FPosition < FText.size() && FText[FPosition] == c; }
  // Consumes c when it is the next character.
  bool Take(char16_t c) {
    const bool next = PeekIs(c);
    FPosition += next;
    return next;
  }
  std::u16string_view Part(size_t start, size_t end) const {
    return FText.substr(start, end - start);
  }

  bool FLookAheadActive = false;
  // 0, or the step of the "//" expansion that comes next (1 to 6).
  uint8_t FDoubleSlashState = 0;
  std::u16string_view FText;
  TDomXPathTokenKind FLastKind = TDomXPathTokenKind::InvalidToken;
  size_t FPosition = 0;
  int FLookAheadPosition = 0;
  TDomXPathTokenKind FLookAheadKind = TDomXPathTokenKind::InvalidToken;
  std::u16string_view FLookAheadValue;
};

} // namespace velmora
