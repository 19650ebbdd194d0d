#include "dom/owned_object.h"

#include "dom/node_pool.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "runtime/format.h"

namespace velmora {

TCustomOwnedObject::TCustomOwnedObject(TCustomOwnedObject* owner) {
  if (owner) {
    owner->addOwned(this);
  }
}

// The lists of the objects that own something and keep no list of their own. The DOM is
// used by one thread at a time.
struct TCustomOwnedObject::TOwnedTable
    : std::unordered_map<const TCustomOwnedObject*, std::unique_ptr<TOwnedList>> {};

TCustomOwnedObject::TOwnedTable& TCustomOwnedObject::OwnedTable() {
  static auto* table = new TOwnedTable; // lives as long as the objects
  return *table;
}

TCustomOwnedObject::~TCustomOwnedObject() {
  // Only a constructor that failed after the adoption gets here still owned.
  LeaveOwner();
  if (FOwnsTabled) {
    OwnedTable().erase(this);
  }
}

TCustomOwnedObject::TOwnedList* TCustomOwnedObject::OwnedList() const {
  return FOwnsTabled ? OwnedTable().find(this)->second.get() : nullptr;
}

TCustomOwnedObject::TOwnedList& TCustomOwnedObject::MakeOwnedList() {
  if (FOwnsTabled) {
    return *OwnedList();
  }
  TOwnedList& list = *OwnedTable().emplace(this, std::make_unique<TOwnedList>()).first->second;
  FOwnsTabled = true;
  return list;
}

void* TCustomOwnedObject::operator new(size_t size) {
  return AllocateDomMemory(size);
}

void TCustomOwnedObject::operator delete(void* memory, size_t size) noexcept {
  ReleaseDomMemory(memory, size);
}

void TCustomOwnedObject::Free() {
  TFirstFailure failures;
  Release(failures);
  failures.Raise();
}

void TCustomOwnedObject::Release(TFirstFailure& failures) noexcept {
  BeforeDestruction(false, failures);
  DestroyContents(failures);
  LeaveOwner();
  delete this;
}

void TCustomOwnedObject::BeforeDestruction(bool, TFirstFailure&) noexcept {}

void TCustomOwnedObject::DestroyContents(TFirstFailure& failures) noexcept {
  freeOwnedObjects(failures);
}

void TCustomOwnedObject::clear() {
  TFirstFailure failures;
  freeOwnedObjects(failures);
  failures.Raise();
}

void TCustomOwnedObject::beforeAddOwned(TCustomOwnedObject*) {}

TCustomOwnedObject* TCustomOwnedObject::ownedObject(int index) const {
  if (index < 0 || index >= ownedObjectCount()) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
  }
  TCustomOwnedObject* object = firstOwned();
  for (int i = 0; i < index; ++i) {
    object = object->NextLinked();
  }
  return object;
}

void TCustomOwnedObject::addOwned(TCustomOwnedObject* object) {
  beforeAddOwned(object);
  MakeOwnedList().PushBack(object);
  object->FOwner = this;
}

void TCustomOwnedObject::removeOwned(TCustomOwnedObject* object) {
  TOwnedList* owned = OwnedList();
  owned->Remove(object);
  object->FOwner = nullptr;
  if (owned->Empty() && FOwnsTabled) {
    OwnedTable().erase(this);
    FOwnsTabled = false;
  }
}

void TCustomOwnedObject::LeaveOwner() noexcept {
  if (FOwner) {
    FOwner->removeOwned(this);
  }
}

void TCustomOwnedObject::freeOwnedObjects(TFirstFailure& failures) noexcept {
  // Freeing one object may free others it holds (a node frees its subtree); those leave
  // the list themselves, so the walk always takes the current last one.
  while (TCustomOwnedObject* last = LastOwned()) {
    removeOwned(last);
    last->Release(failures);
  }
}

void TCustomOwnedObject::freeAllOwnedAtOnce(TFirstFailure& failures) noexcept {
  NotifyAllOwned(failures);
  DeleteAllOwned();
}

void TCustomOwnedObject::NotifyAllOwned(TFirstFailure& failures) noexcept {
  for (TCustomOwnedObject* object = LastOwned(); object; object = object->PrevLinked()) {
    object->BeforeDestruction(true, failures);
    object->NotifyAllOwned(failures);
  }
}

void TCustomOwnedObject::DeleteAllOwned() noexcept {
  while (TCustomOwnedObject* last = LastOwned()) {
    removeOwned(last);
    last->DeleteAllOwned();
    delete last;
  }
}

size_t TCustomOwnedNode::Slot() const {
  if (FSlot >= FParent->FChildren.staleFrom()) {
    FParent->RenumberChildren();
  }
  return FSlot;
}

void TCustomOwnedNode::RenumberChildren() const {
  const size_t end = FChildren.endSlot();
  for (size_t slot = std::max(FChildren.staleFrom(), FChildren.headSlot()); slot < end; ++slot) {
    FChildren.atSlot(slot)->FSlot = static_cast<uint32_t>(slot);
  }
  FChildren.markFresh();
}

