// The URI rules. The input is a base and a reference on two lines. The wide and the 8-bit
// rules agree; a reference that the analyzer splits composes to a text that splits into
// the same parts; a resolution that succeeds gives a reference with a scheme, the same in
// both string kinds; and an absolute Linux file name survives the way to a file URI and back.

#include "dom/uri_rules.h"
#include "runtime/exceptions.h"
#include "tests/fuzz/fuzz_support.h"

namespace velmora::fuzz {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
  }
  return true;
}

template <class TAnalyzer> bool SameParts(const TAnalyzer& a, const TAnalyzer& b) {
  return a.Scheme == b.Scheme && a.Authority == b.Authority && a.Path == b.Path &&
         a.Query == b.Query && a.Fragment == b.Fragment && a.HasScheme == b.HasScheme &&
         a.HasAuthority == b.HasAuthority && a.HasQuery == b.HasQuery &&
         a.HasFragment == b.HasFragment;
}

template <class TAnalyzer, class TText> void CheckComposition(const TText& reference) {
  TAnalyzer parts;
  if (!parts.parse(reference)) {
    return;
  }
  const auto composed = parts.compose();
  TAnalyzer again;
  if (!again.parse(composed) || !SameParts(parts, again)) {
    Broken("a split reference composes to one with the same parts");
  }
}

void CheckPredicates(std::string_view text) {
  const WideString wide = NarrowToWide(text);
  if (isUriReference(text) != isUriReference(wide) || isAbsoluteUri(text) != isAbsoluteUri(wide) ||
      isRelativeUri(text) != isRelativeUri(wide) || isUriHost(text) != isUriHost(wide)) {
    Broken("the wide and the 8-bit rules agree", text);
  }
}

void CheckResolution(std::string_view base, std::string_view reference) {
  NarrowString narrow;
  const bool resolved = resolveUri(base, reference, narrow);
  WideString wide;
  if (resolveUri(NarrowToWide(base), NarrowToWide(reference), wide) != resolved ||
      WideToNarrow(wide) != narrow) {
    Broken("wide and 8-bit resolution agree");
  }
  // The analyzer is what resolution accepts a base by ("s:" with an empty path included).
  TUriStrAnalyzer parts;
  if (resolved && (!parts.parse(narrow) || !parts.HasScheme)) {
    Broken("a resolved reference splits and has a scheme", narrow);
  }
}

void CheckFileNames(std::string_view text) {
  // A backslash is a Windows separator to fileNameToUri, and "/c:" a drive: only names
  // without either come back as they were.
  if (text.empty() || text.front() != '/' ||
      text.find_first_of(std::string_view("\0\\", 2)) != std::string_view::npos ||
      (text.size() >= 3 && text[2] == ':')) {
    return;
  }
  const NarrowString uri = fileNameToUri(text);
  NarrowString fileName, authority, query, fragment;
  if (!uriToFileName(uri, fileName, authority, query, fragment) || fileName != text ||
      !query.empty() || !fragment.empty()) {
    Broken("a file name comes back from its URI", uri);
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  const std::string_view input = AsText(data, size);
  const size_t lineEnd = std::min(input.find('\n'), input.size());
  const std::string_view base = input.substr(0, lineEnd);
  const std::string_view reference = input.substr(std::min(lineEnd + 1, size));
  try {
    if (IsAscii(input)) {
      CheckPredicates(base);
      CheckPredicates(reference);
      CheckResolution(base, reference);
    }
    CheckComposition<TUriStrAnalyzer>(reference);
    CheckComposition<TUriWideAnalyzer>(NarrowToWide(reference));
    CheckFileNames(reference);
  } catch (const Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  return 0;
}
