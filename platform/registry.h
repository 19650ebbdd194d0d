#pragma once
// Read access to the current user's registry (HKEY_CURRENT_USER). On Windows it is the
// system's own registry. On Linux, Windows programs such as the phone manager run under
// Wine, which keeps that registry in the text file user.reg of its prefix; there TRegistry
// reads that file.

#include <cstdint>
#include <memory>

#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(ERegistryException, Exception);

class TRegistry {
public:
  // userRegistry: where the current user's registry is kept; on Linux the user.reg file of
  // a Wine prefix, on Windows "" (the system's).
  explicit TRegistry(NarrowString userRegistry);
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  ~TRegistry();

  // Opens a key below HKEY_CURRENT_USER without creating it ("\Software\..."; the leading
  // backslash makes the path absolute). False when the key does not exist.
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();

  // A string value of the open key as stored (not expanded), up to its first NUL: "" when
  // absent; a value of another type raises ERegistryException
  // "Ungültiger Datentyp für '%s'".
  NarrowString ReadString(std::string_view name) const;

  // A file name as the registry holds it, as this system opens it: on Linux a path with a
  // drive letter goes through the Wine prefix's drive links; on Windows it is unchanged.
  NarrowString LocalFileName(const NarrowString& path) const;

private:
  struct TOpenKey; // the open key's values (Linux) or handle (Windows)

  NarrowString FUserRegistry;
  std::unique_ptr<TOpenKey> FOpenKey;
};

// The current user's registry as TRegistry takes it: on Linux the user.reg file of the
// Wine prefix in $WINEPREFIX, default ~/.wine; "" on Windows.
NarrowString DefaultUserRegistry();

// Linux: a Windows path with a drive letter ("C:\Users\x\a.lmc") mapped to the Linux path
// behind the prefix's dosdevices/<drive>: link, when that link exists; any other text
// unchanged.
NarrowString WindowsPathToUnix(const NarrowString& winePrefix, const NarrowString& path);

} // namespace velmora
