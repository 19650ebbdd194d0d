#pragma once
// The exception families of the object model. The DOM family is rooted in EDomException and
// mirrors the exception codes of DOM Level 2 Core by class, not by number; the tree family
// belongs to the generic tree layer and derives from the runtime's list error.

#include <cstdint>

#include "runtime/exceptions.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(EDomException, Exception);
VELMORA_EXCEPTION_CLASS(EIndex_Size_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EHierarchy_Request_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EWrong_Document_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EInvalid_Character_Err, EDomException);
VELMORA_EXCEPTION_CLASS(ENo_Modification_Allowed_Err, EDomException);
VELMORA_EXCEPTION_CLASS(ENot_Found_Err, EDomException);
VELMORA_EXCEPTION_CLASS(ENot_Supported_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EInuse_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EInvalid_State_Err, EDomException);
VELMORA_EXCEPTION_CLASS(ENamespace_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EWrong_DOM_Implementation_Err, EDomException);
VELMORA_EXCEPTION_CLASS(EParserException, EDomException);
VELMORA_EXCEPTION_CLASS(EXPath_Exception, EDomException);
VELMORA_EXCEPTION_CLASS(EXPath_Invalid_Expression_Err, EXPath_Exception);
VELMORA_EXCEPTION_CLASS(EXPath_Invalid_Function_Call_Err, EXPath_Exception);
VELMORA_EXCEPTION_CLASS(EXPath_Type_Err, EXPath_Exception);

VELMORA_EXCEPTION_CLASS(EHierarchyRequestError, EListError);
VELMORA_EXCEPTION_CLASS(ENoModificationAllowedError, EListError);
VELMORA_EXCEPTION_CLASS(ENotAssignedError, EListError);
VELMORA_EXCEPTION_CLASS(ENotFoundError, EListError);
VELMORA_EXCEPTION_CLASS(EWrongOwnerError, EListError);

// The messages of the DOM family, quoted exactly (with their uneven capitals and stops).
namespace dom_messages {
constexpr const char* kIndexSize = "Index size error.";
constexpr const char* kChildKindNotAllowed =
    "Nodes of type %s are not allowed as children of nodes of type %s";
constexpr const char* kTreeHierarchyRequest = "EHierarchy request error.";
constexpr const char* kHierarchyRequest = "Hierarchy request error.";
constexpr const char* kTreeWrongDocument = "Wrong document.";
constexpr const char* kWrongDocument = "Wrong document error.";
constexpr const char* kInvalidCharacter = "Invalid character error.";
constexpr const char* kTreeNoModificationAllowed = "No modification allowed.";
constexpr const char* kNoModificationAllowed = "No modification allowed error.";
constexpr const char* kTreeNodeNotFound = "Node not found.";
constexpr const char* kNodeNotFound = "Node not found error.";
constexpr const char* kNotFound = "Not found error.";
constexpr const char* kNoResourceResolver = "No resource resolver assigned to DOM implementation.";
constexpr const char* kTreeNodeNotSpecified = "Node not specified.";
constexpr const char* kNotSupported = "Not supported error.";
constexpr const char* kEncodingNotSupported = "Encoding not supported error.";
constexpr const char* kInuseNode = "Inuse node error.";
constexpr const char* kInuseAttribute = "Inuse attribute error.";
constexpr const char* kContentModelInUse = "Content model in use error.";
constexpr const char* kInvalidState = "Invalid state error.";
constexpr const char* kNamespace = "Namespace error.";
constexpr const char* kWrongDomImplementation = "Wrong DOM implementation error.";
constexpr const char* kParserError = "Parser error.";
} // namespace dom_messages

// The failures of the generic tree layer's checks.
enum TTreeError : uint8_t {
  teHierarchyRequest,      // a node inserted into itself, its descendant or before itself
  teNoModificationAllowed, // a read-only parent or old parent
  teNotAssigned,           // a node argument is none
  teNotFound,              // the reference or old child is not a child
  teWrongOwner,            // the new child belongs to another owner
};

// Raises the tree family's class with its own message, as a plain tree node does
// (EHierarchyRequestError "Hierarchy Request Error", ...).
[[noreturn]] void RaiseTreeError(TTreeError error);

// Raises the DOM class that stands for a tree failure, with its DOM message, as every DOM
// node does (EHierarchy_Request_Err "EHierarchy request error.", ...).
[[noreturn]] void RaiseDomTreeError(TTreeError error);

} // namespace velmora
