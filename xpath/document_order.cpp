#include "xpath/document_order.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "dom/element.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_namespace.h"

namespace velmora {

namespace {

// The classes of keys below one element number: namespace nodes come before attributes,
// both after the element and before its first child.
constexpr uint64_t kNamespaceClass = 1;
constexpr uint64_t kAttributeClass = 2;

const TDomElement* NamespaceOwner(const TDomNode* node) {
  return static_cast<const TDomXPathNamespace*>(node)->ownerElement();
}

struct TIdentityHash {
  size_t operator()(const TDomNode* node) const noexcept {
    if (node->nodeType() == nkXPathNamespace) {
      return std::hash<WideString>{}(node->prefix()) ^
             std::hash<const void*>{}(NamespaceOwner(node));
    }
    return std::hash<const void*>{}(node);
  }
};

struct TIdentityEqual {
  bool operator()(const TDomNode* a, const TDomNode* b) const { return SameXPathNode(a, b); }
};

// The nodes of one group of equal keys met so far: a short list, or a hash set once the
// group grows (an element may have a hundred thousand attributes).
class TGroupMembers {
public:
  void Clear() {
    FFew.clear();
    FMany.clear();
  }
  bool Contains(const TDomNode* node) const {
    if (!FMany.empty()) {
      return FMany.contains(node);
    }
    return std::any_of(FFew.begin(), FFew.end(),
                       [node](const TDomNode* member) { return SameXPathNode(member, node); });
  }
  void Add(const TDomNode* node) {
    if (!FMany.empty()) {
      FMany.insert(node);
    } else if (FFew.size() < kFew) {
      FFew.push_back(node);
    } else {
      FMany.insert(FFew.begin(), FFew.end());
      FMany.insert(node);
      FFew.clear();
    }
  }

private:
  static constexpr size_t kFew = 16;
  std::vector<const TDomNode*> FFew;
  std::unordered_set<const TDomNode*, TIdentityHash, TIdentityEqual> FMany;
};

} // namespace

TDomXPathOrderKey TDomXPathOrderKeys::KeyOf(const TDomNode* node) {
  const TDomNodeType kind = node->nodeType();
  const TDomNode* treeNode = node;
  uint64_t nodeClass = 0;
  if (kind == nkAttribute) {
    if (const TDomElement* element = static_cast<const TDomAttr*>(node)->ownerElement()) {
      treeNode = element;
      nodeClass = kAttributeClass;
    }
  } else if (kind == nkXPathNamespace) {
    const TDomElement* element = NamespaceOwner(node);
    if (!element) {
      // Without its element the node is a tree of its own.
      return {reinterpret_cast<uintptr_t>(node), 0};
    }
    treeNode = element;
    nodeClass = kNamespaceClass;
  }
  const TDomCustomDocument* document =
      kind == nkDocument ? static_cast<const TDomCustomDocument*>(node) : treeNode->ownerDocument();
  if (document != FDocument) {
    FDocument = document;
    FXPathDocument = dynamic_cast<TDomDocumentXPath*>(const_cast<TDomCustomDocument*>(document));
  }
  if (!FXPathDocument) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  return {reinterpret_cast<uintptr_t>(document),
          FXPathDocument->orderNumber(treeNode) << 2 | nodeClass};
}

bool SameXPathNode(const TDomNode* a, const TDomNode* b) {
  if (a == b) {
    return true;
  }
  return a->nodeType() == nkXPathNamespace && b->nodeType() == nkXPathNamespace &&
         NamespaceOwner(a) == NamespaceOwner(b) && a->prefix() == b->prefix();
}

void SortNodes(std::vector<TDomNode*>& nodes, TDomXPathAxisType direction, bool unique,
               std::vector<TDomNode*>* dropped) {
  if (nodes.size() < 2) {
    return;
  }
  struct TEntry {
    TDomXPathOrderKey Key;
    TDomNode* Node;
  };
  TDomXPathOrderKeys keys;
  std::vector<TEntry> entries;
  entries.reserve(nodes.size());
  for (TDomNode* node : nodes) {
    entries.push_back({keys.KeyOf(node), node});
  }
  const auto before = [direction](const TEntry& a, const TEntry& b) {
    return TDomXPathOrderKeys::Before(a.Key, b.Key, direction);
  };
  if (!std::is_sorted(entries.begin(), entries.end(), before)) {
    std::stable_sort(entries.begin(), entries.end(), before);
  }
  nodes.clear();
  TGroupMembers members;
  for (size_t first = 0; first < entries.size();) {
    size_t end = first + 1;
    while (end < entries.size() && entries[end].Key == entries[first].Key) {
      ++end;
    }
    members.Clear();
    for (size_t i = first; i < end; ++i) {
      TDomNode* node = entries[i].Node;
      if (unique && end - first > 1 && members.Contains(node)) {
        if (dropped) {
          dropped->push_back(node);
        }
        continue;
      }
      if (unique && end - first > 1) {
        members.Add(node);
      }
      nodes.push_back(node);
    }
    first = end;
  }
}

std::vector<TDomNode*> MergeNodes(const std::vector<TDomNode*>& a, const std::vector<TDomNode*>& b,
                                  TDomXPathAxisType direction) {
  std::vector<TDomNode*> merged;
  merged.reserve(a.size() + b.size());
  TDomXPathOrderKeys keys;
  TGroupMembers members;
  size_t i = 0;
  size_t j = 0;
  TDomXPathOrderKey keyA{};
  TDomXPathOrderKey keyB{};
  const auto advanceA = [&] {
    merged.push_back(a[i]);
    if (++i < a.size()) {
      keyA = keys.KeyOf(a[i]);
    }
  };
  const auto skipB = [&] {
    if (++j < b.size()) {
      keyB = keys.KeyOf(b[j]);
    }
  };
  if (!a.empty() && !b.empty()) {
    keyA = keys.KeyOf(a[0]);
    keyB = keys.KeyOf(b[0]);
  }
  while (i < a.size() && j < b.size()) {
    if (TDomXPathOrderKeys::Before(keyA, keyB, direction)) {
      advanceA();
    } else if (TDomXPathOrderKeys::Before(keyB, keyA, direction)) {
      merged.push_back(b[j]);
      skipB();
    } else {
      // One group of equal keys: a's entries, then b's that a lacks.
      const TDomXPathOrderKey group = keyA;
      members.Clear();
      while (i < a.size() && keyA == group) {
        members.Add(a[i]);
        advanceA();
      }
      while (j < b.size() && keyB == group) {
        if (!members.Contains(b[j])) {
          merged.push_back(b[j]);
        }
        skipB();
      }
    }
  }
  merged.insert(merged.end(), a.begin() + static_cast<std::ptrdiff_t>(i), a.end());
  merged.insert(merged.end(), b.begin() + static_cast<std::ptrdiff_t>(j), b.end());
  return merged;
}

} // namespace velmora
