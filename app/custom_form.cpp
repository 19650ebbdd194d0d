#include "app/custom_form.h"

#include <algorithm>

#include "app/application.h"

namespace velmora {

TFormHook::TFormHook(TCustomForm* form) : TComponent(form), FForm(form) {
  form->FHooks.push_back(this);
}

bool TFormHook::SystemCommand(int) {
  return false;
}
void TFormHook::FormShow() {}
void TFormHook::FormClose() {}
void TFormHook::FormDestroying() {}

TCustomForm::TCustomForm(TComponent* owner, TFormWindow& window)
    : TComponent(owner), FWindow(window) {}

void TCustomForm::SetCaption(const NarrowString& caption) {
  FCaption = caption;
  FWindow.SetCaption(caption);
}

void TCustomForm::HandleShow() noexcept {
  for (TFormHook* hook : std::vector<TFormHook*>(FHooks)) {
    Application().Guard([hook] { hook->FormShow(); });
  }
}

void TCustomForm::HandleClose() noexcept {
  for (TFormHook* hook : std::vector<TFormHook*>(FHooks)) {
    Application().Guard([hook] { hook->FormClose(); });
  }
}

void TCustomForm::HandleSystemCommand(int commandId) noexcept {
  Application().Guard([this, commandId] {
    for (TFormHook* hook : std::vector<TFormHook*>(FHooks)) {
      if (hook->SystemCommand(commandId)) {
        return;
      }
    }
  });
}

std::optional<TStoredProperty> TCustomForm::FindStoredProperty(std::string_view, std::string_view) {
  return std::nullopt;
}

void TCustomForm::BeforeDestruction() noexcept {
  for (TFormHook* hook : std::vector<TFormHook*>(FHooks)) {
    Application().Guard([hook] { hook->FormDestroying(); });
  }
  Application().Guard([this] { DoDestroy(); });
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) {
    FHooks.erase(std::remove(FHooks.begin(), FHooks.end(), component), FHooks.end());
  }
  TComponent::Notification(component, operation);
}

} // namespace velmora
