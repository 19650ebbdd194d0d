#pragma once
// The validation agent of a DOM Level 1 document: it holds the DTD model read from the
// document's type declaration and answers what the document asks while it is used (the
// declared type of an attribute, the content type of an element, normalized values,
// default attributes, the replacement text of an entity reference, the element of an ID),
// and it validates a whole document against the model. Without declarations it answers
// as an empty model: every attribute CDATA, every element's content ANY, no defaults, no
// IDs, and only the five predefined entities.
//
// Every expansion of entities has a budget (TExpansionBudget): an operation that would
// produce more ends with ekRecursiveEntity and FailureClue() tells why.

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

#include "dom/id_table.h"
#include "runtime/component.h"
#include "xml/dtd_model.h"
#include "xml/expansion_budget.h"

namespace velmora {

class TDomAttr;
class TDomDocument;
class TDomElement;
class TDomEntityReference;
class TDomImplementation;
class TDomNode;
class TXmlToDomParser;

// What ValidateDocument does with entity references and attribute values.
enum TDtdEntityTreatment : uint8_t {
  // Entity references are replaced by the nodes of their replacement text, attribute
  // values rewritten to their normalized form.
  etReplace = 0,
  // Entity references are filled with their content; attribute values stay.
  etFill = 1,
};

// value as an attribute-value literal that normalizes to itself: TAB, LF, CR, '"', '&'
// and '<' as references.
WideString EscapedAttributeValue(std::u16string_view value);

class TDtdValidationAgent {
public:
  // A document of none raises ENot_Supported_Err "Not supported error.".
  explicit TDtdValidationAgent(TDomDocument* document);
  TDtdValidationAgent(const TDtdValidationAgent&) = delete;
  TDtdValidationAgent& operator=(const TDtdValidationAgent&) = delete;
  virtual ~TDtdValidationAgent();

  TDomDocument* OwnerDocument() const { return FDocument; }
  TDtdModel& DtdModel() { return FModel; }
  const TDtdModel& DtdModel() const { return FModel; }

  // Adds the declared defaults the element lacks, unspecified; false when a default could
  // not be normalized.
  virtual bool AddDefaultAttributes(TDomElement* element);
  // The model reset to the predefined entities, the ID and IDREF lists emptied.
  virtual void Clear();
  // Fills an entity reference with the nodes of its replacement text, and the references
  // in them with theirs, all read-only; the error kind, 0 (or a warning) when it worked.
  // A reference that fails is left empty.
  virtual int ExpandEntityReference(TDomEntityReference* entityRef);
  // Fills every entity reference of node's subtree (node included) as one operation; the
  // first kind that is not a warning, with its reference in failed (the others are filled
  // all the same).
  int ExpandEntityReferences(TDomNode* node, TDomEntityReference** failed = nullptr);
  // What a reader of the document expects to see: every entity reference filled and every
  // attribute value normalized, each problem reported as an error record. Without
  // eoReadExternal, references to external parsed entities stay empty, as a processor that
  // reads nothing external leaves them; eoAddDefaults adds the declared defaults;
  // eoRewriteValues stores each value in its normalized form (as a literal that
  // normalizes to itself), for documents that know no declarations to get them. False
  // when a problem was fatal or reporting stopped.
  enum TExpandOption : uint8_t { eoReadExternal = 1, eoAddDefaults = 2, eoRewriteValues = 4 };
  bool ExpandDocument(uint8_t options);

  TDtdAttributeDecl* FindAttributeDecl(std::u16string_view elementType,
                                       std::u16string_view attrName) const;
  TDtdElementDecl* FindElementDecl(std::u16string_view name) const;
  TDtdEntityDecl* FindEntityDecl(std::u16string_view name) const;
  TDtdNotationDecl* FindNotationDecl(std::u16string_view name) const;
  // The replacement text of a general entity, loading an external one; the error kind.
  virtual int GetReplacementText(std::u16string_view name, WideString& text, uint64_t& key,
                                 bool& isExternal);
  // atCData for an undeclared attribute, ctAny for an undeclared element.
  virtual TDtdAttrType AttributeType(std::u16string_view elementType,
                                     std::u16string_view attrName) const;
  virtual TDtdContentType ContentType(std::u16string_view elementType) const;
  // value as an attribute-value literal of attrType: references resolved, white space as
  // spaces, and for every type but CDATA collapsed. errorKind 0 (or a warning) when it
  // worked, else the kind and an empty result.
  virtual void NormalizeAttributeValue(std::u16string_view value, TDtdAttrType attrType,
                                       int& errorKind, WideString& result);
  // The declaration's default, normalized with entities declared before it only.
  virtual void NormalizeDefaultValue(const TDtdAttributeDecl* attrDecl, WideString& result,
                                     int& errorKind);
  // The text of an external entity through the document's implementation (148 without).
  virtual void LoadExternalEntity(TDtdOrigin origin, std::u16string_view baseUri,
                                  int& errorKind, WideString& text, const WideString& systemId,
                                  const WideString& publicId);
  // Delivers a validity problem as a record without a location; whether to go on.
  virtual bool ReportValidityError(int errorKind, TDtdObject* dtdObject, TDomNode* node,
                                   std::u16string_view snippet = std::u16string_view(),
                                   std::u16string_view clue = std::u16string_view());

