// The validation agent: what documents ask of it, entity expansion and its budget, and
// document validation with one valid and one invalid document per constraint.

#include <gtest/gtest.h>

#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "tests/support/temp_folder.h"
#include "tests/xml/parsed_document.h"
#include "xml/parse_errors.h"

namespace velmora::testing {
namespace {

struct TNormalizeCase {
  TDtdAttrType Type;
  const char16_t* Value;
  int Kind;
  const char16_t* Result;
};

void PrintTo(const TNormalizeCase& c, std::ostream* out) {
  *out << static_cast<int>(c.Type) << ' ' << ::testing::PrintToString(WideToNarrow(c.Value));
}

class Normalization : public ::testing::TestWithParam<TNormalizeCase> {};

TEST_P(Normalization, ExpandsDeclaredEntitiesAndCollapsesAllButCData) {
  TParsedDocument parsed("<!DOCTYPE a [<!ENTITY e ' x&#9;y '><!ENTITY n '&e;&e;'>"
                         "<!ENTITY lt2 '&#38;#60;'><!ENTITY ext SYSTEM 'x.ent'>"
                         "<!ENTITY un SYSTEM 'x' NDATA n><!NOTATION n SYSTEM 'n'>]><a/>");
  ASSERT_NE(parsed.Document, nullptr);
  const TNormalizeCase& c = GetParam();
  int kind = -1;
  WideString result = u"junk";
  parsed.Agent().NormalizeAttributeValue(c.Value, c.Type, kind, result);
  EXPECT_EQ(kind, c.Kind) << WideToNarrow(c.Value);
  EXPECT_EQ(result, c.Result) << WideToNarrow(c.Value);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, Normalization,
    ::testing::Values(
        // White space of a replacement text becomes spaces; a character reference in the
        // value itself stays what it is.
        TNormalizeCase{atCData, u" a&e;b ", 0, u" a x y b "},
        TNormalizeCase{atCData, u"&n;", 0, u" x y  x y "},
        TNormalizeCase{atCData, u"a&#9;b", 0, u"a\tb"},
        TNormalizeCase{atCData, u"a&lt;b&amp;c", 0, u"a<b&c"},
        TNormalizeCase{atCData, u"&lt2;", 0, u"<"}, // '<' through a character reference
        TNormalizeCase{atNmTokens, u"  x   y ", 0, u"x y"},
        TNormalizeCase{atNmToken, u" &e; ", 0, u"x y"},
        TNormalizeCase{atId, u"\tid\n", 0, u"id"},
        TNormalizeCase{atIdRef, u" r ", 0, u"r"}, TNormalizeCase{atIdRefs, u" r  s ", 0, u"r s"},
        TNormalizeCase{atEntity, u" un ", 0, u"un"},
        TNormalizeCase{atEntities, u"un  un", 0, u"un un"},
        TNormalizeCase{atNotation, u" n ", 0, u"n"},
        // The well-formedness constraints on references.
        TNormalizeCase{atCData, u"&undeclared;", ekUndeclaredEntityWf, u""},
        TNormalizeCase{atCData, u"&ext;", ekExternalEntityInAttribute, u""},
        TNormalizeCase{atCData, u"&un;", ekExternalEntityInAttribute, u""},
        TNormalizeCase{atCData, u"a<b", ekLessThanInAttributeValue, u""},
        TNormalizeCase{atCData, u"&#0;", ekInvalidCharRef, u""},
        TNormalizeCase{atCData, u"&e", ekEntityRefWithoutSemicolon, u""}));

TEST(ValidationAgent, AnswersFromTheDeclarations) {
  TParsedDocument parsed("<!DOCTYPE a [<!ELEMENT a (b)*><!ELEMENT b (#PCDATA)>"
                         "<!ATTLIST b t NMTOKENS 'x  y' i ID #IMPLIED r CDATA #REQUIRED>]>"
                         "<a> <b r=''/> </a>");
  ASSERT_NE(parsed.Document, nullptr);
  TDtdValidationAgent& agent = parsed.Agent();
  EXPECT_EQ(agent.AttributeType(u"b", u"t"), atNmTokens);
  EXPECT_EQ(agent.AttributeType(u"b", u"undeclared"), atCData);
  EXPECT_EQ(agent.ContentType(u"a"), ctElementContent);
  EXPECT_EQ(agent.ContentType(u"undeclared"), ctAny);
  auto* root = parsed.Document->documentElement();
  EXPECT_TRUE(static_cast<TDomText*>(root->firstChild())->isWhitespaceInElementContent());
  // The builder adds no defaults; the agent adds them unspecified, normalized.
  auto* b = static_cast<TDomElement*>(root->firstChild()->nextSibling());
  EXPECT_FALSE(b->hasAttribute(u"t"));
  EXPECT_TRUE(agent.AddDefaultAttributes(b));
  EXPECT_FALSE(b->getAttributeNode(u"t")->specified());
  EXPECT_EQ(b->getAttributeNormalizedValue(u"t"), u"x y");
  EXPECT_FALSE(b->hasAttribute(u"i"));
}

TEST(ValidationAgent, ReplacementTextsAndTheirKinds) {
  TParsedDocument parsed("<!DOCTYPE a SYSTEM 'none.dtd' [<!ENTITY e 'v&f;'><!ENTITY f 'w'>"
                         "<!ENTITY un SYSTEM 'x' NDATA n>]><a/>");
  ASSERT_NE(parsed.Document, nullptr);
  TDtdValidationAgent& agent = parsed.Agent();
  WideString text;
  uint64_t key = 0;
  bool external = false;
  EXPECT_EQ(agent.GetReplacementText(u"e", text, key, external), 0);
  EXPECT_EQ(text, u"v&f;");
  EXPECT_FALSE(external);
  // The external subset may declare it: not standalone, so only an error.
  EXPECT_EQ(agent.GetReplacementText(u"nothing", text, key, external), ekUndeclaredEntity);
  EXPECT_EQ(agent.GetReplacementText(u"un", text, key, external), ekUnparsedEntityReference);
  EXPECT_TRUE(external);
  // A default may refer to entities declared before its declaration only: a fatal error
  // under the standalone rules, else an error.
  TParsedDocument later("<!DOCTYPE a [<!ATTLIST a x CDATA '&e;'><!ENTITY e 'v'>]><a/>");
  ASSERT_NE(later.Document, nullptr);
  WideString value;
  int kind = 0;
  later.Agent().NormalizeDefaultValue(later.Model().FindAttributeDecl(u"a", u"x"), value, kind);
  EXPECT_EQ(kind, ekEntityDeclaredLaterWf);
  TParsedDocument laterInvalid(
      "<!DOCTYPE a SYSTEM 'none.dtd' [<!ATTLIST a x CDATA '&e;'><!ENTITY e 'v'>]><a/>");
  ASSERT_NE(laterInvalid.Document, nullptr);
  EXPECT_FALSE(laterInvalid.Agent().AddDefaultAttributes(laterInvalid.Document->documentElement()));
  laterInvalid.Agent().NormalizeDefaultValue(
      laterInvalid.Model().FindAttributeDecl(u"a", u"x"), value, kind);
  EXPECT_EQ(kind, ekEntityDeclaredLater);
}

TEST(ValidationAgent, FillsEntityReferencesWithTheirContentReadOnly) {
  TParsedDocument parsed("<!DOCTYPE a [<!ENTITY e '<b>&f;</b>'><!ENTITY f 'text'>"
                         "<!ENTITY bad '<b>'>]><a>&e;&bad;&lt;</a>");
  ASSERT_NE(parsed.Document, nullptr);
  TDomElement* root = parsed.Document->documentElement();
  auto* e = static_cast<TDomEntityReference*>(root->firstChild());
  EXPECT_EQ(parsed.Agent().ExpandEntityReference(e), 0);
  EXPECT_EQ(e->textContent(), u"text"); // the reference inside is filled too
  EXPECT_TRUE(e->firstChild()->isReadOnly());
  EXPECT_TRUE(e->firstChild()->firstChild()->isReadOnly());
  auto* bad = static_cast<TDomEntityReference*>(e->nextSibling());
  EXPECT_EQ(parsed.Agent().ExpandEntityReference(bad), ekMalformedReplacementText);
  EXPECT_FALSE(bad->hasChildNodes());
  // A copy fills its references again.
  auto* copy = static_cast<TDomElement*>(root->cloneNode(true));
  EXPECT_EQ(copy->textContent(), u"text<");
}

// Each expansion stops at its budget with ekRecursiveEntity and says why: a billion laughs
// fail at once in content, in attribute values and in defaults.
TEST(ValidationAgent, ExpansionHasABudget) {
  std::string subset = "<!ENTITY l0 'lollollollollollollollollol'>";
  for (int i = 1; i <= 9; ++i) {
    std::string refs;
    for (int j = 0; j < 10; ++j) {
      refs += "&l" + std::to_string(i - 1) + ";";
    }
    subset += "<!ENTITY l" + std::to_string(i) + " '" + refs + "'>";
  }
  TParsedDocument parsed("<!DOCTYPE a [" + subset + "<!ATTLIST a d CDATA '&l9;'>]>" +
                         "<a v='&l9;'>&l9;</a>");
  ASSERT_NE(parsed.Document, nullptr);
  TDtdValidationAgent& agent = parsed.Agent();
  TDomElement* root = parsed.Document->documentElement();
  EXPECT_EQ(agent.ExpandEntityReference(static_cast<TDomEntityReference*>(root->firstChild())),
            ekRecursiveEntity);
  EXPECT_EQ(agent.FailureClue(), TExpansionBudget::kExpansionLimitClue);
  EXPECT_FALSE(root->firstChild()->hasChildNodes());
  int kind = 0;
  WideString value;
  agent.NormalizeAttributeValue(root->getAttribute(u"v"), atCData, kind, value);
  EXPECT_EQ(kind, ekRecursiveEntity);
  EXPECT_FALSE(agent.AddDefaultAttributes(root));
  bool valid = true;
  const std::vector<int> kinds = parsed.Validate(etFill, &valid);
  EXPECT_FALSE(valid);
  EXPECT_NE(std::count(kinds.begin(), kinds.end(), ekRecursiveEntity), 0);
}

// An external entity in a value is refused before it is loaded.
TEST(ValidationAgent, ExternalEntitiesInValuesAreNeverLoaded) {
  TTempFolder folder;
  folder.WriteFile("secret.txt", "the text of a file");
  folder.WriteFile("doc.xml", "<!DOCTYPE a [<!ENTITY s SYSTEM 'secret.txt'>"
                              "<!ATTLIST a d CDATA 'x&s;'>]><a>&s;</a>");
  const WideString uri = NarrowToWide(fileNameToUri(folder.File("doc.xml")));
  TParsedDocument parsed(folder.ReadFile("doc.xml"), true, uri);
  ASSERT_NE(parsed.Document, nullptr);
  WideString value;
  int kind = 0;
  parsed.Agent().NormalizeDefaultValue(parsed.Model().FindAttributeDecl(u"a", u"d"), value, kind);
  EXPECT_EQ(kind, ekExternalEntityInAttribute);
  EXPECT_FALSE(parsed.Model().FindEntityDecl(u"s")->Resolved());
  // In content it is loaded, resolved against the document.
  TDomElement* root = parsed.Document->documentElement();
  EXPECT_EQ(parsed.Agent().ExpandEntityReference(
                static_cast<TDomEntityReference*>(root->firstChild())),
            0);
  EXPECT_EQ(root->textContent(), u"the text of a file");
}

struct TValidityCase {
  const char* Name;
  const char* Valid;   // a document that meets the constraint
  const char* Invalid; // one that breaks it
  int Kind;            // what the second reports
};

void PrintTo(const TValidityCase& c, std::ostream* out) {
  *out << c.Name;
}

class Validity : public ::testing::TestWithParam<TValidityCase> {};

TEST_P(Validity, OneValidAndOneInvalidDocument) {
  const TValidityCase& c = GetParam();
  TParsedDocument good(c.Valid);
  ASSERT_NE(good.Document, nullptr) << c.Name;
  bool valid = false;
  const std::vector<int> goodKinds = good.Validate(etReplace, &valid);
  EXPECT_TRUE(valid) << c.Name << ": " << ::testing::PrintToString(goodKinds);
  TParsedDocument bad(c.Invalid);
  ASSERT_NE(bad.Document, nullptr) << c.Name;
  const std::vector<int> badKinds = bad.Validate(etReplace, &valid);
  EXPECT_FALSE(valid) << c.Name;
  EXPECT_NE(std::count(badKinds.begin(), badKinds.end(), c.Kind), 0)
      << c.Name << ": " << ::testing::PrintToString(badKinds);
}

#define DT(subset) "<!DOCTYPE r [" subset "]>"
INSTANTIATE_TEST_SUITE_P(
    Constraints, Validity,
    ::testing::Values(
        TValidityCase{"root name", DT("<!ELEMENT r EMPTY>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ELEMENT s EMPTY>") "<s/>", ekRootNameMismatch},
        TValidityCase{"element declared", DT("<!ELEMENT r ANY>") "<r/>", DT("") "<r/>",
                      ekUndeclaredElement},
        TValidityCase{"empty", DT("<!ELEMENT r EMPTY>") "<r></r>",
                      DT("<!ELEMENT r EMPTY>") "<r> </r>", ekContentInEmptyElement},
        TValidityCase{"sequence", DT("<!ELEMENT r (a,b)><!ELEMENT a EMPTY><!ELEMENT b EMPTY>")
                      "<r> <a/>\n<b/> </r>",
                      DT("<!ELEMENT r (a,b)><!ELEMENT a EMPTY><!ELEMENT b EMPTY>") "<r><b/><a/></r>",
                      ekContentMismatch},
        TValidityCase{"greedy", DT("<!ELEMENT r (a*,b)><!ELEMENT a EMPTY><!ELEMENT b EMPTY>")
                      "<r><a/><a/><b/></r>",
                      DT("<!ELEMENT r (a*,a)><!ELEMENT a EMPTY>") "<r><a/><a/></r>",
                      ekContentMismatch},
        TValidityCase{"ambiguous", DT("<!ELEMENT r (a|b)><!ELEMENT a EMPTY><!ELEMENT b EMPTY>")
                      "<r><a/></r>",
                      DT("<!ELEMENT r (a|(a,b?))><!ELEMENT a EMPTY><!ELEMENT b EMPTY>")
                      "<r><a/><b/></r>",
                      ekAmbiguousContentModel},
        TValidityCase{"text in element content", DT("<!ELEMENT r (r*)>") "<r>\n</r>",
                      DT("<!ELEMENT r (r*)>") "<r>x</r>", ekTextInElementContent},
        TValidityCase{"character reference is no white space", DT("<!ELEMENT r (r*)>") "<r> </r>",
                      DT("<!ELEMENT r (r*)>") "<r>&#32;</r>", ekTextInElementContent},
        TValidityCase{"CDATA in element content", DT("<!ELEMENT r (r*)>") "<r/>",
                      DT("<!ELEMENT r (r*)>") "<r><![CDATA[]]></r>", ekCDataInElementContent},
        TValidityCase{"PCDATA only", DT("<!ELEMENT r (#PCDATA)>") "<r>t</r>",
                      DT("<!ELEMENT r (#PCDATA)>") "<r><r/></r>", ekElementInPCDataContent},
        TValidityCase{"mixed", DT("<!ELEMENT r (#PCDATA|a)*><!ELEMENT a EMPTY>") "<r>t<a/>t</r>",
                      DT("<!ELEMENT r (#PCDATA|a)*><!ELEMENT a EMPTY><!ELEMENT b EMPTY>")
                      "<r><b/></r>",
                      ekContentMismatch},
        TValidityCase{"mixed name twice", DT("<!ELEMENT r (#PCDATA|a)*><!ELEMENT a EMPTY>") "<r/>",
                      DT("<!ELEMENT r (#PCDATA|a|a)*><!ELEMENT a EMPTY>") "<r/>",
                      ekDuplicateMixedName},
        TValidityCase{"own children only", // a grandchild is not the element's content
                      DT("<!ELEMENT r (a)><!ELEMENT a ANY><!ELEMENT b EMPTY>") "<r><a><b/></a></r>",
                      DT("<!ELEMENT r (a)><!ELEMENT a ANY>") "<r><a/><a/></r>",
                      ekContentMismatch},
        TValidityCase{"content through references",
                      DT("<!ELEMENT r (a,a)><!ELEMENT a EMPTY><!ENTITY e '<a/>'>") "<r>&e;<a/></r>",
                      DT("<!ELEMENT r (a)><!ELEMENT a EMPTY><!ENTITY e '<a/>'>") "<r>&e;<a/></r>",
                      ekContentMismatch},
        TValidityCase{"attribute declared", DT("<!ELEMENT r EMPTY><!ATTLIST r a CDATA #IMPLIED>")
                      "<r a='1'/>",
                      DT("<!ELEMENT r EMPTY>") "<r a='1'/>", ekUndeclaredAttribute},
        TValidityCase{"required", DT("<!ELEMENT r EMPTY><!ATTLIST r a CDATA #REQUIRED>") "<r a=''/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a CDATA #REQUIRED>") "<r/>",
                      ekRequiredAttributeMissing},
        TValidityCase{"fixed", DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKEN #FIXED 'x'>")
                      "<r a=' x '/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKEN #FIXED 'x'>") "<r a='y'/>",
                      ekFixedValueMismatch},
        TValidityCase{"ID value", DT("<!ELEMENT r EMPTY><!ATTLIST r i ID #IMPLIED>") "<r i='a'/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r i ID #IMPLIED>") "<r i='1'/>",
                      ekInvalidAttributeValue},
        TValidityCase{"ID unique", DT("<!ELEMENT r (a*)><!ELEMENT a EMPTY><!ATTLIST a i ID #IMPLIED>")
                      "<r><a i='x'/><a i='y'/></r>",
                      DT("<!ELEMENT r (a*)><!ELEMENT a EMPTY><!ATTLIST a i ID #IMPLIED>")
                      "<r><a i='x'/><a i='x'/></r>",
                      ekDuplicateId},
        TValidityCase{"one ID per type", DT("<!ELEMENT r EMPTY><!ATTLIST r i ID #IMPLIED>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r i ID #IMPLIED j ID #IMPLIED>") "<r/>",
                      ekSecondIdAttribute},
        TValidityCase{"ID default", DT("<!ELEMENT r EMPTY><!ATTLIST r i ID #REQUIRED>") "<r i='a'/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r i ID 'a'>") "<r/>", ekInvalidIdDefault},
        TValidityCase{"IDREF", DT("<!ELEMENT r (a*)><!ELEMENT a EMPTY><!ATTLIST a i ID #IMPLIED "
                                  "f IDREFS #IMPLIED>") "<r><a f='x y'/><a i='x'/><a i='y'/></r>",
                      DT("<!ELEMENT r (a*)><!ELEMENT a EMPTY><!ATTLIST a i ID #IMPLIED "
                         "f IDREFS #IMPLIED>") "<r><a f='x y'/><a i='x'/></r>",
                      ekUnmatchedIdRef},
        TValidityCase{"enumeration", DT("<!ELEMENT r EMPTY><!ATTLIST r a (x|y) #IMPLIED>") "<r a='y'/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a (x|y) #IMPLIED>") "<r a='z'/>",
                      ekInvalidAttributeValue},
        TValidityCase{"enumeration token twice", DT("<!ELEMENT r EMPTY><!ATTLIST r a (x|y) 'x'>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a (x|x) #IMPLIED>") "<r/>",
                      ekDuplicateEnumToken},
        TValidityCase{"default fits", DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKENS 'x y'>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKENS '!'>") "<r/>",
                      ekInvalidDefaultValue},
        TValidityCase{"NMTOKENS", DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKENS #IMPLIED>") "<r a='x y'/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a NMTOKENS #IMPLIED>") "<r a='x !'/>",
                      ekInvalidAttributeValue},
        TValidityCase{"ENTITY", DT("<!ELEMENT r EMPTY><!ATTLIST r a ENTITY #IMPLIED><!NOTATION n "
                                   "SYSTEM 'n'><!ENTITY u SYSTEM 'u' NDATA n>") "<r a='u'/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a ENTITY #IMPLIED><!ENTITY p 'v'>")
                      "<r a='p'/>",
                      ekNotUnparsedEntity},
        TValidityCase{"notation declared", DT("<!ELEMENT r EMPTY><!NOTATION n SYSTEM 'n'>"
                                              "<!ENTITY u SYSTEM 'u' NDATA n>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ENTITY u SYSTEM 'u' NDATA n>") "<r/>",
                      ekUndeclaredNotation},
        TValidityCase{"NOTATION", DT("<!ELEMENT r ANY><!ATTLIST r a NOTATION (n) #IMPLIED>"
                                     "<!NOTATION n SYSTEM 'n'>") "<r a='n'/>",
                      DT("<!ELEMENT r ANY><!ATTLIST r a NOTATION (n) #IMPLIED b NOTATION (n) "
                         "#IMPLIED><!NOTATION n SYSTEM 'n'>") "<r/>",
                      ekSecondNotationAttribute},
        TValidityCase{"NOTATION on EMPTY", DT("<!ELEMENT r ANY><!ATTLIST r a NOTATION (n) #IMPLIED>"
                                              "<!NOTATION n SYSTEM 'n'>") "<r/>",
                      DT("<!ELEMENT r EMPTY><!ATTLIST r a NOTATION (n) #IMPLIED>"
                         "<!NOTATION n SYSTEM 'n'>") "<r/>",
                      ekNotationOnEmptyElement},
        TValidityCase{"entity declared", DT("<!ELEMENT r ANY><!ENTITY e 'v'>") "<r>&e;</r>",
                      "<!DOCTYPE r SYSTEM 'none.dtd' [<!ELEMENT r ANY>]><r>&e;</r>",
                      ekUndeclaredEntity}));
