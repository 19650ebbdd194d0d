#pragma once
// Node tests: which nodes of an axis a step keeps, by kind and name.

#include "dom/dom_types.h"
#include "runtime/strings.h"

namespace velmora {

class TDomCustomDocument;
class TDomNode;
class TDomXPathNameTest;
class TDomXPathSyntaxNode;

class TDomXPathNodeMatcher {
public:
  // nodeTest: the TDomXPathNodeTest of a step; principalKind: the kind that a name test
  // selects on the step's axis. Another class of node test, or a processing-instruction
  // test whose target is no literal, raises EXPath_Type_Err.
  TDomXPathNodeMatcher(const TDomXPathSyntaxNode* nodeTest, TDomNodeType principalKind);

  // Whether node passes. A name test asks for the namespace URI of its prefix on its first
  // node; an unbound prefix raises ENamespace_Err "Namespace URI of prefix '%S' not
  // found.".
  bool Matches(const TDomNode* node) {
    if (FTest == tkAny) {
      return true;
    }
    if (!FResolved) {
      ResolveNamespace();
    }
    return HasKind(node) && (FTest == tkKinds || MatchesName(node));
  }
  // Matches for a node of document's tree index, whose kind and names the index holds.
  bool MatchesListed(const TDomNode* node, TDomNodeType kind, const WideString* localName,
                     const WideString* namespaceURI, const TDomCustomDocument* document) {
    if (FTest == tkAny) {
      return true;
    }
    if (!FResolved) {
      ResolveNamespace();
    }
    if (!HasKind(FKinds, kind)) {
      return false;
    }
    if (FTest == tkKinds) {
      return true;
    }
    if (FTest == tkTarget || kind != nkElement) {
      return MatchesName(node);
    }
    if (document != FDocument) {
      LookUpNames(document);
    }
    return FNamespaceURIKey && namespaceURI == FNamespaceURIKey &&
           (FTest == tkNamespace || (FLocalNameKey && localName == FLocalNameKey));
  }
  // node(): every node passes.
  bool AcceptsAll() const { return FTest == tkAny; }

private:
  enum TTest : uint8_t { tkAny, tkKinds, tkNamespace, tkName, tkTarget };

  bool HasKind(const TDomNode* node) const;
  static bool HasKind(TDomNodeKinds kinds, TDomNodeType kind) {
    return (kinds & NodeKindBit(kind)) != 0;
  }
  bool MatchesName(const TDomNode* node);
  void ResolveNamespace();
  // The name table's copies of the test's names in document (none when no node there has
  // them), so that elements and attributes compare by pointer.
  void LookUpNames(const TDomCustomDocument* document);

  TTest FTest = tkAny;
  TDomNodeKinds FKinds = 0;
  const TDomXPathNameTest* FNameTest = nullptr;
  std::u16string_view FTarget;
  // Whether FNamespaceURI holds the namespace of the name test's prefix.
  bool FResolved = true;
  WideString FNamespaceURI;
  // Elements and attributes looked at: names compare as text for the first few, by
  // their interned copies after that.
  int FNamedNodes = 0;
  const TDomCustomDocument* FDocument = nullptr;
  const WideString* FLocalNameKey = nullptr;
  const WideString* FNamespaceURIKey = nullptr;
};

} // namespace velmora
