#include "gui/platform/mouse_move_waiter.h"

namespace vl {
namespace {

constexpr USHORT kGenericDesktop = 0x01, kMouse = 0x02;  // HID usage page and usage

bool Register(DWORD flags, HWND target) {
  RAWINPUTDEVICE device{kGenericDesktop, kMouse, flags, target};
  return RegisterRawInputDevices(&device, 1, sizeof device) != FALSE;
}

}  // namespace

bool TMouseMoveWaiter::Start(HWND target) {
  if (!waiting_) waiting_ = Register(RIDEV_INPUTSINK, target);
  return waiting_;
}

void TMouseMoveWaiter::Stop() {
  // Raw input stays registered only while waiting: while the mouse moves, its events
  // (hundreds a second) would wake the program for nothing.
  if (waiting_) Register(RIDEV_REMOVE, nullptr);
  waiting_ = false;
}

bool TMouseMoveWaiter::Moved() {
  if (!waiting_) return false;
  Stop();
  return true;
}

}  // namespace vl
