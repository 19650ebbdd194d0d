// XPath: the input is an expression's text (UTF-8), parsed and evaluated against a fixed
// small document that was loaded through the document service. Evaluating the same
// expression twice gives the same result, and every node of a node set belongs to the
// document (or, for a namespace node, to the result).

#include "docservice/document_service.h"
#include "dom/document.h"
#include "tests/fuzz/fuzz_support.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_expression.h"

namespace velmora::fuzz {
namespace {

constexpr std::string_view kDocument =
    "<?xml version='1.0'?>\n"
    "<?app mode='test'?>\n"
    "<Data xmlns='urn:data' xmlns:p='urn:p' version='2'>\n"
    "  <!-- backed-up devices -->\n"
    "  <Folder name='Nokia 6230i' id='f1'>\n"
    "    <Folder name='2026-01-01 12:00'>\n"
    "      <Contact p:kind='person'><Name>M\xC3\xBCller</Name>\n"
    "        <Number type='general'>0697 6369886</Number>\n"
    "        <Number type='Work'>+1 555 1716087</Number><Text/></Contact>\n"
    "      <Contact><Name>Zo\xC3\xAB &amp; Co</Name><![CDATA[<raw>]]>\n"
    "        <Number type=''>-12.5e0</Number><Number>NaN</Number></Contact>\n"
    "    </Folder>\n"
    "  </Folder>\n"
    "  <p:Folder name='empty'><p:x xml:lang='de-AT'>1</p:x><y>2</y><y>3.75</y></p:Folder>\n"
    "</Data>\n";

struct TFixture {
  TOwned<TvxDomImplementation> Service{new TvxDomImplementation};
  TDomDocumentXPath* Document = Service->LoadFromText(NarrowString(kDocument), ptXml);
  TOwned<TXPathExpression> Query{new TXPathExpression};
};

struct TOutcome {
  bool Evaluated = false;
  int Length = 0;
  WideString Text;
  bool operator==(const TOutcome&) const = default;
};

TOutcome Evaluate(TXPathExpression& query) {
  TOutcome outcome;
  outcome.Evaluated = query.Evaluate();
  if (outcome.Evaluated) {
    outcome.Length = query.ResultLength();
    outcome.Text = query.AsWideString();
    query.AsNumber();
    query.AsBoolean();
  }
  return outcome;
}

void CheckNodes(const TXPathExpression& query, const TDomDocumentXPath* document) {
  for (int i = 0; i < query.ResultLength(); ++i) {
    const TDomNode* node = query.ResultNode(i);
    if (!node) {
      Broken("every index below the result's length gives a node");
    }
    if (node->nodeType() != nkXPathNamespace && node != document &&
        node->ownerDocument() != document) {
      Broken("the nodes of a result belong to the document");
    }
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  using namespace velmora::fuzz;
  static TFixture fixture;
  TXPathExpression& query = *fixture.Query;
  try {
    query.SetExpression(NarrowToWide(AsText(data, size)));
    query.SetContextNode(fixture.Document);
    const TOutcome first = Evaluate(query);
    if (first.Evaluated) {
      CheckNodes(query, fixture.Document);
    }
    if (!(Evaluate(query) == first)) {
      Broken("evaluating an expression again gives the same result");
    }
  } catch (const Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  return 0;
}
