#include "app/search_ime.h"

#include <imm.h>

#include <algorithm>
#include <cstdlib>

#include "gui/bitmap_button.h"

namespace vl {
namespace {

// The input context a window holds, for as long as it is used.
class InputContext {
 public:
  explicit InputContext(HWND window) : window_(window), imc_(ImmGetContext(window)) {}
  ~InputContext() {
    if (imc_) ImmReleaseContext(window_, imc_);
  }
  InputContext(const InputContext&) = delete;
  InputContext& operator=(const InputContext&) = delete;

  HIMC get() const { return imc_; }
  // False for a window the input method is disabled for.
  explicit operator bool() const { return imc_ != nullptr; }

 private:
  HWND window_;
  HIMC imc_;
};

// The font the strip shows its line in (the main window's, at its DPI); false without one.
bool StripFont(const TPageControl& strip, LOGFONTW& font) {
  const auto shown = reinterpret_cast<HFONT>(SendMessageW(strip.Handle(), WM_GETFONT, 0, 0));
  return shown && GetObjectW(shown, sizeof font, &font) != 0;
}

}  // namespace

TSearchIme::TSearchIme(HWND window, const TPageControl& strip, const TLauncherSearch& search)
    : window_(window),
      strip_(strip),
      search_(search),
      windowHook_(window,
                  [this](UINT msg, WPARAM wParam, LPARAM lParam) { return WindowMessage(msg, wParam, lParam); }),
      stripHook_(strip.Handle(),
                 [this](UINT msg, WPARAM wParam, LPARAM lParam) { return StripMessage(msg, wParam, lParam); }) {}

bool TSearchIme::Composing() const {
  // The focus gone elsewhere, the composition (if the input method kept it) is no longer
  // where the keys go; hidden, the launcher takes no keys at all.
  return composingAt_ && composingAt_ == GetFocus() && IsWindowVisible(window_);
}

void TSearchIme::Composition(HWND at, UINT msg) {
  if (msg == WM_IME_ENDCOMPOSITION) {
    composingAt_ = nullptr;
    return;
  }
  // Also at a composition message without a start: the input method carried its
  // composition over from the window that had the focus before.
  composingAt_ = at;
  Place(at);
  if (msg != WM_IME_STARTCOMPOSITION) return;
  // The composition's text at the size of the strip's, at the window's DPI.
  InputContext context(at);
  if (LOGFONTW font{}; context && StripFont(strip_, font)) ImmSetCompositionFontW(context.get(), &font);
}

void TSearchIme::Place(HWND at) {
  InputContext context(at);
  if (!context) return;
  // The strip's place, below the page, in the client terms of the window that owns the
  // context: the input method takes both forms in those.
  RECT strip = search_.StripRect();
  MapWindowPoints(window_, at, reinterpret_cast<POINT*>(&strip), 2);
  // The text where the strip's line stands, centred on its height as the line's is.
  LOGFONTW font{};
  const int textHeight = StripFont(strip_, font) ? std::abs(font.lfHeight) : 0;
  const int top = strip.top + std::max(0, static_cast<int>(strip.bottom - strip.top) - textHeight) / 2;
  COMPOSITIONFORM composition{CFS_RECT, POINT{strip.left, top}, strip};
  ImmSetCompositionWindow(context.get(), &composition);
  // The candidates below the strip, never over it: the user reads the hits there.
  CANDIDATEFORM candidate{0, CFS_EXCLUDE, POINT{strip.left, strip.bottom}, strip};
  ImmSetCandidateWindow(context.get(), &candidate);
}

LRESULT TSearchIme::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
      Composition(window_, msg);
      break;
    case WM_SHOWWINDOW:
      if (!wParam) {
        // Hidden, the launcher starts afresh: a composition left in the context would be
        // committed into the hidden launcher as the focus leaves (as the Microsoft IME
        // does), or come back into the next search when it shows again. The input
        // method stays open or closed as the user left it.
        if (const HWND focus = GetFocus(); focus && (focus == window_ || IsChild(window_, focus))) {
          InputContext context(focus);
          if (context && ImmGetCompositionStringW(context.get(), GCS_COMPSTR, nullptr, 0) > 0)
            ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        }
        composingAt_ = nullptr;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) composingAt_ = nullptr;
      break;
    default:
      if (msg == CompositionNoticeMessage()) {
        // A button of ours tells of the composition at it: it has the focus.
        if (const HWND focus = GetFocus(); focus && IsChild(window_, focus))
          Composition(focus, static_cast<UINT>(wParam));
        return 0;
      }
      break;
  }
  return windowHook_.CallNext(msg, wParam, lParam);
}

LRESULT TSearchIme::StripMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
      Composition(strip_.Handle(), msg);
      break;
    case WM_KEYDOWN:
      // The tab control turns the page on an arrow: not on one that reaches it during a
      // composition, whose keys are the input method's.
      if (Composing() && wParam != VK_PROCESSKEY) return 0;
      break;
    default:
      break;
  }
  return stripHook_.CallNext(msg, wParam, lParam);
}

}  // namespace vl
