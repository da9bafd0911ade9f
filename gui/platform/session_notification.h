// TSessionNotification: the window is sent WM_WTSSESSION_CHANGE while the object lives:
// the computer locked and unlocked, the session connected to another console or a remote
// desktop. An empty object (the system refused) sends nothing.
//
// wtsapi32.dll is not one of the DLLs Windows maps from the system folder whatever the
// search order: it is taken from the system folder at run time, never imported.
#pragma once

#include <windows.h>

namespace vl {

class TSessionNotification {
 public:
  TSessionNotification() = default;
  explicit TSessionNotification(HWND window);
  ~TSessionNotification() { Reset(); }
  TSessionNotification(const TSessionNotification&) = delete;
  TSessionNotification& operator=(const TSessionNotification&) = delete;
  TSessionNotification(TSessionNotification&& other) noexcept;
  TSessionNotification& operator=(TSessionNotification&& other) noexcept;

  explicit operator bool() const { return window_ != nullptr; }
  void Reset();

 private:
  HWND window_ = nullptr;  // we don't own it
};

}  // namespace vl
