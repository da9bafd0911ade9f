#include "gui/layout.h"

#include <vector>

namespace vl {

UINT LayoutDpiMessage() {
  static const UINT message = RegisterWindowMessageW(L"VantriLaunch.LayoutDpi");
  return message;
}

int DpiOf(HWND window) {
  if (!window) return kDesignDpi;
  HWND top = GetAncestor(window, GA_ROOT);
  if (top && GetWindowThreadProcessId(top, nullptr) == GetCurrentThreadId()) {
    if (auto followed = static_cast<int>(SendMessageW(top, LayoutDpiMessage(), 0, 0)); followed > 0)
      return followed;
  }
  UINT dpi = GetDpiForWindow(window);
  return dpi > 0 ? static_cast<int>(dpi) : kDesignDpi;
}

int DesignToDevice(int pixels, int dpi) { return MulDiv(pixels, dpi, kDesignDpi); }

DesignRect DesignRectOf(const RECT& device, int dpi) {
  auto design = [dpi](LONG px) { return MulDiv(px, kDesignDpi, dpi); };
  return {design(device.left), design(device.top), design(device.right - device.left),
          design(device.bottom - device.top)};
}

void PlaceControl(HWND control, const DesignRect& r) {
  const int dpi = DpiOf(control);
  SetWindowPos(control, nullptr, DesignToDevice(r.left, dpi), DesignToDevice(r.top, dpi),
               DesignToDevice(r.width, dpi), DesignToDevice(r.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void RescaleDescendants(HWND top, int oldDpi, int newDpi) {
  if (oldDpi <= 0 || newDpi <= 0 || oldDpi == newDpi) return;
  // Collected first: moving a window while the enumeration runs may reorder the list.
  std::vector<HWND> windows;
  EnumChildWindows(
      top,
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  // Every rectangle read before any moves: a tab control resized places its page again.
  std::vector<DesignRect> designs;
  for (HWND w : windows) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    designs.push_back(DesignRectOf(r, oldDpi));
  }
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const DesignRect& d = designs[i];
    SetWindowPos(windows[i], nullptr, DesignToDevice(d.left, newDpi), DesignToDevice(d.top, newDpi),
                 DesignToDevice(d.width, newDpi), DesignToDevice(d.height, newDpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace vl
