// Reading straight into the XPath document gives what the load through a parsed document
// gives: the same tree, the same problems reported in the same order, the same failure;
// over the conformance suite's documents and the cases that take the other way.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "docservice/document_service.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "runtime/exceptions.h"
#include "xml/parse_errors.h"
#include "xpath/xpath_document.h"

namespace velmora {
namespace {

// Every fact of a node the XPath document keeps, and its subtree.
void Draw(const TDomNode* node, NarrowString& out) {
  out += "(" + std::to_string(node->nodeType()) + " " + WideToUtf8(node->nodeName());
  if (!node->namespaceURI().empty()) {
    out += " {" + WideToUtf8(node->namespaceURI()) + "}";
  }
  out += " '" + WideToUtf8(node->nodeValue()) + "'";
  if (node->nodeType() == nkText && static_cast<const TDomText*>(node)->fromCharacterReference()) {
    out += " &#";
  }
  if (node->nodeType() == nkElement) {
    for (const TCustomOwnedNode* item : static_cast<const TDomElement*>(node)->attributeItems()) {
      Draw(static_cast<const TDomAttr*>(item), out);
    }
  }
  for (const TDomNode* child = node->firstChild(); child; child = child->nextSibling()) {
    Draw(child, out);
  }
  out += ")";
}

NarrowString Picture(const TDomDocumentXPath* document) {
  NarrowString out =
      WideToUtf8(document->inputEncoding()) + "|" + WideToUtf8(document->xmlEncoding()) + "|" +
      std::to_string(document->xmlStandalone()) + "|" + WideToUtf8(document->xmlVersion()) + "|" +
      WideToUtf8(document->documentURI()) + "|";
  for (const TDomNode* child = document->firstChild(); child; child = child->nextSibling()) {
    Draw(child, out);
  }
  return out;
}

// A service that also loads the other way on request.
class TTwoWayService : public TvxDomImplementation {
public:
  using TvxDomImplementation::LoadThroughParsedDocument;
};

// What a load gives: the problems reported, then the picture or "!" and the message.
template <class TLoad> NarrowString Outcome(bool tolerant, TLoad load) {
  auto* service = new TTwoWayService;
  NarrowString out;
  service->OnError = [&](void*, const TDomError& error, bool& go) {
    out += std::to_string(error.ErrorKind()) + "@" + std::to_string(error.StartLine()) + ":" +
           std::to_string(error.StartColumn()) + " ";
    go = go || tolerant;
  };
  try {
    out += Picture(load(service));
  } catch (const std::exception& failure) {
    out += NarrowString("!") + failure.what();
  }
  service->Free();
  return out;
}

void ExpectSameLoad(std::string_view text, const NarrowString& name) {
  for (const bool tolerant : {false, true}) {
    const NarrowString straight = Outcome(tolerant, [&](TTwoWayService* service) {
      return service->LoadFromText(NarrowString(text), ptXml);
    });
    const NarrowString reference = Outcome(tolerant, [&](TTwoWayService* service) {
      return service->LoadThroughParsedDocument(text);
    });
    EXPECT_EQ(straight, reference) << name << (tolerant ? " (reading on after errors)" : "");
  }
}

const std::string_view kTexts[] = {
    "<a xmlns:p='u&amp;v' p:b='1'><p:c p:d='2'/><b xmlns:p='w'><p:c/></b><p:e/></a>",
    "<a><p:b/></a>",
    "<a q:b='1'/>",
    "<a b='x&#9;y&#10;z&amp;&lt;' c='q\"r' d=' \t\n\r s '/>",
    "<?xml version='1.0' encoding='UTF-8' standalone='yes'?><!--c--><a><![CDATA[x]]>&#65;&lt;"
    "</a><?pi d?>",
    "<!DOCTYPE a [<!ENTITY e 'v'><!ATTLIST a d CDATA 'x'>]><a b='&e;'>&e;</a>",
    "<a>&e;</a>",
    "<a b='&e;'/>",
    "<a xmlns='urn:d' xmlns:='u'><b/></a>",
    "<!-- a -- b --><!DOCTYPE a [<!ENTITY e 'v'>]><a>&e;</a>",
    "<a><b></a></b>",
    "<a></b><c xmlns:p='u'><p:d/></c></a>",
    "<a b='1' b='2'/>",
    "<a/><!DOCTYPE a>",
    "\xEF\xBB\xBF<a>\xC3\xA4</a>",
    std::string_view("\xFF\xFE<\0a\0 \0b\0=\0'\0&\0#\0\x39\0;\0'\0/\0>\0", 28),
};

TEST(StraightLoadTest, GivesWhatTheLoadThroughAParsedDocumentGives) {
  for (const std::string_view text : kTexts) {
    ExpectSameLoad(text, NarrowString(text));
  }
}

TEST(StraightLoadTest, GivesWhatTheLoadThroughAParsedDocumentGivesForTheConformanceSuite) {
  const NarrowString suite = VELMORA_XMLCONF;
  std::ifstream manifest(suite + "/manifest.tsv");
  ASSERT_TRUE(manifest) << suite;
  NarrowString line;
  std::getline(manifest, line); // the header
  int cases = 0;
  while (std::getline(manifest, line)) {
    std::vector<NarrowString> fields;
    std::istringstream row(line);
    for (NarrowString field; std::getline(row, field, '\t');) {
      fields.push_back(field);
    }
    if (fields.size() < 8 || fields[4] == "1.1") {
      continue;
    }
    std::ifstream file(suite + "/" + fields[7], std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    ExpectSameLoad(bytes.str(), fields[0]);
    ++cases;
  }
  EXPECT_GT(cases, 500);
}

} // namespace
} // namespace velmora
