#pragma once
// A sorted map of nodes by node name that owns its members and frees them.

#include "dom/dom_node.h"
#include "dom/wide_string_list.h"

namespace velmora {

class TDomOwnerNamedNodeMap {
public:
  // Decides whether a node is an instance of the map's item class.
  using TItemClassTest = bool (*)(const TDomNode* node);

  template <class TItem> static bool IsInstance(const TDomNode* node) {
    return dynamic_cast<const TItem*>(node) != nullptr;
  }

  explicit TDomOwnerNamedNodeMap(TItemClassTest itemClass) : FItemClass(itemClass) {}
  TDomOwnerNamedNodeMap(const TDomOwnerNamedNodeMap&) = delete;
  TDomOwnerNamedNodeMap& operator=(const TDomOwnerNamedNodeMap&) = delete;
  ~TDomOwnerNamedNodeMap();

  int length() const { return FItems.count(); }
  // By sorted position; none when out of range.
  TDomNode* item(int index) const;
  // Inserts node under its name: EHierarchy_Request_Err "Hierarchy request error." for a
  // node of another class, EStringListError for a name already present.
  int add(TDomNode* node);
  // Frees every member; a handler's failure passes on once all are gone.
  void clear();
  // Frees the node at index; EStringListError "List index out of bounds (%d)".
  void remove(int index);
  // Takes node out without freeing it; EStringListError "Item not found" when absent.
  TDomNode* extract(TDomNode* node);
  TDomNode* getNamedItem(std::u16string_view name) const;
  bool hasNamedItem(std::u16string_view name) const { return indexOfName(name) >= 0; }
  int indexOf(const TDomNode* node) const { return FItems.indexOfObject(node); }
  int indexOfName(std::u16string_view name) const { return FItems.indexOf(name); }
  // Free the node if present; its former index or -1.
  int removeNode(TDomNode* node);
  int removeNamedItem(std::u16string_view name);

private:
  void FreeAll(TFirstFailure& failures) noexcept;

  TItemClassTest FItemClass;
  TUtilsWideStringList FItems{true, dupError};
};

} // namespace velmora
