#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace velmora::testing {

TTempFolder::TTempFolder() {
  const char* base = std::getenv("TMPDIR");
  NarrowString pattern = NarrowString(base && *base ? base : "/tmp") + "/velmora-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder";
  }
  FPath = pattern;
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

void TTempFolder::WriteFile(const NarrowString& name, std::string_view bytes) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    ADD_FAILURE() << "cannot write " << File(name);
  }
}

NarrowString TTempFolder::ReadFile(const NarrowString& name) const {
  return ReadWholeFile(File(name));
}

NarrowString ReadWholeFile(const NarrowString& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return NarrowString();
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

NarrowString TestDataFile(const NarrowString& relativePath) {
  const char* folder = std::getenv("VELMORA_TEST_DATA");
  return NarrowString(folder ? folder : "tests/data") + "/" + relativePath;
}

} // namespace velmora::testing
