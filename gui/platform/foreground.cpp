#include "gui/platform/foreground.h"

#include <iterator>

namespace vl {
namespace {

// Assigned to no key and to no character, so nothing in front acts on it.
constexpr WORD kUnassignedKey = 0xE8;

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

}  // namespace

void TapAltQuietly() {
  INPUT keys[] = {Key(VK_MENU, false), Key(kUnassignedKey, false), Key(kUnassignedKey, true),
                  Key(VK_MENU, true)};
  SendInput(static_cast<UINT>(std::size(keys)), keys, sizeof(INPUT));
}

bool BringToFront(HWND window) {
  if (GetForegroundWindow() == window || SetForegroundWindow(window)) return true;
  TapAltQuietly();
  // The system takes the tap from the input stream on a thread of its own: the lock may
  // still hold for a moment after SendInput returns.
  for (int tries = 0; tries < 10; ++tries) {
    if (SetForegroundWindow(window)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace vl
