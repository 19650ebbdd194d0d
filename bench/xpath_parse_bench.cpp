// Parsing XPath expressions: the converter parses some 70,000 per export, each in a new
// expression object, so a parse must cost little more than reading the text once.

#include <benchmark/benchmark.h>

#include <iterator>

#include "xpath/syntax_tree.h"

namespace velmora {
namespace {

// The converter's queries, and two of the kind a caller of the document service writes.
constexpr std::u16string_view kQueries[] = {
    u"/Data/Folder/Folder[Folder/@name[1]='Contacts']",
    u"../@name[1]",
    u"@name[1]",
    u"Folder/Contact",
    u"Name[1]",
    u"Text",
    u"text()",
    u"@type",
    u"Number",
    u"Item[@type='Name']/@value",
    u"count(//*)",
};

// A new tree for every parse, as each query has an expression object of its own.
void BM_PrepareQueries(benchmark::State& state) {
  for (auto _ : state) {
    for (std::u16string_view query : kQueries) {
      TDomXPathSyntaxTree tree;
      benchmark::DoNotOptimize(tree.Prepare(query));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(kQueries)));
}
BENCHMARK(BM_PrepareQueries);

// One tree parsing again and again: its storage is reused.
void BM_PrepareQueriesReusedTree(benchmark::State& state) {
  TDomXPathSyntaxTree tree;
  for (auto _ : state) {
    for (std::u16string_view query : kQueries) {
      benchmark::DoNotOptimize(tree.Prepare(query));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(kQueries)));
}
BENCHMARK(BM_PrepareQueriesReusedTree);

// Long flat texts: a union of n terms and a path of n steps.
void PrepareRepeated(benchmark::State& state, std::u16string_view head, std::u16string_view unit) {
  WideString text(head);
  for (int64_t i = 1; i < state.range(0); ++i) {
    text += unit;
  }
  for (auto _ : state) {
    TDomXPathSyntaxTree tree;
    if (!tree.Prepare(text)) {
      state.SkipWithError("refused");
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PrepareUnion(benchmark::State& state) {
  PrepareRepeated(state, u"a", u"|a");
}
BENCHMARK(BM_PrepareUnion)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_PreparePath(benchmark::State& state) {
  PrepareRepeated(state, u"/Folder", u"/Folder");
}
BENCHMARK(BM_PreparePath)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
