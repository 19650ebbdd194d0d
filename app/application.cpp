#include "app/application.h"

#include <cstdio>

#include "app/custom_form.h"
#include "platform/executable_path.h"
#include "platform/registry.h"
#include "platform/user_folders.h"
#include "runtime/exceptions.h"

namespace velmora {

TAppEnvironment TAppEnvironment::FromSystem() {
  return TAppEnvironment{velmora::ExecutablePath(), velmora::UserConfigFolder(),
                         DefaultUserRegistry()};
}

TApplication::TApplication() : FEnvironment(TAppEnvironment::FromSystem()) {}

TApplication::~TApplication() = default;

TCustomForm* TApplication::MainForm() const {
  return FMainForm.get();
}

void TApplication::SetMainForm(TCustomForm* form) {
  SetReference(FMainForm, form);
}

NarrowString TApplication::ErrorBoxText(NarrowString message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    message += '.';
  }
  return message;
}

void TApplication::HandleException(const std::exception& error) noexcept {
  try {
    const NarrowString text = ErrorBoxText(FailureText(error));
    if (TCustomForm* form = MainForm()) {
      form->Window().ShowErrorBox(FTitle, text);
    } else {
      std::fprintf(stderr, "%s: %s\n", FTitle.c_str(), text.c_str());
    }
  } catch (...) {
    std::fprintf(stderr, "%s: %s\n", FTitle.c_str(), error.what());
  }
}

void TApplication::Guard(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    HandleException(error);
  } catch (...) {
    HandleException(std::runtime_error("Unknown failure"));
  }
}

TApplication& Application() {
  static TApplication application;
  return application;
}

} // namespace velmora
