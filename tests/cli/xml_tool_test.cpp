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

TEST(XmlTool, CheckFindsReferencesTheDeclarationsDoNotAllow) {
  TTempFolder folder;
  folder.WriteFile("undeclared.xml", "<a>&foo;</a>");
  folder.WriteFile("external.xml", "<!DOCTYPE a [<!ENTITY e SYSTEM 'e.ent'>]><a>&e;</a>");
  TRun run = RunTool({"check", folder.File("undeclared.xml")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("fatal: entity 'foo' is not declared [ekUndeclaredEntityWf]"),
            std::string::npos);
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
  folder.WriteFile("invalid.xml", "<!DOCTYPE r SYSTEM 'doc.dtd'><r><a/><b/></r>");
  TRun run = RunTool({"validate", folder.File("valid.xml")});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  run = RunTool({"validate", folder.File("valid.xml"), folder.File("invalid.xml")});
  EXPECT_EQ(run.Status, 1);
  const NarrowString prefix = folder.File("invalid.xml") + ":0:0: error: ";
  EXPECT_EQ(run.Out, prefix +
                         "the content of 'r' does not match its declaration (unexpected 'b') "
                         "[ekContentMismatch]\n" +
                         prefix + "required attribute 'n' is missing on 'a' [ekRequiredAttributeMissing]\n" +
                         prefix + "element 'b' is not declared [ekUndeclaredElement]\n");
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

TEST(XmlTool, ExplainsItsUsage) {
  EXPECT_EQ(RunTool({"--help"}).Status, 0);
  EXPECT_NE(RunTool({"--help"}).Out.find("usage: velmora-xml check [--external] FILE..."), std::string::npos);
  for (const std::vector<NarrowString>& wrong :
       {std::vector<NarrowString>{}, {"check"}, {"check", "--external"}, {"validate"}, {"canon"},
        {"canon", "a", "b"}, {"frobnicate"}}) {
    const TRun run = RunTool(wrong);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("usage:"), std::string::npos);
  }
}

} // namespace
} // namespace velmora::testing
