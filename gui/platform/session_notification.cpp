#include "gui/platform/session_notification.h"

#include <wtsapi32.h>

#include <utility>

namespace vl {
namespace {

struct SessionFunctions {
  BOOL(WINAPI* registerFor)(HWND, DWORD) = nullptr;
  BOOL(WINAPI* unregister)(HWND) = nullptr;
};

const SessionFunctions& Functions() {
  static const SessionFunctions functions = [] {
    SessionFunctions f;
    if (HMODULE dll = LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
      f.registerFor = reinterpret_cast<decltype(f.registerFor)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "WTSRegisterSessionNotification")));
      f.unregister = reinterpret_cast<decltype(f.unregister)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "WTSUnRegisterSessionNotification")));
    }
    return f;
  }();
  return functions;
}

}  // namespace

TSessionNotification::TSessionNotification(HWND window) {
  const SessionFunctions& f = Functions();
  if (f.registerFor && f.unregister && f.registerFor(window, NOTIFY_FOR_THIS_SESSION)) window_ = window;
}

TSessionNotification::TSessionNotification(TSessionNotification&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)) {}

TSessionNotification& TSessionNotification::operator=(TSessionNotification&& other) noexcept {
  if (this != &other) {
    Reset();
    window_ = std::exchange(other.window_, nullptr);
  }
  return *this;
}

void TSessionNotification::Reset() {
  if (window_) Functions().unregister(std::exchange(window_, nullptr));
}

}  // namespace vl
