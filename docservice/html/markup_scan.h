#pragma once
// Looking at HTML text before the library parses it: tags, comments and scripts are passed
// over as a browser would, without building anything. Every walk is linear in the text:
// searches that run ahead of the scan are cached for the positions that follow.

#include <cstddef>
#include <string_view>

namespace velmora {

constexpr size_t kNoPosition = std::string_view::npos;

// Letters, digits and "_" (ASCII only: the scan must not depend on the process locale).
bool IsMarkupNameChar(char c);
bool IsAsciiLetter(char c);
// True when text holds word at pos, ignoring the case of ASCII letters.
bool HasTextAt(std::string_view text, size_t pos, std::string_view word);
// True when word is at pos and no name character follows it (the end of the text counts).
bool HasNameAt(std::string_view text, size_t pos, std::string_view word);
// True for "<SCRIPT" at pos followed by a character that ends a name.
bool IsScriptStart(std::string_view text, size_t pos);
// The first position of word at or after from, ignoring case; kNoPosition when none.
size_t FindTextFrom(std::string_view text, size_t from, size_t to, std::string_view word);

// The next occurrence of a pattern at or after a position. Asking for positions that only
// grow costs linear time in all.
class TForwardFinder {
public:
  TForwardFinder(std::string_view text, std::string_view pattern)
      : FText(text), FPattern(pattern) {}
  size_t Next(size_t from);

private:
  std::string_view FText;
  std::string_view FPattern;
  size_t FFrom = kNoPosition;
  size_t FFound = kNoPosition;
};

class TMarkupScanner {
public:
  explicit TMarkupScanner(std::string_view text)
      : FText(text), FGreater(text, ">"), FEndTagStart(text, "</"), FCommentClose(text, "*/") {}

  std::string_view Text() const { return FText; }

  // Calls visit(pos) for every "<" that is not inside a comment, a script or a tag, in
  // order, until visit returns false.
  template <class TVisit> void Scan(TVisit&& visit) {
    for (size_t pos = FText.find('<'); pos != kNoPosition; pos = FText.find('<', SkipAt(pos))) {
      if (!visit(pos)) {
        return;
      }
    }
  }

  // The position after what starts with the "<" at pos: a comment, a script, a tag, or
  // just that character.
  size_t SkipAt(size_t pos);
  // From the "<" of a tag to after its ">", or to the start of the next tag.
  size_t SkipTag(size_t pos);
  // From the opening quote of a value to where the scan goes on.
  size_t SkipQuotedValue(size_t pos);
  // From the "<" of "<SCRIPT" to the position where the script's code ends.
  size_t ScriptEnd(size_t pos);
  // The first ">" at or after from.
  size_t NextGreater(size_t from) { return FGreater.Next(from); }

private:
  bool IsTagStart(size_t pos) const;
  size_t SkipScriptString(size_t pos, bool backslashEscapes) const;
  // The end of a line comment: its line break, or the "</SCRIPT" that ends the script on it.
  size_t LineCommentEnd(size_t pos, bool& endsScript) const;

  std::string_view FText;
  TForwardFinder FGreater;
  TForwardFinder FEndTagStart;
  TForwardFinder FCommentClose;
};

} // namespace velmora
