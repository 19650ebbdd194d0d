// Name checking: every element and attribute name the parser reads goes through it.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "dom/xml_rules.h"

namespace velmora {
namespace {

// A million names like those of real documents: ASCII tags, prefixed names and some with
// letters beyond ASCII.
std::vector<WideString> MakeNames() {
  static const std::u16string_view kParts[] = {u"Folder", u"Contact", u"Number",       u"xml:lang",
                                               u"Name",   u"type",    u"xsl:template", u"Straße",
                                               u"данные", u"名前",    u"item-2",       u"_id"};
  std::mt19937 random(7);
  std::vector<WideString> names;
  names.reserve(1'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    names.emplace_back(kParts[random() % std::size(kParts)]);
  }
  return names;
}

void BM_ConformsToName(benchmark::State& state) {
  const std::vector<WideString> names = MakeNames();
  for (auto _ : state) {
    size_t valid = 0;
    for (const WideString& name : names) {
      valid += conformsToName(name);
    }
    benchmark::DoNotOptimize(valid);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}
BENCHMARK(BM_ConformsToName)->Unit(benchmark::kMillisecond);

void BM_SplitQName(benchmark::State& state) {
  const std::vector<WideString> names = MakeNames();
  WideString prefix;
  WideString localName;
  for (auto _ : state) {
    size_t valid = 0;
    for (const WideString& name : names) {
      valid += splitQName(name, prefix, localName);
    }
    benchmark::DoNotOptimize(valid);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}
BENCHMARK(BM_SplitQName)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
