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

namespace velmora::testing {

class AppFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Application().SetTitle("Velmora");
    Application().SetEnvironment(
        {FFolder.File("bin/velmora"), FFolder.File("config"), FFolder.File("wine/user.reg")});
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
  void WriteRegistry(std::string_view values) const {
    ForceDirectories(FFolder.File("wine"));
    FFolder.WriteFile("wine/user.reg",
                      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
                      "[Software\\\\Kestrovan\\\\MobiusPX] 1733700000\n#time=1db4a\n" +
                          NarrowString(values) + "\n");
  }

  TTempFolder FFolder;
  TFakeMainView FView;
  TfrmMain* FForm = nullptr;
};

} // namespace velmora::testing
