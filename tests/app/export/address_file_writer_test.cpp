#include "app/export/address_file_writer.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/text_file.h"
#include "tests/support/temp_folder.h"
#include "toolkit/string_toolkit.h"

namespace velmora {
namespace {

using testing::TTempFolder;

struct TProgressEntry {
  NarrowString EntryNumber;
  NarrowString LineText;
  bool operator==(const TProgressEntry&) const = default;
};

// Writes contacts into a fresh file and keeps the lines and the progress reports.
class AddressFileWriterTest : public ::testing::Test {
protected:
  std::vector<NarrowString> Export(const std::vector<TContactData>& contacts,
                                   const NarrowString& countryCode = "49") {
    TTextFile file(FFolder.File("BUCH.ADR"));
    TAddressFileWriter writer(file, [this](const NarrowString& entry, const NarrowString& text) {
      FProgress.push_back({entry, text});
    });
    for (const TContactData& contact : contacts) {
      writer.WriteContact(contact, countryCode);
    }
    file.Close();
    NarrowString content = FFolder.ReadFile("BUCH.ADR");
    std::vector<NarrowString> lines;
    if (content.empty()) {
      return lines;
    }
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
    content.resize(content.size() - 2);
    ReplaceAll(content, "\r\n", "\n");
    return SplitText('\n', content);
  }

  // Field n (from 1) of a line.
  static NarrowString Field(const NarrowString& line, size_t n) {
    const std::vector<NarrowString> fields = SplitText(';', line);
    EXPECT_EQ(fields.size(), 14u) << line;
    return n - 1 < fields.size() ? fields[n - 1] : NarrowString();
  }

