// TComScope: COM initialised on the calling thread for one scope (nested calls are
// counted by COM itself). Declare it before any ComPtr of the same scope, so that the
// interfaces are released before COM is undone.
#pragma once

#include <objbase.h>

namespace vl {

class TComScope {
 public:
  TComScope() : hr_(CoInitialize(nullptr)) {}
  ~TComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  HRESULT hr_;
};

}  // namespace vl