  // Document validation: valid turns false on a report of an error or a fatal error, go
  // on a report the error handling wants to stop at (the operation then returns).
  virtual void CheckDeclaredAttributes(TDomElement* element, bool& valid, bool& go);
  virtual void ValidateAttribute(TDomAttr* attr, TDtdEntityTreatment entityTreatment, bool& go,
                                 bool& valid);
  virtual void ValidateDtd(bool& valid, bool& go);
  virtual void ValidateElementContent(TDomElement* element, TDtdEntityTreatment entityTreatment,
                                      bool& go, bool& valid);
  virtual void ValidateEntityReference(TDomEntityReference* entityRef, bool& valid, bool& go);
  // node and its subtree, without recursion.
  virtual void ValidateNode(TDomNode* node, TDtdEntityTreatment entityTreatment, bool& go,
                            bool& valid);
  // Refills the model from the document's type declaration: its internal subset and, with
  // readExternal, its external subset and external parameter entities.
  virtual void PrepareDtdModel(bool readExternal);
  // True when no report made the document invalid.
  virtual bool ValidateDocument(TDtdEntityTreatment entityTreatment);

  // Whether the rules for standalone documents apply to entity references.
  bool StandaloneRulesApply() const;
  // Why the last operation that ended with ekRecursiveEntity did, when it was a limit.
  std::u16string_view FailureClue() const { return FFailureClue; }

  // The ID list: ID value to element, the first element with an ID keeps it.
  TDomElement* ElementById(std::u16string_view id) const { return FIds.Find(id); }
  bool AddId(const WideString& id, TDomElement* element) { return FIds.Add(id, element); }
  void DropIds(const TDomElement* element) { FIds.Drop(element); }

private:
  // Opens a budget for an operation unless one is under way (nested operations share it).
  class TBudgetScope {
  public:
    explicit TBudgetScope(TDtdValidationAgent& agent);
    ~TBudgetScope();
    TBudgetScope(const TBudgetScope&) = delete;
    TBudgetScope& operator=(const TBudgetScope&) = delete;

  private:
    TDtdValidationAgent& FAgent;
    TExpansionBudget FBudget;
    bool FOwn;
  };
  // The expansion of attribute values; declKey 0 for a value of the document, else the
  // key of the declaration whose default is expanded.
  void ExpandValue(std::u16string_view text, WideString& result, int& errorKind,
                   uint64_t declKey);
  // Fills ref and the references in its content, read-only; the first failing kind, with
  // the content dropped.
  int FillReference(TDomEntityReference* ref);
  // The content of one reference, without looking into references in it.
  int FillOne(TDomEntityReference* ref);
  void ParseInto(std::u16string_view text, TDomNode* target);
  TXmlToDomParser& FragmentParser();
  TDomImplementation* Implementation() const;
  // False (with the clue kept) once the operation's budget is spent.
  bool Charge(size_t units, size_t nodes);
  int LimitReached();

  // Validation steps.
  bool Report(int errorKind, TDtdObject* dtdObject, TDomNode* node, std::u16string_view snippet,
              bool& valid, bool& go, std::u16string_view clue = std::u16string_view());
  void HandleEntityChildren(TDomElement* element, TDtdEntityTreatment entityTreatment, bool& go,
                            bool& valid);
  // Puts the content of each of filled (children of element, in their order) in its place,
  // the references in that content included, in one pass over the children.
  static void ReplaceFilledReferences(TDomElement* element,
                                      const std::vector<TDomEntityReference*>& filled);
  void CheckContent(TDomElement* element, TDtdElementDecl& decl, bool& go, bool& valid);
  void MatchChildren(TDomElement* element, TDtdElementDecl& decl, const TDtdNameList& names,
                     bool& go, bool& valid);
  void CheckAttributeType(TDomAttr* attr, const TDtdAttributeDecl& decl, const WideString& value,
                          bool& go, bool& valid);
  void CheckAttributeDecl(TDtdAttributeDecl& decl, bool& valid, bool& go);
  void CheckDeclaredAttribute(TDomElement* element, TDtdAttributeDecl& decl, bool& valid,
                              bool& go);
  void CheckMixedDecl(TDtdElementDecl& decl, bool& valid, bool& go);
  bool AddDefault(TDomElement* element, const TDtdAttributeDecl& decl, const WideString& value);
  bool IsUnparsedEntity(std::u16string_view name) const;
  // An external entity loaded (once) through LoadExternalEntity; the kind.
  int ResolveEntity(TDtdEntityDecl& decl);

  TDomDocument* FDocument;
  TDtdModel FModel;
  TDomIdTable FIds;
  // IDREF token -> the attribute that holds it, in document order.
  std::vector<std::pair<WideString, TDomAttr*>> FIdRefs;
  // References whose problems validation reported already.
  std::unordered_set<const TDomEntityReference*> FReportedRefs;
  TExpansionBudget* FBudget = nullptr; // of the operation under way
  bool FSkipExternal = false;          // external parsed entities stay unread
  WideString FFailureClue;
  TOwned<TXmlToDomParser> FFragmentParser;
};

} // namespace velmora
