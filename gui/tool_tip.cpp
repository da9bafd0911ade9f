#include "gui/tool_tip.h"

#include <commctrl.h>

#include "gui/layout.h"
#include "gui/platform/platform_error.h"
#include "gui/theme.h"

namespace vl {
namespace {

// The property of a top-level window that holds its shared tooltip window.
constexpr wchar_t kSharedToolTip[] = L"VantriToolTip";
// Designed pixels: a long path wraps at this width rather than running across the screen.
constexpr int kMaxTipWidth = 480;

// The tooltip window of `tool`'s top-level window, made when it has none.
HWND SharedToolTipOf(HWND tool) {
  HWND root = GetAncestor(tool, GA_ROOT);
  if (!root) root = tool;
  auto window = static_cast<HWND>(GetPropW(root, kSharedToolTip));
  if (window && IsWindow(window)) return window;
  window = MakeToolTipWindow(root);
  // A width of its own makes the control break lines at "\n": a tip of a name and a path.
  SendMessageW(window, TTM_SETMAXTIPWIDTH, 0, DesignToDevice(kMaxTipWidth, DpiOf(root)));
  SetPropW(root, kSharedToolTip, window);
  return window;
}

}  // namespace

HWND MakeToolTipWindow(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) ThrowLastError(L"CreateWindowEx(tooltip)");
  FollowTheme(window);
  return window;
}

TToolTip::TToolTip(HWND tool) : tool_(tool), window_(SharedToolTipOf(tool)) {
  TTTOOLINFOW ti = ToolInfo(L"");
  SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

TToolTip::~TToolTip() {
  // Its owner may have taken the tooltip window along already.
  if (!IsWindow(window_)) return;
  // Removed while the tool is still there: the control takes its subclass off the tool.
  Activate(false);
  if (SendMessageW(window_, TTM_GETTOOLCOUNT, 0, 0) == 0) {
    RemovePropW(GetWindow(window_, GW_OWNER), kSharedToolTip);
    DestroyWindow(window_);
  }
}

TTTOOLINFOW TToolTip::ToolInfo(const wchar_t* text) const {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(tool_) ? GetParent(tool_) : tool_;
  ti.uId = reinterpret_cast<UINT_PTR>(tool_);
  ti.lpszText = const_cast<wchar_t*>(text);
  return ti;
}

void TToolTip::SetText(const std::wstring& text) {
  text_ = text;
  if (!active_) return;
  TTTOOLINFOW ti = ToolInfo(text_.c_str());
  SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::wstring TToolTip::Text() const {
  if (!active_) return L"";
  // Tooltip texts are short; the control copies at most 80 characters without a length
  // query, so ask with a buffer of our own size.
  wchar_t buffer[1024] = L"";
  TTTOOLINFOW ti = ToolInfo(buffer);
  SendMessageW(window_, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&ti));
  return buffer;
}

void TToolTip::Activate(bool on) {
  if (on == active_) return;
  TTTOOLINFOW ti = ToolInfo(text_.c_str());
  SendMessageW(window_, on ? TTM_ADDTOOLW : TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  active_ = on;
}

}  // namespace vl
