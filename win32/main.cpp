// miralto.exe: the window on Windows. The correction file lives where miralto-cli.exe finds it too:
// beside the program when that folder is portable, else in %APPDATA%\Miralto.
#include <windows.h>

#include <commctrl.h>

#include "corrections/correction_location.h"
#include "form/form1.h"
#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // The themed controls of the manifest's common controls 6.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The wide-text functions: std::filesystem would bring in most of the program's size.
  miralto::form::FileCorrectionStore store(
      miralto::CorrectionDirectoryW(miralto::ProgramDirectoryW()));
  miralto::win32::MainWindow window(instance, store, miralto::win32::UserLanguage());
  window.Show(show_command);
  return miralto::win32::RunMessageLoop(window.handle());
}
