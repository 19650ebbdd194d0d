#include "runtime/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velmora {

NarrowString IntToStr(int64_t value) {
  char buffer[24];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return NarrowString(buffer, end);
}

std::optional<int64_t> TryHexToInt64(std::string_view digits) {
  if (digits.empty()) {
    return std::nullopt;
  }
  uint64_t value = 0; // unsigned, so that a sign is refused
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size() ||
      value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    return std::nullopt;
  }
  return static_cast<int64_t>(value);
}

std::optional<int64_t> TryStrToInt64(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text[0] == '-' || text[0] == '+') {
    return std::nullopt;
  }
  // Parse the magnitude unsigned so that the most negative value stays representable.
  const bool hex = text[0] == '$';
  if (hex) {
    text.remove_prefix(1);
  }
  uint64_t magnitude = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, hex ? 16 : 10);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (magnitude > kMax + (negative ? 1 : 0)) {
    return std::nullopt;
  }
  if (negative) {
    return static_cast<int64_t>(0 - magnitude);
  }
  return static_cast<int64_t>(magnitude);
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
  const std::optional<int64_t> value = TryStrToInt64(text);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

NarrowString FloatToStrGeneral(double value, int significantDigits) {
  if (std::isnan(value)) {
    return "NaN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "Infinity" : "-Infinity";
  }
  if (value == 0) {
    return "0";
  }
  significantDigits = significantDigits < 1 ? 1 : (significantDigits > 17 ? 17 : significantDigits);
  // Scientific form d.ddddde±x gives the rounded digits and the exponent in one step.
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, significantDigits - 1);
  const std::string_view text(buffer, static_cast<size_t>(end - buffer));
  const size_t ePos = text.find('e');
  NarrowString digits;
  for (char c : text.substr(0, ePos)) {
    if (c != '.') {
      digits += c;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
  }
  int exponent = 0;
  std::string_view expText = text.substr(ePos + 1);
  if (!expText.empty() && expText[0] == '+') {
    expText.remove_prefix(1);
  }
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
  const int e = exponent + 1; // value = 0.d1d2... x 10^e

  NarrowString result = value < 0 ? "-" : "";
  if (e >= -3 && e <= significantDigits) {
    if (e <= 0) {
      result += "0.";
      result.append(static_cast<size_t>(-e), '0');
      result += digits;
    } else if (static_cast<size_t>(e) >= digits.size()) {
      result += digits;
      result.append(static_cast<size_t>(e) - digits.size(), '0');
    } else {
      result += digits.substr(0, static_cast<size_t>(e));
      result += '.';
      result += digits.substr(static_cast<size_t>(e));
    }
  } else {
    result += digits[0];
    if (digits.size() > 1) {
      result += '.';
      result += digits.substr(1);
    }
    result += 'E';
    result += IntToStr(e - 1);
  }
  return result;
}

std::optional<double> TryStrToFloat(std::string_view text) {
  // One sign at most; from_chars reads a minus itself but no plus.
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Only a digit or the separator may follow: "inf", "nan" and a second sign are no numbers
  // here.
  if (text.empty() || !(text[0] == '.' || (text[0] >= '0' && text[0] <= '9'))) {
    return std::nullopt;
  }
  double value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

} // namespace velmora
