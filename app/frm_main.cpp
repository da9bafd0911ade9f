#include "app/frm_main.h"

#include "gui/application.h"

namespace vl {

TfrmMain::TfrmMain() {
  WindowParams p;
  p.className = L"TfrmMain";
  p.caption = kMainCaption;
  p.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  p.exStyle = WS_EX_TOOLWINDOW;
  p.x = 300;
  p.y = 300;
  p.width = 340;
  p.height = 110;
  p.parent = TApplication::Instance().OwnerWindow();
  Create(p);
}

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    TApplication::Instance().Terminate();
    return 0;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
