#include "xpath/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "dom/xml_rules.h"
#include "runtime/numbers.h"

namespace velmora {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

} // namespace

WideString XPathNumberToString(double value) {
  const NarrowString text = FloatToStrGeneral(value, 15);
  return WideString(text.begin(), text.end());
}

double XPathStringToNumber(std::u16string_view text) {
  while (!text.empty() && isWhiteSpaceChar(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isWhiteSpaceChar(text.back())) {
    text.remove_suffix(1);
  }
  const bool negative = !text.empty() && text.front() == u'-';
  if (negative) {
    text.remove_prefix(1);
  }
  if (text.empty() || text.back() == u'.') {
    return kNaN;
  }
  size_t digits = 0;
  size_t points = 0;
  bool integerPartNonZero = false;
  for (char16_t c : text) {
    if (IsDigit(c)) {
      ++digits;
      integerPartNonZero = integerPartNonZero || (points == 0 && c != u'0');
    } else if (c == u'.') {
      ++points;
    } else {
      return kNaN;
    }
  }
  if (digits == 0 || points > 1) {
    return kNaN;
  }
  // The text is ASCII now; from_chars rounds correctly however many digits it has.
  char small[64];
  NarrowString large;
  char* narrow = small;
  if (text.size() > sizeof small) {
    large.resize(text.size());
    narrow = large.data();
  }
  std::copy(text.begin(), text.end(), narrow);
  double value = 0;
  const char* last = narrow + text.size();
  const auto [end, error] = std::from_chars(narrow, last, value, std::chars_format::fixed);
  if (error == std::errc::result_out_of_range) {
    // Too large is no number; too small to tell from zero is zero.
    value = integerPartNonZero ? kNaN : 0.0;
  } else if (error != std::errc() || end != last) {
    return kNaN;
  }
  return negative ? -value : value;
}

} // namespace velmora
