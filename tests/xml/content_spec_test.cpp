#include "xml/element_cm_tokenizer.h"

#include <gtest/gtest.h>

#include "xml/parse_errors.h"

namespace velmora::testing {
namespace {

struct TSpecCase {
  std::u16string_view Spec;
  int Kind; // 0: accepted
  std::string_view Snippet;
};

void PrintTo(const TSpecCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(WideToNarrow(c.Spec));
}

class ContentSpecs : public ::testing::TestWithParam<TSpecCase> {};

TEST_P(ContentSpecs, AcceptExactlyTheProductionsOfXml) {
  TSignalFault fault;
  TestContentSpec(GetParam().Spec, fault);
  EXPECT_EQ(fault.Kind, GetParam().Kind);
  EXPECT_EQ(WideToNarrow(fault.Snippet), GetParam().Snippet);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ContentSpecs,
    ::testing::Values(TSpecCase{u"EMPTY", 0, ""}, TSpecCase{u" ANY ", 0, ""},
                      TSpecCase{u"(#PCDATA)", 0, ""}, TSpecCase{u"( #PCDATA )*", 0, ""},
                      TSpecCase{u"(#PCDATA|a|b:c)*", 0, ""}, TSpecCase{u"(a)", 0, ""},
                      TSpecCase{u"(a,(b|c)*,d?)+", 0, ""}, TSpecCase{u"((a|b),c*)?", 0, ""},
                      TSpecCase{u"( a | b+ | (c , d) )", 0, ""},
                      // Inside parentheses the keywords are element names.
                      TSpecCase{u"(ANY|EMPTY)", 0, ""}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ContentSpecs,
    ::testing::Values(
        TSpecCase{u"ANY ANY", ekMisplacedAny, "ANY"}, TSpecCase{u"(a) ANY", ekMisplacedAny, "ANY"},
        TSpecCase{u"ANY (a)", ekMisplacedAny, "ANY"},
        TSpecCase{u"EMPTY*", ekMisplacedEmpty, "EMPTY"},
        TSpecCase{u"(a|#PCDATA)*", ekMisplacedPCData, "#PCDATA"},
        TSpecCase{u"((#PCDATA))", ekMisplacedPCData, "#PCDATA"},
        TSpecCase{u"#PCDATA", ekMisplacedPCData, "#PCDATA"},
        TSpecCase{u"(#PCDATA|a)", ekInvalidContentModel, ""},
        TSpecCase{u"(#PCDATA|a)+", ekInvalidContentModel, "+"},
        TSpecCase{u"(#PCDATA,a)*", ekInvalidContentModel, ","},
        TSpecCase{u"(#PCDATA|(a))*", ekInvalidContentModel, "("},
        TSpecCase{u"(a|b,c)", ekInvalidContentModel, ","},
        TSpecCase{u"()", ekInvalidContentModel, ")"},
        TSpecCase{u"(a,)", ekInvalidContentModel, ")"}, TSpecCase{u"(a", ekInvalidContentModel, ""},
        TSpecCase{u"(a))", ekInvalidContentModel, ")"}, TSpecCase{u"a", ekInvalidContentModel, "a"},
        TSpecCase{u"(a)**", ekInvalidContentModel, "*"},
        // Occurrence indicators follow their particle directly.
        TSpecCase{u"(a *)", ekInvalidContentModel, "*"},
        TSpecCase{u"(a) +", ekInvalidContentModel, "+"}, TSpecCase{u"", ekInvalidContentModel, ""},
        // Characters that start no token are warnings; a lone surrogate is no character.
        TSpecCase{u"(a|$b)", ekInvalidContentSpecChar, "$"},
        TSpecCase{u"(#PCDAT)", ekInvalidContentSpecChar, "#"},
        TSpecCase{u"(a|\xD800)", ekInvalidCharacter, "\xEF\xBF\xBD"}));

std::u16string Nested(size_t depth) {
  std::u16string spec(depth, u'(');
  spec += u"a";
  spec.append(depth, u')');
  return spec;
}

// Models nest at most kMaxContentModelDepth deep; a million nested groups are refused
// without recursion.
TEST(ContentSpec, NestingIsBounded) {
  TSignalFault fault;
  TestContentSpec(Nested(kMaxContentModelDepth), fault);
  EXPECT_EQ(fault.Kind, ekNone);
  TestContentSpec(Nested(kMaxContentModelDepth + 1), fault);
  EXPECT_EQ(fault.Kind, ekInvalidContentModel);
  TestContentSpec(Nested(1000000), fault);
  EXPECT_EQ(fault.Kind, ekInvalidContentModel);
}

} // namespace
} // namespace velmora::testing
