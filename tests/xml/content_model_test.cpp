#include "xml/element_cm_tokenizer.h"

#include <gtest/gtest.h>

#include "xml/parse_errors.h"

namespace velmora::testing {
namespace {

struct TModelCase {
  std::u16string_view Model;
  int Kind; // 0: accepted
  std::string_view Snippet;
};

void PrintTo(const TModelCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(WideToNarrow(c.Model));
}

class ContentModels : public ::testing::TestWithParam<TModelCase> {};

TEST_P(ContentModels, AcceptExactlyTheProductionsOfXml) {
  TSignalFault fault;
  TestContentModel(GetParam().Model, fault);
  EXPECT_EQ(fault.Kind, GetParam().Kind);
  EXPECT_EQ(WideToUtf8(fault.Snippet), GetParam().Snippet);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ContentModels,
    ::testing::Values(TModelCase{u"EMPTY", 0, ""}, TModelCase{u" ANY ", 0, ""},
                      TModelCase{u"(#PCDATA)", 0, ""}, TModelCase{u"( #PCDATA )*", 0, ""},
                      TModelCase{u"(#PCDATA|a|b:c)*", 0, ""}, TModelCase{u"(a)", 0, ""},
                      TModelCase{u"(a,(b|c)*,d?)+", 0, ""}, TModelCase{u"((a|b),c*)?", 0, ""},
                      TModelCase{u"( a | b+ | (c , d) )", 0, ""},
                      // Inside parentheses the keywords are element names.
                      TModelCase{u"(ANY|EMPTY)", 0, ""}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ContentModels,
    ::testing::Values(
        TModelCase{u"ANY ANY", ekMisplacedAny, "ANY"}, TModelCase{u"(a) ANY", ekMisplacedAny, "ANY"},
        TModelCase{u"ANY (a)", ekMisplacedAny, "ANY"},
        TModelCase{u"EMPTY*", ekMisplacedEmpty, "EMPTY"},
        TModelCase{u"(a|#PCDATA)*", ekMisplacedPCData, "#PCDATA"},
        TModelCase{u"((#PCDATA))", ekMisplacedPCData, "#PCDATA"},
        TModelCase{u"#PCDATA", ekMisplacedPCData, "#PCDATA"},
        TModelCase{u"(#PCDATA|a)", ekInvalidContentModel, ""},
        TModelCase{u"(#PCDATA|a)+", ekInvalidContentModel, "+"},
        TModelCase{u"(#PCDATA,a)*", ekInvalidContentModel, ","},
        TModelCase{u"(#PCDATA|(a))*", ekInvalidContentModel, "("},
        TModelCase{u"(a|b,c)", ekInvalidContentModel, ","},
        TModelCase{u"()", ekInvalidContentModel, ")"},
        TModelCase{u"(a,)", ekInvalidContentModel, ")"}, TModelCase{u"(a", ekInvalidContentModel, ""},
        TModelCase{u"(a))", ekInvalidContentModel, ")"}, TModelCase{u"a", ekInvalidContentModel, "a"},
        TModelCase{u"(a)**", ekInvalidContentModel, "*"},
        // Occurrence indicators follow their particle directly.
        TModelCase{u"(a *)", ekInvalidContentModel, "*"},
        TModelCase{u"(a) +", ekInvalidContentModel, "+"}, TModelCase{u"", ekInvalidContentModel, ""},
        // Characters that start no token are warnings; a lone surrogate is no character.
        TModelCase{u"(a|$b)", ekInvalidContentSpecChar, "$"},
        TModelCase{u"(#PCDAT)", ekInvalidContentSpecChar, "#"},
        TModelCase{u"(a|\xD800)", ekInvalidCharacter, "\xEF\xBF\xBD"}));

std::u16string Nested(size_t depth) {
  std::u16string model(depth, u'(');
  model += u"a";
  model.append(depth, u')');
  return model;
}

// Models nest at most kMaxContentModelDepth deep; a million nested groups are refused
// without recursion.
TEST(ContentModel, NestingIsBounded) {
  TSignalFault fault;
  TestContentModel(Nested(kMaxContentModelDepth), fault);
  EXPECT_EQ(fault.Kind, ekNone);
  TestContentModel(Nested(kMaxContentModelDepth + 1), fault);
  EXPECT_EQ(fault.Kind, ekInvalidContentModel);
  TestContentModel(Nested(1000000), fault);
  EXPECT_EQ(fault.Kind, ekInvalidContentModel);
}

} // namespace
} // namespace velmora::testing
