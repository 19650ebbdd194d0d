#pragma once
// The DTD detail tokenizer: splits the text of one DTD source (a subset, or the replacement
// text of a parameter entity) into the lexical tokens of markup declarations: keywords,
// literals, punctuation, words, white space, comments, processing instructions and the
// brackets of conditional sections.

#include "xml/custom_tokenizer.h"

namespace velmora {

enum TXmlDtdDetailTokenKind : uint8_t {
  dtAttListStart = 0,  // "<!ATTLIST"
  dtComment = 1,       // the text between "<!--" and "-->"
  dtCondSectEnd = 2,   // "]]>"
  dtOpenBracket = 3,   // "["
  dtCondSectStart = 4, // "<!["
  dtDeclEnd = 5,       // ">"
  dtElementStart = 6,  // "<!ELEMENT"
  dtEndOfSource = 7,
  dtEntityStart = 8, // "<!ENTITY"
  dtNone = 9,        // working state, never delivered
  dtPercentWord = 10,
  dtNotationStart = 11, // "<!NOTATION"
  dtPunctuation = 12,   // "(", ",", "|", or ")" with a directly following "*", "+" or "?"
  dtPEReference = 13,   // a complete "%Name;" (reported by the PE tokenizer)
  dtPIData = 14,        // up to "?>"
  dtPITarget = 15,      // "<?" and the target; the value is the target
  dtLiteral = 16,       // a quoted literal, both quotes included
  dtStartOfSource = 17,
  dtWord = 18, // names, keywords such as "SYSTEM" or "#REQUIRED"
  dtWhitespace = 19,
};

class TXmlDtdDetailTokenizer final : public TXmlCustomTokenizer {
public:
  // Not owned; without a source the kind is dtEndOfSource at once.
  explicit TXmlDtdDetailTokenizer(TXmlSimpleInputSource* inputSource, bool openedAsDeclSep = false);

  // Reads the next token; nothing happens once the end was reached.
  void NextToken() override;
  // Reads over an ignored section's contents (nested "<![" ... "]]>" pairs included) and
  // its closing "]]>", which becomes the token (dtCondSectEnd); or to the end of the text
  // (dtEndOfSource).
  void SkipIgnoredSection();

  TXmlDtdDetailTokenKind TokenKind() const { return FTokenKind; }
  bool InPI() const { return FInPI; }
  // The tokenizer reads a parameter entity that was referenced between declarations.
  bool OpenedAsDeclSep() const { return FOpenedAsDeclSep; }

private:
  void ReadToken();
  void ReadPIToken();
  void ReadMarkupStart();
  void ReadDeclarationStart();
  void ReadKeyword(std::u16string_view rest, TXmlDtdDetailTokenKind kind, uint8_t error,
                   std::u16string_view clue);
  void ReadLiteral();
  void ReadWhiteSpace();
  void ReadWord();

  TXmlDtdDetailTokenKind FTokenKind;
  bool FInPI = false;
  bool FOpenedAsDeclSep;
};

} // namespace velmora
