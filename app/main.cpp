// Program entry of the launcher.
#include <windows.h>

#include "app/frm_main.h"
#include "gui/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCmd) {
  vl::TApplication app(L"RavariVudovi");
  vl::TfrmMain main;
  ShowWindow(main.Handle(), showCmd);
  return app.Run();
}
