#include "xml/resource_resolvers.h"

#include <sys/stat.h>

#include <vector>

#include <gtest/gtest.h>

#include "dom/uri_rules.h"
#include "runtime/exceptions.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

NarrowString ReadAll(TStream& stream) {
  NarrowString bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

WideString FileUri(const NarrowString& path) {
  return NarrowToWide(fileNameToUri(path)); // "/tmp/a" becomes file:///tmp/a
}

TEST(OpenFileUri, OpensRegularFilesReadOnly) {
  testing::TTempFolder folder;
  folder.WriteFile("a b.dtd", "<!ELEMENT a EMPTY>");
  std::unique_ptr<TStream> stream = OpenFileUri(FileUri(folder.File("a b.dtd")));
  ASSERT_TRUE(stream);
  EXPECT_EQ(ReadAll(*stream), "<!ELEMENT a EMPTY>");
  EXPECT_THROW(stream->Write("x", 1), EInOutError); // opened read-only
  stream = OpenFileUri(u"FILE://localhost" + FileUri(folder.File("a b.dtd")).substr(7));
  EXPECT_TRUE(stream);
}

TEST(OpenFileUri, RefusesWhatIsNoLocalRegularFile) {
  testing::TTempFolder folder;
#ifndef _WIN32 // a named pipe and a device in the file system
  ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
#endif
  const std::vector<std::pair<WideString, NarrowString>> cases = {
      {u"a.dtd", "URI \"a.dtd\" contains no scheme."},
      {u"http://example.org/a.dtd", "URI scheme \"http\" not supported."},
      {FileUri(folder.File("missing.dtd")),
       "File \"" + folder.File("missing.dtd") + "\" not found."},
      {FileUri(folder.Path()), "File \"" + folder.Path() + "\" not found."},
      {u"file://elsewhere/etc/hostname", "File \"file://elsewhere/etc/hostname\" not found."},
#ifndef _WIN32
      {FileUri(folder.File("pipe")), "File \"" + folder.File("pipe") + "\" not found."},
      {u"file:///dev/null", "File \"/dev/null\" not found."},
#endif
  };
  for (const auto& [uri, message] : cases) {
    try {
      OpenFileUri(uri);
      ADD_FAILURE() << "opened " << WideToNarrow(uri);
    } catch (const EFOpenError& error) {
      EXPECT_EQ(NarrowString(error.what()), message);
    }
  }
}

TEST(StandardResourceResolver, ResolvesAgainstTheBaseAndOpensTheFile) {
  testing::TTempFolder folder;
  folder.WriteFile("ext.dtd", "<!ENTITY e 'x'>");
  TOwned<TStandardResourceResolver> resolver = MakeOwned<TStandardResourceResolver>();
  WideString publicId = u"-//V//DTD//EN";
  WideString systemId = u"ext.dtd";
  std::unique_ptr<TStream> stream =
      resolver->ResolveResource(FileUri(folder.File("doc.xml")), publicId, systemId);
  ASSERT_TRUE(stream);
  EXPECT_EQ(ReadAll(*stream), "<!ENTITY e 'x'>");
  EXPECT_EQ(systemId, FileUri(folder.File("ext.dtd")));
  EXPECT_EQ(publicId, u"-//V//DTD//EN");

  systemId = u"missing.dtd";
  EXPECT_FALSE(resolver->ResolveResource(FileUri(folder.File("doc.xml")), publicId, systemId));
  systemId = u"relative.dtd";
  EXPECT_FALSE(resolver->ResolveResource(u"", publicId, systemId));
  EXPECT_EQ(systemId, u"relative.dtd"); // kept as given when it does not resolve
}

TEST(StandardResourceResolver, TheEventMayAnswerFirst) {
  TOwned<TStandardResourceResolver> resolver = MakeOwned<TStandardResourceResolver>();
  static const char kText[] = "<!ELEMENT a ANY>";
  WideString seenType;
  resolver->OnResolveResource = [&](TComponent* sender, std::u16string_view resourceType,
                                    std::u16string_view namespaceUri, WideString& publicId,
                                    WideString& systemId, std::unique_ptr<TStream>& stream,
                                    bool& certifiedText) {
    EXPECT_EQ(sender, resolver.get());
    EXPECT_TRUE(namespaceUri.empty());
    EXPECT_FALSE(certifiedText);
    EXPECT_FALSE(stream);
    seenType = resourceType;
    if (publicId == u"-//V//catalog") {
      systemId = u"urn:catalog";
      stream = std::make_unique<TMemoryStream>(kText, 16);
    }
  };
  WideString publicId = u"-//V//catalog";
  WideString systemId = u"http://example.org/a.dtd";
  std::unique_ptr<TStream> stream = resolver->ResolveResource(u"", publicId, systemId);
  ASSERT_TRUE(stream);
  EXPECT_EQ(ReadAll(*stream), kText);
  EXPECT_EQ(systemId, u"urn:catalog");
  EXPECT_EQ(seenType, u"http://www.w3.org/TR/REC-xml");
  publicId = u"other";
  EXPECT_FALSE(resolver->ResolveResource(u"", publicId, systemId));
}

} // namespace
} // namespace velmora
