#include "docservice/html/markup_recognition.h"

#include <array>
#include <unordered_map>
#include <vector>

#include "docservice/html/markup_scan.h"
#include "runtime/strings.h"

namespace velmora {

namespace {

// Tags that the library writes without an end tag, as they are written in HTML.
constexpr std::array<std::string_view, 13> kEmptyElementTags = {
    "<br", "<hr", "<col", "<img", "<area", "<base", "<link", "<meta", "<frame", "<input",
    "<param", "<isindex", "<basefont"};

size_t NameLength(std::string_view text, size_t from) {
  size_t i = from;
  while (i < text.size() && IsMarkupNameChar(text[i])) {
    ++i;
  }
  return i - from;
}

// The recognition's scan: decisions end it; what was seen so far stays in Result.
class TMarkupDetector {
public:
  explicit TMarkupDetector(std::string_view text) : FText(text), FScanner(text) {}

  TMarkupKind Run() {
    FScanner.Scan([this](size_t pos) { return Visit(pos); });
    return FResult;
  }

private:
  bool Visit(size_t pos) {
    if (HasTextAt(FText, pos, "<!--")) {
      return true;
    }
    if (HasNameAt(FText, pos, "<?xml")) {
      FResult = mkXml;
      return true;
    }
    if (HasNameAt(FText, pos, "<!doctype")) {
      return !DoctypeDecides(pos);
    }
    if (HasNameAt(FText, pos, "<html")) {
      const size_t tagEnd = FScanner.NextGreater(pos);
      if (FindTextFrom(FText, pos, tagEnd, "xhtml") != kNoPosition) {
        FResult = mkXhtml;
      } else {
        FResult = FResult == mkXml ? mkXhtml : mkHtml;
      }
      return false;
    }
    if (FResult == mkXml) {
      return true;
    }
    if (HasNameAt(FText, pos, "<xml")) {
      FResult = mkXml;
      return false;
    }
    const TMarkupKind decision = EmptyElementDecision(pos);
    if (decision != mkUnknown) {
      FResult = decision;
      return false;
    }
    return true;
  }

  // "XHTML" in the declaration decides XHTML; "HTML" decides HTML when it occurs twice
  // (a public identifier), not for the bare "<!DOCTYPE html>".
  bool DoctypeDecides(size_t pos) {
    const size_t greater = FScanner.NextGreater(pos);
    const size_t end = greater == kNoPosition ? FText.size() : greater;
    // A walk that met nothing up to this end meets nothing from a later start either.
    if (end == FUndecidedDoctypeEnd) {
      return false;
    }
    bool htmlSeen = false;
    for (size_t i = pos; i < end; ++i) {
      if (HasTextAt(FText, i, "xhtml")) {
        FResult = mkXhtml;
        return true;
      }
      if (HasTextAt(FText, i, "html")) {
        if (htmlSeen) {
          FResult = mkHtml;
          return true;
        }
        htmlSeen = true;
        i += 3;
      }
    }
    FUndecidedDoctypeEnd = end;
    return false;
  }

  // br written as <br> suggests HTML, as <br/> or <br /> XHTML; an attribute value right
  // before "/>" leaves it open.
  TMarkupKind EmptyElementDecision(size_t pos) {
    if (pos + 1 >= FText.size()) {
      return mkUnknown;
    }
    switch (AsciiLower(FText[pos + 1])) {
    case 'a': case 'b': case 'c': case 'f': case 'h': case 'i': case 'l': case 'm': case 'p':
      break;
    default:
      return mkUnknown;
    }
    const size_t k = NameLength(FText, pos + 1);
    if (k >= 9) {
      return mkUnknown;
    }
    const std::string_view tag = FText.substr(pos, k + 1);
    bool known = false;
    for (std::string_view candidate : kEmptyElementTags) {
      known = known || (candidate.size() == tag.size() && HasTextAt(tag, 0, candidate));
    }
    const size_t greater = FScanner.NextGreater(pos);
    if (!known || greater == kNoPosition) {
      return mkUnknown;
    }
    if (greater == 0 || FText[greater - 1] != '/') {
      return mkHtml;
    }
    const size_t slash = greater - 1;
    if (slash > 0 && FText[slash - 1] >= 1 && FText[slash - 1] <= 32) {
      return mkXhtml;
    }
    const size_t nameEnd = pos + 1 + k;
    const size_t equals = LastEqualsBetween(nameEnd, slash);
    return equals == kNoPosition ? mkXhtml : mkUnknown;
  }

