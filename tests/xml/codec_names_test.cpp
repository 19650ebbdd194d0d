#include "xml/codec_names.h"

#include <gtest/gtest.h>

#include "xml/cs_mib.h"
#include "xml/single_byte_codecs.h"
#include "xml/utf_codecs.h"

namespace velmora {
namespace {

struct TNameCase {
  const char* Name;
  TUnicodeCodecClass (*Class)(); // nullptr: no codec
};

void PrintTo(const TNameCase& c, std::ostream* out) {
  *out << '"' << c.Name << '"';
}

class CodecByName : public ::testing::TestWithParam<TNameCase> {};

TEST_P(CodecByName, ResolvesToItsCodec) {
  const TUnicodeCodecClass expected = GetParam().Class ? GetParam().Class() : nullptr;
  EXPECT_EQ(FindCodecClass(GetParam().Name), expected);
}

// The codecs' own names, any letter case.
INSTANTIATE_TEST_SUITE_P(OwnNames, CodecByName,
                         ::testing::Values(TNameCase{"ascii", TUSASCIICodec::ClassRef},
                                           TNameCase{"ISO646-US", TUSASCIICodec::ClassRef},
                                           TNameCase{"IBM891", TUSASCIICodec::ClassRef},
                                           TNameCase{"L1", TISO8859_1Codec::ClassRef},
                                           TNameCase{"CP819", TISO8859_1Codec::ClassRef},
                                           TNameCase{"iso_8859-2:1987", TISO8859_2Codec::ClassRef},
                                           TNameCase{"greek8", TISO8859_7Codec::ClassRef},
                                           TNameCase{"Latin7", TISO8859_13Codec::ClassRef},
                                           TNameCase{"iso-celtic", TISO8859_14Codec::ClassRef},
                                           TNameCase{"l0", TISO8859_15Codec::ClassRef},
                                           TNameCase{"koi8-r", TKOI8_RCodec::ClassRef},
                                           TNameCase{"MacLatin2", TMacLatin2Codec::ClassRef},
                                           TNameCase{"Mac", TMacRomanCodec::ClassRef},
                                           TNameCase{"MACINTOSH", TMacRomanCodec::ClassRef},
                                           TNameCase{"MacCyrillic", TMacCyrillicCodec::ClassRef},
                                           TNameCase{"IBM437", TIBM437Codec::ClassRef},
                                           TNameCase{"cp437", TIBM437Codec::ClassRef},
                                           TNameCase{"DOSLatinUS", TIBM437Codec::ClassRef},
                                           TNameCase{"WinLatin1", TWindows1252Codec::ClassRef},
                                           TNameCase{"WinCyrillic", TWindows1251Codec::ClassRef},
                                           TNameCase{"ebcdic", TEBCDIC_USCodec::ClassRef},
                                           TNameCase{"utf8", TUTF8Codec::ClassRef},
                                           TNameCase{"UTF-16be", TUTF16BECodec::ClassRef},
                                           TNameCase{"utf16le", TUTF16LECodec::ClassRef}));

// Registry names and aliases, through their MIB number.
INSTANTIATE_TEST_SUITE_P(
    RegistryNames, CodecByName,
    ::testing::Values(
        TNameCase{"csISOLatin2", TISO8859_2Codec::ClassRef},
        TNameCase{"csHalfWidthKatakana", TJIS_X0201Codec::ClassRef},
        TNameCase{"X0201", TJIS_X0201Codec::ClassRef},
        TNameCase{"ISO-10646-UCS-2", TUCS2Codec::ClassRef},
        TNameCase{"csUnicode", TUCS2Codec::ClassRef}, TNameCase{"850", TIBM850Codec::ClassRef},
        TNameCase{"ebcdic-cp-us", TIBM037Codec::ClassRef},
        TNameCase{"csIBM424", TIBM424Codec::ClassRef},
        TNameCase{"ebcdic-cp-ch", TIBM500Codec::ClassRef},
        TNameCase{"cp-gr", TIBM869Codec::ClassRef}, TNameCase{"cp866", TIBM866Codec::ClassRef},
        TNameCase{"CP1026", TIBM1026Codec::ClassRef},
        TNameCase{"windows-1255", TWindows1255Codec::ClassRef},
        TNameCase{"csMacintosh", TMacRomanCodec::ClassRef},
        TNameCase{"csKOI8R", TKOI8_RCodec::ClassRef}, TNameCase{"ISO-8859-16", nullptr},
        TNameCase{"UTF-16", nullptr}, TNameCase{"TIS-620", nullptr},
        TNameCase{"Shift_JIS", nullptr}, TNameCase{"no-such-encoding", nullptr},
        TNameCase{"", nullptr},
        // No locale folds these onto ASCII letters.
        TNameCase{"lat\xC4\xB1n1", nullptr}, TNameCase{"\xC4\xB0SO-8859-1", nullptr}));

TEST(CodecName, IsTheFirstNameOfTheCodecsRow) {
  EXPECT_EQ(CodecName(TUTF8Codec::ClassRef()), "UTF-8");
  EXPECT_EQ(CodecName(TUSASCIICodec::ClassRef()), "ASCII");
  EXPECT_EQ(CodecName(TMacRomanCodec::ClassRef()), "MacRoman");
  EXPECT_EQ(CodecName(TEBCDIC_USCodec::ClassRef()), "ebcdic-us");
  EXPECT_EQ(CodecName(TJIS_X0201Codec::ClassRef()), "");
  EXPECT_EQ(CodecName(nullptr), "");
}

// ---- TCSMIB

struct TRegistryRow {
  int32_t Mib;
  std::vector<NarrowString> Names;
};

void PrintTo(const TRegistryRow& row, std::ostream* out) {
  *out << row.Mib;
}

class RegistryRows : public ::testing::TestWithParam<TRegistryRow> {};

TEST_P(RegistryRows, ListTheNamesInRegistryOrder) {
  TOwned<TCSMIB> mib = MakeOwned<TCSMIB>();
  mib->SetEnum(GetParam().Mib);
  std::vector<NarrowString> names;
  for (int i = 0; i < mib->AliasCount(); ++i) {
    names.push_back(mib->Alias(i));
  }
  EXPECT_EQ(names, GetParam().Names);
}

INSTANTIATE_TEST_SUITE_P(
    Quoted, RegistryRows,
    ::testing::Values(TRegistryRow{3,
                                   {"ANSI_X3.4-1968", "iso-ir-6", "ANSI_X3.4-1986",
                                    "ISO_646.irv:1991", "ASCII", "ISO646-US", "US-ASCII", "us",
                                    "IBM367", "cp367", "csASCII"}},
                      TRegistryRow{4,
                                   {"ISO_8859-1:1987", "iso-ir-100", "ISO_8859-1", "ISO-8859-1",
                                    "latin1", "l1", "IBM819", "CP819", "csISOLatin1"}},
                      TRegistryRow{106, {"UTF-8"}},
                      TRegistryRow{1000, {"ISO-10646-UCS-2", "csUnicode"}},
                      TRegistryRow{1013, {"UTF-16BE"}}, TRegistryRow{1015, {"UTF-16"}},
                      TRegistryRow{2011, {"IBM437", "cp437", "437", "csPC8CodePage437"}},
                      TRegistryRow{2252, {"windows-1252"}}, TRegistryRow{2259, {"TIS-620"}},
                      TRegistryRow{2027, {"macintosh", "mac", "csMacintosh"}}));

TEST(CSMIB, KnowsTheFiveRanges) {
  int valid = 0;
  for (int32_t mib = -5; mib < 3000; ++mib) {
    valid += TCSMIB::IsValidEnum(mib);
  }
  EXPECT_EQ(valid, 236);
  for (int32_t mib : {3, 106, 109, 112, 1000, 1015, 2000, 2101, 2250, 2259}) {
    EXPECT_TRUE(TCSMIB::IsValidEnum(mib)) << mib;
  }
  for (int32_t mib : {2, 107, 108, 113, 999, 1016, 1999, 2102, 2249, 2260}) {
    EXPECT_FALSE(TCSMIB::IsValidEnum(mib)) << mib;
  }
}

TEST(CSMIB, PreferredMimeNamesOfTheListedNumbers) {
  TOwned<TCSMIB> mib = MakeOwned<TCSMIB>();
  const std::pair<int32_t, const char*> cases[] = {
      {3, "US-ASCII"},
      {4, "ISO-8859-1"},
      {12, "ISO-8859-9"},
      {13, "ISO-8859-10"},
      {17, "Shift_JIS"},
      {18, "EUC-JP"},
      {37, "ISO-2022-KR"},
      {40, "ISO-2022-JP-2"},
      {82, "ISO-8859-6-I"},
      {84, "ISO-8859-8-E"},
      {85, "ISO-8859-8-I"},
      {2025, "GB2312"},
      {2026, "Big5"},
      {2084, "KOI8-R"},
      {106, ""},
      {81, ""},
  };
  for (const auto& [number, name] : cases) {
    mib->SetEnum(number);
    EXPECT_EQ(mib->PreferredMimeName(), name) << number;
  }
}

TEST(CSMIB, RefusesInvalidNumbersAndIndexes) {
  TOwned<TCSMIB> mib = MakeOwned<TCSMIB>();
  EXPECT_EQ(mib->Enum(), 3);
  try {
    mib->SetEnum(107);
    FAIL() << "no error";
  } catch (const ECSMIBException& error) {
    EXPECT_STREQ(error.what(), "Invalid MIB number");
  }
  mib->SetIgnoreInvalidEnum(true);
  mib->SetEnum(107);
  EXPECT_EQ(mib->Enum(), 3);
  EXPECT_THROW(mib->Alias(-1), ECSMIBException);
  EXPECT_THROW(mib->Alias(mib->AliasCount()), ECSMIBException);
}

TEST(CSMIB, SetByNameFindsAnyNameAndKeepsTheNumberOtherwise) {
  TOwned<TCSMIB> mib = MakeOwned<TCSMIB>();
  EXPECT_TRUE(mib->SetByName("LATIN1"));
  EXPECT_EQ(mib->Enum(), 4);
  EXPECT_TRUE(mib->SetByName("csibm037"));
  EXPECT_EQ(mib->Enum(), 2028);
  EXPECT_FALSE(mib->SetByName("latin-99"));
  EXPECT_EQ(mib->Enum(), 2028);
  EXPECT_TRUE(mib->SetByName("utf-16"));
  EXPECT_EQ(mib->Enum(), 1015);
}

TEST(CSMIB, ChangesAreAnnouncedAndMayBeRefused) {
  TOwned<TCSMIB> mib = MakeOwned<TCSMIB>();
  std::vector<int32_t> changing;
  int changed = 0;
  bool allow = true;
  mib->OnChanging = [&](TCSMIB*, int32_t newEnum, bool& allowChange) {
    changing.push_back(newEnum);
    allowChange = allow;
  };
  mib->OnChange = [&](TCSMIB* sender) {
    EXPECT_EQ(sender, mib.get());
    ++changed;
  };
  mib->SetEnum(106);
  mib->SetEnum(106); // no change, no events
  allow = false;
  mib->SetEnum(4);
  EXPECT_FALSE(mib->SetByName("latin1"));
  EXPECT_EQ(mib->Enum(), 106);
  EXPECT_EQ(changing, (std::vector<int32_t>{106, 4, 4}));
  EXPECT_EQ(changed, 1);
}

} // namespace
} // namespace velmora
