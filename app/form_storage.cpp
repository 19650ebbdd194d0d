#include "app/form_storage.h"

#include <cmath>

#include "app/application.h"
#include "platform/user_folders.h"
#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

namespace velmora {

namespace {

// The parts of "component.property", both non-empty after trimming, or nullopt.
std::optional<std::pair<std::string_view, std::string_view>>
SplitStoredProp(std::string_view entry) {
  const size_t dot = entry.find('.');
  if (dot == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view component = Trim(entry.substr(0, dot));
  const std::string_view property = Trim(entry.substr(dot + 1));
  if (component.empty() || property.empty()) {
    return std::nullopt;
  }
  return std::pair{component, property};
}

// Up to four integers of a "%d,%d,%d,%d" value, split at blanks and commas; a missing or
// invalid word leaves its default.
void ReadFourIntegers(std::string_view text, int (&values)[4]) {
  int index = 0;
  size_t pos = 0;
  while (index < 4 && pos <= text.size()) {
    const size_t end = text.find_first_of(" ,", pos);
    const std::string_view word =
        text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    if (!word.empty()) {
      if (const auto value = TryStrToInt(word)) {
        values[index] = *value;
      }
      ++index;
    }
    if (end == std::string_view::npos) {
      break;
    }
    pos = end + 1;
  }
}

NarrowString FourIntegers(int a, int b, int c, int d) {
  return Format("%d,%d,%d,%d", {a, b, c, d});
}

} // namespace

TFormStorage::TFormStorage(TCustomForm* form) : TFormHook(form) {}

NarrowString TFormStorage::IniFilePath() const {
  const TAppEnvironment& environment = Application().Environment();
  const NarrowString name = FIniFileName.empty()
                                ? ChangeFileExt(ExtractFileName(environment.ExecutablePath), ".INI")
                                : FIniFileName;
  // A name that names its folder is used as it stands.
  if (name.find_first_of(kPathDelimiters) != NarrowString::npos) {
    return name;
  }
  if (FIniFileRoot == piExeDir) {
    const NarrowString exeFolder = ExtractFileDir(environment.ExecutablePath);
    // An installed program's folder is read-only; its settings then go to the user's
    // folder, as Windows redirects a protected program folder.
    if (!exeFolder.empty() && IsFolderWritable(exeFolder)) {
      return IncludeTrailingPathDelimiter(exeFolder) + name;
    }
  }
  return IncludeTrailingPathDelimiter(environment.UserConfigFolder) + kUserSettingsFolderName +
         kPathDelimiter + name;
}

NarrowString TFormStorage::SectionName() const {
  return FIniSection.empty() ? NarrowString(Form()->ClassName()) : FIniSection;
}

void TFormStorage::Loaded() {
  std::vector<NarrowString> kept;
  for (const NarrowString& entry : FStoredProps) {
    const auto parts = SplitStoredProp(entry);
    if (parts && Form()->FindStoredProperty(parts->first, parts->second)) {
      kept.push_back(entry);
    }
  }
  FStoredProps = std::move(kept);
}

void TFormStorage::WithOpenFile(const std::function<void()>& body) {
  if (FOpenIniFile) {
    body(); // the restore or save that opened the file writes it
    return;
  }
  FOpenIniFile.emplace(IniFilePath());
  try {
    body();
  } catch (...) {
    // What was written before the failure stays written; the failure is what is reported.
    try {
      FOpenIniFile->UpdateFile();
    } catch (...) {
    }
    FOpenIniFile.reset();
    throw;
  }
  try {
    FOpenIniFile->UpdateFile();
  } catch (...) {
    FOpenIniFile.reset();
    throw;
  }
  FOpenIniFile.reset();
}

NarrowString TFormStorage::ReadSettingString(std::string_view key, std::string_view defaultValue) {
  NarrowString value;
  WithOpenFile([&] { value = FOpenIniFile->ReadString(SectionName(), key, defaultValue); });
  return value;
}

void TFormStorage::WriteSettingString(std::string_view key, std::string_view value) {
  NarrowString written(value);
  // Reading strips one pair of enclosing quotes; a further pair keeps them.
  if (!value.empty() && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    written = "\"" + written + "\"";
  }
  WithOpenFile([&] { FOpenIniFile->WriteString(SectionName(), key, written); });
}

int TFormStorage::ReadSettingInteger(std::string_view key, int defaultValue) {
  const NarrowString text = ReadSettingString(key, "");
  std::optional<int32_t> value;
  if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const auto hex = TryHexToInt64(std::string_view(text).substr(2));
    if (hex && *hex <= INT32_MAX) {
      value = static_cast<int32_t>(*hex);
    }
  } else {
    value = TryStrToInt(text);
  }
  return value.value_or(defaultValue);
}

void TFormStorage::WriteSettingInteger(std::string_view key, int value) {
  WriteSettingString(key, IntToStr(value));
}

NarrowString TFormStorage::ScreenSuffix() const {
  const TScreenMetrics screen = Form()->Window().Screen();
  return Format("(%dx%d)", {screen.Width, screen.Height});
}

void TFormStorage::RestoreFormPlacement() {
  FSaved = false;
  WithOpenFile([this] {
    if (ReadSettingInteger("FormVersion", 0) >= FVersion) {
      if (FOptions & PlacementOption(fpPosition)) {
        RestorePosition();
      }
      if (FOptions & PlacementOption(fpState)) {
        RestoreState();
      }
      FRestored = true;
      RestoreStoredProps();
      if (OnRestorePlacement) {
        OnRestorePlacement();
      }
    }
    FRestored = true;
  });
}

void TFormStorage::RestorePosition() {
  TFormWindow& window = Form()->Window();
  TWindowPlacement placement = window.Placement();
  if (!window.IsVisible()) {
    placement.ShowCmd = kShowHidden;
  }
  const TScreenMetrics screen = window.Screen();
  placement.Flags =
      static_cast<uint32_t>(ReadSettingInteger("Flags", static_cast<int>(placement.Flags)));

  NarrowString text = ReadSettingString("MinMaxPos" + ScreenSuffix(), "");
  if (text.empty()) {
    text = ReadSettingString("MinMaxPos", "");
  }
  const bool foundMinMax = !text.empty();
  if (foundMinMax) {
    int values[4] = {0, 0, 0, 0};
    ReadFourIntegers(text, values);
    placement.MinPosition = {values[0], values[1]};
    placement.MaxPosition = {values[2], values[3]};
  }

  text = ReadSettingString("NormPos" + ScreenSuffix(), "");
  if (text.empty()) {
    text = ReadSettingString("NormPos", "");
  }
  const bool foundNormal = !text.empty();
  if (foundNormal) {
    TRect& r = placement.NormalPosition;
    int values[4] = {r.Left, r.Top, r.Right, r.Bottom};
    ReadFourIntegers(text, values);
    r = {values[0], values[1], values[2], values[3]};
  }

  const int pixelsPerInch = ReadSettingInteger("PixelsPerInch", screen.PixelsPerInch);
  // A placement saved at another pixel density would put the window in the wrong size.
  if ((foundMinMax || foundNormal) && pixelsPerInch == screen.PixelsPerInch &&
      placement.NormalPosition.Left < placement.NormalPosition.Right) {
    window.SetPlacement(placement);
  }
}

void TFormStorage::RestoreState() {
  TFormWindow& window = Form()->Window();
  TWindowState state = wsNormal; // a plain main window at its designed position
  switch (ReadSettingInteger("ShowCmd", 0)) {
  case 1:
  case 5:
  case 9:
    state = wsNormal;
    break;
  case 2:
  case 6:
  case 7:
    state = wsMinimized;
    break;
  case 3:
    state = wsMaximized;
    break;
  default:
    break;
  }
  // A main window minimizes through the application once the event loop runs.
  const TCustomForm* mainForm = Application().MainForm();
  if (state == wsMinimized && (mainForm == nullptr || mainForm == Form())) {
    window.SetWindowState(wsNormal);
    window.PostApplicationMinimize();
    return;
  }
  window.SetWindowState(state);
}

void TFormStorage::RestoreStoredProps() {
  for (const NarrowString& entry : FStoredProps) {
    try {
      const auto parts = SplitStoredProp(entry);
      const auto property =
          parts ? Form()->FindStoredProperty(parts->first, parts->second) : std::nullopt;
      if (!property) {
        continue;
      }
      const NarrowString key = NarrowString(parts->first) + "_" + NarrowString(parts->second);
      const NarrowString current =
          property->Kind == TStoredProperty::pkFloat
              ? FloatToStrGeneral(property->Get().AsNumber(), property->FloatDigits)
              : property->Get().AsString();
      const NarrowString text(Trim(ReadSettingString(key, current)));
      switch (property->Kind) {
      case TStoredProperty::pkString:
        property->Set(TVariant(text));
        break;
      case TStoredProperty::pkInteger: {
        const auto value = TryStrToInt(text);
        if (!value) {
          throw EConvertError("'" + text + "' is not a valid integer value");
        }
        property->Set(TVariant(static_cast<double>(*value)));
        break;
      }
      case TStoredProperty::pkFloat: {
        const auto value = TryStrToFloat(text);
        if (!value) {
          throw EConvertError("'" + text + "' is not a valid floating point value");
        }
        property->Set(TVariant(*value));
        break;
      }
      }
    } catch (const Exception&) {
      // One property that does not convert leaves the control as it was; the rest go on.
    }
  }
}

void TFormStorage::SaveFormPlacement() {
  if (!FRestored && FActive) {
    return;
  }
  WithOpenFile([this] {
    WriteSettingInteger("FormVersion", FVersion);
    SavePlacement();
    SaveStoredProps();
    if (OnSavePlacement) {
      OnSavePlacement();
    }
  });
  // Only a save that reached the file counts; destroying the window then tries again.
  FSaved = true;
}

void TFormStorage::SavePlacement() {
  TFormWindow& window = Form()->Window();
  TWindowPlacement placement = window.Placement();
  if (Form() == Application().MainForm() && window.IsApplicationMinimized()) {
    placement.ShowCmd = kShowMinimized;
  }
  const NarrowString suffix = ScreenSuffix();
  const NarrowString minMax = FourIntegers(placement.MinPosition.X, placement.MinPosition.Y,
                                           placement.MaxPosition.X, placement.MaxPosition.Y);
  const TRect& r = placement.NormalPosition;
  const NarrowString normal = FourIntegers(r.Left, r.Top, r.Right, r.Bottom);
  WriteSettingInteger("Flags", static_cast<int>(placement.Flags));
  WriteSettingInteger("ShowCmd", placement.ShowCmd);
  WriteSettingInteger("PixelsPerInch", window.Screen().PixelsPerInch);
  WriteSettingString("MinMaxPos" + suffix, minMax);
  WriteSettingString("MinMaxPos", minMax);
  WriteSettingString("NormPos" + suffix, normal);
  WriteSettingString("NormPos", normal);
  WriteSettingInteger("Visible", FDestroying ? 1 : 0);
}

void TFormStorage::SaveStoredProps() {
  for (const NarrowString& entry : FStoredProps) {
    const auto parts = SplitStoredProp(entry);
    const auto property =
        parts ? Form()->FindStoredProperty(parts->first, parts->second) : std::nullopt;
    if (!property) {
      continue;
    }
    const TVariant value = property->Get();
    NarrowString text;
    switch (property->Kind) {
    case TStoredProperty::pkString:
      text = value.AsString();
      break;
    case TStoredProperty::pkInteger:
      text = IntToStr(static_cast<int64_t>(value.AsNumber()));
      break;
    case TStoredProperty::pkFloat:
      text = FloatToStrGeneral(value.AsNumber(), property->FloatDigits);
      break;
    }
    text = NarrowString(Trim(text));
    if (text.empty() && property->Kind != TStoredProperty::pkString) {
      continue;
    }
    WriteSettingString(NarrowString(parts->first) + "_" + NarrowString(parts->second), text);
  }
}

void TFormStorage::FormShow() {
  if (FActive) {
    RestoreFormPlacement();
  }
}

void TFormStorage::FormClose() {
  if (FActive) {
    FDestroying = false;
    SaveFormPlacement();
  }
}

void TFormStorage::FormDestroying() {
  if (FActive && !FSaved) {
    FDestroying = true;
    SaveFormPlacement();
    FDestroying = false;
  }
}

} // namespace velmora
