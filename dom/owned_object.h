#pragma once
// The generic layer under the object model: objects that own other objects (freed with
// them, last adopted first), and tree nodes with an ordered child list.
//
// Freeing never recurses along the tree: a subtree is freed by an iterative walk, and an
// owner that frees everything it owns at once (a document going or being cleared) skips all
// tree maintenance. Every tree node goes through one routine, FreeNodes, which tells the
// node's watcher (its document) before anything goes.

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <utility>

#include "dom/child_array.h"
#include "dom/dom_exceptions.h"
#include "runtime/intrusive_list.h"

namespace velmora {

class TDomNode;

// Runs steps that must all run, whatever fails on the way, and keeps the first failure to
// pass it on once they are done: freeing never stops half-way, and never swallows what a
// handler raised.
class TFirstFailure {
public:
  template <class TStep> void Run(TStep&& step) noexcept {
    try {
      step();
    } catch (...) {
      if (!FFailure) {
        FFailure = std::current_exception();
      }
    }
  }
  // Raises the failure kept, if there is one.
  void Raise() {
    if (FFailure) {
      std::rethrow_exception(std::exchange(FFailure, nullptr));
    }
  }

private:
  std::exception_ptr FFailure;
};

class TCustomOwnedObject : public TIntrusiveLink<TCustomOwnedObject> {
public:
  // Adopted by owner (if any) before anything else happens, so that a failure later in a
  // constructor leaves nothing unowned.
  explicit TCustomOwnedObject(TCustomOwnedObject* owner);
  TCustomOwnedObject(const TCustomOwnedObject&) = delete;
  TCustomOwnedObject& operator=(const TCustomOwnedObject&) = delete;

  // The objects of the model come from the node pool (dom/node_pool.h), but under
  // AddressSanitizer, which must see every allocation to find faults.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;

  // Runs the object's notifications while it is whole, frees what it owns (and, for a tree
  // node, its subtree), leaves its owner and releases it. A handler that fails on the way
  // stops nothing; its exception passes on once everything is gone.
  void Free();
  // The same, keeping a handler's failure in failures.
  void Free(TFirstFailure& failures) noexcept { Release(failures); }

  TCustomOwnedObject* GetOwner() const { return FOwner; }
  virtual const char* ClassName() const { return "TCustomOwnedObject"; }
  // Whether this object is a document (the owner its nodes take as their document).
  virtual bool isDocumentObject() const { return false; }
  // This object as a DOM node, or none; none also while a node's constructors run, as a
  // cast would give.
  virtual const TDomNode* asDomNode() const { return nullptr; }

  // Frees every owned object, last adopted first; failures as for Free.
  virtual void clear();
  virtual void beforeAddOwned(TCustomOwnedObject* object);

  int ownedObjectCount() const {
    const TOwnedList* owned = OwnedList();
    return owned ? static_cast<int>(owned->Count()) : 0;
  }
  // The owned object at index in adoption order; EListError "List index out of bounds (%d)".
  TCustomOwnedObject* ownedObject(int index) const;
  // The first owned object in adoption order (the next: its NextLinked), or none.
  TCustomOwnedObject* firstOwned() const {
    const TOwnedList* owned = OwnedList();
    return owned ? owned->First() : nullptr;
  }

protected:
  using TOwnedList = TIntrusiveList<TCustomOwnedObject>;

  virtual ~TCustomOwnedObject();

  // The list of what this object owns, or none while it owns nothing; MakeOwnedList makes
  // it on the first adoption. Most objects own nothing, and a field for the list would make
  // every node of a large document 8 bytes larger: their lists live in a table beside. An
  // owner of many (a document) keeps its own list and overrides both.
  virtual TOwnedList* OwnedList() const;
  virtual TOwnedList& MakeOwnedList();

  // Frees this object: its notifications, what it owns, its place with its owner, its
  // memory.
  virtual void Release(TFirstFailure& failures) noexcept;
  // The first step of freeing each object, while it is whole. ownerGoes: the owner frees
  // everything it owns in one go, so tree maintenance and change notifications are skipped.
  virtual void BeforeDestruction(bool ownerGoes, TFirstFailure& failures) noexcept;
  // Frees what the object owns (tree nodes: and their subtree).
  virtual void DestroyContents(TFirstFailure& failures) noexcept;

  void addOwned(TCustomOwnedObject* object);
  void removeOwned(TCustomOwnedObject* object);
  void freeOwnedObjects(TFirstFailure& failures) noexcept;
  // Frees every owned object (and what they own) in two phases: all notifications while
  // everything is whole, then the memory; no tree maintenance. Linear in the number of
  // objects, whatever the shape of the trees.
  void freeAllOwnedAtOnce(TFirstFailure& failures) noexcept;

