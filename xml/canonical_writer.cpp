#include "xml/canonical_writer.h"

#include <algorithm>
#include <vector>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/xml_rules.h"
#include "xml/dtd_validation_agent.h"

namespace velmora {

namespace {

void AppendEscaped(WideString& out, std::u16string_view text) {
  for (char16_t c : text) {
    switch (c) {
    case u'&':
      out += u"&amp;";
      break;
    case u'<':
      out += u"&lt;";
      break;
    case u'>':
      out += u"&gt;";
      break;
    case u'"':
      out += u"&quot;";
      break;
    case 0x09:
      out += u"&#9;";
      break;
    case 0x0A:
      out += u"&#10;";
      break;
    case 0x0D:
      out += u"&#13;";
      break;
    default:
      out += c;
      break;
    }
  }
}

void AppendStartTag(WideString& out, TDomElement* element) {
  out += u'<';
  out += element->nodeName();
  std::vector<TDomAttr*> attributes;
  for (TCustomOwnedNode* item : element->attributeItems()) {
    attributes.push_back(static_cast<TDomAttr*>(item));
  }
  std::sort(attributes.begin(), attributes.end(),
            [](const TDomAttr* a, const TDomAttr* b) { return a->nodeName() < b->nodeName(); });
  for (TDomAttr* attribute : attributes) {
    out += u' ';
    out += attribute->nodeName();
    out += u"=\"";
    AppendEscaped(out, attribute->normalizedValue());
    out += u'"';
  }
  out += u'>';
}

// What a node adds when the walk enters it; whether the walk goes into its children.
bool Enter(WideString& out, TDomNode* node, bool insideRoot) {
  switch (node->nodeType()) {
  case nkElement:
    AppendStartTag(out, static_cast<TDomElement*>(node));
    return true;
  case nkText:
  case nkCDATASection:
    if (insideRoot) {
      AppendEscaped(out, node->nodeValue());
    }
    return false;
  case nkEntityReference: {
    const char16_t predefined = predefinedEntityChar(node->nodeName());
    if (predefined != 0) {
      AppendEscaped(out, std::u16string_view(&predefined, 1));
      return false;
    }
    return true; // its replacement text, as far as it is known
  }
  case nkProcessingInstruction:
    out += u"<?";
    out += node->nodeName();
    out += u' ';
    out += node->nodeValue();
    out += u"?>";
    return false;
  case nkDocument:
    return true;
  default:
    return false;
  }
}

// The notations a DOM Level 1 document declares, by name, in a document type declaration
// of their own (the second canonical form of the conformance suite).
void AppendNotations(WideString& out, TDomCustomDocument* document) {
  const TDomNode* doctype = document->doctype();
  if (document->flavor() != dfPlain || !doctype) {
    return;
  }
  const TDtdNamedObjectMap& map =
      static_cast<TDomDocument*>(document)->validationAgent().DtdModel().NotationDecls();
  std::vector<const TDtdNotationDecl*> notations;
  for (int i = 0; i < map.Count(); ++i) {
    notations.push_back(static_cast<const TDtdNotationDecl*>(map.Item(i)));
  }
  if (notations.empty()) {
    return;
  }
  std::sort(notations.begin(), notations.end(),
            [](const TDtdNotationDecl* a, const TDtdNotationDecl* b) {
              return a->GetName() < b->GetName();
            });
  out += u"<!DOCTYPE " + doctype->nodeName() + u" [\n";
  for (const TDtdNotationDecl* notation : notations) {
    out += u"<!NOTATION " + notation->GetName();
    if (!notation->PublicId().empty()) {
      // Public identifiers compare with their white space normalized.
      out += u" PUBLIC '" + collapseWhiteSpace(notation->PublicId()) + u"'";
      if (!notation->SystemId().empty()) {
        out += u" '" + notation->SystemId() + u"'";
      }
    } else {
      out += u" SYSTEM '" + notation->SystemId() + u"'";
    }
    out += u">\n";
  }
  out += u"]>\n";
}

} // namespace

NarrowString CanonicalForm(TDomCustomDocument* document) {
  WideString out;
  AppendNotations(out, document);
  TDomNode* current = document;
  int depth = 0; // elements open
  for (;;) {
    const bool children = Enter(out, current, depth > 0);
    if (current->nodeType() == nkElement) {
      ++depth;
    }
    if (children && current->hasTreeChildren()) {
      current = static_cast<TDomNode*>(current->firstTreeChild());
      continue;
    }
    for (;;) {
      if (current->nodeType() == nkElement) {
        --depth;
        out += u"</";
        out += current->nodeName();
        out += u'>';
      }
      if (current == document) {
        return WideToUtf8(out);
      }
      if (TCustomOwnedNode* next = current->nextTreeSibling()) {
        current = static_cast<TDomNode*>(next);
        break;
      }
      current = static_cast<TDomNode*>(current->treeParent());
    }
  }
}

} // namespace velmora
