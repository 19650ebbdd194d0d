#include "dom/dom_implementation.h"
#include "dom/uri_rules.h"
#include "tests/dom/dom_fixture.h"
#include "tests/support/temp_folder.h"
#include "xml/dtd_validation_agent.h"
#include "xml/parse_errors.h"
#include "xml/resource_resolvers.h"

namespace velmora::testing {
namespace {

TEST(DomImplementationErrors, FatalStopsUnlessTheHandlerDecidesOtherwise) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  const TDomError fatal(ekEndTagMismatch);
  const TDomError warning(ekUnclosedInternalSubset);
  const TDomError validity(20);
  EXPECT_FALSE(implementation->handleError(nullptr, &fatal));
  EXPECT_TRUE(implementation->handleError(nullptr, &warning));
  EXPECT_TRUE(implementation->handleError(nullptr, &validity));
  try {
    implementation->handleError(nullptr, nullptr);
    FAIL() << "none accepted";
  } catch (const ENot_Supported_Err& error) {
    EXPECT_STREQ(error.what(), "Not supported error.");
  }
  int reporter = 0;
  int calls = 0;
  implementation->OnError = [&](void* sender, const TDomError& error, bool& go) {
    EXPECT_EQ(sender, &reporter);
    EXPECT_FALSE(go);
    EXPECT_EQ(error.ErrorKind(), ekEndTagMismatch);
    go = true;
    ++calls;
  };
  EXPECT_TRUE(implementation->handleError(&reporter, &fatal));
  implementation->suspendErrorEvents();
  implementation->suspendErrorEvents();
  implementation->resumeErrorEvents();
  EXPECT_FALSE(implementation->handleError(&reporter, &fatal)); // still suspended once
  implementation->resumeErrorEvents();
  EXPECT_TRUE(implementation->handleError(&reporter, &fatal));
  EXPECT_EQ(calls, 2);
}

class ExternalTextTest : public ::testing::Test {
protected:
  void SetUp() override {
    FResolver = new TStandardResourceResolver(FImplementation.get());
    FImplementation->SetResourceResolver(FResolver);
  }

  std::pair<int, WideString> Load(const NarrowString& name, std::string_view bytes) {
    FFolder.WriteFile(name, bytes);
    int code = -1;
    WideString text = u"junk";
    FImplementation->loadExternalText(NarrowToWide(fileNameToUri(FFolder.File(name))), u"", code,
                                      text, u"");
    return {code, text};
  }

