// Loading files, streams and texts into XPath documents.

#include <gtest/gtest.h>

#include "docservice/document_service.h"
#include "dom/dom_exceptions.h"
#include "dom/element.h"
#include "dom/node_lists.h"
#include "dom/other_nodes.h"
#include "runtime/exceptions.h"
#include "runtime/streams.h"
#include "tests/support/temp_folder.h"
#include "xml/xml_to_dom_parser.h"
#include "xpath/xpath_document.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace velmora {
namespace {

// A compact picture of a tree: elements as <name a="v">...</name> (with {uri} after a
// namespaced name), comments <!--x-->, CDATA sections [x], processing instructions <?t d?>.
void Draw(const TDomNode* node, NarrowString& out) {
  switch (node->nodeType()) {
  case nkElement: {
    out += "<" + WideToUtf8(node->nodeName());
    if (!node->namespaceURI().empty()) {
      out += "{" + WideToUtf8(node->namespaceURI()) + "}";
    }
    for (const TCustomOwnedNode* item : static_cast<const TDomElement*>(node)->attributeItems()) {
      const auto* attr = static_cast<const TDomAttr*>(item);
      out += " " + WideToUtf8(attr->nodeName()) + "=\"" + WideToUtf8(attr->nodeValue()) + "\"";
    }
    out += ">";
    for (const TDomNode* child = node->firstChild(); child; child = child->nextSibling()) {
      Draw(child, out);
    }
    out += "</" + WideToUtf8(node->nodeName()) + ">";
    return;
  }
  case nkText:
    out += WideToUtf8(node->nodeValue());
    return;
  case nkCDATASection:
    out += "[" + WideToUtf8(node->nodeValue()) + "]";
    return;
  case nkComment:
    out += "<!--" + WideToUtf8(node->nodeValue()) + "-->";
    return;
  case nkProcessingInstruction:
    out += "<?" + WideToUtf8(node->nodeName()) + " " + WideToUtf8(node->nodeValue()) + "?>";
    return;
  default:
    out += "#" + std::to_string(node->nodeType());
  }
}

NarrowString Picture(const TDomDocumentXPath* document) {
  NarrowString out;
  for (const TDomNode* child = document->firstChild(); child; child = child->nextSibling()) {
    Draw(child, out);
  }
  return out;
}

class DocumentLoaderTest : public ::testing::Test {
protected:
  ~DocumentLoaderTest() override { FService->Free(); }

  int DocumentCount() { return FService->documents()->length(); }

  // What a load of text gives: the picture of the document, or "!" and the message.
  NarrowString Load(std::string_view text, TParserType parserType = ptXml) {
    const int before = DocumentCount();
    try {
      TDomDocumentXPath* document = FService->LoadFromText(NarrowString(text), parserType);
      EXPECT_EQ(DocumentCount(), before + 1);
      return Picture(document);
    } catch (const Exception& failure) {
      EXPECT_EQ(DocumentCount(), before) << "a failed load keeps no document";
      return NarrowString("!") + failure.what();
    }
  }

