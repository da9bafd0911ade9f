// TPageSet: the main window's pages, in the order of their tabs, with what decides which of
// them hold windows: the order they were last on display and the window budget. It also
// keeps the highest page number handed out ("PageNum" of the settings file), from which
// a new page takes the next free one.
//
// The set owns its pages; the strip it is given (the main window's, which outlives it)
// owns their tab sheets. It calls only its pages, the strip and the settings file; the
// pages it makes are hosted by `host`, the main window, which also asks it for room.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "app/page.h"
#include "core/ini_file.h"
#include "gui/page_control.h"

namespace vl {

// The windows the launcher holds at most, whatever the user opens: half of what Windows
// allows a process by default (10,000 user objects), so that a page of 40 x 40 buttons
// can always be built, and menus, icons and the system's own windows keep their room.
inline constexpr int kWindowBudget = 5000;

class TPageSet {
 public:
  TPageSet(TPageHost& host, TPageControl& strip, TIniFile& ini) : host_(host), strip_(strip), ini_(ini) {}
  TPageSet(const TPageSet&) = delete;
  TPageSet& operator=(const TPageSet&) = delete;

  const std::vector<std::unique_ptr<TPage>>& List() const { return pages_; }
  void Add(std::int32_t pageNo, std::wstring_view mode, TPage::Build when = TPage::Build::Now);
  // Makes a page with the next free number, or says that none is left. Raises the write
  // error when the file's sections cannot be read, since the number could be one taken.
  void AddNew();
  // The position of page pageNo in the list; -1 when there is no such page.
  int IndexOf(std::int32_t pageNo) const;
  // Page pageNo as it is, built or not; null when there is none (deleted, taken up anew).
  TPage* Find(std::int32_t pageNo) const;
  // The page of that TPage::Id, which no other page has had: null once it has gone,
  // whatever page took its number since.
  TPage* FindId(std::uint64_t id) const;
  // Button i of `page`, which is built again if it was released for room meanwhile (for a
  // dialog's OK, a question's answer); null when the page has no such button.
  TLaunchBtn* BuiltButton(TPage& page, std::int32_t i);
  // The page of the selected tab as it is, built or not, its showing not counted.
  TPage* OnDisplay() const;
  // The page of the selected tab, built, its showing counted; null when there is none.
  TPage* Selected();
  // Room for `windows` more windows of `page`, by releasing pages not on display, the
  // longest unseen first, until the windows of the process fit the budget.
  void MakeRoom(const TPage& page, std::int32_t windows);
  void SetWindowBudget(int windows) { windowBudget_ = windows; }
  // Page pageNo as the file has it now: built again if it was built, its tab renamed; a
  // page not in the set that the file says is live comes back, its tab in number order.
  void Reload(std::int32_t pageNo);
  // Every page goes, and its tab with it.
  void Clear();
  // The page at `index` goes with its tab; no longer live, it writes nothing more.
  void Erase(int index);

  std::int32_t PageNum() const { return pageNum_; }
  void SetPageNum(std::int32_t pageNo) { pageNum_ = pageNo; }

 private:
  // The built pages, the one unseen the longest first (one built but never shown, such as
  // a new page, before any shown).
  std::vector<TPage*> LongestUnseenFirst() const;

  TPageHost& host_;
  TPageControl& strip_;
  TIniFile& ini_;
  std::vector<std::unique_ptr<TPage>> pages_;  // in tab order
  // Page numbers in the order they were last on display, the last shown at the back.
  std::vector<std::int32_t> shownOrder_;
  int windowBudget_ = kWindowBudget;
  std::int32_t pageNum_ = -1;
};

}  // namespace vl
