#include "xml/dtd_declarations.h"

#include <algorithm>
#include <unordered_map>

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xml/attr_value_tokenizer.h"
#include "xml/dtd_model.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

WideString CheckedName(WideString name) {
  if (!conformsToName(name)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
  return name;
}

// Short enumerations are searched in place; longer ones through a hash set.
constexpr size_t kIndexedEnumeration = 8;

} // namespace

TDtdAttributeDecl::TDtdAttributeDecl(TDtdAttDeclCollection* ownerCollection, WideString name,
                                     WideString defaultValue, TDtdOrigin origin,
                                     TDtdDefaultKind defaultKind, TDtdAttrType attrType,
                                     std::vector<WideString> enumeration)
    : TDtdObject(ownerCollection ? ownerCollection->OwnerModel() : nullptr,
                 CheckedName(std::move(name)), otAttributeDecl),
      FAttrType(attrType), FDefaultValue(std::move(defaultValue)), FDefaultKind(defaultKind),
      FEnumeration(std::move(enumeration)), FOrigin(origin), FOwnerCollection(ownerCollection) {}

bool TDtdAttributeDecl::HasEnumToken(std::u16string_view token) const {
  if (FEnumeration.size() <= kIndexedEnumeration) {
    return std::find(FEnumeration.begin(), FEnumeration.end(), token) != FEnumeration.end();
  }
  if (!FEnumIndex) {
    FEnumIndex = std::make_unique<std::unordered_set<std::u16string_view>>(FEnumeration.begin(),
                                                                          FEnumeration.end());
  }
  return FEnumIndex->count(token) != 0;
}

TDtdAttDeclCollection::TDtdAttDeclCollection(TDtdModel* ownerModel, WideString elementType)
    : TDtdObject(ownerModel, CheckedName(std::move(elementType)), otAttListDecl),
      FDecls(ownerModel) {}

TDtdAttDeclCollection::~TDtdAttDeclCollection() {
  Clear();
}

void TDtdAttDeclCollection::Clear() {
  for (int i = Count() - 1; i >= 0; --i) {
    delete Item(i);
  }
  FDecls.Clear();
}

TDtdAttributeDecl* TDtdAttDeclCollection::FindAttributeDecl(std::u16string_view name) const {
  return static_cast<TDtdAttributeDecl*>(FDecls.Find(name));
}

bool TDtdAttDeclCollection::RemoveAttributeDecl(std::u16string_view name) {
  if (!FDecls.Find(name)) {
    return false;
  }
  delete FDecls.RemoveNamed(name);
  return true;
}

bool TDtdAttDeclCollection::AddAttributeDecl(std::u16string_view name,
                                             std::u16string_view defaultValue,
                                             TDtdAttributeDecl*& decl, TDtdOrigin origin,
                                             TDtdDefaultKind defaultKind, TDtdAttrType attrType,
                                             const std::vector<WideString>& enumeration) {
  decl = FindAttributeDecl(name);
  if (decl) {
    return false;
  }
  auto created = std::make_unique<TDtdAttributeDecl>(this, WideString(name),
                                                     WideString(defaultValue), origin,
                                                     defaultKind, attrType, enumeration);
  FDecls.Add(created.get());
  decl = created.release();
  return true;
}

TDtdElementDecl::TDtdElementDecl(TDtdModel* ownerModel, WideString name,
                                 TDtdContentType contentType, TDtdOrigin origin)
    : TDtdObject(ownerModel, CheckedName(std::move(name)), otElementDecl), FOrigin(origin),
      FContentType(contentType) {}

TDtdContentModelKinds TDtdElementDecl::AllowedContentModelKinds() const {
  if (FContentType == ctAny || FContentType == ctEmpty) {
    return 0;
  }
  return ContentModelKindBit(cmChoice) | ContentModelKindBit(cmSequence);
}

void TDtdElementDecl::ClearContentModels() {
  FContentModel = nullptr;
  FCreatedModels.clear();
}

TDtdContentModel* TDtdElementDecl::CreateContentModel(std::u16string_view name,
                                                      TDtdContentModelKind kind) {
  FCreatedModels.push_back(std::make_unique<TDtdContentModel>(this, WideString(name), kind));
  return FCreatedModels.back().get();
}

void TDtdElementDecl::FreeContentModel(TDtdContentModel*& model) {
  if (!model) {
    return;
  }
  if (model->InUse()) {
    throw EInuse_Err(dom_messages::kContentModelInUse);
  }
  // The model and everything below it, each detached from its parent: no recursion.
  std::unordered_set<const TDtdContentModel*> going{model};
  std::vector<TDtdContentModel*> pending{model};
  while (!pending.empty()) {
    TDtdContentModel* parent = pending.back();
    pending.pop_back();
    while (parent->SubModelCount() > 0) {
      TDtdContentModel* sub = parent->SubModel(parent->SubModelCount() - 1);
      parent->RemoveSubModel(sub);
      if (going.insert(sub).second) {
        pending.push_back(sub);
      }
    }
  }
  std::erase_if(FCreatedModels, [&](const std::unique_ptr<TDtdContentModel>& created) {
    return going.count(created.get()) != 0;
  });
  model = nullptr;
}

TDtdContentModel* TDtdElementDecl::SetContentModel(TDtdContentModel* model) {
  if (model) {
    if (model->OwnerElementDecl() != this) {
      throw ENot_Supported_Err("Not supported error: Wrong owner element declaration.");
    }
    if ((AllowedContentModelKinds() & ContentModelKindBit(model->Kind())) == 0) {
      throw ENot_Supported_Err(dom_messages::kNotSupported);
    }
    if (model->InUse()) {
      throw EInuse_Err(dom_messages::kContentModelInUse);
    }
    model->SetInUse(true);
  }
  TDtdContentModel* previous = FContentModel;
  if (previous) {
    previous->SetInUse(false);
  }
  FContentModel = model;
  return previous;
}

