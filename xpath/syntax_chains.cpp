#include "xpath/syntax_chains.h"

#include "xpath/evaluation.h"

namespace velmora {

const TDomXPathSyntaxNode* CollectLeftChain(const TDomXPathSyntaxNode* node,
                                            TDomXPathNodeClasses family,
                                            TDomXPathChainLinks& links) {
  while (node && node->IsOneOf(family) && node->Right()) {
    links.Push(node);
    node = node->Left();
  }
  if (!node || !node->IsOneOf(family) || !node->Left()) {
    RaiseXPathTypeError();
  }
  return node->Left();
}

} // namespace velmora
