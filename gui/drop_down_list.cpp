#include "gui/drop_down_list.h"

#include <commctrl.h>

#include <algorithm>

namespace vl {

TDropDownList::TDropDownList(const ControlParams& p, std::initializer_list<const wchar_t*> choices)
    : LabelFirst(p), TComboBox(p, choices), count_(static_cast<int>(choices.size())) {
  FitOpenList();
}

void TDropDownList::Rescaled() {
  FitOpenList();
  PlaceLabelBeside(Handle());
}

void TDropDownList::FitOpenList() {
  // The closed box keeps the height its font gives it; what the window is sized to beyond
  // that is the open list's, and a rescale sizes the window to the closed box alone.
  RECT box{};
  GetWindowRect(Handle(), &box);
  const auto field = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const auto item = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
  const int closed = box.bottom - box.top;
  SendMessageW(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(count_), 0);
  SetWindowPos(Handle(), nullptr, 0, 0, box.right - box.left, std::max(closed, field) + item * count_ + 8,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vl
