// The DTD model: how far declarations are read, what they become, and the recursion check.

#include <gtest/gtest.h>

#include <chrono>

#include "dom/dom_exceptions.h"
#include "tests/xml/parsed_document.h"
#include "xml/parse_errors.h"

namespace velmora::testing {
namespace {

struct TPrepCase {
  const char* Text;
  TDtdPrepStatus Status;
};

void PrintTo(const TPrepCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::string(c.Text));
}

class PrepStatus : public ::testing::TestWithParam<TPrepCase> {};

TEST_P(PrepStatus, FollowsWhatWasRead) {
  TParsedDocument parsed(GetParam().Text);
  ASSERT_NE(parsed.Document, nullptr);
  EXPECT_EQ(parsed.Model().PrepStatus(), GetParam().Status) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PrepStatus,
    ::testing::Values(TPrepCase{"<!DOCTYPE a [<!ELEMENT a ANY>]><a/>", psComplete},
                      TPrepCase{"<!DOCTYPE a SYSTEM 'a.dtd' [<!ELEMENT a ANY>]><a/>",
                                psExtSubsetUnread},
                      TPrepCase{"<!DOCTYPE a SYSTEM 'a.dtd'><a/>", psNoDeclarations},
                      TPrepCase{"<!DOCTYPE a []><a/>", psNoDeclarations},
                      TPrepCase{"<a/>", psUnprepared},
                      TPrepCase{"<!DOCTYPE a [<!ENTITY % p SYSTEM 'p.ent'>%p;<!ELEMENT a ANY>]>"
                                "<a/>",
                                psIncomplete},
                      TPrepCase{"<?xml version='1.0' standalone='yes'?><!DOCTYPE a [<!ENTITY % p "
                                "SYSTEM 'p.ent'>%p;<!ELEMENT a ANY>]><a/>",
                                psExtSubsetUnread}));

TEST(DtdModel, DeclarationsAfterAnUnreadParameterEntityCountOnlyWhenStandalone) {
  const char* subset = "<!DOCTYPE a [<!ENTITY % p SYSTEM 'p.ent'>%p;<!ELEMENT a EMPTY>"
                       "<!ATTLIST a x CDATA 'd'><!ENTITY e 'v'><!NOTATION n SYSTEM 'n'>]><a/>";
  TParsedDocument skipped(subset);
  ASSERT_NE(skipped.Document, nullptr);
  EXPECT_EQ(skipped.Model().FindElementDecl(u"a"), nullptr);
  EXPECT_EQ(skipped.Model().FindAttributeDecl(u"a", u"x"), nullptr);
  EXPECT_EQ(skipped.Model().FindEntityDecl(u"e"), nullptr);
  EXPECT_EQ(skipped.Model().FindNotationDecl(u"n"), nullptr);
  TParsedDocument standalone(std::string("<?xml version='1.0' standalone='yes'?>") + subset);
  ASSERT_NE(standalone.Document, nullptr);
  EXPECT_NE(standalone.Model().FindElementDecl(u"a"), nullptr);
  EXPECT_NE(standalone.Model().FindNotationDecl(u"n"), nullptr);
}

TEST(DtdModel, TheFirstDeclarationHolds) {
  TParsedDocument parsed("<!DOCTYPE a [<!ATTLIST a x CDATA 'one'><!ATTLIST a x CDATA 'two'>"
                         "<!ENTITY e 'first'><!ENTITY e 'second'>]><a/>");
  ASSERT_NE(parsed.Document, nullptr);
  EXPECT_EQ(parsed.Model().FindAttributeDecl(u"a", u"x")->DefaultValue(), u"one");
  EXPECT_EQ(parsed.Model().FindEntityDecl(u"e")->ReplacementText(), u"first");
  EXPECT_TRUE(parsed.Reported(ekDuplicateAttributeDecl));
  EXPECT_TRUE(parsed.Reported(ekDuplicateEntityDecl));
  // A second element declaration is an error that ends the reading.
  TParsedDocument twice("<!DOCTYPE a [<!ELEMENT a ANY><!ELEMENT a EMPTY>]><a/>");
  EXPECT_EQ(twice.Document, nullptr);
  EXPECT_TRUE(twice.Reported(ekDuplicateElementDecl));
}

// A content model as text: kinds c(hoice), s(equence), names, and frequencies.
WideString Shape(const TDtdContentModel* model) {
  static const char16_t* const kFrequency[] = {u"", u"?", u"+", u"*"};
  if (model->Kind() == cmElement) {
    return model->GetName() + kFrequency[model->Frequency()];
  }
  WideString shape = model->Kind() == cmChoice ? u"c(" : u"s(";
  for (int i = 0; i < model->SubModelCount(); ++i) {
    shape += (i ? u" " : u"") + Shape(model->SubModel(i));
  }
  return shape + u")" + kFrequency[model->Frequency()];
}

TEST(DtdModel, ContentModelsAreBuiltAsDeclared) {
  TParsedDocument parsed("<!DOCTYPE p [<!ELEMENT p (#PCDATA)><!ELEMENT q (#PCDATA|a|b)*>"
                         "<!ELEMENT r (a,(b|c)*,d?)+><!ELEMENT s EMPTY><!ELEMENT t ANY>]><p/>");
  ASSERT_NE(parsed.Document, nullptr);
  const TDtdModel& model = parsed.Model();
  EXPECT_EQ(Shape(model.FindElementDecl(u"p")->ContentModel()), u"c()");
  EXPECT_EQ(Shape(model.FindElementDecl(u"q")->ContentModel()), u"c(a b)*");
  EXPECT_EQ(Shape(model.FindElementDecl(u"r")->ContentModel()), u"s(a c(b c)* d?)+");
  EXPECT_EQ(model.FindElementDecl(u"r")->ContentType(), ctElementContent);
  EXPECT_EQ(model.FindElementDecl(u"q")->ContentType(), ctMixed);
  EXPECT_EQ(model.FindElementDecl(u"s")->ContentModel(), nullptr);
  EXPECT_EQ(model.FindElementDecl(u"t")->ContentType(), ctAny);
}

TEST(DtdModel, ObjectsKeepTheirRules) {
  TDtdModel model;
  TDtdEntityDecl* entity = nullptr;
  EXPECT_THROW(model.AddEntityDecl(u"x", u"v", entity, orPredefined, u"", u"", u"", u""),
               ENot_Supported_Err);
  EXPECT_THROW(model.AddEntityDecl(u"1x", u"v", entity, orInternal, u"", u"", u"", u""),
               EInvalid_Character_Err);
  EXPECT_FALSE(model.RemoveEntityDecl(u"amp"));
  EXPECT_EQ(model.FindEntityDecl(u"lt")->ReplacementText(), u"&#60;");
  TDtdElementDecl* a = nullptr;
  TDtdElementDecl* b = nullptr;
  model.AddElementDecl(u"a", ctElementContent, a, orInternal);
  model.AddElementDecl(u"b", ctElementContent, b, orInternal);
  TDtdContentModel* sequence = a->CreateContentModel(u"", cmSequence);
  EXPECT_THROW(b->SetContentModel(sequence), ENot_Supported_Err);
  EXPECT_THROW(a->SetContentModel(a->CreateContentModel(u"x", cmElement)), ENot_Supported_Err);
  a->SetContentModel(sequence);
  EXPECT_THROW(a->FreeContentModel(sequence), EInuse_Err);
  EXPECT_EQ(a->SetContentModel(nullptr), sequence);
  a->FreeContentModel(sequence);
  EXPECT_EQ(sequence, nullptr);
  // Keys grow in the order of creation.
  TDtdEntityDecl* later = nullptr;
  model.AddEntityDecl(u"later", u"v", later, orInternal, u"", u"", u"", u"");
  EXPECT_GT(later->Key(), model.FindEntityDecl(u"quot")->Key());
}

TEST(DtdModel, RecursionIsFoundAtAnyDistance) {
  TParsedDocument parsed("<!DOCTYPE a [<!ENTITY e '&e;'><!ENTITY f '&g;'><!ENTITY g '&f;'>"
                         "<!ENTITY h '&undeclared;&e2;'><!ENTITY e2 'x'>]><a/>");
  ASSERT_EQ(parsed.Document, nullptr); // 86 is fatal
  EXPECT_TRUE(parsed.Reported(ekRecursiveEntity));
  TDtdModel model;
  TDtdEntityDecl* decl = nullptr;
  model.AddEntityDecl(u"h", u"&undeclared;&e2;", decl, orInternal, u"", u"", u"", u"");
  EXPECT_TRUE(decl->CheckRecursion());
  EXPECT_FALSE(decl->IsRecursionFree({u"e2"}));
}

// 40 pairs of entities give 2^40 paths, and a chain of 100,000 is as deep: both are answered
// at once.
TEST(DtdModel, RecursionCheckIsLinear) {
  TDtdModel model;
  TDtdEntityDecl* decl = nullptr;
  for (int i = 40; i >= 1; --i) {
    const WideString next = u"&a" + NarrowToWide(std::to_string(i + 1)) + u";&b" +
                            NarrowToWide(std::to_string(i + 1)) + u";";
    model.AddEntityDecl(u"a" + NarrowToWide(std::to_string(i)), next, decl, orInternal, u"", u"",
                        u"", u"");
    model.AddEntityDecl(u"b" + NarrowToWide(std::to_string(i)), next, decl, orInternal, u"", u"",
                        u"", u"");
  }
  constexpr int kChain = 100000;
  for (int i = kChain; i >= 1; --i) {
    const WideString next = i == kChain ? u"&c1;" : u"&c" + NarrowToWide(std::to_string(i + 1)) + u";";
    model.AddEntityDecl(u"c" + NarrowToWide(std::to_string(i)), next, decl, orInternal, u"", u"",
                        u"", u"");
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(model.FindEntityDecl(u"a1")->CheckRecursion());
  EXPECT_FALSE(model.FindEntityDecl(u"c1")->CheckRecursion()); // the chain closes on itself
  EXPECT_FALSE(model.FindEntityDecl(u"c5000")->CheckRecursion());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace velmora::testing
