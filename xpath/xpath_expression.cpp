#include "xpath/xpath_expression.h"

#include <limits>

#include "dom/dom_node.h"
#include "runtime/exceptions.h"
#include "xpath/node_set_result.h"
#include "xpath/xpath_document.h"

namespace velmora {

namespace {

constexpr const char* kDoesNotParse = "the expression does not parse";
NarrowString NestsTooDeeplyMessage() {
  return "the expression nests more than " +
         std::to_string(TDomXPathSyntaxTree::kMaxNestingDepth) + " levels deep";
}

} // namespace

TXPathExpression::TXPathExpression(TComponent* owner)
    : TDomBaseComponent(owner), FSyntaxTree(this) {}

TXPathExpression::~TXPathExpression() = default;

void TXPathExpression::SetExpression(const WideString& expression) {
  if (expression == FExpression) {
    return;
  }
  FExpression = expression;
  FSyntaxTree.clear();
  FPreparationState = psNotPrepared;
}

void TXPathExpression::SetContextNode(TDomNode* node) {
  if (node && !dynamic_cast<TDomDocumentXPath*>(node->referenceDocument())) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  FContextNode = node;
}

bool TXPathExpression::Prepare() {
  if (FPreparationState == psNotPrepared) {
    FPreparationState = FSyntaxTree.Prepare(FExpression) ? psPrepared : psPreparationFailed;
  }
  return FPreparationState == psPrepared;
}

bool TXPathExpression::Evaluate() {
  // The previous result goes only after this evaluation: the context node may be one of
  // its namespace nodes.
  TDomXPathResultPtr previous = std::move(FResult);
  bool evaluated = false;
  FFailureMessage.clear();
  try {
    if (Prepare()) {
      FResult = FSyntaxTree.Evaluate(FContextNode);
      evaluated = true;
    } else {
      FFailureMessage = FSyntaxTree.NestsTooDeeply() ? NestsTooDeeplyMessage() : kDoesNotParse;
    }
  } catch (const std::exception& failure) {
    FResult.reset();
    FFailureMessage = FailureText(failure);
  } catch (...) {
    FResult.reset();
    FFailureMessage = kDoesNotParse;
  }
  if (previous && FContextNode && FContextNode->GetOwner() == previous.get()) {
    FContextNode = nullptr; // it goes with the previous result
  }
  return evaluated;
}

bool TXPathExpression::HasResultNodes() const {
  return FResult && FResult->Length() > 0;
}

TDomXPathAxisType TXPathExpression::ResultAxisType() const {
  return FResult ? FResult->AxisType() : atForward;
}

bool TXPathExpression::AsBoolean() const {
  return FResult && FResult->AsBoolean();
}

double TXPathExpression::AsNumber() const {
  return FResult ? FResult->AsNumber() : std::numeric_limits<double>::quiet_NaN();
}

WideString TXPathExpression::AsWideString() const {
  return FResult ? FResult->AsWideString() : WideString();
}

TDomNode* TXPathExpression::ResultNode(int index) const {
  return FResult ? FResult->Item(index) : nullptr;
}

int TXPathExpression::ResultLength() const {
  return FResult ? FResult->Length() : 0;
}

TDomXPathResultPtr TXPathExpression::CopyResultAs(TDomXPathResultType resultClass) const {
  switch (resultClass) {
  case rtNodeSet: {
    TDomXPathNodeSetPtr copy = NewNodeSet(ResultAxisType());
    if (FResult && FResult->ResultType() == rtNodeSet) {
      copy->Assign(static_cast<const TDomXPathNodeSetResult&>(*FResult));
    }
    return copy;
  }
  case rtBoolean:
    return NewBooleanResult(AsBoolean());
  case rtNumber:
    return NewNumberResult(AsNumber());
  case rtString:
    return NewStringResult(AsWideString());
  }
  throw ENot_Supported_Err(dom_messages::kNotSupported);
}

WideString TXPathExpression::LookupNamespaceURI(const WideString& prefix) {
  WideString namespaceURI = FContextNode ? FContextNode->lookupNamespaceURI(prefix) : WideString();
  if (OnLookupNamespaceURI) {
    OnLookupNamespaceURI(this, prefix, namespaceURI);
  }
  return namespaceURI;
}

// The node shortcuts of the object model: one expression object per call, freed on every
// path; a failing expression reads as false, NaN, none or the empty string.

namespace {

template <class TRead> auto EvaluateOn(TDomNode* node, const WideString& expression, TRead read) {
  TOwned<TXPathExpression> query(new TXPathExpression);
  query->SetExpression(expression);
  query->SetContextNode(node);
  query->Evaluate();
  return read(*query);
}

} // namespace

bool TDomNode::evaluateToBoolean(const WideString& expression) {
  return EvaluateOn(this, expression, [](const TXPathExpression& query) {
    return query.AsBoolean();
  });
}

double TDomNode::evaluateToNumber(const WideString& expression) {
  return EvaluateOn(this, expression, [](const TXPathExpression& query) {
    return query.AsNumber();
  });
}

TDomNode* TDomNode::evaluateToNode(const WideString& expression) {
  return EvaluateOn(this, expression, [](const TXPathExpression& query) -> TDomNode* {
    TDomNode* node = query.ResultNode(0);
    // A namespace node goes with the expression object: handing it out would leave the
    // caller a freed node.
    return node && node->nodeType() == nkXPathNamespace ? nullptr : node;
  });
}

WideString TDomNode::evaluateToString(const WideString& expression) {
  return EvaluateOn(this, expression, [](const TXPathExpression& query) {
    return query.AsWideString();
  });
}

} // namespace velmora
