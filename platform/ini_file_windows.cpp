#include "platform/ini_file.h"

#include <windows.h>

#include "runtime/files.h"
#include "runtime/format.h"

// The profile functions of Windows.

namespace velmora {

namespace {

NarrowString ReadProfileString(const NarrowString& fileName, std::string_view section,
                               std::string_view key, std::string_view defaultValue) {
  char buffer[kMaxProfileValueLength + 1];
  const NarrowString sectionName(section);
  const NarrowString keyName(key);
  const NarrowString fallback(defaultValue);
  const DWORD length =
      ::GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(), buffer,
                                 sizeof buffer, fileName.c_str());
  return NarrowString(buffer, length);
}

[[noreturn]] void RaiseCannotWrite(const NarrowString& fileName) {
  throw EIniFileException(Format("In %s kann nicht geschrieben werden", {fileName}));
}

void WriteProfileString(const NarrowString& fileName, std::string_view section,
                        std::string_view key, std::string_view value) {
  // A line break inside the value would start a line of its own.
  NarrowString text(value);
  for (char& c : text) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  const NarrowString sectionName(section);
  const NarrowString keyName(key);
  const auto write = [&] {
    return ::WritePrivateProfileStringA(sectionName.c_str(), keyName.c_str(), text.c_str(),
                                        fileName.c_str()) != FALSE;
  };
  // The folder of a per-user settings file may not exist yet.
  if (!write() && !(ForceDirectories(ExtractFileDir(fileName)) && write())) {
    RaiseCannotWrite(fileName);
  }
}

} // namespace

TMemIniFile::TMemIniFile(NarrowString fileName) : FFileName(std::move(fileName)) {}

NarrowString TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
  return ReadProfileString(FFileName, section, key, defaultValue);
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  WriteProfileString(FFileName, section, key, value);
}

void TMemIniFile::UpdateFile() {
  // Writes what the system still holds of the file in its cache.
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str());
}

NarrowString TIniFile::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
  return ReadProfileString(FFileName, section, key, defaultValue);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  WriteProfileString(FFileName, section, key, value);
}

} // namespace velmora
