#include "platform/registry.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tests/support/test_registry.h"

namespace velmora {
namespace {

using testing::TTestRegistryValue;

class RegistryTest : public ::testing::Test {
protected:
  testing::TTempFolder FFolder;
  testing::TTestUserRegistry FUserRegistry{FFolder.Path()};
};

TEST_F(RegistryTest, ReadsStringValuesAsStored) {
  FUserRegistry.WriteKey(
      "Software\\Kestrovan\\MobiusPX",
      {{"DefaultStorage", TTestRegistryValue::rvString, "C:\\Users\\Jörg\\a.lmc"},
       {"Expand", TTestRegistryValue::rvExpandString, "%USERPROFILE%\\a.lmc"},
       {"Number", TTestRegistryValue::rvDword, "1"}});
  TRegistry registry(FUserRegistry.Location());
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Kestrovan\\MobiusPX"));
  EXPECT_EQ(registry.ReadString("DefaultStorage"), "C:\\Users\\Jörg\\a.lmc");
  EXPECT_EQ(registry.ReadString("defaultstorage"), "C:\\Users\\Jörg\\a.lmc");
  EXPECT_EQ(registry.ReadString("Expand"), "%USERPROFILE%\\a.lmc"); // not expanded
  EXPECT_EQ(registry.ReadString("Missing"), "");
  try {
    registry.ReadString("Number");
    FAIL() << "no exception";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Message(), "Ungültiger Datentyp für 'Number'");
  }
  EXPECT_EQ(registry.LocalFileName("C:\\Users\\a.lmc"), "C:\\Users\\a.lmc");
  registry.CloseKey();
  EXPECT_EQ(registry.ReadString("DefaultStorage"), "");
}

TEST_F(RegistryTest, MissingKeysDoNotOpenAndAreNotCreated) {
  FUserRegistry.WriteKey("Software\\Other", {});
  TRegistry registry(FUserRegistry.Location());
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\Kestrovan\\MobiusPX"));
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\Kestrovan\\MobiusPX"));
  EXPECT_TRUE(registry.OpenKeyReadOnly("Software\\other"));
}

} // namespace
} // namespace velmora
