// Program entry: one copy only, the main window, the dialogs, the message loop.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/call_up_notes.h"
#include "app/frm_main.h"
#include "app/single_instance.h"
#include "buttons/frm_btn_option.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_page_option.h"
#include "dialogs/frm_setting.h"
#include "gui/application.h"
#include "gui/platform/dll_search.h"
#include "gui/platform/ole_scope.h"
#include "gui/platform/start_phases.h"

// The C++ library's own handler for an exception nobody catches writes the exception's
// demangled type to the standard error, which a windowed program has not; its demangler
// alone was a tenth of the executable. Ending at once leaves Windows the same crash report.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL: none by name from the program's folder (see there).
  vl::RestrictDllSearch();
  vl::TOleScope ole;  // first in, last out: the shell's link objects need it
  vl::TSingleInstance instance(L"RavariVudovi");
  if (instance.AlreadyRunning()) {
    // The system's own box and title: nothing of ours is made in a copy that is to end.
    const std::wstring note = vl::SecondStartNote(vl::ShowKeyInFile(vl::TIniFile(vl::SettingsFilePath())));
    MessageBoxW(nullptr, note.c_str(), nullptr, MB_ICONERROR);
    // The user started the launcher to have it: the running copy comes up.
    vl::CallUpRunningLauncher();
    return 0;
  }
  vl::TApplication app(vl::kProductName);
  vl::MarkStartPhase("application");
  std::unique_ptr<vl::TfrmMain> main;
  try {
    main = std::make_unique<vl::TfrmMain>();
  } catch (...) {
    app.ShowCurrentException();
    return 1;
  }
  // No taskbar button: the program lives in the notification area.
  HWND owner = app.OwnerWindow();
  ShowWindow(owner, SW_HIDE);
  SetWindowLongPtrW(owner, GWL_EXSTYLE, GetWindowLongPtrW(owner, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  // The user sees the launcher before the hidden dialogs are made, not after.
  RedrawWindow(main->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  vl::MarkStartPhase("painted");
  // The dialogs, hidden: one that cannot be made is reported, and its command does nothing.
  std::unique_ptr<vl::TfrmBtnOption> btnOption;
  std::unique_ptr<vl::TfrmPageOption> pageOption;
  std::unique_ptr<vl::TfrmAbout> about;
  std::unique_ptr<vl::TfrmSetting> setting;
  try {
    btnOption = std::make_unique<vl::TfrmBtnOption>(*main);
  } catch (...) {
    app.ShowCurrentException();
  }
  try {
    pageOption = std::make_unique<vl::TfrmPageOption>(*main);
  } catch (...) {
    app.ShowCurrentException();
  }
  try {
    about = std::make_unique<vl::TfrmAbout>();
  } catch (...) {
    app.ShowCurrentException();
  }
  try {
    setting = std::make_unique<vl::TfrmSetting>(*main);
  } catch (...) {
    app.ShowCurrentException();
  }
  main->SetDialogs(btnOption.get(), pageOption.get(), about.get(), setting.get());
  int code = app.Run();
  // The dialogs first: they hold on to the main window's pages.
  main->SetDialogs(nullptr, nullptr, nullptr);
  setting.reset();
  about.reset();
  pageOption.reset();
  btnOption.reset();
  main.reset();  // writes the page count, the position and every live page's buttons
  return code;
}
