// THotKeyRegistration: one system-wide hot key registered for a window, withdrawn when the
// object goes (or on Reset). The window must outlive the object. An empty object holds no
// registration: that is what construction leaves when the platform refuses the
// combination, for example because another program holds it.
#pragma once

#include <windows.h>

namespace vl {

class THotKeyRegistration {
 public:
  THotKeyRegistration() = default;
  THotKeyRegistration(HWND window, int id, UINT modifiers, UINT key);
  ~THotKeyRegistration() { Reset(); }
  THotKeyRegistration(const THotKeyRegistration&) = delete;
  THotKeyRegistration& operator=(const THotKeyRegistration&) = delete;
  THotKeyRegistration(THotKeyRegistration&& other) noexcept;
  THotKeyRegistration& operator=(THotKeyRegistration&& other) noexcept;

  explicit operator bool() const { return window_ != nullptr; }
  void Reset();

 private:
  HWND window_ = nullptr;  // we don't own it
  int id_ = 0;
};

}  // namespace vl
