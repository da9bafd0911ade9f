#include "app/page_set.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/page_numbers.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"
#include "gui/platform/window_count.h"

namespace vl {

namespace keys = settings;

void TPageSet::Add(std::int32_t pageNo, std::wstring_view mode, TPage::Build when) {
  // Room first: a page that is built must also land in the list, or its tab would be
  // left without an entry.
  pages_.reserve(pages_.size() + 1);
  pages_.push_back(std::make_unique<TPage>(host_, pageNo, mode, when));
}

void TPageSet::AddNew() {
  const std::uint64_t missed = ini_.MissedReads();
  const std::vector<std::int32_t> taken = PageNumbersOf(ini_.ReadSections());
  // Without the file's sections the number could be one a section holds already.
  if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
  std::optional<std::int32_t> next = NextPageNumber(pageNum_, taken);
  if (!next) {
    ShowMessage(L"これ以上ページを作成できません");
    return;
  }
  // The number is in the file before the page is: after a crash, or a page that failed
  // to build, the next new page never takes this number and its old buttons.
  ini_.WriteInteger(keys::kGeneral, keys::kPageNum, *next);
  pageNum_ = *next;
  Add(*next, L"NEW");
}

int TPageSet::IndexOf(std::int32_t pageNo) const {
  auto it = std::find_if(pages_.begin(), pages_.end(),
                         [pageNo](const auto& page) { return page->PageNo() == pageNo; });
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

TPage* TPageSet::Find(std::int32_t pageNo) const {
  const int index = IndexOf(pageNo);
  return index < 0 ? nullptr : pages_[static_cast<std::size_t>(index)].get();
}

TPage* TPageSet::FindId(std::uint64_t id) const {
  auto it = std::find_if(pages_.begin(), pages_.end(), [id](const auto& page) { return page->Id() == id; });
  return it == pages_.end() ? nullptr : it->get();
}

TLaunchBtn* TPageSet::BuiltButton(TPage& page, std::int32_t i) {
  page.EnsureBuilt();
  return page.Button(i);
}

TPage* TPageSet::OnDisplay() const {
  const int index = strip_.ActivePageIndex();
  if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
  return pages_[static_cast<std::size_t>(index)].get();
}

TPage* TPageSet::Selected() {
  TPage* page = OnDisplay();
  if (!page) return nullptr;
  std::erase(shownOrder_, page->PageNo());
  shownOrder_.push_back(page->PageNo());
  // The page on display has its buttons, however its tab came to be selected.
  page->EnsureBuilt();
  return page;
}

std::vector<TPage*> TPageSet::LongestUnseenFirst() const {
  std::vector<TPage*> order;
  for (const auto& page : pages_)
    if (page->Built() && std::find(shownOrder_.begin(), shownOrder_.end(), page->PageNo()) == shownOrder_.end())
      order.push_back(page.get());
  for (std::int32_t pageNo : shownOrder_) {
    TPage* page = Find(pageNo);  // a page deleted since has none
    if (page && page->Built()) order.push_back(page);
  }
  return order;
}

void TPageSet::MakeRoom(const TPage& page, std::int32_t windows) {
  const TPage* shown = OnDisplay();
  // Counted, not estimated: the dialogs, the menus and the system's windows count too.
  int held = CountWindowsOfProcess(GetCurrentProcessId());
  for (TPage* oldest : LongestUnseenFirst()) {
    if (held + windows <= windowBudget_) return;
    if (oldest == &page || oldest == shown) continue;
    const std::int32_t had = oldest->BtnCount();
    if (oldest->Release()) held -= had;
  }
}

void TPageSet::Reload(std::int32_t pageNo) {
  TPage* page = Find(pageNo);
  if (!page) {
    if (!ini_.ReadBool(keys::PageSection(pageNo), keys::kLive, keys::kLiveDefault)) return;
    Add(pageNo, L"", TPage::Build::WhenShown);
    // Tabs stand in page number order, as the start makes them.
    int to = 0;
    while (pages_[static_cast<std::size_t>(to)]->PageNo() < pageNo) ++to;
    std::rotate(pages_.begin() + to, pages_.end() - 1, pages_.end());
    strip_.MoveSheet(static_cast<int>(pages_.size()) - 1, to);
    return;
  }
  page->LoadHeader();
  // A page released for room takes the new header now and its buttons when next shown.
  if (page->Built()) {
    page->BuildButtons();
    page->ApplyFonts();
    page->ApplyShowType(DecimalText(pageNo));
  }
  strip_.SetCaption(IndexOf(pageNo), page->PageName());
}

void TPageSet::Clear() {
  pages_.clear();  // the objects first: the sheets take the buttons' windows with them
  while (strip_.SheetCount() > 0) strip_.DeleteSheet(strip_.SheetCount() - 1);
}

void TPageSet::Erase(int index) {
  pages_.erase(pages_.begin() + index);
  strip_.DeleteSheet(index);
}

}  // namespace vl
