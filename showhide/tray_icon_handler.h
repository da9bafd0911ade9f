// TTrayIconHandler: the one hidden window of the process at which the shell reports mouse
// events on our notification-area icons.
//
// Acquire hands out shares: the first creates the window, and the window goes with the
// last share. Each TCoolTrayIcon holds one and registers itself under a number of the
// handler's choosing, which is the icon's identifier towards the shell; the shell's
// callback (kTrayCallbackMessage, the identifier, the mouse message) goes to the icon
// registered under that number, and a callback for a number no longer registered is
// dropped. GUI thread only.
#pragma once

#include <map>
#include <memory>

#include "gui/message_window.h"
#include "gui/shared_window.h"

namespace vl {

class TCoolTrayIcon;

// The message the shell sends for every mouse event on one of our icons.
inline constexpr UINT kTrayCallbackMessage = 0x0800;

class TTrayIconHandler : public TMessageWindow,
                         public TSharedWindow<TTrayIconHandler> {
 public:
  // Returns the icon's identifier, never used before in this process.
  UINT Add(TCoolTrayIcon* icon);
  void Remove(UINT id) { icons_.erase(id); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class TSharedWindow<TTrayIconHandler>;
  TTrayIconHandler();

  std::map<UINT, TCoolTrayIcon*> icons_;  // we don't own them
};

}  // namespace vl
