// The XML parser on bytes. The first byte picks the mode: 0 the parse alone, 1 the parse
// with the entities of the internal subset expanded, 2 the parse with the external subset
// and entities read and the document validated. A document that is accepted in modes 0 and
// 1 must give a canonical form that parses again to the same form.

#include "dom/document.h"
#include "tests/fuzz/fuzz_support.h"
#include "xml/canonical_writer.h"
#include "xml/dom_builder.h"
#include "xml/dtd_validation_agent.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora::fuzz {
namespace {

enum TMode : uint8_t { mdParse = 0, mdExpand = 1, mdValidate = 2 };

struct TFreeDocument {
  void operator()(TDomDocument* document) const { document->Free(); }
};
using TDocumentPtr = std::unique_ptr<TDomDocument, TFreeDocument>;

class TParserSetup {
public:
  explicit TParserSetup(TMode mode) {
    FParser->SetDOMImpl(FImplementation.get());
    FImplementation->SetResourceResolver(FResolver.get());
    if (mode == mdValidate) {
      FParser->Builder()->SetDocTypeDeclTreatment(dtCheckValidity);
    } else {
      // As for the canonical form: no CDATA sections, comments or predefined references.
      FParser->SetKeepCDATASections(false);
      FParser->SetKeepComments(false);
      FParser->SetKeepEntityRefs(false);
    }
  }

  // The document, or none when the parse refused the bytes.
  TDocumentPtr Parse(std::string_view bytes) {
    try {
      return TDocumentPtr(FParser->ParseString(bytes, u"file:///fuzz/doc.xml", nullptr, false));
    } catch (const EParserException&) {
      return nullptr;
    }
  }

private:
  TOwned<TDomImplementation> FImplementation{new TDomImplementation};
  TOwned<TFuzzResolver> FResolver{new TFuzzResolver};
  TOwned<TXmlToDomParser> FParser{new TXmlToDomParser};
};

// The canonical form (after the expansion when expand is set), or empty when the expansion
// failed.
NarrowString Form(TDomDocument& document, bool expand) {
  if (expand && !document.validationAgent().ExpandDocument(TDtdValidationAgent::eoAddDefaults)) {
    return NarrowString();
  }
  return CanonicalForm(&document);
}

void CheckFormParsesToItself(const NarrowString& form, bool expand) {
  TParserSetup setup(expand ? mdExpand : mdParse);
  TDocumentPtr again = setup.Parse(form);
  if (!again) {
    Broken("the canonical form of an accepted document parses", form);
  }
  if (Form(*again, expand) != form) {
    Broken("the canonical form parses to itself", form);
  }
}

void Run(TMode mode, std::string_view bytes) {
  TParserSetup setup(mode);
  TDocumentPtr document = setup.Parse(bytes);
  if (!document) {
    return;
  }
  if (mode == mdValidate) {
    document->validationAgent().ValidateDocument(etReplace);
    return;
  }
  const bool expand = mode == mdExpand;
  const NarrowString form = Form(*document, expand);
  if (!form.empty()) {
    CheckFormParsesToItself(form, expand);
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora::fuzz;
  if (size < 2) {
    return 0;
  }
  const TMode mode = static_cast<TMode>(data[0] % 3);
  try {
    Run(mode, AsText(data + 1, size - 1));
  } catch (const velmora::Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  return 0;
}
