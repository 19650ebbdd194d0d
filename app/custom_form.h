#pragma once
// The base of forms: a component bound to a window on the screen, with hooks that see the
// window's events (show, close, destruction, system commands) before the form does.

#include <functional>
#include <optional>
#include <vector>

#include "app/form_window.h"
#include "runtime/component.h"
#include "runtime/variant.h"

namespace velmora {

class TCustomForm;

// A hook attached to one form and owned by it.
class TFormHook : public TComponent {
public:
  explicit TFormHook(TCustomForm* form);

  TCustomForm* Form() const { return FForm; }

  // True when the hook handled the command; it then goes no further.
  virtual bool SystemCommand(int commandId);
  virtual void FormShow();
  // The window was asked to close and may close.
  virtual void FormClose();
  // The window is being destroyed; runs before the form's own destruction handler.
  virtual void FormDestroying();

private:
  TCustomForm* FForm;
};

// A property of a form's control kept by the settings component ("feLMCFile.Text").
struct TStoredProperty {
  enum TKind : uint8_t { pkString, pkInteger, pkFloat };

  TKind Kind = pkString;
  int FloatDigits = 18; // significant digits of a floating-point property
  std::function<TVariant()> Get;
  // Raises EConvertError when the value does not suit the property.
  std::function<void(const TVariant&)> Set;
};

class TCustomForm : public TComponent {
public:
  TCustomForm(TComponent* owner, TFormWindow& window);

  TFormWindow& Window() const { return FWindow; }

  const NarrowString& Caption() const { return FCaption; }
  void SetCaption(const NarrowString& caption);

  // The window's events; each runs inside the application's error guard.
  void HandleShow() noexcept;
  void HandleClose() noexcept;
  void HandleSystemCommand(int commandId) noexcept;

  // The property named by a control name and a property name, if the form has it.
  virtual std::optional<TStoredProperty> FindStoredProperty(std::string_view component,
                                                            std::string_view property);

protected:
  void BeforeDestruction() noexcept override;
  void Notification(TComponent* component, TOperation operation) override;
  // The form's own destruction handler.
  virtual void DoDestroy() {}

private:
  friend class TFormHook;

  TFormWindow& FWindow;
  NarrowString FCaption;
  std::vector<TFormHook*> FHooks;
};

} // namespace velmora
