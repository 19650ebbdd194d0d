#pragma once
// Paths that name nodes for people and scripts: "/" for the document, otherwise "/" and
// one step per level from the root of the node's tree: an element as name[k], a text as
// text()[k], a comment as comment()[k], a processing instruction as
// processing-instruction(target)[k] (k counting it and its preceding siblings of the same
// kind, and for elements and instructions the same name), an attribute as @name and a
// namespace node as namespace(prefix).

#include <unordered_map>

#include "runtime/strings.h"

namespace velmora {

class TDomNode;

class TDomXPathNodePaths {
public:
  // The path of node. The positions of a parent's children are counted once, on the first
  // question about one of them, so that naming many siblings stays linear; the tree must not
  // change between questions.
  WideString Of(const TDomNode* node);

private:
  int PositionOf(const TDomNode* node);
  void NumberChildren(const TDomNode* parent);

  std::unordered_map<const TDomNode*, int> FPositions;
};

} // namespace velmora
