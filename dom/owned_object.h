#pragma once
// The generic layer under the object model: objects that own other objects (freed with
// them, last adopted first), and tree nodes with an ordered child list.
//
// Freeing never recurses along the tree: a subtree is freed by an iterative walk, and an
// owner that frees everything it owns at once (a document going or being cleared) skips all
// tree maintenance.

#include <cstdint>
#include <memory>
#include <vector>

#include "dom/dom_exceptions.h"
#include "runtime/intrusive_list.h"

namespace velmora {

class TCustomOwnedObject : public TIntrusiveLink<TCustomOwnedObject> {
public:
  // Adopted by owner (if any) before anything else happens, so that a failure later in a
  // constructor leaves nothing unowned.
  explicit TCustomOwnedObject(TCustomOwnedObject* owner);
  TCustomOwnedObject(const TCustomOwnedObject&) = delete;
  TCustomOwnedObject& operator=(const TCustomOwnedObject&) = delete;

  // Runs the object's notifications while it is whole, frees what it owns (and, for a tree
  // node, its subtree), leaves its owner and releases it.
  void Free() noexcept;

  TCustomOwnedObject* GetOwner() const { return FOwner; }
  virtual const char* ClassName() const { return "TCustomOwnedObject"; }

  // Moves object from its owner to this one.
  virtual void takeOwnership(TCustomOwnedObject* object);
  // Frees every owned object, last adopted first.
  virtual void clear();
  virtual void beforeAddOwned(TCustomOwnedObject* object);

  int ownedObjectCount() const { return FOwned ? static_cast<int>(FOwned->Count()) : 0; }
  // The owned object at index in adoption order; EListError "List index out of bounds (%d)".
  TCustomOwnedObject* ownedObject(int index) const;

protected:
  virtual ~TCustomOwnedObject();

  // Runs at the very start of Free, once for the whole subtree that goes (not again for
  // each descendant). Must not throw.
  virtual void BeforeFree() noexcept {}
  // The first step of freeing each object. ownerGoes: the owner frees everything it owns in one go,
  // so tree maintenance and change notifications are skipped. Must not throw.
  virtual void BeforeDestruction(bool ownerGoes) noexcept;
  // Frees what the object owns (tree nodes: and their subtree).
  virtual void DestroyContents() noexcept;

  void addOwned(TCustomOwnedObject* object);
  void removeOwned(TCustomOwnedObject* object);
  void freeOwnedObjects() noexcept;
  // Frees every owned object (and what they own) in two phases: all notifications while
  // everything is whole, then the memory; no tree maintenance. Linear in the number of
  // objects, whatever the shape of the trees.
  void freeAllOwnedAtOnce() noexcept;

  // Leaves the owner without further ado.
  void LeaveOwner() noexcept;

private:
  void NotifyAllOwned() noexcept;
  void DeleteAllOwned() noexcept;

  TCustomOwnedObject* LastOwned() const { return FOwned ? FOwned->Last() : nullptr; }

  TCustomOwnedObject* FOwner = nullptr;
  // Created on the first adoption and dropped when it empties: most nodes own nothing.
  std::unique_ptr<TIntrusiveList<TCustomOwnedObject>> FOwned;
};

class TCustomOwnedNode : public TCustomOwnedObject {
public:
  explicit TCustomOwnedNode(TCustomOwnedObject* owner) : TCustomOwnedObject(owner) {}
  const char* ClassName() const override { return "TCustomOwnedNode"; }

