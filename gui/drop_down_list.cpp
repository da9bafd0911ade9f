#include "gui/drop_down_list.h"

#include <commctrl.h>

#include <algorithm>

namespace vl {

TDropDownList::TDropDownList(const ControlParams& p, std::initializer_list<const wchar_t*> choices)
    : LabelFirst(p), TControl([&] {
        ControlParams box = p;
        box.text.clear();
        return box;
      }(), WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP) {
  for (const wchar_t* choice : choices) {
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    ++count_;
  }
  FitOpenList();
}

int TDropDownList::Selected() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void TDropDownList::Select(int index) { SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void TDropDownList::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  label_.SetEnabled(enabled);
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
