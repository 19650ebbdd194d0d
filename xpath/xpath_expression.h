#pragma once
// The expression object: what callers of the XPath engine use. It parses its text once into
// a syntax tree, evaluates the tree against a context node and keeps the last result, to be
// read as nodes, or converted to a Boolean, a number or a string.
//
//   TOwned<TXPathExpression> query(new TXPathExpression);
//   query->SetExpression(u"//Contact");
//   query->SetContextNode(document);
//   if (query->Evaluate()) { for (int i = 0; i < query->ResultLength(); ++i) ... }
//
// Nodes read from a result belong to their document, except namespace nodes, which belong
// to the result: they go with it at the next Evaluate or when the object is freed.

#include <functional>

#include "dom/dom_implementation.h"
#include "xpath/results.h"
#include "xpath/syntax_tree.h"

namespace velmora {

class TXPathExpression;

// May resolve a prefix of the expression or override what the context node found for it:
// namespaceURI holds that on entry, and whatever it holds on return is the answer (empty:
// the prefix is not bound).
using TDomXPathLookupNamespaceURIEvent = std::function<void(
    TXPathExpression* sender, const WideString& prefix, WideString& namespaceURI)>;

enum TDomXPathPreparationState : uint8_t {
  psNotPrepared = 0,
  psPrepared = 1,
  psPreparationFailed = 2,
};

class TXPathExpression : public TDomBaseComponent {
public:
  explicit TXPathExpression(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TXPathExpression"; }

  const WideString& Expression() const { return FExpression; }
  // A different text (code unit by code unit) forgets the prepared tree; the same text
  // keeps it. The result stays until the next Evaluate.
  virtual void SetExpression(const WideString& expression);
  TDomNode* ContextNode() const { return FContextNode; }
  // None, or a node whose reference document is a TDomDocumentXPath (the document itself
  // included); anything else raises ENot_Supported_Err "Not supported error." and keeps
  // the old value.
  virtual void SetContextNode(TDomNode* node);

  // A copy of the result as resultClass, owned by the caller: a node set with the same
  // direction and nodes (namespace nodes copied), or a Boolean, number or string made by
  // conversion. Without a result: an empty set, false, NaN or the empty string. Another
  // class raises ENot_Supported_Err.
  virtual TDomXPathResultPtr CopyResultAs(TDomXPathResultType resultClass) const;
  // Parses (once per text) and evaluates against ContextNode. False, with no result, when
  // the text does not parse or anything fails while evaluating; no exception passes.
  virtual bool Evaluate();
  // Why the last Evaluate failed: the text does not parse, nests too deeply, or the
  // message of the failure; empty after one that succeeded.
  const NarrowString& FailureMessage() const { return FFailureMessage; }
  // A non-empty node set is the result.
  virtual bool HasResultNodes() const;
  // Parses the text unless that was done for this text already; whether it parsed. An
  // exception of the parser (a malformed name) passes and leaves the text unprepared.
  virtual bool Prepare();
  // Forward without a result.
  virtual TDomXPathAxisType ResultAxisType() const;
  // The result converted; without a result false, NaN and the empty string.
  virtual bool AsBoolean() const;
  virtual double AsNumber() const;
  virtual WideString AsWideString() const;
  // The result's node at index (from 0), or none.
  virtual TDomNode* ResultNode(int index) const;
  // The number of nodes of a node-set result; 0 for other results and without one.
  virtual int ResultLength() const;

  // The namespace bound to prefix for this expression: the context node's binding (none
  // without context node), then OnLookupNamespaceURI's word, when assigned.
  WideString LookupNamespaceURI(const WideString& prefix);

  TDomXPathPreparationState PreparationState() const { return FPreparationState; }
  // The result of the last successful Evaluate, or none; it belongs to this object.
  const TDomXPathCustomResult* Result() const { return FResult.get(); }

  TDomXPathLookupNamespaceURIEvent OnLookupNamespaceURI;

protected:
  ~TXPathExpression() override;

private:
  TDomNode* FContextNode = nullptr;
  TDomXPathPreparationState FPreparationState = psNotPrepared;
  WideString FExpression;
  TDomXPathSyntaxTree FSyntaxTree;
  TDomXPathResultPtr FResult;
  NarrowString FFailureMessage;
};

} // namespace velmora
