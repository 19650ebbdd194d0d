#include "xml/windows1252_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Windows1252, EncodesTheCodePageAndMarksWhatItLacks) {
  EXPECT_EQ(EncodeWindows1252(WideToNarrow(u"Müller €5 \u201Cq\u201D \u0081")), "M\xFC"
                                                                                "ller \x80"
                                                                                "5 \x93q\x94 \x81");
  EXPECT_EQ(EncodeWindows1252(WideToNarrow(u"\u0141ukasz \u4E2D \U0001F600")), "?ukasz ? ?");
  if (NarrowToWide("\xFF") == u"\uFFFD") { // narrow strings in UTF-8
    EXPECT_EQ(EncodeWindows1252("a\xFF"
                                "b"),
              "a?b"); // malformed UTF-8
  }
  EXPECT_EQ(EncodeWindows1252Char(0x80), -1); // 0x80 is the euro sign
}

TEST(Windows1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

} // namespace
} // namespace velmora
