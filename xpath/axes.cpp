#include "xpath/axes.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "dom/element.h"
#include "xpath/document_order.h"
#include "xpath/evaluation.h"
#include "xpath/node_kinds.h"
#include "xpath/node_set_result.h"
#include "xpath/node_tests.h"
#include "xpath/tree_walks.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_namespace.h"

namespace velmora {

namespace {

bool IsTextLike(const TDomNode* node) {
  return node && HasKind(kTextLikeKinds, node->nodeType());
}

// The parent in the data model: the element of an attribute or namespace node, the
// parent node of a node that has siblings, and none for any other kind.
TDomNode* XPathParent(const TDomNode* node) {
  const TDomNodeType kind = node->nodeType();
  if (kind == nkAttribute) {
    return static_cast<const TDomAttr*>(node)->ownerElement();
  }
  if (kind == nkXPathNamespace) {
    return static_cast<const TDomXPathNamespace*>(node)->ownerElement();
  }
  return HasKind(kSiblingBearingKinds, kind) ? node->parentNode() : nullptr;
}

// A run of adjacent text-like siblings stands for one text node: its first.
bool StartsTextRun(const TDomNode* sibling) {
  return !IsTextLike(sibling) || !IsTextLike(sibling->previousSibling());
}

class TAxisWalk {
public:
  TAxisWalk(TDomXPathNodeMatcher& test, TDomXPathNodeSetResult& out,
            const TDomXPathAxisNeeds& needs)
      : FTest(test), FOut(out), FNeeds(needs) {}

  bool Full() const { return FOut.Nodes().size() >= FNeeds.Limit; }

  void Self(TDomNode* node) {
    if (FTest.Matches(node)) {
      FOut.Add(node);
    }
  }
  void TreeNode(TDomNode* node) {
    if (FTest.Matches(node)) {
      FOut.AddTreeNode(node);
    }
  }
  void Ancestors(const TDomNode* node) {
    for (TDomNode* ancestor = XPathParent(node); ancestor && !Full();
         ancestor = ancestor->parentNode()) {
      if (FNeeds.Reached && !FNeeds.Reached->insert(ancestor).second) {
        return;
      }
      TreeNode(ancestor);
    }
  }
  void AncestorsOrSelf(TDomNode* node) {
    if (FNeeds.Reached && !FNeeds.Reached->insert(node).second) {
      return;
    }
    Self(node);
    Ancestors(node);
  }
  void Children(const TDomNode* node) {
    for (size_t i = 0, count = node->childCount(); i < count; ++i) {
      if (Full()) {
        return;
      }
      TreeNode(static_cast<TDomNode*>(node->treeChild(i)));
    }
  }
  void Attributes(TDomNode* node) {
    if (node->nodeType() != nkElement) {
      return;
    }
    for (TCustomOwnedNode* item : static_cast<TDomElement*>(node)->attributeItems()) {
      auto* attr = static_cast<TDomAttr*>(item);
      if (Full()) {
        return;
      }
      if (attr->namespaceDeclKind() == ndNone) {
        TreeNode(attr);
      }
    }
  }
  void Descendants(TDomNode* node) {
    const TDomNodeType kind = node->nodeType();
    if (kind == nkAttribute || kind == nkXPathNamespace) {
      return; // no children
    }
    TDomDocumentXPath* document = XPathDocumentOf(node);
    size_t position;
    if (document && document->treeIndex().Find(document->orderNumber(node), position)) {
      ListedDescendants(document, position);
      return;
    }
    WalkPreOrder(node, [this, node](TDomNode* current) {
      const TDomNodeType kind = current->nodeType();
      if (current != node && HasKind(kSiblingBearingKinds, kind)) {
        TreeNode(current);
      }
      return Full() ? wsStop : kind == nkEntityReference ? wsSkipChildren : wsEnter;
    });
  }
  void DescendantsOrSelf(TDomNode* node) {
    const TDomNodeType kind = node->nodeType();
    if (HasKind(kSubtreeKinds, kind) || kind == nkAttribute || kind == nkXPathNamespace) {
      Self(node);
    }
    if (!Full()) {
      Descendants(node);
    }
  }
  void Siblings(const TDomNode* node, bool preceding) {
    if (!HasKind(kSiblingBearingKinds, node->nodeType())) {
      return;
    }
    for (TDomNode* sibling = Beside(node, preceding); sibling && !Full();
         sibling = Beside(sibling, preceding)) {
      if (StartsTextRun(sibling)) {
        TreeNode(sibling);
      }
    }
  }
  // The subtrees of the siblings after (or before) each node from node up to the top.
  void Following(TDomNode* node, bool preceding) {
    for (TDomNode* level = node; level && !Full();
         level = level == node ? XPathParent(level) : level->parentNode()) {
      if (!HasKind(kSiblingBearingKinds, level->nodeType())) {
        continue;
      }
      for (TDomNode* sibling = Beside(level, preceding); sibling && !Full();
           sibling = Beside(sibling, preceding)) {
        if (StartsTextRun(sibling)) {
          Subtree(sibling, preceding);
        }
      }
    }
  }
  void Namespaces(TDomNode* node);

private:
  // The descendants of the node at position in document's index, in one sweep of it.
  void ListedDescendants(const TDomDocumentXPath* document, size_t position) {
    const TDomXPathTreeIndex& index = const_cast<TDomDocumentXPath*>(document)->treeIndex();
    const size_t end = index.SubtreeEnd(position);
    for (size_t i = position + 1; i <= end && !Full(); ++i) {
      const TDomNodeType kind = index.Kind(i);
      if (HasKind(kSiblingBearingKinds, kind) &&
          FTest.MatchesListed(index.Node(i), kind, index.LocalName(i), index.NamespaceURI(i),
                              document)) {
        FOut.AddTreeNode(index.Node(i));
      }
      if (kind == nkEntityReference) {
        i = index.SubtreeEnd(i); // its children are not entered
      }
    }
  }
  static TDomNode* Beside(const TDomNode* node, bool preceding) {
    return preceding ? node->previousSibling() : node->nextSibling();
  }
  // A subtree in reverse ends with its root, so it is walked whole.
  void Subtree(TDomNode* root, bool reverse) {
    const size_t start = FOut.Nodes().size();
    WalkPreOrder(root, [this, reverse](TDomNode* current) {
      const TDomNodeType kind = current->nodeType();
      if (HasKind(kSubtreeKinds, kind)) {
        TreeNode(current);
      }
      return !reverse && Full() ? wsStop : kind == nkEntityReference ? wsSkipChildren : wsEnter;
    });
    if (reverse) {
      FOut.ReverseFrom(start);
    }
  }

