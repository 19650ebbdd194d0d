#pragma once
// What the fuzz targets share: the input as text, a resolver that never touches the disk,
// scratch files for the readers that only read files, and the one way a target reports a
// broken property (an abort, which libFuzzer and the replay both see as a finding).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/strings.h"
#include "xml/resource_resolvers.h"

namespace velmora::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Serves every external resource from memory: its content is its system identifier's
// text, so that an input carries its external subset and entities in itself and no run
// depends on the files of the machine.
class TFuzzResolver : public TCustomResourceResolver {
public:
  using TCustomResourceResolver::TCustomResourceResolver;
  std::unique_ptr<TStream> ResolveResource(std::u16string_view baseUri, WideString& publicId,
                                           WideString& systemId) override;
};

// The path of a file named name in a scratch folder of this process, which goes at exit;
// the file holds bytes.
NarrowString WriteScratchFile(std::string_view name, std::string_view bytes);

// Ends the run with what failed: a property of the code under test does not hold.
[[noreturn]] void Broken(std::string_view property, std::string_view detail = {});

} // namespace velmora::fuzz
