#pragma once
// A document parsed from text for the DTD tests, with every error kind it reported.

#include <algorithm>
#include <string_view>
#include <vector>

#include "dom/document.h"
#include "xml/dom_builder.h"
#include "xml/dtd_validation_agent.h"
#include "xml/resource_resolvers.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora::testing {

class TParsedDocument {
public:
  // systemId names the document (and the base of its external resources, which are read
  // when readExternal is set).
  explicit TParsedDocument(std::string_view text, bool readExternal = false,
                           const WideString& systemId = WideString()) {
    FParser->SetDOMImpl(FImplementation.get());
    FImplementation->SetResourceResolver(FResolver.get());
    if (readExternal) {
      FParser->Builder()->SetDocTypeDeclTreatment(dtCheckValidity);
    }
    FImplementation->OnError = [this](void*, const TDomError& error, bool&) {
      Kinds.push_back(error.ErrorKind());
      Clues.push_back(error.Clue());
    };
    try {
      Document = FParser->ParseString(text, systemId, nullptr, false);
    } catch (const Exception&) {
      Document = nullptr;
    }
  }
  ~TParsedDocument() {
    if (Document) {
      Document->Free();
    }
  }
  TParsedDocument(const TParsedDocument&) = delete;
  TParsedDocument& operator=(const TParsedDocument&) = delete;

  TDtdValidationAgent& Agent() const { return Document->validationAgent(); }
  TDtdModel& Model() const { return Agent().DtdModel(); }
  bool Reported(int kind) const { return std::count(Kinds.begin(), Kinds.end(), kind) != 0; }
  // The kinds reported by a validation alone.
  std::vector<int> Validate(TDtdEntityTreatment treatment, bool* valid = nullptr) {
    Kinds.clear();
    const bool result = Agent().ValidateDocument(treatment);
    if (valid) {
      *valid = result;
    }
    return Kinds;
  }

  TDomDocument* Document = nullptr;
  std::vector<int> Kinds;
  std::vector<WideString> Clues;

private:
  TOwned<TDomImplementation> FImplementation{new TDomImplementation};
  TOwned<TStandardResourceResolver> FResolver{new TStandardResourceResolver};
  TOwned<TXmlToDomParser> FParser{new TXmlToDomParser};
};

} // namespace velmora::testing
