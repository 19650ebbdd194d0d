#include "dom/uri_rules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct TPredicateCase {
  bool (*Wide)(std::u16string_view);
  bool (*Narrow)(std::string_view);
  const char* Name;
  const char* Text;
  bool Expected;
};

#define CASE(predicate, text, expected)                                                            \
  TPredicateCase {                                                                                 \
    static_cast<bool (*)(std::u16string_view)>(predicate),                                         \
        static_cast<bool (*)(std::string_view)>(predicate), #predicate, text, expected             \
  }

TEST(UriPredicates, ProductionsOfRfc2396ForBothStringKinds) {
  const TPredicateCase cases[] = {
      CASE(isUriReference, "", true),
      CASE(isUriReference, "http://www.example.org/a/b?q=1#frag", true),
      CASE(isUriReference, "../a/b.xml#x", true),
      CASE(isUriReference, "#only-fragment", true),
      CASE(isUriReference, "a b", false),
      CASE(isUriReference, "a#b#c", false),
      CASE(isAbsoluteUri, "mailto:a@b.c", true),
      CASE(isAbsoluteUri, "file:///D%3a/dir/a%20b.xml", true),
      CASE(isAbsoluteUri, "1http://x", false),
      CASE(isAbsoluteUri, "rel/path", false),
      CASE(isRelativeUri, "a/b?c", true),
      CASE(isRelativeUri, "a:b", false), // a colon in the first segment
      CASE(isRelativeUri, "//host", true),
      CASE(isHierPart, "//h/p?q", true),
      CASE(isHierPart, "p", false),
      CASE(isOpaquePart, "a@b", true),
      CASE(isOpaquePart, "/a", false),
      CASE(isOpaquePart, "", false),
      CASE(isNetPath, "//user@host:80/x", true),
      CASE(isNetPath, "/x", false),
      CASE(isAbsPath, "/a;p/b", true),
      CASE(isAbsPath, "a/b", false),
      CASE(isRelPath, "a/b", true),
      CASE(isRelPath, "a:b/c", false),
      CASE(isRelSegment, "", false),
      CASE(isRelSegment, "a;b@c", true),
      CASE(isUriPath, "", true),
      CASE(isUriPath, "/a", true),
      CASE(isUriPath, "x%20y", true),
      CASE(isPathSegments, "a//b", true),
      CASE(isUriScheme, "svn+ssh", true),
      CASE(isUriScheme, "-a", false),
      CASE(isUriAuthority, "", true),
      CASE(isUriAuthority, "reg$name", true),
      CASE(isRegName, "", false),
      CASE(isUriServer, "", true),
      CASE(isUriServer, "me:pw@host.example:8080", true),
      CASE(isUriServer, "host:80:81", false),
      CASE(isUserinfo, "a:b;c", true),
      CASE(isUserinfo, "a@b", false),
      CASE(isHostport, "localhost:", true),
      CASE(isUriHost, "999.999.999.999", true), // group values are not limited
      CASE(isUriHost, "a.b.", true),
      CASE(isHostname, "-a.com", false),
      CASE(isHostname, "a.1com", false),
      CASE(isDomainlabel, "1a", true),
      CASE(isDomainlabel, "a-", false),
      CASE(isToplabel, "1a", false),
      CASE(isToplabel, "a-b", true),
      CASE(isIPv4address, "1.2.3.4", true),
      CASE(isIPv4address, "1.2.3", false),
      CASE(isIPv4address, "1.2.3.4.5", false),
      CASE(isIPv4address, "1..3.4", false),
      CASE(isUriPort, "", true),
      CASE(isUriPort, "8x", false),
      CASE(isUriQuery, "", true),
      CASE(isUriQuery, "a=1&b=%2F", true),
      CASE(isUriQuery, "a=%G1", false),
      CASE(isUriFragment, "x y", false),
      CASE(isUric, "/", true),
      CASE(isUric, "#", false),
      CASE(isUriReserved, "$", true),
      CASE(isUriReserved, "-", false),
      CASE(isUriUnreserved, "~", true),
      CASE(isUriUnreserved, "%", false),
      CASE(isUriEscaped, "%aF", true),
      CASE(isUriEscaped, "%a", false),
  };
  for (const TPredicateCase& c : cases) {
    EXPECT_EQ(c.Narrow(c.Text), c.Expected) << c.Name << "(\"" << c.Text << "\")";
    EXPECT_EQ(c.Wide(NarrowToWide(c.Text)), c.Expected) << c.Name << "(u\"" << c.Text << "\")";
  }
  EXPECT_FALSE(isUriReference(u"a\u00E9")); // non-ASCII must be escaped
}

#undef CASE

