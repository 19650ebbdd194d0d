#include "app/caption_about.h"

#include "app/application.h"
#include "runtime/format.h"
#include "toolkit/string_toolkit.h"

namespace velmora {

NarrowString AppDisplayName(std::string_view suffix) {
  static NarrowString displayName;
  if (displayName.empty()) {
    displayName = Application().Title();
  }
  if (suffix.empty()) {
    return displayName;
  }
  return Format("%s [%s]", {displayName, suffix});
}

NarrowString VersionCaption() {
  const NarrowString version = FileVersionText(Application().Environment().ExecutablePath);
  const std::vector<NarrowString> parts = SplitText('.', version);
  if (parts.size() < 4) {
    return AppDisplayName();
  }
  return Format("%s v%s.%s.%s.%s", {AppDisplayName(), parts[0], parts[1], parts[2], parts[3]});
}

void ApplyCaptionAndAbout(TCustomForm* form) {
  if (!form) {
    form = Application().MainForm();
  }
  if (!form) {
    return;
  }
  form->SetCaption(VersionCaption());
  form->Window().AppendSystemMenuSeparator();
  form->Window().AppendSystemMenuItem(kAboutCommandId, "&Info über System...");
  new TSysMenuHook(form);
}

void ShowSystemAbout() {
  TCustomForm* owner = Application().MainForm();
  if (!owner) {
    return;
  }
  owner->Window().ShowAboutBox("System",
                               Format("\u00D7 %s\r\u00D7 %s", {VersionCaption(), kNoticeLine}));
}

bool TSysMenuHook::SystemCommand(int commandId) {
  if (commandId != kAboutCommandId) {
    return false;
  }
  ShowSystemAbout();
  return true;
}

} // namespace velmora
