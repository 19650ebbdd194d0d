#include "xpath/node_paths.h"

#include <algorithm>
#include <vector>

#include "dom/dom_node.h"
#include <string>

namespace velmora {

namespace {

// What counts as "the same kind" among siblings: texts and CDATA sections are both text().
WideString SiblingKey(const TDomNode* node) {
  switch (node->nodeType()) {
  case nkElement:
    return u"e" + node->nodeName();
  case nkProcessingInstruction:
    return u"p" + node->nodeName();
  case nkText:
  case nkCDATASection:
    return u"t";
  case nkComment:
    return u"c";
  default:
    return u"o";
  }
}

WideString Bracketed(int position) {
  return u"[" + NarrowToWide(std::to_string(position)) + u"]";
}

} // namespace

void TDomXPathNodePaths::NumberChildren(const TDomNode* parent) {
  std::unordered_map<WideString, int> counts;
  for (int i = 0; i < parent->childCount(); ++i) {
    const auto* child = static_cast<const TDomNode*>(parent->treeChild(static_cast<size_t>(i)));
    FPositions[child] = ++counts[SiblingKey(child)];
  }
}

int TDomXPathNodePaths::PositionOf(const TDomNode* node) {
  const TDomNode* parent = node->parentNode();
  if (!parent) {
    return 1;
  }
  auto found = FPositions.find(node);
  if (found == FPositions.end()) {
    NumberChildren(parent);
    found = FPositions.find(node);
  }
  return found->second;
}

WideString TDomXPathNodePaths::Of(const TDomNode* node) {
  std::vector<WideString> steps;
  for (const TDomNode* current = node; current;) {
    const TDomNode* up = current->parentNode();
    switch (current->nodeType()) {
    case nkDocument:
      break;
    case nkElement:
      steps.push_back(current->nodeName() + Bracketed(PositionOf(current)));
      break;
    case nkText:
    case nkCDATASection:
      steps.push_back(u"text()" + Bracketed(PositionOf(current)));
      break;
    case nkComment:
      steps.push_back(u"comment()" + Bracketed(PositionOf(current)));
      break;
    case nkProcessingInstruction:
      steps.push_back(u"processing-instruction(" + current->nodeName() + u")" +
                      Bracketed(PositionOf(current)));
      break;
    case nkAttribute:
      steps.push_back(u"@" + current->nodeName());
      up = current->positionParent();
      break;
    case nkXPathNamespace:
      steps.push_back(u"namespace(" + current->prefix() + u")");
      up = current->positionParent();
      break;
    default:
      steps.push_back(current->nodeName());
      break;
    }
    current = up;
  }
  WideString path;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    path += u"/" + *step;
  }
  return path.empty() ? WideString(u"/") : path;
}

} // namespace velmora