#undef DT

TEST(Validation, WithoutDeclarationsEverythingIsUndeclared) {
  TParsedDocument parsed("<r a='1'><s/></r>");
  ASSERT_NE(parsed.Document, nullptr);
  bool valid = true;
  const std::vector<int> kinds = parsed.Validate(etReplace, &valid);
  EXPECT_FALSE(valid);
  EXPECT_EQ(kinds, (std::vector<int>{ekNoDtd, ekUndeclaredElement, ekUndeclaredAttribute,
                                     ekUndeclaredElement}));
}

TEST(Validation, EntityTreatmentReplacesOrFills) {
  const char* text = "<!DOCTYPE r [<!ELEMENT r (#PCDATA|a)*><!ELEMENT a EMPTY>"
                     "<!ATTLIST a t NMTOKENS #IMPLIED d CDATA 'x&amp;y'><!ENTITY e 'x<a t=\"p  q\"/>y'>]>"
                     "<r>1&e;2</r>";
  TParsedDocument replaced(text);
  ASSERT_NE(replaced.Document, nullptr);
  bool valid = false;
  replaced.Validate(etReplace, &valid);
  EXPECT_TRUE(valid);
  TDomElement* root = replaced.Document->documentElement();
  ASSERT_EQ(root->firstChild()->nodeType(), nkText); // the reference became its content
  EXPECT_EQ(static_cast<TDomText*>(root->firstChild())->data(), u"1x");
  auto* a = static_cast<TDomElement*>(root->firstChild()->nextSibling());
  EXPECT_EQ(a->getAttribute(u"t"), u"p q");
  EXPECT_FALSE(a->getAttributeNode(u"d")->specified());
  EXPECT_EQ(a->getAttributeNormalizedValue(u"d"), u"x&y");
  EXPECT_FALSE(a->isReadOnly());

  TParsedDocument filled(text);
  filled.Validate(etFill, &valid);
  EXPECT_TRUE(valid);
  TDomNode* ref = filled.Document->documentElement()->firstChild()->nextSibling();
  ASSERT_EQ(ref->nodeType(), nkEntityReference);
  auto* inside = static_cast<TDomElement*>(ref->firstChild()->nextSibling());
  EXPECT_EQ(inside->getAttribute(u"t"), u"p  q");
  EXPECT_TRUE(inside->isReadOnly());
}

