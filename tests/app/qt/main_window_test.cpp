// The real Qt window, built on the offscreen platform.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <climits>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/caption_about.h"
#include "app/form_storage.h"
#include "app/main_form.h"
#include "app/qt/file_filter.h"
#include "app/qt/main_window.h"
#include "platform/executable_path.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

class QtWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "velmora_qt_tests";
    static char* argv[] = {name, nullptr};
    FQtApplication = new QApplication(argc, argv);
  }

  static void TearDownTestSuite() {
    delete FQtApplication;
    FQtApplication = nullptr;
  }

  void SetUp() override {
    Application().SetTitle("Velmora");
    Application().SetEnvironment({ExecutablePath(), FFolder.File("config"), FFolder.File("none")});
    FForm = new TfrmMain(nullptr, FWindow);
    FForm->FormStorage1()->SetIniFileName(FFolder.File("velmora.INI"));
    FWindow.SetForm(FForm);
    Application().SetMainForm(FForm);
    ApplyCaptionAndAbout();
    FWindow.show();
  }

  void TearDown() override {
    FWindow.close();
    FForm->Free();
  }

  template <class T> T* Control(const char* name) {
    T* control = FWindow.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  static QApplication* FQtApplication;
  testing::TTempFolder FFolder;
  TQtMainWindow FWindow;
  TfrmMain* FForm = nullptr;
};

QApplication* QtWindowTest::FQtApplication = nullptr;

TEST_F(QtWindowTest, WindowHasItsCaptionPagesAndControls) {
  EXPECT_EQ(FWindow.objectName(), "frmMain");
  EXPECT_EQ(FWindow.windowTitle(), "Velmora v0.2.1.19");

  auto* pages = Control<QTabWidget>("pgMain");
  ASSERT_NE(pages, nullptr);
  ASSERT_EQ(pages->count(), 3);
  EXPECT_EQ(pages->tabText(0), "1 - Import from Mobius");
  EXPECT_EQ(pages->tabText(1), "2 - Select Contacts");
  EXPECT_EQ(pages->tabText(2), "3 - Export to Phoner");
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_EQ(pages->widget(0)->objectName(), "tsLMC");
  EXPECT_EQ(pages->widget(1)->objectName(), "tsSelect");
  EXPECT_EQ(pages->widget(2)->objectName(), "tsOutput");

  auto* label1 = Control<QLabel>("Label1");
  auto* label2 = Control<QLabel>("Label2");
  auto* label3 = Control<QLabel>("Label3");
  auto* lmcFile = Control<QLineEdit>("feLMCFile");
  auto* outFile = Control<QLineEdit>("feOutFile");
  auto* countryCode = Control<QSpinBox>("seCountryCode");
  ASSERT_TRUE(label1 && label2 && label3 && lmcFile && outFile && countryCode);
  EXPECT_EQ(label1->text(), "&Mobius Backup-File:");
  EXPECT_EQ(label2->text(), "&Phoner Adress File:");
  EXPECT_EQ(label3->text(), "&Country Code:");
  EXPECT_EQ(label1->buddy(), lmcFile);
  EXPECT_EQ(label2->buddy(), outFile);
  EXPECT_EQ(label3->buddy(), countryCode);

  EXPECT_EQ(lmcFile->text(), "Mobius.lmc");
  EXPECT_EQ(outFile->text(), "BUCH.ADR");
  EXPECT_EQ(countryCode->value(), 49);
  EXPECT_EQ(countryCode->minimum(), INT_MIN);
  EXPECT_EQ(countryCode->maximum(), INT_MAX);
  EXPECT_TRUE(countryCode->alignment() & Qt::AlignRight);

  for (const char* name : {"btnImport", "btnExport"}) {
    auto* button = Control<QToolButton>(name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << name;
    EXPECT_TRUE(button->autoRaise()) << name;
    EXPECT_EQ(button->iconSize(), QSize(16, 16)) << name;
    EXPECT_TRUE(button->text().isEmpty()) << name;
  }

  auto* list = Control<QTreeWidget>("lvSelect");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->headerItem()->text(0), "Device");
  EXPECT_EQ(list->headerItem()->text(1), "Date");
  EXPECT_EQ(list->columnWidth(0), 100);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);

  auto* status = Control<QStatusBar>("sbStatus");
  auto* panel0 = Control<QLabel>("sbStatusPanel0");
  auto* panel1 = Control<QLabel>("sbStatusPanel1");
  ASSERT_TRUE(status && panel0 && panel1);
  EXPECT_EQ(panel0->width(), 150);
  EXPECT_EQ(panel1->width(), 50);
}

