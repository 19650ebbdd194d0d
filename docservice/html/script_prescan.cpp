#include "docservice/html/script_prescan.h"

#include "docservice/html/markup_scan.h"

namespace velmora {

namespace {

// Appends the rewritten form of script (the whole text is needed to look past its end).
void AppendProtectedScript(std::string_view text, size_t from, size_t to, NarrowString& out) {
  size_t i = from;
  while (i < to) {
    if (text[i] == '<' && i + 1 < to && text[i + 1] == '/') {
      out += HasNameAt(text, i, "</script") ? "<\\\\" : "<\\";
      i += 1;
    } else if (HasTextAt(text, i, "<\\/script")) {
      out += "<\\\\";
      i += 2;
    } else {
      out += text[i];
      i += 1;
    }
  }
}

} // namespace

std::optional<NarrowString> ProtectScripts(std::string_view text) {
  TMarkupScanner scanner(text);
  std::optional<NarrowString> result;
  size_t copied = 0;
  NarrowString script;
  // A rewritten script keeps its end, so the scan goes on after it where a fresh scan of
  // the new text would resume as well.
  scanner.Scan([&](size_t pos) {
    if (!IsScriptStart(text, pos)) {
      return true;
    }
    const size_t end = scanner.ScriptEnd(pos);
    script.clear();
    AppendProtectedScript(text, pos, end, script);
    if (script.size() != end - pos) {
      if (!result) {
        result.emplace();
        result->reserve(text.size() + text.size() / 16);
      }
      result->append(text.substr(copied, pos - copied));
      result->append(script);
      copied = end;
    }
    return true;
  });
  if (result) {
    result->append(text.substr(copied));
  }
  return result;
}

} // namespace velmora