  // Navigation. The child list is an array and every node knows its index in it, so all of
  // these take constant time.
  int childCount() const { return static_cast<int>(FChildren.size()); }
  TCustomOwnedNode* treeChild(size_t index) const {
    return index < FChildren.size() ? FChildren[index] : nullptr;
  }
  TCustomOwnedNode* firstTreeChild() const {
    return FChildren.empty() ? nullptr : FChildren.front();
  }
  TCustomOwnedNode* lastTreeChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TCustomOwnedNode* nextTreeSibling() const;
  TCustomOwnedNode* previousTreeSibling() const;
  TCustomOwnedNode* treeParent() const { return FParent; }
  bool hasTreeChildren() const { return !FChildren.empty(); }
  // The index of node among the children, or -1.
  int indexOfTreeChild(const TCustomOwnedNode* node) const;
  // The index of this node in its parent's child list (0 without a parent).
  size_t indexInParent() const { return FIndex; }
  // Whether node is a proper ancestor of this node.
  bool hasAncestor(const TCustomOwnedNode* node) const;
  const std::vector<TCustomOwnedNode*>& treeChildren() const { return FChildren; }

  bool isReadOnly() const { return FReadOnly; }
  virtual void setReadOnly(bool readOnly) { FReadOnly = readOnly; }

  // Tree operations with their checks; the hooks run on this node, with the moving node.
  virtual TCustomOwnedNode* appendChildNode(TCustomOwnedNode* node);
  virtual TCustomOwnedNode* insertChildNodeBefore(TCustomOwnedNode* node,
                                                  TCustomOwnedNode* refNode);
  virtual TCustomOwnedNode* removeChildNode(TCustomOwnedNode* node);
  virtual TCustomOwnedNode* replaceChildNode(TCustomOwnedNode* newNode, TCustomOwnedNode* oldNode);
  void clear() override;
  // Removes node from its parent and moves node and its descendants to this node's owned
  // objects.
  virtual void adoptSubtree(TCustomOwnedNode* node);

  // Raises the tree failure; DOM nodes raise the DOM exception that stands for it.
  [[noreturn]] virtual void raiseTreeError(TTreeError error) const;

  // Grows with every change of any child list (and of an element's prefix): what live
  // lists compare to know whether their matches are still valid.
  static uint64_t TreeVersion() { return FTreeVersion; }
  static void BumpTreeVersion() { ++FTreeVersion; }

protected:
  virtual void hookBeforeInsert(TCustomOwnedNode* node);
  virtual void hookAfterInsert(TCustomOwnedNode* node);
  virtual void hookBeforeRemove(TCustomOwnedNode* node);
  virtual void hookAfterRemove(TCustomOwnedNode* node);
  virtual void hookBeforeClear();
  virtual void hookAfterClear();

  void DestroyContents() noexcept override;

  // The checks of the tree operations.
  void checkAssigned(const TCustomOwnedNode* node) const;
  void checkSameOwner(const TCustomOwnedNode* node) const;
  void checkHierarchy(const TCustomOwnedNode* node) const;
  void checkWritable() const;
  void checkSourceWritable(const TCustomOwnedNode* node) const;
  void checkIsChild(const TCustomOwnedNode* node) const;
  // The checks of an insertion: assigned, same owner, hierarchy, writable, source writable.
  void checkInsertable(const TCustomOwnedNode* node) const;

  // The two primitives that change child lists. link appends child, or puts it before ref;
  // a child that has a parent is unlinked there first.
  void link(TCustomOwnedNode* child, TCustomOwnedNode* ref);
  static void unlink(TCustomOwnedNode* child);
  // Takes node out of its parent's list (if any) with that parent's removal hooks.
  static void DetachFromParent(TCustomOwnedNode* node);

  // Frees every descendant, deepest and last first, without recursion.
  void FreeChildren() noexcept;
  // Drops the child list of a node whose children are all being freed by their owner.
  void ForgetChildren() noexcept { FChildren.clear(); }

private:
  // Frees a node whose children are gone: what it owns, its place in its parent, its owner.
  static void ReleaseLeaf(TCustomOwnedNode* node) noexcept;

  static uint64_t FTreeVersion;

  std::vector<TCustomOwnedNode*> FChildren;
  TCustomOwnedNode* FParent = nullptr;
  size_t FIndex = 0;
  bool FReadOnly = false;
};

} // namespace velmora
