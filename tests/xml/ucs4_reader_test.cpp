#include "xml/ucs4_reader.h"

#include <gtest/gtest.h>

#include "dom/wide_string_builder.h"
#include "xml/single_byte_codecs.h"
#include "xml/utf_codecs.h"

namespace velmora {
namespace {

// A stream that hands out at most a few bytes per read, as pipes and sockets may, and no
// direct view of its bytes.
class TTrickleStream : public TMemoryStream {
public:
  TTrickleStream(const void* data, int64_t size) : TMemoryStream(data, size) {}
  int64_t Read(void* buffer, int64_t count) override {
    return TMemoryStream::Read(buffer, std::min<int64_t>(count, 3));
  }
  const uint8_t* DirectBytes(int64_t& available) override {
    available = 0;
    return nullptr;
  }
};

std::unique_ptr<TUtilsUCS4Reader> MakeReader(TStream& stream, TUnicodeCodecClass codecClass,
                                             int32_t bufferSize = 4096,
                                             TBomDetection detection = bdDetect) {
  return std::make_unique<TUtilsUCS4Reader>(&stream, bufferSize, codecClass, 0, 0, 0, 0, 1,
                                            detection);
}

std::vector<int32_t> ReadCodes(TUtilsUCS4Reader& reader) {
  std::vector<int32_t> codes;
  for (reader.Next(); !reader.AtEnd(); reader.Next()) {
    codes.push_back(reader.Current().Code);
  }
  return codes;
}

struct TMarkCase {
  const char* Name;
  std::string_view Bytes; // the mark, then "a" in its encoding
  TUnicodeCodecClass (*Class)();
};

void PrintTo(const TMarkCase& c, std::ostream* out) {
  *out << c.Name;
}

class ByteOrderMarks : public ::testing::TestWithParam<TMarkCase> {};

TEST_P(ByteOrderMarks, SelectTheCodecAndAreSkipped) {
  TMemoryStream stream(GetParam().Bytes.data(), static_cast<int64_t>(GetParam().Bytes.size()));
  auto reader = MakeReader(stream, nullptr);
  const TUnicodeCodecClass expected = GetParam().Class ? GetParam().Class() : nullptr;
  EXPECT_EQ(reader->BomCodecClass(), expected);
  EXPECT_EQ(reader->CodecClass(), expected ? expected : TUTF8Codec::ClassRef());
  reader->Next();
  EXPECT_EQ(reader->Current().Code, 'a');
  EXPECT_EQ(reader->Current().StartByte(), 0); // counted from the first byte after the mark
  EXPECT_EQ(reader->Current().Line, 1);
  reader->Next();
  EXPECT_TRUE(reader->AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ByteOrderMarks,
    ::testing::Values(
        TMarkCase{"Utf8",
                  "\xEF\xBB\xBF"
                  "a",
                  TUTF8Codec::ClassRef},
        TMarkCase{"Utf16BE", std::string_view("\xFE\xFF\0a", 4), TUTF16BECodec::ClassRef},
        TMarkCase{"Utf16LE",
                  std::string_view("\xFF\xFE"
                                   "a\0",
                                   4),
                  TUTF16LECodec::ClassRef},
        TMarkCase{"Ucs4Order3412", std::string_view("\xFE\xFF\0\0\0a\0\0", 8),
                  TUCS4_3412Codec::ClassRef},
        TMarkCase{"Ucs4LE",
                  std::string_view("\xFF\xFE\0\0"
                                   "a\0\0\0",
                                   8),
                  TUCS4LECodec::ClassRef},
        TMarkCase{"Ucs4BE", std::string_view("\0\0\xFE\xFF\0\0\0a", 8), TUCS4BECodec::ClassRef},
        TMarkCase{"Ucs4Order2143", std::string_view("\0\0\xFF\xFE\0\0a\0", 8),
                  TUCS4_2143Codec::ClassRef},
        TMarkCase{"None", "a", nullptr}),
    [](const auto& info) { return info.param.Name; });

TEST(CharacterReader, NeedsAStreamAndACodecThatAgreesWithTheMark) {
  try {
    TUtilsUCS4Reader reader(nullptr, 4096, nullptr, 0, 0, 0, 0, 1);
    FAIL() << "no error";
  } catch (const EParserUtilsException& error) {
    EXPECT_STREQ(error.what(), "Stream not specified.");
  }
  const std::string_view bytes("\xFF\xFE"
                               "a\0",
                               4);
  TMemoryStream stream(bytes.data(), 4);
  try {
    MakeReader(stream, TUTF8Codec::ClassRef());
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "Specified input encoding does not match byte order mark.");
  }
  stream.SetPosition(0);
  EXPECT_EQ(ReadCodes(*MakeReader(stream, TUTF16LECodec::ClassRef())), std::vector<int32_t>{'a'});
}

TEST(CharacterReader, CountsLinesColumnsTabsAndBytes) {
  const std::string_view text = "a\tb\r\n\xC3\xA4\rc\n";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  auto reader = MakeReader(stream, nullptr);
  EXPECT_EQ(reader->Current().Code, kBeforeFirstChar);
  struct TExpected {
    int32_t Code;
    int64_t EndByte, CharCount, Line, Column, LineTabs;
    int32_t ByteLength;
  };
  const TExpected expected[] = {
      {'a', 1, 1, 1, 1, 0, 1},  {'\t', 2, 2, 1, 2, 1, 1},  {'b', 3, 3, 1, 3, 1, 1},
      {'\n', 5, 4, 2, 0, 0, 2}, {0xE4, 7, 5, 2, 1, 0, 2},  {'\n', 8, 6, 3, 0, 0, 1},
      {'c', 9, 7, 3, 1, 0, 1},  {'\n', 10, 8, 4, 0, 0, 1},
  };
  for (const TExpected& e : expected) {
    reader->Next();
    const CharPosition& p = reader->Current();
    EXPECT_EQ(p.Code, e.Code);
    EXPECT_EQ(p.EndByte, e.EndByte) << e.Code;
    EXPECT_EQ(p.CharCount, e.CharCount) << e.Code;
    EXPECT_EQ(p.Line, e.Line) << e.Code;
    EXPECT_EQ(p.Column(), e.Column) << e.Code;
    EXPECT_EQ(p.LineTabs, e.LineTabs) << e.Code;
    EXPECT_EQ(p.ByteLength, e.ByteLength) << e.Code;
  }
  EXPECT_EQ(reader->Previous().Code, 'c');
  reader->Next();
  EXPECT_TRUE(reader->AtEnd());
  reader->Next(); // stays at the end
  EXPECT_TRUE(reader->AtEnd());
  EXPECT_EQ(reader->Current().EndByte, 10);
}

// Characters and CR LF pairs straddle the 1,024-byte buffer; the counts must match those
// of a plain walk over the same characters.
void ExpectPositionsAcrossRefills(TUnicodeCodecClass codecClass, const std::u16string& text,
                                  bool trickle) {
  std::unique_ptr<TCustomUnicodeCodec> codec = CreateCodec(codecClass);
  const NarrowString bytes = EncodeText(*codec, text);
  std::unique_ptr<TMemoryStream> stream =
      trickle ? std::make_unique<TTrickleStream>(bytes.data(), static_cast<int64_t>(bytes.size()))
              : std::make_unique<TMemoryStream>(bytes.data(), static_cast<int64_t>(bytes.size()));
  auto reader = MakeReader(*stream, codecClass, 1024);
  int64_t line = 1, column = 0, chars = 0, endByte = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    int32_t code = text[i];
    int units = 1;
    if (code >= 0xD800 && code <= 0xDBFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      units = 2;
    }
    if (code == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      units = 2;
    }
    const int64_t length = static_cast<int64_t>(EncodeText(*codec, text.substr(i, units)).size());
    i += units - 1;
    const bool lineBreak = code == '\r' || code == '\n';
    ++chars;
    endByte += length;
    line += lineBreak;
    column = lineBreak ? 0 : column + 1;
    reader->Next();
    ASSERT_EQ(reader->Current().Code, lineBreak ? 0x0A : code) << "at unit " << i;
    ASSERT_EQ(reader->Current().EndByte, endByte) << "at unit " << i;
    ASSERT_EQ(reader->Current().CharCount, chars);
    ASSERT_EQ(reader->Current().Line, line);
    ASSERT_EQ(reader->Current().Column(), column);
  }
  reader->Next();
  EXPECT_TRUE(reader->AtEnd());
}

std::u16string StraddlingText() {
  std::u16string text;
  // Every 3-unit pattern shifts the boundaries, so each kind of character lands on the
  // 1,024-byte edge somewhere.
  const std::u16string_view pieces[] = {u"x",    u"\u00E4", u"\u20AC", u"\U0001F600",
                                        u"\r\n", u"\r",     u"\n"};
  for (int i = 0; i < 3000; ++i) {
    text += pieces[(i * 7 + i / 5) % std::size(pieces)];
    text += u"ab";
  }
  return text;
}

TEST(CharacterReader, PositionsHoldAcrossBufferRefills) {
  const std::u16string text = StraddlingText();
  for (bool trickle : {false, true}) {
    SCOPED_TRACE(trickle ? "short reads" : "full reads");
    ExpectPositionsAcrossRefills(TUTF8Codec::ClassRef(), text, trickle);
    ExpectPositionsAcrossRefills(TUTF16LECodec::ClassRef(), text, trickle);
    ExpectPositionsAcrossRefills(TUTF16BECodec::ClassRef(), text, trickle);
    ExpectPositionsAcrossRefills(TUCS4_2143Codec::ClassRef(), text, trickle);
  }
}

TEST(CharacterReader, U009CIsAnOrdinaryCharacter) {
  const std::string_view latin1 = "a\x9C"
                                  "b";
  TMemoryStream stream(latin1.data(), 3);
  EXPECT_EQ(ReadCodes(*MakeReader(stream, TISO8859_1Codec::ClassRef())),
            (std::vector<int32_t>{'a', 0x9C, 'b'}));
  const std::string_view utf8 = "a\xC2\x9C"
                                "b";
  TMemoryStream utf8Stream(utf8.data(), 4);
  EXPECT_EQ(ReadCodes(*MakeReader(utf8Stream, nullptr)), (std::vector<int32_t>{'a', 0x9C, 'b'}));
}

TEST(CharacterReader, ResetDropsACharacterHeldBackAfterACr) {
  const std::string_view text = "\rXY";
  TMemoryStream stream(text.data(), 3);
  auto reader = MakeReader(stream, nullptr);
  // The look-ahead LF came from the CR; the codec holds "X" back.
  EXPECT_EQ(reader->Lookahead().Code, 0x0A);
  reader->SetStartOffset(2);
  reader->Reset();
  EXPECT_EQ(ReadCodes(*reader), std::vector<int32_t>{'Y'});
  reader->SetStartOffset(0);
  reader->Reset();
  EXPECT_EQ(ReadCodes(*reader), (std::vector<int32_t>{0x0A, 'X', 'Y'}));
}

TEST(CharacterReader, SkipAnyWalksMegabytesWithoutRecursion) {
  const NarrowString text = NarrowString(4 << 20, ' ') + "\t\nz";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  auto reader = MakeReader(stream, nullptr);
  EXPECT_EQ(reader->SkipAny(TCharSet(u" \t\n")), static_cast<int64_t>(text.size()) - 1);
  EXPECT_EQ(reader->Current().Code, 'z');
  EXPECT_EQ(reader->SkipAny(TCharSet(u" ")), 0);
  EXPECT_TRUE(reader->AtEnd());
}

TEST(CharacterReader, MatchTextStopsAtTheFirstDifference) {
  const std::string_view text = "<?xmlns";
  TMemoryStream stream(text.data(), 7);
  auto reader = MakeReader(stream, nullptr);
  EXPECT_TRUE(reader->MatchText(u"<?xml"));
  EXPECT_FALSE(reader->MatchText(u"nx"));
  EXPECT_EQ(reader->Current().Code, 's'); // the mismatch stays consumed
}

TEST(CharacterReader, CutUnitsAndBadBytesFailOnceAndReadingEnds) {
  const std::pair<TUnicodeCodecClass (*)(), std::string_view> cases[] = {
      {TUTF16LECodec::ClassRef, std::string_view("a\0b", 3)},
      {TUCS4BECodec::ClassRef, std::string_view("\0\0\0a\0\0", 6)},
      {TUTF8Codec::ClassRef, "a\xFF\xFE\xC3"},
  };
  for (const auto& [codecClass, bytes] : cases) {
    TMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    auto reader = MakeReader(stream, codecClass(), 1024, bdNone);
    int failures = 0;
    std::vector<int32_t> codes;
    while (!reader->AtEnd() && failures < 100) {
      try {
        reader->Next();
        if (!reader->AtEnd()) {
          codes.push_back(reader->Current().Code);
        }
      } catch (const EConvertError&) {
        ++failures;
      }
    }
    EXPECT_EQ(codes, std::vector<int32_t>{'a'}) << codecClass()->ClassName;
    EXPECT_GE(failures, 1) << codecClass()->ClassName;
    EXPECT_LE(failures, 3) << codecClass()->ClassName;
  }
}

TEST(CharacterReader, TextsInMemoryKeepALeadingByteOrderMark) {
  const std::u16string text = u"\uFEFFa";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size() * sizeof(char16_t)));
  auto reader = MakeReader(stream, TUTF16LECodec::ClassRef(), 4096, bdNone);
  EXPECT_EQ(reader->BomCodecClass(), nullptr);
  EXPECT_EQ(ReadCodes(*reader), (std::vector<int32_t>{0xFEFF, 'a'}));
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// A failed decode right after a CR surfaces in the Next that moves onto the LF (the
// character before the bad byte), also through the window path and after a Reset.
TEST(CharacterReaderFaults, AFailureAfterACrSurfacesAtOnce) {
  const NarrowString text = "a\r\xFF" + NarrowString(3000, 'x');
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
  auto reader = MakeReader(stream, nullptr, 1024);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "first read" : "after Reset");
    reader->Next();
    EXPECT_EQ(reader->Current().Code, 'a');
    EXPECT_THROW(reader->Next(), EConvertError);
    EXPECT_EQ(reader->Current().Code, 'a');
    reader->Reset();
  }
}

