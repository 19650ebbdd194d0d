#include "cli/xml_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/temp_folder.h"

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
                     "## 1 +\nerror\n");
  folder.WriteFile("bad.xml", "<r>");
  run = RunTool({"xpath", folder.File("bad.xml"), "1"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find(folder.File("bad.xml") + ":0:0: fatal: Parser error."), std::string::npos);
}

TEST(XmlTool, ExplainsItsUsage) {
  EXPECT_EQ(RunTool({"--help"}).Status, 0);
  EXPECT_NE(RunTool({"--help"}).Out.find("usage: velmora-xml check FILE..."), std::string::npos);
  for (const std::vector<NarrowString>& wrong :
       {std::vector<NarrowString>{}, {"check"}, {"canon"}, {"canon", "a", "b"}, {"xpath", "a"},
        {"frobnicate"}}) {
    const TRun run = RunTool(wrong);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("usage:"), std::string::npos);
  }
}

} // namespace
} // namespace velmora::testing
