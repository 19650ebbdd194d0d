#include "xpath/function_arguments.h"

#include "runtime/format.h"
#include "xpath/expression_nodes.h"

namespace velmora {

namespace {

// The mismatch errors, by the class an argument must have.
constexpr const char* kMismatchPattern = "Argument mismatch error in %S(): Expression does not "
                                         "evaluate to %s";

} // namespace

TDomXPathArguments::TDomXPathArguments(const TDomXPathFunctionCall& call,
                                       const TDomXPathContext& context)
    : FCall(call), FContext(context), FArguments(call.Arguments()) {}

void TDomXPathArguments::Raise(const char* pattern) const {
  throw EXPath_Invalid_Function_Call_Err(Format(pattern, {FCall.LocalName()}));
}

void TDomXPathArguments::CheckCount(size_t minimum, size_t maximum) const {
  if (FArguments.size() < minimum || FArguments.size() > maximum) {
    Raise("Arguments mismatch error in %S().");
  }
}

TDomXPathResultPtr TDomXPathArguments::Value(size_t index) const {
  return EvaluateExpression(FArguments[index], FContext);
}

TDomXPathNodeSetPtr TDomXPathArguments::NodeSet(size_t index) const {
  TDomXPathResultPtr value = Value(index);
  if (value->ResultType() != rtNodeSet) {
    throw EXPath_Invalid_Function_Call_Err(
        Format(kMismatchPattern, {FCall.LocalName(), "node-set."}));
  }
  return TDomXPathNodeSetPtr(static_cast<TDomXPathNodeSetResult*>(value.release()));
}

WideString TDomXPathArguments::CheckedString(const TDomXPathCustomResult& value) const {
  if (value.ResultType() != rtString) {
    throw EXPath_Invalid_Function_Call_Err(Format(kMismatchPattern, {FCall.LocalName(), "string."}));
  }
  return value.AsWideString();
}

bool TDomXPathArguments::CheckedBoolean(const TDomXPathCustomResult& value) const {
  if (value.ResultType() != rtBoolean) {
    throw EXPath_Invalid_Function_Call_Err(
        Format(kMismatchPattern, {FCall.LocalName(), "boolean."}));
  }
  return value.AsBoolean();
}

double TDomXPathArguments::CheckedNumber(const TDomXPathCustomResult& value,
                                         const char* message) const {
  if (value.ResultType() != rtNumber) {
    throw EXPath_Invalid_Function_Call_Err(Format(kMismatchPattern, {FCall.LocalName(), message}));
  }
  return value.AsNumber();
}

TDomNode* TDomXPathArguments::ContextNode() const {
  if (!FContext.Node) {
    Raise("Context node not specified for %S().");
  }
  return FContext.Node;
}

} // namespace velmora
