#pragma once
// The syntax tree of one XPath expression: it parses the text, owns every syntax node made
// for it and keeps the root expression of the last successful parse.
//
// Nesting is bounded, so that whatever walks a tree by recursion cannot run out of stack:
// Prepare refuses a tree whose nesting depth (SyntaxNestingDepth) exceeds kMaxNestingDepth.
// Flat chains do not nest: a run of one operator family ("a|b|c", "1+2-3"), the steps of a
// path, the predicates of a step, the predicates of a filter expression and repeated signs
// ("- - 1") count as one level, and must be walked with loops.

#include <memory>
#include <new>
#include <span>
#include <type_traits>
#include <utility>

#include "runtime/strings.h"
#include "xpath/results.h"
#include "xpath/syntax_arena.h"
#include "xpath/syntax_node.h"

namespace velmora {

class TDomNode;
class TDomXPathExpr;
class TXPathExpression;

class TDomXPathSyntaxTree {
public:
  // About 150 nested parentheses, each costing the dozen levels of the operator ladder.
  static constexpr int kMaxNestingDepth = 2000;

  explicit TDomXPathSyntaxTree(TXPathExpression* ownerExpression = nullptr)
      : FOwnerExpression(ownerExpression) {}
  TDomXPathSyntaxTree(const TDomXPathSyntaxTree&) = delete;
  TDomXPathSyntaxTree& operator=(const TDomXPathSyntaxTree&) = delete;

  // The expression object that created the tree, or none.
  TXPathExpression* OwnerExpression() const { return FOwnerExpression; }

  // Parses text; on success the root expression is kept. False, without a message, for a
  // text that does not reduce to one expression or nests too deeply.
  bool Prepare(std::u16string_view text);
  bool IsPrepared() const { return FRootExpression != nullptr; }
  // Whether the last Prepare refused the text for nesting deeper than kMaxNestingDepth.
  bool NestsTooDeeply() const { return FNestsTooDeeply; }
  // The parser's word that the text it reads can only nest too deeply.
  void SetNestsTooDeeply() { FNestsTooDeeply = true; }
  TDomXPathExpr* RootExpression() const { return FRootExpression; }
  // Frees every syntax node and forgets the root expression.
  void clear();

  // The value of the root expression for contextNode (position 1 of 1, or no context
  // node); the caller owns it. A context node of a kind that no expression starts from (a
  // CDATA section, an entity reference, a fragment, a document type) raises
  // ENot_Supported_Err "Not supported error."; without a root expression
  // EXPath_Invalid_Expression_Err "No valid XPath expression prepared." is raised. The
  // errors of evaluation pass through.
  TDomXPathResultPtr Evaluate(TDomNode* contextNode);
  // The context node of the evaluation under way, or none.
  TDomNode* ContextNode() const { return FContextNode; }
  // The namespace URI bound to prefix where the expression runs: the owner expression's
  // answer, or without one the context node's; empty when the prefix is not bound.
  WideString LookupNamespaceURI(const WideString& prefix) const;

  // The node of the class that the token kind stands for, holding value; none for
  // EndOfText and InvalidToken. Classes that carry no value ignore it. A name that is no
  // QName raises EInvalid_Character_Err.
  TDomXPathSyntaxNode* CreateSyntaxNode(TDomXPathTokenKind kind, std::u16string_view value);

  // A node of class T in the tree's storage, built from args after the tree itself.
  template <class T, class... TArgs> T* Make(TArgs&&... args) {
    static_assert(std::is_trivially_destructible_v<T>,
                  "syntax nodes are released without running destructors");
    ++FNodeCount;
    return new (FArena.Allocate(sizeof(T), alignof(T))) T(this, std::forward<TArgs>(args)...);
  }
  // An array of count elements in the tree's storage, value-initialised.
  template <class T> std::span<T> MakeArray(size_t count) {
    static_assert(std::is_trivially_destructible_v<T>);
    T* first = static_cast<T*>(FArena.Allocate(sizeof(T) * count, alignof(T)));
    std::uninitialized_value_construct_n(first, count);
    return {first, count};
  }
  // text as a view that lives as long as the tree's nodes: the expression text itself, or a
  // copy in the tree's storage.
  std::u16string_view KeepText(std::u16string_view text);

private:
  TXPathExpression* FOwnerExpression;
  TDomXPathExpr* FRootExpression = nullptr;
  bool FNestsTooDeeply = false;
  TDomNode* FContextNode = nullptr;
  // Nodes made since the last clear: a tree of no more nodes cannot nest deeper.
  size_t FNodeCount = 0;
  // The text of the last parse; token values are views into it.
  WideString FText;
  TDomXPathSyntaxArena FArena;
};

// The nesting depth of the tree below root: the number of nodes on its deepest path from
// root, where a link within a flat chain (see above) adds nothing. Stops counting once the
// depth exceeds limit. Iterative.
int SyntaxNestingDepth(const TDomXPathSyntaxNode* root, int limit);

} // namespace velmora
