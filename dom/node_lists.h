#pragma once
// The collections of the object model: the plain node list (a view over a list someone else
// owns), the live lists of elements by name, and the named node map of an element's
// attributes.

#include <unordered_map>
#include <vector>

#include "dom/dom_node.h"
#include "dom/node_pool.h"

namespace velmora {

class TDomAttr;
class TDomCustomDocument;

class TDomNodeList {
public:
  // A view of list, which its owner keeps (and which may be none).
  explicit TDomNodeList(const TDomNodeVector* list) : FList(list) {}
  TDomNodeList(const TDomNodeList&) = delete;
  TDomNodeList& operator=(const TDomNodeList&) = delete;
  virtual ~TDomNodeList() = default;

  virtual int length() const;
  // The position of node, or -1.
  virtual int indexOf(const TDomNode* node) const;
  // The node at index, or none when index is out of range.
  virtual TDomNode* item(int index) const;

protected:
  const TDomNodeVector* FList;
};

// The elements below a start node with a given name ("*" for all), in document order, as
// the tree is now. The matches are kept and found again only after the tree has changed,
// so reading all n of them costs one walk.
class TDomElementsNodeList : public TDomNodeList {
public:
  TDomElementsNodeList(const WideString& queryName, TDomNode* startNode);
  int length() const override;
  int indexOf(const TDomNode* node) const override;
  TDomNode* item(int index) const override;
  const WideString& queryName() const { return FQueryName; }

protected:
  virtual bool Matches(const TDomNode* node) const;
  const std::vector<TDomNode*>& Matches() const;

  TDomNode* FStartNode;

private:
  // Whose changes make the matches stale (none: every question walks).
  const TDomCustomDocument* FDocument;
  WideString FQueryName;
  mutable std::vector<TDomNode*> FMatches;
  mutable uint64_t FVersion = UINT64_MAX;
};

class TDomElementsNodeListNS : public TDomElementsNodeList {
public:
  TDomElementsNodeListNS(const WideString& queryNamespaceURI, const WideString& queryLocalName,
                         TDomNode* startNode);
  const WideString& queryNamespaceURI() const { return FQueryNamespaceURI; }
  const WideString& queryLocalName() const { return FQueryLocalName; }

protected:
  bool Matches(const TDomNode* node) const override;

private:
  WideString FQueryNamespaceURI;
  WideString FQueryLocalName;
};

// The attributes of an element. Lookups are linear for a handful of attributes and go
// through an index beyond that.
class TDomNamedNodeMap : public TDomNodeList {
public:
  TDomNamedNodeMap(TDomNode* ownerNode, bool namespaceAwareDefault, TDomNodeKinds allowedKinds);
  // From the nodes' pool: every element with attributes has one.
  static void* operator new(size_t size) { return AllocateDomMemory(size); }
  static void operator delete(void* memory, size_t size) noexcept {
    ReleaseDomMemory(memory, size);
  }

  TDomNode* ownerNode() const { return FOwnerNode; }
  bool namespaceAware() const;
  bool readOnly() const;

  TDomNode* getNamedItem(std::u16string_view name) const;
  TDomNode* getNamedItemNS(std::u16string_view namespaceURI, std::u16string_view localName) const;
  // Put node into the map; the attribute of the same name it replaces (which stays owned
  // by its document), or none.
  TDomNode* setNamedItem(TDomNode* node);
  TDomNode* setNamedItemNS(TDomNode* node);
  TDomNode* removeNamedItem(std::u16string_view name);
  TDomNode* removeNamedItemNS(std::u16string_view namespaceURI, std::u16string_view localName);
  TDomNode* removeItem(TDomNode* node);

  // Without checks: appends node (an attribute learns its map) or takes it out.
  void addItem(TDomNode* node);
  void dropItem(TDomNode* node);
  // An attribute's name changed: the index must be built again.
  void nameChanged() { FIndex.reset(); }

  const TDomNodeVector& items() const { return FItems; }

private:
  struct TKey {
    const WideString* First;
    const WideString* Second;
    bool operator==(const TKey&) const = default;
  };
  struct TKeyHash {
    size_t operator()(const TKey& key) const noexcept {
      return std::hash<const void*>{}(key.First) * 31 + std::hash<const void*>{}(key.Second);
    }
  };
  static constexpr size_t kIndexThreshold = 8;

  TKey KeyOf(const TDomNode* node) const;
  bool Holds(const TDomNode* node) const;
  // The position of the first attribute with key, or -1.
  int Find(const TKey& key) const;
  // The interned key of a name, or false when no node of the document has that name.
  bool PlainKey(std::u16string_view name, TKey& key) const;
  bool NamespaceKey(std::u16string_view namespaceURI, std::u16string_view localName,
                    TKey& key) const;
  void CheckMode(bool namespaceOperation) const;
  void CheckWritable() const;
  void CheckSettable(TDomNode* node) const;
  TDomNode* SetItem(TDomNode* node, const TKey& key);

  TDomNode* FOwnerNode;
  TDomNodeKinds FAllowedKinds;
  bool FNamespaceAwareDefault;
  TDomNodeVector FItems;
  // Made for maps of more than kIndexThreshold items only: most elements have one or two
  // attributes, and an empty hash table would still take 56 bytes of each of their maps.
  mutable std::unique_ptr<std::unordered_map<TKey, size_t, TKeyHash>> FIndex;
};

} // namespace velmora
