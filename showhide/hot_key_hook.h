// THotKeyHook: one key combination taken from the keyboard for a window, for the
// combinations RegisterHotKey refuses because Windows keeps them for itself (Windows+Space
// switches the input method from Windows 8 on). A low-level keyboard hook, on a thread of
// its own, catches the combination before the system does, posts WM_HOTKEY (wParam: id) to
// the window as a registered hot key would, and swallows the press and its release, so the
// system's own action does not run as well. Every other key passes through untouched.
//
// The modifiers must be exactly the given ones (MOD_* bits; Windows+Space does not catch
// Ctrl+Windows+Space), either Windows key counting as Windows. They are read from the
// modifiers' own events as they pass the hook, not from the system's key state, which may
// lag behind a key pressed at machine speed. The repeats of a press taken
// are taken too, also once the modifiers are up; a press quiet for longer than any repeat
// takes is over, its release lost. The hook goes when the object goes (or on Reset); the
// window must outlive the object. An empty object holds no hook: that is what
// construction leaves when the platform refuses the hook.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/platform/handles.h"

namespace vl {

struct HotKeyCatch;  // what the hook's thread reads, in hot_key_hook.cpp

class THotKeyHook {
 public:
  THotKeyHook();
  THotKeyHook(HWND window, int id, UINT modifiers, UINT key);
  ~THotKeyHook();
  THotKeyHook(const THotKeyHook&) = delete;
  THotKeyHook& operator=(const THotKeyHook&) = delete;
  THotKeyHook(THotKeyHook&& other) noexcept;
  THotKeyHook& operator=(THotKeyHook&& other) noexcept;

  explicit operator bool() const { return static_cast<bool>(thread_); }
  void Reset();
  // Puts the hook up again, with nothing of the old one's state: Windows removes a
  // low-level hook that answered too late (Windows 7 on) without telling its program, and
  // a release that went elsewhere (to the secure desktop of a locked computer) leaves a
  // press seeming held. Nothing changes when the platform refuses the new hook.
  void Renew();

 private:
  std::unique_ptr<HotKeyCatch> catch_;  // at a fixed place while the thread reads it
  UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
};

}  // namespace vl
