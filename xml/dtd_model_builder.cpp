#include "xml/dtd_model_builder.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xml/dtd_model.h"
#include "xml/dtd_signals.h"

namespace velmora {

namespace {

constexpr const char* kInternalParserException = "Internal Parser Exception";

TDtdContentType ContentTypeOf(std::u16string_view model) {
  if (model == u"EMPTY") {
    return ctEmpty;
  }
  if (model == u"ANY") {
    return ctAny;
  }
  return model.find(u"#PCDATA") != std::u16string_view::npos ? ctMixed : ctElementContent;
}

} // namespace

void TXmlDtdModelBuilder::Reset() {
  FContext = wfIdle;
  FStandalone = 2;
  FSkipDeclarations = false;
}

void TXmlDtdModelBuilder::BuildMixedModel(TDtdElementDecl* elementDecl,
                                          std::u16string_view contentModel) {
  velmora::BuildMixedModel(*elementDecl, contentModel);
}

void TXmlDtdModelBuilder::BuildChildrenModel(TDtdElementDecl* elementDecl,
                                             std::u16string_view contentModel) {
  velmora::BuildChildrenModel(*elementDecl, contentModel);
}

TDtdOrigin TXmlDtdModelBuilder::OriginOf(bool inParameterEntity) const {
  return FContext == wfExternalDtd || inParameterEntity ? orExternal : orInternal;
}

void TXmlDtdModelBuilder::Report(TXmlSignal& signal, int kind, std::u16string_view snippet) {
  TXmlErrorDetail detail;
  detail.Kind = kind;
  detail.Location = &signal;
  detail.Snippet = snippet;
  if (TXmlCustomReader* origin = signal.Origin()) {
    origin->SendError(detail);
  } else if (SeverityOf(kind) == svFatal) {
    throw EParserException("Signal Processing Exception");
  }
}

void TXmlDtdModelBuilder::AddElementDecl(TXmlElementTypeDeclarationSignal& signal) {
  const WideString model = trimWhiteSpace(signal.ContentSpec);
  const TDtdContentType contentType = ContentTypeOf(model);
  TDtdElementDecl* decl = nullptr;
  bool added = false;
  bool failed = false;
  try {
    added = FModel->AddElementDecl(signal.DeclName, contentType, decl,
                                   OriginOf(signal.InParameterEntity));
    if (added && contentType == ctElementContent) {
      BuildChildrenModel(decl, signal.ContentSpec);
    } else if (added && contentType == ctMixed) {
      BuildMixedModel(decl, signal.ContentSpec);
    }
  } catch (const Exception&) {
    failed = true; // the declaration stays, without a model
  }
  signal.SetDtdObject(decl);
  if (failed) {
    Report(signal, ekInvalidElementDecl, signal.DeclName);
  } else if (!added) {
    Report(signal, ekDuplicateElementDecl, signal.DeclName);
  }
}

void TXmlDtdModelBuilder::AddAttributeDecl(TXmlAttributeDefinitionSignal& signal) {
  const std::vector<WideString> enumeration(signal.EnumTokens.begin(), signal.EnumTokens.end());
  TDtdAttributeDecl* decl = nullptr;
  if (!FModel->AddAttributeDecl(signal.ElemType, signal.AttrName, decl,
                                OriginOf(signal.InParameterEntity), signal.DefaultKind,
                                signal.AttrType, enumeration, signal.DefaultValue)) {
    signal.SetDtdObject(decl);
    Report(signal, ekDuplicateAttributeDecl, signal.AttrName);
  }
}

void TXmlDtdModelBuilder::AddEntityDecl(TXmlEntityDeclarationSignal& signal) {
  const WideString value = resolveCharRefs(signal.ValueText);
  TDtdEntityDecl* decl = nullptr;
  const bool added = FModel->AddEntityDecl(signal.DeclName, value, decl,
                                           OriginOf(signal.InParameterEntity), signal.DeclBaseUri,
                                           signal.NDataName, signal.SystemId, signal.PublicId);
  signal.SetDtdObject(decl);
  if (!added) {
    Report(signal, ekDuplicateEntityDecl, signal.DeclName);
  } else if (!decl->CheckRecursion()) {
    Report(signal, ekRecursiveEntity, signal.DeclName);
  }
}

void TXmlDtdModelBuilder::AddNotationDecl(TXmlNotationDeclarationSignal& signal) {
  TDtdNotationDecl* decl = nullptr;
  if (!FModel->AddNotationDecl(signal.DeclName, signal.PublicId, decl,
                               OriginOf(signal.InParameterEntity), signal.SystemId)) {
    signal.SetDtdObject(decl);
    Report(signal, ekDuplicateNotationDecl, signal.DeclName);
  }
}

void TXmlDtdModelBuilder::SkipAfterExternalReference() {
  if (FContext != wfInternalDtd) {
    throw EParserException(kInternalParserException);
  }
  // A standalone document may not depend on what it does not contain: its declarations
  // all count. Any other may, so nothing after the reference is taken.
  if (FStandalone == 0) {
    FModel->SetPrepStatus(psExtSubsetUnread);
  } else {
    FSkipDeclarations = true;
    FModel->SetPrepStatus(psIncomplete);
  }
}

void TXmlDtdModelBuilder::Complete() {
  if (FContext == wfInternalDtd) {
    if (FModel->PrepStatus() == psInProgress) {
      FModel->SetPrepStatus(psIntSubsetComplete);
    }
  } else if (FContext == wfExternalDtd) {
    FModel->SetPrepStatus(psComplete);
  } else {
    throw EParserException(kInternalParserException);
  }
  FContext = wfIdle;
  FStandalone = 2;
}

void TXmlDtdModelBuilder::ProcessSignal(TXmlSignal& signal) {
  if (!FModel) {
    return;
  }
  switch (signal.Kind()) {
  case skElementTypeDeclaration:
    if (!FSkipDeclarations) {
      AddElementDecl(static_cast<TXmlElementTypeDeclarationSignal&>(signal));
    }
    return;
  case skAttributeDefinition:
    if (!FSkipDeclarations) {
      AddAttributeDecl(static_cast<TXmlAttributeDefinitionSignal&>(signal));
    }
    return;
  case skEntityDeclaration:
    if (!FSkipDeclarations) {
      AddEntityDecl(static_cast<TXmlEntityDeclarationSignal&>(signal));
    }
    return;
  case skNotationDeclaration:
    if (!FSkipDeclarations) {
      AddNotationDecl(static_cast<TXmlNotationDeclarationSignal&>(signal));
    }
    return;
  case skPEReferenceFound:
    if (FContext == wfInternalDtd) {
      FModel->SetHasIntSubsetPERefs(true);
    }
    return;
  case skExternalPEReference:
    SkipAfterExternalReference();
    return;
  case skStartExtDtd: {
    const TDtdPrepStatus status = FModel->PrepStatus();
    if (status == psUnprepared || status == psIntSubsetComplete || status == psComplete ||
        status == psNoDeclarations) {
      FModel->SetPrepStatus(psInProgress);
    }
    FModel->SetExtSubsetSystemId(static_cast<TXmlStartExtDtdSignal&>(signal).SystemId);
    FContext = wfExternalDtd;
    return;
  }
  case skStartIntDtd: {
    const auto& start = static_cast<TXmlStartIntDtdSignal&>(signal);
    FModel->SetPrepStatus(psInProgress);
    FModel->SetIntSubsetSystemId(start.SystemId);
    FStandalone = start.DeclaredStandalone;
    FContext = wfInternalDtd;
    return;
  }
  case skCompleted:
    Complete();
    return;
  case skAborted:
    Reset();
    return;
  default:
    if ((signal.AllowedContexts() & kDtdContext) == 0) {
      throw EParserException(kInternalParserException);
    }
    return;
  }
}

} // namespace velmora
