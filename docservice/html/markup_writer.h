#pragma once
// Writes the library's tree back as HTML markup, for the library to parse again: the
// orphaned-form merge rearranges a document this way.

#include <string_view>

#include "docservice/html/tidy_library.h"
#include "runtime/strings.h"

namespace velmora {

// A short-lived view of one library node.
class tNodeInfo {
public:
  tNodeInfo(TidyDoc doc, TidyNode node) : FDoc(doc), FNode(node) {}

  TidyNode Node() const { return FNode; }
  TidyNodeType Type() const { return tidyNodeGetType(FNode); }
  TidyTagId TagId() const { return tidyNodeGetId(FNode); }
  // Empty for nodes without a name (text, comments, the root).
  std::string_view Name() const;
  // The library's own text of the node, in its output encoding.
  NarrowString Text() const;
  bool HasAttributes() const { return tidyAttrFirst(FNode) != nullptr; }

private:
  TidyDoc FDoc;
  TidyNode FNode;
};

struct TMarkupWriterSettings {
  // Element names in capitals (the library's UpperCaseTags without XML output).
  bool UpperCaseNames = false;
  std::string_view LineEnd = "\n";
  // The library's TidyEmptyTags: unknown elements named there have no end tag.
  NarrowString EmptyTags;
};

class TMarkupWriter {
public:
  TMarkupWriter(TidyDoc doc, TMarkupWriterSettings settings);

  // The node's own part: an element's start tag, or the text of any other node.
  NarrowString StartMarkup(TidyNode node) const;
  // All children of node with their subtrees.
  NarrowString InnerMarkup(TidyNode node) const;
  // "</name>" and a line end, or nothing for nodes without an end tag.
  NarrowString EndTag(TidyNode node) const;
  bool HasEndTag(TidyNode node) const;

  // The whole tree, leaving out skipped with its subtree and writing moved after the
  // children of receiver.
  NarrowString Document(TidyNode receiver, TidyNode skipped, std::string_view moved) const;

  bool IsXhtml() const { return FXhtml; }

private:
  void AppendNodes(TidyNode first, TidyNode receiver, TidyNode skipped, std::string_view moved,
                   NarrowString& out) const;
  NarrowString ElementStart(const tNodeInfo& info) const;
  NarrowString Named(std::string_view name) const;
  bool InEmptyTags(std::string_view name) const;

  TidyDoc FDoc;
  TMarkupWriterSettings FSettings;
  bool FXhtml;
};

// True when the document is XHTML: an XHTML document type declaration or an XML
// declaration comes first among the root's children, or the first element is html with an
// XHTML namespace.
bool IsXhtmlDocument(TidyDoc doc);

} // namespace velmora