  TvxDomImplementation* FService = new TvxDomImplementation;
};

struct TLoadCase {
  const char* Name;
  std::string_view Text;
  const char* Expected;
};

void PrintTo(const TLoadCase& loadCase, std::ostream* out) {
  *out << loadCase.Name;
}

class LoadTextTest : public DocumentLoaderTest, public ::testing::WithParamInterface<TLoadCase> {};

TEST_P(LoadTextTest, GivesTheDocumentOrFails) {
  EXPECT_EQ(Load(GetParam().Text), GetParam().Expected);
}

const TLoadCase kLoadCases[] = {
    {"CommentsCDataAndInstructionsStay",
     "<?xml version='1.0'?><a>x<!--c--><![CDATA[<y>]]><?p d?></a>", "<a>x<!--c-->[<y>]<?p d?></a>"},
    {"PredefinedEntitiesBecomeText", "<a n='A&amp;B'>1 &lt; 2 &#65;</a>",
     "<a n=\"A&amp;B\">1 < 2 A</a>"},
    {"DoctypeIsLeftOutAndTheRestCopied",
     "<!DOCTYPE Data [<!ELEMENT Data ANY>]><!--before--><Data><Folder name='A'/></Data>",
     "<!--before--><Data><Folder name=\"A\"></Folder></Data>"},
    {"DeclaredPrefixesCopyWithTheirNamespace",
     "<p:a xmlns:p='urn:p' p:x='1' xml:lang='de'><b xmlns='urn:d'/></p:a>",
     "<p:a{urn:p} xmlns:p=\"urn:p\" p:x=\"1\" xml:lang=\"de\"><b xmlns=\"urn:d\"></b></p:a>"},
    {"EncodingDeclarationDecodesTheBytes",
     "<?xml version='1.0' encoding='ISO-8859-1'?><a>J\xF6rg</a>", "<a>J\xC3\xB6rg</a>"},
    {"Utf16WithByteOrderMark", std::string_view("\xFF\xFE<\0a\0/\0>\0", 10), "<a></a>"},
    {"EmptyText", "", "!Empty string."},
    {"NotWellFormed", "<a><b></a>", "!Parser error."},
    {"NoDocumentElement", "<?xml version='1.0'?>", "!Parser error."},
    // The XPath document cannot hold these as they stand: the load fails rather than hand
    // out the part copied before them.
    {"UndeclaredElementPrefix", "<Data><Folder/><p:Folder/></Data>", "!Parser error."},
    {"UndeclaredAttributePrefix", "<Data><Folder p:name='x'/></Data>", "!Parser error."},
    // Declared entities are replayed as their content; an undeclared one fails.
    {"ReferencesToDeclaredEntities",
     "<!DOCTYPE a [<!ENTITY co 'ACME'><!ENTITY b '<b>&co;</b>'>]><a n='&co; &amp; Co'>&co;&b;</a>",
     "<a n=\"ACME &amp; Co\">ACME<b>ACME</b></a>"},
    {"ReferenceToAnUndeclaredEntity", "<a>&u;</a>", "!Parser error."},
    {"UndeclaredEntityInAnAttribute", "<a n='&u;'/>", "!Parser error."},
};

INSTANTIATE_TEST_SUITE_P(Texts, LoadTextTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Large elements are released from the parsed document while the copy goes on.
TEST_F(DocumentLoaderTest, LargeDocumentsCopyCompletely) {
  NarrowString text = "<Data>";
  NarrowString expected = "<Data>";
  for (int folder = 0; folder < 3; ++folder) {
    text += "<Folder>";
    expected += "<Folder>";
    for (int contact = 0; contact < 1500; ++contact) {
      const NarrowString n = std::to_string(folder) + "." + std::to_string(contact);
      text += "<Contact n='" + n + "'>" + n + "<!--c--><b/></Contact>";
      expected += "<Contact n=\"" + n + "\">" + n + "<!--c--><b></b></Contact>";
    }
    text += "</Folder>";
    expected += "</Folder>";
  }
  EXPECT_EQ(Load(text + "</Data>"), expected + "</Data>");
}

TEST_F(DocumentLoaderTest, ParserTypesOtherThanXmlAndHtmlAreNotSupported) {
  EXPECT_EQ(Load("<a/>", static_cast<TParserType>(7)), "!Not supported error: 7");
  EXPECT_EQ(FService->LastSource(), "<a/>");
}

// A page as they come (unclosed and misnested tags, text beyond Latin-1, a form split by a
// table) is cleaned into XML, loaded, and answers the converter's kind of queries.
TEST_F(DocumentLoaderTest, HtmlPagesAreCleanedAndAnswerQueries) {
  const std::string_view page =
      "<!DOCTYPE html><html><head><title>Kontakte &ndash; \xD0\x9C\xD0\xB8\xD1\x80</title>"
      "<body><h1>Liste<table><tr><td><form action=/send><input name=q value=\"Anna\">"
      "</td><td><a href='tel:+49301234'>Anna <b>Schmidt</a></form></td></tr></table>"
      "<ul><li>eins<li>zwei &amp; drei</ul>";
  if (!THtmlToXml::Available()) {
    EXPECT_EQ(Load(page, ptHtml), "!Not supported error: ptHtml");
    return;
  }
  TDomDocumentXPath* document = FService->LoadFromText(NarrowString(page), ptHtml);
  EXPECT_NE(FService->LastXmlSource(), FService->LastSource());
  EXPECT_TRUE(FService->LastXmlSource().starts_with("<?xml"));
  EXPECT_EQ(FService->JoinedValue(document, nullptr, u"/html/head/title", "").AsString(),
            "Kontakte \xE2\x80\x93 \xD0\x9C\xD0\xB8\xD1\x80");
  EXPECT_EQ(FService->JoinedValue(document, nullptr, u"//li", "|").AsString(), "eins|zwei & drei");
  EXPECT_EQ(FService->JoinedValue(document, nullptr, u"//a/@href", "").AsString(), "tel:+49301234");
  EXPECT_EQ(FService->JoinedValue(document, nullptr, u"//input/@value", "").AsString(), "Anna");
  std::unique_ptr<TDomNodeList> forms = FService->SelectDocumentNodes(document, u"//form");
  ASSERT_NE(forms, nullptr);
  EXPECT_EQ(forms->length(), 1);
}

TEST_F(DocumentLoaderTest, BeforeParseMayReplaceTheTextOrTheTypeOrFail) {
  FService->OnBeforeParse = [](NarrowString& text, TParserType&) { text = "<b>" + text + "</b>"; };
  EXPECT_EQ(Load("x"), "<b>x</b>");
  EXPECT_EQ(FService->LastSource(), "<b>x</b>");
  EXPECT_EQ(FService->LastXmlSource(), "<b>x</b>");

  FService->OnBeforeParse = [](NarrowString&, TParserType& type) {
    type = static_cast<TParserType>(7);
  };
  EXPECT_EQ(Load("<a/>"), "!Not supported error: 7");
  EXPECT_EQ(FService->LastSource(), "<a/>");
  EXPECT_EQ(FService->LastXmlSource(), "<b>x</b>") << "the text last handed to the parser";

  // Whatever the load made before the handler ran is freed (the sanitizer sees leaks).
  FService->OnBeforeParse = [](NarrowString&, TParserType&) { throw EConvertError("refused"); };
  EXPECT_EQ(Load("<a/>"), "!refused");
  EXPECT_EQ(FService->ComponentCount(), 1) << "only the resource resolver stays";
}

TEST_F(DocumentLoaderTest, FilesLoadIntoDistinctDocumentsThatTheServiceKeeps) {
  testing::TTempFolder folder;
  folder.WriteFile("Mobius.lmc", "<Data><Folder name='A'/></Data>");
  TDomDocumentXPath* first = FService->LoadFromFile(folder.File("Mobius.lmc"), ptXml);
  TDomDocumentXPath* second = FService->LoadFromFile(folder.File("Mobius.lmc"), ptXml);
  EXPECT_NE(first, second);
  EXPECT_EQ(Picture(second), "<Data><Folder name=\"A\"></Folder></Data>");
  EXPECT_EQ(DocumentCount(), 2);
  EXPECT_EQ(FService->documents()->item(1), second);

  try {
    FService->LoadFromFile(folder.File("missing.lmc"), ptXml);
    ADD_FAILURE() << "a missing file loaded";
  } catch (const EFOpenError& failure) {
    EXPECT_EQ(NarrowString(failure.what()),
              "Datei " + folder.File("missing.lmc") +
                  " kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden");
  }
  folder.WriteFile("empty.lmc", "");
  EXPECT_THROW(FService->LoadFromFile(folder.File("empty.lmc"), ptXml), EAccessViolation);
  EXPECT_EQ(DocumentCount(), 2);
}

// A stream that promises more bytes than it has.
class TShortStream : public TMemoryStream {
public:
  using TMemoryStream::TMemoryStream;
  int64_t Size() override { return TMemoryStream::Size() + 1; }
};

TEST_F(DocumentLoaderTest, StreamsAreReadFromTheirPositionToTheirEnd) {
  const std::string_view bytes = "junk<a>1</a>";
  TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(4);
  EXPECT_EQ(Picture(FService->LoadFromStream(stream, ptXml)), "<a>1</a>");
  EXPECT_EQ(FService->LastSource(), "<a>1</a>");

  TShortStream shortStream(bytes.data(), static_cast<int64_t>(bytes.size()));
  try {
    FService->LoadFromStream(shortStream, ptXml);
    ADD_FAILURE() << "a short stream loaded";
  } catch (const EReadError& failure) {
    EXPECT_STREQ(failure.what(), "Stream-Lesefehler");
  }
}

#ifndef _WIN32
// A pipe has no size and no position: it is read to its end, by the service and by the
// parser alike. The pipe is opened by name, as a shell passes <(command).
TEST_F(DocumentLoaderTest, PipesAreReadToTheirEnd) {
  const std::string text = "<Data>" + std::string(30000, ' ') + "<Folder name='A'/></Data>";
  const auto pipeNamed = [&text](int(&ends)[2]) {
    EXPECT_EQ(::pipe(ends), 0);
    EXPECT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(ends[1]);
    return "/proc/self/fd/" + std::to_string(ends[0]);
  };
  int ends[2];
  TDomDocumentXPath* document = FService->LoadFromFile(pipeNamed(ends), ptXml);
  ::close(ends[0]);
  EXPECT_EQ(Picture(document),
            "<Data>" + std::string(30000, ' ') + "<Folder name=\"A\"></Folder></Data>");

  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(FService);
  TDomDocument* parsed = parser->ParseFile(pipeNamed(ends));
  ::close(ends[0]);
  ASSERT_NE(parsed, nullptr);
  EXPECT_EQ(parsed->documentElement()->lastChild()->nodeName(), u"Folder");
  parsed->Free();
}
#endif

} // namespace
} // namespace velmora
