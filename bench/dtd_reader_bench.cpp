// Reading DTDs: a generated external subset of element type and attribute-list
// declarations goes through the DTD reader and the well-formedness handler. Two sizes show
// that the time grows linearly; a second subset builds the same declarations from
// parameter entities, which are expanded at every reference. libxml2 parsing the same
// texts into its DTD tree is the peer.

#include <benchmark/benchmark.h>

#include <string>

#include "runtime/streams.h"
#include "xml/dtd_reader.h"
#include "xml/wf_test_handler.h"

#if defined(VELMORA_WITH_LIBXML2)
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace velmora {
namespace {

// count ELEMENT and count ATTLIST declarations, with a comment now and then.
std::string Subset(int64_t count, bool withEntities) {
  std::string text = "<?xml version='1.0' encoding='UTF-8'?>\n";
  if (withEntities) {
    text += "<!ENTITY % common 'id ID #IMPLIED class CDATA #IMPLIED'>\n"
            "<!ENTITY % inline '(#PCDATA|b|i|em)*'>\n";
  }
  for (int64_t i = 0; i < count; ++i) {
    const std::string name = "e" + std::to_string(i);
    if (i % 100 == 0) {
      text += "<!-- declarations of " + name + " and on -->\n";
    }
    text += "<!ELEMENT " + name + (withEntities ? " %inline;>\n" : " (a,(b|c)*,d?)>\n");
    text += "<!ATTLIST " + name + (withEntities ? " %common;" : " id ID #IMPLIED") +
            "\n    kind (x|y|z) 'x' note CDATA #IMPLIED>\n";
  }
  return text;
}

class TSignalCounter final : public TXmlCustomHandler {
public:
  void ProcessSignal(TXmlSignal&) override { ++Count; }
  int64_t Count = 0;
};

void BM_ReadExternalSubset(benchmark::State& state, bool withEntities) {
  const std::string text = Subset(state.range(0), withEntities);
  TOwned<TXmlStandardDtdReader> reader(new TXmlStandardDtdReader);
  TOwned<TXmlWFTestHandler> checker(new TXmlWFTestHandler);
  TOwned<TSignalCounter> counter(new TSignalCounter);
  reader->SetNextHandler(checker.get());
  checker->SetNextHandler(counter.get());
  for (auto _ : state) {
    reader->Reset();
    counter->Count = 0;
    TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    TXmlInputSource source(&stream, u"", u"file:///bench.dtd", 4096, nullptr, false, 0, 0, 0, 0,
                           1);
    if (!reader->ParseExternalSubset(&source)) {
      state.SkipWithError("the subset was refused");
      return;
    }
  }
  state.counters["signals"] = static_cast<double>(counter->Count);
  state.counters["declarations/s"] = benchmark::Counter(
      static_cast<double>(2 * state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(BM_ReadExternalSubset, plain, false)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadExternalSubset, with_entities, true)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);

#if defined(VELMORA_WITH_LIBXML2)
void BM_Libxml2ParseDtd(benchmark::State& state, bool withEntities) {
  const std::string text = Subset(state.range(0), withEntities);
  for (auto _ : state) {
    xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateMem(
        text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
    xmlDtdPtr dtd = xmlIOParseDTD(nullptr, buffer, XML_CHAR_ENCODING_NONE);
    if (!dtd) {
      state.SkipWithError("libxml2 refused the subset");
      return;
    }
    xmlFreeDtd(dtd);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(BM_Libxml2ParseDtd, plain, false)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Libxml2ParseDtd, with_entities, true)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace
} // namespace velmora
