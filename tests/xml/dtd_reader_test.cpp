#include "xml/dtd_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "dom/uri_rules.h"
#include "tests/support/temp_folder.h"
#include "tests/xml/signal_recorder.h"
#include "xml/parse_errors.h"

namespace velmora::testing {
namespace {

using TSignals = std::vector<std::string>;

// The signals between the start of the subset and its end.
TSignals Declarations(const TParseRecord& record) {
  if (record.Signals.size() < 2) {
    return {"(no frame)"};
  }
  return TSignals(record.Signals.begin() + 1, record.Signals.end() - 1);
}

TSubsetOptions External() {
  TSubsetOptions options;
  options.External = true;
  return options;
}

TSubsetOptions WithoutExternalEntities() {
  TSubsetOptions options;
  options.ReadExternal = false;
  return options;
}

struct TDeclarationCase {
  std::string_view Text;
  TSignals Signals;
  bool External = false;
};

void PrintTo(const TDeclarationCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class DtdDeclarations : public ::testing::TestWithParam<TDeclarationCase> {};

TEST_P(DtdDeclarations, ArriveAsSignalsWithTheirFields) {
  const TParseRecord record =
      ParseSubsetThroughChain(GetParam().Text, GetParam().External ? External() : TSubsetOptions());
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Kinds(), std::vector<int>());
  EXPECT_EQ(Declarations(record), GetParam().Signals);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, DtdDeclarations,
    ::testing::Values(TDeclarationCase{"<!ELEMENT a EMPTY>", {"E:a|EMPTY"}},
                      TDeclarationCase{"<!ELEMENT a\n ANY >", {"E:a|ANY "}},
                      TDeclarationCase{"<!ELEMENT a (#PCDATA|b)*>", {"E:a|(#PCDATA|b)*"}},
                      TDeclarationCase{"<!ELEMENT a (b,(c|d)+,e?)>", {"E:a|(b,(c|d)+,e?)"}}));

INSTANTIATE_TEST_SUITE_P(
    AttributeLists, DtdDeclarations,
    ::testing::Values(TDeclarationCase{"<!ATTLIST a x (p|q) 'p' y CDATA #IMPLIED>",
                                       {"A:a|x|7|0|p|p,q", "A:a|y|0|2||"}},
                      TDeclarationCase{
                          "<!ATTLIST a b CDATA #REQUIRED c ID #IMPLIED d IDREF #IMPLIED\n"
                          " e IDREFS #IMPLIED f ENTITY #IMPLIED g ENTITIES #IMPLIED\n"
                          " h NMTOKEN #IMPLIED i NMTOKENS #IMPLIED j NOTATION ( n | m ) #IMPLIED\n"
                          " k ( u | v ) #FIXED \"u v\" l CDATA '&#60;&amp;'>",
                          {"A:a|b|0|3||", "A:a|c|2|2||", "A:a|d|3|2||", "A:a|e|4|2||",
                           "A:a|f|5|2||", "A:a|g|6|2||", "A:a|h|7|2||", "A:a|i|8|2||",
                           "A:a|j|1|2||n,m", "A:a|k|7|1|u v|u,v", "A:a|l|0|0|&#60;&amp;|"}},
                      TDeclarationCase{"<!ATTLIST a>", {}}, TDeclarationCase{"<!ATTLIST a >", {}}));

INSTANTIATE_TEST_SUITE_P(
    EntitiesAndNotations, DtdDeclarations,
    ::testing::Values(TDeclarationCase{"<!ENTITY e 'v\"w'>", {"G:e|v&#34;w|||"}},
                      TDeclarationCase{"<!ENTITY e \"\">", {"G:e||||"}},
                      TDeclarationCase{"<!ENTITY e SYSTEM 'e.xml'>", {"G:e|||e.xml|"}},
                      TDeclarationCase{"<!ENTITY e PUBLIC '-//A//B' \"e.xml\" NDATA gif >",
                                       {"G:e||-//A//B|e.xml|gif"}},
                      TDeclarationCase{"<!ENTITY % p 'x&#37;y'>", {"P:p|x&#37;y||"}},
                      TDeclarationCase{"<!ENTITY % p SYSTEM 'p.ent' >", {"P:p|||p.ent"}},
                      TDeclarationCase{"<!NOTATION n SYSTEM 'n'>", {"N:n||n"}},
                      TDeclarationCase{"<!NOTATION n PUBLIC 'p'>", {"N:n|p|"}},
                      TDeclarationCase{"<!NOTATION n PUBLIC 'p' 's' >", {"N:n|p|s"}}));

INSTANTIATE_TEST_SUITE_P(CommentsAndPIs, DtdDeclarations,
                         ::testing::Values(TDeclarationCase{"<!-- c --> <?pi some data?><?t?>",
                                                            {"c: c ", "?pi|some data", "?t|"}}));

// References between declarations are read in both subsets (the text padded with a space
// at its end); inside declarations only in the external subset.
INSTANTIATE_TEST_SUITE_P(
    ParameterEntities, DtdDeclarations,
    ::testing::Values(
        TDeclarationCase{"<!ENTITY % d '<!ELEMENT a EMPTY>'> %d;",
                         {"P:d|<!ELEMENT a EMPTY>||", "pe", "E%:a|EMPTY"}},
        TDeclarationCase{
            "<!ENTITY % c '(a|b)'> <!ELEMENT e %c;>", {"P:c|(a|b)||", "pe", "E:e|(a|b) "}, true},
        TDeclarationCase{"<!ENTITY % n 'e'><!ENTITY % t 'CDATA'><!ATTLIST %n; x %t; #IMPLIED>",
                         {"P:n|e||", "P:t|CDATA||", "pe", "pe", "A:e|x|0|2||"},
                         true},
        TDeclarationCase{"<!ENTITY % v 'x\"'> <!ENTITY e 'a%v;b'>",
                         {"P:v|x&#34;||", "pe", "G:e|ax&#34;b|||"},
                         true}));

INSTANTIATE_TEST_SUITE_P(
    ConditionalSections, DtdDeclarations,
    ::testing::Values(
        TDeclarationCase{"<![INCLUDE[<!ELEMENT a ANY>]]>", {"E:a|ANY"}, true},
        TDeclarationCase{"<![ IGNORE [ <!ELEMENT a ANY> <![INCLUDE[ ]]> ' ]]> <!ELEMENT b ANY>",
                         {"E:b|ANY"},
                         true},
        TDeclarationCase{"<![INCLUDE[ <![IGNORE[ x ]]> <![INCLUDE[<!ELEMENT c EMPTY>]]> ]]>",
                         {"E:c|EMPTY"},
                         true},
        TDeclarationCase{"<!ENTITY % draft 'INCLUDE'> <![%draft;[<!ELEMENT d ANY>]]>",
                         {"P:draft|INCLUDE||", "pe", "E:d|ANY"},
                         true},
        // An entity's padding and the white space around its reference are one gap.
        TDeclarationCase{
            "<!ENTITY % e 'IGNORE'> <![ %e; [<!ELEMENT d ANY>]]>", {"P:e|IGNORE||", "pe"}, true},
        TDeclarationCase{
            "<!ENTITY % n 'd'> <!ELEMENT %n;  ANY>", {"P:n|d||", "pe", "E:d|ANY"}, true}));

struct TErrorCase {
  std::string_view Text;
  int Kind; // the first error
  std::string_view Snippet;
  std::string_view Clue;
  bool External = false;
};

void PrintTo(const TErrorCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class DtdErrors : public ::testing::TestWithParam<TErrorCase> {};

// Reading fails at the first error (a fatal one aborts it).
TEST_P(DtdErrors, AreReportedWithTheirKinds) {
  const TParseRecord record =
      ParseSubsetThroughChain(GetParam().Text, GetParam().External ? External() : TSubsetOptions());
  EXPECT_FALSE(record.Completed);
  ASSERT_FALSE(record.Errors.empty());
  EXPECT_EQ(record.Errors[0].Kind, GetParam().Kind);
  EXPECT_EQ(record.Errors[0].Snippet, std::string(GetParam().Snippet));
  EXPECT_EQ(record.Errors[0].Clue, std::string(GetParam().Clue));
}

INSTANTIATE_TEST_SUITE_P(
    Elements, DtdErrors,
    ::testing::Values(TErrorCase{"<!ELEMENT 1a EMPTY>", ekInvalidElementDeclName, "1a", ""},
                      TErrorCase{"<!ELEMENT a (b|)>", ekInvalidContentModel, ")", ""},
                      TErrorCase{"<!ELEMENT a (b) ANY>", ekMisplacedAny, "ANY", ""},
                      TErrorCase{"<!ELEMENT a>", ekInvalidElementDecl, "", " "},
                      TErrorCase{"<!ELEMENT a(b)>", ekInvalidElementDecl, "", " "},
                      TErrorCase{"<!ELEMENT a EMPTY", ekInvalidElementDecl, "", ""},
                      TErrorCase{"<!ELEMENT a <!-- c --> EMPTY>", ekInvalidElementDecl, "", ""},
                      TErrorCase{"<!ELEMNT a EMPTY>", ekInvalidElementDeclStart, "", "<!ELEMENT"}));

INSTANTIATE_TEST_SUITE_P(
    AttributeLists, DtdErrors,
    ::testing::Values(
        TErrorCase{"<!ATTLIST 1a b CDATA #IMPLIED>", ekInvalidAttlistElementType, "", ""},
        TErrorCase{"<!ATTLIST a b CDATA>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b FOO #IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b (x|) #IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b (x)#IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b NOTATION(x) #IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b CDATA #FIXED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b CDATA 'x'c CDATA #IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b CDATA 'x>", ekInvalidLiteral, "", "'"},
        TErrorCase{"<!ATTLIST a'b' CDATA #IMPLIED>", ekInvalidAttlistDecl, "", ""},
        TErrorCase{"<!ATTLIST a b (x y) #IMPLIED>", ekInvalidEnumToken, "x y", ""},
        TErrorCase{"<!ATTLIST a b NOTATION (1x) #IMPLIED>", ekInvalidNotationToken, "1x", ""},
        TErrorCase{"<!ATTLIST a 1b CDATA #IMPLIED>", ekInvalidAttDefName, "1b", ""},
        TErrorCase{"<!ATTLIST a b CDATA '<'>", ekLessThanInAttributeValue, "<", ""},
        TErrorCase{"<!ATTLIST a b CDATA '&x'>", ekEntityRefWithoutSemicolon, "&x", ""},
        TErrorCase{"<!ATTLIST a b CDATA '&#0;'>", ekInvalidCharRef, "&#0;", ""},
        TErrorCase{"<!ATTLST a b CDATA #IMPLIED>", ekInvalidAttlistStart, "", "<!ATTLIST"}));

INSTANTIATE_TEST_SUITE_P(
    EntitiesAndNotations, DtdErrors,
    ::testing::Values(TErrorCase{"<!ENTITY 1e 'v'>", ekInvalidEntityDeclName, "1e", ""},
                      TErrorCase{"<!ENTITY e '%'>", ekInvalidEntityValue, "%", ""},
                      TErrorCase{"<!ENTITY e 'a%b'>", ekInvalidEntityValue, "a%b", ""},
                      TErrorCase{"<!ENTITY e 'v' SYSTEM 'x'>", ekInvalidEntityDecl, "", ""},
                      TErrorCase{"<!ENTITY e SYSTEM 'a' NDATA 1n>", ekInvalidNDataName, "1n", ""},
                      TErrorCase{"<!ENTITY e SYSTEM 'a'NDATA n>", ekInvalidEntityDecl, "", ""},
                      TErrorCase{"<!ENTITY e PUBLIC 'a{' 'b'>", ekInvalidEntityDecl, "", ""},
                      TErrorCase{"<!ENTITY e SYSTEM>", ekInvalidEntityDecl, "", " "},
                      TErrorCase{"<!ENTITY % p SYSTEM 'a' NDATA n>", ekInvalidPEDecl, "", ""},
                      TErrorCase{"<!ENTITY % 1p 'x'>", ekInvalidPEDecl, "", ""},
                      TErrorCase{"<!ENTITY % p '&#0;'>", ekInvalidPEDecl, "", ""},
                      TErrorCase{"<!ENTITY %p 'x'>", ekInvalidEntityDeclName, "%p", ""},
                      TErrorCase{"<!ENTTY e 'v'>", ekInvalidEntityDeclStart, "", "<!ENTITY"},
                      TErrorCase{"<!NOTATION 1n SYSTEM 'n'>", ekInvalidNotationDeclName, "1n", ""},
                      TErrorCase{"<!NOTATION n 'x'>", ekInvalidNotationDecl, "", ""},
                      TErrorCase{"<!NOTATION n PUBLIC 'p''s'>", ekInvalidNotationDecl, "", " "},
                      TErrorCase{"<!NOTATON n SYSTEM 'x'>", ekInvalidNotationDeclStart, "",
                                 "<!NOTATION"}));

INSTANTIATE_TEST_SUITE_P(
    Markup, DtdErrors,
    ::testing::Values(TErrorCase{"<!FOO>", ekInvalidMarkupDecl, "", ""},
                      TErrorCase{"<!ELEMENT a EMPTY> x", ekInvalidMarkupDecl, "", ""},
                      TErrorCase{"<?xml x?>", ekInvalidPITarget, "xml", ""},
                      TErrorCase{"<?pi'x'?>", ekMissingWhitespace, "", " "},
                      TErrorCase{"<?pi x", ekUnclosedPI, "", "?>"},
                      TErrorCase{"<!-- a -- b -->", ekDoubleHyphenInComment, "", ">"},
                      TErrorCase{"<!-- a --->", ekDoubleHyphenInComment, "", ">"}));

INSTANTIATE_TEST_SUITE_P(
    ParameterEntities, DtdErrors,
    ::testing::Values(
        TErrorCase{"<!ENTITY % p 'CDATA'><!ATTLIST a b %p; #IMPLIED>", ekPERefInMarkup, "", ""},
        TErrorCase{"<!ENTITY % v 'x'><!ENTITY e '%v;'>", ekPERefInMarkup, "", ""},
        // Nor inside an internal entity referenced between declarations.
        TErrorCase{"<!ENTITY % v 'x'><!ENTITY % d \"<!ENTITY e '&#37;v;'>\"> %d;", ekPERefInMarkup,
                   "", ""},
        TErrorCase{"<!ENTITY % d '<!ELEMENT a'> %d; EMPTY>", ekPEEndsInMarkup, "", ""},
        TErrorCase{"%u;", ekUndeclaredPE, "", ""}, TErrorCase{"%1;", ekInvalidPEName, "", ""},
        TErrorCase{"<!ENTITY % a '&#37;a;'> %a;", ekRecursiveEntity, "", "a"},
        TErrorCase{"<!ENTITY % a '&#37;b;'><!ENTITY % b ' &#37;a;'> %a;", ekRecursiveEntity, "",
                   "a"},
        TErrorCase{"<!ENTITY % e SYSTEM 'missing.ent'> %e;", ekResourceNotFound, "", ""},
        TErrorCase{"<!ENTITY % c '(a'> <!ELEMENT e %c;)>", ekGroupPENesting, "", "", true},
        TErrorCase{"<!ENTITY % c 'a EMPTY>'> <!ELEMENT %c;", ekDeclPENesting, "", "", true},
        TErrorCase{"<!ENTITY % v 'x'> <!ENTITY e '%w;'>", ekUndeclaredPE, "", "", true}));

INSTANTIATE_TEST_SUITE_P(
    ConditionalSections, DtdErrors,
    ::testing::Values(
        TErrorCase{"<![INCLUDE[ ]]>", ekCondSectInIntSubset, "", ""},
        TErrorCase{"]]>", ekInvalidCondSect, "", "", true},
        TErrorCase{"<![INCLUDE[ <!ELEMENT a ANY>", ekUnclosedCondSect, "", "]]>", true},
        TErrorCase{"<![IGNORE[ <!ELEMENT a ANY>", ekInvalidCondSect, "", "]]>", true},
        TErrorCase{"<![FOO[ ]]>", ekInvalidCondSect, "", "", true},
        TErrorCase{"<![INCLUDE x ]]>", ekInvalidCondSect, "", "[", true},
        TErrorCase{"<!ENTITY % s '<![INCLUDE['> %s; ]]>", ekCondSectPENesting, "", "]]>", true},
        TErrorCase{"<!ENTITY % s 'INCLUDE['> <![%s; ]]>", ekCondSectPENesting, "", "[", true}));

TEST(DtdReader, FramesEachSubsetWithItsStartAndEnd) {
  const TParseRecord internal = ParseSubsetThroughChain(" ");
  EXPECT_EQ(internal.Signals, (TSignals{"int:file:///dtd/doc.dtd|2", "end"}));
  TSubsetOptions standalone;
  standalone.Standalone = sdYes;
  EXPECT_EQ(ParseSubsetThroughChain("", standalone).Signals.front(), "int:file:///dtd/doc.dtd|0");
  const TParseRecord external =
      ParseSubsetThroughChain("<?xml version='1.0' encoding='UTF-8'?><!ELEMENT a ANY>", External());
  EXPECT_TRUE(external.Completed);
  EXPECT_EQ(external.Signals, (TSignals{"ext:file:///dtd/doc.dtd||UTF-8|1.0", "E:a|ANY", "end"}));
  // A fatal error stops the subset: the chain is told it was aborted.
  const TParseRecord aborted = ParseSubsetThroughChain("<!ELEMENT a ANY> <!FOO> <!ELEMENT b ANY>");
  EXPECT_FALSE(aborted.Completed);
  EXPECT_EQ(aborted.Signals, (TSignals{"int:file:///dtd/doc.dtd|2", "E:a|ANY", "abort"}));
}

TEST(DtdReader, RefusesExternalSubsetsWithoutATextDeclarationOfVersionOne) {
  for (const auto& [text, kind] : std::vector<std::pair<std::string_view, int>>{
           {"<?xml version='1.1' encoding='UTF-8'?>", ekUnsupportedVersion},
           {"<?xml version='1.0' encoding='UTF-8' standalone='yes'?>", ekInvalidTextDeclaration},
           {"<?xml version='1.0'?>", ekInvalidTextDeclaration},
           {"<?xml-stylesheet href='x'?>", ekInvalidTextDeclaration}}) {
    const TParseRecord record = ParseSubsetThroughChain(text, External());
    EXPECT_FALSE(record.Completed) << text;
    EXPECT_EQ(record.Kinds(), std::vector<int>{kind}) << text;
    EXPECT_EQ(record.Signals.back(), "abort") << text;
  }
}

TEST(DtdReader, WarnsOfASecondAttlistForAnElementTypeAndKeepsIt) {
  const TParseRecord record = ParseSubsetThroughChain(
      "<!ATTLIST a x CDATA #IMPLIED><!ATTLIST b x CDATA #IMPLIED><!ATTLIST a y CDATA #IMPLIED>");
  EXPECT_TRUE(record.Completed);
  ASSERT_EQ(record.Kinds(), std::vector<int>{ekDuplicateAttlist});
  EXPECT_EQ(record.Errors[0].Snippet, "a");
  EXPECT_EQ(Declarations(record), (TSignals{"A:a|x|0|2||", "A:b|x|0|2||", "A:a|y|0|2||"}));
}

TEST(DtdReader, KeepsTheFirstDeclarationOfAParameterEntity) {
  const TParseRecord record =
      ParseSubsetThroughChain("<!ENTITY % p 'a'><!ENTITY % p 'b'><!ENTITY e '%p;'>", External());
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Kinds(), std::vector<int>{ekDuplicatePEDecl});
  EXPECT_EQ(Declarations(record).back(), "G:e|a|||");
}

// A declaration's location runs from its "<!" to its ">".
TEST(DtdReader, LocatesADeclarationFromItsStart) {
  const TParseRecord record = ParseSubsetThroughChain("\n  <!ELEMENT 1a\n EMPTY>");
  ASSERT_EQ(record.Kinds(), std::vector<int>{ekInvalidElementDeclName});
  EXPECT_EQ(record.Errors[0].StartLine, 2);
  EXPECT_EQ(record.Errors[0].StartColumn, 3);
  EXPECT_EQ(record.Errors[0].EndLine, 3);
  EXPECT_EQ(record.Errors[0].EndColumn, 7);
}

TEST(DtdReader, ReadsOnAfterErrorsWhenTheHandlersSaySo) {
  TSubsetOptions tolerant;
  tolerant.Tolerant = true;
  const TParseRecord record =
      ParseSubsetThroughChain("<!ELEMENT 1a ANY><!FOO><!ELEMENT b ANY>", tolerant);
  EXPECT_FALSE(record.Completed);
  // "<!F", "OO" and ">" each start no declaration.
  EXPECT_EQ(record.Kinds(), (std::vector<int>{ekInvalidElementDeclName, ekInvalidMarkupDecl,
                                              ekInvalidMarkupDecl, ekInvalidMarkupDecl}));
  EXPECT_EQ(Declarations(record), (TSignals{"E:b|ANY"}));
}

// A declaration that an error (not a fatal one) stops is skipped to its ">": what follows
// it is read as before.
TEST(DtdReader, SkipsTheRestOfADeclarationThatAnErrorStopped) {
  const TParseRecord record = ParseSubsetThroughChain(
      "<!ELEMENT a (b|%u;)> <!ENTITY e 'x%u;y'> <!ELEMENT c ANY>", External());
  EXPECT_FALSE(record.Completed);
  EXPECT_EQ(record.Kinds(), (std::vector<int>{ekUndeclaredPE, ekUndeclaredPE}));
  EXPECT_EQ(Declarations(record), (TSignals{"pe", "pe", "E:c|ANY"}));
}

// How references to parameter entities are treated in the internal subset, with and
// without external entities, and in external ones.
TEST(DtdReader, PassesUnreadReferencesOnWithoutExternalEntities) {
  const TParseRecord record = ParseSubsetThroughChain(
      "%u; <!ENTITY % x SYSTEM 'x.ent'> %x; <!ELEMENT a ANY>", WithoutExternalEntities());
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Kinds(), std::vector<int>());
  EXPECT_EQ(Declarations(record), (TSignals{"pe", "%u", "P:x|||x.ent", "pe", "%x", "E:a|ANY"}));
  EXPECT_EQ(record.Opened, TSignals());
}

TEST(DtdReader, ReadsExternalParameterEntitiesBetweenDeclarations) {
  TSubsetOptions options;
  options.Files["file:///dtd/x.ent"] =
      "<?xml encoding='UTF-8'?><!ENTITY % c '(a)'><!ELEMENT e %c;>"
      "<!ENTITY % v 'x'><!ENTITY g '%v;'><![INCLUDE[<!ELEMENT f ANY>]]>";
  const TParseRecord record =
      ParseSubsetThroughChain("<!ENTITY % x SYSTEM 'x.ent'> %x; %x;", options);
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Kinds(), std::vector<int>({ekDuplicatePEDecl, ekDuplicatePEDecl}));
  EXPECT_EQ(Declarations(record),
            (TSignals{"P:x|||x.ent", "pe", "P:c|(a)||", "pe", "E%:e|(a) ", "P:v|x||", "pe",
                      "G%:g|x|||", "E%:f|ANY", "pe", "P:c|(a)||", "pe", "E%:e|(a) ", "P:v|x||",
                      "pe", "G%:g|x|||", "E%:f|ANY"}));
  // The text is loaded once.
  EXPECT_EQ(record.Opened, TSignals{"file:///dtd/x.ent"});
}

