#pragma once
// The settings component of a form: keeps the form's placement and chosen properties of
// its controls in one section of an INI file. It restores them when the form is shown and
// saves them when the form closes (or is destroyed without having closed).

#include <functional>
#include <optional>
#include <vector>

#include "app/custom_form.h"
#include "platform/ini_file.h"

namespace velmora {

enum TPlacementIniRoot : uint8_t { piDefault = 0, piExeDir = 1 };

enum TPlacementOption : uint8_t { fpState = 0, fpPosition = 1, fpActiveControl = 2 };
using TPlacementOptions = uint8_t;
constexpr TPlacementOptions PlacementOption(TPlacementOption option) {
  return 1u << option;
}

// The folder below the user's settings folder where settings go when the program's own
// folder is read-only.
constexpr const char* kUserSettingsFolderName = "velmora";

class TFormStorage : public TFormHook {
public:
  explicit TFormStorage(TCustomForm* form);

  bool Active() const { return FActive; }
  void SetActive(bool active) { FActive = active; }
  const NarrowString& IniFileName() const { return FIniFileName; }
  void SetIniFileName(NarrowString name) { FIniFileName = std::move(name); }
  const NarrowString& IniSection() const { return FIniSection; }
  void SetIniSection(NarrowString section) { FIniSection = std::move(section); }
  TPlacementIniRoot IniFileRoot() const { return FIniFileRoot; }
  void SetIniFileRoot(TPlacementIniRoot root) { FIniFileRoot = root; }
  TPlacementOptions Options() const { return FOptions; }
  void SetOptions(TPlacementOptions options) { FOptions = options; }
  int Version() const { return FVersion; }
  void SetVersion(int version) { FVersion = version; }
  // "component.property" entries, kept in this order.
  const std::vector<NarrowString>& StoredProps() const { return FStoredProps; }
  void SetStoredProps(std::vector<NarrowString> props) { FStoredProps = std::move(props); }
  std::function<void()> OnRestorePlacement;
  std::function<void()> OnSavePlacement;

  bool Restored() const { return FRestored; }
  bool Saved() const { return FSaved; }

  // The settings file's full path.
  NarrowString IniFilePath() const;
  // The section: IniSection, or the form's class name.
  NarrowString SectionName() const;

  // Drops StoredProps entries that are malformed or name no property of the form.
  void Loaded();

  NarrowString ReadSettingString(std::string_view key, std::string_view defaultValue);
  void WriteSettingString(std::string_view key, std::string_view value);
  int ReadSettingInteger(std::string_view key, int defaultValue);
  void WriteSettingInteger(std::string_view key, int value);

  void RestoreFormPlacement();
  void SaveFormPlacement();

  void FormShow() override;
  void FormClose() override;
  void FormDestroying() override;

private:
  // Runs body with the settings file open: opens it, and afterwards writes what body
  // changed and closes it, also when body fails. Inside a restore or save, body uses the
  // file that is open already.
  void WithOpenFile(const std::function<void()>& body);
  void RestorePosition();
  void RestoreState();
  void RestoreStoredProps();
  void SavePlacement();
  void SaveStoredProps();
  NarrowString ScreenSuffix() const;

  bool FActive = true;
  NarrowString FIniFileName;
  NarrowString FIniSection;
  TPlacementIniRoot FIniFileRoot = piDefault;
  TPlacementOptions FOptions = PlacementOption(fpState) | PlacementOption(fpPosition);
  int FVersion = 0;
  std::vector<NarrowString> FStoredProps;

  bool FRestored = false;
  bool FSaved = false;
  bool FDestroying = false;
  // Read once when a restore or save begins, written once when it ends.
  std::optional<TMemIniFile> FOpenIniFile;
};

} // namespace velmora
