#include <gtest/gtest.h>

#include "docservice/html/markup_recognition.h"
#include "docservice/html/markup_scan.h"
#include "docservice/html/script_prescan.h"

namespace velmora::testing {
namespace {

struct TRecognitionCase {
  const char* Text;
  TMarkupKind Kind;
};

class MarkupRecognition : public ::testing::TestWithParam<TRecognitionCase> {};

TEST_P(MarkupRecognition, NamesTheLanguage) {
  EXPECT_EQ(RecognizeMarkup(GetParam().Text), GetParam().Kind) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupRecognition,
    ::testing::Values(
        TRecognitionCase{"<?xml version='1.0'?><root><item/></root>", mkXml},
        TRecognitionCase{"<?xml version='1.0'?><html><body/></html>", mkXhtml},
        TRecognitionCase{"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"><p>", mkXhtml},
        TRecognitionCase{"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><p>", mkHtml},
        // The bare HTML5 declaration names html once and decides nothing.
        TRecognitionCase{"<!DOCTYPE html><p>text</p>", mkUnknown},
        TRecognitionCase{"<!DOCTYPE html><html lang=en>", mkHtml},
        TRecognitionCase{"<html xmlns='http://www.w3.org/1999/xhtml'>", mkXhtml},
        TRecognitionCase{"<p>a<br>b</p>", mkHtml},
        TRecognitionCase{"<p>a<br/>b</p>", mkXhtml},
        TRecognitionCase{"<p>a<br />b</p>", mkXhtml},
        TRecognitionCase{"<p><img src=\"a.png\"/></p>", mkUnknown},
        TRecognitionCase{"<p><img src=\"a.png\" /></p>", mkXhtml},
        TRecognitionCase{"<xml><data/></xml>", mkXml},
        // Comments, scripts and attribute values hide what they hold.
        TRecognitionCase{"<!-- <br> --><p>", mkUnknown},
        TRecognitionCase{"<script>document.write('<br>')</script><p>", mkUnknown},
        TRecognitionCase{"<p title='<br>'>x</p>", mkUnknown},
        TRecognitionCase{"<brx>", mkUnknown}, TRecognitionCase{"", mkUnknown}));

TEST(ByteOrderMark, IsToldApart) {
  EXPECT_EQ(ByteOrderMarkOf("\xEF\xBB\xBF<p>"), bomUtf8);
  EXPECT_EQ(ByteOrderMarkOf("\xFE\xFF"), bomUtf16);
  EXPECT_EQ(ByteOrderMarkOf("\xFF\xFE<"), bomUtf16);
  EXPECT_EQ(ByteOrderMarkOf("<p>\xEF\xBB\xBF"), bomNone);
  EXPECT_EQ(ByteOrderMarkOf(""), bomNone);
}

struct TScriptEndCase {
  const char* Text;
  // Where the code of the script that starts the text ends.
  size_t End;
};

class ScriptEnd : public ::testing::TestWithParam<TScriptEndCase> {};

TEST_P(ScriptEnd, StopsAtTheRealEndTag) {
  TMarkupScanner scanner(GetParam().Text);
  EXPECT_EQ(scanner.ScriptEnd(0), GetParam().End) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptEnd,
    ::testing::Values(
        TScriptEndCase{"<script>a = 1;</script>", 14},
        TScriptEndCase{"<script>s = \"</script>\";</script>", 24},
        TScriptEndCase{"<script>s = \"\\\"</script>\";</script>", 26},
        TScriptEndCase{"<script>s = '</script>';</script>", 24},
        TScriptEndCase{"<script>/* </script> */x</script>", 24},
        // A block comment right before the end tag ends the script at that end tag.
        TScriptEndCase{"<script>x/* c */</script>", 16},
        TScriptEndCase{"<script>x // c </script>\ny</script>", 15},
        TScriptEndCase{"<script>x // </b>\ny</script>", 19},
        TScriptEndCase{"<script language=vbscript>s = \"a\\\" ' c </script>", 39},
        TScriptEndCase{"<script language=vbscript>' c\nx</script>", 31},
        TScriptEndCase{"<script> <!-- hide\n --> </script>", 24},
        TScriptEndCase{"<script>s = \"open", 17}));

struct TPrescanCase {
  const char* Text;
  const char* Protected; // nullptr: unchanged
};

class ScriptPrescan : public ::testing::TestWithParam<TPrescanCase> {};

TEST_P(ScriptPrescan, ProtectsEndTagsInsideScripts) {
  const std::optional<NarrowString> result = ProtectScripts(GetParam().Text);
  if (GetParam().Protected) {
    ASSERT_TRUE(result.has_value()) << GetParam().Text;
    EXPECT_EQ(*result, GetParam().Protected);
    EXPECT_FALSE(ProtectScripts(*result).has_value()) << "a protected script changes again";
  } else {
    EXPECT_FALSE(result.has_value()) << *result;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptPrescan,
    ::testing::Values(
        TPrescanCase{"<p>x</p><script>document.write(\"<b>x</b>\");</script><b>y</b>",
                     "<p>x</p><script>document.write(\"<b>x<\\/b>\");</script><b>y</b>"},
        TPrescanCase{"<script>w(\"</SCRIPT>\")</script>", "<script>w(\"<\\\\/SCRIPT>\")</script>"},
        TPrescanCase{"<script>w(\"<\\/script>\")</script>", "<script>w(\"<\\\\/script>\")</script>"},
        TPrescanCase{"<script>a</script><script>w('</i>')</script><script>w('</u>')</script>",
                     "<script>a</script><script>w('<\\/i>')</script><script>w('<\\/u>')</script>"},
        TPrescanCase{"<script>a < b</script><p></p>", nullptr},
        TPrescanCase{"<!-- <script>w('</b>')</script> -->", nullptr},
        TPrescanCase{"<p title=\"<script>w('</b>')\">", nullptr}));

TEST(NestingDepth, CountsElementsThatNeedAnEndTag) {
  EXPECT_EQ(NestingDepth("<div><div><span>x</span></div></div>", 100), 3u);
  // Paragraphs, list items, cells and empty elements close by themselves.
  EXPECT_EQ(NestingDepth("<div><p>a<p>b<br><img src=x><li>c<li>d<td>e</div>", 100), 1u);
  EXPECT_EQ(NestingDepth("<div/><div/><b>x</b>", 100), 1u);
  EXPECT_EQ(NestingDepth("<script>'<div><div>'</script><!-- <div> -->", 100), 0u);
  EXPECT_EQ(NestingDepth("</div></div><div>", 100), 1u);
  // An end tag closes what was opened inside its element; a stray one closes nothing.
  EXPECT_EQ(NestingDepth("<p><b>a<i>b</b>c<p><b>d<i>e</b>f</p><div></span></div>", 100), 2u);
}

// Inputs shaped to make a naive scan quadratic or deep: each must finish at once.
TEST(MarkupScan, BigAndDeepInputsStayLinear) {
  const size_t n = 200000;
  NarrowString deep;
  for (size_t i = 0; i < n; ++i) {
    deep += "<div>";
  }
  EXPECT_GT(NestingDepth(deep, 10000), 10000u);
  EXPECT_EQ(RecognizeMarkup(deep), mkUnknown);

  std::vector<NarrowString> shapes(6);
  for (size_t i = 0; i < n / 4; ++i) {
    shapes[0] += "<a x='< ";      // stray quotes without an end tag in sight
    shapes[1] += "<!DOCTYPE a ";  // declarations that never close
    shapes[2] += "<br x=1 ";      // empty elements before one far "/>"
    shapes[3] += "/* ";           // unclosed block comments in a script
    shapes[4] += "// x\n";        // line comments without a carriage return
    shapes[5] += "<script>'</b>"; // scripts that never end
  }
  shapes[2].back() = '/';
  shapes[2] += ">";
  shapes[3] = "<script>" + shapes[3];
  shapes[4] = "<script>" + shapes[4];
  for (const NarrowString& text : shapes) {
    EXPECT_LE(NestingDepth(text, 10000), 10001u);
    EXPECT_EQ(RecognizeMarkup(text), mkUnknown) << text.substr(0, 20);
    ProtectScripts(text);
  }
}

} // namespace
} // namespace velmora::testing