size_t TCustomOwnedNode::indexInParent() const {
  return FParent ? Slot() - FParent->FChildren.headSlot() : 0;
}

TCustomOwnedNode* TCustomOwnedNode::nextTreeSibling() const {
  if (!FParent) {
    return nullptr;
  }
  const size_t next = Slot() + 1;
  return next < FParent->FChildren.endSlot() ? FParent->FChildren.atSlot(next) : nullptr;
}

TCustomOwnedNode* TCustomOwnedNode::previousTreeSibling() const {
  if (!FParent) {
    return nullptr;
  }
  const size_t slot = Slot();
  return slot > FParent->FChildren.headSlot() ? FParent->FChildren.atSlot(slot - 1) : nullptr;
}

int TCustomOwnedNode::indexOfTreeChild(const TCustomOwnedNode* node) const {
  return node && node->FParent == this ? static_cast<int>(node->indexInParent()) : -1;
}

bool TCustomOwnedNode::hasAncestor(const TCustomOwnedNode* node) const {
  for (const TCustomOwnedNode* p = FParent; p; p = p->FParent) {
    if (p == node) {
      return true;
    }
  }
  return false;
}

void TCustomOwnedNode::raiseTreeError(TTreeError error) const {
  RaiseTreeError(error);
}

void TCustomOwnedNode::checkAssigned(const TCustomOwnedNode* node) const {
  if (!node) {
    raiseTreeError(teNotAssigned);
  }
}

void TCustomOwnedNode::checkSameOwner(const TCustomOwnedNode* node) const {
  if (GetOwner() != node->GetOwner() && node->GetOwner() != this) {
    raiseTreeError(teWrongOwner);
  }
}

void TCustomOwnedNode::checkHierarchy(const TCustomOwnedNode* node) const {
  // A node without children cannot be an ancestor of anything: no walk needed.
  if (node == this || (node->hasTreeChildren() && hasAncestor(node))) {
    raiseTreeError(teHierarchyRequest);
  }
}

void TCustomOwnedNode::checkWritable() const {
  if (FReadOnly) {
    raiseTreeError(teNoModificationAllowed);
  }
}

void TCustomOwnedNode::checkSourceWritable(const TCustomOwnedNode* node) const {
  if (node->FParent && node->FParent->FReadOnly) {
    raiseTreeError(teNoModificationAllowed);
  }
}

void TCustomOwnedNode::checkIsChild(const TCustomOwnedNode* node) const {
  if (!node || node->FParent != this) {
    raiseTreeError(teNotFound);
  }
}

void TCustomOwnedNode::link(TCustomOwnedNode* child, TCustomOwnedNode* ref) {
  if (child->FParent) {
    unlink(child);
  }
  const size_t position = ref ? ref->indexInParent() : FChildren.size();
  child->FSlot = static_cast<uint32_t>(FChildren.insert(position, child));
  child->FParent = this;
}

void TCustomOwnedNode::unlink(TCustomOwnedNode* child) {
  TCustomOwnedNode* parent = child->FParent;
  parent->FChildren.erase(child->indexInParent());
  child->FParent = nullptr;
  child->FSlot = 0;
}

void TCustomOwnedNode::UnlinkChildren(std::span<TCustomOwnedNode* const> nodes) noexcept {
  if (nodes.size() == 1) {
    if (nodes[0]->FParent) {
      unlink(nodes[0]);
    }
    return;
  }
  // Marked by their missing parent, they all leave in one pass over the list. A handler may
  // have moved one meanwhile: it leaves its new place.
  for (TCustomOwnedNode* node : nodes) {
    if (node->FParent == this) {
      node->FParent = nullptr;
    } else if (node->FParent) {
      unlink(node);
    }
  }
  FChildren.eraseIf([](const TCustomOwnedNode* node) { return !node->FParent; });
}

void TCustomOwnedNode::DetachFromParent(TCustomOwnedNode* node) {
  // A moving node leaves its old parent with that parent's removal hooks, so that whoever
  // watches the old place hears of it.
  if (TCustomOwnedNode* oldParent = node->FParent) {
    oldParent->hookBeforeRemove(node);
    unlink(node);
    oldParent->hookAfterRemove(node);
  }
}

void TCustomOwnedNode::checkInsertable(const TCustomOwnedNode* node) const {
  checkAssigned(node);
  checkSameOwner(node);
  checkHierarchy(node);
  checkWritable();
  checkSourceWritable(node);
}

TCustomOwnedNode* TCustomOwnedNode::appendChildNode(TCustomOwnedNode* node) {
  checkInsertable(node);
  DetachFromParent(node);
  hookBeforeInsert(node);
  link(node, nullptr);
  hookAfterInsert(node);
  return node;
}

