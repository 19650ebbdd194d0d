#pragma once
// The DTD model builder: the last handler of a DTD reading chain, which turns declaration
// signals into the objects of a DTD model and follows how far the subsets were read.

#include "xml/dtd_types.h"
#include "xml/handlers.h"
#include "xml/wf_test_handler.h"

namespace velmora {

class TDtdElementDecl;
class TDtdModel;
class TXmlAttributeDefinitionSignal;
class TXmlElementTypeDeclarationSignal;
class TXmlEntityDeclarationSignal;
class TXmlNotationDeclarationSignal;

class TXmlDtdModelBuilder : public TXmlCustomHandler {
public:
  explicit TXmlDtdModelBuilder(TComponent* owner = nullptr) : TXmlCustomHandler(owner) {}
  const char* ClassName() const override { return "TXmlDtdModelBuilder"; }

  // Without a target model every signal is ignored.
  void ProcessSignal(TXmlSignal& signal) override;
  virtual void BuildMixedModel(TDtdElementDecl* elementDecl, std::u16string_view contentModel);
  virtual void BuildChildrenModel(TDtdElementDecl* elementDecl, std::u16string_view contentModel);
  // Not owned.
  virtual void SetDtdModel(TDtdModel* model) { FModel = model; }
  virtual void Reset();

  TDtdModel* DtdModel() const { return FModel; }
  // Set after an unread parameter entity in the internal subset of a document that is not
  // standalone: what follows it may depend on it, and is not taken.
  bool SkipDeclarations() const { return FSkipDeclarations; }

private:
  void AddElementDecl(TXmlElementTypeDeclarationSignal& signal);
  void AddAttributeDecl(TXmlAttributeDefinitionSignal& signal);
  void AddEntityDecl(TXmlEntityDeclarationSignal& signal);
  void AddNotationDecl(TXmlNotationDeclarationSignal& signal);
  void SkipAfterExternalReference();
  void Complete();
  // orExternal in the external subset and inside parameter entities.
  TDtdOrigin OriginOf(bool inParameterEntity) const;
  static void Report(TXmlSignal& signal, int kind, std::u16string_view snippet);

  TDtdModel* FModel = nullptr;
  TXmlWFMode FContext = wfIdle;
  uint8_t FStandalone = 2; // of the internal subset: not specified
  bool FSkipDeclarations = false;
};

} // namespace velmora
