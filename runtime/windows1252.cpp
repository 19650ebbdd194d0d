#include "runtime/windows1252.h"

namespace velmora {

namespace {

// Code points of the bytes 0x80 to 0x9F; the unassigned positions stand for themselves.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

int EncodeWindows1252Char(int32_t codePoint) {
  if ((codePoint >= 0 && codePoint < 0x80) || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return codePoint;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == codePoint) {
      return 0x80 + i;
    }
  }
  return -1;
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
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(result, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
  }
  return result;
}

} // namespace velmora