TEST_F(QtWindowTest, ViewOperationsDriveTheWidgets) {
  int first = 1;
  int second = 2;
  EXPECT_EQ(FWindow.SelectedRow(), kNoRow);
  EXPECT_EQ(FWindow.AppendRow("Phone A", "2026-01-01", &first), 0);
  EXPECT_EQ(FWindow.AppendRow("", "2026-02-01", &second), 1);
  FWindow.CheckSelectAndShowRow(1);
  EXPECT_EQ(FWindow.SelectedRow(), 1);
  EXPECT_EQ(FWindow.RowData(1), &second);
  auto* list = Control<QTreeWidget>("lvSelect");
  EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Checked);
  EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
  FWindow.ClearRows();
  EXPECT_EQ(FWindow.SelectedRow(), kNoRow);

  FWindow.SetActivePage(tsSelect);
  EXPECT_EQ(Control<QTabWidget>("pgMain")->currentIndex(), 1);
  FWindow.SetStatusText(0, "Jörg");
  EXPECT_EQ(Control<QLabel>("sbStatusPanel0")->text(), "Jörg");
  FWindow.SetCountryCodeValue(-7);
  EXPECT_EQ(FWindow.CountryCodeText(), "-7");
  EXPECT_EQ(FWindow.CountryCodeValue(), -7);
  FWindow.SetCommandsEnabled(false);
  EXPECT_FALSE(Control<QToolButton>("btnImport")->isEnabled());
  FWindow.SetCommandsEnabled(true);
  EXPECT_TRUE(Control<QToolButton>("btnExport")->isEnabled());
}

TEST_F(QtWindowTest, ClosingWritesTheSettings) {
  Control<QLineEdit>("feOutFile")->setText("/tmp/out file.adr");
  FWindow.close();
  const NarrowString settings = testing::ReadWholeFile(FFolder.File("velmora.INI"));
  EXPECT_NE(settings.find("OutFileName=/tmp/out file.adr\n"), NarrowString::npos);
  EXPECT_NE(settings.find("Visible=0\n"), NarrowString::npos);
}

TEST_F(QtWindowTest, PlacementKeepsTheWindowAtItsRealSizeOnTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize minimum = FWindow.minimumSize();
  ASSERT_GT(minimum.width(), 0);
  const TRect cases[] = {
      {50, 60, 550, 360},                                          // fits as it is
      {2000, 2000, 2400, 2200},                                    // beyond the bottom right
      {2000, 2000, 2010, 2010},                                    // also smaller than allowed
      {-500, -400, -100, -200},                                    // beyond the top left
      {100, 100, 110, 110},                                        // smaller than allowed
      {0, 0, area.width() + 500, area.height() + 500},             // larger than the screen
      {area.right() - 5, 10, area.right() + minimum.width(), 300}, // the right edge
  };
  for (const TRect& stored : cases) {
    FWindow.SetPlacement({0, kShowNormal, {-1, -1}, {-1, -1}, stored});
    const QRect placed = FWindow.geometry();
    const QSize size = QSize(stored.Right - stored.Left, stored.Bottom - stored.Top)
                           .boundedTo(area.size())
                           .expandedTo(minimum);
    const auto where = ::testing::Message() << stored.Left << "," << stored.Top << ","
                                            << stored.Right << "," << stored.Bottom;
    EXPECT_EQ(placed.size(), size) << where;
    EXPECT_TRUE(area.contains(placed)) << where;
    if (area.contains(QRect(QPoint(stored.Left, stored.Top), size))) {
      EXPECT_EQ(placed.topLeft(), QPoint(stored.Left, stored.Top)) << where;
    }
    EXPECT_EQ(FWindow.Placement().NormalPosition,
              (TRect{placed.left(), placed.top(), placed.right() + 1, placed.bottom() + 1}))
        << where;
  }
}

