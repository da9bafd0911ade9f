// idle_window: one visible window with the launcher's main window's styles and a message
// loop, and nothing else: the baseline of bench/idle_cpu.sh. Runs until it is killed or
// its window is closed.
#include <windows.h>

#include "bench/bench_support.h"
#include "gui/application.h"

namespace {

class TIdleWindow : public vl::bench::TBareWindow {
 public:
  using TBareWindow::TBareWindow;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CLOSE) {
      vl::TApplication::Instance().Terminate();
      return 0;
    }
    return TBareWindow::HandleMessage(msg, wParam, lParam);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  vl::TApplication app(L"idle_window");
  TIdleWindow window(app.OwnerWindow());
  ShowWindow(window.Handle(), SW_SHOWNORMAL);
  return app.Run();
}
