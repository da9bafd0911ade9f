#include "gui/window_subclass.h"

#include <commctrl.h>


#include "gui/application.h"
#include "gui/platform/platform_error.h"

namespace vl {

TWindowSubclass::TWindowSubclass(HWND hwnd, Hook hook) : hwnd_(hwnd), hook_(std::move(hook)) {
  // The object's address is the subclass identifier, so two subclasses of one window
  // never take each other's place.
  if (!SetWindowSubclass(hwnd_, &TWindowSubclass::Proc, reinterpret_cast<UINT_PTR>(this),
                         reinterpret_cast<DWORD_PTR>(this))) {
    ThrowLastError(L"SetWindowSubclass");
  }
}

TWindowSubclass::~TWindowSubclass() {
  if (IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &TWindowSubclass::Proc, reinterpret_cast<UINT_PTR>(this));
}

LRESULT TWindowSubclass::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindowSubclass::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    // The window goes first: drop the subclass now so that the destructor finds nothing
    // to remove.
    RemoveWindowSubclass(hwnd, &TWindowSubclass::Proc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  try {
    return reinterpret_cast<TWindowSubclass*>(self)->hook_(msg, wParam, lParam);
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
    return 0;
  }
}

}  // namespace vl
