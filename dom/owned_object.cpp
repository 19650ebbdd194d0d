#include "dom/owned_object.h"

#include "runtime/format.h"

namespace velmora {

uint64_t TCustomOwnedNode::FTreeVersion = 0;

TCustomOwnedObject::TCustomOwnedObject(TCustomOwnedObject* owner) {
  if (owner) {
    owner->addOwned(this);
  }
}

TCustomOwnedObject::~TCustomOwnedObject() {
  // Only a constructor that failed after the adoption gets here still owned.
  LeaveOwner();
}

void TCustomOwnedObject::Free() noexcept {
  BeforeFree();
  BeforeDestruction(false);
  DestroyContents();
  LeaveOwner();
  delete this;
}

void TCustomOwnedObject::BeforeDestruction(bool) noexcept {}

void TCustomOwnedObject::DestroyContents() noexcept {
  freeOwnedObjects();
}

void TCustomOwnedObject::takeOwnership(TCustomOwnedObject* object) {
  if (!object || object == this || object->FOwner == this) {
    return;
  }
  object->LeaveOwner();
  addOwned(object);
}

void TCustomOwnedObject::clear() {
  freeOwnedObjects();
}

void TCustomOwnedObject::beforeAddOwned(TCustomOwnedObject*) {}

TCustomOwnedObject* TCustomOwnedObject::ownedObject(int index) const {
  if (index < 0 || index >= ownedObjectCount()) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
  }
  TCustomOwnedObject* object = FOwned->First();
  for (int i = 0; i < index; ++i) {
    object = object->NextLinked();
  }
  return object;
}

void TCustomOwnedObject::addOwned(TCustomOwnedObject* object) {
  beforeAddOwned(object);
  if (!FOwned) {
    FOwned = std::make_unique<TIntrusiveList<TCustomOwnedObject>>();
  }
  FOwned->PushBack(object);
  object->FOwner = this;
}

void TCustomOwnedObject::removeOwned(TCustomOwnedObject* object) {
  FOwned->Remove(object);
  object->FOwner = nullptr;
  if (FOwned->Empty()) {
    FOwned.reset();
  }
}

void TCustomOwnedObject::LeaveOwner() noexcept {
  if (FOwner) {
    FOwner->removeOwned(this);
  }
}

void TCustomOwnedObject::freeOwnedObjects() noexcept {
  // Freeing one object may free others it holds (a node frees its subtree); those leave
  // the list themselves, so the walk always takes the current last one.
  while (TCustomOwnedObject* last = LastOwned()) {
    removeOwned(last);
    last->Free();
  }
}

void TCustomOwnedObject::freeAllOwnedAtOnce() noexcept {
  NotifyAllOwned();
  DeleteAllOwned();
}

void TCustomOwnedObject::NotifyAllOwned() noexcept {
  for (TCustomOwnedObject* object = LastOwned(); object; object = object->PrevLinked()) {
    object->BeforeDestruction(true);
    object->NotifyAllOwned();
  }
}

void TCustomOwnedObject::DeleteAllOwned() noexcept {
  while (TCustomOwnedObject* last = LastOwned()) {
    removeOwned(last);
    last->DeleteAllOwned();
    delete last;
  }
}

TCustomOwnedNode* TCustomOwnedNode::nextTreeSibling() const {
  return FParent ? FParent->treeChild(FIndex + 1) : nullptr;
}

TCustomOwnedNode* TCustomOwnedNode::previousTreeSibling() const {
  return FParent && FIndex > 0 ? FParent->FChildren[FIndex - 1] : nullptr;
}

int TCustomOwnedNode::indexOfTreeChild(const TCustomOwnedNode* node) const {
  return node && node->FParent == this ? static_cast<int>(node->FIndex) : -1;
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
  size_t at = FChildren.size();
  if (ref) {
    at = ref->FIndex;
    FChildren.insert(FChildren.begin() + static_cast<std::ptrdiff_t>(at), child);
    for (size_t i = at + 1; i < FChildren.size(); ++i) {
      FChildren[i]->FIndex = i;
    }
  } else {
    FChildren.push_back(child);
  }
  child->FIndex = at;
  child->FParent = this;
  BumpTreeVersion();
}

void TCustomOwnedNode::unlink(TCustomOwnedNode* child) {
  TCustomOwnedNode* parent = child->FParent;
  std::vector<TCustomOwnedNode*>& siblings = parent->FChildren;
  const size_t at = child->FIndex;
  siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(at));
  for (size_t i = at; i < siblings.size(); ++i) {
    siblings[i]->FIndex = i;
  }
  child->FParent = nullptr;
  child->FIndex = 0;
  BumpTreeVersion();
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
  freeOwnedObjects();
  FreeChildren();
  hookAfterClear();
}

void TCustomOwnedNode::adoptSubtree(TCustomOwnedNode* node) {
  checkAssigned(node);
  if (node->FParent) {
    node->FParent->removeChildNode(node);
  }
  // Pre-order, without recursion.
  TCustomOwnedNode* current = node;
  while (current) {
    takeOwnership(current);
    if (current->hasTreeChildren()) {
      current = current->firstTreeChild();
      continue;
    }
    while (current != node && !current->nextTreeSibling()) {
      current = current->FParent;
    }
    current = current == node ? nullptr : current->nextTreeSibling();
  }
}

void TCustomOwnedNode::hookBeforeInsert(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookAfterInsert(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookBeforeRemove(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookAfterRemove(TCustomOwnedNode*) {}
void TCustomOwnedNode::hookBeforeClear() {}
void TCustomOwnedNode::hookAfterClear() {}

void TCustomOwnedNode::DestroyContents() noexcept {
  freeOwnedObjects();
  FreeChildren();
  if (FParent) {
    unlink(this);
  }
}

void TCustomOwnedNode::FreeChildren() noexcept {
  // Each descendant hears of its end when the walk reaches it (while its subtree is whole)
  // and goes when its last child has gone; children go last first, so every unlink is a
  // removal from the end of an array.
  TCustomOwnedNode* node = this;
  while (true) {
    if (node->hasTreeChildren()) {
      node = node->lastTreeChild();
      node->BeforeDestruction(false);
      continue;
    }
    if (node == this) {
      break;
    }
    TCustomOwnedNode* parent = node->FParent;
    ReleaseLeaf(node);
    node = parent;
  }
}

void TCustomOwnedNode::ReleaseLeaf(TCustomOwnedNode* node) noexcept {
  node->freeOwnedObjects();
  if (node->FParent) {
    unlink(node);
  }
  node->LeaveOwner();
  delete node;
}

} // namespace velmora
