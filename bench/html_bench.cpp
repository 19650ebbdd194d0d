// Cleaning a generated page of a few MB (paragraphs with unclosed and misnested tags,
// tables, forms, scripts, non-Latin-1 text): the wrapper with the document service's
// settings beside the plain library calls with the same options, and the wrapper's own
// scans (recognition, script protection, nesting depth) over the same page.

#include <benchmark/benchmark.h>

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include "docservice/html/html_to_xml.h"
#include "docservice/html/markup_recognition.h"
#include "docservice/html/script_prescan.h"

namespace velmora {
namespace {

NarrowString GeneratedPage(int rows) {
  NarrowString page = "<!DOCTYPE html>\n<html><head><title>Liste</title>\n";
  for (int i = 0; i < rows; ++i) {
    const NarrowString n = std::to_string(i);
    page += "<p class=row" + n + ">Eintrag " + n + " f\xC3\xBCr <b>Gr\xC3\xB6\xC3\x9F" "e <i>" + n +
            "</b> \xE2\x82\xAC &amp; \xD0\x9C\xD0\xB8\xD1\x80<br>\n";
    if (i % 20 == 0) {
      page += "<table><tr><td><form action=/f" + n + "><input name=q value=" + n +
              "></td><td>zelle</form></td></tr></table>\n"
              "<script>document.write(\"<b>\" + " + n + " + \"</b>\");</script>\n";
    }
  }
  return page + "</body></html>\n";
}

const NarrowString& Page() {
  static const NarrowString page = GeneratedPage(40000);
  return page;
}

void BM_LibraryCalls(benchmark::State& state) {
  const NarrowString& page = Page();
  for (auto _ : state) {
    TidyDoc doc = tidyCreate();
    TidyBuffer errors, input, output;
    tidyBufInit(&errors);
    tidyBufInit(&input);
    tidyBufInit(&output);
    tidySetErrorBuffer(doc, &errors);
    tidyOptSetBool(doc, TidyForceOutput, yes);
    tidyOptSetBool(doc, TidyMark, no);
    tidyOptSetBool(doc, TidyXmlDecl, yes);
    tidyOptSetBool(doc, TidyXmlPIs, yes);
    tidyOptSetBool(doc, TidyQuoteNbsp, no);
    tidyOptSetBool(doc, TidyNumEntities, yes);
    tidyOptSetInt(doc, TidyWrapLen, 0);
    tidySetCharEncoding(doc, "utf8");
    tidySetOutCharEncoding(doc, "latin1");
    tidyOptSetValue(doc, TidyDoctype, "omit");
    tidyOptSetBool(doc, TidyXmlOut, yes);
    tidyBufAppend(&input, const_cast<char*>(page.data()), static_cast<uint>(page.size()));
    tidyParseBuffer(doc, &input);
    tidyCleanAndRepair(doc);
    tidyRunDiagnostics(doc);
    tidySaveBuffer(doc, &output);
    benchmark::DoNotOptimize(output.size);
    tidyRelease(doc);
    tidyBufFree(&output);
    tidyBufFree(&input);
    tidyBufFree(&errors);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LibraryCalls)->Unit(benchmark::kMillisecond);

void BM_CleanHtmlToXml(benchmark::State& state) {
  const NarrowString& page = Page();
  TOwned<TTidy> tidy(new TTidy);
  ConfigureForXmlLoading(*tidy);
  for (auto _ : state) {
    benchmark::DoNotOptimize(CleanHtmlToXml(*tidy, page));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CleanHtmlToXml)->Unit(benchmark::kMillisecond);

void BM_RecognizeProtectAndMeasure(benchmark::State& state) {
  const NarrowString& page = Page();
  for (auto _ : state) {
    benchmark::DoNotOptimize(RecognizeMarkup(page));
    benchmark::DoNotOptimize(ProtectScripts(page));
    benchmark::DoNotOptimize(NestingDepth(page, TTidy::kMaxNestingDepth));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_RecognizeProtectAndMeasure)->Unit(benchmark::kMillisecond);

// A page nested far beyond the limit is refused after one linear scan.
void BM_RefuseDeepPage(benchmark::State& state) {
  NarrowString deep;
  for (int i = 0; i < 1000000; ++i) {
    deep += "<div>";
  }
  TOwned<TTidy> tidy(new TTidy);
  for (auto _ : state) {
    try {
      tidy->CleanText(deep);
    } catch (const ETidyError&) {
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * deep.size()));
}
BENCHMARK(BM_RefuseDeepPage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
