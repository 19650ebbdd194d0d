#pragma once
// The content of an element type declaration ("EMPTY", "ANY", "(#PCDATA|a)*",
// "(a,(b|c)+)?"): its tokens, and the test that they form one of the productions of
// XML 1.0 that the content of such a declaration may be.

#include "xml/signals.h"

namespace velmora {

enum TXmlElementCMTokenType : uint8_t {
  cmtAny = 0, // "ANY" outside parentheses
  cmtCloseParen = 1,
  cmtEmpty = 2, // "EMPTY" outside parentheses
  cmtEnd = 3,
  cmtOccurrence = 4, // "*", "+" or "?"
  cmtInvalid = 5,
  cmtName = 6,
  cmtOpenParen = 7,
  cmtPCData = 8,    // "#PCDATA"
  cmtSeparator = 9, // "," or "|"
  cmtStart = 10,
};

class TXmlElementCMTokenizer {
public:
  // text must outlive the tokenizer: token texts are views of it.
  explicit TXmlElementCMTokenizer(std::u16string_view text) : FText(text) {}

  // Skips white space and reads one token; nothing happens at the end.
  void NextToken();

  TXmlElementCMTokenType TokenType() const { return FTokenType; }
  std::u16string_view TokenText() const { return FTokenText; }
  // Whether white space stood before the token: occurrence indicators must follow their
  // particle directly.
  bool SpaceBefore() const { return FSpaceBefore; }
  // ekInvalidContentSpecChar (a warning) for a character that starts no token,
  // ekInvalidCharacter for a lone surrogate.
  uint8_t ErrorType() const { return FErrorType; }
  std::u16string_view Clue() const { return FClue; }

private:
  void ReadName(size_t start);

  std::u16string_view FText;
  size_t FPosition = 0;
  int64_t FDepth = 0; // open parentheses
  TXmlElementCMTokenType FTokenType = cmtStart;
  std::u16string_view FTokenText;
  bool FSpaceBefore = false;
  uint8_t FErrorType = 0;
  std::u16string_view FClue;
};

// Content models nest at most this deep; a deeper one is refused as ekInvalidContentModel.
constexpr size_t kMaxContentModelDepth = 256;
constexpr std::u16string_view kContentModelTooDeepClue = u"nested more than 256 groups deep";

// Whether model is "EMPTY", "ANY", or a Mixed or children content model. The fault is
// ekMisplacedAny, ekMisplacedEmpty, ekMisplacedPCData, ekInvalidContentModel or a fatal kind
// of the tokenizer, with the offending token as snippet; failing those, the first warning
// of the tokenizer.
void TestContentModel(std::u16string_view model, TSignalFault& fault);

} // namespace velmora
