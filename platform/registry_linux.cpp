#include "platform/registry.h"

// The current user's registry as Wine keeps it: the text file user.reg of a Wine prefix.
//
// File format: "[Software\\Vendor\\Program] <timestamp>" opens a key (path separators
// written as "\\"); inside it, lines "Name"=value or @=value, where the value is "text"
// (a string), str(2):"text" (an expandable string), hex(1): and hex(2): (a string and an
// expandable string as UTF-16LE bytes), or dword:, hex:, other hex(n):, str(7): and others
// (another type). Strings use backslash escapes (\\ \" \n \r \t \xHHHH ...); hex
// values may continue over lines ending in "\".

#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

#include "runtime/files.h"
#include "runtime/format.h"

namespace velmora {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  c = AsciiLower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads the escaped text after an opening quote at text[pos] up to the closing quote; pos
// ends after it. Escapes give UTF-16 units (\xHHHH), which are then turned into UTF-8.
NarrowString ReadQuoted(std::string_view text, size_t& pos) {
  WideString units;
  ++pos; // the opening quote
  while (pos < text.size() && text[pos] != '"') {
    const char c = text[pos++];
    if (c != '\\' || pos >= text.size()) {
      // The file is ASCII in practice; pass other bytes through as UTF-8.
      size_t start = pos - 1;
      AppendUtf16(units, DecodeUtf8(text, start));
      pos = start;
      continue;
    }
    const char escaped = text[pos++];
    switch (escaped) {
    case 'a':
      units += u'\a';
      break;
    case 'b':
      units += u'\b';
      break;
    case 'e':
      units += u'\x1B';
      break;
    case 'f':
      units += u'\f';
      break;
    case 'n':
      units += u'\n';
      break;
    case 'r':
      units += u'\r';
      break;
    case 't':
      units += u'\t';
      break;
    case 'v':
      units += u'\v';
      break;
    case 'x': {
      int value = 0;
      int digits = 0;
      while (digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0) {
        value = value * 16 + HexDigit(text[pos++]);
        ++digits;
      }
      units += static_cast<char16_t>(value);
      break;
    }
    default:
      if (escaped >= '0' && escaped <= '7') {
        int value = escaped - '0';
        for (int digits = 1;
             digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++digits) {
          value = value * 8 + (text[pos++] - '0');
        }
        units += static_cast<char16_t>(value);
      } else {
        units += static_cast<char16_t>(static_cast<unsigned char>(escaped));
      }
    }
  }
  ++pos; // the closing quote
  return WideToNarrow(units);
}

// The bytes of a "hex(n):" value: pairs of hex digits separated by commas, continued on the
// next line after a trailing backslash. Reads those continuation lines from file.
NarrowString ReadHexBytes(std::string_view data, std::istream& file) {
  NarrowString bytes;
  NarrowString nextLine;
  for (;;) {
    int value = -1;
    for (const char c : data) {
      const int digit = HexDigit(c);
      if (digit >= 0) {
        value = ((value < 0 ? 0 : value) * 16 + digit) & 0xFF;
      } else if (c == ',' && value >= 0) {
        bytes += static_cast<char>(value);
        value = -1;
      }
    }
    if (value >= 0) {
      bytes += static_cast<char>(value);
    }
    while (!data.empty() && (data.back() == ' ' || data.back() == '\r')) {
      data.remove_suffix(1);
    }
    if (data.empty() || data.back() != '\\' || !std::getline(file, nextLine)) {
      return bytes;
    }
    data = nextLine;
  }
}

// A string stored as UTF-16LE bytes; an odd last byte is no code unit and is dropped.
NarrowString Utf16LeBytesToNarrow(std::string_view bytes) {
  WideString units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return WideToNarrow(units);
}

// The key path of a "[...] timestamp" line, unescaped; nullopt for other lines.
std::optional<NarrowString> KeyOfLine(std::string_view line) {
  if (line.empty() || line.front() != '[') {
    return std::nullopt;
  }
  NarrowString key;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == ']') {
      return key;
    }
    if (line[i] == '\\' && i + 1 < line.size()) {
      ++i;
    }
    key += line[i];
  }
  return std::nullopt;
}

