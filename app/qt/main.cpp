// The velmora program: the converter's window.

#include <QApplication>
#include <cstdio>

#include "app/application.h"
#include "app/caption_about.h"
#include "app/main_form.h"
#include "app/qt/icons.h"
#include "app/qt/main_window.h"

int main(int argc, char** argv) {
  using namespace velmora;
  QApplication qtApplication(argc, argv);
  qtApplication.setWindowIcon(ApplicationIcon());
  Application().SetTitle("Velmora");
  qtApplication.setApplicationName(QStringLiteral("Velmora"));

  TQtMainWindow window;
  TfrmMain* form = nullptr;
  try {
    form = new TfrmMain(&Application(), window);
  } catch (const std::exception& error) {
    Application().HandleException(error);
    return 1;
  }
  window.SetForm(form);
  Application().SetMainForm(form);
  ApplyCaptionAndAbout();

  window.show();
  const int exitCode = qtApplication.exec();
  // Saves the settings unless closing did, then runs the form's destruction handler.
  form->Free();
  return exitCode;
}
