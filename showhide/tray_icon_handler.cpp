#include "showhide/tray_icon_handler.h"

#include "showhide/cool_tray_icon.h"

namespace vl {
namespace {
UINT g_lastId = 0;
}  // namespace

TTrayIconHandler::TTrayIconHandler() : TMessageWindow(L"TTrayIconHandler") {}

UINT TTrayIconHandler::Add(TCoolTrayIcon* icon) {
  icons_[++g_lastId] = icon;
  return g_lastId;
}

LRESULT TTrayIconHandler::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kTrayCallbackMessage: {
      auto it = icons_.find(static_cast<UINT>(wParam));
      if (it == icons_.end()) return 0;
      // The event may release the last icon, and with it this window and object; the
      // share held here lets that happen only after the event has returned.
      std::shared_ptr<TTrayIconHandler> keep = shared_from_this();
      it->second->HandleCallback(static_cast<UINT>(lParam));
      return 0;
    }
    case WM_CLOSE:
      // Shared by every icon: only the last share ends it, never a close request.
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    default:
      return DefaultHandler(msg, wParam, lParam);
  }
}

}  // namespace vl