  // The last "=" in [from, slash), or kNoPosition. Kept per "/": many tags before one "/>"
  // look once (a later tag starts after an earlier one, and a miss ends the scan).
  size_t LastEqualsBetween(size_t from, size_t slash) {
    if (slash == FEqualsSlash) {
      return FLastEquals >= from ? FLastEquals : kNoPosition;
    }
    for (size_t i = slash; i > from; --i) {
      if (FText[i - 1] == '=') {
        FEqualsSlash = slash;
        FLastEquals = i - 1;
        return FLastEquals;
      }
    }
    return kNoPosition;
  }

  std::string_view FText;
  TMarkupScanner FScanner;
  TMarkupKind FResult = mkUnknown;
  size_t FUndecidedDoctypeEnd = kNoPosition;
  size_t FEqualsSlash = kNoPosition;
  size_t FLastEquals = 0;
};

// Elements whose start tags do not open a level: empty ones, and those the library closes
// by themselves when the next one starts.
bool OpensNoLevel(std::string_view name) {
  static constexpr std::array<std::string_view, 35> kNames = {
      "area", "base", "basefont", "br", "col", "frame", "hr", "img", "input", "isindex",
      "link", "meta", "param", "wbr", "source", "track", "embed", "keygen", "body",
      "colgroup", "dd", "dt", "head", "html", "li", "option", "p", "tbody", "td", "tfoot",
      "th", "thead", "tr", "!doctype", "?xml"};
  for (std::string_view known : kNames) {
    if (known.size() == name.size() && HasTextAt(name, 0, known)) {
      return true;
    }
  }
  return false;
}

} // namespace

TByteOrderMark ByteOrderMarkOf(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
    return bomUtf8;
  }
  if (text.size() >= 2 && (text.substr(0, 2) == "\xFE\xFF" || text.substr(0, 2) == "\xFF\xFE")) {
    return bomUtf16;
  }
  return bomNone;
}

std::string_view MarkupKindName(TMarkupKind kind) {
  switch (kind) {
  case mkXml:
    return "XML";
  case mkXhtml:
    return "XHTML";
  case mkHtml:
    return "HTML";
  case mkUnknown:
    break;
  }
  return {};
}

TMarkupKind RecognizeMarkup(std::string_view text) {
  return TMarkupDetector(text).Run();
}

size_t NestingDepth(std::string_view text, size_t limit) {
  TMarkupScanner scanner(text);
  // The open elements; an end tag closes its element and every one opened inside it, as
  // the library does, and an end tag without an open element is passed over.
  std::vector<NarrowString> open;
  std::unordered_map<NarrowString, size_t> openCount;
  size_t deepest = 0;
  for (size_t pos = text.find('<'); pos != kNoPosition && deepest <= limit;) {
    const size_t next = scanner.SkipAt(pos);
    const bool endTag = pos + 2 < text.size() && text[pos + 1] == '/' && IsAsciiLetter(text[pos + 2]);
    const size_t nameStart = pos + (endTag ? 2 : 1);
    if (endTag || (nameStart < text.size() && IsAsciiLetter(text[nameStart]))) {
      NarrowString name(text.substr(nameStart, NameLength(text, nameStart)));
      for (char& c : name) {
        c = AsciiLower(c);
      }
      if (endTag) {
        const auto found = openCount.find(name);
        while (found != openCount.end() && found->second > 0) {
          const NarrowString closed = std::move(open.back());
          open.pop_back();
          --openCount[closed];
          if (closed == name) {
            break;
          }
        }
      } else {
        const bool selfClosed = next >= 2 && text[next - 1] == '>' && text[next - 2] == '/';
        if (!selfClosed && !OpensNoLevel(name) && !IsScriptStart(text, pos)) {
          ++openCount[name];
          open.push_back(std::move(name));
          deepest = std::max(deepest, open.size());
        }
      }
    }
    pos = text.find('<', next);
  }
  return deepest;
}

} // namespace velmora
