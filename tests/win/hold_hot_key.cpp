// hold_hot_key: another program that wants a hot key, for the tests of TWaitHotKey.
//
//   hold_hot_key MASK VK          registers MASK (hex, MOD_* bits) + VK (hex) and lets it go
//   hold_hot_key MASK VK NAME     registers it, sets the event NAME-ready, and holds the key
//                                 until the event NAME-quit is set (at most a minute); each
//                                 WM_HOTKEY it gets meanwhile releases the semaphore
//                                 NAME-hotkeys once, when the caller has made one
//
// Exit code 0 when the key could be registered, 1 when the system refused it, 2 on a
// usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "gui/platform/handles.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: hold_hot_key MASK VK [NAME]\n");
    return 2;
  }
  UINT mask = static_cast<UINT>(std::wcstoul(argv[1], nullptr, 16));
  UINT vk = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 16));
  if (!RegisterHotKey(nullptr, 1, mask, vk)) return 1;
  if (argc == 4) {
    std::wstring name = argv[3];
    vl::UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, (name + L"-ready").c_str()));
    vl::UniqueKernelHandle quit(CreateEventW(nullptr, TRUE, FALSE, (name + L"-quit").c_str()));
    if (!ready || !quit) return 2;
    vl::UniqueKernelHandle hotKeys(
        OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, (name + L"-hotkeys").c_str()));
    auto countHotKeys = [&] {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_HOTKEY && hotKeys) ReleaseSemaphore(hotKeys.get(), 1, nullptr);
      }
    };
    SetEvent(ready.get());
    DWORD start = GetTickCount();
    HANDLE q = quit.get();
    while (GetTickCount() - start < 60000 &&
           MsgWaitForMultipleObjects(1, &q, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0) {
      countHotKeys();
    }
    // Whatever the system posted before the caller said quit is counted too, so that the
    // caller reads a final number once the process has ended.
    countHotKeys();
  }
  UnregisterHotKey(nullptr, 1);
  return 0;
}
