#include "tests/fuzz/fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace velmora::fuzz {

namespace {

class TScratchFolder {
public:
  TScratchFolder() {
    // In memory where the system has it: the INI writer syncs every file it replaces.
    for (const char* base : {"/dev/shm", "/tmp"}) {
      NarrowString path = NarrowString(base) + "/velmora-fuzz-XXXXXX";
      if (mkdtemp(path.data())) {
        FPath = std::move(path);
        return;
      }
    }
    Broken("a scratch folder can be made");
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  const NarrowString& Path() const { return FPath; }

private:
  NarrowString FPath;
};

} // namespace

std::unique_ptr<TStream> TFuzzResolver::ResolveResource(std::u16string_view, WideString&,
                                                        WideString& systemId) {
  auto stream = std::make_unique<TMemoryStream>();
  const NarrowString content = WideToNarrow(systemId);
  stream->Write(content.data(), static_cast<int64_t>(content.size()));
  stream->Seek(0, soBeginning);
  return stream;
}

NarrowString WriteScratchFile(std::string_view name, std::string_view bytes) {
  static TScratchFolder folder;
  NarrowString path = folder.Path() + "/" + NarrowString(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) {
    Broken("a scratch file can be written", path);
  }
  return path;
}

void Broken(std::string_view property, std::string_view detail) {
  std::fprintf(stderr, "property broken: %.*s\n", static_cast<int>(property.size()),
               property.data());
  if (!detail.empty()) {
    std::fprintf(stderr, "detail: %.*s\n", static_cast<int>(detail.size()), detail.data());
  }
  std::abort();
}

} // namespace velmora::fuzz
