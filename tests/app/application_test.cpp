#include <stdexcept>

#include "runtime/exceptions.h"
#include "tests/app/app_fixture.h"

namespace velmora::testing {
namespace {

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(TApplication::ErrorBoxText("Zu wenig Speicherplatz"), "Zu wenig Speicherplatz.");
  EXPECT_EQ(TApplication::ErrorBoxText("Parser error."), "Parser error.");
  EXPECT_EQ(TApplication::ErrorBoxText("Done!"), "Done!"); // "!" sorts before "."
  EXPECT_EQ(TApplication::ErrorBoxText("E/A-Fehler 5"), "E/A-Fehler 5.");
  EXPECT_EQ(TApplication::ErrorBoxText("Datei geöffnet /"), "Datei geöffnet /."); // "/" after "."
  EXPECT_EQ(TApplication::ErrorBoxText("Größe ß"), "Größe ß."); // UTF-8 bytes sort high
  EXPECT_EQ(TApplication::ErrorBoxText(""), "");
}

using GuardTest = AppFixture;

TEST_F(GuardTest, FailuresOfHandlersReachTheErrorBoxAndGoNoFurther) {
  StartUp();
  Application().Guard([] { throw EInOutError(101); });
  Application().Guard([] { throw std::runtime_error("plain failure"); });
  Application().Guard([] { throw 42; });
  EXPECT_EQ(FView.ErrorBoxes, (std::vector<TFakeMainView::TBox>{
                                  {"Velmora", "Zu wenig Speicherplatz."},
                                  {"Velmora", "plain failure."},
                                  {"Velmora", "Unknown failure."},
                              }));
}

using CommandTest = AppFixture;

TEST_F(CommandTest, ButtonsAreDisabledWhileACommandRunsAndNoSecondOneStarts) {
  StartUp();
  int nestedClicks = 0;
  FView.OnSetCommandsEnabled = [&](bool enabled) {
    if (!enabled) {
      // Events processed while the command runs: another click on either button.
      EXPECT_TRUE(FForm->CommandRunning());
      ++nestedClicks;
      FForm->ImportButtonClicked();
      FForm->ExportButtonClicked();
    }
  };
  FForm->ImportButtonClicked();
  EXPECT_EQ(nestedClicks, 1);
  EXPECT_EQ(FView.CommandsEnabledLog, (std::vector<bool>{false, true}));
  EXPECT_FALSE(FForm->CommandRunning());
  FForm->ExportButtonClicked();
  EXPECT_EQ(FView.CommandsEnabledLog, (std::vector<bool>{false, true, false, true}));
}

TEST_F(CommandTest, ExportBeforeAnyImportDoesNothing) {
  StartUp();
  FForm->ExportButtonClicked();
  EXPECT_TRUE(FView.Questions.empty());
  EXPECT_TRUE(FView.ErrorBoxes.empty());
  EXPECT_EQ(FView.StatusTexts[0], "");
}

TEST(UnquotedFileName, RemovesOneEnclosingPairOfDoubleQuotes) {
  EXPECT_EQ(UnquotedFileName("\"/home/a b/Mobius.lmc\""), "/home/a b/Mobius.lmc");
  EXPECT_EQ(UnquotedFileName("\"\"x\"\""), "\"x\"");
  EXPECT_EQ(UnquotedFileName("Mobius.lmc"), "Mobius.lmc");
  EXPECT_EQ(UnquotedFileName("\"half"), "\"half");
  EXPECT_EQ(UnquotedFileName("\""), "\"");
  EXPECT_EQ(UnquotedFileName("\"\""), "");
}

} // namespace
} // namespace velmora::testing
