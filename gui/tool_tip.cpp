#include "gui/tool_tip.h"

#include <commctrl.h>

#include "gui/platform_error.h"

namespace vl {

TToolTip::TToolTip(HWND tool) : tool_(tool) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  window_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tool, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (!window_) ThrowLastError(L"CreateWindowEx(tooltip)");
  TTTOOLINFOW ti = ToolInfo(L"");
  SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
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
  TTTOOLINFOW ti = ToolInfo(text.c_str());
  SendMessageW(window_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::wstring TToolTip::Text() const {
  // Tooltip texts are short; the control copies at most 80 characters without a length
  // query, so ask with a buffer of our own size.
  wchar_t buffer[1024] = L"";
  TTTOOLINFOW ti = ToolInfo(buffer);
  SendMessageW(window_.get(), TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&ti));
  return buffer;
}

void TToolTip::Activate(bool on) { SendMessageW(window_.get(), TTM_ACTIVATE, on, 0); }

}  // namespace vl
