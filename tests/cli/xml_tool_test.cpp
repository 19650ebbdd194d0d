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

TEST(XmlTool, ExplainsItsUsage) {
  EXPECT_EQ(RunTool({"--help"}).Status, 0);
  EXPECT_NE(RunTool({"--help"}).Out.find("usage: velmora-xml check FILE..."), std::string::npos);
  for (const std::vector<NarrowString>& wrong :
       {std::vector<NarrowString>{}, {"check"}, {"canon"}, {"canon", "a", "b"}, {"frobnicate"}}) {
    const TRun run = RunTool(wrong);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("usage:"), std::string::npos);
  }
}

} // namespace
} // namespace velmora::testing
