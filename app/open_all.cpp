#include "app/open_all.h"

#include <utility>
#include <vector>

#include "app/undo_step.h"
#include "buttons/shell_helpers.h"
#include "buttons/stored_button.h"
#include "core/number_text.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"
#include "gui/message_dialog.h"

namespace vl {

namespace keys = settings;

constexpr std::int32_t kGoneListed = 10;

std::int32_t OpenAllButtons(TPageSet& pages, const TIniFile& ini, const std::function<void()>& hide) {
  TPage* page = pages.Selected();
  if (!page) return 0;
  const std::uint64_t pageId = page->Id();
  std::vector<std::pair<std::int32_t, StoredButton>> bound;
  for (std::int32_t i = 1; i <= page->BtnCount(); ++i)
    if (const TLaunchBtn* b = page->Button(i); b && b->Regist()) bound.emplace_back(i, StoredButton::Of(*b));
  if (bound.empty()) return 0;
  if (static_cast<std::int32_t>(bound.size()) > kOpenAllAskAbove &&
      !Confirm(L"このページの " + DecimalText(static_cast<long long>(bound.size())) + L" 個のボタンをすべて開きますか？"))
    return 0;
  std::int32_t opened = 0, goneCount = 0;
  std::wstring gone;
  for (const auto& [i, seen] : bound) {
    page = pages.FindId(pageId);
    if (!page) break;
    TLaunchBtn* button = pages.BuiltButton(*page, i);
    if (!button || StoredButton::Of(*button) != seen) continue;
    const std::wstring name = NameOf(*button), target = UsablePath(button->FullPath());
    switch (button->OpenQuietly()) {
      case TLaunchBtn::Opening::Opened:
      case TLaunchBtn::Opening::Went:  // its target was handed over before it went
        ++opened;
        break;
      case TLaunchBtn::Opening::Gone:
        // A box taller than the screen would hide its own OK: the first few stand for all.
        if (++goneCount <= kGoneListed) gone += L"\n" + (name == target ? name : name + L"  (" + target + L")");
        break;
    }
  }
  if (goneCount > kGoneListed)
    gone += L"\nほか " + DecimalText(static_cast<long long>(goneCount - kGoneListed)) + L" 個";
  if (goneCount > 0)
    WarningBox(L"次のボタンはファイルが見つからないため、開きませんでした。\n" + gone +
               L"\n\n移動したときは、右クリックの「ボタンのプロパティ」で場所を直してください");
  if (opened > 0 && ini.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault)) hide();
  return opened;
}

}  // namespace vl
