// The document service's two-stage load of XML text: parse, then copy into an XPath
// document. A load either fails with a library exception or gives a document whose
// canonical form is that of the parse it came from, with its entities expanded: the copy
// loses nothing and adds nothing.

#include "docservice/document_service.h"
#include "dom/document.h"
#include "dom/node_lists.h"
#include "tests/fuzz/fuzz_support.h"
#include "xml/canonical_writer.h"
#include "xml/dtd_validation_agent.h"
#include "xml/xml_to_dom_parser.h"
#include "xpath/xpath_document.h"

namespace velmora::fuzz {
namespace {

// The canonical form of the text parsed as the service parses it, entities expanded;
// empty when that fails.
NarrowString ParsedForm(std::string_view text) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  parser->SetKeepCDATASections(true);
  parser->SetKeepComments(true);
  parser->SetKeepEntityRefs(false);
  try {
    TDomDocument* document = parser->ParseString(text, u"", nullptr, false);
    NarrowString form;
    if (document->validationAgent().ExpandDocument(TDtdValidationAgent::eoRewriteValues)) {
      form = CanonicalForm(document);
    }
    document->Free();
    return form;
  } catch (const Exception&) {
    return NarrowString();
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  static TOwned<TvxDomImplementation> service(new TvxDomImplementation);
  const std::string_view text = AsText(data, size);
  TDomDocumentXPath* document = nullptr;
  try {
    document = service->LoadFromText(NarrowString(text), ptXml);
  } catch (const Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  if (document) {
    const NarrowString loaded = CanonicalForm(document);
    document->Free();
    const NarrowString parsed = ParsedForm(text);
    if (loaded != parsed) {
      Broken("the XPath document holds what the parse gave", loaded + "\n----\n" + parsed);
    }
  }
  if (service->documents()->length() != 0) {
    Broken("a load keeps nothing but the document it hands out");
  }
  return 0;
}
