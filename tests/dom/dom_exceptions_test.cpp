#include "dom/dom_exceptions.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct TTreeCase {
  TTreeError Error;
  const char* TreeClass;
  const char* TreeMessage;
  const char* DomClass;
  const char* DomMessage;
};

TEST(TreeErrors, PlainAndDomNodesRaiseTheirOwnClassesAndMessages) {
  const TTreeCase cases[] = {
      {teHierarchyRequest, "EHierarchyRequestError", "Hierarchy Request Error",
       "EHierarchy_Request_Err", "EHierarchy request error."},
      {teNoModificationAllowed, "ENoModificationAllowedError", "No Modification Allowed Error",
       "ENo_Modification_Allowed_Err", "No modification allowed."},
      {teNotAssigned, "ENotAssignedError", "Parameter Node Not Assigned Error",
       "ENot_Supported_Err", "Node not specified."},
      {teNotFound, "ENotFoundError", "Node Not Found Error.", "ENot_Found_Err", "Node not found."},
      {teWrongOwner, "EWrongOwnerError", "Wrong Owner Error", "EWrong_Document_Err",
       "Wrong document."},
  };
  for (const TTreeCase& c : cases) {
    try {
      RaiseTreeError(c.Error);
    } catch (const EDomException&) {
      ADD_FAILURE() << "a tree error is no DOM exception: " << c.TreeClass;
    } catch (const EListError& error) {
      EXPECT_STREQ(error.ClassName(), c.TreeClass);
      EXPECT_STREQ(error.what(), c.TreeMessage);
    }
    try {
      RaiseDomTreeError(c.Error);
    } catch (const EDomException& error) {
      EXPECT_STREQ(error.ClassName(), c.DomClass);
      EXPECT_STREQ(error.what(), c.DomMessage);
    }
  }
}

TEST(DomExceptions, EveryClassIsCaughtAsEDomException) {
  const auto raise = [](int which) {
    switch (which) {
    case 0:
      throw EIndex_Size_Err(dom_messages::kIndexSize);
    case 1:
      throw EInuse_Err(dom_messages::kInuseNode);
    case 2:
      throw EInvalid_State_Err(dom_messages::kInvalidState);
    case 3:
      throw ENamespace_Err(dom_messages::kNamespace);
    case 4:
      throw EWrong_DOM_Implementation_Err(dom_messages::kWrongDomImplementation);
    case 5:
      throw EParserException(dom_messages::kParserError);
    case 6:
      throw EXPath_Type_Err("x");
    default:
      throw EXPath_Invalid_Function_Call_Err("y");
    }
  };
  for (int which = 0; which < 8; ++which) {
    EXPECT_THROW(raise(which), EDomException);
  }
  EXPECT_THROW(raise(6), EXPath_Exception);
  EXPECT_THROW(raise(7), EXPath_Exception);
}

} // namespace
} // namespace velmora