TEST(UriAnalyzer, SplitsAndComposes) {
  TUriWideAnalyzer uri;
  ASSERT_TRUE(uri.parse(u"http://user@host:8080/a/b.xml?x=1#top"));
  EXPECT_EQ(uri.Scheme, u"http");
  EXPECT_EQ(uri.Authority, u"user@host:8080");
  EXPECT_EQ(uri.Path, u"/a/b.xml");
  EXPECT_EQ(uri.Query, u"x=1");
  EXPECT_EQ(uri.Fragment, u"top");
  EXPECT_EQ(uri.compose(), u"http://user@host:8080/a/b.xml?x=1#top");

  ASSERT_TRUE(uri.parse(u"file:///tmp/a.xml"));
  EXPECT_TRUE(uri.HasAuthority);
  EXPECT_EQ(uri.Authority, u"");
  EXPECT_FALSE(uri.HasQuery);
  EXPECT_EQ(uri.compose(), u"file:///tmp/a.xml");

  ASSERT_TRUE(uri.parse(u"a/b#"));
  EXPECT_FALSE(uri.HasScheme);
  EXPECT_TRUE(uri.HasFragment);
  EXPECT_EQ(uri.compose(), u"a/b#");

  TUriStrAnalyzer narrow;
  EXPECT_FALSE(narrow.parse("a/b:c")); // the colon makes "a/b" a scheme, which it is not
  EXPECT_FALSE(narrow.HasScheme);
  EXPECT_EQ(narrow.Path, "");
  EXPECT_FALSE(narrow.parse("http://ho st/"));
  EXPECT_TRUE(narrow.parse("mailto:someone@example.org"));
  EXPECT_EQ(narrow.Path, "someone@example.org");
}

TEST(UriResolution, FollowsSection52) {
  const struct {
    const char* Base;
    const char* Reference;
    const char* Expected; // nullptr: resolution fails
  } cases[] = {
      {"s://h/a/b/e", "../d", "s://h/a/d"},
      {"s://h/a/b/e", "#f", "s://h/a/b/e#f"},
      {"s://h/a/b/e#old", "", "s://h/a/b/e"},
      {"s://h/a/b", "../../../x", nullptr},
      {"s://h/a/b/", "../..", "s://h/"},
      {"s://h/a", "../..", nullptr}, // the ".." before ".." has nothing to cancel
      {"s://h/a/b/e", "./", "s://h/a/b/"},
      {"s://h/a/b/e", "g/.", "s://h/a/b/g/"},
      {"s://h/a/b/e", "/x/../y", "s://h/x/../y"}, // an absolute path keeps its dot segments
      {"s://h/a/b/e", "//other/p", "s://other/p"},
      {"s://h/a/b/e", "?q", "s://h/a/b/?q"},
      {"s://h/a/b/e", "t:other", "t:other"},
      {"http://a/b/c/d;p?q", "g;x?y#s", "http://a/b/c/g;x?y#s"},
      {"rel/base", "x", nullptr},  // neither has a scheme
      {"s://h/a", "a b", nullptr}, // does not parse
  };
  for (const auto& c : cases) {
    WideString wide = u"junk";
    NarrowString narrow = "junk";
    const bool wideOk = resolveUri(NarrowToWide(c.Base), NarrowToWide(c.Reference), wide);
    const bool narrowOk = resolveUri(std::string_view(c.Base), c.Reference, narrow);
    EXPECT_EQ(wideOk, c.Expected != nullptr) << c.Base << " + " << c.Reference;
    EXPECT_EQ(narrowOk, wideOk);
    EXPECT_EQ(narrow, c.Expected ? c.Expected : "") << c.Base << " + " << c.Reference;
    EXPECT_EQ(WideToNarrow(wide), narrow);
  }
}

TEST(FileUris, WindowsAndLinuxFileNames) {
  EXPECT_EQ(fileNameToUri("D:\\dir\\a b.xml"), "file:///D%3a/dir/a%20b.xml");
  EXPECT_EQ(fileNameToUri("D:\\dir\\a b.xml", kUriWithLocalhost | kUriKeepColon),
            "file://localhost/D:/dir/a%20b.xml");
  EXPECT_EQ(fileNameToUri("/home/a b/x.xml"), "file:///home/a%20b/x.xml");
  EXPECT_EQ(fileNameToUri("/tmp/J\xC3\xB6rg#1.xml"), "file:///tmp/J%C3%B6rg%231.xml");
  EXPECT_EQ(fileNameToUri(""), "file://");

  NarrowString fileName, authority, query, fragment;
  ASSERT_TRUE(uriToFileName("file:///D%3a/dir/a%20b.xml", fileName, authority, query, fragment));
  EXPECT_EQ(fileName, "D:\\dir\\a b.xml");
  ASSERT_TRUE(
      uriToFileName("FILE://localhost/D:/x.xml?v=1#top", fileName, authority, query, fragment));
  EXPECT_EQ(fileName, "D:\\x.xml");
  EXPECT_EQ(authority, "localhost");
  EXPECT_EQ(query, "?v=1");
  EXPECT_EQ(fragment, "#top");
  for (const char* name : {"/home/a b/x.xml", "/tmp/J\xC3\xB6rg#1.xml", "/a%b/c.xml"}) {
    ASSERT_TRUE(uriToFileName(fileNameToUri(name), fileName, authority, query, fragment)) << name;
    EXPECT_EQ(fileName, name);
    EXPECT_EQ(query, "");
  }
}

TEST(FileUris, RefusesOtherSchemesAndEscapedNul) {
  NarrowString fileName = "x", authority, query, fragment;
  EXPECT_FALSE(uriToFileName("http://host/a.xml", fileName, authority, query, fragment));
  EXPECT_EQ(fileName, "");
  EXPECT_FALSE(uriToFileName("file:///etc/passwd%00.xml", fileName, authority, query, fragment));
  EXPECT_EQ(fileName, "");
  EXPECT_FALSE(uriToFileName("file:///a b", fileName, authority, query, fragment));
}

} // namespace
} // namespace velmora
