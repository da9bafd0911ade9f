#include "gui/radio_group.h"

#include <commctrl.h>

namespace vl {

class TRadioGroup::TRadioItem : public TControl {
 public:
  TRadioItem(const ControlParams& p, bool first, TRadioGroup& group)
      : TControl(p, WC_BUTTONW, BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0)), group_(group) {}
  bool Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) { SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

 protected:
  void Command(WORD code) override {
    if (code == BN_CLICKED) group_.ItemClicked();
  }

 private:
  TRadioGroup& group_;
};

namespace {
constexpr int kCaptionRoom = 16;  // the box's caption line
constexpr int kSideMargin = 8;
constexpr int kBottomMargin = 4;
}  // namespace

TRadioGroup::TRadioGroup(const ControlParams& p, const std::vector<std::wstring>& items) : box_(p) {
  const DesignRect& r = p.rect;
  int count = static_cast<int>(items.size());
  int rowHeight = count ? (r.height - kCaptionRoom - kBottomMargin) / count : 0;
  for (int k = 0; k < count; ++k) {
    ControlParams item = p;
    item.text = items[static_cast<std::size_t>(k)];
    item.rect = {r.left + kSideMargin, r.top + kCaptionRoom + k * rowHeight, r.width - 2 * kSideMargin, rowHeight};
    items_.push_back(std::make_unique<TRadioItem>(item, k == 0, *this));
  }
}

TRadioGroup::~TRadioGroup() = default;

HWND TRadioGroup::Item(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)]->Handle() : nullptr;
}

int TRadioGroup::ItemIndex() const {
  for (int k = 0; k < Count(); ++k)
    if (items_[static_cast<std::size_t>(k)]->Checked()) return k;
  return -1;
}

void TRadioGroup::SetItemIndex(int index) {
  for (int k = 0; k < Count(); ++k) items_[static_cast<std::size_t>(k)]->SetChecked(k == index);
  UpdateTabStops();
}

void TRadioGroup::SetEnabled(bool enabled) {
  box_.SetEnabled(enabled);
  for (auto& item : items_) item->SetEnabled(enabled);
}

void TRadioGroup::ItemClicked() {
  UpdateTabStops();
  if (OnClick) OnClick();
}

void TRadioGroup::UpdateTabStops() {
  int chosen = ItemIndex();
  if (chosen < 0) chosen = 0;
  for (int k = 0; k < Count(); ++k) {
    HWND item = items_[static_cast<std::size_t>(k)]->Handle();
    LONG_PTR style = GetWindowLongPtrW(item, GWL_STYLE);
    style = k == chosen ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
    SetWindowLongPtrW(item, GWL_STYLE, style);
  }
}

}  // namespace vl
