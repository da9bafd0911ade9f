#include "showhide/hot_key_registration.h"

#include <utility>

namespace vl {

THotKeyRegistration::THotKeyRegistration(HWND window, int id, UINT modifiers, UINT key) {
  if (RegisterHotKey(window, id, modifiers, key)) {
    window_ = window;
    id_ = id;
  }
}

THotKeyRegistration::THotKeyRegistration(THotKeyRegistration&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)), id_(other.id_) {}

THotKeyRegistration& THotKeyRegistration::operator=(THotKeyRegistration&& other) noexcept {
  if (this != &other) {
    Reset();
    window_ = std::exchange(other.window_, nullptr);
    id_ = other.id_;
  }
  return *this;
}

void THotKeyRegistration::Reset() {
  // Its result is ignored: it fails only when the window, and with it the key, is gone.
  if (window_) UnregisterHotKey(std::exchange(window_, nullptr), id_);
}

}  // namespace vl
