// HTML cleanup: a page cleaned into XML and loaded as the document service loads HTML. The
// load gives a document or fails with a library exception, and keeps nothing when it
// fails.

#include "docservice/document_service.h"
#include "dom/document.h"
#include "dom/node_lists.h"
#include "tests/fuzz/fuzz_support.h"
#include "xpath/xpath_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  static TOwned<TvxDomImplementation> service(new TvxDomImplementation);
  try {
    if (TDomDocumentXPath* document =
            service->LoadFromText(NarrowString(AsText(data, size)), ptHtml)) {
      document->Free();
    }
  } catch (const Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  if (service->documents()->length() != 0) {
    Broken("a load keeps nothing but the document it hands out");
  }
  return 0;
}
