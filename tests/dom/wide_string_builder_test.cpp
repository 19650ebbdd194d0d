#include "dom/wide_string_builder.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"

namespace velmora {
namespace {

TEST(WideStringBuilder, GrowsByAQuarterAndKeepsItsRoomWhenCleared) {
  TUtilsCustomWideStr builder;
  EXPECT_EQ(builder.capacity(), 64u);
  for (int i = 0; i < 64; ++i) {
    builder.addWideChar(u'a');
  }
  EXPECT_EQ(builder.capacity(), 64u);
  builder.addWideChar(u'b');
  EXPECT_EQ(builder.capacity(), 80u);
  builder.addWideString(WideString(40, u'c')); // 105 units: 80 -> 100 -> 125
  EXPECT_EQ(builder.capacity(), 125u);
  EXPECT_EQ(builder.length(), 105u);
  EXPECT_EQ(builder.charAt(65), u'b');
  builder.clear();
  EXPECT_EQ(builder.capacity(), 125u);
  EXPECT_EQ(builder.value(), u"");
}

TEST(WideStringBuilder, StoresCodePointsAsUtf16) {
  TUtilsCustomWideStr builder;
  builder.addUCS4Char('A');
  builder.addUCS4Char(0x10000);
  builder.addUCS4Char(0x10FFFF);
  EXPECT_EQ(builder.value(), u"A\U00010000\U0010FFFF");
  EXPECT_EQ(builder.length(), 5u);
}

TEST(WideStringBuilder, RefusesWhatIsNoUnicodeScalarValue) {
  TUtilsCustomWideStr builder;
  const std::pair<int32_t, const char*> cases[] = {
      {0xD800, "55296 is not a valid ISO-10646-UCS4 code point"},
      {0xDFFF, "57343 is not a valid ISO-10646-UCS4 code point"},
      {-1, "-1 is not a valid ISO-10646-UCS4 code point"},
      {0x110000, "1114112 is not a valid ISO-10646-UCS4 code point"},
  };
  for (const auto& [codePoint, message] : cases) {
    try {
      builder.addUCS4Char(codePoint);
      ADD_FAILURE() << codePoint;
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
  EXPECT_EQ(builder.length(), 0u);
}

TEST(WideStringBuilder, ComparesAndEditsItsContent) {
  TUtilsCustomWideStr builder;
  builder.addWideString(u"<?xml");
  EXPECT_TRUE(builder.startsWith(u"<?"));
  EXPECT_TRUE(builder.endsWith(u"xml"));
  EXPECT_TRUE(builder.equals(u"<?xml"));
  EXPECT_FALSE(builder.startsWith(u""));
  EXPECT_FALSE(builder.endsWith(u""));
  EXPECT_FALSE(builder.endsWith(u"a<?xml"));
  builder.setCharAt(1, u'[');
  EXPECT_EQ(builder.value(), u"[?xml");
  EXPECT_THROW(builder.charAt(0), EListError);
  EXPECT_THROW(builder.charAt(6), EListError);
  EXPECT_THROW(builder.setCharAt(6, u'x'), EListError);
}

} // namespace
} // namespace velmora
