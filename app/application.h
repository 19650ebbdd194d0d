#pragma once
// The application object: its title, its main form, where it runs from, and the top-level
// error guard through which every handler of the window runs.

#include <exception>
#include <functional>

#include "runtime/component.h"

namespace velmora {

class TCustomForm;

// Where the program runs and where its settings and the phone manager's registry live.
struct TAppEnvironment {
  NarrowString ExecutablePath;   // the running program's file
  NarrowString UserConfigFolder; // per-user settings when the program's folder is read-only
  NarrowString UserRegistry;     // the phone manager's registry, as TRegistry takes it

  static TAppEnvironment FromSystem();
};

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  const NarrowString& Title() const { return FTitle; }
  void SetTitle(NarrowString title) { FTitle = std::move(title); }

  TCustomForm* MainForm() const;
  void SetMainForm(TCustomForm* form);

  const TAppEnvironment& Environment() const { return FEnvironment; }
  void SetEnvironment(TAppEnvironment environment) { FEnvironment = std::move(environment); }

  // Shows the failure's message in an error box titled with the application title (on the
  // main form's window; on the error stream when there is none).
  void HandleException(const std::exception& error) noexcept;

  // Runs handler; a failure ends it and goes to HandleException, never further.
  void Guard(const std::function<void()>& handler) noexcept;

  // The message as the error box shows it: a full stop is appended when the last
  // character sorts after "." (compared as unsigned bytes).
  static NarrowString ErrorBoxText(NarrowString message);

private:
  NarrowString FTitle;
  TComponentRef<TCustomForm> FMainForm;
  TAppEnvironment FEnvironment;
};

// The one application object of the process.
TApplication& Application();

} // namespace velmora
