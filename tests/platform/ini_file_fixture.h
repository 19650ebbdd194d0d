#pragma once
// A profile file in a fresh folder, read and written the way the settings are.

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {

class IniFileFixture : public ::testing::Test {
protected:
  NarrowString Read(std::string_view section, std::string_view key) {
    return TIniFile(FFolder.File("s.INI")).ReadString(section, key, "<default>");
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) {
    TIniFile(FFolder.File("s.INI")).WriteString(section, key, value);
  }
  NarrowString Content() { return FFolder.ReadFile("s.INI"); }

  TTempFolder FFolder;
};

} // namespace velmora::testing