#ifndef _WIN32 // named pipes in the file system
// A parameter entity whose text cannot be read: a pipe or a device is never opened, so the
// read cannot hang.
TEST(DtdReader, RefusesParameterEntitiesThatAreNoRegularFiles) {
  TTempFolder folder;
  ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
  const std::string uri = fileNameToUri(folder.File("pipe"));
  const TParseRecord record =
      ParseSubsetThroughChain("<!ENTITY % p SYSTEM '" + uri + "'> %p;", TSubsetOptions());
  EXPECT_FALSE(record.Completed);
  EXPECT_EQ(record.Kinds(), std::vector<int>{ekResourceNotFound});
}
#endif

// Expansion ends: nesting is bounded, and so is the text produced per subset, however the
// references multiply.
TEST(DtdReader, BoundsTheDepthOfParameterEntities) {
  std::string text;
  for (int i = 0; i < 100; ++i) {
    text += "<!ENTITY % p" + std::to_string(i) + " '&#37;p" + std::to_string(i + 1) + ";'>";
  }
  text += "<!ENTITY % p100 ''> %p0;";
  const TParseRecord record = ParseSubsetThroughChain(text);
  EXPECT_EQ(record.Kinds(), std::vector<int>{ekRecursiveEntity});
}

// Ten levels of parameter entities, each referring ten times to the one below.
std::string TenfoldEntities(const std::string& reference, const std::string& bottom) {
  std::string text = "<!ENTITY % a0 '" + bottom + "'>";
  for (int level = 1; level < 10; ++level) {
    std::string references;
    for (int i = 0; i < 10; ++i) {
      references += reference + std::to_string(level - 1) + ";";
    }
    text += "<!ENTITY % a" + std::to_string(level) + " '" + references + "'>";
  }
  return text;
}

