#include "tests/support/test_registry.h"

#include <windows.h>

#include <random>

#include <gtest/gtest.h>

namespace velmora::testing {

namespace {

constexpr const char* kTestsKey = "Software\\Velmora tests";

HKEY Root(void* root) {
  return static_cast<HKEY>(root);
}

} // namespace

TTestUserRegistry::TTestUserRegistry(const NarrowString&)
    : FKeyName(NarrowString(kTestsKey) + "\\" + std::to_string(std::random_device()())) {
  HKEY root = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, FKeyName.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &root, nullptr) != ERROR_SUCCESS ||
      ::RegOverridePredefKey(HKEY_CURRENT_USER, root) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot set up a registry for the test";
  }
  FRoot = root;
}

TTestUserRegistry::~TTestUserRegistry() {
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegDeleteTreeA(Root(FRoot), nullptr);
  ::RegCloseKey(Root(FRoot));
  ::RegDeleteKeyA(HKEY_CURRENT_USER, FKeyName.c_str());
}

void TTestUserRegistry::WriteKey(const NarrowString& key,
                                 const std::vector<TTestRegistryValue>& values) {
  ::RegDeleteTreeA(Root(FRoot), nullptr);
  HKEY handle = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(Root(FRoot), key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  for (const TTestRegistryValue& value : values) {
    LSTATUS status;
    if (value.Type == TTestRegistryValue::rvDword) {
      const DWORD number = static_cast<DWORD>(std::stoul(value.Data));
      status = ::RegSetValueExA(handle, value.Name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&number), sizeof number);
    } else {
      status = ::RegSetValueExA(handle, value.Name.c_str(), 0,
                                value.Type == TTestRegistryValue::rvString ? REG_SZ : REG_EXPAND_SZ,
                                reinterpret_cast<const BYTE*>(value.Data.c_str()),
                                static_cast<DWORD>(value.Data.size() + 1));
    }
    EXPECT_EQ(status, ERROR_SUCCESS) << value.Name;
  }
  ::RegCloseKey(handle);
}

} // namespace velmora::testing
