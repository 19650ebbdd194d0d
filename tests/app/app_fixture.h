#pragma once
// Runs the main window's logic against a fake window, with the program, its settings and
// the phone manager's Wine registry all in a fresh folder.

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/caption_about.h"
#include "app/form_storage.h"
#include "app/main_form.h"
#include "platform/ini_file.h"
#include "runtime/files.h"
#include "tests/app/fake_main_view.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_registry.h"
#include "toolkit/string_toolkit.h"

namespace velmora::testing {

class AppFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Application().SetTitle("Velmora");
    Application().SetEnvironment(
        {FFolder.File("bin/velmora"), FFolder.File("config"), FUserRegistry.Location()});
    ForceDirectories(FFolder.File("bin"));
  }

  void TearDown() override {
    if (FForm) {
      FForm->Free();
    }
  }

  // The start-up sequence up to the first showing of the window.
  void StartUp() {
    FForm = new TfrmMain(nullptr, FView);
    Application().SetMainForm(FForm);
    ApplyCaptionAndAbout();
    FView.Visible = true;
    FForm->HandleShow();
  }

  // Closing the window, then destroying it.
  void CloseWindow() {
    FForm->HandleClose();
    DestroyWindow();
  }

  void DestroyWindow() {
    FForm->Free();
    FForm = nullptr;
  }

  NarrowString IniPath() const { return FFolder.File("bin/velmora.INI"); }
  NarrowString Setting(const char* key) const {
    return TIniFile(IniPath()).ReadString("TfrmMain", key, "<missing>");
  }
  void WriteSettings(std::string_view content) const {
    FFolder.WriteFile("bin/velmora.INI", content);
  }
  // The settings file, its line ends as Linux writes them.
  NarrowString SettingsText() const {
    NarrowString text = FFolder.ReadFile("bin/velmora.INI");
    ReplaceAll(text, "\r\n", "\n");
    return text;
  }
  // The phone manager's key with values.
  void WriteRegistry(const std::vector<TTestRegistryValue>& values) {
    FUserRegistry.WriteKey("Software\\Kestrovan\\MobiusPX", values);
  }

  TTempFolder FFolder;
  TTestUserRegistry FUserRegistry{FFolder.File("wine")};
  TFakeMainView FView;
  TfrmMain* FForm = nullptr;
};

} // namespace velmora::testing
