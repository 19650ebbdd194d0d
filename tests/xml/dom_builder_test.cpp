#include "xml/dom_builder.h"

#include <gtest/gtest.h>

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/wide_string_list.h"
#include "runtime/streams.h"
#include "tests/support/temp_folder.h"
#include "xml/dom_reader.h"
#include "xml/input_sources.h"
#include "xml/resource_resolvers.h"
#include "xml/utf_codecs.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora::testing {
namespace {

std::string Narrow(std::u16string_view text) {
  return WideToNarrow(text);
}

// The tree below node, compactly: elements as name(children) with [attributes], text
// "t'..'" (with * when from a character reference), CDATA "cd'..'", comments "c'..'",
// PIs "?target|data", entity references "&name", document types "!name".
std::string Dump(TDomNode* node) {
  std::string out;
  switch (node->nodeType()) {
  case nkElement: {
    auto* element = static_cast<TDomElement*>(node);
    out = Narrow(element->nodeName());
    for (TCustomOwnedNode* item : element->attributeItems()) {
      auto* attribute = static_cast<TDomAttr*>(item);
      out += "[" + Narrow(attribute->nodeName()) + "=" + Narrow(attribute->nodeValue());
      if (!attribute->namespaceURI().empty()) {
        out += "@" + Narrow(attribute->namespaceURI());
      }
      out += "]";
    }
    if (!element->namespaceURI().empty()) {
      out += "{" + Narrow(element->namespaceURI()) + "}";
    }
    break;
  }
  case nkText:
    out = "t'" + Narrow(node->nodeValue()) + "'" +
          (static_cast<TDomText*>(node)->fromCharacterReference() ? "*" : "");
    break;
  case nkCDATASection:
    out = "cd'" + Narrow(node->nodeValue()) + "'";
    break;
  case nkComment:
    out = "c'" + Narrow(node->nodeValue()) + "'";
    break;
  case nkProcessingInstruction:
    out = "?" + Narrow(node->nodeName()) + "|" + Narrow(node->nodeValue());
    break;
  case nkEntityReference:
    out = "&" + Narrow(node->nodeName());
    break;
  case nkDocumentType:
    out = "!" + Narrow(node->nodeName());
    break;
  case nkDocument:
    out = "#";
    break;
  default:
    out = "?";
  }
  if (node->hasTreeChildren() && node->nodeType() != nkEntityReference) {
    out += "(";
    for (TDomNode* child = node->firstChild(); child; child = child->nextSibling()) {
      out += (out.back() == '(' ? "" : ",") + Dump(child);
    }
    out += ")";
  }
  return out;
}

class ParserTest : public ::testing::Test {
protected:
  ParserTest() { FParser->SetDOMImpl(FImplementation.get()); }

  // The dump of the parsed text, or "error" and the kinds reported.
  std::string Parse(std::string_view text) {
    FKinds.clear();
    try {
      TDomDocument* document = FParser->ParseString(text, u"", nullptr, false);
      const std::string dump = Dump(document);
      document->Free();
      return dump;
    } catch (const EParserException& error) {
      return std::string("error: ") + error.what();
    }
  }

  TOwned<TDomImplementation> FImplementation{new TDomImplementation};
  TOwned<TXmlToDomParser> FParser{new TXmlToDomParser};
  std::vector<int> FKinds;