TDtdEntityDecl::TDtdEntityDecl(TDtdModel* ownerModel, WideString name, std::u16string_view value,
                               TDtdOrigin origin, WideString baseUri, WideString notationName,
                               WideString systemId, WideString publicId)
    : TDtdObject(ownerModel, CheckedName(std::move(name)), otEntityDecl),
      FBaseUri(std::move(baseUri)), FNotationName(std::move(notationName)), FOrigin(origin),
      FPublicId(std::move(publicId)), FSystemId(std::move(systemId)) {
  switch (Category()) {
  case ecInternal:
    SetReplacementText(value);
    break;
  case ecPredefined:
    FReplacementText = WideString(value);
    FResolved = true;
    break;
  case ecExternal:
    break;
  }
}

TDtdEntityCategory TDtdEntityDecl::Category() const {
  if (!FPublicId.empty() || !FSystemId.empty() || !FNotationName.empty()) {
    return ecExternal;
  }
  return isPredefinedEntityName(GetName()) ? ecPredefined : ecInternal;
}

void TDtdEntityDecl::SetReplacementText(std::u16string_view text) {
  FReplacementText = WideString(text);
  FResolved = true;
  FReferencedEntities.clear();
  std::unordered_set<std::u16string_view> seen;
  TXmlAttrValueTokenizer tokenizer(FReplacementText);
  for (tokenizer.NextToken(); tokenizer.TokenType() != avtEnd; tokenizer.NextToken()) {
    if (tokenizer.TokenType() == avtEntityRef && seen.insert(tokenizer.TokenText()).second) {
      FReferencedEntities.emplace_back(tokenizer.TokenText());
    }
  }
  OwnerModel()->Changed();
}

int TDtdEntityDecl::Resolve(const TDtdEntityLoader& loader) {
  if (!IsExternal() || FResolved) {
    return ekNone;
  }
  if (!IsParsed()) {
    return ekUnparsedEntityReference;
  }
  int kind = ekNone;
  WideString text;
  loader(FOrigin, FBaseUri, kind, text, FSystemId, FPublicId);
  if (SeverityOf(kind) == svWarning) {
    SetReplacementText(text);
  }
  return kind;
}

// A depth-first search along the references, with an explicit stack: entities on the way
// are open, entities whose references were all followed are done (and recursion-free).
class TDtdRecursionCheck {
public:
  TDtdRecursionCheck(const TDtdEntityDecl& start, const std::vector<WideString>& visited)
      : FStart(start), FModel(*start.OwnerModel()), FVisited(visited.begin(), visited.end()),
        FUseCache(visited.empty()) {}

  bool Run() {
    const uint64_t generation = FModel.Generation();
    if (FUseCache && FStart.FCheckedGeneration == generation) {
      return FStart.FRecursionFree;
    }
    const bool free = Search(generation);
    if (FUseCache) {
      // An entity whose references were all followed reaches no cycle, whatever the
      // search found elsewhere.
      for (const auto& [entity, open] : FState) {
        if (!open) {
          entity->FCheckedGeneration = generation;
          entity->FRecursionFree = true;
        }
      }
      FStart.FCheckedGeneration = generation;
      FStart.FRecursionFree = free;
    }
    return free;
  }

private:
  struct TFrame {
    const TDtdEntityDecl* Entity;
    size_t Next = 0;
  };

  bool Search(uint64_t generation) {
    std::vector<TFrame> stack{{&FStart}};
    FState[&FStart] = true;
    while (!stack.empty()) {
      TFrame& frame = stack.back();
      const std::vector<WideString>& references = frame.Entity->ReferencedEntities();
      if (frame.Next == references.size()) {
        FState[frame.Entity] = false;
        stack.pop_back();
        continue;
      }
      const WideString& name = references[frame.Next++];
      if (FVisited.count(name) != 0) {
        return false;
      }
      const TDtdEntityDecl* next = FModel.FindEntityDecl(name);
      if (!next) {
        continue; // an undeclared name is not recursion
      }
      const auto state = FState.find(next);
      if (state != FState.end()) {
        if (state->second) {
          return false; // back to an entity on the way
        }
        continue;
      }
      if (FUseCache && next->FCheckedGeneration == generation) {
        if (!next->FRecursionFree) {
          return false;
        }
        continue;
      }
      FState[next] = true;
      stack.push_back({next});
    }
    return true;
  }

  const TDtdEntityDecl& FStart;
  const TDtdModel& FModel;
  std::unordered_set<std::u16string_view> FVisited;
  bool FUseCache;
  // true while open, false when done.
  std::unordered_map<const TDtdEntityDecl*, bool> FState;
};

bool TDtdEntityDecl::IsRecursionFree(const std::vector<WideString>& visited) const {
  return TDtdRecursionCheck(*this, visited).Run();
}

bool TDtdEntityDecl::CheckRecursion() const {
  return IsRecursionFree({});
}

TDtdNotationDecl::TDtdNotationDecl(TDtdModel* ownerModel, WideString name, WideString publicId,
                                   WideString systemId, TDtdOrigin origin)
    : TDtdObject(ownerModel, CheckedName(std::move(name)), otNotationDecl), FOrigin(origin),
      FPublicId(std::move(publicId)), FSystemId(std::move(systemId)) {
  if (!conformsToPubidChars(FPublicId) || !conformsToSystemLiteralChars(FSystemId)) {
    throw EInvalid_Character_Err(dom_messages::kInvalidCharacter);
  }
}

} // namespace velmora