TEST(Validation, AReferenceThatCannotBeReplacedStays) {
  TParsedDocument parsed("<!DOCTYPE r SYSTEM 'none.dtd' [<!ELEMENT r ANY>]><r>a&u;b</r>");
  ASSERT_NE(parsed.Document, nullptr);
  parsed.Model().SetPrepStatus(psComplete); // the external subset counts as read
  bool valid = true;
  EXPECT_EQ(parsed.Validate(etReplace, &valid), std::vector<int>{ekUndeclaredEntity});
  EXPECT_FALSE(valid);
  TDomNode* ref = parsed.Document->documentElement()->firstChild()->nextSibling();
  ASSERT_EQ(ref->nodeType(), nkEntityReference);
  EXPECT_FALSE(ref->hasChildNodes());
}

TEST(Validation, IdsAreListedByValidation) {
  TParsedDocument parsed("<!DOCTYPE r [<!ELEMENT r (a*)><!ELEMENT a EMPTY>"
                         "<!ATTLIST a i ID #IMPLIED>]><r><a i=' x '/></r>");
  ASSERT_NE(parsed.Document, nullptr);
  EXPECT_EQ(parsed.Document->getElementById(u"x"), nullptr);
  parsed.Validate(etFill);
  EXPECT_EQ(parsed.Document->getElementById(u"x"), parsed.Document->documentElement()->firstChild());
}

