#include "gui/window.h"

#include "gui/application.h"
#include "gui/layout.h"
#include "gui/platform/platform_error.h"
#include "gui/theme.h"

namespace vl {

TWindow::~TWindow() {
  // Detach first: messages sent during destruction must not reach a half-destroyed object.
  if (hwnd_) SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
}

void TWindow::Create(const WindowParams& p) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(instance, p.className, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TWindow::Thunk;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = p.icon;
    wc.lpszClassName = p.className;
    if (!RegisterClassExW(&wc)) ThrowLastError(L"RegisterClassEx");
  }
  HWND hwnd = CreateWindowExW(p.exStyle, p.className, p.caption.c_str(), p.style, p.x, p.y,
                              p.width, p.height, p.parent, nullptr, instance, this);
  if (!hwnd) ThrowLastError(L"CreateWindowEx");
}

bool TWindow::Life::Alive() const {
  // The object clears the window's pointer to it before it goes, and its window goes with
  // it; a window of another object has another pointer.
  return IsWindow(hwnd_) && GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(self_) &&
         self_->life_ == life_;
}

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Outside the light mode the background and the standard controls on it take the
  // theme's colours; the class brush and the controls' defaults are the light ones.
  switch (msg) {
    case WM_ERASEBKGND:
      if (EraseThemed(Handle(), reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (std::optional<LRESULT> brush = ThemedControlColour(msg, reinterpret_cast<HDC>(wParam))) return *brush;
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wParam, lParam);
}

LRESULT TWindow::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_.get(), msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone; the object stays until its owner releases it.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_.release();
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == LayoutDpiMessage()) return self->layoutDpi_;
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
    return 0;
  }
}

}  // namespace vl