  void SetUp() override {
    FImplementation->OnError = [this](void*, const TDomError& error, bool&) {
      FKinds.push_back(error.ErrorKind());
    };
  }
};

struct TOptionCase {
  const char* Text;
  bool KeepCDATA, KeepComments, KeepEntityRefs;
  const char* Tree;
};

class BuilderOptions : public ParserTest, public ::testing::WithParamInterface<TOptionCase> {};

TEST_P(BuilderOptions, ShapeTheTree) {
  FParser->SetKeepCDATASections(GetParam().KeepCDATA);
  FParser->SetKeepComments(GetParam().KeepComments);
  FParser->SetKeepEntityRefs(GetParam().KeepEntityRefs);
  EXPECT_EQ(Parse(GetParam().Text), GetParam().Tree);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuilderOptions,
    ::testing::Values(
        TOptionCase{"<a>a &amp; b &lt; c</a>", true, true, false, "#(a(t'a & b < c'))"},
        TOptionCase{"<a>a &amp; b &lt; c</a>", true, true, true,
                    "#(a(t'a ',&amp,t' b ',&lt,t' c'))"},
        TOptionCase{"<a>&e;&amp;</a>", true, true, false, "#(a(&e,t'&'))"},
        TOptionCase{"<a>x&#65;y</a>", true, true, true, "#(a(t'xAy'*))"},
        TOptionCase{"<a>1<![CDATA[2]]>3</a>", true, true, true, "#(a(t'1',cd'2',t'3'))"},
        TOptionCase{"<a>1<![CDATA[2]]>3</a>", false, true, true, "#(a(t'123'))"},
        TOptionCase{"<a>1<!--c-->2</a>", true, true, true, "#(a(t'1',c'c',t'2'))"},
        TOptionCase{"<a>1<!--c-->2</a>", true, false, true, "#(a(t'12'))"},
        TOptionCase{"<!--x-->\n<?p d?>\n<a x='x &amp; y'> <b/> </a>\n<!--y-->", true, true,
                    true, "#(c'x',?p|d,a[x=x &amp; y](t' ',b,t' '),c'y')"},
        TOptionCase{"<!DOCTYPE a [<!ELEMENT a ANY>]><a/>", true, true, true, "#(!a,a)"}));

TEST_F(ParserTest, DoctypesAreKeptUnlessIgnored) {
  FParser->Builder()->SetDocTypeDeclTreatment(dtIgnore);
  EXPECT_EQ(Parse("<!DOCTYPE a><a/>"), "#(a)");
}

TEST_F(ParserTest, RefusesWhatIsNotWellFormedAndKeepsNothing) {
  const int documents = FImplementation->documents()->length();
  EXPECT_EQ(Parse("<a><b></a>"), "error: Parser error.");
  EXPECT_EQ(FKinds, std::vector<int>{ekEndTagMismatch});
  EXPECT_EQ(FImplementation->documents()->length(), documents);
  // Problems found before reading starts are delivered first, without a location.
  const std::pair<std::string_view, int> early[] = {
      {"<?xml version='1.0' standalone='maybe'?><a/>", ekInvalidXmlDeclaration},
      {"<?xml encoding='UTF-8'?><a/>", ekInvalidXmlDeclaration},
      {"<?xml version='1.1'?><a/>", ekUnsupportedVersion},
      {"<?xml version='1.0' encoding='x-unknown'?><a/>", ekEncodingNotSupported},
      {"\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?><a/>", ekInputEncodingError},
  };
  for (const auto& [text, kind] : early) {
    EXPECT_EQ(Parse(text), "error: Parser error.") << text;
    EXPECT_EQ(FKinds, std::vector<int>{kind}) << text;
  }
}

TEST_F(ParserTest, EntryPointsCheckTheirArguments) {
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { FParser->ParseString("", u"", nullptr, false); }, "Empty string."},
      {[&] { FParser->ParseWideString(u"", u"", nullptr, false); }, "Empty string."},
      {[&] { FParser->ParseFile(""); }, "Filename not specified."},
      {[&] { FParser->ParseStream(nullptr, u"", nullptr, false); }, "Stream not specified."},
      {[&] { FParser->ParseInputSource(nullptr); }, "Input source not specified."},
      {[&] { FParser->ParseFragmentInto(nullptr, nullptr); },
       "Reference document fragment not specified."},
  };
  for (const auto& [call, message] : cases) {
    try {
      call();
      ADD_FAILURE() << "no error: " << message;
    } catch (const EAccessViolation& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
  TOwned<TXmlToDomParser> alone(new TXmlToDomParser);
  try {
    alone->ParseString("<a/>", u"", nullptr, false);
    ADD_FAILURE() << "parsed without an implementation";
  } catch (const EAccessViolation& error) {
    EXPECT_STREQ(error.what(), "DOM implementation not specified.");
  }
  EXPECT_THROW(FParser->SetBufferSize(1023), ENot_Supported_Err);
  FParser->SetBufferSize(1024);
  // Every codec kind across refills of the smallest buffer.
  std::string big = "<a>";
  for (int i = 0; i < 2000; ++i) {
    big += "<b x='\xC3\xA4'>text \xE2\x82\xAC</b>\r\n";
  }
  big += "</a>";
  TDomDocument* document = FParser->ParseString(big, u"", nullptr, false);
  EXPECT_EQ(document->documentElement()->childCount(), 4000);
  document->Free();
}

TEST_F(ParserTest, ParsesFilesUrisWideStringsAndLists) {
  TTempFolder folder;
  folder.WriteFile("doc.xml", "<?xml version='1.0'?>\n<a>x</a>");
  TDomDocument* document = FParser->ParseFile(folder.File("doc.xml"));
  EXPECT_EQ(Narrow(document->documentURI()), "file://" + folder.File("doc.xml"));
  EXPECT_EQ(Dump(document), "#(a(t'x'))");
  document->Free();
  EXPECT_THROW(FParser->ParseFile(folder.File("missing.xml")), EFOpenError);

  TOwned<TStandardResourceResolver> resolver(new TStandardResourceResolver);
  FImplementation->SetResourceResolver(resolver.get());
  document = FParser->ParseUri(NarrowToWide("file://" + folder.File("doc.xml")), nullptr, false);
  ASSERT_NE(document, nullptr);
  document->Free();
  EXPECT_EQ(FParser->ParseUri(NarrowToWide("file://" + folder.File("none.xml")), nullptr, false),
            nullptr);

  document = FParser->ParseWideString(u"<a>\u20AC</a>", u"", TUTF16LECodec::ClassRef(), false);
  EXPECT_EQ(Dump(document), "#(a(t'\xE2\x82\xAC'))");
  document->Free();
  TUtilsWideStringList list(false, dupAccept);
  list.add(u"<a>", nullptr);
  list.add(u"y</a>", nullptr);
  document = FParser->ParseStringList(list, u"");
  EXPECT_EQ(Dump(document), "#(a(t'y'))");
  document->Free();
}

TEST_F(ParserTest, FragmentsParseIntoTheirNode) {
  TDomDocument* document = FParser->ParseString("<r/>", u"", nullptr, false);
  auto* fragment = new TDomDocumentFragment(document);
  const std::string_view text = "t<a/><b>u</b>";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  TXmlSimpleInputSource source(&stream, u"", u"", 1024, nullptr, 0, 0, 0, 0, 1);
  EXPECT_TRUE(FParser->ParseFragmentInto(&source, fragment));
  EXPECT_EQ(Dump(fragment), "?(t't',a,b(t'u'))");
  document->Free();
}

// The DOM reader replays a tree into another document; prefixes declared on elements are
// mapped, so namespace-aware copies get their namespaces.
class DomCopy : public ParserTest {
protected:
  std::string CopyIntoNamespaceDocument(std::string_view text) {
    TDomDocument* source = FParser->ParseString(text, u"", nullptr, false);
    auto* target = new TDomDocumentNS(FImplementation.get());
    TOwned<TXmlStandardDomReader> reader(new TXmlStandardDomReader);
    TOwned<TXmlDomBuilder> builder(new TXmlDomBuilder);
    reader->SetNextHandler(builder.get());
    builder->SetReferenceNode(target);
    const bool copied = reader->ReadNode(source);
    std::string dump = copied ? Dump(target) : "aborted";
    source->Free();
    target->Free();
    return dump;
  }
};

TEST_F(DomCopy, MapsDeclaredPrefixes) {
  EXPECT_EQ(CopyIntoNamespaceDocument("<p:a xmlns:p='urn:p' p:x='1'><p:b/><c/></p:a>"),
            "#(p:a[xmlns:p=urn:p@http://www.w3.org/2000/xmlns/][p:x=1@urn:p]{urn:p}(p:b{urn:p},c))");
  EXPECT_EQ(CopyIntoNamespaceDocument("<a xmlns='urn:d'><b xml:lang='de'/></a>"),
            "#(a[xmlns=urn:d@http://www.w3.org/2000/xmlns/](b[xml:lang=de@http://www.w3.org/XML/"
            "1998/namespace]))");
  EXPECT_EQ(CopyIntoNamespaceDocument("<q:a/>"), "aborted");
}

TEST_F(DomCopy, CopiesTreesAMillionDeep) {
  std::string text;
  for (int i = 0; i < 1000000; ++i) {
    text += "<e>";
  }
  text += "x";
  for (int i = 0; i < 1000000; ++i) {
    text += "</e>";
  }
  TDomDocument* source = FParser->ParseString(text, u"", nullptr, false);
  auto* target = new TDomDocument(FImplementation.get());
  TOwned<TXmlStandardDomReader> reader(new TXmlStandardDomReader);
  TOwned<TXmlDomBuilder> builder(new TXmlDomBuilder);
  reader->SetNextHandler(builder.get());
  builder->SetReferenceNode(target);
  EXPECT_TRUE(reader->ReadNode(source));
  TDomNode* node = target->documentElement();
  int depth = 0;
  while (node && node->nodeType() == nkElement) {
    ++depth;
    node = static_cast<TDomNode*>(node->firstTreeChild());
  }
  EXPECT_EQ(depth, 1000000);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->nodeValue(), u"x");
  source->Free();
  target->Free();
}

} // namespace
} // namespace velmora::testing
