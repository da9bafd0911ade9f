#include "gui/spin_edit.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cerrno>

#include "core/number_text.h"
#include "gui/platform/platform_error.h"

namespace vl {

TSpinEdit::TSpinEdit(const ControlParams& p) : TEdit(p) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  wchar_t separator[4] = L".";
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 0) decimal_ = separator[0];
  upDown_.reset(CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, p.parent, nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!upDown_) ThrowLastError(L"CreateWindowEx(msctls_updown32)");
  SendMessageW(upDown_.get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
  SetBounds(0, 0);
  SetValue(0);
  filter_ = std::make_unique<TWindowSubclass>(
      Handle(), [this](UINT msg, WPARAM wParam, LPARAM lParam) { return EditMessage(msg, wParam, lParam); });
}

TSpinEdit::~TSpinEdit() {
  filter_.reset();
  // The up-down window may have gone with the parent already.
  if (!IsWindow(upDown_.get())) upDown_.release();
}

LRESULT TSpinEdit::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR) {
    wchar_t c = static_cast<wchar_t>(wParam);
    // Control characters (Backspace, Ctrl+V and the like) pass: they are not typed text.
    bool allowed = c < L' ' || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == decimal_;
    if (!allowed) {
      MessageBeep(MB_OK);
      return 0;
    }
  }
  return filter_->CallNext(msg, wParam, lParam);
}

void TSpinEdit::SetBounds(std::int32_t minValue, std::int32_t maxValue) {
  min_ = minValue;
  max_ = maxValue;
  if (Bounded()) {
    SendMessageW(upDown_.get(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  } else {
    SendMessageW(upDown_.get(), UDM_SETRANGE32, static_cast<WPARAM>(INT_MIN), static_cast<LPARAM>(INT_MAX));
  }
}

std::int32_t TSpinEdit::Clamp(std::int32_t value) const {
  return Bounded() ? std::clamp(value, std::min(min_, max_), std::max(min_, max_)) : value;
}

std::int32_t TSpinEdit::Value() const {
  std::wstring text = Text();
  const wchar_t* start = text.c_str();
  wchar_t* end = nullptr;
  errno = 0;
  long long value = std::wcstoll(start, &end, 10);
  // Whole text, an integer of 32 bits, nothing else: "12a", "1.5", "" and "+" are no numbers.
  bool whole = end != start && *end == L'\0' && errno == 0 && value >= INT32_MIN && value <= INT32_MAX &&
               !std::iswspace(static_cast<wint_t>(text.front()));
  return Clamp(whole ? static_cast<std::int32_t>(value) : 0);
}

void TSpinEdit::SetValue(std::int32_t value) {
  value = Clamp(value);
  SetText(DecimalText(value));
  SendMessageW(upDown_.get(), UDM_SETPOS32, 0, value);
}

void TSpinEdit::SetEnabled(bool enabled) {
  TEdit::SetEnabled(enabled);
  EnableWindow(upDown_.get(), enabled);
}

}  // namespace vl
