#include "platform/registry.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TTempFolder;

constexpr const char* kUserReg = "WINE REGISTRY Version 2\n"
                                 ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
                                 "\n"
                                 "#arch=win64\n"
                                 "\n"
                                 "[Software\\\\Kestrovan\\\\MobiusPX\\\\Sub] 1733700000\n"
                                 "\"DefaultStorage\"=\"wrong key\"\n"
                                 "\n"
                                 "[Software\\\\Kestrovan\\\\MobiusPX] 1733700001\n"
                                 "#time=1db4a2b3c4d5e6f\n"
                                 "\"DefaultStorage\"=\"C:\\\\Users\\\\J\\x00f6rg\\\\Mobius.lmc\"\n"
                                 "\"Escapes\"=\"tab\\there \\\"quoted\\\" nul\\0after\"\n"
                                 "\"Expand\"=str(2):\"%APPDATA%\\\\Mobius.lmc\"\n"
                                 "\"Number\"=dword:00000031\n"
                                 "\"Binary\"=hex:01,02,\\\n"
                                 "  03,04\n"
                                 "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                                 "\"HexString\"=hex(1):41,00,f6,00,42,00,00,00\n"
                                 "\"HexExpand\"=hex(2):25,00,41,00,\\\n"
                                 "  25,00,00,00\n"
                                 "\"OddLength\"=hex(1):41,00,42,00,43\n"
                                 "\"NulInside\"=hex(1):41,00,00,00,42,00\n"
                                 "\"EmptyHex\"=hex(1):\n"
                                 "\"HexMulti\"=hex(7):41,00,00,00,00,00\n"
                                 "\"HexNumber\"=hex(4):31,00,00,00\n"
                                 "@=\"default value\"\n"
                                 "\n"
                                 "[Software\\\\Other] 1733700002\n"
                                 "\"DefaultStorage\"=\"other key\"\n";

class WineRegistryTest : public ::testing::Test {
protected:
  void SetUp() override { FFolder.WriteFile("user.reg", kUserReg); }
  TTempFolder FFolder;
};

TEST_F(WineRegistryTest, ReadsStringValuesOfTheOpenKey) {
  TRegistry registry(FFolder.File("user.reg"));
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Kestrovan\\MobiusPX"));
  EXPECT_EQ(registry.ReadString("DefaultStorage"), "C:\\Users\\Jörg\\Mobius.lmc");
  EXPECT_EQ(registry.ReadString("defaultstorage"), "C:\\Users\\Jörg\\Mobius.lmc");
  EXPECT_EQ(registry.ReadString("Escapes"), "tab\there \"quoted\" nul"); // up to the NUL
  EXPECT_EQ(registry.ReadString("Expand"), "%APPDATA%\\Mobius.lmc");     // not expanded
  EXPECT_EQ(registry.ReadString(""), "default value");
  // Strings written as their UTF-16LE bytes, up to the first NUL; an odd last byte is no
  // character.
  EXPECT_EQ(registry.ReadString("HexString"), "AöB");
  EXPECT_EQ(registry.ReadString("HexExpand"), "%A%");
  EXPECT_EQ(registry.ReadString("OddLength"), "AB");
  EXPECT_EQ(registry.ReadString("NulInside"), "A");
  EXPECT_EQ(registry.ReadString("EmptyHex"), "");
  EXPECT_EQ(registry.ReadString("Absent"), "");
}

TEST_F(WineRegistryTest, OtherTypesAreRefused) {
  TRegistry registry(FFolder.File("user.reg"));
  ASSERT_TRUE(registry.OpenKeyReadOnly("software\\kestrovan\\mobiuspx"));
  for (const char* name : {"Number", "Binary", "Multi", "HexMulti", "HexNumber"}) {
    try {
      registry.ReadString(name);
      FAIL() << name;
    } catch (const ERegistryException& error) {
      EXPECT_EQ(error.Message(), "Ungültiger Datentyp für '" + NarrowString(name) + "'");
    }
  }
}

TEST_F(WineRegistryTest, MissingKeysAndFilesDoNotOpen) {
  TRegistry registry(FFolder.File("user.reg"));
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\Kestrovan"));
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\Kestrovan\\MobiusPX2"));
  EXPECT_TRUE(registry.OpenKeyReadOnly("\\Software\\Other"));
  EXPECT_EQ(registry.ReadString("DefaultStorage"), "other key");
  registry.CloseKey();
  EXPECT_EQ(registry.ReadString("DefaultStorage"), "");
  TRegistry missing(FFolder.File("no-such.reg"));
  EXPECT_FALSE(missing.OpenKeyReadOnly("\\Software\\Other"));
}

TEST_F(WineRegistryTest, DrivePathsMapThroughTheDosDevicesLink) {
  ASSERT_TRUE(ForceDirectories(FFolder.File("drive_c/Users")));
  ASSERT_TRUE(ForceDirectories(FFolder.File("dosdevices")));
  ASSERT_EQ(::symlink("../drive_c", FFolder.File("dosdevices/c:").c_str()), 0);
  const NarrowString prefix = FFolder.Path();
  EXPECT_EQ(WindowsPathToUnix(prefix, "C:\\Users\\a.lmc"), prefix + "/dosdevices/c:/Users/a.lmc");
  EXPECT_EQ(WindowsPathToUnix(prefix, "c:Users\\a.lmc"), prefix + "/dosdevices/c:/Users/a.lmc");
  EXPECT_EQ(WindowsPathToUnix(prefix, "D:\\a.lmc"), "D:\\a.lmc"); // no such drive
  EXPECT_EQ(WindowsPathToUnix(prefix, "Mobius.lmc"), "Mobius.lmc");
  EXPECT_EQ(WindowsPathToUnix(prefix, "/home/a.lmc"), "/home/a.lmc");
}

} // namespace
} // namespace velmora
