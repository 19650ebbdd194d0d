// The Wine registry reader. The input's first line names a key and a value ("key|name"),
// the rest is the user.reg file. Opening a key and reading a value either works or raises
// the registry's own exception for a value of another type.

#include "platform/registry.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  const std::string_view input = AsText(data, size);
  const size_t lineEnd = std::min(input.find('\n'), input.size());
  const std::string_view query = input.substr(0, lineEnd);
  const size_t bar = std::min(query.find('|'), query.size());
  const std::string_view key = query.substr(0, bar);
  const std::string_view name = query.substr(std::min(bar + 1, query.size()));

  TRegistry registry(WriteScratchFile("user.reg", input.substr(std::min(lineEnd + 1, size))));
  if (!registry.OpenKeyReadOnly(key)) {
    return 0;
  }
  try {
    const NarrowString value = registry.ReadString(name);
    if (value.find('\0') != NarrowString::npos) {
      Broken("a string value ends at its first NUL");
    }
  } catch (const ERegistryException&) {
    // a value of another type
  }
  registry.CloseKey();
  return 0;
}
