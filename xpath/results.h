#pragma once
// The values of XPath evaluation: results of four classes (boolean, node set, number,
// string) that convert into each other. Whoever receives a result owns it and frees it,
// through TDomXPathResultPtr.

#include <memory>

#include "dom/owned_object.h"
#include "runtime/strings.h"
#include "xpath/axis_type.h"

namespace velmora {

class TDomNode;

enum TDomXPathResultType : uint8_t {
  rtBoolean = 0,
  rtNodeSet = 1,
  rtNumber = 2,
  rtString = 3,
};

// A node set owns the namespace nodes it lists, as their owner object.
class TDomXPathCustomResult : public TCustomOwnedNode {
public:
  TDomXPathCustomResult() : TCustomOwnedNode(nullptr) {}
  const char* ClassName() const override { return "TDomXPathCustomResult"; }

  virtual TDomXPathAxisType AxisType() const { return atForward; }
  virtual void SetAxisType(TDomXPathAxisType) {}
  virtual bool AsBoolean() const = 0;
  virtual double AsNumber() const = 0;
  virtual WideString AsWideString() const = 0;
  // The node at index, or none outside 0 to Length() - 1.
  virtual TDomNode* Item(int) const { return nullptr; }
  virtual int Length() const { return 0; }
  virtual TDomXPathResultType ResultType() const = 0;

protected:
  // A node set may own very many namespace nodes: it keeps their list itself.
  TOwnedList* OwnedList() const override { return FOwnedNodes.Empty() ? nullptr : &FOwnedNodes; }
  TOwnedList& MakeOwnedList() override { return FOwnedNodes; }

private:
  mutable TOwnedList FOwnedNodes;
};

struct TDomXPathResultFree {
  void operator()(TCustomOwnedObject* result) const noexcept { result->Free(); }
};
template <class TResult> using TDomXPathOwned = std::unique_ptr<TResult, TDomXPathResultFree>;
using TDomXPathResultPtr = TDomXPathOwned<TDomXPathCustomResult>;

class TDomXPathBooleanResult final : public TDomXPathCustomResult {
public:
  explicit TDomXPathBooleanResult(bool value) : FValue(value) {}
  const char* ClassName() const override { return "TDomXPathBooleanResult"; }
  bool AsBoolean() const override { return FValue; }
  double AsNumber() const override { return FValue ? 1 : 0; }
  WideString AsWideString() const override { return FValue ? u"true" : u"false"; }
  TDomXPathResultType ResultType() const override { return rtBoolean; }

private:
  bool FValue;
};

class TDomXPathNumberResult final : public TDomXPathCustomResult {
public:
  explicit TDomXPathNumberResult(double value) : FValue(value) {}
  const char* ClassName() const override { return "TDomXPathNumberResult"; }
  // Neither 0 nor NaN.
  bool AsBoolean() const override { return FValue != 0 && FValue == FValue; }
  double AsNumber() const override { return FValue; }
  WideString AsWideString() const override;
  TDomXPathResultType ResultType() const override { return rtNumber; }

private:
  double FValue;
};

class TDomXPathStringResult final : public TDomXPathCustomResult {
public:
  explicit TDomXPathStringResult(WideString value) : FValue(std::move(value)) {}
  const char* ClassName() const override { return "TDomXPathStringResult"; }
  bool AsBoolean() const override { return !FValue.empty(); }
  double AsNumber() const override;
  WideString AsWideString() const override { return FValue; }
  TDomXPathResultType ResultType() const override { return rtString; }
  const WideString& Value() const { return FValue; }

private:
  WideString FValue;
};

// New results, owned by the caller.
TDomXPathResultPtr NewBooleanResult(bool value);
TDomXPathResultPtr NewNumberResult(double value);
TDomXPathResultPtr NewStringResult(WideString value);

// The result as one of the given class: itself when it has the class, else a new result
// made from AsBoolean, AsNumber or AsWideString (the old one is freed). A missing result
// raises ENot_Supported_Err "Not supported error.".
TDomXPathResultPtr ToBooleanResult(TDomXPathResultPtr result);
TDomXPathResultPtr ToNumberResult(TDomXPathResultPtr result);
TDomXPathResultPtr ToStringResult(TDomXPathResultPtr result);

} // namespace velmora
