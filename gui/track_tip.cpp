#include "gui/track_tip.h"

#include <commctrl.h>

#include "gui/tool_tip.h"

namespace vl {
namespace {

constexpr UINT_PTR kToolId = 1;
// Clear of the tooltip control's own timers (1 to 4).
constexpr UINT_PTR kTimeUpTimer = 0x5654;

TTTOOLINFOW ToolInfo(HWND owner, const wchar_t* text) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_CENTERTIP;
  ti.hwnd = owner;
  ti.uId = kToolId;
  ti.lpszText = const_cast<wchar_t*>(text);
  return ti;
}

}  // namespace

TTrackTip::~TTrackTip() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void TTrackTip::Show(const std::wstring& text, POINT screen, UINT ms) {
  text_ = text;
  if (!window_ || !IsWindow(window_)) {
    window_ = MakeToolTipWindow(owner_);
    TTTOOLINFOW ti = ToolInfo(owner_, text_.c_str());
    SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  TTTOOLINFOW ti = ToolInfo(owner_, text_.c_str());
  SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(window_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
  SendMessageW(window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
  SetTimer(window_, kTimeUpTimer, ms, &TimeUp);
}

void TTrackTip::Hide() {
  if (!window_ || !IsWindow(window_)) return;
  KillTimer(window_, kTimeUpTimer);
  TTTOOLINFOW ti = ToolInfo(owner_, nullptr);
  SendMessageW(window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

void CALLBACK TTrackTip::TimeUp(HWND window, UINT, UINT_PTR, DWORD) {
  KillTimer(window, kTimeUpTimer);
  TTTOOLINFOW ti = ToolInfo(GetWindow(window, GW_OWNER), nullptr);
  SendMessageW(window, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

bool TTrackTip::Visible() const { return window_ && IsWindow(window_) && IsWindowVisible(window_); }

std::wstring TTrackTip::Text() const { return Visible() ? text_ : std::wstring(); }

}  // namespace vl
