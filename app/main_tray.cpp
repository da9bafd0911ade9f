// TfrmMain's tray icon as a new user meets it: put up once the window is painted, its tip
// naming the product and the key that calls the launcher, and on the very first start
// one notification saying where the launcher lives.
#include "app/frm_main.h"

#include "app/call_up_notes.h"
#include "gui/layout.h"

namespace vl {

void TfrmMain::RenewTrayTip() {
  std::wstring tip = kProductName;
  if (keys_->Show().InForce()) tip += L"\n" + keys_->Show().HotKey() + L" で表示";
  coolTrayIcon1_->SetHint(std::move(tip));
}

void TfrmMain::PutUpTrayIcon() {
  if (coolTrayIcon1_->IconVisible()) return;
  coolTrayIcon1_->SetIcon(UniqueIcon(static_cast<HICON>(
      // The notification area draws at the system's DPI, wherever the window is.
      LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, GetSystemMetricsForDpi(SM_CXSMICON, SystemDpi()),
                 GetSystemMetricsForDpi(SM_CYSMICON, SystemDpi()), 0))));
  coolTrayIcon1_->SetIconVisible(true);
  if (firstStart_) {
    firstStart_ = false;  // once, also when a new taskbar asks for the icon again
    coolTrayIcon1_->ShowBalloon(kProductName, FirstStartNote(keys_->Show().InForce() ? keys_->Show().HotKey() : L""));
  }
}

}  // namespace vl