  TDomXPathNodeMatcher& FTest;
  TDomXPathNodeSetResult& FOut;
  const TDomXPathAxisNeeds& FNeeds;
};

void TAxisWalk::Namespaces(TDomNode* node) {
  if (node->nodeType() != nkElement) {
    return;
  }
  struct TBinding {
    std::u16string_view Prefix;
    std::u16string_view NamespaceURI;
  };
  // The two fixed bindings first, then the declarations from the element up: the first
  // binding of a prefix is the one in scope.
  std::vector<TBinding> bindings = {{u"xml", XmlNamespaceURI}, {u"xmlns", XmlnsNamespaceURI}};
  for (TDomNode* element = node; IsElementNode(element); element = element->parentNode()) {
    for (TCustomOwnedNode* item : static_cast<TDomElement*>(element)->attributeItems()) {
      const auto* attr = static_cast<const TDomAttr*>(item);
      if (attr->namespaceDeclKind() == ndDefault) {
        bindings.push_back({u"", attr->nodeValue()});
      } else if (attr->namespaceDeclKind() == ndPrefixed) {
        bindings.push_back({attr->localName(), attr->nodeValue()});
      }
    }
  }
  std::stable_sort(bindings.begin(), bindings.end(),
                   [](const TBinding& a, const TBinding& b) { return a.Prefix < b.Prefix; });
  auto* element = static_cast<TDomElement*>(node);
  for (size_t i = 0; i < bindings.size(); ++i) {
    const TBinding& binding = bindings[i];
    if (i > 0 && bindings[i - 1].Prefix == binding.Prefix) {
      continue;
    }
    // A prefix declared with an empty URI is undeclared: it has no namespace node.
    if (!binding.Prefix.empty() && binding.NamespaceURI.empty()) {
      continue;
    }
    if (Full()) {
      return;
    }
    FOut.AddXPathNamespace(element, binding.NamespaceURI, binding.Prefix);
    if (!FTest.Matches(FOut.Nodes().back())) {
      FOut.Delete(FOut.Length() - 1);
    }
  }
}

// The first (or, with last, the last) node of each group of siblings in input.
void SelectOuterSiblings(std::span<TDomNode* const> input, bool last,
                         std::vector<TDomNode*>& selected) {
  std::unordered_map<const TDomNode*, TDomNode*> outermost;
  for (TDomNode* node : input) {
    const TDomNode* parent = node->parentNode();
    if (!parent || !HasKind(kSiblingBearingKinds, node->nodeType())) {
      continue; // no siblings
    }
    auto [entry, added] = outermost.try_emplace(parent, node);
    if (!added && (node->indexInParent() > entry->second->indexInParent()) == last) {
      entry->second = node;
    }
  }
  for (TDomNode* node : input) {
    const auto found = outermost.find(node->parentNode());
    if (found != outermost.end() && found->second == node) {
      selected.push_back(node);
      outermost.erase(found);
    }
  }
}

// input without the tree nodes that lie inside the subtree of the node kept before them.
void SelectSubtreeRoots(std::span<TDomNode* const> input, std::vector<TDomNode*>& selected) {
  TDomXPathOrderKeys keys;
  TDomXPathOrderKey rootKey{};
  TDomXPathOrderKey endKey{};
  bool haveRoot = false;
  for (TDomNode* node : input) {
    const TDomNodeType kind = node->nodeType();
    if (kind == nkAttribute || kind == nkXPathNamespace) {
      selected.push_back(node); // no tree node: its descendant-or-self axis is itself
      continue;
    }
    const TDomXPathOrderKey key = keys.KeyOf(node);
    if (haveRoot && rootKey < key && key <= endKey) {
      continue;
    }
    const TCustomOwnedNode* last = node;
    while (last->hasTreeChildren()) {
      last = last->lastTreeChild();
    }
    rootKey = key;
    endKey = keys.KeyOf(static_cast<const TDomNode*>(last));
    haveRoot = true;
    selected.push_back(node);
  }
}

} // namespace

void AppendAxisNodes(TDomXPathNodeClass axis, TDomNode* context, TDomXPathNodeMatcher& test,
                     TDomXPathNodeSetResult& out, const TDomXPathAxisNeeds& needs) {
  TAxisWalk walk(test, out, needs);
  switch (axis) {
  case ncAxisNameAncestor:
    walk.Ancestors(context);
    break;
  case ncAxisNameAncestorOrSelf:
    walk.AncestorsOrSelf(context);
    break;
  case ncAxisNameAttribute:
    walk.Attributes(context);
    break;
  case ncAxisNameChild:
    walk.Children(context);
    break;
  case ncAxisNameDescendant:
    walk.Descendants(context);
    break;
  case ncAxisNameDescendantOrSelf:
    walk.DescendantsOrSelf(context);
    break;
  case ncAxisNameFollowing:
    walk.Following(context, false);
    break;
  case ncAxisNameFollowingSibling:
    walk.Siblings(context, false);
    break;
  case ncAxisNameNamespace:
    walk.Namespaces(context);
    break;
  case ncAxisNameParent:
    if (TDomNode* parent = XPathParent(context)) {
      walk.TreeNode(parent);
    }
    break;
  case ncAxisNamePreceding:
    walk.Following(context, true);
    break;
  case ncAxisNamePrecedingSibling:
    walk.Siblings(context, true);
    break;
  case ncAxisNameSelf:
    walk.Self(context);
    break;
  default:
    RaiseXPathTypeError();
  }
}

bool SelectUncoveredContexts(TDomXPathNodeClass axis, std::span<TDomNode* const> input,
                             std::vector<TDomNode*>& uncovered) {
  switch (axis) {
  case ncAxisNameFollowingSibling:
  case ncAxisNamePrecedingSibling:
    SelectOuterSiblings(input, axis == ncAxisNamePrecedingSibling, uncovered);
    return true;
  case ncAxisNameDescendant:
  case ncAxisNameDescendantOrSelf:
    SelectSubtreeRoots(input, uncovered);
    return true;
  default:
    return false;
  }
}

} // namespace velmora
