#include "xml/input_sources.h"

#include <gtest/gtest.h>

#include "dom/dom_exceptions.h"
#include "xml/single_byte_codecs.h"
#include "xml/utf_codecs.h"

namespace velmora {
namespace {

// An input source over bytes held by the fixture.
class InputSource : public ::testing::Test {
protected:
  TXmlInputSource& Open(std::string_view bytes, bool keepInitialPosition = false,
                        TUnicodeCodecClass codecClass = nullptr) {
    FBytes = bytes;
    FStream = std::make_unique<TMemoryStream>(FBytes.data(), static_cast<int64_t>(FBytes.size()));
    FSource = std::make_unique<TXmlInputSource>(FStream.get(), u"", u"doc.xml", 1024, codecClass,
                                                keepInitialPosition, 0, 0, 0, 0, 1);
    return *FSource;
  }

  // The characters the tokenizer gets.
  std::u16string Rest() {
    std::u16string text;
    for (FSource->Next(); !FSource->AtEnd(); FSource->Next()) {
      text += static_cast<char16_t>(FSource->Current().Code);
    }
    return text;
  }

  NarrowString FBytes;
  std::unique_ptr<TMemoryStream> FStream;
  std::unique_ptr<TXmlInputSource> FSource;
};

TEST_F(InputSource, WithoutDeclarationReadsFromTheFirstCharacter) {
  TXmlInputSource& source = Open("<a/>");
  EXPECT_EQ(source.DeclKind(), dkNone);
  EXPECT_FALSE(source.BadDeclaration());
  EXPECT_EQ(source.DeclaredVersion(), u"1.0");
  EXPECT_EQ(source.DeclaredEncoding(), u"");
  EXPECT_EQ(source.DeclaredStandalone(), sdUnspecified);
  EXPECT_EQ(source.EncodingName(), u"UTF-8");
  EXPECT_EQ(source.SystemId(), u"doc.xml");
  source.Next();
  EXPECT_EQ(source.Current().Code, '<');
  EXPECT_EQ(source.Current().EndByte, 1);
  EXPECT_EQ(source.Current().Column(), 1);
  EXPECT_EQ(Rest(), u"a/>");
}

struct TDeclarationCase {
  const char* Name;
  std::string_view Text;
  TXmlDeclKind Kind;
  bool Bad;
  std::u16string_view Version;
  std::u16string_view Encoding;
  TDomStandalone Standalone;
};

void PrintTo(const TDeclarationCase& c, std::ostream* out) {
  *out << c.Name;
}

class Declarations : public InputSource, public ::testing::WithParamInterface<TDeclarationCase> {};

TEST_P(Declarations, AreReadAhead) {
  const TDeclarationCase& c = GetParam();
  TXmlInputSource& source = Open(NarrowString(c.Text) + "<a/>");
  EXPECT_EQ(source.BadDeclaration(), c.Bad);
  if (c.Bad) {
    EXPECT_EQ(Rest(), NarrowToWide(NarrowString(c.Text) + "<a/>")); // read from the start
    return;
  }
  EXPECT_EQ(source.DeclKind(), c.Kind);
  EXPECT_EQ(source.DeclaredVersion(), c.Version);
  EXPECT_EQ(source.DeclaredEncoding(), c.Encoding);
  EXPECT_EQ(source.DeclaredStandalone(), c.Standalone);
  EXPECT_EQ(Rest(), u"<a/>");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Declarations,
    ::testing::Values(
        TDeclarationCase{"VersionOnly", "<?xml version=\"1.0\"?>", dkXmlDecl, false, u"1.0", u"",
                         sdUnspecified},
        TDeclarationCase{"VersionAndEncoding", "<?xml version='1.1' encoding='UTF-8'?>",
                         dkXmlOrTextDecl, false, u"1.1", u"UTF-8", sdUnspecified},
        TDeclarationCase{"EncodingOnly", "<?xml encoding=\"utf-8\" ?>", dkTextDecl, false, u"1.0",
                         u"utf-8", sdUnspecified},
        TDeclarationCase{"Standalone",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", dkXmlDecl,
                         false, u"1.0", u"UTF-8", sdYes},
        TDeclarationCase{"SpacedOut", "<?xml\r\n version = '1.0'\tstandalone= 'no' ?>", dkXmlDecl,
                         false, u"1.0", u"", sdNo},
        TDeclarationCase{"Stylesheet", "<?xml-stylesheet href=\"a\"?>", dkNone, true, u"", u"",
                         sdUnspecified},
        TDeclarationCase{"NoSpaceBeforeEncoding", "<?xml version=\"1.0\"encoding=\"UTF-8\"?>",
                         dkNone, true, u"", u"", sdUnspecified},
        TDeclarationCase{"TextDeclWithStandalone", "<?xml encoding=\"UTF-8\" standalone=\"yes\"?>",
                         dkNone, true, u"", u"", sdUnspecified},
        TDeclarationCase{"Empty", "<?xml?>", dkNone, true, u"", u"", sdUnspecified},
        TDeclarationCase{"EncodingStartsWithDigit", "<?xml version=\"1.0\" encoding=\"8bit\"?>",
                         dkNone, true, u"", u"", sdUnspecified},
        TDeclarationCase{"MixedQuotes", "<?xml version=\"1.0' ?>", dkNone, true, u"", u"",
                         sdUnspecified},
        TDeclarationCase{"EmptyVersion", "<?xml version=\"\" ?>", dkNone, true, u"", u"",
                         sdUnspecified},
        TDeclarationCase{"StandaloneMaybe", "<?xml version=\"1.0\" standalone=\"maybe\"?>", dkNone,
                         true, u"", u"", sdUnspecified},
        TDeclarationCase{"MissingEnd", "<?xml version=\"1.0\" ", dkNone, true, u"", u"",
                         sdUnspecified}),
    [](const auto& info) { return info.param.Name; });

TEST_F(InputSource, PositionsContinueAfterTheDeclarationOrRestart) {
  const std::string_view text = "<?xml version=\"1.0\"?>\n<a/>";
  TXmlInputSource& source = Open(text);
  EXPECT_EQ(source.Current().Code, '>');
  EXPECT_EQ(source.Current().Column(), 21);
  source.Next();
  EXPECT_EQ(source.Current().Code, '\n');
  EXPECT_EQ(source.Current().EndByte, 22);
  EXPECT_EQ(source.Current().Line, 2);
  source.Next();
  EXPECT_EQ(source.Current().Column(), 1);

  TXmlInputSource& restarted = Open(text, true);
  restarted.Next();
  EXPECT_EQ(restarted.Current().Code, '\n');
  EXPECT_EQ(restarted.Current().EndByte, 1);
  EXPECT_EQ(restarted.Current().CharCount, 1);
  EXPECT_EQ(restarted.Current().Line, 2);
}

TEST_F(InputSource, ALineBreakRightAfterTheDeclarationIsKept) {
  Open("<?xml version=\"1.0\"?>\rX");
  EXPECT_EQ(Rest(), u"\nX");
}

TEST_F(InputSource, SwitchesToTheDeclaredEncodingAfterTheDeclaration) {
  TXmlInputSource& latin1 = Open("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE4\x9C</a>");
  EXPECT_EQ(latin1.EncodingName(), u"ISO-8859-1");
  EXPECT_EQ(Rest(), u"<a>\u00E4\u009C</a>");
  TXmlInputSource& cp1252 = Open("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\x80");
  EXPECT_EQ(cp1252.CodecClass(), TWindows1252Codec::ClassRef());
  EXPECT_EQ(Rest(), u"\u20AC");
}

TEST_F(InputSource, DeclaredNamesSelectTheirCodecs) {
  const std::pair<const char*, TUnicodeCodecClass (*)()> cases[] = {
      {"IBM437", TIBM437Codec::ClassRef},
      {"cp437", TIBM437Codec::ClassRef},
      {"ebcdic", TEBCDIC_USCodec::ClassRef},
      {"csISOLatin5", TISO8859_9Codec::ClassRef},
  };
  for (const auto& [name, codecClass] : cases) {
    Open(NarrowString("<?xml version=\"1.0\" encoding=\"") + name + "\"?>");
    EXPECT_EQ(FSource->CodecClass(), codecClass()) << name;
  }
  try {
    Open("<?xml version=\"1.0\" encoding=\"TIS-620\"?>");
    FAIL() << "no error";
  } catch (const ENot_Supported_Err& error) {
    EXPECT_STREQ(error.what(), "Encoding not supported error.");
  }
}

NarrowString Utf16LE(std::u16string_view text) {
  TUTF16LECodec codec;
  return EncodeText(codec, text);
}

TEST_F(InputSource, Utf16DeclarationsFollowTheMark) {
  TXmlInputSource& marked =
      Open("\xFF\xFE" + Utf16LE(u"<?xml version=\"1.0\" encoding=\"utf-16\"?><\u00E4/>"));
  EXPECT_EQ(marked.EncodingName(), u"UTF-16LE");
  EXPECT_EQ(Rest(), u"<\u00E4/>");
  TXmlInputSource& unmarked =
      Open(NarrowString("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + std::string("\0<\0a", 4));
  EXPECT_EQ(unmarked.CodecClass(), TUTF16BECodec::ClassRef());
  EXPECT_EQ(Rest(), u"<a");
}

TEST_F(InputSource, DeclaredEncodingsThatContradictTheMarkFail) {
  const NarrowString cases[] = {
      "\xFF\xFE" + Utf16LE(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
      "\xFF\xFE" + Utf16LE(u"<?xml version=\"1.0\" encoding=\"UTF-16BE\"?>"),
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
  };
  for (const NarrowString& bytes : cases) {
    try {
      Open(bytes);
      ADD_FAILURE() << "no error for " << bytes;
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), "Declared encoding does not match byte order mark.");
    }
  }
  Open("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf8\"?>x");
  EXPECT_EQ(Rest(), u"x");
}

// A decoding failure inside the declaration makes it malformed: the text is then read
// from its first character.
TEST_F(InputSource, AnUndecodableDeclarationIsMalformed) {
  TXmlInputSource& source = Open("<?xml version='1.0'\r\xFF?>x");
  EXPECT_TRUE(source.BadDeclaration());
  source.Next();
  EXPECT_EQ(source.Current().Code, '<');
  EXPECT_EQ(source.Current().StartByte(), 0);
}

TEST_F(InputSource, WhiteSpaceInTheDeclarationMayRunForMegabytes) {
  TXmlInputSource& source = Open("<?xml" + NarrowString(3 << 20, ' ') + "version=\"1.0\"" +
                                 NarrowString(1 << 20, '\n') + "?>z");
  EXPECT_FALSE(source.BadDeclaration());
  EXPECT_EQ(Rest(), u"z");
}

TEST(SimpleInputSource, ReadsWithoutLookingForADeclaration) {
  const std::u16string text = u"\uFEFF<?xml version='1.0'?>";
  TMemoryStream stream(text.data(), static_cast<int64_t>(text.size() * 2));
  TXmlSimpleInputSource source(&stream, u"pub", u"sys", 4096, TUTF16LECodec::ClassRef(), 0, 0, 0, 0,
                               1, bdNone);
  EXPECT_EQ(source.PublicId(), u"pub");
  EXPECT_EQ(source.EncodingName(), u"UTF-16LE");
  source.Next();
  EXPECT_EQ(source.Current().Code, 0xFEFF);
  source.Next();
  EXPECT_EQ(source.Current().Code, '<');
}

} // namespace
} // namespace velmora
