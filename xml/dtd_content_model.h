#pragma once
// Content models of element type declarations: a choice, a sequence or one element name,
// with a frequency, and the greedy matching of an element's children against them. A
// model belongs to its element declaration; a parent model only points to its sub-models.
// Models nest at most kMaxContentModelDepth deep, which bounds every recursion over them.

#include <vector>

#include "xml/dtd_objects.h"

namespace velmora {

class TDtdElementDecl;

// The names of an element's children, in order.
using TDtdNameList = std::vector<std::u16string_view>;

class TDtdContentModel final : public TDtdObject {
public:
  // The name is the element name of a cmElement model and empty otherwise.
  TDtdContentModel(TDtdElementDecl* ownerElementDecl, WideString name, TDtdContentModelKind kind);

  TDtdContentModelKind Kind() const { return FKind; }
  TDtdContentModelKinds AllowedSubModelKinds() const;
  TDtdFrequency Frequency() const { return FFrequency; }
  void SetFrequency(TDtdFrequency frequency) { FFrequency = frequency; }
  // Set while the model is a sub-model or the content model of its declaration.
  bool InUse() const { return FInUse; }
  void SetInUse(bool inUse) { FInUse = inUse; }
  TDtdElementDecl* OwnerElementDecl() const { return FOwnerElementDecl; }
  int SubModelCount() const { return FSubModels.Count(); }
  TDtdContentModel* SubModel(int index) const;

  // Each matcher moves index past the names it matched and never backtracks; once
  // ambiguous is set (two alternatives of a choice consumed names) every matcher fails.
  bool MatchChoice(const TDtdNameList& names, size_t& index, bool& ambiguous, bool optional) const;
  bool MatchElement(const TDtdNameList& names, size_t& index, bool& ambiguous,
                    bool optional) const;
  // By kind, required.
  bool Match(const TDtdNameList& names, size_t& index, bool& ambiguous) const;
  // With the model's frequency.
  bool MatchRepeated(const TDtdNameList& names, size_t& index, bool& ambiguous) const;
  bool MatchSequence(const TDtdNameList& names, size_t& index, bool& ambiguous,
                     bool optional) const;

  // A model already in use raises EInuse_Err "Content model in use error.".
  void AppendSubModel(TDtdContentModel* model);
  void InsertSubModel(TDtdContentModel* model, TDtdContentModel* before);
  // A model that is no sub-model raises ENot_Found_Err "Node not found error.".
  void RemoveSubModel(TDtdContentModel* model);

private:
  bool MatchKind(const TDtdNameList& names, size_t& index, bool& ambiguous, bool optional) const;

  TDtdElementDecl* FOwnerElementDecl;
  TDtdContentModelKind FKind;
  TDtdFrequency FFrequency = frOnce;
  bool FInUse = false;
  TDtdObjectList FSubModels;
};

// Build the content model of decl from its text as declared: "(#PCDATA)",
// "(#PCDATA|a|b)*" as a choice of element names, any other model as nested choices and
// sequences. A text of the wrong shape raises EParserException "Parser error.".
void BuildMixedModel(TDtdElementDecl& decl, std::u16string_view written);
void BuildChildrenModel(TDtdElementDecl& decl, std::u16string_view written);

} // namespace velmora
