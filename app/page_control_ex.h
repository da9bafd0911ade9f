// TPageControlEx: the main window's page strip. Its page area has no border: it spans the
// strip's full width, starts the tab row's height (19 pixels at 96 DPI, scaled to the
// strip's DPI) below the strip's top and runs to its bottom edge, so that a page's grid
// fits the strip exactly.
#pragma once

#include "core/page_grid.h"
#include "gui/layout.h"
#include "gui/page_control.h"

namespace vl {

class TPageControlEx : public TPageControl {
 public:
  using TPageControl::TPageControl;

 protected:
  void AdjustDisplayRect(RECT& rect, const RECT& client) const override {
    rect.left = 0;
    rect.right = client.right;
    rect.top = DesignToDevice(kTabRowHeight, DpiOf(Handle()));
    rect.bottom = client.bottom;
  }
};

}  // namespace vl
