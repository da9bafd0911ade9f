#include "gui/message_window.h"

namespace vl {

TMessageWindow::TMessageWindow(const wchar_t* className) {
  WindowParams p;
  p.className = className;
  p.style = WS_POPUP;
  p.exStyle = WS_EX_TOOLWINDOW;
  p.x = p.y = p.width = p.height = 0;
  Create(p);
}

}  // namespace vl
