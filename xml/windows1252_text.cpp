#include "xml/windows1252_text.h"

#include "xml/single_byte_codecs.h"

namespace velmora {

namespace {

// One instance serves every call; its encoding table is built before first use, so later
// calls only read it.
const TWindows1252Codec& Codec() {
  static const TWindows1252Codec& codec = []() -> const TWindows1252Codec& {
    static const TWindows1252Codec instance;
    instance.FindByte(0);
    return instance;
  }();
  return codec;
}

} // namespace

int EncodeWindows1252Char(int32_t codePoint) {
  return Codec().FindByte(codePoint);
}

NarrowString EncodeWindows1252(std::string_view text) {
  NarrowString result;
  result.reserve(text.size());
  const TWindows1252Codec& codec = Codec();
  size_t next = 0;
  while (next < text.size()) {
    // ASCII bytes stand for themselves; only the runs between them are decoded. A run also
    // takes the byte right after each byte above 0x7F, which a double-byte ANSI code page
    // may use as a trail byte, so it decodes as it would within the whole text.
    size_t end = next;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) {
      ++end;
    }
    // Windows-1252 keeps the ASCII range as it is.
    result.append(text.data() + next, end - next);
    next = end;
    const auto high = [&](size_t at) { return static_cast<unsigned char>(text[at]) >= 0x80; };
    while (end < text.size() && (high(end) || (end > next && high(end - 1)))) {
      ++end;
    }
    if (next == end) {
      break;
    }
    const WideString wide = NarrowToWide(text.substr(next, end - next));
    for (size_t i = 0; i < wide.size(); ++i) {
      const char16_t unit = wide[i];
      if (IsHighSurrogate(unit) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
        ++i; // one character beyond the code page
      }
      const int encoded = IsSurrogate(unit) ? -1 : codec.FindByte(unit);
      result += encoded < 0 ? '?' : static_cast<char>(encoded);
    }
    next = end;
  }
  return result;
}

NarrowString DecodeWindows1252(std::string_view bytes) {
  WideString result;
  result.reserve(bytes.size());
  for (char c : bytes) {
    AppendUtf16(result, Codec().CodePage().Decode[static_cast<unsigned char>(c)]);
  }
  return WideToNarrow(result);
}

} // namespace velmora