// The bytes a failed decode took still count: "a\xFFbcd" ends at byte 5, and "b" starts
// at byte 2.
TEST(CharacterReaderFaults, BytesOfAFailedDecodeAreCounted) {
  for (int bufferSize : {1024, 4}) {
    const std::string_view text = "a\xFF"
                                  "bcd";
    TMemoryStream stream(text.data(), 5);
    auto reader = MakeReader(stream, nullptr, bufferSize);
    std::vector<std::pair<int32_t, int64_t>> starts;
    int failures = 0;
    while (!reader->AtEnd()) {
      try {
        reader->Next();
      } catch (const EConvertError&) {
        ++failures;
        continue;
      }
      if (!reader->AtEnd()) {
        starts.emplace_back(reader->Current().Code, reader->Current().StartByte());
      }
    }
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(starts, (std::vector<std::pair<int32_t, int64_t>>{{'a', 0}, {'b', 2}, {'c', 3},
                                                                {'d', 4}}));
    EXPECT_EQ(reader->Current().EndByte, 5);
  }
}

void ExpectSamePosition(const CharPosition& run, const CharPosition& reference, const char* slot) {
  EXPECT_EQ(run.Code, reference.Code) << slot;
  EXPECT_EQ(run.EndByte, reference.EndByte) << slot;
  EXPECT_EQ(run.CharCount, reference.CharCount) << slot;
  EXPECT_EQ(run.Line, reference.Line) << slot;
  EXPECT_EQ(run.LineChars, reference.LineChars) << slot;
  EXPECT_EQ(run.LineTabs, reference.LineTabs) << slot;
  EXPECT_EQ(run.ByteLength, reference.ByteLength) << slot;
}

