#include "toolkit/string_toolkit.h"

#include <gtest/gtest.h>

#include "platform/executable_path.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

struct TReplaceCase {
  const char* Name;
  std::string_view Text;
  std::string_view Search;
  std::string_view Replacement;
  bool IgnoreCase;
  std::string_view Expected;
  int Count;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TReplaceCase& c, std::ostream* out) {
  *out << c.Name;
}

class ReplaceAllCases : public ::testing::TestWithParam<TReplaceCase> {};

TEST_P(ReplaceAllCases, ReplacesEveryOccurrenceOnce) {
  const TReplaceCase& c = GetParam();
  NarrowString text(c.Text);
  EXPECT_EQ(ReplaceAll(text, c.Search, c.Replacement, c.IgnoreCase), c.Count);
  EXPECT_EQ(text, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceAllCases,
    ::testing::Values(
        TReplaceCase{"PlusToZeros", "+49+1", "+", "00", false, "0049001", 2},
        TReplaceCase{"FourZerosNoOverlap", "0000", "00", "0", false, "00", 2},
        TReplaceCase{"ThreeZeros", "000", "00", "0", false, "00", 1},
        TReplaceCase{"InsertedTextNotSearchedAgain", "aaa", "a", "aa", false, "aaaaaa", 3},
        TReplaceCase{"EmptySearch", "abc", "", "x", false, "abc", 0},
        TReplaceCase{"NoOccurrence", "abc", "x", "y", false, "abc", 0},
        TReplaceCase{"EmptyReplacementDeletes", "a;b;;c", ";", "", false, "abc", 3},
        TReplaceCase{"SearchLongerThanText", "ab", "abc", "x", true, "ab", 0},
        TReplaceCase{"CaseSensitiveByDefault", "Abc abc", "abc", "x", false, "Abc x", 1},
        TReplaceCase{"IgnoreCaseAscii", "Abc aBC", "abc", "x", true, "x x", 2},
        TReplaceCase{"IgnoreCaseUmlaut",
                     "\xC4"
                     "rger",
                     "\xE4", "ae", true, "aerger", 1},
        TReplaceCase{"SharpSHasNoOtherCase",
                     "STRASSE stra\xDF"
                     "e",
                     "\xDF", "ss", true, "STRASSE strasse", 1},
        TReplaceCase{"WildcardInIgnoreCaseMode", "BCD bxd bd", "b?d", "-", true, "- - bd", 2},
        TReplaceCase{"WildcardIsLiteralOtherwise", "bxd b?d", "b?d", "-", false, "bxd -", 1},
        TReplaceCase{"LineBreaksInOrder", "a\r\nb", "\r\n", ",", false, "a,b", 1}),
    [](const auto& info) { return info.param.Name; });

TEST(ReplaceAll, ManyOccurrencesInLinearTime) {
  NarrowString text(1'000'000, '+');
  EXPECT_EQ(ReplaceAll(text, "+", "00"), 1'000'000);
  EXPECT_EQ(text.size(), 2'000'000u);
  EXPECT_EQ(text.find_first_not_of('0'), NarrowString::npos);
}

TEST(CaseTables, DefaultsPairAsciiAndGermanLetters) {
  const TCaseTables& tables = CaseTables();
  EXPECT_EQ(tables.Flip['a'], 'A');
  EXPECT_EQ(tables.Flip['Z'], 'z');
  EXPECT_EQ(tables.Upper['q'], 'Q');
  EXPECT_EQ(tables.Lower['Q'], 'q');
  EXPECT_EQ(tables.Upper['Q'], 'Q');
  for (const auto& [lower, upper] : {std::pair{0xE4, 0xC4}, {0xF6, 0xD6}, {0xFC, 0xDC}}) {
    EXPECT_EQ(tables.Flip[lower], upper);
    EXPECT_EQ(tables.Flip[upper], lower);
  }
  EXPECT_EQ(tables.Flip[0xDF], 0xDF); // sharp s
  EXPECT_EQ(tables.Flip[0xE9], 0xE9); // e acute is not in the alphabets
  EXPECT_EQ(tables.Flip['?'], '?');
}

TEST(CaseTables, SetCaseAlphabetsReplacesAllPairsOrNothing) {
  SetCaseAlphabets("xy", "XY");
  EXPECT_EQ(CaseTables().Flip['x'], 'X');
  EXPECT_EQ(CaseTables().Flip['a'], 'a'); // the tables were reset first
  SetCaseAlphabets("abc", "AB");          // lengths differ: ignored
  SetCaseAlphabets("", "");
  EXPECT_EQ(CaseTables().Flip['x'], 'X');
  EXPECT_EQ(CaseTables().Flip['a'], 'a');
  SetDefaultCaseAlphabets();
  EXPECT_EQ(CaseTables().Flip['a'], 'A');
  EXPECT_EQ(CaseTables().Flip[0xE4], 0xC4);
}

TEST(SplitText, CutsAtEveryDelimiter) {
  using TParts = std::vector<NarrowString>;
  EXPECT_EQ(SplitText('.', "0.2.1.19"), (TParts{"0", "2", "1", "19"}));
  EXPECT_EQ(SplitText('.', "a..b"), (TParts{"a", "", "b"}));
  EXPECT_EQ(SplitText('.', "a."), (TParts{"a", ""}));
  EXPECT_EQ(SplitText('.', "."), (TParts{"", ""}));
  EXPECT_EQ(SplitText('.', ""), (TParts{""}));
  EXPECT_EQ(SplitText('.', "abc"), (TParts{"abc"}));
}

TEST(JoinText, PutsTheSeparatorBetweenNeighbours) {
  EXPECT_EQ(JoinText(", ", {}), "");
  EXPECT_EQ(JoinText(", ", {"only"}), "only");
  EXPECT_EQ(JoinText(", ", {"", ""}), ", ");
  EXPECT_EQ(JoinText(" ", {"+49", "30"}), "+49 30");
  EXPECT_EQ(JoinText("", {"a", "b", "c"}), "abc");
}

TEST(JoinText, KeepsEveryPieceOfALongJoin) {
  std::vector<NarrowString> parts;
  size_t total = 0;
  for (int i = 0; i < 100'000; ++i) {
    parts.push_back(NarrowString(static_cast<size_t>(i % 17), 'x') + "|");
    total += parts.back().size();
  }
  const NarrowString joined = JoinText(";", parts);
  EXPECT_EQ(joined.size(), total + parts.size() - 1);
  EXPECT_EQ(SplitText(';', joined), parts);
}

TEST(ChooseValue, CopiesTheChosenValue) {
  EXPECT_EQ(ChooseValue(true, TVariant("a"), TVariant(2)), TVariant("a"));
  EXPECT_EQ(ChooseValue(false, TVariant("a"), TVariant(2)), TVariant(2));
  EXPECT_TRUE(ChooseValue(false, TVariant("a"), TVariant()).IsEmpty());
}

TEST(FileVersionText, OfTheRunningProgramAndOfOtherFiles) {
  EXPECT_EQ(FileVersionText(ExecutablePath()), "0.2.1.19");
  testing::TTempFolder folder;
  folder.WriteFile("plain.txt", "no version here");
  EXPECT_EQ(FileVersionText(folder.File("plain.txt")), "");
  EXPECT_EQ(FileVersionText(folder.File("missing.exe")), "");
  EXPECT_EQ(FileVersionText("/bin/sh"), "");
}

} // namespace
} // namespace velmora
