#include "xpath/node_set_result.h"

#include <algorithm>

#include "dom/element.h"
#include "runtime/format.h"
#include "xpath/document_order.h"
#include "xpath/node_kinds.h"
#include "xpath/number_text.h"
#include "xpath/tree_walks.h"
#include "xpath/xpath_namespace.h"

namespace velmora {

namespace {

bool IsNamespaceNode(const TDomNode* node) {
  return node->nodeType() == nkXPathNamespace;
}

[[noreturn]] void RaiseIndexError(int index) {
  throw EListError(Format("List index out of bounds (%d)", {index}));
}

} // namespace

void TDomXPathNodeSetResult::SetAxisType(TDomXPathAxisType axisType) {
  if (axisType != FAxisType) {
    FAxisType = axisType;
    std::reverse(FNodes.begin(), FNodes.end());
  }
}

double TDomXPathNodeSetResult::AsNumber() const {
  return XPathStringToNumber(AsWideString());
}

WideString TDomXPathNodeSetResult::AsWideString() const {
  const TDomNode* first = FirstInDocumentOrder();
  return first ? first->xpathStringValue() : WideString();
}

TDomNode* TDomXPathNodeSetResult::FirstInDocumentOrder() const {
  if (FNodes.empty()) {
    return nullptr;
  }
  return FAxisType == atForward ? FNodes.front() : FNodes.back();
}

TDomNode* TDomXPathNodeSetResult::Item(int index) const {
  return index >= 0 && static_cast<size_t>(index) < FNodes.size() ? FNodes[index] : nullptr;
}

void TDomXPathNodeSetResult::AddXPathNamespace(TDomElement* ownerElement,
                                               std::u16string_view namespaceURI,
                                               std::u16string_view prefix) {
  // Owned from its creation on: nothing leaks should the list fail to grow.
  FNodes.push_back(new TDomXPathNamespace(this, prefix, namespaceURI, ownerElement));
}

void TDomXPathNodeSetResult::Add(TDomNode* node) {
  Insert(Length(), node);
}

void TDomXPathNodeSetResult::Insert(int index, TDomNode* node) {
  if (index < 0 || index > Length()) {
    RaiseIndexError(index);
  }
  const auto at = FNodes.begin() + index;
  if (!node || !IsNamespaceNode(node)) {
    FNodes.insert(at, node);
    return;
  }
  const auto* source = static_cast<const TDomXPathNamespace*>(node);
  FNodes.insert(FNodes.begin() + index,
                new TDomXPathNamespace(this, source->prefix(), source->namespaceURI(),
                                       source->ownerElement()));
}

void TDomXPathNodeSetResult::AddSubtree(TDomNode* node) {
  const size_t start = FNodes.size();
  WalkPreOrder(node, [this](TDomNode* current) {
    const TDomNodeType kind = current->nodeType();
    if (HasKind(kSubtreeKinds, kind)) {
      FNodes.push_back(current);
    }
    return kind == nkEntityReference ? wsSkipChildren : wsEnter;
  });
  if (FAxisType == atReverse) {
    ReverseFrom(start);
  }
}

void TDomXPathNodeSetResult::ReverseFrom(size_t start) {
  std::reverse(FNodes.begin() + static_cast<std::ptrdiff_t>(std::min(start, FNodes.size())),
               FNodes.end());
}

void TDomXPathNodeSetResult::Clear() {
  FNodes.clear();
  FUnsettled = false;
  FreeNamespaceNodes();
}

void TDomXPathNodeSetResult::FreeNamespaceNodes() {
  TFirstFailure failures;
  freeOwnedObjects(failures);
  failures.Raise();
}

void TDomXPathNodeSetResult::Delete(int index) {
  if (index < 0 || index >= Length()) {
    RaiseIndexError(index);
  }
  TDomNode* node = FNodes[index];
  FNodes.erase(FNodes.begin() + index);
  ReleaseNamespaceNode(node);
}

void TDomXPathNodeSetResult::ReleaseNamespaceNode(TDomNode* node) {
  if (OwnsNamespaceNodes() && node && node->GetOwner() == this) {
    node->Free();
  }
}

void TDomXPathNodeSetResult::Merge(TDomXPathNodeSetResult& other) {
  if (&other == this) {
    return;
  }
  other.SetAxisType(FAxisType);
  FNodes = MergeNodes(FNodes, other.FNodes, FAxisType);
  if (other.OwnsNamespaceNodes()) {
    CopyForeignNamespaceNodes(0);
  }
}

void TDomXPathNodeSetResult::CopyForeignNamespaceNodes(size_t start) {
  for (size_t i = start; i < FNodes.size(); ++i) {
    TDomNode*& node = FNodes[i];
    if (node->GetOwner() != this && IsNamespaceNode(node)) {
      const auto* source = static_cast<const TDomXPathNamespace*>(node);
      node = new TDomXPathNamespace(this, source->prefix(), source->namespaceURI(),
                                    source->ownerElement());
    }
  }
}

void TDomXPathNodeSetResult::Sort() {
  SortNodes(FNodes, FAxisType, false);
}

void TDomXPathNodeSetResult::Assign(const TDomXPathNodeSetResult& source) {
  if (&source == this) {
    return;
  }
  Clear();
  FAxisType = source.FAxisType;
  FNodes.reserve(source.FNodes.size());
  for (TDomNode* node : source.FNodes) {
    Add(node);
  }
}

void TDomXPathNodeSetResult::KeepOnly(size_t position) {
  Filter([position](TDomNode*, size_t at) { return at == position; });
}

void TDomXPathNodeSetResult::AppendRun(TDomXPathNodeSetResult& run) {
  if (run.FNodes.empty()) {
    return;
  }
  const size_t start = FNodes.size();
  if (FNodes.empty()) {
    FNodes.swap(run.FNodes);
  } else {
    if (!FUnsettled) {
      FUnsettled = !TDomXPathOrderKeys::Before(FKeys.KeyOf(FNodes.back()),
                                               FKeys.KeyOf(run.FNodes.front()), FAxisType);
    }
    FNodes.insert(FNodes.end(), run.FNodes.begin(), run.FNodes.end());
    run.FNodes.clear();
  }
  // Objects never change owner: the run's namespace nodes are copied, and go with the run.
  if (run.OwnsNamespaceNodes()) {
    CopyForeignNamespaceNodes(start);
    run.FreeNamespaceNodes();
  }
}

void TDomXPathNodeSetResult::SettleOrder() {
  if (!FUnsettled) {
    return;
  }
  FUnsettled = false;
  std::vector<TDomNode*> dropped;
  SortNodes(FNodes, FAxisType, true, &dropped);
  for (TDomNode* node : dropped) {
    ReleaseNamespaceNode(node);
  }
}

} // namespace velmora
