// The sections and keys of the settings file, and the defaults their readers supply.
//
// Two readers of one key may use different defaults (a page's "ShowType" while it is built
// and while it is applied); such keys carry one default per reader here. Where a switch
// guards against loss, its readers share one default: "AskBeforeDelBtn" absent asks before
// a button is cleared, and the settings dialog shows it ticked.
#pragma once

#include <string>

#include "core/number_text.h"

namespace vl::settings {

// [General]: the page count and the main window's position.
inline constexpr wchar_t kGeneral[] = L"General";
inline constexpr wchar_t kPageNum[] = L"PageNum";
inline constexpr wchar_t kFormTop[] = L"FormTop";
inline constexpr wchar_t kFormLeft[] = L"FormLeft";
inline constexpr int kPageNumDefault = -1;
inline constexpr int kFormTopDefault = 300;
inline constexpr int kFormLeftDefault = 300;

// [Setting]: behaviour switches, the shake gesture, the hot keys.
inline constexpr wchar_t kSetting[] = L"Setting";
inline constexpr wchar_t kIsUseShake[] = L"IsUseShake";
inline constexpr wchar_t kIsUseHotKey[] = L"IsUseHotKey";
inline constexpr wchar_t kAskBeforeDelBtn[] = L"AskBeforeDelBtn";
inline constexpr wchar_t kAskBeforeDelPage[] = L"AskBeforeDelPage";
inline constexpr wchar_t kHideWhenClickBtn[] = L"HideWhenClickBtn";
inline constexpr wchar_t kShakeTime[] = L"ShakeTime";
inline constexpr wchar_t kShakeSpeed[] = L"ShakeSpeed";
inline constexpr wchar_t kShowHotKey[] = L"ShowHotKey";
inline constexpr wchar_t kHideHotKey[] = L"HideHotKey";
inline constexpr wchar_t kPortablePaths[] = L"PortablePaths";  // drops on the launcher's drive bound relative
inline constexpr wchar_t kTheme[] = L"Theme";  // 0 follows the system, 1 light, 2 dark (core/appearance)
inline constexpr wchar_t kShowAtPointer[] = L"ShowAtPointer";  // every call-up on the pointer's monitor
inline constexpr bool kIsUseShakeDefault = true;
inline constexpr bool kIsUseHotKeyDefault = true;
inline constexpr bool kAskBeforeDelBtnDefault = true;
inline constexpr bool kAskBeforeDelPageDefault = true;
inline constexpr bool kHideWhenClickBtnDefault = true;
inline constexpr bool kPortablePathsDefault = false;
inline constexpr int kThemeDefault = 0;
inline constexpr bool kShowAtPointerDefault = false;
inline constexpr int kShakeTimeDefault = 9;
inline constexpr int kShakeSpeedDefault = 40;
inline constexpr wchar_t kShowHotKeyDefault[] = L"Windows+Space";
inline constexpr wchar_t kHideHotKeyDefault[] = L"Esc";

// [Page<n>]: one page and its buttons.
inline std::wstring PageSection(int pageNo) { return L"Page" + DecimalText(pageNo); }
inline constexpr wchar_t kLive[] = L"Live";
inline constexpr wchar_t kName[] = L"Name";
inline constexpr wchar_t kYoko[] = L"Yoko";  // columns
inline constexpr wchar_t kTate[] = L"Tate";  // rows
inline constexpr wchar_t kBtnW[] = L"BtnW";
inline constexpr wchar_t kBtnH[] = L"BtnH";
inline constexpr wchar_t kShowType[] = L"ShowType";
inline constexpr wchar_t kFontName[] = L"FontName";
inline constexpr wchar_t kFontSize[] = L"FontSize";
inline constexpr wchar_t kFontColor[] = L"FontColor";
inline constexpr bool kLiveDefault = false;
inline constexpr int kGridDefault = -1;  // Yoko, Tate, BtnW and BtnH when absent
inline constexpr int kShowTypeBuildDefault = -1;
inline constexpr int kShowTypeApplyDefault = 0;
inline constexpr wchar_t kFontNameDefault[] = L"ＭＳ Ｐゴシック";
inline constexpr int kFontSizeDefault = 8;
inline constexpr wchar_t kFontColorDefault[] = L"clWindowText";

// Button keys: the prefix followed by the button's number, from 1 (BtnFP1, WD12).
inline constexpr wchar_t kBtnFP[] = L"BtnFP";      // target path
inline constexpr wchar_t kBtnName[] = L"BtnName";  // caption
inline constexpr wchar_t kBtnIP[] = L"BtnIP";      // icon file
inline constexpr wchar_t kWD[] = L"WD";            // working folder
// How it starts; held only by a button whose options are set.
inline constexpr wchar_t kBtnArg[] = L"BtnArg";      // parameters
inline constexpr wchar_t kBtnShow[] = L"BtnShow";    // 0 normal, 1 minimised, 2 maximised
inline constexpr wchar_t kBtnAdmin[] = L"BtnAdmin";  // "1": always as administrator
// Every key of a button: what goes with it wherever it goes.
inline constexpr const wchar_t* kButtonKeys[] = {kBtnFP, kBtnName, kBtnIP, kWD, kBtnArg, kBtnShow, kBtnAdmin};
inline std::wstring ButtonKey(const wchar_t* prefix, int button) {
  return prefix + DecimalText(button);
}

}  // namespace vl::settings