TEST_F(QtWindowTest, WindowStatesMapOntoTheShowCommandAndKeepTheNormalRectangle) {
  const TRect normal{50, 60, 550, 360};
  FWindow.SetPlacement({0, kShowNormal, {-1, -1}, {-1, -1}, normal});
  const struct {
    TWindowState Set;
    TWindowState Expected;
    int ShowCmd;
    uint32_t Flags;
  } steps[] = {
      {wsMaximized, wsMaximized, kShowMaximized, 0},
      {wsMinimized, wsMinimized, kShowMinimized, kPlacementRestoreToMaximized},
      {wsNormal, wsNormal, kShowNormal, 0},
      {wsMinimized, wsMinimized, kShowMinimized, 0},
      {wsNormal, wsNormal, kShowNormal, 0},
  };
  for (const auto& step : steps) {
    FWindow.SetWindowState(step.Set);
    EXPECT_EQ(FWindow.WindowState(), step.Expected) << step.Set;
    const TWindowPlacement placement = FWindow.Placement();
    EXPECT_EQ(placement.ShowCmd, step.ShowCmd) << step.Set;
    EXPECT_EQ(placement.Flags, step.Flags) << step.Set;
    EXPECT_EQ(placement.NormalPosition, normal) << step.Set;
  }
}

// The window of the program's next run, with the same settings file.
struct TNextRun {
  explicit TNextRun(const NarrowString& iniFile) : Form(new TfrmMain(nullptr, Window)) {
    Form->FormStorage1()->SetIniFileName(iniFile);
    Window.SetForm(Form);
    Application().SetMainForm(Form);
    Window.show();
    QCoreApplication::processEvents(); // a minimize that the restore posted
  }
  ~TNextRun() { Form->Free(); }

  TQtMainWindow Window;
  TfrmMain* Form;
};

TEST_F(QtWindowTest, PlacementAndStateComeBackInTheNextRun) {
  const NarrowString iniFile = FFolder.File("velmora.INI");
  const TRect normal{40, 50, 540, 350};
  for (TWindowState state : {wsMaximized, wsMinimized, wsNormal}) {
    {
      TNextRun run(iniFile);
      run.Window.SetWindowState(wsNormal);
      run.Window.SetPlacement({0, kShowNormal, {-1, -1}, {-1, -1}, normal});
      run.Window.SetWindowState(state);
      run.Window.close();
    }
    TNextRun next(iniFile);
    EXPECT_EQ(next.Window.WindowState(), state) << state;
    EXPECT_EQ(next.Window.Placement().NormalPosition, normal) << state;
  }
}

// Clicks the button of the next message box as soon as it is shown, and keeps what it said.
struct TBoxAnswer {
  QString Title;
  QString Text;

  void Next(const QString& button) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [this, poll, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) {
        return;
      }
      Title = box->windowTitle();
      Text = box->text();
      for (QAbstractButton* candidate : box->buttons()) {
        if (candidate->text() == button) {
          candidate->click();
        }
      }
      poll->deleteLater();
    });
    poll->start(10);
  }
};

