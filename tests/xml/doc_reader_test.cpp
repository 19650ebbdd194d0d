#include "xml/doc_reader.h"

#include <gtest/gtest.h>

#include "dom/dom_exceptions.h"
#include "runtime/streams.h"
#include "tests/xml/signal_recorder.h"
#include "xml/wf_test_handler.h"

#include <tuple>

namespace velmora::testing {
namespace {

using TSignals = std::vector<std::string>;
using namespace std::literals;

TEST(DocReader, SendsOneSignalPerEventInDocumentOrder) {
  const TParseRecord record = ParseThroughChain(
      "<?xml version='1.0'?><!DOCTYPE r SYSTEM 'r.dtd' [<!ELEMENT r ANY>]>"
      "<r a='1' b=\"&amp;&#65;\">x&#65;&#x1F600;&e;<![CDATA[<c>]]><!--k--><?p  d e?><e/></r>\n");
  EXPECT_TRUE(record.Completed);
  EXPECT_TRUE(record.Errors.empty());
  EXPECT_EQ(record.Signals,
            (TSignals{"start", "!r||r.dtd|<!ELEMENT r ANY>", "<r", "@a=1", "@b=&amp;&#65;",
                      "t:x", "r:A", "r:\xF0\x9F\x98\x80", "&e", "cd:<c>", "c:k", "?p|d e", "<e",
                      "/e", "/r", "t:\n", "end"}));
}

struct TRuleCase {
  std::string_view Text;
  int Kind;                 // the first error
  std::string_view Snippet; // its snippet
  std::string_view Clue;
};

void PrintTo(const TRuleCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class WellFormednessRules : public ::testing::TestWithParam<TRuleCase> {};

// Each document breaks one rule: reading stops at the first (fatal) error, and the chain
// receives the aborted signal.
TEST_P(WellFormednessRules, StopAtTheFirstViolation) {
  const TParseRecord record = ParseThroughChain(GetParam().Text);
  EXPECT_FALSE(record.Completed);
  ASSERT_EQ(record.Errors.size(), 1u);
  EXPECT_EQ(record.Errors[0].Kind, GetParam().Kind);
  EXPECT_EQ(record.Errors[0].Snippet, std::string(GetParam().Snippet));
  EXPECT_EQ(record.Errors[0].Clue, std::string(GetParam().Clue));
  ASSERT_FALSE(record.Signals.empty());
  EXPECT_EQ(record.Signals.back(), "abort");
}

INSTANTIATE_TEST_SUITE_P(
    Documents, WellFormednessRules,
    ::testing::Values(
        // Single root, nesting and content outside the root.
        TRuleCase{"", 89, "", ""}, TRuleCase{"  ", 89, "", ""},
        TRuleCase{"x<a/>", 81, "x", ""}, TRuleCase{"<a/>&e;", 81, "&e;", ""},
        TRuleCase{"<a/>&#65;", 81, "&#", ""}, TRuleCase{"<a/><![CDATA[x]]>", 81, "x", ""},
        TRuleCase{"<a></b>", 79, "b", ""}, TRuleCase{"</a>", 79, "a", ""},
        TRuleCase{"<a>", 75, "", "a"}, TRuleCase{"<a><b></b>", 75, "", "a"},
        TRuleCase{"<a/><b/>", 52, "b", ""},
        // Names.
        TRuleCase{"<1a/>", 62, "1a", ""}, TRuleCase{"<a\0b/>"sv, 62, "a\0b"sv, ""},
        TRuleCase{"<a 1='x'/>", 56, "1", ""}, TRuleCase{"<a>&1;</a>", 76, "", ""},
        // Attributes.
        TRuleCase{"<a x='1' x='2'/>", 49, "x", ""}, TRuleCase{"<a x='1'y='2'/>", 80, "", " "},
        TRuleCase{"<a x 1/>", 77, "", "="}, TRuleCase{"<a x=1/>", 78, "", "\""},
        TRuleCase{"<a x='<'/>", 73, "<", ""}, TRuleCase{"<a x='a&b'/>", 96, "a&b", ""},
        TRuleCase{"<a x='&#'/>", 92, "&#", ""}, TRuleCase{"<a x='&#0;'/>", 60, "&#0;", ""},
        TRuleCase{"<a x='&1;'/>", 64, "1", ""}, TRuleCase{"<a x='\x01'/>", 57, "\x01", ""},
        TRuleCase{"<a x='\0'/>"sv, 57, "\0"sv, ""},
        // References.
        TRuleCase{"<a>&#0;</a>", 59, "\0"sv, ""},
        TRuleCase{"<a>&#xD800;</a>", 60, "&#xD800;", ""},
        TRuleCase{"<a>&#4294967361;</a>", 60, "&#4294967361;", ""},
        TRuleCase{"<a>&#x110000;</a>", 60, "&#x110000;", ""},
        TRuleCase{"<a>&#;</a>", 60, "&#;", ""}, TRuleCase{"<a>&#65</a>", 92, "65", ";"},
        TRuleCase{"<a>&b</a>", 96, "b", ";"},
        // Text, CDATA, comments and processing instructions.
        TRuleCase{"<a>]]></a>", 59, "]]>", ""}, TRuleCase{"<a>\x01</a>", 59, "\x01", ""},
        TRuleCase{"<a><![CDATA[\x01]]></a>", 58, "", ""},
        TRuleCase{"<a><!-- a -- b --></a>", 51, " a ", ">"},
        TRuleCase{"<a><!-- \x01 --></a>", 59, " \x01 ", ""},
        TRuleCase{"<a><?xml version='1.0'?></a>", 66, "xml", ""},
        TRuleCase{"<a><?XmL x?></a>", 66, "XmL", ""}, TRuleCase{"<a><?1 x?></a>", 66, "1", ""},
        // Declarations.
        TRuleCase{"<!DOCTYPE a><!DOCTYPE a><a/>", 102, "a", ""},
        TRuleCase{"<a/><!DOCTYPE a>", 99, "a", ""}, TRuleCase{"<!DOCTYPE 1a><a/>", 125, "1a", ""},
        TRuleCase{"<!DOCTYPE a PUBLIC '{' 's'><a/>", 67, "{", ""},
        TRuleCase{"<!DOCTYPE a SYSTEM><a/>", 80, "", " "},
        TRuleCase{"<?xml version='1.0' encoding='x y'?><a/>", 66, "xml", ""}));

TEST(DocReader, AcceptsWhatTheRulesAllow) {
  const std::pair<const char*, TSignals> cases[] = {
      {" <a/> ", {"start", "t: ", "<a", "/a", "t: ", "end"}},
      {"<a x='&#65;&amp;'/>", {"start", "<a", "@x=&#65;&amp;", "/a", "end"}},
      {"<a><!-- a- --><!-- a-b --></a>", {"start", "<a", "c: a- ", "c: a-b ", "/a", "end"}},
      {"<a/><?xml-stylesheet href='s'?>", {"start", "<a", "/a", "?xml-stylesheet|href='s'", "end"}},
      {"<a\tb = 'x'\r\nc=\"y\" />", {"start", "<a", "@b=x", "@c=y", "/a", "end"}},
      {"<a>]]</a>", {"start", "<a", "t:]]", "/a", "end"}},
  };
  for (const auto& [text, signals] : cases) {
    const TParseRecord record = ParseThroughChain(text);
    EXPECT_TRUE(record.Completed) << text;
    EXPECT_TRUE(record.Errors.empty()) << text;
    EXPECT_EQ(record.Signals, signals) << text;
  }
}

// Errors carry the location of the token they were found in, whichever part found them.
TEST(DocReader, ErrorsStandWhereTheirTokenStands) {
  TParseRecord record = ParseThroughChain("<a>\n  </b>");
  ASSERT_EQ(record.Errors.size(), 1u);
  EXPECT_EQ(record.Errors[0].StartLine, 2);
  EXPECT_EQ(record.Errors[0].StartColumn, 5);
  EXPECT_EQ(record.Errors[0].EndColumn, 5);
  record = ParseThroughChain("<?xml version='1.0'?>\n<a x='1' x='2'/>");
  ASSERT_EQ(record.Errors.size(), 1u);
  EXPECT_EQ(record.Errors[0].StartLine, 2);
  EXPECT_EQ(record.Errors[0].StartColumn, 2);
}

// When error handling lets reading go on, a failing signal is dropped with everything
// that belongs to it, and the element stack never disagrees with what was passed on.
TEST(DocReader, TolerantReadingKeepsTheTreeConsistent) {
  struct TCase {
    const char* Text;
    std::vector<int> Kinds;
    TSignals Signals;
  };
  const TCase cases[] = {
      {"<r><a></b></a></r>", {79}, {"start", "<r", "<a", "/a", "/r", "end"}},
      {"</a><r/>", {79}, {"start", "<r", "/r", "end"}},
      {"<r><1a x='1'>t</1a></r>", {62, 79}, {"start", "<r", "t:t", "/r", "end"}},
      {"<a/><b x='1'>t</b>", {52, 81, 79}, {"start", "<a", "/a", "end"}},
      {"<r x='1' x='2' y='3'/>", {49}, {"start", "<r", "@x=1", "/r", "end"}},
      {"<r>", {75}, {"start", "<r", "end"}},
      {"<r>&#0;x</r>", {59}, {"start", "<r", "t:x", "/r", "end"}},
  };
  for (const TCase& c : cases) {
    const TParseRecord record = ParseThroughChain(c.Text, true);
    EXPECT_TRUE(record.Completed) << c.Text;
    EXPECT_EQ(record.Kinds(), c.Kinds) << c.Text;
    EXPECT_EQ(record.Signals, c.Signals) << c.Text;
  }
}

// Wide and deep input: the attribute names of one tag are checked in linear time, and
// nesting costs no stack.
TEST(DocReader, HugeTagsAndDeepNestingReadInLinearTime) {
  std::string tag = "<a";
  for (int i = 0; i < 100000; ++i) {
    tag += " n" + std::to_string(i) + "='v'";
  }
  TParseRecord record = ParseThroughChain(tag + "/>");
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Signals.size(), 100000u + 4u);
  record = ParseThroughChain(tag + " n99999='w'/>");
  EXPECT_EQ(record.Kinds(), std::vector<int>{ekDuplicateAttribute});
  std::string deep;
  for (int i = 0; i < 1000000; ++i) {
    deep += "<e>";
  }
  for (int i = 0; i < 1000000; ++i) {
    deep += "</e>";
  }
  record = ParseThroughChain(deep);
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Signals.size(), 2000002u);
}

TEST(DocReader, FragmentsNeedNoSingleRoot) {
  TParseRecord record = ParseThroughChain("t<a/>u<b/>&e;", false, true);
  EXPECT_TRUE(record.Completed);
  EXPECT_EQ(record.Signals, (TSignals{"start", "t:t", "<a", "/a", "t:u", "<b", "/b", "&e", "end"}));
  record = ParseThroughChain("<a>", false, true);
  EXPECT_EQ(record.Kinds(), std::vector<int>{75});
  TOwned<TXmlStandardDocReader> reader(new TXmlStandardDocReader);
  EXPECT_TRUE(reader->ParseFragment(nullptr));
}

// The decision: the reader's own OnError sees every record first; the implementation's
// handler decides; without an implementation only fatal errors stop. A chain that
// stopped can read the next document.
TEST(DocReader, ErrorHandlingDecidesAndTheChainCanBeReused) {
  TOwned<TXmlStandardDocReader> reader(new TXmlStandardDocReader);
  TOwned<TXmlWFTestHandler> checker(new TXmlWFTestHandler);
  TOwned<TSignalRecorder> recorder(new TSignalRecorder);
  reader->SetNextHandler(checker.get());
  checker->SetNextHandler(recorder.get());
  int seen = 0;
  reader->OnError = [&](TXmlCustomReader* sender, const TDomError& error) {
    EXPECT_EQ(sender, reader.get());
    EXPECT_EQ(error.SourceUri(), u"file:///doc.xml");
    ++seen;
  };
  auto parse = [&](std::string_view text) {
    TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    TXmlInputSource source(&stream, u"", u"file:///doc.xml", 1024, nullptr, false, 0, 0, 0, 0, 1);
    recorder->Signals.clear();
    return reader->ParseDocument(&source);
  };
  EXPECT_FALSE(parse("<a></b>"));
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(checker->Mode(), wfIdle);
  EXPECT_TRUE(parse("<a/>"));
  EXPECT_EQ(recorder->Signals, (TSignals{"start", "<a", "/a", "end"}));

  TOwned<TDomImplementation> implementation(new TDomImplementation);
  reader->SetDOMImpl(implementation.get());
  implementation->OnError = [](void*, const TDomError& error, bool& go) {
    go = error.ErrorKind() == ekEndTagMismatch;
  };
  EXPECT_TRUE(parse("<a></b></a>"));
  EXPECT_FALSE(parse("<a>&#0;</a>"));
  implementation.reset(); // the reader forgets a freed implementation
  EXPECT_EQ(reader->DOMImpl(), nullptr);
  EXPECT_FALSE(parse("<a></b></a>"));
}

TEST(WFTestHandler, RefusesSignalsOutOfPlace) {
  TOwned<TXmlWFTestHandler> checker(new TXmlWFTestHandler);
  TXmlStartElementSignal element(nullptr, nullptr);
  element.TagName = u"a";
  try {
    checker->ProcessSignal(element);
    FAIL() << "accepted in idle mode";
  } catch (const EParserException& error) {
    EXPECT_STREQ(error.what(), "Internal Parser Exception");
  }
  // Without a reader to report to, a fatal finding raises and a warning is dropped.
  TXmlStartDocumentSignal start(nullptr, nullptr);
  checker->ProcessSignal(start);
  element.TagName = u"1";
  try {
    checker->ProcessSignal(element);
    FAIL() << "bad name accepted";
  } catch (const EParserException& error) {
    EXPECT_STREQ(error.what(), "Signal Processing Exception");
  }
  EXPECT_NO_THROW(checker->ReportError(nullptr, {ekUnclosedInternalSubset, nullptr, {}, {}}));
}

// The rules of signals the document reader never sends this way; the DOM reader and the
// DTD reader do.
TEST(Signals, TestTheirOwnRules) {
  auto faultOf = [](const TXmlSignal& signal) {
    TSignalFault fault;
    signal.TestWellformedness(fault);
    return fault.Kind;
  };
  TXmlCommentSignal comment(nullptr, nullptr);
  comment.Text = u"a-";
  EXPECT_EQ(faultOf(comment), ekCommentEndsWithHyphen);
  TXmlStartPrefixMappingSignal mapping(nullptr, nullptr);
  const std::tuple<std::u16string_view, std::u16string_view, int> mappings[] = {
      {u"p", u"urn:x", ekNone},
      {u"", u"urn:x", ekNone},
      {u"xmlns", u"urn:x", ekInvalidPrefix},
      {u"xmlns", u"http://www.w3.org/2000/xmlns/", ekNone},
      {u"a:b", u"urn:x", ekInvalidPrefix},
      {u"p", u"a b", ekInvalidNamespaceUri},
  };
  for (const auto& [prefix, uri, kind] : mappings) {
    mapping.MappedPrefix = prefix;
    mapping.MappedUri = uri;
    EXPECT_EQ(faultOf(mapping), kind);
  }
  TXmlStartDocumentSignal start(nullptr, nullptr);
  start.DeclaredEncoding = u"1x";
  EXPECT_EQ(faultOf(start), ekInvalidEncodingName);
  start.DeclaredEncoding = u"UTF-8";
  start.DeclaredVersion = u"1 0";
  EXPECT_EQ(faultOf(start), ekInvalidVersion);
}

TEST(Signals, ClonesOwnTheirTexts) {
  std::unique_ptr<TXmlSignal> clone;
  {
    const WideString name = u"a-rather-long-element-name";
    const WideString uri = u"file:///some/where/doc.xml";
    TXmlAttributeSignal attribute(nullptr, nullptr);
    attribute.AttrName = name;
    attribute.AttrValue = uri;
    clone = attribute.CloneSignal(nullptr);
  }
  const auto& copy = static_cast<const TXmlAttributeSignal&>(*clone);
  EXPECT_EQ(copy.AttrName, u"a-rather-long-element-name");
  EXPECT_EQ(copy.AttrValue, u"file:///some/where/doc.xml");
  EXPECT_EQ(copy.StartLine(), -1);
}

} // namespace
} // namespace velmora::testing
