#include "app/drop_hint.h"

#include <algorithm>

namespace vl {
namespace {

// A page that cannot say counts as bound: the hint is for a file known to be empty.
bool HoldsBinding(TPage& page) {
  try {
    return page.HoldsBinding();
  } catch (...) {
    return true;
  }
}

}  // namespace

void TDropHint::Put(TPage& page, bool on) {
  for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
    if (TLaunchBtn* b = page.Button(i)) b->SetPlaceholder(on && !b->Regist() ? kDropHintText : L"");
}

void TDropHint::Renew(const std::vector<std::unique_ptr<TPage>>& pages) {
  if (!retired_ && std::any_of(pages.begin(), pages.end(), [](const auto& page) { return HoldsBinding(*page); }))
    retired_ = true;
  TPage* first = !retired_ && !pages.empty() ? pages.front().get() : nullptr;
  if (shownOn_ && (!first || first->Id() != shownOn_)) {
    for (const auto& page : pages)
      if (page->Id() == shownOn_) Put(*page, false);
    shownOn_ = 0;
  }
  if (!first || !first->Built()) return;
  // Put again each time: a page rebuilt renews its buttons without it.
  Put(*first, true);
  shownOn_ = first->Id();
}

}  // namespace vl
