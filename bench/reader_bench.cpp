// Reading: every load decodes its file through an input source to code points with
// positions. The inputs are backup files of about 100 MB in UTF-8, UTF-16LE and
// Windows-1252, written by the shared backup generator into a temporary folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "runtime/streams.h"
#include "xml/input_sources.h"

namespace velmora {
namespace {

constexpr int64_t kTargetSize = 100 << 20;

class TInputFiles {
public:
  TInputFiles() {
    std::error_code ignored;
    FFolder = std::filesystem::temp_directory_path(ignored) /
              ("velmora-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(FFolder, ignored);
  }
  ~TInputFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
  }

  // The file for an encoding of the generator, made on first use; empty when the generator
  // failed.
  NarrowString Get(const NarrowString& encoding) {
    auto found = FFiles.find(encoding);
    if (found == FFiles.end()) {
      found = FFiles.emplace(encoding, Make(encoding)).first;
    }
    return found->second;
  }

private:
  // About 10 MB from the generator, its body then repeated up to the target size (the
  // reader does not care that the result holds several root elements).
  NarrowString Make(const NarrowString& encoding) {
    const NarrowString sample = (FFolder / ("sample-" + encoding + ".xml")).string();
    const NarrowString command = NarrowString("python3 '") + VELMORA_BACKUP_GENERATOR +
                                 "' --devices 4 --backups 4 --contacts 3000 --encoding " +
                                 encoding + " -o '" + sample + "'";
    if (std::system(command.c_str()) != 0) {
      return NarrowString();
    }
    std::ifstream in(sample, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const NarrowString text = content.str();
    // The body starts after the first line break (in UTF-16LE, after "\n\0").
    const bool wide = encoding == "utf-16";
    size_t bodyStart = text.find('\n') + (wide ? 2 : 1);
    if (bodyStart > text.size() || text.empty()) {
      return NarrowString();
    }
    const std::string_view body = std::string_view(text).substr(bodyStart);
    const NarrowString path = (FFolder / ("input-" + encoding + ".xml")).string();
    std::ofstream out(path, std::ios::binary);
    out << text;
    for (int64_t size = static_cast<int64_t>(text.size()); size < kTargetSize;
         size += static_cast<int64_t>(body.size())) {
      out << body;
    }
    return out ? path : NarrowString();
  }

  std::filesystem::path FFolder;
  std::map<NarrowString, NarrowString> FFiles;
};

TInputFiles& InputFiles() {
  static TInputFiles files;
  return files;
}

void BM_ReadThroughInputSource(benchmark::State& state, const NarrowString& encoding) {
  const NarrowString path = InputFiles().Get(encoding);
  if (path.empty()) {
    state.SkipWithError("the backup generator did not run");
    return;
  }
  int64_t bytes = 0;
  for (auto _ : state) {
    TFileStream stream(path, faRead);
    TXmlInputSource source(&stream, u"", u"", 4096, nullptr, false, 0, 0, 0, 0, 1);
    int64_t sum = 0;
    for (source.Next(); !source.AtEnd(); source.Next()) {
      sum += source.Current().Code + source.Current().Column();
    }
    benchmark::DoNotOptimize(sum);
    state.counters["lines"] = static_cast<double>(source.Current().Line);
    bytes = stream.Size();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK_CAPTURE(BM_ReadThroughInputSource, Utf8, NarrowString("utf-8"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadThroughInputSource, Utf16LE, NarrowString("utf-16"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadThroughInputSource, Windows1252, NarrowString("windows-1252"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace velmora
