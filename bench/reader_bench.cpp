// Reading: every load decodes its file through an input source to code points with
// positions, and the reader chain turns them into signals. The inputs are backup files of
// about 100 MB in UTF-8, UTF-16LE and Windows-1252, written by the shared backup
// generator into a temporary folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "dom/wide_string_builder.h"
#include "runtime/streams.h"
#include "xml/doc_reader.h"
#include "xml/input_sources.h"
#include "xml/wf_test_handler.h"

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
  // reader does not care that the result holds several root elements); for an encoding
  // named "...-single", one document of about 100 MB.
  NarrowString Make(const NarrowString& name) {
    const NarrowString kSingle = "-single";
    if (name.ends_with(kSingle)) {
      const NarrowString encoding = name.substr(0, name.size() - kSingle.size());
      const NarrowString path = (FFolder / ("single-" + encoding + ".xml")).string();
      const NarrowString command = NarrowString("python3 '") + VELMORA_BACKUP_GENERATOR +
                                   "' --devices 4 --backups 8 --contacts 20000 --encoding " +
                                   encoding + " -o '" + path + "'";
      return std::system(command.c_str()) == 0 ? path : NarrowString();
    }
    const NarrowString& encoding = name;
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

// The whole file in memory, as the document service hands it to the parser.
NarrowString FileContent(const NarrowString& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// The reader as the tokenizer drives it: runs of text and of markup, positions asked
// for at every token boundary only.
void BM_ReadRunsThroughInputSource(benchmark::State& state, const NarrowString& encoding) {
  const NarrowString path = InputFiles().Get(encoding);
  if (path.empty()) {
    state.SkipWithError("the backup generator did not run");
    return;
  }
  const NarrowString content = FileContent(path);
  constexpr TCharSet kTextStop(u"<&");
  constexpr TCharSet kMarkupStop(u">");
  for (auto _ : state) {
    TMemoryStream stream(content.data(), static_cast<int64_t>(content.size()));
    TXmlInputSource source(&stream, u"", u"", 4096, nullptr, false, 0, 0, 0, 0, 1);
    TUtilsCustomWideStr token;
    int64_t sum = 0;
    int64_t tokens = 0;
    while (!source.AtEnd() && source.Lookahead().Code != kEndOfInput) {
      const CharPosition start = source.Lookahead();
      source.Advance();
      token.clear();
      token.addUCS4Char(source.Current().Code);
      source.AppendUntil(source.Current().Code == '<' ? kMarkupStop : kTextStop, token);
      sum += start.StartByte() + start.Column() + source.Current().Column() +
             static_cast<int64_t>(token.length());
      ++tokens;
    }
    benchmark::DoNotOptimize(sum);
    state.counters["tokens"] = static_cast<double>(tokens);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(content.size()));
}

// Counts what reaches the end of the chain.
class TSignalCounter final : public TXmlCustomHandler {
public:
  void ProcessSignal(TXmlSignal& signal) override {
    ++Count;
    Kinds += signal.Kind();
  }
  int64_t Count = 0;
  int64_t Kinds = 0;
};

// Tokenizer, document reader and well-formedness handler over the file in memory.
void BM_ReadChain(benchmark::State& state, const NarrowString& encoding) {
  const NarrowString path = InputFiles().Get(encoding);
  if (path.empty()) {
    state.SkipWithError("the backup generator did not run");
    return;
  }
  // One document: the repeated body would be a second root element.
  NarrowString content = FileContent(path);
  TOwned<TXmlStandardDocReader> reader(new TXmlStandardDocReader);
  TOwned<TXmlWFTestHandler> checker(new TXmlWFTestHandler);
  TOwned<TSignalCounter> counter(new TSignalCounter);
  reader->SetNextHandler(checker.get());
  checker->SetNextHandler(counter.get());
  for (auto _ : state) {
    TMemoryStream stream(content.data(), static_cast<int64_t>(content.size()));
    TXmlInputSource source(&stream, u"", u"", 4096, nullptr, false, 0, 0, 0, 0, 1);
    counter->Count = 0;
    if (!reader->ParseDocument(&source)) {
      state.SkipWithError("the document was refused");
      return;
    }
    state.counters["signals"] = static_cast<double>(counter->Count);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(content.size()));
}

BENCHMARK_CAPTURE(BM_ReadRunsThroughInputSource, Utf8, NarrowString("utf-8"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadRunsThroughInputSource, Utf16LE, NarrowString("utf-16"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadRunsThroughInputSource, Windows1252, NarrowString("windows-1252"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadChain, Utf8, NarrowString("utf-8-single"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadChain, Utf16LE, NarrowString("utf-16-single"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReadChain, Windows1252, NarrowString("windows-1252-single"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

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
