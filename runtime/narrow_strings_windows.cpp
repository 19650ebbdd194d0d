#include "runtime/strings.h"

#include <windows.h>

#include <limits>

// Narrow strings on Windows are in the ANSI code page, as the system's narrow functions
// take them.

namespace velmora {

namespace {

// The conversion functions count in int; longer texts go in pieces.
constexpr size_t kMaxPiece = std::numeric_limits<int>::max() / 4;

// text with every character beyond the Basic Multilingual Plane, and every unpaired
// surrogate, as one "?": the code page has none of them, and a character is one "?".
WideString WithoutSurrogates(std::u16string_view text) {
  WideString result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsSurrogate(text[i])) {
      result += text[i];
      continue;
    }
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
    }
    result += u'?';
  }
  return result;
}

} // namespace

WideString NarrowToWide(std::string_view text) {
  WideString result;
  while (!text.empty()) {
    const int length = static_cast<int>(std::min(text.size(), kMaxPiece));
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    const size_t start = result.size();
    result.resize(start + static_cast<size_t>(units));
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                          reinterpret_cast<wchar_t*>(result.data() + start), units);
    text.remove_prefix(static_cast<size_t>(length));
  }
  return result;
}

NarrowString WideToNarrow(std::u16string_view original) {
  WideString replaced;
  std::u16string_view text = original;
  for (const char16_t unit : original) {
    if (IsSurrogate(unit)) {
      replaced = WithoutSurrogates(original);
      text = replaced;
      break;
    }
  }
  NarrowString result;
  while (!text.empty()) {
    const size_t piece = std::min(text.size(), kMaxPiece);
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(piece);
    // No "best fit": a character the code page lacks becomes "?", never a look-alike.
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, length, nullptr, 0,
                                            "?", nullptr);
    const size_t start = result.size();
    result.resize(start + static_cast<size_t>(bytes));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, length, result.data() + start, bytes,
                          "?", nullptr);
    text.remove_prefix(piece);
  }
  return result;
}

} // namespace velmora
