// Loading: the generated backups of 19 MB and 170 MB parsed into a document and freed, and
// the parsed document copied into a second one through the DOM reader and a builder, as
// the document service does. Validating: the 19 MB backup with a document type declaration
// that names a DTD for its elements, parsed with the DTD read and validated. The files are written by the shared backup generator into a
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
#include "xml/dtd_validation_agent.h"
#include "xml/resource_resolvers.h"
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
  // The file of the generator's arguments with a DTD beside it and a document type
  // declaration that names it; empty on failure.
  NarrowString WithDtd(const NarrowString& arguments) {
    if (Get(arguments).empty()) {
      return NarrowString();
    }
    const NarrowString base = FPaths[arguments];
    const NarrowString command = NarrowString("python3 '") + VELMORA_DTD_GENERATOR + "' '" + base +
                                 "' '" + base + ".dtd' '" + base + ".valid'";
    return std::system(command.c_str()) == 0 ? base + ".valid" : NarrowString();
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
      FPaths[arguments] = path;
      found = FContents.emplace(arguments, std::move(content)).first;
    }
    return found->second;
  }

private:
  std::filesystem::path FFolder;
  std::map<NarrowString, NarrowString> FContents;
  std::map<NarrowString, NarrowString> FPaths;
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

// The parse with the DTD read, with and without the validation of the whole document.
void BM_Validate(benchmark::State& state, const char* arguments, bool validate) {
  const NarrowString path = Files().WithDtd(arguments);
  if (path.empty()) {
    state.SkipWithError("the generators did not run");
    return;
  }
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TStandardResourceResolver> resolver(new TStandardResourceResolver);
  implementation->SetResourceResolver(resolver.get());
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  parser->Builder()->SetDocTypeDeclTreatment(dtCheckValidity);
  for (auto _ : state) {
    TDomDocument* document = parser->ParseFile(path);
    if (validate && !document->validationAgent().ValidateDocument(etReplace)) {
      state.SkipWithError("the backup is not valid");
    }
    document->Free();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Files().Get(arguments).size()));
}

BENCHMARK_CAPTURE(BM_Validate, Backup19MBWithDtd, kSmall, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Validate, Backup19MBValidated, kSmall, true)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
