// The velmora program on Windows: the converter's window.

#include <windows.h>

#include "app/application.h"
#include "app/caption_about.h"
#include "app/main_form.h"
#include "app/win32/main_window.h"
#include "runtime/exceptions.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace velmora;
  Application().SetTitle("Velmora");
  TWin32MainWindow window(instance);
  TfrmMain* form = nullptr;
  try {
    form = new TfrmMain(&Application(), window);
  } catch (const std::exception& error) {
    // No window to own the box yet, and no console to print to.
    ::MessageBoxA(nullptr, TApplication::ErrorBoxText(FailureText(error)).c_str(),
                  Application().Title().c_str(), MB_OK | MB_ICONSTOP);
    return 1;
  }
  window.SetForm(form);
  Application().SetMainForm(form);
  ApplyCaptionAndAbout();

  window.Show();
  const int exitCode = window.RunMessageLoop();
  // Saves the settings unless closing did, then runs the form's destruction handler.
  form->Free();
  return exitCode;
}
