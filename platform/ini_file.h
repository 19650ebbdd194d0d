#pragma once
// Profile (INI) files with the semantics of the Windows profile functions: section and key
// names compare without regard to ASCII case; a section header runs from "[" to the line's
// last "]"; read values are trimmed, lose one enclosing pair of matching quotes and are cut
// to 2047 characters; a write replaces the key's line in place or appends it at the end of
// its section, creating file and section as needed and keeping every other line.
//
// On Windows these are GetPrivateProfileStringA and WritePrivateProfileStringA. On Linux
// they are imitated: a leading UTF-8 byte-order mark is skipped and kept, and the file is
// replaced as a whole through a temporary file and a rename, so a crash never leaves half
// a file.

#include <vector>

#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(EIniFileException, Exception);

constexpr size_t kMaxProfileValueLength = 2047;

// One profile file for a run of reads and writes. On Linux it is held in memory and written
// back once; on Windows the profile functions, which keep the file cached, do that.
class TMemIniFile {
public:
  // Reads the file. A missing file is an empty one. A file that exists but cannot be read
  // gives every read its default and refuses every write, so that it is never replaced by
  // the few keys written since.
  explicit TMemIniFile(NarrowString fileName);

  const NarrowString& FileName() const { return FFileName; }

  // The value of key in section, or defaultValue when the section or the key is missing.
  NarrowString ReadString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;

  // Sets key=value in section. Raises EIniFileException "In %s kann nicht geschrieben
  // werden" when the file could not be read (Linux) or written (Windows).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Writes the file if a write changed it. Through a symbolic link the link's target is
  // replaced and the link stays. A failure raises EIniFileException "In %s kann nicht
  // geschrieben werden"; the file then stays as it was.
  void UpdateFile();

private:
  [[noreturn]] void RaiseCannotWrite() const;
  NarrowString Content() const;

  NarrowString FFileName;
  // Linux: the file's lines and how it was written.
  bool FReadable = true;
  bool FModified = false;
  bool FByteOrderMark = false;
  bool FCrLf = false;
  std::vector<NarrowString> FLines; // without their line ends
};

// The profile functions themselves: every call reads the file, every write writes it.
class TIniFile {
public:
  explicit TIniFile(NarrowString fileName) : FFileName(std::move(fileName)) {}

  const NarrowString& FileName() const { return FFileName; }

  NarrowString ReadString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

private:
  NarrowString FFileName;
};

} // namespace velmora