  // Leaves the owner without further ado.
  void LeaveOwner() noexcept;

private:
  void NotifyAllOwned(TFirstFailure& failures) noexcept;
  void DeleteAllOwned() noexcept;

  TCustomOwnedObject* LastOwned() const {
    const TOwnedList* owned = OwnedList();
    return owned ? owned->Last() : nullptr;
  }
  struct TOwnedTable;
  static TOwnedTable& OwnedTable();

  TCustomOwnedObject* FOwner = nullptr;
  // Whether the table beside holds a list of this object's (made on the first adoption,
  // dropped when it empties). The fields of TCustomOwnedNode fill the bytes after it.
  bool FOwnsTabled = false;
};

class TCustomOwnedNode : public TCustomOwnedObject {
public:
  explicit TCustomOwnedNode(TCustomOwnedObject* owner) : TCustomOwnedObject(owner) {}
  const char* ClassName() const override { return "TCustomOwnedNode"; }

  // Navigation, all in constant time: the child list is an array, and every node knows its
  // slot in its parent's (renumbered once after changes, when next asked for).
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
  size_t indexInParent() const;
  // Whether node is a proper ancestor of this node.
  bool hasAncestor(const TCustomOwnedNode* node) const;

  bool isReadOnly() const { return FReadOnly; }
  virtual void setReadOnly(bool readOnly) { FReadOnly = readOnly; }

  // Tree operations with their checks; the hooks run on this node, with the moving node.
  virtual TCustomOwnedNode* appendChildNode(TCustomOwnedNode* node);
  virtual TCustomOwnedNode* insertChildNodeBefore(TCustomOwnedNode* node,
                                                  TCustomOwnedNode* refNode);
  virtual TCustomOwnedNode* removeChildNode(TCustomOwnedNode* node);
  virtual TCustomOwnedNode* replaceChildNode(TCustomOwnedNode* newNode, TCustomOwnedNode* oldNode);
  // Frees what this node owns and all its children; failures as for Free.
  void clear() override;

  // Raises the tree failure; DOM nodes raise the DOM exception that stands for it.
  [[noreturn]] virtual void raiseTreeError(TTreeError error) const;

protected:
  virtual void hookBeforeInsert(TCustomOwnedNode* node);
  virtual void hookAfterInsert(TCustomOwnedNode* node);
  virtual void hookBeforeRemove(TCustomOwnedNode* node);
  virtual void hookAfterRemove(TCustomOwnedNode* node);
  virtual void hookBeforeClear();
  virtual void hookAfterClear();

  // Who hears of the subtrees of this node's tree that go (a DOM node: its document), or none.
  virtual TCustomOwnedNode* TreeWatcher() const noexcept { return nullptr; }
  // Told, as watcher, that first..last (adjacent children of one parent, or one node without
  // parent) are about to go with their subtrees; the tree is still whole.
  virtual void SubtreesFreeing(TCustomOwnedNode* first, TCustomOwnedNode* last) noexcept;
  // Told, as watcher, that they are gone.
  virtual void SubtreesFreed() noexcept;

  // The one way tree nodes go. nodes are children of parent, in child order (or one node,
  // parent none): the watcher hears of each run of adjacent ones, the nodes hear of their
  // end while the tree is whole, leave the child list in one pass, and go with everything
  // they own and their subtrees.
  static void FreeNodes(TCustomOwnedNode* parent, std::span<TCustomOwnedNode* const> nodes,
                        TFirstFailure& failures) noexcept;

  void Release(TFirstFailure& failures) noexcept override;
  void DestroyContents(TFirstFailure& failures) noexcept override;
  // What clear frees: what the node owns, then its children.
  virtual void ClearContents(TFirstFailure& failures) noexcept;

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

  // Drops the child list of a node whose children are all being freed by their owner.
  void ForgetChildren() noexcept { FChildren.clear(); }

private:
  // The slot of this node in its parent's child list, brought up to date if need be.
  size_t Slot() const;
  void RenumberChildren() const;
  // Takes nodes (children of this node, or moved away meanwhile) out of the child list.
  void UnlinkChildren(std::span<TCustomOwnedNode* const> nodes) noexcept;
  // Frees every descendant of a node that has left its parent, deepest and last first,
  // without recursion.
  void FreeDescendants(TFirstFailure& failures) noexcept;
  // Frees a node whose children are gone: what it owns, its place in its parent, its owner.
  static void ReleaseLeaf(TCustomOwnedNode* node, TFirstFailure& failures) noexcept;

  // The two small fields first, in the room TCustomOwnedObject leaves at its end.
  bool FReadOnly = false;
  mutable uint32_t FSlot = 0;
  TChildArray<TCustomOwnedNode> FChildren;
  TCustomOwnedNode* FParent = nullptr;
};

} // namespace velmora
