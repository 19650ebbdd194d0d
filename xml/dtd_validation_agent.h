#pragma once
// The validation agent of a DOM Level 1 document: what the document's type declaration says
// about attribute types, content, default attributes, entities and IDs. Until a document
// type declaration has been read into it, it answers as an empty model does: every
// attribute is CDATA, every element's content ANY, no defaults, no IDs, and only the five
// predefined entities.

#include <cstdint>

#include "dom/wide_string_list.h"
#include "runtime/strings.h"
#include "xml/dtd_types.h"

namespace velmora {

class TDomDocument;
class TDomDocumentTypeDecl;
class TDomElement;
class TDomEntityReference;

class TDtdValidationAgent {
public:
  // A document of none raises ENot_Supported_Err "Not supported error.".
  explicit TDtdValidationAgent(TDomDocument* document);
  TDtdValidationAgent(const TDtdValidationAgent&) = delete;
  TDtdValidationAgent& operator=(const TDtdValidationAgent&) = delete;
  virtual ~TDtdValidationAgent() = default;

  TDomDocument* OwnerDocument() const { return FDocument; }

  // Reads the declarations of doctype's internal subset (with readExternal also the
  // external subset and external parameter entities) into the model; false when that
  // failed. The empty model has nothing to read.
  virtual bool PrepareDtdModel(TDomDocumentTypeDecl* doctype, bool readExternal);
  // Adds the declared default attributes to element; whether all went well.
  virtual bool AddDefaultAttributes(TDomElement* element);
  // Fills an entity reference with the nodes of its replacement text; the error kind, 0
  // when it worked.
  virtual int ExpandEntityReference(TDomEntityReference* entityRef);
  virtual TDtdAttrType AttributeType(std::u16string_view elementType,
                                     std::u16string_view attrName) const;
  virtual TDtdContentType ContentType(std::u16string_view elementType) const;
  virtual void NormalizeAttributeValue(std::u16string_view value, TDtdAttrType attrType,
                                       int& errorKind, WideString& result);
  virtual void Clear();

  // The ID list: ID value to element, sorted, no duplicates.
  TDomElement* ElementById(std::u16string_view id) const;
  // Stores element under id; false when the ID is taken.
  bool AddId(const WideString& id, TDomElement* element);
  // element goes: its IDs go with it.
  void DropIds(const TDomElement* element);

private:
  TDomDocument* FDocument;
  TUtilsWideStringList FIds{true, dupError};
};

} // namespace velmora
