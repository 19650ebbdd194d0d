#include "docservice/html/markup_writer.h"

#include <vector>

#include "docservice/html/markup_scan.h"

namespace velmora {

namespace {

// Removes the line end after a final ">".
void TrimLineEndAfterTag(NarrowString& markup) {
  const size_t last = markup.find_last_not_of("\r\n");
  if (last != NarrowString::npos && last + 1 < markup.size() && markup[last] == '>') {
    markup.resize(last + 1);
  }
}

// Declarations on one line: each line break becomes a blank, and the breaks and blanks
// after it go.
NarrowString JoinLines(std::string_view text) {
  NarrowString joined;
  joined.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= 10 && c <= 13) {
      joined += ' ';
      while (i + 1 < text.size() && (text[i + 1] == ' ' || (text[i + 1] >= 10 && text[i + 1] <= 13))) {
        ++i;
      }
    } else {
      joined += c;
    }
  }
  return joined;
}

// The library writes the code of scripts escaped; the markup it parses again must not be.
NarrowString UnescapeScriptText(std::string_view text) {
  NarrowString plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text.substr(i, 4) == "&lt;") {
      plain += '<';
      i += 4;
    } else if (text.substr(i, 4) == "&gt;") {
      plain += '>';
      i += 4;
    } else if (text.substr(i, 5) == "&amp;") {
      plain += '&';
      i += 5;
    } else {
      plain += text[i++];
    }
  }
  return plain;
}

void AppendAttributeValue(std::string_view value, NarrowString& out) {
  const bool hasDouble = value.find('"') != std::string_view::npos;
  const bool hasSingle = value.find('\'') != std::string_view::npos;
  if (hasDouble && !hasSingle) {
    out += '\'';
    out += value;
    out += '\'';
    return;
  }
  out += '"';
  for (char c : value) {
    if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  out += '"';
}

bool IsElementType(TidyNodeType type) {
  return type == TidyNode_Start || type == TidyNode_StartEnd;
}

} // namespace

std::string_view tNodeInfo::Name() const {
  const char* name = tidyNodeGetName(FNode);
  return name ? std::string_view(name) : std::string_view();
}

NarrowString tNodeInfo::Text() const {
  TTidyBuffer text;
  tidyNodeGetText(FDoc, FNode, text.get());
  return NarrowString(text.Text());
}

TMarkupWriter::TMarkupWriter(TidyDoc doc, TMarkupWriterSettings settings)
    : FDoc(doc), FSettings(std::move(settings)), FXhtml(IsXhtmlDocument(doc)) {}

