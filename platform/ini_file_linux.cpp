#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "runtime/files.h"
#include "runtime/format.h"

namespace velmora {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// As many links as the system itself follows before it calls the chain a loop.
constexpr int kMaxSymbolicLinks = 40;

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

// The section name of a "[name]" line: up to the line's last "]", blanks trimmed; nullopt
// for any other line, also for one that has no "]".
std::optional<std::string_view> SectionName(std::string_view line) {
  size_t open = 0;
  while (open < line.size() && IsBlank(line[open])) {
    ++open;
  }
  if (open == line.size() || line[open] != '[') {
    return std::nullopt;
  }
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos) {
    return std::nullopt;
  }
  return TrimBlanks(line.substr(open + 1, close - open - 1));
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

// The file that path names once symbolic links are followed; nullopt for a chain that
// loops or cannot be read.
std::optional<NarrowString> FollowSymbolicLinks(NarrowString path) {
  for (int links = 0; links < kMaxSymbolicLinks; ++links) {
    NarrowString target;
    const int error = ReadSymbolicLink(path, target);
    if (error == EINVAL || error == ENOENT) {
      return path; // no link, or nothing there yet
    }
    if (error != 0) {
      return std::nullopt;
    }
    const NarrowString folder = ExtractFileDir(path);
    if (target.starts_with('/') || folder.empty()) {
      path = target;
    } else {
      path = (folder == "/" ? NarrowString() : folder) + "/" + target;
    }
  }
  return std::nullopt;
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

TMemIniFile::TMemIniFile(NarrowString fileName) : FFileName(std::move(fileName)) {
  NarrowString content;
  const int error = ReadFileContent(FFileName, content);
  if (error == ENOENT) {
    return; // created by the first write
  }
  if (error != 0) {
    FReadable = false;
    return;
  }
  std::string_view text(content);
  if (text.starts_with(kUtf8ByteOrderMark)) {
    FByteOrderMark = true;
    text.remove_prefix(kUtf8ByteOrderMark.size());
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    size_t lineEnd = end;
    if (lineEnd > start && text[lineEnd - 1] == '\r') {
      --lineEnd;
      FCrLf = true;
    }
    FLines.emplace_back(text.substr(start, lineEnd - start));
    start = end + 1;
  }
}

NarrowString TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
  const TSectionRange range = FindSection(FLines, TrimBlanks(section));
  if (range.Begin == NarrowString::npos) {
    return NarrowString(defaultValue);
  }
  const size_t index = FindKey(FLines, range, key);
  if (index == NarrowString::npos) {
    return NarrowString(defaultValue);
  }
  const std::string_view line = FLines[index];
  std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return NarrowString(CutToLength(value, kMaxProfileValueLength));
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (!FReadable) {
    RaiseCannotWrite();
  }
  section = TrimBlanks(section);
  // A line break inside the value would start a line of its own.
  NarrowString keyLine = NarrowString(key) + "=" + NarrowString(value);
  for (size_t i = key.size() + 1; i < keyLine.size(); ++i) {
    if (keyLine[i] == '\r' || keyLine[i] == '\n') {
      keyLine[i] = ' ';
    }
  }
  const TSectionRange range = FindSection(FLines, section);
  if (range.Begin == NarrowString::npos) {
    FLines.push_back("[" + NarrowString(section) + "]");
    FLines.push_back(std::move(keyLine));
  } else if (const size_t index = FindKey(FLines, range, key); index != NarrowString::npos) {
    if (FLines[index] == keyLine) {
      return;
    }
    FLines[index] = std::move(keyLine);
  } else {
    // After the section's last non-empty line, before the blank lines that part it from
    // the next section.
    size_t insertAt = range.End;
    while (insertAt > range.Begin && TrimBlanks(FLines[insertAt - 1]).empty()) {
      --insertAt;
    }
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
  }
  FModified = true;
}

void TMemIniFile::UpdateFile() {
  if (!FModified) {
    return;
  }
  const auto target = FollowSymbolicLinks(FFileName);
  if (!target || !ReplaceFile(*target, Content())) {
    RaiseCannotWrite();
  }
  FModified = false;
}

void TMemIniFile::RaiseCannotWrite() const {
  throw EIniFileException(Format("In %s kann nicht geschrieben werden", {FFileName}));
}

NarrowString TMemIniFile::Content() const {
  const std::string_view lineEnd = FCrLf ? "\r\n" : "\n";
  size_t size = FByteOrderMark ? kUtf8ByteOrderMark.size() : 0;
  for (const NarrowString& line : FLines) {
    size += line.size() + lineEnd.size();
  }
  NarrowString content;
  content.reserve(size);
  if (FByteOrderMark) {
    content += kUtf8ByteOrderMark;
  }
  for (const NarrowString& line : FLines) {
    content += line;
    content += lineEnd;
  }
  return content;
}

NarrowString TIniFile::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
  return TMemIniFile(FFileName).ReadString(section, key, defaultValue);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TMemIniFile file(FFileName);
  file.WriteString(section, key, value);
  file.UpdateFile();
}

} // namespace velmora