enum TRegDataType : uint8_t { rdString, rdExpandString, rdOther };

} // namespace

struct TRegistry::TOpenKey {
  struct TValue {
    NarrowString Name;
    TRegDataType DataType = rdOther;
    NarrowString Data;
  };
  std::vector<TValue> Values;
};

TRegistry::TRegistry(NarrowString userRegistry) : FUserRegistry(std::move(userRegistry)) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  CloseKey();
  while (!key.empty() && key.front() == '\\') {
    key.remove_prefix(1);
  }
  std::ifstream file(FUserRegistry, std::ios::binary);
  if (!file) {
    return false;
  }
  auto openKey = std::make_unique<TOpenKey>();
  bool found = false;
  bool inKey = false;
  NarrowString line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (const auto lineKey = KeyOfLine(line)) {
      if (inKey) {
        break;
      }
      inKey = SameAsciiText(*lineKey, key);
      found = found || inKey;
      continue;
    }
    if (!inKey || line.empty() || (line.front() != '"' && line.front() != '@')) {
      continue;
    }
    TOpenKey::TValue value;
    size_t pos = 0;
    if (line.front() == '"') {
      value.Name = ReadQuoted(line, pos);
    } else {
      pos = 1; // @ is the key's default value, whose name is empty
    }
    if (pos >= line.size() || line[pos] != '=') {
      continue;
    }
    ++pos;
    const std::string_view data = std::string_view(line).substr(pos);
    if (data.starts_with("\"")) {
      value.DataType = rdString;
      value.Data = ReadQuoted(line, pos);
    } else if (data.starts_with("str(2):\"")) {
      value.DataType = rdExpandString;
      pos += 7;
      value.Data = ReadQuoted(line, pos);
    } else if (data.starts_with("hex(1):") || data.starts_with("hex(2):")) {
      // Wine writes a string as its raw UTF-16LE bytes when it has no quoted form, e.g.
      // when its byte length is odd.
      value.DataType = data[4] == '1' ? rdString : rdExpandString;
      value.Data = Utf16LeBytesToNarrow(ReadHexBytes(data.substr(7), file));
    } else {
      value.DataType = rdOther;
    }
    openKey->Values.push_back(std::move(value));
  }
  if (found) {
    FOpenKey = std::move(openKey);
  }
  return found;
}

void TRegistry::CloseKey() {
  FOpenKey.reset();
}

NarrowString TRegistry::ReadString(std::string_view name) const {
  if (!FOpenKey) {
    return NarrowString();
  }
  for (const TOpenKey::TValue& value : FOpenKey->Values) {
    if (!SameAsciiText(value.Name, name)) {
      continue;
    }
    if (value.DataType == rdOther) {
      throw ERegistryException(Format("Ungültiger Datentyp für '%s'", {name}));
    }
    return value.Data.substr(0, value.Data.find('\0'));
  }
  return NarrowString();
}

NarrowString TRegistry::LocalFileName(const NarrowString& path) const {
  return WindowsPathToUnix(ExtractFileDir(FUserRegistry), path);
}

NarrowString DefaultUserRegistry() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) {
    return NarrowString(prefix) + "/user.reg";
  }
  const char* home = std::getenv("HOME");
  return NarrowString(home ? home : "") + "/.wine/user.reg";
}

NarrowString WindowsPathToUnix(const NarrowString& winePrefix, const NarrowString& path) {
  const bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (!hasDrive) {
    return path;
  }
  const NarrowString link =
      winePrefix + "/dosdevices/" + static_cast<char>(AsciiLower(path[0])) + ":";
  if (!DirectoryExists(link)) {
    return path;
  }
  NarrowString rest = path.substr(2);
  for (char& c : rest) {
    if (c == '\\') {
      c = '/';
    }
  }
  if (!rest.empty() && rest.front() != '/') {
    rest = "/" + rest;
  }
  return link + rest;
}

} // namespace velmora
