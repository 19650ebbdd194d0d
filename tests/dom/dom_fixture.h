#pragma once
// Documents that record the change notifications of their nodes, for the tests of the
// node tree.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "runtime/component.h"

namespace velmora::testing {

template <class TBase> class TRecordingDocument : public TBase {
public:
  TRecordingDocument() : TBase(nullptr) {}

  void doNodeInserted(TDomNode* node) override {
    Record("inserted", node);
    TBase::doNodeInserted(node);
  }
  void doNodeRemoving(TDomNode* node) override {
    Record("removing", node);
    TBase::doNodeRemoving(node);
  }
  void doNodeClearing(TDomNode* node) override {
    Record("clearing", node);
    TBase::doNodeClearing(node);
  }
  void doCharacterDataModified(TDomNode* node) override {
    Record("data", node);
    TBase::doCharacterDataModified(node);
  }
  void doAttrModified(TDomNode* node, TDomAttrChange change, TDomAttr* attr) override {
    static const char* const kChanges[] = {"addition", "modification", "removal"};
    Record(std::string("attr ") + kChanges[change] + " " + WideToNarrow(attr->nodeName()), node);
    TBase::doAttrModified(node, change, attr);
  }

  std::vector<std::string> Events;

private:
  void Record(const std::string& what, TDomNode* node) {
    Events.push_back(what + " " + WideToNarrow(node->nodeName()));
  }
};

// Frees a document (and so every node of it) when the test ends.
template <class TDocument> struct TDocumentFree {
  void operator()(TDocument* document) const { document->Free(); }
};

class DomTest : public ::testing::Test {
protected:
  using TPlainDocument = TRecordingDocument<TDomDocument>;
  using TNamespaceDocument = TRecordingDocument<TDomDocumentNS>;

  TDomElement* Element(const char16_t* name) { return new TDomElement(FDoc.get(), name); }
  TDomText* Text(const char16_t* data) {
    auto* text = new TDomText(FDoc.get());
    text->setNodeValue(data);
    return text;
  }
  TDomElement* ElementNS(const char16_t* uri, const char16_t* name) {
    return new TDomElement(FDocNS.get(), uri, name);
  }

  std::unique_ptr<TPlainDocument, TDocumentFree<TPlainDocument>> FDoc{new TPlainDocument};
  std::unique_ptr<TNamespaceDocument, TDocumentFree<TNamespaceDocument>> FDocNS{
      new TNamespaceDocument};
};

} // namespace velmora::testing
