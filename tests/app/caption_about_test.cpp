#include "platform/executable_path.h"
#include "tests/app/app_fixture.h"

namespace velmora::testing {
namespace {

class CaptionTest : public AppFixture {
protected:
  void SetUp() override {
    AppFixture::SetUp();
    // The caption reads the version record of the running program, which this test
    // program carries like every program of the project.
    TAppEnvironment environment = Application().Environment();
    environment.ExecutablePath = ExecutablePath();
    Application().SetEnvironment(environment);
  }

  void TearDown() override {
    if (FForm) {
      FForm->FormStorage1()->SetActive(false); // no settings file beside the test program
    }
    AppFixture::TearDown();
  }
};

TEST_F(CaptionTest, CaptionShowsTitleAndFileVersion) {
  StartUp();
  EXPECT_EQ(FView.Caption, "Velmora v0.2.1.19");
  EXPECT_EQ(FForm->Caption(), "Velmora v0.2.1.19");
  EXPECT_EQ(VersionCaption(), "Velmora v0.2.1.19");
}

TEST_F(CaptionTest, ProgramWithoutVersionRecordShowsTheTitleAlone) {
  TAppEnvironment environment = Application().Environment();
  environment.ExecutablePath = "/bin/sh";
  Application().SetEnvironment(environment);
  EXPECT_EQ(VersionCaption(), "Velmora");
}

TEST_F(CaptionTest, AboutEntryOpensTheAboutBoxAndNothingElse) {
  StartUp();
  EXPECT_EQ(FView.SystemMenu, (std::vector<TFakeMainView::TMenuEntry>{
                                  {0, "-"}, {kAboutCommandId, "&Info über System..."}}));
  FForm->HandleSystemCommand(665);
  EXPECT_TRUE(FView.AboutBoxes.empty());
  FForm->HandleSystemCommand(kAboutCommandId);
  EXPECT_EQ(FView.AboutBoxes,
            (std::vector<TFakeMainView::TBox>{
                {"System", "× Velmora v0.2.1.19\r× Published by the Velmora project."}}));
  EXPECT_TRUE(FView.ErrorBoxes.empty());
}

TEST_F(CaptionTest, DisplayNameIsReadOnceAndTakesASuffix) {
  EXPECT_EQ(AppDisplayName(), "Velmora");
  EXPECT_EQ(AppDisplayName("x"), "Velmora [x]");
  Application().SetTitle("Renamed");
  EXPECT_EQ(AppDisplayName(), "Velmora");
  Application().SetTitle("Velmora");
}

TEST_F(CaptionTest, WithoutAMainFormNothingHappens) {
  Application().SetMainForm(nullptr);
  ApplyCaptionAndAbout();
  ShowSystemAbout();
  EXPECT_TRUE(FView.SystemMenu.empty());
  EXPECT_TRUE(FView.AboutBoxes.empty());
}

TEST_F(CaptionTest, MainFormReferenceIsClearedWhenTheFormIsFreed) {
  StartUp();
  EXPECT_EQ(Application().MainForm(), FForm);
  FForm->FormStorage1()->SetActive(false);
  DestroyWindow();
  EXPECT_EQ(Application().MainForm(), nullptr);
}

} // namespace
} // namespace velmora::testing
