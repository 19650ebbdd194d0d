#include "xpath/axes.h"

#include <algorithm>
#include <vector>

#include "dom/element.h"
#include "xpath/evaluation.h"
#include "xpath/node_kinds.h"
#include "xpath/node_set_result.h"
#include "xpath/node_tests.h"
#include "xpath/tree_walks.h"
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
  TAxisWalk(TDomXPathNodeMatcher& test, TDomXPathNodeSetResult& out) : FTest(test), FOut(out) {}

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
    for (TDomNode* ancestor = XPathParent(node); ancestor; ancestor = ancestor->parentNode()) {
      TreeNode(ancestor);
    }
  }
  void Children(const TDomNode* node) {
    for (TCustomOwnedNode* child : node->treeChildren()) {
      TreeNode(static_cast<TDomNode*>(child));
    }
  }
  void Attributes(TDomNode* node) {
    if (node->nodeType() != nkElement) {
      return;
    }
    for (TCustomOwnedNode* item : static_cast<TDomElement*>(node)->attributeItems()) {
      auto* attr = static_cast<TDomAttr*>(item);
      if (attr->namespaceDeclKind() == ndNone) {
        TreeNode(attr);
      }
    }
  }
  void Descendants(TDomNode* node) {
    WalkPreOrder(node, [this, node](TDomNode* current) {
      const TDomNodeType kind = current->nodeType();
      if (current != node && HasKind(kSiblingBearingKinds, kind)) {
        TreeNode(current);
      }
      return kind != nkEntityReference;
    });
  }
  void DescendantsOrSelf(TDomNode* node) {
    const TDomNodeType kind = node->nodeType();
    if (HasKind(kSubtreeKinds, kind) || kind == nkAttribute || kind == nkXPathNamespace) {
      Self(node);
    }
    Descendants(node);
  }
  void FollowingSiblings(const TDomNode* node) {
    if (!HasKind(kSiblingBearingKinds, node->nodeType())) {
      return;
    }
    for (TDomNode* sibling = node->nextSibling(); sibling; sibling = sibling->nextSibling()) {
      if (StartsTextRun(sibling)) {
        TreeNode(sibling);
      }
    }
  }
  void PrecedingSiblings(const TDomNode* node) {
    if (!HasKind(kSiblingBearingKinds, node->nodeType())) {
      return;
    }
    for (TDomNode* sibling = node->previousSibling(); sibling;
         sibling = sibling->previousSibling()) {
      if (StartsTextRun(sibling)) {
        TreeNode(sibling);
      }
    }
  }
  // The subtrees of the siblings after (or before) each node from node up to the top.
  void Following(TDomNode* node, bool preceding) {
    for (TDomNode* level = node; level;
         level = level == node ? XPathParent(level) : level->parentNode()) {
      if (!HasKind(kSiblingBearingKinds, level->nodeType())) {
        continue;
      }
      for (TDomNode* sibling = preceding ? level->previousSibling() : level->nextSibling();
           sibling; sibling = preceding ? sibling->previousSibling() : sibling->nextSibling()) {
        if (StartsTextRun(sibling)) {
          Subtree(sibling, preceding);
        }
      }
    }
  }
  void Namespaces(TDomNode* node);

private:
  void Subtree(TDomNode* root, bool reverse) {
    const size_t start = FOut.Nodes().size();
    WalkPreOrder(root, [this](TDomNode* current) {
      const TDomNodeType kind = current->nodeType();
      if (HasKind(kSubtreeKinds, kind)) {
        TreeNode(current);
      }
      return kind != nkEntityReference;
    });
    if (reverse) {
      FOut.ReverseFrom(start);
    }
  }

  TDomXPathNodeMatcher& FTest;
  TDomXPathNodeSetResult& FOut;
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
    FOut.AddXPathNamespace(element, binding.NamespaceURI, binding.Prefix);
    if (!FTest.Matches(FOut.Nodes().back())) {
      FOut.Delete(FOut.Length() - 1);
    }
  }
}

} // namespace

void AppendAxisNodes(TDomXPathNodeClass axis, TDomNode* context, TDomXPathNodeMatcher& test,
                     TDomXPathNodeSetResult& out) {
  TAxisWalk walk(test, out);
  switch (axis) {
  case ncAxisNameAncestor:
    walk.Ancestors(context);
    break;
  case ncAxisNameAncestorOrSelf:
    walk.Self(context);
    walk.Ancestors(context);
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
    walk.FollowingSiblings(context);
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
    walk.PrecedingSiblings(context);
    break;
  case ncAxisNameSelf:
    walk.Self(context);
    break;
  default:
    RaiseXPathTypeError();
  }
}

} // namespace velmora
