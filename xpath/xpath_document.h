#pragma once
// The document that XPath expressions run against, and the numbering of its nodes in
// document order by which node sets are kept sorted.

#include "dom/document.h"
#include "xpath/tree_index.h"

namespace velmora {

// A namespace-aware document whose every node has a meaning in the XPath data model.
class TDomDocumentXPath : public TDomDocumentNS {
public:
  explicit TDomDocumentXPath(TDomImplementation* implementation = nullptr)
      : TDomDocumentNS(implementation) {}
  const char* ClassName() const override { return "TDomDocumentXPath"; }

  // Admits elements, attributes, texts (CDATA sections included), comments, processing
  // instructions and fragments; anything else raises ENot_Supported_Err "Not supported
  // error.".
  void beforeAddOwned(TCustomOwnedObject* object) override;
  // An XPath document has no document type: every attribute is CDATA, and its value is
  // normalized by the rules of XML alone. Final, so that XPath may read a value without
  // references or line breaks as it stands.
  int attributeType(std::u16string_view elementName, std::u16string_view attrName) final;
  void normalizeAttributeValue(std::u16string_view value, int attrType, int& errorCode,
                               WideString& result) final;
  // Whether attr's string value (its normalized value) is its value as it stands.
  static bool keepsAttributeValue(const TDomAttr* attr);

  // The place of node, a node of this document that is no attribute, in document order.
  // The nodes of one tree are numbered in pre-order, and every tree of the document (its
  // own and each tree not inserted into it) takes a range of its own, so the numbers order
  // any two nodes consistently. They stay valid until a child list of the document
  // changes; the next question after that numbers the node's tree again.
  uint64_t orderNumber(const TDomNode* node);

  // The index of the document's own tree (not of trees outside it), current: made when
  // first asked for after a numbering (most queries never scan descendants, and a large
  // document's index takes some 20 bytes a node), dropped by the next change.
  const TDomXPathTreeIndex& treeIndex();
  // Forgets every number and gives number (at most kLastOrderNumber) to the next node
  // numbered: tests use it to reach the end of the nodes' 32 bits.
  void startNumberingAt(uint64_t number);
  static constexpr uint64_t kLastOrderNumber = UINT32_MAX;

  void doNodeClearing(TDomNode* node) override;
  void doNodeInserted(TDomNode* node) override;
  void doNodeRemoving(TDomNode* node) override;

private:
  // Numbers the tree of root in one iterative pre-order walk.
  void NumberTree(const TDomNode* root);
  void ForgetNumbers();
  // Starts over from 1, every node unnumbered, when a numbering might run past the last
  // number a node can hold.
  void MakeRoomForNumbers();

  // Numbers only grow: those below FFirstCurrentNumber were given before the last change.
  uint64_t FNextNumber = 1;
  uint64_t FFirstCurrentNumber = 1;
  // The number of the document itself in the last numbering of its tree.
  uint64_t FTreeFirstNumber = 0;
  TDomXPathTreeIndex FTreeIndex;
};

// The XPath document that node belongs to (node itself, for a document), or none.
TDomDocumentXPath* XPathDocumentOf(const TDomNode* node);

} // namespace velmora
