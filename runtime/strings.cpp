#include "runtime/strings.h"

namespace velmora {

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

bool IsScalarValue(int32_t codePoint) {
  return codePoint >= 0 && codePoint <= kMaxCodePoint && !IsSurrogate(codePoint);
}

} // namespace

int32_t DecodeUtf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) {
    return lead;
  }
  int needed;
  int32_t codePoint;
  // The range of the second byte excludes overlong forms, surrogates and values above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    needed = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    needed = 2;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) {
      low = 0xA0;
    } else if (lead == 0xED) {
      high = 0x9F;
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    needed = 3;
    codePoint = lead & 0x07;
    if (lead == 0xF0) {
      low = 0x90;
    } else if (lead == 0xF4) {
      high = 0x8F;
    }
  } else {
    return kReplacementCharacter;
  }
  for (int i = 0; i < needed; ++i) {
    if (pos >= text.size()) {
      return kReplacementCharacter;
    }
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (i == 0 ? (byte < low || byte > high) : !IsContinuation(byte)) {
      return kReplacementCharacter;
    }
    codePoint = (codePoint << 6) | (byte & 0x3F);
    ++pos;
  }
  return codePoint;
}

void AppendUtf8Unchecked(NarrowString& out, uint32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

void AppendUtf8(NarrowString& out, int32_t codePoint) {
  AppendUtf8Unchecked(
      out, static_cast<uint32_t>(IsScalarValue(codePoint) ? codePoint : kReplacementCharacter));
}

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

void AppendUtf16(WideString& out, int32_t codePoint) {
  if (!IsScalarValue(codePoint)) {
    codePoint = kReplacementCharacter;
  }
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
  } else {
    const int32_t offset = codePoint - 0x10000;
    out += static_cast<char16_t>(0xD800 + (offset >> 10));
    out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
  }
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) {
    text.remove_prefix(1);
  }
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) {
    text.remove_suffix(1);
  }
  return text;
}

WideString Utf8ToWide(std::string_view text) {
  WideString result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      result += static_cast<char16_t>(byte);
      ++pos;
    } else {
      AppendUtf16(result, DecodeUtf8(text, pos));
    }
  }
  return result;
}

NarrowString WideToUtf8(std::u16string_view text) {
  NarrowString result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // Runs of ASCII, most of any text here, are copied without the encoder.
    size_t asciiEnd = i;
    while (asciiEnd < text.size() && text[asciiEnd] < 0x80) {
      ++asciiEnd;
    }
    if (asciiEnd != i) {
      const size_t start = result.size();
      result.resize(start + (asciiEnd - i));
      for (size_t k = i; k < asciiEnd; ++k) {
        result[start + (k - i)] = static_cast<char>(text[k]);
      }
      i = asciiEnd;
      if (i == text.size()) {
        break;
      }
    }
    const char16_t unit = text[i];
    int32_t codePoint = unit;
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      codePoint = CombineSurrogates(unit, text[i + 1]);
      ++i;
    }
    AppendUtf8(result, codePoint); // a lone surrogate becomes U+FFFD there
  }
  return result;
}

} // namespace velmora
