#include "dialogs/appearance_tab.h"

#include "core/settings_keys.h"
#include "gui/theme.h"

namespace vl {
namespace {

// Designed pixels on the sheet: the label, then the list at its right, as "表示：" and
// "隠す：" stand before their fields on the other sheet. The list's height is that of its
// field with the three items dropped.
constexpr DesignRect kLabel{16, 19, 48, 14};
constexpr DesignRect kList{68, 16, 160, 100};

}  // namespace

TAppearanceTab::TAppearanceTab(HWND sheet, HFONT font)
    : lblTheme({sheet, kLabel, L"外観：", font}, SS_RIGHT),
      cbTheme({sheet, kList, {}, font}, {L"システムに合わせる", L"ライト", L"ダーク"}) {}

void TAppearanceTab::Fill(TIniFile& ini) {
  shown_ = ThemeChoiceOf(ini.ReadInteger(settings::kSetting, settings::kTheme, settings::kThemeDefault));
  cbTheme.SetItemIndex(static_cast<int>(shown_));
}

ThemeChoice TAppearanceTab::Chosen() const { return ThemeChoiceOf(cbTheme.ItemIndex()); }

void TAppearanceTab::Write(TIniFile& ini) const {
  if (Chosen() != shown_) ini.WriteInteger(settings::kSetting, settings::kTheme, static_cast<std::int32_t>(Chosen()));
}

void TAppearanceTab::Apply() const { SetThemeChoice(Chosen()); }

}  // namespace vl
