#include "xpath/results.h"

#include "dom/dom_exceptions.h"
#include "xpath/number_text.h"

namespace velmora {

namespace {

void CheckAssigned(const TDomXPathResultPtr& result) {
  if (!result) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

} // namespace

WideString TDomXPathNumberResult::AsWideString() const {
  return XPathNumberToString(FValue);
}

double TDomXPathStringResult::AsNumber() const {
  return XPathStringToNumber(FValue);
}

TDomXPathResultPtr NewBooleanResult(bool value) {
  return TDomXPathResultPtr(new TDomXPathBooleanResult(value));
}

TDomXPathResultPtr NewNumberResult(double value) {
  return TDomXPathResultPtr(new TDomXPathNumberResult(value));
}

TDomXPathResultPtr NewStringResult(WideString value) {
  return TDomXPathResultPtr(new TDomXPathStringResult(std::move(value)));
}

TDomXPathResultPtr ToBooleanResult(TDomXPathResultPtr result) {
  CheckAssigned(result);
  return result->ResultType() == rtBoolean ? std::move(result)
                                           : NewBooleanResult(result->AsBoolean());
}

TDomXPathResultPtr ToNumberResult(TDomXPathResultPtr result) {
  CheckAssigned(result);
  return result->ResultType() == rtNumber ? std::move(result) : NewNumberResult(result->AsNumber());
}

TDomXPathResultPtr ToStringResult(TDomXPathResultPtr result) {
  CheckAssigned(result);
  return result->ResultType() == rtString ? std::move(result)
                                          : NewStringResult(result->AsWideString());
}

} // namespace velmora
