#include "gui/layout.h"

namespace vl {

int DesignToDevice(int pixels) { return pixels; }

DesignRect DesignRectOf(const RECT& device) {
  return {device.left, device.top, device.right - device.left, device.bottom - device.top};
}

void PlaceControl(HWND control, const DesignRect& r) {
  SetWindowPos(control, nullptr, DesignToDevice(r.left), DesignToDevice(r.top), DesignToDevice(r.width),
               DesignToDevice(r.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vl
