// The DTD subset reader on its own, through the DTD-to-model parser. The first byte picks
// the subset kind (internal or external), whether external parameter entities are read and
// the standalone value of the document; the rest is the subset's bytes.

#include "tests/fuzz/fuzz_support.h"
#include "xml/dtd_model.h"
#include "xml/dtd_model_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  if (size < 2) {
    return 0;
  }
  const bool external = (data[0] & 1) != 0;
  const bool readExternal = (data[0] & 2) != 0;
  const auto standalone = static_cast<TDomStandalone>((data[0] >> 2) % 3);
  const std::string_view bytes = AsText(data + 1, size - 1);

  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TFuzzResolver> resolver(new TFuzzResolver);
  implementation->SetResourceResolver(resolver.get());
  TDtdModel model;
  TOwned<TDtdToDtdModelParser> parser(new TDtdToDtdModelParser);
  parser->SetDOMImpl(implementation.get());
  parser->SetDtdModel(&model);
  try {
    if (external) {
      parser->ParseExtSubsetString(bytes, u"", false, nullptr, u"file:///fuzz/doc.dtd");
    } else {
      parser->ParseIntSubsetString(bytes, u"", readExternal, {}, standalone, nullptr,
                                   u"file:///fuzz/doc.dtd");
    }
  } catch (const Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  return 0;
}
