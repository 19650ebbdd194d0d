#include "dom/dom_exceptions.h"

namespace velmora {

void RaiseTreeError(TTreeError error) {
  switch (error) {
  case teHierarchyRequest:
    throw EHierarchyRequestError("Hierarchy Request Error");
  case teNoModificationAllowed:
    throw ENoModificationAllowedError("No Modification Allowed Error");
  case teNotAssigned:
    throw ENotAssignedError("Parameter Node Not Assigned Error");
  case teNotFound:
    throw ENotFoundError("Node Not Found Error.");
  case teWrongOwner:
    throw EWrongOwnerError("Wrong Owner Error");
  }
  throw EListError("EListError");
}

void RaiseDomTreeError(TTreeError error) {
  switch (error) {
  case teHierarchyRequest:
    throw EHierarchy_Request_Err(dom_messages::kTreeHierarchyRequest);
  case teNoModificationAllowed:
    throw ENo_Modification_Allowed_Err(dom_messages::kTreeNoModificationAllowed);
  case teNotAssigned:
    throw ENot_Supported_Err(dom_messages::kTreeNodeNotSpecified);
  case teNotFound:
    throw ENot_Found_Err(dom_messages::kTreeNodeNotFound);
  case teWrongOwner:
    throw EWrong_Document_Err(dom_messages::kTreeWrongDocument);
  }
  throw EDomException("EDomException");
}

} // namespace velmora
