// ScopedSelect: a GDI object selected into a DC for one scope. The previous object goes
// back in at the end, so that the selected one can then be deleted by its owner. It owns
// neither the DC nor the object.
#pragma once

#include <windows.h>

namespace vl {

class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (old_) SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace vl
