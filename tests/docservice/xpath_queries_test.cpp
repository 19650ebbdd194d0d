// The queries of the document service: node lists and joined texts.

#include <gtest/gtest.h>

#include "docservice/document_service.h"
#include "dom/document.h"
#include "dom/dom_exceptions.h"
#include "dom/element.h"
#include "dom/node_lists.h"
#include "xpath/xpath_document.h"

namespace velmora {
namespace {

const char* const kBackup = R"(<Data>
  <Folder name="AT&amp;T  phone">
    <Folder name="  2026-01-01  ">
      <Folder name="Contacts">
        <Contact>
          <Name><First>Anna</First> <Last>Smith</Last></Name>
          <Number type="Work">+49<!--split-->30</Number>
          <Number>   </Number>
        </Contact>
      </Folder>
    </Folder>
  </Folder>
  <?note   kept data  ?>
</Data>)";

class XPathQueriesTest : public ::testing::Test {
protected:
  XPathQueriesTest() : FDocument(FService->LoadFromText(kBackup, ptXml)) {}
  ~XPathQueriesTest() override { FService->Free(); }

  TDomNode* First(std::u16string_view expression) {
    const std::unique_ptr<TDomNodeList> nodes =
        FService->SelectDocumentNodes(FDocument, expression);
    return nodes ? nodes->item(0) : nullptr;
  }

  TvxDomImplementation* FService = new TvxDomImplementation;
  TDomDocumentXPath* FDocument;
};

struct TJoinCase {
  std::u16string_view Context; // selects the context node from the document
  std::u16string_view Expression;
  const char* Expected; // "(empty)" for the empty variant, "!" and the message for a failure
};

void PrintTo(const TJoinCase& join, std::ostream* out) {
  *out << WideToNarrow(join.Context) << " : " << WideToNarrow(join.Expression);
}

class JoinedValueTest : public XPathQueriesTest, public ::testing::WithParamInterface<TJoinCase> {};

TEST_P(JoinedValueTest, JoinsTheTrimmedTextsOfTheSelectedNodes) {
  const TJoinCase& join = GetParam();
  TDomNode* context = First(join.Context);
  ASSERT_NE(context, nullptr);
  NarrowString got;
  try {
    const TVariant value = FService->JoinedValue(FDocument, context, join.Expression, " ");
    got = value.IsEmpty() ? "(empty)" : value.AsString();
  } catch (const EXPath_Invalid_Expression_Err& failure) {
    got = NarrowString("!") + failure.what();
  }
  EXPECT_EQ(got, join.Expected);
}

const TJoinCase kJoinCases[] = {
    {u"/Data/Folder/Folder", u"../@name[1]", "AT&T  phone"},
    {u"/Data/Folder/Folder", u"@name[1]", "2026-01-01"},
    {u"//Contact", u"Name[1]", "Anna Smith"},
    {u"//Contact/Number[1]", u"text()", "+49 30"},
    {u"//Contact/Number[1]", u"@type", "Work"},
    // Each node is trimmed before the join: the blank text still brings its separator.
    {u"//Contact", u"Number/text()", "+49 30 "},
    {u"//Contact/Number[2]", u"@type", "(empty)"},
    {u"/", u"//processing-instruction()", "kept data"},
    {u"/", u"//comment()", "split"},
    {u"/", u".", "Anna Smith\n          +4930"},
    {u"/", u"count(//Folder)", "(empty)"},
    {u"/", u"//Contact[", "!XPath expression error."},
    {u"/", u"unknown-function()", "!XPath expression error."},
    // Namespace nodes would go with their result before anyone read them.
    {u"//Contact", u"namespace::*", "!XPath expression error."},
};

INSTANTIATE_TEST_SUITE_P(Queries, JoinedValueTest, ::testing::ValuesIn(kJoinCases));

TEST_F(XPathQueriesTest, NodeListsHoldTheSelectedNodesInOrderOrAreNone) {
  const std::unique_ptr<TDomNodeList> folders =
      FService->SelectDocumentNodes(FDocument, u"/Data/Folder/Folder[Folder/@name[1]='Contacts']");
  ASSERT_NE(folders, nullptr);
  ASSERT_EQ(folders->length(), 1);
  EXPECT_EQ(folders->item(0), First(u"/Data/Folder/Folder"));

  const std::unique_ptr<TDomNodeList> numbers =
      FService->SelectNodes(FDocument, First(u"//Contact"), u"Number");
  ASSERT_NE(numbers, nullptr);
  ASSERT_EQ(numbers->length(), 2);
  EXPECT_EQ(numbers->item(1), First(u"//Number[2]"));
  EXPECT_EQ(numbers->item(2), nullptr);

  EXPECT_EQ(FService->SelectDocumentNodes(FDocument, u"//Nothing"), nullptr);
  EXPECT_EQ(FService->SelectDocumentNodes(FDocument, u"count(*)"), nullptr);
  EXPECT_THROW(FService->SelectDocumentNodes(FDocument, u"Folder["), EXPath_Invalid_Expression_Err);
}

TEST_F(XPathQueriesTest, AContextOutsideAnXPathDocumentIsRefused) {
  auto* plain = new TDomDocument(FService);
  auto* element = new TDomElement(plain, u"Data");
  plain->appendChild(element);
  EXPECT_THROW(FService->SelectNodes(FDocument, element, u"*"), ENot_Supported_Err);
}

} // namespace
} // namespace velmora
