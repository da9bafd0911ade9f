#include "gui/live_text.h"

#include <optional>

#include "gui/accessible_window.h"

namespace vl {
namespace {

// The platform's identities of the annotation service and of the live setting, which the
// MinGW headers declare under other names or not at all.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;  // LiveSetting: spoken when the reader is done with what it says

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// What a reader hears of the text: the blanks that place it on the screen are not said.
std::wstring Heard(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Whether an accessibility client already talks to the process: a screen reader tells the
// system that it runs, and any client's first question has loaded oleacc.dll here.
bool ClientListening() {
  BOOL reader = FALSE;
  return (SystemParametersInfoW(SPI_GETSCREENREADER, 0, &reader, 0) && reader) ||
         GetModuleHandleW(L"oleacc.dll") != nullptr;
}

}  // namespace

TLiveText::TLiveText(HWND parent, DWORD style)
    : window_(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | style, 0, 0, 0, 0, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {
  if (!window_) return;
  subclass_ = std::make_unique<TWindowSubclass>(
      window_.get(), [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Hook(msg, wParam, lParam); });
  if (ClientListening()) MakeLive();
}

void TLiveText::Show(const std::wstring& text) {
  HWND hwnd = Handle();
  const bool changed = TextOf(hwnd) != text;
  if (changed) SetWindowTextW(hwnd, text.c_str());
  const bool appears = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) == 0;
  if (appears) ShowWindow(hwnd, SW_SHOWNA);
  if (!changed && !appears) return;  // said already
  // The name first, for the clients that follow names; the live region's event is what
  // makes a reader speak a window that has no focus.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void TLiveText::Hide() { ShowWindow(Handle(), SW_HIDE); }

LRESULT TLiveText::Hook(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = subclass_->Window();  // also while the owner's handle is being let go
  if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    // A client asks: the annotation is made before it reads the answer.
    MakeLive();
    static const AccessibleKind kind{ROLE_SYSTEM_STATUSBAR};
    if (std::optional<LRESULT> answer = AnswerAccessibleWindow(hwnd, wParam, lParam, kind)) return *answer;
  } else if (msg == AccessibleNameMessage()) {
    TellAccessibleName(lParam, Heard(TextOf(hwnd)));
    return 0;
  } else if (msg == WM_DESTROY) {
    ForgetLive();
  }
  return subclass_->CallNext(msg, wParam, lParam);
}

void TLiveText::MakeLive() {
  if (liveAsked_) return;
  liveAsked_ = true;
  // On the GUI thread, where the program has COM; without it there is no annotation.
  ComPtr<IAccPropServices> props;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, props.put_void())))
    return;
  VARIANT polite;
  VariantInit(&polite);
  polite.vt = VT_I4;
  polite.lVal = kPolite;
  if (SUCCEEDED(props->SetHwndProp(Handle(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSetting, polite)))
    props_ = std::move(props);
}

void TLiveText::ForgetLive() {
  // The annotation would stay with the handle, which the system gives again to another window.
  if (!props_) return;
  props_->ClearHwndProps(subclass_->Window(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &kLiveSetting, 1);
  props_.reset();
}

}  // namespace vl
