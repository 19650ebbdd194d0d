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

NarrowString EncodeWindows1252(std::string_view utf8) {
  NarrowString result;
  result.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {
      result += static_cast<char>(byte);
      ++pos;
      continue;
    }
    const int encoded = EncodeWindows1252Char(DecodeUtf8(utf8, pos));
    result += encoded < 0 ? '?' : static_cast<char>(encoded);
  }
  return result;
}

NarrowString DecodeWindows1252(std::string_view bytes) {
  NarrowString result;
  result.reserve(bytes.size());
  for (char c : bytes) {
    AppendUtf8(result, Codec().CodePage().Decode[static_cast<unsigned char>(c)]);
  }
  return result;
}

} // namespace velmora
