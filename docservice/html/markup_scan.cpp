#include "docservice/html/markup_scan.h"

#include <algorithm>

#include "runtime/strings.h"

namespace velmora {

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsMarkupNameChar(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

bool HasTextAt(std::string_view text, size_t pos, std::string_view word) {
  if (pos > text.size() || text.size() - pos < word.size()) {
    return false;
  }
  for (size_t i = 0; i < word.size(); ++i) {
    if (AsciiLower(text[pos + i]) != AsciiLower(word[i])) {
      return false;
    }
  }
  return true;
}

bool HasNameAt(std::string_view text, size_t pos, std::string_view word) {
  if (!HasTextAt(text, pos, word)) {
    return false;
  }
  const size_t after = pos + word.size();
  return after >= text.size() || !IsMarkupNameChar(text[after]);
}

bool IsScriptStart(std::string_view text, size_t pos) {
  return HasNameAt(text, pos, "<script");
}

size_t FindTextFrom(std::string_view text, size_t from, size_t to, std::string_view word) {
  to = std::min(to, text.size());
  if (word.empty() || from >= to) {
    return kNoPosition;
  }
  const char first = AsciiLower(word[0]);
  for (size_t i = from; i + word.size() <= to; ++i) {
    if (AsciiLower(text[i]) == first && HasTextAt(text, i, word)) {
      return i;
    }
  }
  return kNoPosition;
}

size_t TForwardFinder::Next(size_t from) {
  const bool cached = FFrom != kNoPosition && FFrom <= from &&
                      (FFound == kNoPosition || FFound >= from);
  if (!cached) {
    FFrom = from;
    FFound = FText.find(FPattern, from);
  }
  return FFound;
}

bool TMarkupScanner::IsTagStart(size_t pos) const {
  if (pos + 1 >= FText.size() || FText[pos] != '<') {
    return false;
  }
  const char next = FText[pos + 1];
  return next == '!' || next == '/' || IsAsciiLetter(next);
}

size_t TMarkupScanner::SkipAt(size_t pos) {
  if (HasTextAt(FText, pos, "<!--")) {
    const size_t close = FText.find("-->", pos + 4);
    return close == kNoPosition ? FText.size() : close + 3;
  }
  if (IsScriptStart(FText, pos)) {
    return std::max(ScriptEnd(pos), pos + 1);
  }
  if (IsTagStart(pos)) {
    return SkipTag(pos);
  }
  return pos + 1;
}

size_t TMarkupScanner::SkipTag(size_t pos) {
  size_t i = pos + 1;
  while (i < FText.size()) {
    const char c = FText[i];
    if (c == '>') {
      return i + 1;
    }
    if (c == '"' || c == '\'') {
      i = SkipQuotedValue(i);
    } else if (c == '<' && IsTagStart(i)) {
      return i;
    } else {
      ++i;
    }
  }
  return FText.size();
}

// A quote is taken for a stray character, not the start of a value, when the value it
// would open swallows markup: a ">", a "<" and a blank come before the closing quote, and
// an end tag follows the first ">". The scan then goes on at the first of those.
size_t TMarkupScanner::SkipQuotedValue(size_t pos) {
  const char quote = FText[pos];
  const size_t close = FText.find(quote, pos + 1);
  const size_t limit = close == kNoPosition ? FText.size() : close;
  const size_t normalEnd = close == kNoPosition ? FText.size() : close + 1;

  const size_t greater = FGreater.Next(pos + 1);
  if (greater != kNoPosition && greater >= limit) {
    return normalEnd;
  }
  const std::string_view value = FText.substr(pos + 1, limit - pos - 1);
  const size_t less = value.find('<');
  const size_t blank = value.find(' ');
  if (less == kNoPosition || blank == kNoPosition) {
    return normalEnd;
  }
  const size_t endTag = FEndTagStart.Next(pos + 1);
  if (endTag == kNoPosition || (greater != kNoPosition && greater > endTag)) {
    return normalEnd;
  }
  size_t stop = std::min(pos + 1 + less, pos + 1 + blank);
  if (greater != kNoPosition) {
    stop = std::min(stop, greater);
  }
  if (endTag < limit) {
    stop = std::min(stop, endTag);
  }
  return stop;
}

size_t TMarkupScanner::SkipScriptString(size_t pos, bool backslashEscapes) const {
  const char quote = FText[pos];
  size_t i = pos + 1;
  while (i < FText.size()) {
    const char c = FText[i];
    if (c == quote) {
      return i + 1;
    }
    if (backslashEscapes && c == '\\' && i + 1 < FText.size() &&
        (FText[i + 1] == quote || FText[i + 1] == '\\')) {
      i += 2;
    } else {
      ++i;
    }
  }
  return FText.size();
}

size_t TMarkupScanner::LineCommentEnd(size_t pos, bool& endsScript) const {
  const size_t lineEnd = FText.find_first_of("\n\r", pos);
  const size_t to = lineEnd == kNoPosition ? FText.size() : lineEnd;
  for (size_t at = FindTextFrom(FText, pos, to, "</script"); at != kNoPosition;
       at = FindTextFrom(FText, at + 1, to, "</script")) {
    if (HasNameAt(FText, at, "</script")) {
      endsScript = true;
      return at;
    }
  }
  endsScript = false;
  return to;
}

size_t TMarkupScanner::ScriptEnd(size_t pos) {
  const size_t tagEnd = SkipTag(pos);
  const bool vbScript = FindTextFrom(FText, pos, tagEnd, "vbscript") != kNoPosition;
  const size_t size = FText.size();
  size_t i = tagEnd;
  auto skipBlanks = [&] {
    while (i < size && static_cast<unsigned char>(FText[i]) <= 32) {
      ++i;
    }
  };
  skipBlanks();
  if (HasTextAt(FText, i, "<!--")) {
    const size_t close = FText.find("-->", i + 4);
    i = close == kNoPosition ? size : close + 3;
    skipBlanks();
  }
  if (i < size && FText[i] == '<') {
    return i;
  }
  while (i < size) {
    const char c = FText[i];
    bool endsScript = false;
    if (c == '"') {
      i = SkipScriptString(i, !vbScript);
    } else if (c == '\'') {
      if (vbScript) {
        i = LineCommentEnd(i, endsScript);
        if (endsScript) {
          return i;
        }
      } else {
        i = SkipScriptString(i, false);
      }
    } else if (c == '/' && i + 1 < size && FText[i + 1] == '*') {
      const size_t close = FCommentClose.Next(i + 2);
      i = close == kNoPosition ? i + 2 : close + 2;
    } else if (c == '/' && i + 1 < size && FText[i + 1] == '/') {
      i = LineCommentEnd(i, endsScript);
      if (endsScript) {
        return i;
      }
    } else if (c == '<' && HasTextAt(FText, i, "</script")) {
      return i;
    } else {
      ++i;
    }
  }
  return size;
}

} // namespace velmora
