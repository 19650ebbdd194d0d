#include "xml/dtd_content_model.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xml/dtd_declarations.h"
#include "xml/element_cm_tokenizer.h"
#include "xml/parse_errors.h"

namespace velmora {

TDtdContentModel::TDtdContentModel(TDtdElementDecl* ownerElementDecl, WideString name,
                                   TDtdContentModelKind kind)
    : TDtdObject(ownerElementDecl ? ownerElementDecl->OwnerModel() : nullptr,
                 kind == cmElement ? std::move(name) : WideString(), otContentModel),
      FOwnerElementDecl(ownerElementDecl), FKind(kind) {}

TDtdContentModelKinds TDtdContentModel::AllowedSubModelKinds() const {
  if (FKind == cmElement) {
    return 0;
  }
  return ContentModelKindBit(cmChoice) | ContentModelKindBit(cmElement) |
         ContentModelKindBit(cmSequence);
}

TDtdContentModel* TDtdContentModel::SubModel(int index) const {
  return static_cast<TDtdContentModel*>(FSubModels.Item(index));
}

void TDtdContentModel::AppendSubModel(TDtdContentModel* model) {
  InsertSubModel(model, nullptr);
}

void TDtdContentModel::InsertSubModel(TDtdContentModel* model, TDtdContentModel* before) {
  if (model->InUse()) {
    throw EInuse_Err(dom_messages::kContentModelInUse);
  }
  if ((AllowedSubModelKinds() & ContentModelKindBit(model->Kind())) == 0) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
  FSubModels.Insert(model, before);
  model->SetInUse(true);
}

void TDtdContentModel::RemoveSubModel(TDtdContentModel* model) {
  if (FSubModels.IndexOf(model) < 0) {
    throw ENot_Found_Err(dom_messages::kNodeNotFound);
  }
  FSubModels.Remove(model);
  model->SetInUse(false);
}

bool TDtdContentModel::MatchElement(const TDtdNameList& names, size_t& index, bool& ambiguous,
                                    bool optional) const {
  if (ambiguous) {
    return false;
  }
  if (index < names.size() && names[index] == GetName()) {
    ++index;
    return true;
  }
  return optional;
}

bool TDtdContentModel::MatchSequence(const TDtdNameList& names, size_t& index, bool& ambiguous,
                                     bool optional) const {
  size_t reached = index;
  for (int i = 0; i < SubModelCount(); ++i) {
    if (!SubModel(i)->MatchRepeated(names, reached, ambiguous)) {
      return optional && !ambiguous;
    }
  }
  if (ambiguous) {
    return false;
  }
  index = reached;
  return true;
}

bool TDtdContentModel::MatchChoice(const TDtdNameList& names, size_t& index, bool& ambiguous,
                                   bool optional) const {
  bool matched = false;
  bool consumed = false;
  size_t end = index;
  for (int i = 0; i < SubModelCount() && !ambiguous; ++i) {
    size_t reached = index;
    if (!SubModel(i)->MatchRepeated(names, reached, ambiguous)) {
      continue;
    }
    matched = true;
    if (reached == index) {
      continue;
    }
    if (consumed) {
      ambiguous = true; // a second alternative that takes names
      break;
    }
    consumed = true;
    end = reached;
  }
  if (ambiguous) {
    return false;
  }
  if (matched) {
    index = end;
    return true;
  }
  return optional;
}

bool TDtdContentModel::MatchKind(const TDtdNameList& names, size_t& index, bool& ambiguous,
                                 bool optional) const {
  switch (FKind) {
  case cmChoice:
    return MatchChoice(names, index, ambiguous, optional);
  case cmElement:
    return MatchElement(names, index, ambiguous, optional);
  case cmSequence:
    return MatchSequence(names, index, ambiguous, optional);
  }
  return !ambiguous;
}

bool TDtdContentModel::Match(const TDtdNameList& names, size_t& index, bool& ambiguous) const {
  return MatchKind(names, index, ambiguous, false);
}

bool TDtdContentModel::MatchRepeated(const TDtdNameList& names, size_t& index,
                                     bool& ambiguous) const {
  switch (FFrequency) {
  case frOnce:
    return MatchKind(names, index, ambiguous, false);
  case frOptional:
    return MatchKind(names, index, ambiguous, true);
  case frOneOrMore:
  case frZeroOrMore:
    break;
  }
  if (!MatchKind(names, index, ambiguous, FFrequency == frZeroOrMore)) {
    return false;
  }
  // Again while names remain and each round takes some: a model that matches nothing
  // cannot loop.
  while (index < names.size()) {
    size_t reached = index;
    if (!MatchKind(names, reached, ambiguous, false) || reached == index) {
      break;
    }
    index = reached;
  }
  return !ambiguous;
}

namespace {

[[noreturn]] void RaiseParserError() {
  throw EParserException(dom_messages::kParserError);
}

TDtdFrequency FrequencyOf(std::u16string_view occurrence) {
  if (occurrence == u"?") {
    return frOptional;
  }
  return occurrence == u"*" ? frZeroOrMore : frOneOrMore;
}

} // namespace

void BuildMixedModel(TDtdElementDecl& decl, std::u16string_view written) {
  WideString text = trimWhiteSpace(written);
  TDtdFrequency frequency = frOnce;
  if (!text.empty() && text.back() == u'*') {
    text.pop_back();
    frequency = frZeroOrMore;
  }
  WideString inner;
  bool failed = false;
  if (text.empty() || text.back() != u')') {
    RaiseParserError();
  }
  unwrapParentheses(text, inner, failed);
  if (failed || inner.empty()) {
    RaiseParserError();
  }
  TDtdContentModel* model = decl.CreateContentModel(u"", cmChoice);
  model->SetFrequency(frequency);
  decl.SetContentModel(model);
  if (inner == u"#PCDATA") {
    return;
  }
  const size_t bar = inner.find(u'|');
  if (frequency != frZeroOrMore || bar == WideString::npos || inner.back() == u'|') {
    RaiseParserError();
  }
  const std::u16string_view names = std::u16string_view(inner).substr(bar + 1);
  size_t start = 0;
  for (;;) {
    const size_t end = names.find(u'|', start);
    const WideString name = trimWhiteSpace(names.substr(start, end - start));
    if (name.empty() || !conformsToName(name)) {
      RaiseParserError();
    }
    model->AppendSubModel(decl.CreateContentModel(name, cmElement));
    if (end == std::u16string_view::npos) {
      return;
    }
    start = end + 1;
  }
}

void BuildChildrenModel(TDtdElementDecl& decl, std::u16string_view written) {
  // One pass over the tokens: each open group collects its particles, and becomes a choice
  // or a sequence when it closes, by its separator.
  struct TOpenGroup {
    std::vector<TDtdContentModel*> Particles;
    char16_t Separator = 0;
  };
  std::vector<TOpenGroup> open;
  TDtdContentModel* last = nullptr; // what an occurrence indicator would apply to
  TDtdContentModel* top = nullptr;
  bool afterParticle = false; // a separator or ")" may follow
  TXmlElementCMTokenizer tokenizer(written);
  for (;;) {
    tokenizer.NextToken();
    if (tokenizer.ErrorType() != 0 && SeverityOf(tokenizer.ErrorType()) == svFatal) {
      RaiseParserError();
    }
    const std::u16string_view text = tokenizer.TokenText();
    switch (tokenizer.TokenType()) {
    case cmtOpenParen:
      if (top || afterParticle || open.size() >= kMaxContentModelDepth) {
        RaiseParserError();
      }
      open.emplace_back();
      last = nullptr;
      break;
    case cmtName:
      if (open.empty() || afterParticle) {
        RaiseParserError();
      }
      last = decl.CreateContentModel(WideString(text), cmElement);
      open.back().Particles.push_back(last);
      afterParticle = true;
      break;
    case cmtOccurrence:
      if (!last) {
        RaiseParserError();
      }
      last->SetFrequency(FrequencyOf(text));
      last = nullptr;
      break;
    case cmtSeparator: {
      if (open.empty() || !afterParticle) {
        RaiseParserError();
      }
      char16_t& separator = open.back().Separator;
      if (separator != 0 && separator != text[0]) {
        RaiseParserError();
      }
      separator = text[0];
      last = nullptr;
      afterParticle = false;
      break;
    }
    case cmtCloseParen: {
      if (open.empty() || !afterParticle) {
        RaiseParserError();
      }
      TDtdContentModel* group = decl.CreateContentModel(
          u"", open.back().Separator == u'|' ? cmChoice : cmSequence);
      for (TDtdContentModel* particle : open.back().Particles) {
        group->AppendSubModel(particle);
      }
      open.pop_back();
      if (open.empty()) {
        top = group;
      } else {
        open.back().Particles.push_back(group);
      }
      last = group;
      break;
    }
    case cmtEnd:
      if (!open.empty() || !top) {
        RaiseParserError();
      }
      decl.SetContentModel(top);
      return;
    default:
      RaiseParserError();
    }
  }
}

} // namespace velmora