// AppendUntil against the loop it stands for, run by run: the text, the three position
// records and the failures must be the same, for every codec kind, across refills.
void ExpectRunsMatchTheLoop(TUnicodeCodecClass codecClass, const NarrowString& bytes, bool trickle,
                            const std::vector<TCharSet>& stops = {
                                TCharSet(u"<&"), TCharSet(u" \t\r\n>"), TCharSet(u"'")}) {
  auto open = [&](std::unique_ptr<TMemoryStream>& stream) {
    stream = trickle ? std::make_unique<TTrickleStream>(bytes.data(),
                                                        static_cast<int64_t>(bytes.size()))
                     : std::make_unique<TMemoryStream>(bytes.data(),
                                                       static_cast<int64_t>(bytes.size()));
    return MakeReader(*stream, codecClass, 1024, bdNone);
  };
  std::unique_ptr<TMemoryStream> runStream, loopStream;
  auto run = open(runStream);
  auto loop = open(loopStream);
  int32_t runQuote = 0, loopQuote = 0; // of the tag runs
  for (int step = 0; !loop->AtEnd() && step < 100000; ++step) {
    const size_t kind = step % (stops.size() + 1);
    TUtilsCustomWideStr runText, loopText;
    bool runFailed = false, loopFailed = false;
    try {
      if (kind < stops.size()) {
        run->AppendUntil(stops[kind], runText);
      } else {
        run->AppendTagText(runText, runQuote);
      }
    } catch (const EConvertError&) {
      runFailed = true;
    }
    try {
      if (kind < stops.size()) {
        while (loop->Lookahead().Code != kEndOfInput &&
               !stops[kind].Contains(loop->Lookahead().Code)) {
          loop->Next();
          loopText.addUCS4Char(loop->Current().Code);
        }
      } else {
        // "/" and ">" end a tag, but not inside a quoted value.
        for (;;) {
          const int32_t ahead = loop->Lookahead().Code;
          if (ahead == kEndOfInput || (loopQuote == 0 && (ahead == '/' || ahead == '>'))) {
            break;
          }
          loop->Next();
          const int32_t c = loop->Current().Code;
          loopText.addUCS4Char(c);
          if (loopQuote == 0 && (c == '\'' || c == '"')) {
            loopQuote = c;
          } else if (c == loopQuote) {
            loopQuote = 0;
          }
        }
      }
    } catch (const EConvertError&) {
      loopFailed = true;
    }
    ASSERT_EQ(runFailed, loopFailed) << "step " << step;
    ASSERT_EQ(runText.view(), loopText.view()) << "step " << step;
    ASSERT_EQ(runQuote, loopQuote) << "step " << step;
    ExpectSamePosition(run->Previous(), loop->Previous(), "previous");
    ExpectSamePosition(run->Current(), loop->Current(), "current");
    ExpectSamePosition(run->Lookahead(), loop->Lookahead(), "look-ahead");
    if (::testing::Test::HasFailure()) {
      return;
    }
    // Step over the stop character as a tokenizer would.
    try {
      run->Next();
    } catch (const EConvertError&) {
    }
    try {
      loop->Next();
    } catch (const EConvertError&) {
    }
  }
}

