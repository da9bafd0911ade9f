// TPageControlEx: the main window's page strip. Its page area has no border: it spans the
// strip's full width, starts 4 pixels above where the tab control would put it and runs
// to the strip's bottom edge, so that a page's grid fits the strip exactly, 19 pixels
// below its top.
#pragma once

#include "gui/page_control.h"

namespace vl {

class TPageControlEx : public TPageControl {
 public:
  using TPageControl::TPageControl;

 protected:
  void AdjustDisplayRect(RECT& rect, const RECT& client) const override {
    rect.left = 0;
    rect.right = client.right;
    rect.top -= 4;
    rect.bottom = client.bottom;
  }
};

}  // namespace vl
