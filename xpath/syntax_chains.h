#pragma once
// Walking the shapes of syntax trees: the links of the flat chains (a run of one
// operator family, the predicates of a filter expression), collected with a loop since a
// chain may be a hundred thousand links long, and the ladders of unit nodes.

#include <array>
#include <vector>

#include "xpath/syntax_node.h"

namespace velmora {

class TDomXPathChainLinks {
public:
  void Push(const TDomXPathSyntaxNode* node) {
    if (FSize < kInline) {
      FInline[FSize] = node;
    } else {
      FMore.push_back(node);
    }
    ++FSize;
  }
  size_t Size() const { return FSize; }
  bool Empty() const { return FSize == 0; }
  const TDomXPathSyntaxNode* operator[](size_t index) const {
    return index < kInline ? FInline[index] : FMore[index - kInline];
  }

private:
  static constexpr size_t kInline = 8;
  std::array<const TDomXPathSyntaxNode*, kInline> FInline{};
  std::vector<const TDomXPathSyntaxNode*> FMore;
  size_t FSize = 0;
};

// Walks the left-associated chain of family that ends at node: pushes its two-operand
// nodes (those with a Right), the last first, and returns the first operand, the Left of
// the unit node at the foot. Links[Size() - 1] therefore joins the first operand with the
// second. A foot that is no unit node of the family raises EXPath_Type_Err.
const TDomXPathSyntaxNode* CollectLeftChain(const TDomXPathSyntaxNode* node,
                                            TDomXPathNodeClasses family,
                                            TDomXPathChainLinks& links);

// The node below the unit nodes that hand node's value through unchanged (the ladder of
// an operand, a parenthesized expression, a filter expression without predicates): the
// number of "[1]", the comparison of "[@a = 'x']". The direction of a node set that a
// unit union would make forward is the one thing skipped that may differ.
const TDomXPathSyntaxNode* SkipUnitNodes(const TDomXPathSyntaxNode* node);

} // namespace velmora
