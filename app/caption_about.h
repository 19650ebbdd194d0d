#pragma once
// The window caption with the program's version, and the About entry of the window menu.

#include "app/custom_form.h"

namespace velmora {

// The command identifier of the About entry.
constexpr int kAboutCommandId = 666;
// The second line of the About text: who publishes this build.
constexpr const char* kNoticeLine = "Published by the Velmora project.";

// The display name (the application title, read on first use and kept for the rest of
// the run), followed by " [suffix]" when suffix is not empty.
NarrowString AppDisplayName(std::string_view suffix = "");

// "Velmora v0.2.1.19": the display name and the running program's file version; the
// display name alone when the program carries no version record.
NarrowString VersionCaption();

// Sets the caption of form (or of the main form when none is given) and adds the About
// entry to its window menu. Does nothing without a form.
void ApplyCaptionAndAbout(TCustomForm* form = nullptr);

// Opens the About box over the main form.
void ShowSystemAbout();

// Opens the About box when the About entry is chosen; other commands pass on.
class TSysMenuHook : public TFormHook {
public:
  using TFormHook::TFormHook;
  bool SystemCommand(int commandId) override;
};

} // namespace velmora
