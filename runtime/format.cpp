#include "runtime/format.h"

#include <charconv>

#include "runtime/exceptions.h"

namespace velmora {

namespace {

struct TPlaceholder {
  bool LeftJustify = false;
  int Width = 0;
  int Precision = -1;
  char Conversion = 0;
};

[[noreturn]] void RaiseInvalidFormat(std::string_view pattern) {
  throw EConvertError("Format '" + NarrowString(pattern) +
                      "' invalid or incompatible with argument");
}

int ReadNumber(std::string_view pattern, size_t& pos) {
  int value = 0;
  while (pos < pattern.size() && pattern[pos] >= '0' && pattern[pos] <= '9') {
    value = value * 10 + (pattern[pos] - '0');
    if (value > 4096) {
      RaiseInvalidFormat(pattern);
    }
    ++pos;
  }
  return value;
}

// Reads the placeholder after a '%' at pattern[pos]; pos ends after its conversion letter.
TPlaceholder ReadPlaceholder(std::string_view pattern, size_t& pos) {
  TPlaceholder placeholder;
  if (pos < pattern.size() && pattern[pos] == '-') {
    placeholder.LeftJustify = true;
    ++pos;
  }
  placeholder.Width = ReadNumber(pattern, pos);
  if (pos < pattern.size() && pattern[pos] == '.') {
    ++pos;
    placeholder.Precision = ReadNumber(pattern, pos);
  }
  if (pos >= pattern.size()) {
    RaiseInvalidFormat(pattern);
  }
  placeholder.Conversion = pattern[pos++];
  return placeholder;
}

NarrowString FormatInteger(const TPlaceholder& placeholder, int64_t value) {
  const bool negative = value < 0 && placeholder.Conversion != 'x' && placeholder.Conversion != 'X';
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char buffer[32];
  const int base = (placeholder.Conversion == 'x' || placeholder.Conversion == 'X') ? 16 : 10;
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, base);
  NarrowString digits(buffer, end);
  if (base == 16) {
    for (char& c : digits) {
      if (c >= 'a' && c <= 'f') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
  }
  if (placeholder.Precision > static_cast<int>(digits.size())) {
    digits.insert(0, static_cast<size_t>(placeholder.Precision) - digits.size(), '0');
  }
  return negative ? "-" + digits : digits;
}

void AppendPadded(NarrowString& out, const TPlaceholder& placeholder, std::string_view text) {
  const size_t padding = placeholder.Width > static_cast<int>(text.size())
                             ? static_cast<size_t>(placeholder.Width) - text.size()
                             : 0;
  if (!placeholder.LeftJustify) {
    out.append(padding, ' ');
  }
  out += text;
  if (placeholder.LeftJustify) {
    out.append(padding, ' ');
  }
}

} // namespace

NarrowString Format(std::string_view pattern, std::initializer_list<TFormatArg> args) {
  NarrowString result;
  result.reserve(pattern.size() + 16 * args.size());
  auto nextArg = args.begin();
  size_t pos = 0;
  while (pos < pattern.size()) {
    const size_t percent = pattern.find('%', pos);
    if (percent == std::string_view::npos) {
      result += pattern.substr(pos);
      break;
    }
    result += pattern.substr(pos, percent - pos);
    pos = percent + 1;
    if (pos < pattern.size() && pattern[pos] == '%') {
      result += '%';
      ++pos;
      continue;
    }
    const TPlaceholder placeholder = ReadPlaceholder(pattern, pos);
    if (nextArg == args.end()) {
      RaiseInvalidFormat(pattern);
    }
    const TFormatArg& arg = *nextArg++;
    switch (placeholder.Conversion) {
    case 'd':
    case 'u':
    case 'x':
    case 'X':
      if (arg.Kind() != TFormatArg::fkInteger) {
        RaiseInvalidFormat(pattern);
      }
      AppendPadded(result, placeholder, FormatInteger(placeholder, arg.Integer()));
      break;
    case 's':
    case 'S': {
      NarrowString converted;
      std::string_view text;
      if (arg.Kind() == TFormatArg::fkNarrow) {
        text = arg.Narrow();
      } else if (arg.Kind() == TFormatArg::fkWide) {
        converted = WideToNarrow(arg.Wide());
        text = converted;
      } else {
        RaiseInvalidFormat(pattern);
      }
      if (placeholder.Precision >= 0 && static_cast<size_t>(placeholder.Precision) < text.size()) {
        text = text.substr(0, static_cast<size_t>(placeholder.Precision));
      }
      AppendPadded(result, placeholder, text);
      break;
    }
    default:
      RaiseInvalidFormat(pattern);
    }
  }
  return result;
}

} // namespace velmora