// A model that could not be built counts against its declaration, and validation goes on.
TEST(Validation, AnUnbuiltModelIsReportedNotRaised) {
  std::string model(300, '(');
  model += "a";
  model.append(300, ')');
  TParsedDocument parsed("<!DOCTYPE r SYSTEM 'none.dtd' [<!ELEMENT a EMPTY>]><r/>");
  ASSERT_NE(parsed.Document, nullptr);
  TDtdElementDecl* decl = nullptr;
  parsed.Model().AddElementDecl(u"r", ctElementContent, decl, orInternal);
  parsed.Model().SetPrepStatus(psComplete);
  bool valid = true;
  const std::vector<int> kinds = parsed.Validate(etReplace, &valid);
  EXPECT_FALSE(valid);
  EXPECT_EQ(kinds, std::vector<int>{ekInvalidElementDecl});
  // Deeper than 256 levels, a model is refused while it is read.
  TParsedDocument deep("<!DOCTYPE r [<!ELEMENT r " + model + ">]><r/>");
  EXPECT_EQ(deep.Document, nullptr);
  EXPECT_TRUE(deep.Reported(ekInvalidContentModel));
}

// A million levels, and 100,000 siblings with IDs, validate without recursion.
TEST(Validation, DeepAndWideDocuments) {
  constexpr int kCount = 1000000;
  constexpr int kSiblings = 100000;
  std::string deep = "<!DOCTYPE r [<!ELEMENT r (r?)>]>";
  deep.reserve(deep.size() + kCount * 7);
  for (int i = 0; i < kCount; ++i) {
    deep += "<r>";
  }
  for (int i = 0; i < kCount; ++i) {
    deep += "</r>";
  }
  TParsedDocument parsedDeep(deep);
  ASSERT_NE(parsedDeep.Document, nullptr);
  bool valid = false;
  parsedDeep.Validate(etReplace, &valid);
  EXPECT_TRUE(valid);
  std::string wide = "<!DOCTYPE r [<!ELEMENT r (a)*><!ELEMENT a EMPTY><!ATTLIST a i ID #IMPLIED>]><r>";
  for (int i = 0; i < kSiblings; ++i) {
    wide += "<a i='i" + std::to_string(i) + "'/>";
  }
  wide += "</r>";
  TParsedDocument parsedWide(wide);
  ASSERT_NE(parsedWide.Document, nullptr);
  parsedWide.Validate(etFill, &valid);
  EXPECT_TRUE(valid);
}

