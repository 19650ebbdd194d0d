#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "runtime/format.h"

// The current user's registry through the system's registry functions.

namespace velmora {

struct TRegistry::TOpenKey {
  HKEY Key = nullptr;
  ~TOpenKey() { ::RegCloseKey(Key); }
};

TRegistry::TRegistry(NarrowString userRegistry) : FUserRegistry(std::move(userRegistry)) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  CloseKey();
  while (!key.empty() && key.front() == '\\') {
    key.remove_prefix(1);
  }
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, NarrowString(key).c_str(), 0, KEY_READ, &handle) !=
      ERROR_SUCCESS) {
    return false;
  }
  FOpenKey = std::make_unique<TOpenKey>();
  FOpenKey->Key = handle;
  return true;
}

void TRegistry::CloseKey() {
  FOpenKey.reset();
}

NarrowString TRegistry::ReadString(std::string_view name) const {
  if (!FOpenKey) {
    return NarrowString();
  }
  const NarrowString valueName(name);
  DWORD type = REG_NONE;
  DWORD size = 0;
  // The value may change between asking its size and reading it; then ask again.
  for (;;) {
    if (::RegQueryValueExA(FOpenKey->Key, valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      return NarrowString(); // absent
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw ERegistryException(Format("Ungültiger Datentyp für '%s'", {name}));
    }
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    const LSTATUS status = ::RegQueryValueExA(FOpenKey->Key, valueName.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_MORE_DATA) {
      continue;
    }
    if (status != ERROR_SUCCESS) {
      return NarrowString();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw ERegistryException(Format("Ungültiger Datentyp für '%s'", {name}));
    }
    // Stored data need not end in a NUL; the text ends at the first one.
    const NarrowString text(data.data(), std::min<size_t>(got, size));
    return text.substr(0, text.find('\0'));
  }
}

NarrowString TRegistry::LocalFileName(const NarrowString& path) const {
  return path;
}

NarrowString DefaultUserRegistry() {
  return NarrowString();
}

} // namespace velmora
