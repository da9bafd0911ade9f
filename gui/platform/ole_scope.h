// TOleScope: OLE initialised on the GUI thread for the program's whole run. Made first in
// wWinMain, before any window, and undone after the message loop has ended. Shortcut
// reading and the start-up shortcut rely on it; a failure is not fatal, since each of
// them initialises COM for itself as well.
#pragma once

#include <ole2.h>

namespace vl {

class TOleScope {
 public:
  TOleScope() : hr_(OleInitialize(nullptr)) {}
  ~TOleScope() {
    if (SUCCEEDED(hr_)) OleUninitialize();
  }
  TOleScope(const TOleScope&) = delete;
  TOleScope& operator=(const TOleScope&) = delete;

  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace vl
