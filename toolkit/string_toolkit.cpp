#include "toolkit/string_toolkit.h"

#include "platform/version_record.h"
#include "runtime/format.h"

namespace velmora {

namespace {

void ResetToIdentity(TCaseTables& tables) {
  for (int i = 0; i < 256; ++i) {
    tables.Flip[i] = tables.Upper[i] = tables.Lower[i] = static_cast<unsigned char>(i);
  }
}

void PairLetters(TCaseTables& tables, std::string_view lower, std::string_view upper) {
  for (size_t i = 0; i < lower.size(); ++i) {
    const auto l = static_cast<unsigned char>(lower[i]);
    const auto u = static_cast<unsigned char>(upper[i]);
    tables.Flip[l] = u;
    tables.Upper[l] = u;
    tables.Flip[u] = l;
    tables.Lower[u] = l;
  }
}

// The alphabets in force at start-up, as Windows-1252 bytes: "aäbcdefghijklmnoöpqrsßtuüvwxyz"
// and "AÄBCDEFGHIJKLMNOÖPQRSßTUÜVWXYZ" (\xE4 ä, \xC4 Ä, \xF6 ö, \xD6 Ö, \xDF ß, \xFC ü,
// \xDC Ü).
const NarrowString& DefaultLowerAlphabet() {
  static const NarrowString alphabet = "a\xE4"
                                       "bcdefghijklmno\xF6"
                                       "pqrs\xDF"
                                       "tu\xFC"
                                       "vwxyz";
  return alphabet;
}

const NarrowString& DefaultUpperAlphabet() {
  static const NarrowString alphabet = "A\xC4"
                                       "BCDEFGHIJKLMNO\xD6"
                                       "PQRS\xDF"
                                       "TU\xDC"
                                       "VWXYZ";
  return alphabet;
}

TCaseTables& MutableCaseTables() {
  // Built on first use, so before anything reads them.
  static TCaseTables tables = [] {
    TCaseTables built;
    ResetToIdentity(built);
    PairLetters(built, DefaultLowerAlphabet(), DefaultUpperAlphabet());
    return built;
  }();
  return tables;
}

bool MatchesAt(std::string_view text, size_t pos, std::string_view search,
               const unsigned char* flip) {
  for (size_t i = 0; i < search.size(); ++i) {
    const auto s = static_cast<unsigned char>(search[i]);
    const auto t = static_cast<unsigned char>(text[pos + i]);
    if (s != '?' && s != t && flip[s] != t) {
      return false;
    }
  }
  return true;
}

std::vector<size_t> FindOccurrences(std::string_view text, std::string_view search,
                                    bool ignoreCase) {
  std::vector<size_t> positions;
  if (!ignoreCase) {
    for (size_t pos = text.find(search); pos != std::string_view::npos;
         pos = text.find(search, pos + search.size())) {
      positions.push_back(pos);
    }
    return positions;
  }
  const unsigned char* flip = CaseTables().Flip;
  size_t pos = 0;
  while (search.size() <= text.size() && pos <= text.size() - search.size()) {
    if (MatchesAt(text, pos, search, flip)) {
      positions.push_back(pos);
      pos += search.size();
    } else {
      ++pos;
    }
  }
  return positions;
}

} // namespace

const TCaseTables& CaseTables() {
  return MutableCaseTables();
}

void SetCaseAlphabets(std::string_view lower, std::string_view upper) {
  if (lower.empty() || upper.empty() || lower.size() != upper.size()) {
    return;
  }
  TCaseTables& tables = MutableCaseTables();
  ResetToIdentity(tables);
  PairLetters(tables, lower, upper);
}

void SetDefaultCaseAlphabets() {
  SetCaseAlphabets(DefaultLowerAlphabet(), DefaultUpperAlphabet());
}

int ReplaceAll(NarrowString& text, std::string_view search, std::string_view replacement,
               bool ignoreCase) {
  if (search.empty()) {
    return 0;
  }
  const std::vector<size_t> positions = FindOccurrences(text, search, ignoreCase);
  if (positions.empty()) {
    return 0;
  }
  NarrowString result;
  result.reserve(text.size() - positions.size() * search.size() +
                 positions.size() * replacement.size());
  size_t copied = 0;
  for (size_t pos : positions) {
    result.append(text, copied, pos - copied);
    result += replacement;
    copied = pos + search.size();
  }
  result.append(text, copied, NarrowString::npos);
  text = std::move(result);
  return static_cast<int>(positions.size());
}

TVariant ChooseValue(bool condition, const TVariant& whenTrue, const TVariant& whenFalse) {
  return condition ? whenTrue : whenFalse;
}

std::vector<NarrowString> SplitText(char delimiter, std::string_view text) {
  std::vector<NarrowString> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(delimiter, start);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

NarrowString JoinText(std::string_view separator, const std::vector<NarrowString>& parts) {
  if (parts.empty()) {
    return NarrowString();
  }
  size_t length = separator.size() * (parts.size() - 1);
  for (const NarrowString& part : parts) {
    length += part.size();
  }
  // One allocation of the exact size; running out of memory propagates as std::bad_alloc.
  NarrowString result;
  result.reserve(length);
  result += parts.front();
  for (size_t i = 1; i < parts.size(); ++i) {
    result += separator;
    result += parts[i];
  }
  return result;
}

NarrowString FileVersionText(const NarrowString& fileName) {
  const std::optional<TFixedFileVersion> version = ReadFileVersionRecord(fileName);
  if (!version) {
    return NarrowString();
  }
  return Format("%d.%d.%d.%d", {version->FileVersionMS >> 16, version->FileVersionMS & 0xFFFF,
                                version->FileVersionLS >> 16, version->FileVersionLS & 0xFFFF});
}

} // namespace velmora
