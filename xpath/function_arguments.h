#pragma once
// What the core functions share: their arguments, evaluated with the call's context and
// checked by class, and the errors they raise (EXPath_Invalid_Function_Call_Err, with the
// function's name in the message).

#include <array>
#include <span>

#include "xpath/evaluation.h"

namespace velmora {

class TDomXPathExpr;
class TDomXPathFunctionCall;

class TDomXPathArguments {
public:
  TDomXPathArguments(const TDomXPathFunctionCall& call, const TDomXPathContext& context);

  size_t Count() const { return FArguments.size(); }
  // "Arguments mismatch error in f()." unless there are from minimum to maximum arguments.
  void CheckCount(size_t minimum, size_t maximum) const;
  void CheckCount(size_t count) const { CheckCount(count, count); }

  // The value of the argument at index, of any class.
  TDomXPathResultPtr Value(size_t index) const;
  // The value, which must be a node set.
  TDomXPathNodeSetPtr NodeSet(size_t index) const;
  // Raises the mismatch error of its class unless value is a string, a Boolean or a
  // number, and gives its value as such.
  WideString CheckedString(const TDomXPathCustomResult& value) const;
  bool CheckedBoolean(const TDomXPathCustomResult& value) const;
  // message: the ending of the mismatch error ("number." or "a number.").
  double CheckedNumber(const TDomXPathCustomResult& value, const char* message) const;
  WideString String(size_t index) const { return CheckedString(*Value(index)); }
  // The first count arguments, all evaluated before any is checked to be a string.
  template <size_t count> std::array<WideString, count> Strings() const {
    std::array<TDomXPathResultPtr, count> values;
    for (size_t i = 0; i < count; ++i) {
      values[i] = Value(i);
    }
    std::array<WideString, count> strings;
    for (size_t i = 0; i < count; ++i) {
      strings[i] = CheckedString(*values[i]);
    }
    return strings;
  }

  // The context node; "Context node not specified for f()." when there is none.
  TDomNode* ContextNode() const;
  const TDomXPathContext& Context() const { return FContext; }

  [[noreturn]] void Raise(const char* pattern) const;

private:
  const TDomXPathFunctionCall& FCall;
  const TDomXPathContext& FContext;
  std::span<TDomXPathExpr* const> FArguments;
};

} // namespace velmora
