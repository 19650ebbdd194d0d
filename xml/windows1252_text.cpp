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
  const WideString wide = NarrowToWide(text);
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t unit = wide[i];
    if (IsHighSurrogate(unit) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
      ++i; // one character beyond the code page
    }
    const int encoded = IsSurrogate(unit) ? -1 : EncodeWindows1252Char(unit);
    result += encoded < 0 ? '?' : static_cast<char>(encoded);
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