  TTempFolder FFolder;
  TOwned<TDomImplementation> FImplementation{new TDomImplementation};
  TStandardResourceResolver* FResolver = nullptr;
};

TEST_F(ExternalTextTest, ReadsEntitiesWithTheirTextDeclarations) {
  EXPECT_EQ(Load("plain.ent", "caf\xC3\xA9 & more"),
            (std::pair<int, WideString>{0, u"café & more"}));
  EXPECT_EQ(Load("latin.ent", "<?xml encoding='ISO-8859-1'?>caf\xE9"),
            (std::pair<int, WideString>{0, u"café"}));
  EXPECT_EQ(Load("both.ent", "<?xml version='1.0' encoding='UTF-8'?>x"),
            (std::pair<int, WideString>{0, u"x"}));
  EXPECT_EQ(Load("xmldecl.ent", "<?xml version='1.0' standalone='yes'?>x").first,
            ekInvalidTextDeclaration);
  EXPECT_EQ(Load("bad.ent", "<?xml-stylesheet href='a'?>").first, ekInvalidTextDeclaration);
  EXPECT_EQ(Load("v11.ent", "<?xml version='1.1' encoding='UTF-8'?>x").first, ekUnsupportedVersion);
  EXPECT_EQ(Load("unknown.ent", "<?xml encoding='x-unknown-42'?>x").first, ekEncodingNotSupported);
  EXPECT_EQ(Load("mismatch.ent",
                 "\xFF\xFE<\0?\0x\0m\0l\0 \0e\0n\0c\0o\0d\0i\0n\0g\0=\0'\0U\0T\0F\0-\0"
                 "8\0'\0?\0>\0"),
            (std::pair<int, WideString>{ekInputEncodingError, u""}));
  const auto broken = Load("broken.ent", "ok\xC3(");
  EXPECT_EQ(broken.first, ekUnreadableExternalEntity);
  EXPECT_EQ(broken.second, u"");
  int code = -1;
  WideString text;
  FImplementation->loadExternalText(u"", u"", code, text,
                                    NarrowToWide(fileNameToUri(FFolder.File("missing.ent"))));
  EXPECT_EQ(code, ekResourceNotFound);
}

TEST_F(ExternalTextTest, ResolverReferenceIsForgottenWhenTheResolverGoes) {
  EXPECT_EQ(FImplementation->ResourceResolver(), FResolver);
  FResolver->Free();
  EXPECT_EQ(FImplementation->ResourceResolver(), nullptr);
  WideString publicId;
  WideString systemId = u"file:///x";
  try {
    FImplementation->resolveResource(u"", publicId, systemId);
    FAIL() << "no exception";
  } catch (const ENot_Found_Err& error) {
    EXPECT_STREQ(error.what(), "No resource resolver assigned to DOM implementation.");
  }
}

using PlainDocument = DomTest;

TEST_F(PlainDocument, AnswersAsAnEmptyModel) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  EXPECT_EQ(FDoc->attributeType(u"root", u"a"), atCData);
  EXPECT_EQ(FDoc->validationAgent().ContentType(u"root"), ctAny);
  TDomText* blank = Text(u"  \n");
  root->appendChild(blank);
  EXPECT_FALSE(blank->isWhitespaceInElementContent()); // ANY content
  int code = -1;
  WideString result;
  FDoc->normalizeAttributeValue(u"  a&lt;b  ", atNmTokens, code, result);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(result, u"a<b");
  FDoc->normalizeAttributeValue(u"&undeclared;", atCData, code, result);
  EXPECT_EQ(code, 98); // no document type: the standalone rules apply

  auto* lt = new TDomEntityReference(FDoc.get(), u"lt");
  root->appendChild(lt);
  auto* copy = static_cast<TDomElement*>(root->cloneNode(true));
  EXPECT_EQ(copy->textContent(), u"  \n<"); // the copied reference is filled again
  EXPECT_TRUE(copy->lastChild()->isReadOnly());
  EXPECT_EQ(FDoc->validationAgent().ExpandEntityReference(lt), 0);
  auto* unknown = new TDomEntityReference(FDoc.get(), u"unknown");
  EXPECT_EQ(FDoc->validationAgent().ExpandEntityReference(unknown), 98);
}

TEST_F(PlainDocument, IdsAndDefaultAttributes) {
  TDomElement* root = Element(u"root");
  FDoc->appendChild(root);
  TDomElement* item = Element(u"item");
  root->appendChild(item);
  EXPECT_TRUE(FDoc->validationAgent().AddId(u"i1", item));
  EXPECT_FALSE(FDoc->validationAgent().AddId(u"i1", root));
  EXPECT_EQ(FDoc->getElementById(u"i1"), item);
  item->Free();
  EXPECT_EQ(FDoc->getElementById(u"i1"), nullptr);
  FDoc->validationAgent().AddId(u"r", root);
  FDoc->clear();
  EXPECT_EQ(FDoc->getElementById(u"r"), nullptr);

  TDomElement* fresh = Element(u"fresh");
  FDoc->appendChild(fresh);
  fresh->setAttribute(u"given", u"1");
  fresh->setAttributeNode(new TDomAttr(FDoc.get(), false, u"defaulted"));
  EXPECT_TRUE(FDoc->refreshAllDefaultAttributes());
  EXPECT_TRUE(fresh->hasAttribute(u"given"));
  EXPECT_FALSE(fresh->hasAttribute(u"defaulted"));
}

} // namespace
} // namespace velmora::testing
