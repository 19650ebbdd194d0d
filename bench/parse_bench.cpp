// Loading: the generated backups of 19 MB and 170 MB parsed into a document and freed, and
// the parsed document copied into a second one through the DOM reader and a builder, as
// the document service does. The files are written by the shared backup generator into a
// temporary folder. Peak memory and the comparison with xmllint are measured on whole
// processes (velmora-xml check against xmllint --noout).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "dom/document.h"
#include "xml/dom_builder.h"
#include "xml/dom_reader.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora {
namespace {

class TBackupFiles {
public:
  TBackupFiles() {
    std::error_code ignored;
    FFolder = std::filesystem::temp_directory_path(ignored) /
              ("velmora-parse-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(FFolder, ignored);
  }
  ~TBackupFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
  }
  // The whole file of the generator's arguments, made on first use; empty on failure.
  const NarrowString& Get(const NarrowString& arguments) {
    auto found = FContents.find(arguments);
    if (found == FContents.end()) {
      const NarrowString path = (FFolder / ("backup-" + std::to_string(FContents.size()))).string();
      const NarrowString command = NarrowString("python3 '") + VELMORA_BACKUP_GENERATOR + "' " +
                                   arguments + " -o '" + path + "'";
      NarrowString content;
      if (std::system(command.c_str()) == 0) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        content = bytes.str();
      }
      found = FContents.emplace(arguments, std::move(content)).first;
    }
    return found->second;
  }

private:
  std::filesystem::path FFolder;
  std::map<NarrowString, NarrowString> FContents;
};

TBackupFiles& Files() {
  static TBackupFiles files;
  return files;
}

const char* const kSmall = "--devices 3 --backups 8 --contacts 5000";
const char* const kLarge = "--devices 4 --backups 10 --contacts 25000";

void BM_Parse(benchmark::State& state, const char* arguments, bool copy) {
  const NarrowString& content = Files().Get(arguments);
  if (content.empty()) {
    state.SkipWithError("the backup generator did not run");
    return;
  }
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  TOwned<TXmlStandardDomReader> reader(new TXmlStandardDomReader);
  TOwned<TXmlDomBuilder> builder(new TXmlDomBuilder);
  builder->SetDocTypeDeclTreatment(dtIgnore);
  reader->SetNextHandler(builder.get());
  for (auto _ : state) {
    TDomDocument* document = parser->ParseString(content, u"", nullptr, false);
    if (copy) {
      auto* target = new TDomDocumentNS(implementation.get());
      builder->SetReferenceNode(target);
      if (!reader->ReadNode(document)) {
        state.SkipWithError("the copy stopped");
      }
      builder->SetReferenceNode(nullptr);
      target->Free();
    }
    document->Free();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(content.size()));
}

BENCHMARK_CAPTURE(BM_Parse, Backup19MB, kSmall, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, Backup19MBAndCopy, kSmall, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, Backup170MB, kLarge, false)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_Parse, Backup170MBAndCopy, kLarge, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
} // namespace velmora
