#include "xml/doc_tokenizer.h"

#include <gtest/gtest.h>

#include "runtime/streams.h"
#include "xml/attr_value_tokenizer.h"
#include "xml/doctype_decl_tokenizer.h"
#include "xml/parse_errors.h"

namespace velmora {
namespace {

const char* const kTypeNames[] = {"cdata", "dec", "hex", "comment", "doctype", "empty", "eod",
                                  "end",   "ref", "text", "pi",      "none",    "start"};

std::string Narrow(std::u16string_view text) {
  return WideToNarrow(text);
}

// Every token of text as "type:value", with "!kind" and the clue after an error.
std::vector<std::string> Tokens(std::string_view text) {
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  TXmlSimpleInputSource source(&stream, u"", u"", 1024, nullptr, 0, 0, 0, 0, 1);
  TXmlDocTokenizer tokenizer(&source);
  std::vector<std::string> tokens;
  for (int guard = 0; tokenizer.TokenType() != ttEndOfDocument && guard < 100; ++guard) {
    tokenizer.NextToken();
    std::string token = std::string(kTypeNames[tokenizer.TokenType()]) + ":" +
                        Narrow(tokenizer.TokenText());
    if (tokenizer.ErrorType() != ekNone) {
      token += "!" + std::to_string(tokenizer.ErrorType()) + Narrow(tokenizer.Clue());
    }
    tokens.push_back(token);
  }
  return tokens;
}

struct TTokenCase {
  const char* Text;
  std::vector<std::string> Expected; // the end-of-document token left out
};

void PrintTo(const TTokenCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class DocTokenizer : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(DocTokenizer, SplitsTheText) {
  std::vector<std::string> tokens = Tokens(GetParam().Text);
  ASSERT_FALSE(tokens.empty());
  EXPECT_EQ(tokens.back(), "eod:");
  tokens.pop_back();
  EXPECT_EQ(tokens, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, DocTokenizer,
    ::testing::Values(
        // Character data and references.
        TTokenCase{"a &amp; b", {"text:a ", "ref:amp", "text: b"}},
        TTokenCase{"&#;", {"dec:"}}, TTokenCase{"&#x41", {"hex:41!92;"}},
        TTokenCase{"&#65;&#x1F600;", {"dec:65", "hex:1F600"}},
        TTokenCase{"&1;", {"ref:!76", "text:1;"}}, TTokenCase{"&a.b-c", {"ref:a.b-c!96;"}},
        TTokenCase{"x\r\ny\rz", {"text:x\ny\nz"}},
        // Comments.
        TTokenCase{"<!-- a -- b -->", {"comment: a !51>", "text: b -->"}},
        TTokenCase{"<!---->", {"comment:"}}, TTokenCase{"<!--->", {"comment:->!93-->"}},
        TTokenCase{"<!-- a-b -->", {"comment: a-b "}},
        TTokenCase{"<!-- a- -->", {"comment: a- "}},
        TTokenCase{"<!-- a --->", {"comment: a !51>", "text:->"}},
        TTokenCase{"<!-x", {"comment:!47<!--", "text:x"}},
        TTokenCase{"<!x", {"comment:!47<!--", "text:x"}},
        // CDATA sections.
        TTokenCase{"<![CDATA[x]]]>", {"cdata:x]"}},
        TTokenCase{"<![CDATA[<a>&]]>", {"cdata:<a>&"}},
        TTokenCase{"<![cdata[", {"cdata:!46<![CDATA[", "text:cdata["}},
        TTokenCase{"<!cdata", {"cdata:!46<![CDATA[", "text:cdata"}},
        TTokenCase{"<![CDATA[x]", {"cdata:x]!91]]>"}},
        // Tags.
        TTokenCase{"<a b='x>/' c=\"/>\">", {"start:a b='x>/' c=\"/>\""}},
        TTokenCase{"<a b='x>", {"start:a b='x>!95'>"}},
        TTokenCase{"<a b=\"x", {"start:a b=\"x!95\">"}}, TTokenCase{"<a", {"start:a!95>"}},
        TTokenCase{"<a/>", {"empty:a"}}, TTokenCase{"<a/ >", {"empty:a!95>", "text: >"}},
        TTokenCase{"</a  >", {"end:a"}}, TTokenCase{"</a b>", {"end:a!95>", "text:b>"}},
        TTokenCase{"<>", {"start:!74"}}, TTokenCase{"x<", {"text:x", "start:!74"}},
        // Processing instructions and declarations.
        TTokenCase{"<?pi data?>", {"pi:pi data"}}, TTokenCase{"<?pi", {"pi:pi!97?"}},
        TTokenCase{"<?a ? > ?>", {"pi:a ? > "}},
        TTokenCase{"<!DOCTYPE a [<!ENTITY e ']>'><!-- ] -->]>",
                   {"doctype: a [<!ENTITY e ']>'><!-- ] -->]"}},
        TTokenCase{"<!DOCTYPE a SYSTEM 'x>y'>", {"doctype: a SYSTEM 'x>y'"}},
        TTokenCase{"<!DOCTYPE a [", {"doctype: a [!94]>"}},
        TTokenCase{"<!DOCTYP a>", {"doctype:!48<!DOCTYPE", "text: a>"}},
        TTokenCase{"<!doctype a>", {"doctype:!48<!DOCTYPE", "text:doctype a>"}},
        // Bytes that cannot be decoded end the token they occur in.
        TTokenCase{"ab\xFF", {"text:a!59", "text:b"}}));

TEST(DocTokenizerLocation, TokensKnowWhereTheyStand) {
  const std::string_view text = "<r>\n\tab<x/>";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  TXmlSimpleInputSource source(&stream, u"", u"file:///t.xml", 1024, nullptr, 0, 0, 0, 0, 1);
  TXmlDocTokenizer tokenizer(&source);
  tokenizer.NextToken(); // <r>
  EXPECT_EQ(tokenizer.StartByte(), 1);
  EXPECT_EQ(tokenizer.StartColumn(), 2);
  tokenizer.NextToken(); // "\n\tab"
  ASSERT_EQ(tokenizer.TokenType(), ttPCData);
  const TLocationValues values = tokenizer.Values();
  EXPECT_EQ(values.StartByte, 3);
  EXPECT_EQ(values.StartLine, 2);
  EXPECT_EQ(values.StartColumn, 0);
  EXPECT_EQ(values.EndByte, 7);
  EXPECT_EQ(values.EndLine, 2);
  EXPECT_EQ(values.EndColumn, 3);
  EXPECT_EQ(values.EndTabs, 1);
  EXPECT_EQ(tokenizer.SourceUri(), u"file:///t.xml");
  TXmlDocTokenizer none(nullptr);
  EXPECT_EQ(none.TokenType(), ttEndOfDocument);
}

// The DOCTYPE declaration's parts, as "type:value" ("end" last), or "!kind" after an
// error.
std::vector<std::string> DoctypeTokens(std::u16string_view text) {
  TXmlDoctypeDeclTokenizer tokenizer(text, CharPosition(), u"");
  std::vector<std::string> tokens;
  for (int guard = 0; guard < 10; ++guard) {
    tokenizer.NextToken();
    if (tokenizer.ErrorType() != ekNone) {
      tokens.push_back("!" + std::to_string(tokenizer.ErrorType()));
      break;
    }
    tokens.push_back(std::to_string(tokenizer.TokenType()) + ":" + Narrow(tokenizer.TokenText()));
    if (tokenizer.TokenType() == dttEnd) {
      break;
    }
  }
  return tokens;
}

TEST(DoctypeDeclTokenizer, SplitsNameIdentifiersAndSubset) {
  const std::pair<std::u16string_view, std::vector<std::string>> cases[] = {
      {u" a", {"2:a", "0:"}},
      {u" a SYSTEM 's'", {"2:a", "5:s", "0:"}},
      {u" a PUBLIC \"p\" 's\"'", {"2:a", "3:p", "5:s\"", "0:"}},
      {u" a [<!ENTITY x ']'><!-- ] --><?pi ]?>] ",
       {"2:a", "1:<!ENTITY x ']'><!-- ] --><?pi ]?>", "0:"}},
      {u" a SYSTEM 's' [x]", {"2:a", "5:s", "1:x", "0:"}},
      {u"a", {"!80"}},
      {u" a PUBLC 'p'", {"2:a", "!84"}},
      {u" a PUBLIC'p' 's'", {"2:a", "!80"}},
      {u" a SYSTEM s", {"2:a", "!85"}},
      {u" a SYSTEM 's", {"2:a", "!85"}},
      {u" a SYSTEMX", {"2:a", "!80"}},
      {u" a X", {"2:a", "!90"}},
      {u" a SYSTEM 's' x", {"2:a", "5:s", "!72"}},
      {u" a [x", {"2:a", "!88"}},
      {u" a [x] y", {"2:a", "!94"}},
      {u" a [<!-- -- -->]", {"2:a", "!93"}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(DoctypeTokens(text), expected) << Narrow(text);
  }
}

TEST(AttrValueTokenizer, SplitsCharactersAndReferences) {
  TXmlAttrValueTokenizer tokenizer(u"a&#65;&amp;&x");
  std::vector<std::string> tokens;
  for (tokenizer.NextToken(); tokenizer.TokenType() != avtEnd; tokenizer.NextToken()) {
    tokens.push_back(std::to_string(tokenizer.TokenType()) + ":" + Narrow(tokenizer.TokenText()));
  }
  EXPECT_EQ(tokens, (std::vector<std::string>{"4:a", "0:65", "2:amp", "2:x"}));
  tokenizer.NextToken();
  EXPECT_EQ(tokenizer.TokenType(), avtEnd);
}

} // namespace
} // namespace velmora
