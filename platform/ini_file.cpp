#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "runtime/files.h"
#include "runtime/format.h"

namespace velmora {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The file as lines without their line ends; remembers whether they were CR LF.
struct TProfileLines {
  std::vector<NarrowString> Lines;
  bool CrLf = false;
};

bool LoadLines(const NarrowString& fileName, TProfileLines& profile) {
  TFileDescriptor file;
  if (OpenFile(fileName, faRead, file) != 0) {
    return false;
  }
  NarrowString content;
  char buffer[8192];
  size_t got = 0;
  while (ReadFromFile(file, buffer, sizeof buffer, got) == 0 && got > 0) {
    content.append(buffer, got);
  }
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == NarrowString::npos) {
      end = content.size();
    }
    size_t lineEnd = end;
    if (lineEnd > start && content[lineEnd - 1] == '\r') {
      --lineEnd;
      profile.CrLf = true;
    }
    profile.Lines.emplace_back(content, start, lineEnd - start);
    start = end + 1;
  }
  return true;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') {
    return std::nullopt;
  }
  const size_t close = line.find(']');
  return TrimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> KeyName(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return TrimBlanks(line.substr(0, equals));
}

// Lines [begin, end) of a section's body, or begin == npos when the section is missing.
struct TSectionRange {
  size_t Begin = NarrowString::npos;
  size_t End = NarrowString::npos;
};

TSectionRange FindSection(const std::vector<NarrowString>& lines, std::string_view section) {
  TSectionRange range;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name) {
      continue;
    }
    if (range.Begin != NarrowString::npos) {
      range.End = i;
      return range;
    }
    if (SameAsciiText(*name, section)) {
      range.Begin = i + 1;
    }
  }
  range.End = lines.size();
  return range;
}

size_t FindKey(const std::vector<NarrowString>& lines, TSectionRange range, std::string_view key) {
  for (size_t i = range.Begin; i < range.End; ++i) {
    const auto name = KeyName(lines[i]);
    if (name && SameAsciiText(*name, key)) {
      return i;
    }
  }
  return NarrowString::npos;
}

// Cuts text to at most max bytes without splitting a UTF-8 sequence.
std::string_view CutToLength(std::string_view text, size_t max) {
  if (text.size() <= max) {
    return text;
  }
  size_t length = max;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    --length;
  }
  return text.substr(0, length);
}

// Writes content to a temporary file beside fileName and renames it over fileName.
bool ReplaceFile(const NarrowString& fileName, const NarrowString& content) {
  // The folder of a per-user settings file may not exist yet.
  const NarrowString folder = ExtractFileDir(fileName);
  if (!folder.empty() && !ForceDirectories(folder)) {
    return false;
  }
  NarrowString temporary = fileName + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return false;
  }
  TFileDescriptor file(fd);
  struct stat existing;
  const mode_t mode = ::stat(fileName.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  bool written = ::fchmod(fd, mode) == 0 &&
                 WriteToFile(file, content.data(), content.size()) == 0 && ::fsync(fd) == 0;
  written = file.Close() == 0 && written;
  if (!written || ::rename(temporary.c_str(), fileName.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

} // namespace

NarrowString TIniFile::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
  TProfileLines profile;
  if (!LoadLines(FFileName, profile)) {
    return NarrowString(defaultValue);
  }
  const TSectionRange range = FindSection(profile.Lines, section);
  if (range.Begin == NarrowString::npos) {
    return NarrowString(defaultValue);
  }
  const size_t index = FindKey(profile.Lines, range, key);
  if (index == NarrowString::npos) {
    return NarrowString(defaultValue);
  }
  const std::string_view line = profile.Lines[index];
  std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return NarrowString(CutToLength(value, kMaxProfileValueLength));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TProfileLines profile;
  LoadLines(FFileName, profile);
  std::vector<NarrowString>& lines = profile.Lines;
  // A line break inside the value would start a line of its own.
  NarrowString cleanValue(value);
  for (char& c : cleanValue) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  const NarrowString keyLine = NarrowString(key) + "=" + cleanValue;
  const TSectionRange range = FindSection(lines, section);
  if (range.Begin == NarrowString::npos) {
    lines.push_back("[" + NarrowString(section) + "]");
    lines.push_back(keyLine);
  } else if (const size_t index = FindKey(lines, range, key); index != NarrowString::npos) {
    lines[index] = keyLine;
  } else {
    // After the section's last non-empty line, before the blank lines that part it from
    // the next section.
    size_t insertAt = range.End;
    while (insertAt > range.Begin && TrimBlanks(lines[insertAt - 1]).empty()) {
      --insertAt;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
  }
  const char* lineEnd = profile.CrLf ? "\r\n" : "\n";
  NarrowString content;
  for (const NarrowString& line : lines) {
    content += line;
    content += lineEnd;
  }
  if (!ReplaceFile(FFileName, content)) {
    throw EIniFileException(Format("In %s kann nicht geschrieben werden", {FFileName}));
  }
}

} // namespace velmora
