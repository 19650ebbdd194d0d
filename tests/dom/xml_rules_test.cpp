#include "dom/xml_rules.h"

#include <gtest/gtest.h>

#include "dom/dom_exceptions.h"

namespace velmora {
namespace {

struct TClassCase {
  int32_t CodePoint;
  bool Expected;
};

void ExpectClass(bool (*test)(int32_t), const char* name, std::initializer_list<TClassCase> cases) {
  for (const TClassCase& c : cases) {
    EXPECT_EQ(test(c.CodePoint), c.Expected) << name << " U+" << std::hex << c.CodePoint;
  }
}

TEST(CharacterClasses, RangeBoundariesOfAppendixB) {
  ExpectClass(isBaseChar, "BaseChar",
              {{0x40, false},
               {0x41, true},
               {0x5A, true},
               {0x5B, false},
               {0xD7, false},
               {0xF8, true},
               {0x131, true},
               {0x132, false},
               {0x134, true},
               {0x386, true},
               {0x387, false},
               {0xABFF, false},
               {0xAC00, true},
               {0xD7A3, true},
               {0xD7A4, false}});
  ExpectClass(isIdeographic, "Ideographic",
              {{0x3006, false},
               {0x3007, true},
               {0x3020, false},
               {0x3021, true},
               {0x3029, true},
               {0x302A, false},
               {0x4DFF, false},
               {0x4E00, true},
               {0x9FA5, true},
               {0x9FA6, false}});
  ExpectClass(isCombiningChar, "CombiningChar",
              {{0x2FF, false},
               {0x300, true},
               {0x345, true},
               {0x346, false},
               {0x3098, false},
               {0x3099, true},
               {0x309A, true},
               {0x309B, false}});
  ExpectClass(isDigitChar, "Digit",
              {{0x2F, false},
               {0x30, true},
               {0x39, true},
               {0x3A, false},
               {0x660, true},
               {0xF20, true},
               {0xF29, true},
               {0xF2A, false},
               {0xFF10, false}});
  ExpectClass(isExtender, "Extender",
              {{0xB6, false},
               {0xB7, true},
               {0x2D0, true},
               {0x2D1, true},
               {0x2D2, false},
               {0x3030, false},
               {0x3031, true},
               {0x3035, true},
               {0x3036, false},
               {0x30FE, true},
               {0x30FF, false}});
  ExpectClass(isNameChar, "NameChar",
              {{':', true},
               {'.', true},
               {'-', true},
               {'_', true},
               {'/', false},
               {' ', false},
               {0xB7, true},
               {0x300, true}});
  ExpectClass(isNCNameChar, "NCNameChar", {{':', false}, {'.', true}, {'a', true}});
}

TEST(CharacterClasses, TablesHaveTheSizesOfTheRecommendation) {
  int baseChars = 0;
  int ideographics = 0;
  for (int32_t c = 0; c <= 0xFFFF; ++c) {
    baseChars += isBaseChar(c);
    ideographics += isIdeographic(c);
    EXPECT_FALSE(isLetterChar(c) && isDigitChar(c)) << c;
  }
  EXPECT_EQ(baseChars, 13602);
  EXPECT_EQ(ideographics, 1 + 9 + (0x9FA5 - 0x4E00 + 1));
}

TEST(CharacterClasses, CodePointsBeyondTheBmpAreNeverNameCharacters) {
  // U+10041 must not pass as "A" by losing its upper bits.
  for (int32_t c : {0x10041, 0x14E00, 0x10030, 0x1005F, -1, 0x7FFFFFFF}) {
    EXPECT_FALSE(isNameChar(c)) << c;
    EXPECT_FALSE(isLetterChar(c)) << c;
    EXPECT_FALSE(isDigitChar(c)) << c;
  }
}

TEST(CharacterClasses, SingleUnitClasses) {
  ExpectClass(isXmlCharUnit, "XmlCharUnit",
              {{0x8, false},
               {0x9, true},
               {0xA, true},
               {0xB, false},
               {0xD, true},
               {0x1F, false},
               {0x20, true},
               {0xD800, true},
               {0xFFFD, true},
               {0xFFFE, false},
               {0xFFFF, false}});
  ExpectClass(isPubidChar, "PubidChar",
              {{' ', true},
               {'\r', true},
               {'\n', true},
               {'\t', false},
               {'%', true},
               {'"', false},
               {'&', false},
               {'<', false},
               {'\'', true},
               {'z', true},
               {0xE9, false}});
  ExpectClass(isWhiteSpaceOrNull, "WhiteSpaceOrNull", {{0, true}, {' ', true}, {'x', false}});
  ExpectClass(isVersionNumChar, "VersionNumChar", {{':', true}, {' ', false}, {'1', true}});
  ExpectClass(isEncNameChar, "EncNameChar", {{':', false}, {'-', true}, {'_', true}});
}

TEST(StringPredicates, Names) {
  EXPECT_TRUE(conformsToName(u":a"));
  EXPECT_TRUE(conformsToName(u"_1"));
  EXPECT_TRUE(conformsToName(u"\u4E00x"));
  EXPECT_FALSE(conformsToName(u"1a"));
  EXPECT_FALSE(conformsToName(u"-a"));
  EXPECT_FALSE(conformsToName(u""));
  EXPECT_FALSE(conformsToName(u"a\U00010000")); // a surrogate pair is no name character
  EXPECT_FALSE(conformsToNCName(u":a"));
  EXPECT_FALSE(conformsToNCName(u"a:b"));
  EXPECT_TRUE(conformsToNCName(u"a.b-c_d"));
  EXPECT_TRUE(conformsToNames(u"a b :c"));
  EXPECT_FALSE(conformsToNames(u"a  b"));
  EXPECT_FALSE(conformsToNames(u"a b "));
  EXPECT_FALSE(conformsToNames(u" a"));
  EXPECT_FALSE(conformsToNames(u""));
  EXPECT_TRUE(conformsToNmtoken(u"1a"));
  EXPECT_FALSE(conformsToNmtoken(u""));
  EXPECT_TRUE(conformsToNmtokens(u"1 -2 .3"));
  EXPECT_FALSE(conformsToNmtokens(u"1\t2"));
  EXPECT_TRUE(conformsToPITarget(u"xml1"));
  EXPECT_FALSE(conformsToPITarget(u"XmL"));
  EXPECT_FALSE(conformsToPITarget(u"xml"));
  EXPECT_TRUE(conformsToDefaultAttName(u"xmlns"));
  EXPECT_FALSE(conformsToDefaultAttName(u"xmlns:a"));
  EXPECT_TRUE(conformsToPrefixedAttName(u"xmlns:a"));
  EXPECT_FALSE(conformsToPrefixedAttName(u"xmlns:"));
  EXPECT_FALSE(conformsToPrefixedAttName(u"xmlns:a:b"));
}

TEST(StringPredicates, CharactersAndLiterals) {
  EXPECT_TRUE(conformsToChars(u""));
  EXPECT_TRUE(conformsToChars(u"a\U0010FFFF\t"));
  EXPECT_FALSE(conformsToChars(u"\uFFFE"));
  EXPECT_FALSE(conformsToChars(std::u16string_view(u"a\0", 2)));
  const char16_t lowFirst[] = {0xDC00, 0xD800, 0};
  const char16_t highLast[] = {u'a', 0xD800, 0};
  EXPECT_FALSE(conformsToChars(lowFirst));
  EXPECT_FALSE(conformsToChars(highLast));
  EXPECT_TRUE(conformsToS(u" \t\r\n"));
  EXPECT_FALSE(conformsToS(u""));
  EXPECT_TRUE(conformsToEntityValueChars(u"a &amp; &#x20; 'x'"));
  EXPECT_FALSE(conformsToEntityValueChars(u"100%"));
  EXPECT_FALSE(conformsToEntityValueChars(u"a & b;"));
  EXPECT_FALSE(conformsToEntityValueChars(u"&amp"));
  EXPECT_FALSE(conformsToEntityValueChars(u"'\""));
  EXPECT_TRUE(conformsToSystemLiteralChars(u"file:///a b"));
  EXPECT_FALSE(conformsToSystemLiteralChars(u"'\""));
  EXPECT_TRUE(conformsToPubidChars(u""));
  EXPECT_TRUE(conformsToPubidChars(u"-//W3C//DTD XHTML 1.0//EN"));
  EXPECT_FALSE(conformsToPubidChars(u"a\tb"));
  EXPECT_TRUE(conformsToCDataChars(u"a]]b>"));
  EXPECT_FALSE(conformsToCDataChars(u"a]]>b"));
  EXPECT_TRUE(isPredefinedEntityName(u"quot"));
  EXPECT_FALSE(isPredefinedEntityName(u"Quot"));
  EXPECT_TRUE(conformsToVersionNum(u"1.0"));
  EXPECT_FALSE(conformsToVersionNum(u""));
  EXPECT_FALSE(conformsToVersionNum(u"1 0"));
  EXPECT_TRUE(conformsToEncName(u"UTF-8"));
  EXPECT_FALSE(conformsToEncName(u"8bit"));
}

TEST(StringPredicates, References) {
  EXPECT_TRUE(conformsToCharRef(u"&#x1F;"));
  EXPECT_TRUE(conformsToCharRef(u"&#65;"));
  EXPECT_FALSE(conformsToCharRef(u"&#X41;"));
  EXPECT_FALSE(conformsToCharRef(u"&#x;"));
  EXPECT_FALSE(conformsToCharRef(u"&#;"));
  EXPECT_FALSE(conformsToCharRef(u"&#6a;"));
  EXPECT_TRUE(conformsToEntityRef(u"&a:b;"));
  EXPECT_FALSE(conformsToEntityRef(u"&1;"));
  EXPECT_TRUE(conformsToPEReference(u"%name;"));
  EXPECT_FALSE(conformsToPEReference(u"%;"));
  EXPECT_TRUE(conformsToReference(u"&#10;"));
  EXPECT_TRUE(conformsToReference(u"&lt;"));
  EXPECT_FALSE(conformsToReference(u"%lt;"));
}

TEST(QualifiedNames, SplitAtTheFirstColon) {
  WideString prefix = u"old";
  WideString localName = u"old";
  EXPECT_TRUE(splitQName(u"a:b", prefix, localName));
  EXPECT_EQ(prefix, u"a");
  EXPECT_EQ(localName, u"b");
  EXPECT_TRUE(splitQName(u"b", prefix, localName));
  EXPECT_EQ(prefix, u"");
  EXPECT_EQ(localName, u"b");
  for (const char16_t* bad : {u"a:b:e", u":b", u"a:", u"1:b", u""}) {
    prefix = localName = u"old";
    EXPECT_FALSE(splitQName(bad, prefix, localName));
    EXPECT_EQ(prefix, u"");
    EXPECT_EQ(localName, u"");
  }
  EXPECT_EQ(qNamePrefix(u"xsl:template"), u"xsl");
  EXPECT_EQ(qNameLocalName(u"xsl:template"), u"template");
  try {
    qNameLocalName(u"a:b:e");
    FAIL() << "no exception";
  } catch (const EInvalid_Character_Err& error) {
    EXPECT_STREQ(error.what(), "Invalid character error.");
  }
  EXPECT_THROW(qNamePrefix(u"1a"), EInvalid_Character_Err);
}

TEST(TextHelpers, WhiteSpaceQuotesAndParentheses) {
  EXPECT_EQ(trimWhiteSpace(u" \t a b \r\n"), u"a b");
  EXPECT_EQ(trimWhiteSpace(u" \t "), u"");
  EXPECT_EQ(collapseSpaces(u"  a   b\t\tc\n  "), u"a b\t\tc\n");
  EXPECT_EQ(collapseWhiteSpace(u" a\tb \n\r c "), u"a b c");
  EXPECT_EQ(collapseWhiteSpace(u"   "), u"");
  EXPECT_EQ(escapeQuotes(u"say \"it's\""), u"say &#34;it&#39;s&#34;");
  WideString inner = u"old";
  bool failed = true;
  unwrapParentheses(u"  ( a | b ) ", inner, failed);
  EXPECT_FALSE(failed);
  EXPECT_EQ(inner, u"a | b");
  unwrapParentheses(u"()", inner, failed);
  EXPECT_FALSE(failed);
  EXPECT_EQ(inner, u"");
  for (const char16_t* bad : {u"(", u"a)", u"(a", u" "}) {
    unwrapParentheses(bad, inner, failed);
    EXPECT_TRUE(failed) << static_cast<int>(bad[0]);
    EXPECT_EQ(inner, u"");
  }
}

TEST(CharacterReferences, ValuesAndTexts) {
  EXPECT_EQ(charRefValue(u"&#65;"), 65);
  EXPECT_EQ(charRefValue(u"&#x41;"), 65);
  EXPECT_EQ(charRefValue(u"&#xfFfD;"), 0xFFFD);
  EXPECT_EQ(charRefValue(u"&#0000000000000000000009;"), 9);
  EXPECT_EQ(charRefValue(u"&#x10FFFF;"), 0x10FFFF);
  EXPECT_EQ(charRefText(u"&#x10000;"), u"\U00010000");
  EXPECT_EQ(charRefText(u"&#x10000;").size(), 2u);
}

TEST(CharacterReferences, InvalidValuesAreConversionErrors) {
  for (const char16_t* reference :
       {u"&#x1F;", u"&#0;", u"&#xD800;", u"&#xDFFF;", u"&#xFFFE;", u"&#x110000;", u"&#4294967361;",
        u"&#99999999999999999999999;", u"&#x100000041;", u"&#X41;", u"&#;", u"&lt;"}) {
    try {
      charRefValue(reference);
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), WideToNarrow(reference) + " is not a valid XmlCharRef value.");
    }
  }
  EXPECT_THROW(charRefText(u"&#xD800;"), EConvertError);
}

