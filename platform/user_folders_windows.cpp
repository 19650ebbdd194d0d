#include "platform/user_folders.h"

#include <windows.h>

#include <shlobj.h>

#include "runtime/files.h"

namespace velmora {

NarrowString UserConfigFolder() {
  char folder[MAX_PATH];
  if (::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    return NarrowString();
  }
  return folder;
}

bool IsFolderWritable(const NarrowString& folder) {
  // The rights that count are the folder's security descriptor, the user's token and the
  // folder's read-only share; creating a file is the one question that asks them all.
  char probe[MAX_PATH];
  if (::GetTempFileNameA(folder.c_str(), "vel", 0, probe) == 0) {
    return false;
  }
  ::DeleteFileA(probe);
  return true;
}

} // namespace velmora
