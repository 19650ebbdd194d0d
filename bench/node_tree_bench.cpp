// The node tree at the size of a large backup file: a million elements built, listed by
// name, compared in document order and freed; and the bulk changes that must stay linear:
// freeing an element with many attributes, normalizing a long run of texts, removing
// children from the front.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/node_lists.h"
#include "dom/other_nodes.h"
#include "runtime/strings.h"

namespace velmora {
namespace {

constexpr int kElements = 1'000'000;

// Folders of 100 contacts of 4 fields each, below one root.
TDomDocumentNS* BuildTree(std::vector<TDomElement*>* all = nullptr) {
  auto* document = new TDomDocumentNS;
  auto* root = new TDomElement(document, u"", u"Data");
  document->appendChild(root);
  TDomElement* folder = nullptr;
  TDomElement* contact = nullptr;
  for (int i = 1; i < kElements; ++i) {
    TDomElement* element;
    if (i % 500 == 1) {
      element = folder = new TDomElement(document, u"", u"Folder");
      root->appendChild(element);
    } else if (i % 5 == 2) {
      element = contact = new TDomElement(document, u"", u"Contact");
      folder->appendChild(element);
    } else {
      element = new TDomElement(document, u"", u"Number");
      contact->appendChild(element);
    }
    if (all) {
      all->push_back(element);
    }
  }
  return document;
}

void BM_BuildAndFreeTree(benchmark::State& state) {
  for (auto _ : state) {
    TDomDocumentNS* document = BuildTree();
    document->Free();
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_BuildAndFreeTree)->Unit(benchmark::kMillisecond);

void BM_LiveListReadWithItem(benchmark::State& state) {
  TDomDocumentNS* document = BuildTree();
  for (auto _ : state) {
    TDomNodeList* all = document->getElementsByTagNameNS(u"*", u"*");
    const int length = all->length();
    size_t sum = 0;
    for (int i = 0; i < length; ++i) {
      sum += reinterpret_cast<uintptr_t>(all->item(i));
    }
    benchmark::DoNotOptimize(sum);
    // Change the tree so that the next round walks it again.
    document->documentElement()->appendChild(new TDomElement(document, u"", u"Folder"));
  }
  state.SetItemsProcessed(state.iterations() * kElements);
  document->Free();
}
BENCHMARK(BM_LiveListReadWithItem)->Unit(benchmark::kMillisecond);

void BM_CompareDocumentPosition(benchmark::State& state) {
  std::vector<TDomElement*> all;
  TDomDocumentNS* document = BuildTree(&all);
  std::mt19937 random(11);
  std::uniform_int_distribution<size_t> pick(0, all.size() - 1);
  for (auto _ : state) {
    unsigned flags = 0;
    for (int i = 0; i < 1'000'000; ++i) {
      flags += all[pick(random)]->compareDocumentPosition(all[pick(random)]);
    }
    benchmark::DoNotOptimize(flags);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
  document->Free();
}
BENCHMARK(BM_CompareDocumentPosition)->Unit(benchmark::kMillisecond);

constexpr int kBulk = 100'000;

void BM_FreeElementWithManyAttributes(benchmark::State& state) {
  auto* document = new TDomDocument;
  std::vector<WideString> names;
  for (int i = 0; i < kBulk; ++i) {
    names.push_back(u"a" + NarrowToWide(std::to_string(i)));
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto* element = new TDomElement(document, u"wide");
    for (const WideString& name : names) {
      element->setAttribute(name, u"v");
    }
    state.ResumeTiming();
    element->Free();
  }
  state.SetItemsProcessed(state.iterations() * kBulk);
  document->Free();
}
BENCHMARK(BM_FreeElementWithManyAttributes)->Unit(benchmark::kMillisecond);

void BM_NormalizeTextsBeforeComments(benchmark::State& state) {
  auto* document = new TDomDocument;
  for (auto _ : state) {
    state.PauseTiming();
    auto* element = new TDomElement(document, u"mixed");
    for (int i = 0; i < kBulk; ++i) {
      auto* text = new TDomText(document);
      text->setNodeValue(u"t");
      element->appendChild(text);
    }
    for (int i = 0; i < kBulk; ++i) {
      element->appendChild(new TDomComment(document));
    }
    state.ResumeTiming();
    element->normalize();
    state.PauseTiming();
    if (element->childNodes()->length() != kBulk + 1) {
      state.SkipWithError("normalize merged the wrong nodes");
    }
    element->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBulk);
  document->Free();
}
BENCHMARK(BM_NormalizeTextsBeforeComments)->Unit(benchmark::kMillisecond);

void BM_RemoveChildrenFromTheFront(benchmark::State& state) {
  auto* document = new TDomDocument;
  for (auto _ : state) {
    state.PauseTiming();
    auto* element = new TDomElement(document, u"list");
    for (int i = 0; i < kBulk; ++i) {
      element->appendChild(new TDomElement(document, u"item"));
    }
    state.ResumeTiming();
    while (TDomNode* first = element->firstChild()) {
      element->removeChild(first);
    }
    state.PauseTiming();
    document->clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBulk);
  document->Free();
}
BENCHMARK(BM_RemoveChildrenFromTheFront)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