TEST(DtdReader, BoundsTheTextThatParameterEntitiesExpandTo) {
  const auto started = std::chrono::steady_clock::now();
  // In entity values of the external subset.
  const TParseRecord values =
      ParseSubsetThroughChain(TenfoldEntities("%a", "xxxxxxxxxx"), External());
  ASSERT_EQ(values.Kinds(), std::vector<int>{ekRecursiveEntity});
  EXPECT_EQ(values.Errors[0].Clue, "Parameter-entity expansion limit reached.");
  // Between declarations of the internal subset.
  const TParseRecord between = ParseSubsetThroughChain(TenfoldEntities("&#37;a", " ") + " %a9;");
  ASSERT_EQ(between.Kinds(), std::vector<int>{ekRecursiveEntity});
  EXPECT_EQ(between.Errors[0].Clue, "Parameter-entity expansion limit reached.");
  // Unbounded, the expansion would run for hours; a bound this loose holds on a busy
  // machine under the sanitizers (about 4 s there when idle).
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

// Large inputs are read in time linear in their size: many definitions in one ATTLIST,
// many declarations, deeply nested conditional sections.
TEST(DtdReader, ReadsLargeSubsetsInLinearTime) {
  constexpr int kCount = 100000;
  std::string attlist = "<!ATTLIST a";
  for (int i = 0; i < kCount; ++i) {
    attlist += " x" + std::to_string(i) + " CDATA #IMPLIED";
  }
  attlist += ">";
  const TParseRecord definitions = ParseSubsetThroughChain(attlist);
  EXPECT_TRUE(definitions.Completed);
  EXPECT_EQ(Declarations(definitions).size(), size_t{kCount});

  std::string declarations;
  for (int i = 0; i < kCount; ++i) {
    declarations += "<!ATTLIST a>";
  }
  EXPECT_TRUE(ParseSubsetThroughChain(declarations).Completed);

  std::string sections;
  for (int i = 0; i < kCount; ++i) {
    sections += "<![INCLUDE[";
  }
  sections += "<!ELEMENT a ANY>";
  for (int i = 0; i < kCount; ++i) {
    sections += "]]>";
  }
  const TParseRecord nested = ParseSubsetThroughChain(sections, External());
  EXPECT_TRUE(nested.Completed);
  EXPECT_EQ(Declarations(nested), TSignals{"E:a|ANY"});
}

} // namespace
} // namespace velmora::testing
