#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

namespace velmora::testing {

TTempFolder::TTempFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && FPath.empty(); ++attempt) {
    const std::filesystem::path folder =
        base / ("velmora-test-" + std::to_string(random()) + std::to_string(attempt));
    if (std::filesystem::create_directory(folder, error)) {
      FPath = folder.string();
    }
  }
  if (FPath.empty()) {
    ADD_FAILURE() << "cannot create a temporary folder";
  }
}

NarrowString TTempFolder::File(const NarrowString& name) const {
  return (std::filesystem::path(FPath) / name).make_preferred().string();
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
