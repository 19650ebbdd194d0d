#include "cli/xml_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "docservice/html/html_to_xml.h"
#include "dom/document.h"
#include "dom/dom_implementation.h"
#include "dom/element.h"
#include "dom/node_lists.h"
#include "tests/support/temp_folder.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora::testing {
namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun RunTool(const std::vector<NarrowString>& arguments) {
  std::ostringstream out, err;
  const int status = RunXmlTool(arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(XmlTool, CheckReportsEveryRecordWithItsPlace) {
  TTempFolder folder;
  folder.WriteFile("good.xml", "<a/>");
  folder.WriteFile("bad.xml", "<?xml version='1.0'?>\n<a>\n  </b>");
  TRun run = RunTool({"check", folder.File("good.xml")});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  run = RunTool({"check", folder.File("good.xml"), folder.File("bad.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, folder.File("bad.xml") +
                         ":3:5: fatal: end tag 'b' does not match the open element "
                         "[ekEndTagMismatch]\n");
  run = RunTool({"check", folder.File("none.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find(folder.File("none.xml") + ":0:0: fatal: "), std::string::npos);
}

TEST(XmlTool, CanonPrintsTheCanonicalForm) {
  TTempFolder folder;
  folder.WriteFile("doc.xml", "<?xml version='1.0'?>\n<!-- c --><?p?>\n<r b='2' a='&amp;\t'>"
                              "x<![CDATA[<y>]]>&#13;<e/>\"</r>\n");
  TRun run = RunTool({"canon", folder.File("doc.xml")});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "<?p ?><r a=\"&amp; \" b=\"2\">x&lt;y&gt;&#13;<e></e>&quot;</r>");
}

TEST(XmlTool, CheckFindsReferencesTheDeclarationsDoNotAllow) {
  TTempFolder folder;
  folder.WriteFile("undeclared.xml", "<a>\n &foo;</a>");
  folder.WriteFile("in-value.xml", "<a>\n<b c='&lt;&#65;&bar;'/></a>");
  folder.WriteFile("external.xml", "<!DOCTYPE a [<!ENTITY e SYSTEM 'e.ent'>]><a>&e;</a>");
  folder.WriteFile("with-type.xml", "<!DOCTYPE a [<!ENTITY e 'x'>]>\n<a>&e;\n  &f;</a>");
  // Without a document type declaration they are found while reading, with their place.
  TRun run = RunTool({"check", folder.File("undeclared.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, folder.File("undeclared.xml") +
                         ":2:3: fatal: entity 'foo' is not declared [ekUndeclaredEntityWf]\n");
  run = RunTool({"check", folder.File("in-value.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, folder.File("in-value.xml") +
                         ":2:2: fatal: entity '&bar;' is not declared [ekUndeclaredEntityWf]\n");
  // With one they are found once the declarations are complete, and keep their place.
  run = RunTool({"check", folder.File("with-type.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, folder.File("with-type.xml") +
                         ":3:4: fatal: entity 'f' is not declared [ekUndeclaredEntityWf]\n");
  // Nothing external is read unless asked: then the missing file is fatal.
  EXPECT_EQ(RunTool({"check", folder.File("external.xml")}).Status, 0);
  run = RunTool({"check", "--external", folder.File("external.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("[ekResourceNotFound]"), std::string::npos);
}

TEST(XmlTool, ValidateReportsEveryViolation) {
  TTempFolder folder;
  folder.WriteFile("doc.dtd", "<!ELEMENT r (a)+><!ELEMENT a EMPTY><!ATTLIST a n NMTOKEN #REQUIRED>");
  folder.WriteFile("valid.xml", "<!DOCTYPE r SYSTEM 'doc.dtd'><r><a n='x'/></r>");
  folder.WriteFile("invalid.xml", "<!DOCTYPE r SYSTEM 'doc.dtd'>\n<r>\n <a/><b/></r>");
  TRun run = RunTool({"validate", folder.File("valid.xml")});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  run = RunTool({"validate", folder.File("valid.xml"), folder.File("invalid.xml")});
  EXPECT_EQ(run.Status, 1);
  // Each record found on the finished document takes the place of the element it is about.
  const NarrowString file = folder.File("invalid.xml");
  EXPECT_EQ(run.Out, file +
                         ":2:2: error: the content of 'r' does not match its declaration "
                         "(unexpected 'b') [ekContentMismatch]\n" +
                         file +
                         ":3:3: error: required attribute 'n' is missing on 'a' "
                         "[ekRequiredAttributeMissing]\n" +
                         file + ":3:7: error: element 'b' is not declared [ekUndeclaredElement]\n");
  // What an entity brought in was not read there: it takes the place of its element.
  folder.WriteFile("entity.xml",
                   "<!DOCTYPE r [<!ELEMENT r ANY><!ENTITY e '<x/>'>]>\n<r>\n&e;&e;</r>");
  run = RunTool({"validate", folder.File("entity.xml")});
  EXPECT_EQ(run.Status, 1);
  const NarrowString undeclared =
      folder.File("entity.xml") +
      ":2:2: error: element 'x' is not declared [ekUndeclaredElement]\n";
  EXPECT_EQ(run.Out, undeclared + undeclared);
}

TEST(XmlTool, CanonExpandsEntitiesAndAddsDefaults) {
  TTempFolder folder;
  folder.WriteFile("e.ent", "<x>ext</x>");
  folder.WriteFile("doc.xml", "<!DOCTYPE r [<!ENTITY co 'ACME &amp; Co'><!ENTITY ext SYSTEM 'e.ent'>"
                              "<!ATTLIST r d CDATA 'def'>]><r>&co;|&ext;</r>");
  const TRun run = RunTool({"canon", folder.File("doc.xml")});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "<r d=\"def\">ACME &amp; Co|<x>ext</x></r>");
}

// A page as they come: unclosed and misnested tags, UTF-8 text beyond Latin-1, a form
// split by a table, an entity the XML parser would not know by name.
constexpr const char* kBrokenPage =
    "<!DOCTYPE html>\n<html><head><meta charset=utf-8><title>Pr\xC3\xBC" "fung &ndash; "
    "\xD0\x9C\xD0\xB8\xD1\x80</title>\n"
    "<body><h1>Preise in \xE2\x82\xAC<p>Erster <b>Absatz <i>kursiv</b> weiter\n"
    "<table><tr><td><form action=/send method=post><input name=q value=\"\xE6\x97\xA5\">"
    "</td><td><select name=s><option>a<option selected>b</select></form></td></tr></table>"
    "<ul><li>eins<li>zwei &amp; drei</ul><br><img src=x.png alt=\"\">";

TEST(XmlTool, HtmlPrintsXmlThatOurParserReads) {
  TTempFolder folder;
  folder.WriteFile("page.html", kBrokenPage);
  const TRun run = RunTool({"html", folder.File("page.html")});
  if (!THtmlToXml::Available()) {
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find(kHtmlCleanupUnavailable), std::string::npos) << run.Err;
    return;
  }
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Out.starts_with("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"));
  EXPECT_EQ(run.Out.find("<!DOCTYPE"), NarrowString::npos) << run.Out;

  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  // As the document service parses.
  parser->SetKeepEntityRefs(false);
  TDomDocument* document = parser->ParseString(run.Out, u"", nullptr, false);
  ASSERT_NE(document, nullptr);
  const TDomElement* root = document->documentElement();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->nodeName(), u"html");
  const WideString text = root->textContent();
  for (const char16_t* part : {u"Pr\u00FCfung \u2013 \u041C\u0438\u0440", u"Preise in \u20AC",
                               u"zwei & drei"}) {
    EXPECT_NE(text.find(part), WideString::npos) << WideToNarrow(part);
  }
  TDomNodeList* inputs = document->getElementsByTagName(u"input");
  ASSERT_EQ(inputs->length(), 1);
  ASSERT_EQ(document->getElementsByTagName(u"form")->length(), 1);
  EXPECT_EQ(static_cast<TDomElement*>(inputs->item(0))->getAttribute(u"name"), u"q");
  EXPECT_NE(run.Out.find("<input name=\"q\" value=\"&#26085;\" />"), NarrowString::npos);
  document->Free();

  // Loaded as the converter loads HTML, the page answers queries.
  const TRun query =
      RunTool({"html", folder.File("page.html"), "--xpath", "count(//form/descendant::input)",
               "normalize-space(string(//li[2]))"});
  EXPECT_EQ(query.Status, 0) << query.Err;
  EXPECT_EQ(query.Out, "## count(//form/descendant::input)\nnumber 1\n"
                       "## normalize-space(string(//li[2]))\nstring \"zwei & drei\"\n");
}

TEST(XmlTool, HtmlFailsWithAReason) {
  TTempFolder folder;
  NarrowString deep;
  for (int i = 0; i < 20000; ++i) {
    deep += "<span>";
  }
  folder.WriteFile("deep.html", deep);
  TRun run = RunTool({"html", folder.File("deep.html")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find(THtmlToXml::Available() ? "HTML nests deeper than 10000 levels."
                                                 : kHtmlCleanupUnavailable),
            std::string::npos)
      << run.Err;
  run = RunTool({"html", folder.File("none.html")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find(folder.File("none.html") + ": "), std::string::npos) << run.Err;
}

TEST(XmlTool, XPathPrintsEachResultInItsForm) {
  TTempFolder folder;
  folder.WriteFile("doc.xml", "<?xml version='1.0'?>\n<!--c--><r a='1' xmlns:p='urn:p'><p:x>one</p:x>"
                              "<x>t<![CDATA[w]]><!--n--></x><?pi d?><x b='q\"'/>tail</r>");
  TRun run = RunTool({"xpath", folder.File("doc.xml"), "//node() | //@*"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "nodeset 13\n/comment()[1]\n/r[1]\n/r[1]/@a\n/r[1]/p:x[1]\n"
                     "/r[1]/p:x[1]/text()[1]\n/r[1]/x[1]\n/r[1]/x[1]/text()[1]\n"
                     "/r[1]/x[1]/text()[2]\n/r[1]/x[1]/comment()[1]\n"
                     "/r[1]/processing-instruction(pi)[1]\n/r[1]/x[2]\n/r[1]/x[2]/@b\n"
                     "/r[1]/text()[1]\n");
  run = RunTool({"xpath", folder.File("doc.xml"), "/", "r/namespace::*[1]", "1 div 4",
                 "not(true())", "concat(string(//@b), '\\\t\r\n')", "1 +"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, "## /\nnodeset 1\n/\n"
                     "## r/namespace::*[1]\nnodeset 1\n/r[1]/namespace(p)\n"
                     "## 1 div 4\nnumber 0.25\n"
                     "## not(true())\nboolean false\n"
                     "## concat(string(//@b), '\\\t\r\n')\nstring \"q\\\"\\\\\\t\\r\\n\"\n"
                     "## 1 +\nerror: the expression does not parse\n");
  folder.WriteFile("bad.xml", "<r>");
  run = RunTool({"xpath", folder.File("bad.xml"), "1"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find(folder.File("bad.xml") + ":0:0: fatal: Parser error."), std::string::npos);
}

TEST(XmlTool, ExplainsItsUsage) {
  EXPECT_EQ(RunTool({"--help"}).Status, 0);
  EXPECT_NE(RunTool({"--help"}).Out.find("usage: velmora-xml check [--external] FILE..."), std::string::npos);
  for (const std::vector<NarrowString>& wrong :
       {std::vector<NarrowString>{}, {"check"}, {"check", "--external"}, {"validate"}, {"canon"},
        {"canon", "a", "b"}, {"html"}, {"html", "a", "b"}, {"xpath", "a"}, {"frobnicate"}}) {
    const TRun run = RunTool(wrong);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("usage:"), std::string::npos);
  }
}

} // namespace
} // namespace velmora::testing