TEST(Validation, StandaloneRules) {
  TTempFolder folder;
  folder.WriteFile("ext.dtd", "<!ELEMENT r (a*)><!ELEMENT a EMPTY>"
                              "<!ATTLIST a d CDATA 'x' t NMTOKEN #IMPLIED><!ENTITY e 'v'>");
  const auto validate = [&](const char* standalone, const char* body) {
    const std::string text = std::string("<?xml version='1.0' standalone='") + standalone +
                             "'?><!DOCTYPE r SYSTEM 'ext.dtd'>" + body;
    folder.WriteFile("doc.xml", text);
    TParsedDocument parsed(text, true, NarrowToWide(fileNameToUri(folder.File("doc.xml"))));
    EXPECT_NE(parsed.Document, nullptr) << body;
    return parsed.Document ? parsed.Validate(etFill) : std::vector<int>{-1};
  };
  EXPECT_EQ(validate("no", "<r>\n<a t=' x'/></r>"), std::vector<int>{});
  EXPECT_EQ(validate("yes", "<r><a d='x'/></r>"), std::vector<int>{});
  EXPECT_EQ(validate("yes", "<r>\n<a d='x'/></r>"), std::vector<int>{ekStandaloneWhitespace});
  EXPECT_EQ(validate("yes", "<r><a/></r>"), std::vector<int>{ekStandaloneDefault});
  EXPECT_EQ(validate("yes", "<r><a d='x' t=' x'/></r>"),
            std::vector<int>{ekStandaloneNormalization});
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// What the document service needs to keep declared entities when it loads a backup: the
// references filled, the values written out, so that a copy without declarations sees them.
TEST(ValidationAgent, ExpandsADocumentForACopyWithoutDeclarations) {
  TParsedDocument parsed("<!DOCTYPE Data [<!ENTITY co 'ACME'>]><Data><Folder name='&co; &amp; "
                         "Co'><Name>&co;</Name></Folder></Data>");
  ASSERT_NE(parsed.Document, nullptr);
  EXPECT_TRUE(parsed.Agent().ExpandDocument(TDtdValidationAgent::eoRewriteValues));
  auto* folder = static_cast<TDomElement*>(parsed.Document->documentElement()->firstChild());
  EXPECT_EQ(folder->getAttribute(u"name"), u"ACME &amp; Co");
  EXPECT_EQ(folder->textContent(), u"ACME");
  // An undeclared entity still fails.
  TParsedDocument undeclared("<Data><Folder name='&co;'/></Data>");
  ASSERT_NE(undeclared.Document, nullptr);
  EXPECT_FALSE(undeclared.Agent().ExpandDocument(0));
  EXPECT_TRUE(undeclared.Reported(ekUndeclaredEntityWf));
}

} // namespace
} // namespace velmora::testing