TEST(CharacterReaderRuns, MatchTheCharacterLoop) {
  std::u16string text;
  const std::u16string_view pieces[] = {u"<a b='x/y>'>",  u"text with  spaces", u"\r\n   ",
                                        u"\t<b>",         u"\u00E4\u00F6",      u"\u20AC",
                                        u"\U0001F600",    u"&amp;",             u"\r",
                                        u"\n\n",          u"x",                 u"'",
                                        u"abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ",
                                        u"c=\"d'e\"/"};
  for (int i = 0; i < 4000; ++i) {
    text += pieces[(i * 7 + i / 3) % std::size(pieces)];
  }
  for (bool trickle : {false, true}) {
    SCOPED_TRACE(trickle ? "short reads" : "full reads");
    for (TUnicodeCodecClass codecClass :
         {TUTF8Codec::ClassRef(), TUTF16LECodec::ClassRef(), TUTF16BECodec::ClassRef()}) {
      SCOPED_TRACE(codecClass->ClassName);
      std::unique_ptr<TCustomUnicodeCodec> codec = CreateCodec(codecClass);
      ExpectRunsMatchTheLoop(codecClass, EncodeText(*codec, text), trickle);
    }
    // Single-byte text with undefined bytes and a bad UTF-8 sequence in the middle.
    NarrowString latin;
    for (int i = 0; i < 3000; ++i) {
      latin += "ab<c \x81\xE4\r\n\t&d'";
    }
    ExpectRunsMatchTheLoop(TWindows1252Codec::ClassRef(), latin, trickle);
    ExpectRunsMatchTheLoop(TUTF8Codec::ClassRef(), latin, trickle);
  }
  // Plain text up to a member of the stop set that is counted apart (a line break, a TAB),
  // and tag runs that begin at a quote (a "/" or ">" in the value does not end them); in
  // codecs that extend ASCII and in one that does not.
  std::vector<NarrowString> texts;
  for (const char* counted : {"\t", "\r", "\r\n", "\n"}) {
    NarrowString plain;
    for (int i = 0; i < 200; ++i) {
      plain += NarrowString("abcdefghijklmnopqrstuvwxyz") + counted;
    }
    texts.push_back(plain);
  }
  NarrowString quoted;
  for (int i = 0; i < 300; ++i) {
    quoted += i % 2 ? "abc 'xyz/y>z' d>" : "abc \"xyz/y>z\" d>";
  }
  texts.push_back(quoted);
  for (TUnicodeCodecClass codecClass :
       {TUTF8Codec::ClassRef(), TWindows1252Codec::ClassRef(), TIBM037Codec::ClassRef()}) {
    SCOPED_TRACE(codecClass->ClassName);
    for (const NarrowString& bytes : texts) {
      ExpectRunsMatchTheLoop(codecClass, bytes, false, {TCharSet(u" \t\r\n>")});
    }
  }
}

} // namespace
} // namespace velmora
