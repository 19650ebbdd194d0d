#pragma once
// Read access to HKEY_CURRENT_USER as Wine keeps it: the text file user.reg of a Wine
// prefix. Windows programs such as the phone manager run on Linux under Wine and keep their
// settings there.
//
// File format: "[Software\\Vendor\\Program] <timestamp>" opens a key (path separators
// written as "\\"); inside it, lines "Name"=value or @=value, where the value is "text"
// (a string), str(2):"text" (an expandable string), hex(1): and hex(2): (a string and an
// expandable string as UTF-16LE bytes), or dword:, hex:, other hex(n):, str(7): and others
// (another type). Strings use backslash escapes (\\ \" \n \r \t \xHHHH ...); hex
// values may continue over lines ending in "\".

#include <cstdint>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(ERegistryException, Exception);

enum TRegDataType : uint8_t { rdUnknown = 0, rdString = 1, rdExpandString = 2, rdOther = 3 };

class TRegistry {
public:
  // userRegistryFile: the user.reg file of a Wine prefix.
  explicit TRegistry(NarrowString userRegistryFile) : FFileName(std::move(userRegistryFile)) {}

  // Opens a key below HKEY_CURRENT_USER without creating it ("\Software\..."; the leading
  // backslash makes the path absolute). False when the file or the key does not exist.
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();

  // A string value of the open key as stored (not expanded), up to its first NUL: "" when
  // absent; a value of another type raises ERegistryException
  // "Ungültiger Datentyp für '%s'".
  NarrowString ReadString(std::string_view name) const;

private:
  struct TValue {
    NarrowString Name;
    TRegDataType DataType;
    NarrowString Data;
  };

  NarrowString FFileName;
  bool FKeyOpen = false;
  std::vector<TValue> FValues;
};

// The user.reg file of the Wine prefix in $WINEPREFIX, default ~/.wine.
NarrowString DefaultWineUserRegistryFile();

// A Windows path with a drive letter ("C:\Users\x\a.lmc") mapped to the Linux path behind
// the prefix's dosdevices/<drive>: link, when that link exists; any other text unchanged.
NarrowString WindowsPathToUnix(const NarrowString& winePrefix, const NarrowString& path);

} // namespace velmora
