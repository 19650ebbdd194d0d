#pragma once
// Profile (INI) files with the semantics of the Windows profile functions: section and key
// names compare without regard to ASCII case; read values are trimmed, lose one enclosing
// pair of matching quotes and are cut to 2047 characters; a write replaces the key's line in
// place or appends it at the end of its section, creating file and section as needed and
// keeping every other line. Each write replaces the whole file through a temporary file and
// a rename, so a crash never leaves half a file.

#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(EIniFileException, Exception);

constexpr size_t kMaxProfileValueLength = 2047;

class TIniFile {
public:
  explicit TIniFile(NarrowString fileName) : FFileName(std::move(fileName)) {}

  const NarrowString& FileName() const { return FFileName; }

  // The value of key in section, or defaultValue when the file, the section or the key is
  // missing.
  NarrowString ReadString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;

  // Writes key=value into section. A failure raises EIniFileException "In %s kann nicht
  // geschrieben werden"; the file then stays as it was.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

private:
  NarrowString FFileName;
};

} // namespace velmora