  TTempFolder FFolder;
  std::vector<TProgressEntry> FProgress;
};

TEST_F(AddressFileWriterTest, TheDocumentedLineAndStatusTexts) {
  const auto lines = Export({{"Anna", {{"", "Office"}}, {{"Work", "+49 30 1234"}}}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "1;entry;Anna (Work);0 30 1234;1;0;;;;0;Office;;;");
  EXPECT_EQ(FProgress, (std::vector<TProgressEntry>{{"1", "Anna (Work): 0 30 1234"}}));
}

TEST_F(AddressFileWriterTest, EntryNumbersRunOnAcrossContactsAndSkipEmptyNumbers) {
  const auto lines = Export({
      {"A", {}, {{"", "1"}, {"Mobile", ""}, {"", "2"}}},
      {"B", {}, {}},
      {"C", {}, {{"", ""}}},
      {"D", {}, {{"", "3"}}},
  });
  ASSERT_EQ(lines.size(), 3u);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(Field(lines[i], 1), std::to_string(i + 1));
    EXPECT_EQ(Field(lines[i], 5), std::to_string(i + 1));
    EXPECT_EQ(Field(lines[i], 4), std::to_string(i + 1));
  }
  EXPECT_EQ(Field(lines[2], 3), "D");
}

TEST_F(AddressFileWriterTest, ContactsWithoutNumbersWriteNothing) {
  EXPECT_TRUE(Export({{"A", {{"", "note"}}, {}}, {"B", {}, {{"Work", ""}}}}).empty());
  EXPECT_TRUE(FProgress.empty());
  EXPECT_EQ(FFolder.ReadFile("BUCH.ADR"), "");
}

TEST_F(AddressFileWriterTest, DisplayNameCarriesTheNumberLabel) {
  const auto lines = Export({
      {"Max", {}, {{"General", "1"}, {"", "2"}, {"general", "3"}}},
      {"", {}, {{"Mobile", "4"}}},
  });
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Field(lines[0], 3), "Max");
  EXPECT_EQ(Field(lines[1], 3), "Max");
  EXPECT_EQ(Field(lines[2], 3), "Max (general)");
  EXPECT_EQ(Field(lines[3], 3), " (Mobile)");
}

TEST_F(AddressFileWriterTest, NotesJoinTextItemsWithTheirTypes) {
  const auto lines = Export({{"N", {{"", "x"}, {"Note", "y"}, {"Birthday", "1.1."}}, {{"", "1"}}},
                             {"M", {{"", "a"}, {"", ""}}, {{"", "2"}}}});
  EXPECT_EQ(Field(lines[0], 11), "x, y, Birthday: 1.1.");
  EXPECT_EQ(Field(lines[1], 11), "a, ");
}

TEST_F(AddressFileWriterTest, SemicolonsNeverShiftTheFields) {
  const auto lines = Export({{"Meyer; Jr.", {{"", "a;b"}}, {{"Work;x", "030;1"}}}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "1;entry;Meyer, Jr. (Work,x);030,1;1;0;;;;0;a,b;;;");
}

TEST_F(AddressFileWriterTest, LineBreaksBecomeCommas) {
  const auto lines = Export({{"L", {{"", "a\r\nb"}, {"", "c\rd\ne\n\rf"}}, {{"", "1"}}}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Field(lines[0], 11), "a,b, c,d,e,f");
}

TEST_F(AddressFileWriterTest, EachExportStartsAtOne) {
  Export({{"A", {}, {{"", "1"}, {"", "2"}}}});
  const auto lines = Export({{"B", {}, {{"", "3"}}}});
  EXPECT_EQ(Field(lines[0], 1), "1");
}

TEST_F(AddressFileWriterTest, RoundTripMatchesTheExpectedFileBytes) {
  Export({
      {"Anna", {{"", "Office"}}, {{"Work", "+49 30 1234"}}},
      {"Jörg Müller",
       {{"Note", "Tel.; privat"}, {"Birthday", "1.1."}},
       {{"General", "+49 89 10049 7"}, {"Mobile", ""}, {"", "0171 555"}}},
      {WideToNarrow(u"Łukasz; Jr."),
       {{"Address", "Hauptstr. 1\r\nBerlin"}},
       {{"Fax", "+1 555 0100"}}},
      {"Nobody", {{"", "no numbers"}}, {}},
      {"€uro", {}, {{"Home", "(030) 12-34"}}},
  });
  EXPECT_EQ(FFolder.ReadFile("BUCH.ADR"),
            testing::ReadWholeFile(testing::TestDataFile("export/small_export.adr")));
  ASSERT_EQ(FProgress.size(), 5u);
  // A name beyond the narrow code page (Windows) is shown as the file has it.
  const NarrowString shown = WideToNarrow(u"Łukasz, Jr. (Fax): 001 555 0100");
  EXPECT_EQ(FProgress[3], (TProgressEntry{"4", shown}));
}

struct TNumberCase {
  const char* Value;
  const char* CountryCode;
  const char* Expected;
};

TEST(NormalizeNumber, InternationalToNationalForm) {
  const TNumberCase cases[] = {
      {"+49 30 1234567", "49", "0 30 1234567"},
      {"+4930 1234", "49", "030 1234"},
      {"004930 1234", "49", "030 1234"},
      {"030 1234", "49", "030 1234"},
      {"+1 555 0100", "49", "001 555 0100"},
      {"+49 89 10049 7", "49", "0 89 10049 7"}, // subscriber digits stay
      {"+49 30 100", "", "0049 30 100"},        // no home country: nothing to shorten
      {"+49 (0)30 / 12-34", "49", "0 (0)30 / 12-34"},
      {"0049 30 0049 1", "49", "0 30 0 1"},
      {"+43 1 234", "49", "0043 1 234"},
      {"", "49", ""},
  };
  for (const TNumberCase& c : cases) {
    EXPECT_EQ(TAddressFileWriter::NormalizeNumber(c.Value, c.CountryCode), c.Expected)
        << c.Value << " / " << c.CountryCode;
  }
}

TEST(AddressFileWriterFailure, FullDiskEndsTheExportWithTheFailedLineNumber) {
  if (::access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "/dev/full is not available";
  }
  TTextFile file("/dev/full");
  int reported = 0;
  TAddressFileWriter writer(file, [&](const NarrowString&, const NarrowString&) { ++reported; });
  const TContactData contact{
      "Someone with a long name", {{"", NarrowString(200, 'n')}}, {{"Work", "+49 30 1234"}}};
  try {
    for (int i = 0; i < 10'000; ++i) {
      writer.WriteContact(contact, "49");
    }
    file.Close();
    FAIL() << "writing to a full disk reported success";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode(), 101);
    EXPECT_STREQ(error.what(), "Zu wenig Speicherplatz");
  }
  EXPECT_GT(writer.EntryNumber(), 1);
  EXPECT_EQ(reported, writer.EntryNumber() - 1); // the failed line is not reported
}

} // namespace
} // namespace velmora
