// The settings file changed by another program while the launcher runs (a sync tool
// bringing another PC's change, a user's editor): what the launcher shows is made to agree
// with the file again, within a look of the file (TFileTakeover, once a second).
//
// Only what differs is touched: a built page whose section no longer holds what it shows
// is rebuilt, a page that became live gets its tab in number order, one no longer live
// loses it, and a setting is applied again only when the file's value changed, so that
// the run's own choices (the watch turned off from the menu) stay. What this run changed
// and the file refused is written first, never dropped for the other program's copy.
#include <algorithm>

#include "app/frm_main.h"
#include "core/page_numbers.h"
#include "core/settings_keys.h"
#include "gui/application.h"

namespace vl {

namespace keys = settings;

TfrmMain::AppliedSettings TfrmMain::ReadAppliedSettings() const {
  AppliedSettings s;
  s.useShake = ini_.ReadBool(keys::kSetting, keys::kIsUseShake, keys::kIsUseShakeDefault);
  s.shakeSpeed = ini_.ReadInteger(keys::kSetting, keys::kShakeSpeed, keys::kShakeSpeedDefault);
  s.shakeTime = ini_.ReadInteger(keys::kSetting, keys::kShakeTime, keys::kShakeTimeDefault);
  s.atPointer = ini_.ReadBool(keys::kSetting, keys::kShowAtPointer, keys::kShowAtPointerDefault);
  s.useHotKeys = ini_.ReadBool(keys::kSetting, keys::kIsUseHotKey, keys::kIsUseHotKeyDefault);
  s.showKey = ini_.ReadString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault);
  s.hideKey = ini_.ReadString(keys::kSetting, keys::kHideHotKey, keys::kHideHotKeyDefault);
  s.place = {ini_.ReadInteger(keys::kGeneral, keys::kFormLeft, keys::kFormLeftDefault),
             ini_.ReadInteger(keys::kGeneral, keys::kFormTop, keys::kFormTopDefault)};
  return s;
}

bool TfrmMain::HeldByDialog(std::int32_t pageNo) const {
  return (frmBtnOption_ && frmBtnOption_->HeldPage() == pageNo) ||
         (frmPageOption_ && frmPageOption_->HeldPage() == pageNo);
}

void TfrmMain::TakeUpOutsideChange() {
  // A box of ours, a menu or a drag holds what it was opened over: the next look comes.
  if (takingUp_ || !IsWindowEnabled(Handle()) || TPopupMenu::AnyOpen() || Dragging()) return;
  if (!takeover_->ChangedOutside() && waitingPages_.empty()) return;
  takingUp_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{takingUp_};

  const std::uint64_t missed = ini_.MissedReads();
  std::vector<std::int32_t> live;
  std::vector<std::wstring> names;  // of the live pages, in the same order
  std::int32_t pageNum = 0;
  AppliedSettings now;
  bool empty = false;
  ini_.Update([&] {
    const std::vector<std::wstring> sections = ini_.ReadSections();
    empty = sections.empty();
    pageNum = std::max(pages_->PageNum(), ini_.ReadInteger(keys::kGeneral, keys::kPageNum, keys::kPageNumDefault));
    for (std::int32_t n : PageNumbersOf(sections))
      if (n <= pageNum && ini_.ReadBool(keys::PageSection(n), keys::kLive, keys::kLiveDefault)) {
        live.push_back(n);
        names.push_back(ini_.ReadString(keys::PageSection(n), keys::kName, L""));
      }
    now = ReadAppliedSettings();
  });
  // Held by another program, or gone for a moment (a sync tool that deletes before it
  // writes): what is shown stays until the file reads again.
  if (ini_.MissedReads() != missed || empty) return;
  takeover_->MarkSeen();
  pages_->SetPageNum(pageNum);

  bool changed = false;
  // No longer live: the tab goes, unless its page holds a drop the file refused.
  for (int index = static_cast<int>(pages_->List().size()) - 1; index >= 0; --index) {
    const TPage& page = *pages_->List()[static_cast<std::size_t>(index)];
    if (std::find(live.begin(), live.end(), page.PageNo()) != live.end() || page.Unsaved()) continue;
    if (pages_->List().size() == 1) break;  // the strip is never empty
    std::erase(waitingPages_, page.PageNo());
    pages_->Erase(index);
    changed = true;
  }
  for (std::size_t k = 0; k < live.size(); ++k) {
    const std::int32_t n = live[k];
    TPage* page = pages_->Find(n);
    if (!page) {
      pages_->Reload(n);  // its tab, in number order; built when first shown
      changed = true;
      continue;
    }
    if (!page->Built()) {
      // Read again when shown; only its tab's name shows now, and is read anew only when
      // it changed: a launcher of many pages looks at none of the others.
      if (!page->Unread() && page->PageName() != names[k]) pages_->Reload(n);
      continue;
    }
    // A dialog open on the page keeps it as the dialog showed it, until it closes.
    if (HeldByDialog(n)) {
      if (std::find(waitingPages_.begin(), waitingPages_.end(), n) == waitingPages_.end()) waitingPages_.push_back(n);
      continue;
    }
    std::erase(waitingPages_, n);
    if (!page->ChangedOnDisk()) continue;
    try {
      // A drop the file refused goes into the new copy first. A page built while the file
      // could not be read holds defaults only: the file's page takes their place.
      if (!page->Unread()) page->SaveButtons();
    } catch (const EIniWriteError&) {
      continue;  // and is kept on its button while it cannot
    }
    pages_->Reload(n);
    changed = true;
  }

  const AppliedSettings was = std::exchange(settingsTakenUp_, now);
  if (now.useShake != was.useShake) SetUseShake(now.useShake);
  if (now.shakeSpeed != was.shakeSpeed) SetShakeSpeed(now.shakeSpeed);
  if (now.shakeTime != was.shakeTime) SetShakeTime(now.shakeTime);
  if (now.atPointer != was.atPointer) SetShowAtPointer(now.atPointer);
  // Another PC's place for the window is kept in the file; the window stays where it is.
  if (now.place.x != was.place.x || now.place.y != was.place.y) {
    RECT r;
    GetWindowRect(Handle(), &r);
    placeTakenUp_ = place_->OwnPlace(r);
  }
  if (changed) {
    // A running search goes on over the pages as they are now.
    if (search_->Active()) search_->Renew();
    BaseChange();
  }
  if (now.useHotKeys != was.useHotKeys || now.showKey != was.showKey || now.hideKey != was.hideKey) {
    keys_->Release();
    keys_->Register();  // a key another program holds is said, as at start
    RenewTrayTip();
  }
}

}  // namespace vl