NarrowString TMarkupWriter::Named(std::string_view name) const {
  NarrowString shown(name);
  if (FSettings.UpperCaseNames) {
    for (char& c : shown) {
      c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return shown;
}

bool TMarkupWriter::InEmptyTags(std::string_view name) const {
  const std::string_view list = FSettings.EmptyTags;
  size_t start = 0;
  while (start < list.size()) {
    const size_t end = std::min(list.find_first_of(", ", start), list.size());
    const std::string_view entry = list.substr(start, end - start);
    if (entry.size() == name.size() && HasTextAt(entry, 0, name)) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

bool TMarkupWriter::HasEndTag(TidyNode node) const {
  const tNodeInfo info(FDoc, node);
  const TidyTagId id = info.TagId();
  if (IsEmptyClassTag(id)) {
    return false;
  }
  if (IsOptionalEndClassTag(id)) {
    return true;
  }
  switch (info.Type()) {
  case TidyNode_DocType: case TidyNode_Comment: case TidyNode_ProcIns: case TidyNode_Text:
  case TidyNode_StartEnd:
    return false;
  default:
    break;
  }
  const std::string_view name = info.Name();
  if (name.empty()) {
    return false;
  }
  return !(id == TidyTag_UNKNOWN && InEmptyTags(name));
}

NarrowString TMarkupWriter::ElementStart(const tNodeInfo& info) const {
  NarrowString markup = "<" + Named(info.Name());
  for (TidyAttr attr = tidyAttrFirst(info.Node()); attr; attr = tidyAttrNext(attr)) {
    markup += ' ';
    markup += tidyAttrName(attr);
    if (const char* value = tidyAttrValue(attr)) {
      markup += '=';
      AppendAttributeValue(value, markup);
    }
  }
  markup += FXhtml && !HasEndTag(info.Node()) ? " />" : ">";
  markup += FSettings.LineEnd;
  return markup;
}

NarrowString TMarkupWriter::StartMarkup(TidyNode node) const {
  const tNodeInfo info(FDoc, node);
  const TidyNodeType type = info.Type();
  NarrowString markup;
  if (type == TidyNode_DocType || type == TidyNode_ProcIns || type == TidyNode_XmlDecl) {
    markup = info.Text();
    markup.resize(markup.rfind('>') == NarrowString::npos ? 0 : markup.rfind('>') + 1);
    if (type != TidyNode_ProcIns) {
      markup = JoinLines(markup);
    }
  } else if (IsElementType(type) && !info.Name().empty()) {
    markup = ElementStart(info);
  } else if (tidyNodeHasText(FDoc, node)) {
    markup = info.Text();
    const TidyNode parent = tidyGetParent(node);
    if (parent && tidyNodeGetId(parent) == TidyTag_SCRIPT) {
      markup = UnescapeScriptText(markup);
    }
  }
  TrimLineEndAfterTag(markup);
  return markup;
}

NarrowString TMarkupWriter::EndTag(TidyNode node) const {
  if (!HasEndTag(node)) {
    return {};
  }
  return "</" + Named(tNodeInfo(FDoc, node).Name()) + ">" + NarrowString(FSettings.LineEnd);
}

NarrowString TMarkupWriter::InnerMarkup(TidyNode node) const {
  NarrowString markup;
  AppendNodes(tidyGetChild(node), nullptr, nullptr, {}, markup);
  TrimLineEndAfterTag(markup);
  return markup;
}

NarrowString TMarkupWriter::Document(TidyNode receiver, TidyNode skipped,
                                     std::string_view moved) const {
  NarrowString markup;
  AppendNodes(tidyGetChild(tidyGetRoot(FDoc)), receiver, skipped, moved, markup);
  return markup;
}

// Depth first without recursion: the open elements wait on a stack for their end tags.
void TMarkupWriter::AppendNodes(TidyNode first, TidyNode receiver, TidyNode skipped,
                                std::string_view moved, NarrowString& out) const {
  std::vector<TidyNode> open;
  TidyNode current = first;
  for (;;) {
    if (current) {
      if (current == skipped) {
        current = tidyGetNext(current);
        continue;
      }
      out += StartMarkup(current);
      open.push_back(current);
      current = tidyGetChild(current);
      continue;
    }
    if (open.empty()) {
      return;
    }
    const TidyNode done = open.back();
    open.pop_back();
    if (done == receiver) {
      out += moved;
    }
    out += EndTag(done);
    current = tidyGetNext(done);
  }
}

bool IsXhtmlDocument(TidyDoc doc) {
  for (TidyNode node = tidyGetChild(tidyGetRoot(doc)); node; node = tidyGetNext(node)) {
    const tNodeInfo info(doc, node);
    switch (info.Type()) {
    case TidyNode_DocType:
      if (info.Text().find("XHTML") != NarrowString::npos) {
        return true;
      }
      break;
    case TidyNode_XmlDecl:
      return true;
    case TidyNode_Start: case TidyNode_StartEnd: {
      if (info.TagId() != TidyTag_HTML) {
        return false;
      }
      for (TidyAttr attr = tidyAttrFirst(node); attr; attr = tidyAttrNext(attr)) {
        const char* value = tidyAttrValue(attr);
        if (tidyAttrGetId(attr) == TidyAttr_XMLNS && value &&
            std::string_view(value).find("xhtml") != std::string_view::npos) {
          return true;
        }
      }
      return false;
    }
    default:
      break;
    }
  }
  return false;
}

} // namespace velmora