TEST_F(QtWindowTest, AConversionAsAPersonDoesIt) {
  using testing::ReadWholeFile;
  using testing::TestDataFile;
  const NarrowString backup = ReadWholeFile(TestDataFile("../../examples/Mobius.lmc"));
  FFolder.WriteFile("Mobius.lmc", backup);
  auto* lmcFile = Control<QLineEdit>("feLMCFile");
  auto* list = Control<QTreeWidget>("lvSelect");
  ASSERT_TRUE(lmcFile && list);
  lmcFile->setText(QString::fromStdString(FFolder.File("Mobius.lmc")));
  QTest::mouseClick(Control<QToolButton>("btnImport"), Qt::LeftButton);

  EXPECT_EQ(Control<QTabWidget>("pgMain")->currentIndex(), 1);
  ASSERT_EQ(list->topLevelItemCount(), 6);
  EXPECT_EQ(list->topLevelItem(3)->text(0), "Handy Büro");
  EXPECT_EQ(list->topLevelItem(3)->text(1), "2026-01-02 12:00");
  EXPECT_EQ(list->topLevelItem(5)->checkState(0), Qt::Checked);
  EXPECT_EQ(list->currentItem(), list->topLevelItem(5));
  EXPECT_EQ(Control<QLabel>("sbStatusPanel0")->text(), "Handy Büro");
  EXPECT_EQ(Control<QLabel>("sbStatusPanel1")->text(), "2026-03-02 12:02");

  // A click on another row and back on the last one.
  for (int row : {1, 5}) {
    const QRect place = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
  }
  EXPECT_EQ(FWindow.SelectedRow(), 5);

  Control<QTabWidget>("pgMain")->setCurrentIndex(2);
  Control<QLineEdit>("feOutFile")->setText(QString::fromStdString(FFolder.File("BUCH.ADR")));
  Control<QSpinBox>("seCountryCode")->setValue(49);
  FFolder.WriteFile("BUCH.ADR", "old");
  TBoxAnswer answer;
  answer.Next("Abbrechen");
  QTest::mouseClick(Control<QToolButton>("btnExport"), Qt::LeftButton);
  EXPECT_EQ(answer.Title, "Warnung");
  EXPECT_EQ(answer.Text, "Adressfile exists, overwrite?");
  EXPECT_EQ(FFolder.ReadFile("BUCH.ADR"), "old");

  answer.Next("OK");
  QTest::mouseClick(Control<QToolButton>("btnExport"), Qt::LeftButton);
  EXPECT_EQ(FFolder.ReadFile("BUCH.ADR"), ReadWholeFile(TestDataFile("convert/Mobius.adr")));
  EXPECT_EQ(Control<QLabel>("sbStatusPanel0")->text(), "81");

  FFolder.WriteFile("Mobius.lmc", "this is no XML");
  answer.Next("OK");
  QTest::mouseClick(Control<QToolButton>("btnImport"), Qt::LeftButton);
  EXPECT_EQ(answer.Title, "Velmora");
  EXPECT_EQ(answer.Text, "Parser error.");
  EXPECT_EQ(list->topLevelItemCount(), 0);
  EXPECT_EQ(Control<QTabWidget>("pgMain")->currentIndex(), 2);
}

TEST(FileDialogFilter, DescriptionsAndPatternsBecomeQtFilters) {
  EXPECT_EQ(QtFileDialogFilter("Mobius Backup File (Mobius.lmc)|Mobius.lmc|All Files (*.*)|*.*"),
            "Mobius Backup File (Mobius.lmc);;All Files (*)");
  EXPECT_EQ(QtFileDialogFilter("Text|*.txt;*.csv"), "Text (*.txt *.csv)");
  EXPECT_EQ(QtFileDialogFilter(""), "");
  EXPECT_EQ(QuotedFileNameForField("/home/a b/Mobius.lmc"), "\"/home/a b/Mobius.lmc\"");
  EXPECT_EQ(QuotedFileNameForField("\"/home/a b/x\""), "\"/home/a b/x\"");
  EXPECT_EQ(QuotedFileNameForField("/home/ab/x"), "/home/ab/x");
}

} // namespace
} // namespace velmora
