#include "xml/dtd_validation_agent.h"

#include "dom/document.h"
#include "dom/element.h"
#include "dom/other_nodes.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"
#include "runtime/streams.h"
#include "xml/dtd_model_parser.h"
#include "xml/input_sources.h"
#include "xml/parse_errors.h"
#include "xml/utf_codecs.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora {

namespace {

bool IsWarning(int kind) {
  return SeverityOf(kind) == svWarning;
}

// Text that becomes one text node as it stands: no markup, no references, nothing a parse
// could refuse.
bool IsPlainText(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c == u'<' || c == u'&' || c == u']' || !isXmlCharUnit(c)) {
      return false;
    }
  }
  return true;
}

void FreeChildren(TDomNode* node) {
  while (TDomNode* child = node->lastChild()) {
    node->removeChild(child);
    child->Free();
  }
}

} // namespace

WideString EscapedAttributeValue(std::u16string_view value) {
  WideString out;
  out.reserve(value.size());
  for (const char16_t c : value) {
    switch (c) {
    case u'\t':
      out += u"&#x9;";
      break;
    case u'\n':
      out += u"&#xA;";
      break;
    case u'\r':
      out += u"&#xD;";
      break;
    case u'"':
      out += u"&quot;";
      break;
    case u'&':
      out += u"&amp;";
      break;
    case u'<':
      out += u"&lt;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

TDtdValidationAgent::TBudgetScope::TBudgetScope(TDtdValidationAgent& agent)
    : FAgent(agent), FOwn(agent.FBudget == nullptr) {
  if (FOwn) {
    agent.FBudget = &FBudget;
    agent.FFailureClue.clear();
  }
}

TDtdValidationAgent::TBudgetScope::~TBudgetScope() {
  if (FOwn) {
    FAgent.FBudget = nullptr;
  }
}

TDtdValidationAgent::TDtdValidationAgent(TDomDocument* document) : FDocument(document) {
  if (!document) {
    throw ENot_Supported_Err(dom_messages::kNotSupported);
  }
}

TDtdValidationAgent::~TDtdValidationAgent() = default;

TDomImplementation* TDtdValidationAgent::Implementation() const {
  return FDocument->implementation();
}

bool TDtdValidationAgent::Charge(size_t units, size_t nodes) {
  return FBudget->ChargeUnits(units) && FBudget->ChargeNodes(nodes);
}

int TDtdValidationAgent::LimitReached() {
  FFailureClue = WideString(TExpansionBudget::kExpansionLimitClue);
  return ekRecursiveEntity;
}

void TDtdValidationAgent::Clear() {
  FModel.Reset();
  FIds.Clear();
  FIdRefs.clear();
  FReportedRefs.clear();
}

TDtdAttributeDecl* TDtdValidationAgent::FindAttributeDecl(std::u16string_view elementType,
                                                          std::u16string_view attrName) const {
  return FModel.FindAttributeDecl(elementType, attrName);
}

TDtdElementDecl* TDtdValidationAgent::FindElementDecl(std::u16string_view name) const {
  return FModel.FindElementDecl(name);
}

TDtdEntityDecl* TDtdValidationAgent::FindEntityDecl(std::u16string_view name) const {
  return FModel.FindEntityDecl(name);
}

TDtdNotationDecl* TDtdValidationAgent::FindNotationDecl(std::u16string_view name) const {
  return FModel.FindNotationDecl(name);
}

TDtdAttrType TDtdValidationAgent::AttributeType(std::u16string_view elementType,
                                                std::u16string_view attrName) const {
  const TDtdAttributeDecl* decl = FModel.FindAttributeDecl(elementType, attrName);
  return decl ? decl->AttrType() : atCData;
}

TDtdContentType TDtdValidationAgent::ContentType(std::u16string_view elementType) const {
  const TDtdElementDecl* decl = FModel.FindElementDecl(elementType);
  return decl ? decl->ContentType() : ctAny;
}

bool TDtdValidationAgent::StandaloneRulesApply() const {
  const TDomNode* node = FDocument->doctype();
  if (!node) {
    return true;
  }
  const auto* doctype = static_cast<const TDomDocumentTypeDecl*>(node);
  if (!doctype->systemId().empty() || !doctype->publicId().empty()) {
    return FDocument->xmlStandalone() == 0;
  }
  return !FModel.HasIntSubsetPERefs();
}

void TDtdValidationAgent::LoadExternalEntity(TDtdOrigin origin, std::u16string_view baseUri,
                                             int& errorKind, WideString& text,
                                             const WideString& systemId,
                                             const WideString& publicId) {
  text.clear();
  TDomImplementation* implementation = Implementation();
  if (!implementation) {
    errorKind = ekResourceNotFound;
    return;
  }
  WideString resolved;
  if (!resolveUri(baseUri, systemId, resolved)) {
    resolved = systemId;
  }
  const WideString& base =
      origin == orExternal ? FModel.ExtSubsetSystemId() : FModel.IntSubsetSystemId();
  try {
    implementation->loadExternalText(base, publicId, errorKind, text, resolved);
  } catch (const ENot_Found_Err&) {
    errorKind = ekResourceNotFound; // no resolver: nothing can be opened
    text.clear();
  }
}

int TDtdValidationAgent::ResolveEntity(TDtdEntityDecl& decl) {
  return decl.Resolve([this](TDtdOrigin origin, std::u16string_view baseUri, int& errorKind,
                             WideString& loaded, const WideString& systemId,
                             const WideString& publicId) {
    LoadExternalEntity(origin, baseUri, errorKind, loaded, systemId, publicId);
  });
}

int TDtdValidationAgent::GetReplacementText(std::u16string_view name, WideString& text,
                                            uint64_t& key, bool& isExternal) {
  text.clear();
  TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
  if (!decl) {
    return StandaloneRulesApply() ? ekUndeclaredEntityWf : ekUndeclaredEntity;
  }
  isExternal = decl->IsExternal();
  key = decl->Key();
  const int kind = ResolveEntity(*decl);
  if (!IsWarning(kind)) {
    return kind;
  }
  if (!decl->CheckRecursion()) {
    return ekRecursiveEntity;
  }
  text = decl->ReplacementText();
  if (decl->Origin() == orExternal && StandaloneRulesApply()) {
    return ekExternalEntityInStandalone;
  }
  return ekNone;
}

void TDtdValidationAgent::ExpandValue(std::u16string_view text, WideString& result,
                                      int& errorKind, uint64_t declKey) {
  TBudgetScope scope(*this);
  errorKind = ekNone;
  result.clear();
  const auto fail = [&](int kind) {
    errorKind = kind;
    result.clear();
  };
  // The texts being expanded, innermost last: a replacement text refers to the entity
  // declaration, which stays while the value is expanded.
  struct TFrame {
    std::u16string_view Text;
    size_t Position;
  };
  std::vector<TFrame> open{{text, 0}};
  while (!open.empty()) {
    const std::u16string_view current = open.back().Text;
    size_t i = open.back().Position;
    const size_t start = i;
    for (; i < current.size() && current[i] != u'&'; ++i) {
      const char16_t c = current[i];
      if (c == u'<') {
        return fail(ekLessThanInAttributeValue);
      }
      if (!isXmlCharUnit(c)) {
        return fail(ekInvalidCharInAttributeValue);
      }
      result += isWhiteSpaceChar(c) ? u' ' : c;
    }
    if (!Charge(i - start, 0)) {
      return fail(LimitReached());
    }
    if (i == current.size()) {
      open.pop_back();
      continue;
    }
    const bool charRef = i + 1 < current.size() && current[i + 1] == u'#';
    const size_t semicolon = current.find(u';', i);
    if (semicolon == std::u16string_view::npos) {
      return fail(charRef ? ekCharRefWithoutSemicolon : ekEntityRefWithoutSemicolon);
    }
    open.back().Position = semicolon + 1;
    if (charRef) {
      try {
        result += charRefText(current.substr(i, semicolon - i + 1));
      } catch (const EConvertError&) {
        return fail(ekInvalidCharRef);
      }
      continue;
    }
    const std::u16string_view name = current.substr(i + 1, semicolon - i - 1);
    if (name.empty()) {
      return fail(ekMissingEntityName);
    }
    if (!conformsToName(name)) {
      return fail(ekInvalidEntityName);
    }
    const TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
    // Refused before anything is loaded: a value never holds a file's text.
    if (decl && decl->IsExternal()) {
      return fail(ekExternalEntityInAttribute);
    }
    WideString ignored;
    uint64_t key = 0;
    bool isExternal = false;
    const int kind = GetReplacementText(name, ignored, key, isExternal);
    errorKind = kind;
    if (!IsWarning(kind)) {
      return fail(kind);
    }
    const std::u16string_view replacement = decl->ReplacementText();
    if (replacement.find(u'<') != std::u16string_view::npos) {
      return fail(ekLessThanInAttributeValue);
    }
    if (declKey != 0 && key > declKey) {
      return fail(StandaloneRulesApply() ? ekEntityDeclaredLaterWf : ekEntityDeclaredLater);
    }
    if (open.size() > TExpansionBudget::kMaxDepth) {
      return fail(LimitReached());
    }
    open.push_back({replacement, 0});
  }
}

void TDtdValidationAgent::NormalizeAttributeValue(std::u16string_view value, TDtdAttrType attrType,
                                                  int& errorKind, WideString& result) {
  ExpandValue(value, result, errorKind, 0);
  if (attrType != atCData && IsWarning(errorKind)) {
    result = collapseSpaces(result);
  }
}

void TDtdValidationAgent::NormalizeDefaultValue(const TDtdAttributeDecl* attrDecl,
                                                WideString& result, int& errorKind) {
  // Every element of the type asks for it: it is worked out once per state of the model.
  TDtdAttributeDecl::TNormalizedDefault& cached = attrDecl->NormalizedDefault();
  if (cached.Stamp != FModel.Generation()) {
    ExpandValue(attrDecl->DefaultValue(), cached.Value, cached.ErrorKind, attrDecl->Key());
    if (attrDecl->AttrType() != atCData && IsWarning(cached.ErrorKind)) {
      cached.Value = collapseSpaces(cached.Value);
    }
    // Expanding may have loaded nothing, but the stamp is read after it all the same.
    cached.Stamp = FModel.Generation();
  }
  result = cached.Value;
  errorKind = cached.ErrorKind;
}

bool TDtdValidationAgent::AddDefault(TDomElement* element, const TDtdAttributeDecl& decl,
                                     const WideString& value) {
  // The value is stored as a literal, like every attribute value: normalizing it again
  // gives the normalized default back.
  auto* attr = new TDomAttr(FDocument, false, decl.GetName());
  attr->takeValue(EscapedAttributeValue(value));
  const bool readOnly = element->isReadOnly();
  element->setReadOnly(false);
  try {
    element->setAttributeNode(attr);
  } catch (...) {
    element->setReadOnly(readOnly);
    attr->Free();
    throw;
  }
  element->setReadOnly(readOnly);
  return true;
}

bool TDtdValidationAgent::AddDefaultAttributes(TDomElement* element) {
  const TDtdAttDeclCollection* collection = FModel.FindAttListDecl(element->nodeName());
  if (!collection) {
    return true;
  }
  bool result = true;
  for (int i = 0; i < collection->Count(); ++i) {
    const TDtdAttributeDecl* decl = collection->Item(i);
    if ((decl->DefaultKind() != dfValue && decl->DefaultKind() != dfFixed) ||
        element->getAttributeNode(decl->GetName())) {
      continue;
    }
    WideString value;
    int kind = ekNone;
    NormalizeDefaultValue(decl, value, kind);
    if (IsWarning(kind)) {
      AddDefault(element, *decl, value);
    } else {
      result = false;
    }
  }
  return result;
}

TXmlToDomParser& TDtdValidationAgent::FragmentParser() {
  if (!FFragmentParser) {
    FFragmentParser.reset(new TXmlToDomParser);
  }
  FFragmentParser->SetDOMImpl(Implementation());
  return *FFragmentParser;
}

void TDtdValidationAgent::ParseInto(std::u16string_view text, TDomNode* target) {
  auto* fragment = new TDomDocumentFragment(FDocument);
  try {
    TXmlToDomParser& parser = FragmentParser();
    TMemoryStream stream(text.data(), static_cast<int64_t>(text.size() * sizeof(char16_t)));
    TXmlSimpleInputSource source(&stream, WideString(), WideString(), parser.BufferSize(),
                                 TUTF16LECodec::ClassRef(), 0, 0, 0, 0, 1, bdNone);
    parser.ParseFragmentInto(&source, fragment);
    target->appendChild(fragment);
  } catch (...) {
    fragment->Free();
    throw;
  }
  fragment->Free();
}

int TDtdValidationAgent::FillOne(TDomEntityReference* ref) {
  ref->setReadOnly(false);
  FreeChildren(ref);
  const std::u16string_view name = ref->nodeName();
  if (FSkipExternal) {
    const TDtdEntityDecl* decl = FModel.FindEntityDecl(name);
    if (decl && decl->IsExternal() && decl->IsParsed() && !decl->Resolved()) {
      return ekNone;
    }
  }
  WideString text;
  uint64_t key = 0;
  bool isExternal = false;
  const int kind = GetReplacementText(name, text, key, isExternal);
  if (!IsWarning(kind)) {
    return kind;
  }
  if (!Charge(text.size(), 1)) {
    return LimitReached();
  }
  if (const char16_t c = predefinedEntityChar(name); c != 0) {
    ref->appendChild(new TDomText(FDocument, WideString(1, c)));
  } else if (IsPlainText(text)) {
    if (!text.empty()) {
      ref->appendChild(new TDomText(FDocument, std::move(text)));
    }
  } else {
    try {
      ParseInto(text, ref);
    } catch (const Exception&) {
      FreeChildren(ref);
      return ekMalformedReplacementText;
    }
  }
  return kind;
}

int TDtdValidationAgent::FillReference(TDomEntityReference* ref) {
  TBudgetScope scope(*this);
  struct TPending {
    TDomEntityReference* Ref;
    size_t Depth;
  };
  std::vector<TPending> pending{{ref, 0}};
  int result = ekNone;
  while (!pending.empty() && IsWarning(result)) {
    const TPending item = pending.back();
    pending.pop_back();
    if (item.Depth > TExpansionBudget::kMaxDepth) {
      result = LimitReached();
      break;
    }
    const int kind = FillOne(item.Ref);
    if (!IsWarning(kind) || result == ekNone) {
      result = kind;
    }
    size_t nodes = 0;
    for (TDomNode* n = item.Ref->firstChild(); n; n = NextInSubtree(n, item.Ref)) {
      ++nodes;
      if (n->nodeType() == nkEntityReference) {
        pending.push_back({static_cast<TDomEntityReference*>(n), item.Depth + 1});
      }
    }
    if (!Charge(0, nodes)) {
      result = LimitReached();
    }
  }
  const bool failed = !IsWarning(result);
  if (failed) {
    ref->setReadOnly(false);
    FreeChildren(ref);
  }
  for (TDomNode* n = ref->firstChild(); n; n = NextInSubtree(n, ref)) {
    n->setReadOnly(true);
  }
  ref->setReadOnly(true);
  return result;
}

int TDtdValidationAgent::ExpandEntityReference(TDomEntityReference* entityRef) {
  return FillReference(entityRef);
}

int TDtdValidationAgent::ExpandEntityReferences(TDomNode* node, TDomEntityReference** failed) {
  TBudgetScope scope(*this);
  int result = ekNone;
  for (TDomNode* n = node; n;) {
    FBudget->GrantNode();
    if (n->nodeType() != nkEntityReference) {
      n = NextInSubtree(n, node);
      continue;
    }
    auto* ref = static_cast<TDomEntityReference*>(n);
    const int kind = FillReference(ref);
    if (!IsWarning(kind) && IsWarning(result)) {
      result = kind;
      if (failed) {
        *failed = ref;
      }
    }
    n = NextInSubtree(n, node, true);
  }
  return result;
}

bool TDtdValidationAgent::ReportValidityError(int errorKind, TDtdObject* dtdObject, TDomNode* node,
                                              std::u16string_view snippet,
                                              std::u16string_view clue) {
  const TDomError error(errorKind, dtdObject, node, WideString(snippet), WideString(clue));
  if (TDomImplementation* implementation = Implementation()) {
    return implementation->handleError(this, &error);
  }
  return error.Severity() != svFatal;
}

bool TDtdValidationAgent::ExpandDocument(uint8_t options) {
  TBudgetScope scope(*this);
  const bool skipExternal = FSkipExternal;
  FSkipExternal = (options & eoReadExternal) == 0;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FSkipExternal, skipExternal};
  TDomElement* root = FDocument->documentElement();
  bool sound = true;
  const auto report = [&](int kind, TDtdObject* object, TDomNode* node,
                          std::u16string_view snippet) {
    const bool go = ReportValidityError(
        kind, object, node, snippet,
        kind == ekRecursiveEntity ? std::u16string_view(FFailureClue) : std::u16string_view());
    sound = sound && go && SeverityOf(kind) != svFatal;
    return go;
  };
  // Defaults refer to entities as values do, whether or not an element takes them.
  const TDtdNamedObjectMap& collections = FModel.AttListDecls();
  for (int i = 0; i < collections.Count(); ++i) {
    const auto* collection = static_cast<TDtdAttDeclCollection*>(collections.Item(i));
    for (int j = 0; j < collection->Count(); ++j) {
      TDtdAttributeDecl* decl = collection->Item(j);
      if (decl->DefaultKind() != dfValue && decl->DefaultKind() != dfFixed) {
        continue;
      }
      WideString value;
      int kind = ekNone;
      NormalizeDefaultValue(decl, value, kind);
      if (!IsWarning(kind) && !report(kind, decl, nullptr, decl->DefaultValue())) {
        return false;
      }
    }
  }
  for (TDomNode* n = root; n;) {
    FBudget->GrantNode();
    if (n->nodeType() == nkEntityReference) {
      // Filled with everything inside, unless an enclosing reference filled it.
      const bool filled = n->isReadOnly() && n->hasChildNodes();
      if (!filled) {
        const int kind = FillReference(static_cast<TDomEntityReference*>(n));
        if (!IsWarning(kind) && !report(kind, FModel.FindEntityDecl(n->nodeName()), n,
                                        n->nodeName())) {
          return false;
        }
      }
    } else if (n->nodeType() == nkElement) {
      auto* element = static_cast<TDomElement*>(n);
      if ((options & eoAddDefaults) != 0 && !AddDefaultAttributes(element)) {
        sound = false;
      }
      for (TCustomOwnedNode* item : element->attributeItems()) {
        auto* attr = static_cast<TDomAttr*>(item);
        const TDtdAttrType type = AttributeType(element->nodeName(), attr->nodeName());
        int kind = ekNone;
        WideString value;
        NormalizeAttributeValue(attr->nodeValue(), type, kind, value);
        if (!IsWarning(kind)) {
          if (!report(kind, nullptr, attr, attr->nodeValue())) {
            return false;
          }
        } else if ((options & eoRewriteValues) != 0) {
          WideString literal = EscapedAttributeValue(value);
          if (literal != attr->nodeValue()) {
            attr->setNodeValue(literal);
          }
        }
      }
    }
    n = NextInSubtree(n, root);
  }
  return sound;
}

void TDtdValidationAgent::PrepareDtdModel(bool readExternal) {
  Clear();
  TDomNode* doctype = FDocument->doctype();
  if (!doctype) {
    FModel.SetPrepStatus(psNoDeclarations);
    return;
  }
  TOwned<TDtdToDtdModelParser> parser(new TDtdToDtdModelParser);
  parser->SetDOMImpl(Implementation());
  parser->SetBufferSize(4096);
  parser->SetDtdModel(&FModel);
  parser->ParseDocTypeDecl(static_cast<TDomDocumentTypeDecl*>(doctype), readExternal);
}

} // namespace velmora