TEST(CharacterReferences, ResolveKeepsEntityReferences) {
  EXPECT_EQ(resolveCharRefs(u"a&#65;&amp;&#x10000;b"), u"a\u0041&amp;\U00010000b");
  EXPECT_EQ(resolveCharRefs(u"\uFEFFx"), u"\uFEFFx");
  const std::pair<std::u16string, const char*> failures[] = {
      {std::u16string(1, char16_t(0xDC00)),
       "WideString must not start with a UTF-16 low surrogate."},
      {std::u16string(u"a") + char16_t(0xD800),
       "WideString must not end with a UTF-16 high surrogate."},
      {std::u16string(1, char16_t(0xD800)) + u"a",
       "WideString contains an UTF-16 high surrogate without its corresponding low surrogate."},
      {u"a\u0001", "WideString contains an invalid character."},
      {u"x\uFEFF\uFFFF", "WideString contains an invalid character."},
      {u"a & b", "WideString contains an '&' without a ';'."},
      {u"a &b c;", "WideString contains an invalid reference &b c;."},
      {u"&#x1F;", "&#x1F; is not a valid XmlCharRef value."},
  };
  for (const auto& [text, message] : failures) {
    try {
      resolveCharRefs(text);
      ADD_FAILURE() << message;
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
}

} // namespace
} // namespace velmora
