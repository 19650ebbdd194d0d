// The INI reader. The input's first line names a section and a key ("section=key"), the
// rest is the file. Reading never fails; a value read is at most the longest a profile
// value may be; and a value written to a section and key of plain names reads back after
// the file was written, while the other key keeps the value it had.

#include "platform/ini_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace velmora::fuzz {
namespace {

// Letters and digits only: names that every profile line can hold as they are.
NarrowString PlainName(std::string_view text, std::string_view fallback) {
  NarrowString name;
  for (char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      name += c;
    }
  }
  return name.empty() ? NarrowString(fallback) : name;
}

void Run(std::string_view input) {
  const size_t lineEnd = std::min(input.find('\n'), input.size());
  const std::string_view query = input.substr(0, lineEnd);
  const std::string_view content = input.substr(std::min(lineEnd + 1, input.size()));
  const size_t equals = std::min(query.find('='), query.size());
  const std::string_view section = query.substr(0, equals);
  const std::string_view key = query.substr(std::min(equals + 1, query.size()));

  const NarrowString path = WriteScratchFile("settings.ini", content);
  TMemIniFile file(path);
  const NarrowString value = file.ReadString(section, key, "none");
  if (value.size() > kMaxProfileValueLength) {
    Broken("a value read is cut to the longest profile value");
  }
  TIniFile(path).ReadString(section, key, "none");

  const NarrowString plainSection = PlainName(section, "Settings");
  const NarrowString plainKey = PlainName(key, "Key");
  const NarrowString otherKey = plainKey + "Other";
  const NarrowString other = file.ReadString(plainSection, otherKey, "none");
  file.WriteString(plainSection, plainKey, "written value");
  file.UpdateFile();

  TMemIniFile reread(path);
  if (reread.ReadString(plainSection, plainKey, "none") != "written value") {
    Broken("a value written reads back", plainSection + "/" + plainKey);
  }
  if (reread.ReadString(plainSection, otherKey, "none") != other) {
    Broken("a write keeps the other keys", plainSection + "/" + otherKey);
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora::fuzz;
  try {
    Run(AsText(data, size));
  } catch (const velmora::Exception& failure) {
    // The scratch file is readable and writable: nothing here may fail.
    Broken("reading and writing a readable file succeeds", failure.what());
  }
  return 0;
}
