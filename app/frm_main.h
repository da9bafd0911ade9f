// TfrmMain: the launcher's main window, the tool window that holds the pages.
// For now an empty window: closing it ends the program.
#pragma once

#include "gui/window.h"

namespace vl {

inline constexpr wchar_t kMainCaption[] = L"    -Vantri Launch-";

class TfrmMain : public TWindow {
 public:
  TfrmMain();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace vl
