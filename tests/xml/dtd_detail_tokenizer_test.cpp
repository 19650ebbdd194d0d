#include "xml/dtd_detail_tokenizer.h"

#include <gtest/gtest.h>

#include "runtime/streams.h"

namespace velmora::testing {
namespace {

constexpr const char* kKindNames[] = {"attlist",  "comment",  "]]>",   "[",      "<![",
                                      ">",        "element",  "end",   "entity", "none",
                                      "%word",    "notation", "punct", "peref",  "pidata",
                                      "pitarget", "lit",      "start", "word",   "ws"};

// The tokens of text as "kind", "kind=value" and "kind!error"; skipAfter: the token after
// which the rest of an ignored section is skipped.
std::string Tokens(std::string_view text, std::string_view skipAfter = {}) {
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  TXmlSimpleInputSource source(&stream, u"", u"file:///t.dtd", 1024, nullptr, 0, 0, 0, 0, 1);
  TXmlDtdDetailTokenizer tokenizer(&source);
  std::string tokens;
  for (int guard = 0; guard < 100 && tokenizer.TokenKind() != dtEndOfSource; ++guard) {
    const bool skip = !skipAfter.empty() && tokens.ends_with(skipAfter);
    if (skip) {
      tokenizer.SkipIgnoredSection();
    } else {
      tokenizer.NextToken();
    }
    std::string token = kKindNames[tokenizer.TokenKind()];
    if (!tokenizer.TokenText().empty()) {
      token += "=" + WideToNarrow(tokenizer.TokenText());
    }
    if (tokenizer.ErrorType() != 0) {
      token += "!" + std::to_string(tokenizer.ErrorType());
    }
    tokens += (tokens.empty() ? "" : " ") + token;
  }
  return tokens;
}

struct TTokenCase {
  std::string_view Text;
  std::string_view Tokens;
};

void PrintTo(const TTokenCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class DtdDetailTokens : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(DtdDetailTokens, SplitTheTextAsWritten) {
  EXPECT_EQ(Tokens(GetParam().Text), GetParam().Tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DtdDetailTokens,
    ::testing::Values(
        TTokenCase{"<!ELEMENT a (b|c)*>",
                   "element ws=  word=a ws=  punct=( word=b punct=| word=c punct=)* >=> end"},
        TTokenCase{"(a,b)+ (c)? )", "punct=( word=a punct=, word=b punct=)+ ws=  punct=( "
                                    "word=c punct=)? ws=  punct=) end"},
        TTokenCase{"<!ATTLIST a x CDATA '>' \"\">",
                   "attlist ws=  word=a ws=  word=x ws=  word=CDATA ws=  lit='>' ws=  "
                   "lit=\"\" >=> end"},
        TTokenCase{"<!ENTITY % p #IMPLIED>",
                   "entity ws=  %word=% ws=  word=p ws=  word=#IMPLIED >=> end"},
        TTokenCase{"%p;%q;x;y %r", "%word=%p; %word=%q; word=x; word=y ws=  %word=%r end"},
        TTokenCase{"<!NOTATION n\t\n SYSTEM", "notation ws=  word=n ws=\t\n  word=SYSTEM end"},
        TTokenCase{"<!-- a - b --><!---->", "comment= a - b  comment end"},
        TTokenCase{"<?pi some ?data?><?t?>",
                   "pitarget=pi ws=  pidata=some ?data pitarget=t pidata end"},
        TTokenCase{"<![ IGNORE [ ]]>", "<![ ws=  word=IGNORE ws=  [=[ ws=  ]]> end"},
        // Broken shapes.
        TTokenCase{"<!ATTLST", "attlist!100 word=ST end"},
        TTokenCase{"<!ELEMNT", "element!103 word=NT end"},
        TTokenCase{"<!ENTTY", "entity!104 word=TY end"},
        TTokenCase{"<!NOTATON", "notation!132 word=ON end"},
        TTokenCase{"<!EX", "none!119 word=X end"},
        TTokenCase{"<!DOCTYPE", "none!119 word=OCTYPE end"},
        TTokenCase{"<x", "none!119 word=x end"}, TTokenCase{"<!- x", "comment!47 ws=  word=x end"},
        TTokenCase{"<!-- a -- b -->", "comment= a !51 ws=  word=b ws=  word=-- >=> end"},
        TTokenCase{"<!-- a", "comment= a!93 end"}, TTokenCase{"'abc", "lit='abc!85 end"},
        TTokenCase{"]x", "]]>!59 word=x end"},
        TTokenCase{"<?pi data", "pitarget=pi ws=  pidata=data!97 end"},
        TTokenCase{"<?pi ", "pitarget=pi ws=  end!97"}, TTokenCase{"a\xFF", "none!59 word=a end"}));

TEST(DtdDetailTokenizer, SkipsIgnoredSectionsWithTheirNestedPairs) {
  EXPECT_EQ(Tokens("<![IGNORE[ <![ x ]]> 'y ]]]> z", "[=["),
            "<![ word=IGNORE [=[ ]]> ws=  word=z end");
  EXPECT_EQ(Tokens("<![IGNORE[ <![ ]]>", "[=["), "<![ word=IGNORE [=[ end");
}

TEST(DtdDetailTokenizer, WithoutSourceIsAtItsEnd) {
  TXmlDtdDetailTokenizer tokenizer(nullptr);
  EXPECT_EQ(tokenizer.TokenKind(), dtEndOfSource);
  tokenizer.NextToken();
  EXPECT_EQ(tokenizer.TokenKind(), dtEndOfSource);
}

} // namespace
} // namespace velmora::testing