TCustomOwnedNode* TCustomOwnedNode::insertChildNodeBefore(TCustomOwnedNode* node,
                                                          TCustomOwnedNode* refNode) {
  checkInsertable(node);
  if (node == refNode) {
    raiseTreeError(teHierarchyRequest);
  }
  if (refNode) {
    checkIsChild(refNode);
  }
  // Moving node out of this list may shift refNode's index; link reads it afterwards.
  DetachFromParent(node);
  hookBeforeInsert(node);
  link(node, refNode);
  hookAfterInsert(node);
  return node;
}

TCustomOwnedNode* TCustomOwnedNode::removeChildNode(TCustomOwnedNode* node) {
  checkAssigned(node);
  checkWritable();
  checkIsChild(node);
  hookBeforeRemove(node);
  unlink(node);
  hookAfterRemove(node);
  return node;
}

TCustomOwnedNode* TCustomOwnedNode::replaceChildNode(TCustomOwnedNode* newNode,
                                                     TCustomOwnedNode* oldNode) {
  // Both missing nodes raise the same failure, so the order of the two checks is moot.
  checkAssigned(oldNode);
  checkInsertable(newNode);
  checkIsChild(oldNode);
  if (newNode == oldNode) {
    return oldNode;
  }
  DetachFromParent(newNode);
  TCustomOwnedNode* next = oldNode->nextTreeSibling();
  hookBeforeRemove(oldNode);
  unlink(oldNode);
  hookAfterRemove(oldNode);
  hookBeforeInsert(newNode);
  link(newNode, next);
  hookAfterInsert(newNode);
  return oldNode;
}

void TCustomOwnedNode::clear() {
  checkWritable();
  hookBeforeClear();
  TFirstFailure failures;
  ClearContents(failures);
  hookAfterClear();
  failures.Raise();
}

void TCustomOwnedNode::ClearContents(TFirstFailure& failures) noexcept {
  freeOwnedObjects(failures);
  if (hasTreeChildren()) {
    // A copy: the nodes hear of their end while they are still in the list.
    std::vector<TCustomOwnedNode*> children;
    children.reserve(FChildren.size());
    for (size_t i = 0; i < FChildren.size(); ++i) {
      children.push_back(FChildren[i]);
    }
    FreeNodes(this, children, failures);
  }
}

void TCustomOwnedNode::hookBeforeInsert(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookAfterInsert(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookBeforeRemove(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookAfterRemove(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookBeforeClear() {}
void TCustomOwnedNode::hookAfterClear() {}

void TCustomOwnedNode::SubtreesFreeing(TCustomOwnedNode*, TCustomOwnedNode*) noexcept {}
void TCustomOwnedNode::SubtreesFreed() noexcept {}

void TCustomOwnedNode::Release(TFirstFailure& failures) noexcept {
  TCustomOwnedNode* self = this;
  FreeNodes(FParent, std::span<TCustomOwnedNode* const>(&self, 1), failures);
}

void TCustomOwnedNode::FreeNodes(TCustomOwnedNode* parent, std::span<TCustomOwnedNode* const> nodes,
                                 TFirstFailure& failures) noexcept {
  if (nodes.empty()) {
    return;
  }
  TCustomOwnedNode* watcher = nodes.front()->TreeWatcher();
  if (watcher) {
    size_t runStart = 0;
    for (size_t i = 1; i <= nodes.size(); ++i) {
      if (i == nodes.size() || nodes[i]->previousTreeSibling() != nodes[i - 1]) {
        watcher->SubtreesFreeing(nodes[runStart], nodes[i - 1]);
        runStart = i;
      }
    }
  }
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    (*node)->BeforeDestruction(false, failures);
  }
  if (parent) {
    parent->UnlinkChildren(nodes);
  }
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    (*node)->DestroyContents(failures);
    (*node)->LeaveOwner();
    delete *node;
  }
  if (watcher) {
    watcher->SubtreesFreed();
  }
}

void TCustomOwnedNode::DestroyContents(TFirstFailure& failures) noexcept {
  freeOwnedObjects(failures);
  FreeDescendants(failures);
}

void TCustomOwnedNode::FreeDescendants(TFirstFailure& failures) noexcept {
  // Each descendant hears of its end when the walk reaches it (while its subtree is whole)
  // and goes when its last child has gone; children go last first, so every unlink is a
  // removal from the end of an array.
  TCustomOwnedNode* node = this;
  while (true) {
    if (node->hasTreeChildren()) {
      node = node->lastTreeChild();
      node->BeforeDestruction(false, failures);
      continue;
    }
    if (node == this) {
      break;
    }
    TCustomOwnedNode* parent = node->FParent;
    ReleaseLeaf(node, failures);
    node = parent;
  }
}

void TCustomOwnedNode::ReleaseLeaf(TCustomOwnedNode* node, TFirstFailure& failures) noexcept {
  node->freeOwnedObjects(failures);
  if (TCustomOwnedNode* parent = node->FParent) {
    if (parent->FChildren.back() == node) {
      parent->FChildren.popBack();
      node->FParent = nullptr;
    } else {
      unlink(node); // an owned object moved it meanwhile
    }
  }
  node->LeaveOwner();
  delete node;
}

} // namespace velmora
