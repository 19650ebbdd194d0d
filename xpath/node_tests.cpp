#include "xpath/node_tests.h"

#include "dom/document.h"
#include "dom/element.h"
#include "runtime/format.h"
#include "xpath/evaluation.h"
#include "xpath/location_path_nodes.h"
#include "xpath/node_kinds.h"
#include "xpath/syntax_tree.h"

namespace velmora {

TDomXPathNodeMatcher::TDomXPathNodeMatcher(const TDomXPathSyntaxNode* nodeTest,
                                           TDomNodeType principalKind) {
  if (!nodeTest || !nodeTest->IsA(ncNodeTest) || !nodeTest->Left()) {
    RaiseXPathTypeError();
  }
  const TDomXPathSyntaxNode* test = nodeTest->Left();
  switch (test->NodeClass()) {
  case ncNameTest:
    FNameTest = static_cast<const TDomXPathNameTest*>(test);
    FKinds = NodeKindBit(principalKind);
    FResolved = FNameTest->Prefix().empty();
    if (FNameTest->LocalName() != u"*") {
      FTest = tkName;
    } else {
      FTest = FNameTest->Prefix().empty() ? tkKinds : tkNamespace;
    }
    break;
  case ncNodeTypeComment:
    FTest = tkKinds;
    FKinds = NodeKindBit(nkComment);
    break;
  case ncNodeTypeText:
    FTest = tkKinds;
    FKinds = kTextLikeKinds;
    break;
  case ncNodeTypePI:
    FKinds = NodeKindBit(nkProcessingInstruction);
    FTest = tkKinds;
    if (const TDomXPathSyntaxNode* target = test->Left()) {
      if (!target->IsA(ncLiteral)) {
        RaiseXPathTypeError();
      }
      FTest = tkTarget;
      FTarget = target->Value();
    }
    break;
  case ncNodeTypeNode:
    FTest = tkAny;
    break;
  default:
    RaiseXPathTypeError();
  }
}

bool TDomXPathNodeMatcher::HasKind(const TDomNode* node) const {
  return HasKind(FKinds, node->nodeType());
}

void TDomXPathNodeMatcher::ResolveNamespace() {
  const std::u16string_view prefix = FNameTest->Prefix();
  FNamespaceURI = FNameTest->SyntaxTree()->LookupNamespaceURI(WideString(prefix));
  if (FNamespaceURI.empty()) {
    throw ENamespace_Err(Format("Namespace URI of prefix '%S' not found.", {prefix}));
  }
  FResolved = true;
}

void TDomXPathNodeMatcher::LookUpNames(const TDomCustomDocument* document) {
  FDocument = document;
  TDomNameTable& names = const_cast<TDomCustomDocument*>(document)->nameTable();
  FLocalNameKey = names.Find(FNameTest->LocalName());
  FNamespaceURIKey = names.Find(FNamespaceURI);
}

bool TDomXPathNodeMatcher::MatchesName(const TDomNode* node) {
  if (FTest == tkTarget) {
    return node->nodeName() == FTarget;
  }
  const TDomNodeType kind = node->nodeType();
  // A look-up in the name table pays off over many nodes, not over a few.
  constexpr int kNodesBeforeLookUp = 8;
  if ((kind == nkElement || kind == nkAttribute) && node->ownerDocument() &&
      ++FNamedNodes > kNodesBeforeLookUp) {
    // Names of elements and attributes live in their document's name table: equal names
    // are equal pointers.
    if (node->ownerDocument() != FDocument) {
      LookUpNames(node->ownerDocument());
    }
    const WideString* namespaceURI = kind == nkElement
                                         ? static_cast<const TDomElement*>(node)->namespaceURIKey()
                                         : static_cast<const TDomAttr*>(node)->namespaceURIKey();
    if (namespaceURI != FNamespaceURIKey || !FNamespaceURIKey) {
      return false;
    }
    if (FTest == tkNamespace) {
      return true;
    }
    const WideString* localName = kind == nkElement
                                      ? static_cast<const TDomElement*>(node)->localNameKey()
                                      : static_cast<const TDomAttr*>(node)->localNameKey();
    return localName == FLocalNameKey && FLocalNameKey;
  }
  // As in XPath 1.0, the name of a namespace node is its prefix in no namespace:
  // "namespace::p" selects the binding of p.
  const std::u16string_view namespaceURI =
      kind == nkXPathNamespace ? std::u16string_view() : std::u16string_view(node->namespaceURI());
  return namespaceURI == FNamespaceURI &&
         (FTest == tkNamespace || node->localName() == FNameTest->LocalName());
}

} // namespace velmora
