#include "gui/theme.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <iterator>

#include "gui/platform/handles.h"

namespace vl {
namespace {

// The dark palette, near the colours Windows 11 gives its own dark windows: faces a step
// lighter than the window, text light enough for 4.5:1 on every face and on the pressed
// one, marks in a light blue that stands out from both.
constexpr Palette kDark{
    .window = RGB(32, 32, 32),
    .field = RGB(25, 25, 25),
    .face = RGB(45, 45, 45),
    .pushedFace = RGB(60, 60, 60),
    .otherTab = RGB(32, 32, 32),
    .edgeLight = RGB(85, 85, 85),
    .edgeShadow = RGB(16, 16, 16),
    .text = RGB(240, 240, 240),
    .grayText = RGB(160, 160, 160),
    .mark = RGB(76, 194, 255),
    .focus = RGB(200, 200, 200),
    .hotText = RGB(108, 196, 255),
    .infoBk = RGB(43, 43, 43),
    .infoText = RGB(240, 240, 240),
    .goneFill = RGB(255, 80, 80),  // 3:1 and more against the face, as the white cross on it
    .goneCross = RGB(255, 255, 255),
};

// The light mode is what the program drew before it had modes: the system's colours.
Palette LightPalette() {
  Palette p{};
  p.window = p.face = p.pushedFace = p.otherTab = GetSysColor(COLOR_BTNFACE);
  p.field = GetSysColor(COLOR_WINDOW);
  p.edgeLight = GetSysColor(COLOR_BTNHIGHLIGHT);
  p.edgeShadow = GetSysColor(COLOR_BTNSHADOW);
  p.text = GetSysColor(COLOR_BTNTEXT);
  p.grayText = GetSysColor(COLOR_GRAYTEXT);
  p.mark = p.focus = GetSysColor(COLOR_HIGHLIGHT);
  p.hotText = RGB(0, 0, 255);
  p.infoBk = GetSysColor(COLOR_INFOBK);
  p.infoText = GetSysColor(COLOR_INFOTEXT);
  p.goneFill = RGB(208, 0, 0);
  p.goneCross = RGB(255, 255, 255);
  return p;
}

// High contrast: the colours the user chose for it, nothing of ours; the buttons stand on
// the window colour with a frame of the text colour, which is the one pair the scheme
// promises to read.
Palette HighContrastPalette() {
  Palette p{};
  p.window = p.field = p.face = p.pushedFace = p.otherTab = GetSysColor(COLOR_WINDOW);
  p.edgeLight = p.edgeShadow = p.text = GetSysColor(COLOR_WINDOWTEXT);
  p.grayText = GetSysColor(COLOR_GRAYTEXT);
  p.mark = p.focus = GetSysColor(COLOR_HIGHLIGHT);
  p.hotText = GetSysColor(COLOR_HOTLIGHT);
  p.infoBk = GetSysColor(COLOR_WINDOW);
  p.infoText = GetSysColor(COLOR_WINDOWTEXT);
  p.goneFill = GetSysColor(COLOR_WINDOWTEXT);
  p.goneCross = GetSysColor(COLOR_WINDOW);
  return p;
}

using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;

struct ThemeState {
  ThemeChoice choice = ThemeChoice::System;
  ThemeMode mode = ThemeMode::Light;
  Palette palette = LightPalette();
  Brush window, field;
  bool leftLight = false;  // the mode has been other than light in this process
};

ThemeState& State() {
  static ThemeState state;
  return state;
}

bool SystemAppsLight() {
  DWORD value = 1, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                   L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return true;
  return value != 0;
}

bool SystemHighContrast() {
  if (highContrastHook) return highContrastHook();
  HIGHCONTRASTW hc{sizeof hc, 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

Palette PaletteOf(ThemeMode mode) {
  switch (mode) {
    case ThemeMode::Dark:
      return kDark;
    case ThemeMode::HighContrast:
      return HighContrastPalette();
    case ThemeMode::Light:
      break;
  }
  return LightPalette();
}

bool SamePalette(const Palette& a, const Palette& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The entry points of DLLs that are not mapped from the system folder by name whatever
// the search order: taken from there at run time, once, and only when a window is to be
// made other than light. Null where the system has none.
template <class Fn>
Fn SystemEntry(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

void SetTheme(HWND window, const wchar_t* app, const wchar_t* ids) {
  using Fn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const Fn setWindowTheme = SystemEntry<Fn>(L"uxtheme.dll", "SetWindowTheme");
  if (setWindowTheme) setWindowTheme(window, app, ids);
}

void SetDarkTitleBar(HWND window, bool dark) {
  using Fn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const Fn setAttribute = SystemEntry<Fn>(L"dwmapi.dll", "DwmSetWindowAttribute");
  if (!setAttribute) return;
  // DWMWA_USE_IMMERSIVE_DARK_MODE is 20 from Windows 10 20H1 on and was 19 before it; a
  // system that knows neither refuses both, and the title bar stays as it is.
  const BOOL on = dark;
  if (FAILED(setAttribute(window, 20, &on, sizeof on))) setAttribute(window, 19, &on, sizeof on);
}

bool ClassIs(HWND window, const wchar_t* name) {
  wchar_t buffer[32] = L"";
  return GetClassNameW(window, buffer, static_cast<int>(std::size(buffer))) && _wcsicmp(buffer, name) == 0;
}

// A standard control in the mode: check boxes, radio buttons and group boxes lose the
// visual style, whose text colour would ignore WM_CTLCOLORSTATIC (the classic drawing
// takes it); the others take the system's dark themes where it has them.
void FollowInControl(HWND control, ThemeMode mode) {
  wchar_t name[32] = L"";
  if (!GetClassNameW(control, name, static_cast<int>(std::size(name)))) return;
  const bool dark = mode == ThemeMode::Dark;
  if (_wcsicmp(name, L"Button") == 0) {
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        SetTheme(control, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
        break;
      default:
        if (dark)
          SetTheme(control, L"", L"");
        else
          SetTheme(control, nullptr, nullptr);
        break;
    }
  } else if (_wcsicmp(name, L"Edit") == 0 || _wcsicmp(name, L"ComboBox") == 0) {
    SetTheme(control, dark ? L"DarkMode_CFD" : nullptr, nullptr);
  } else if (_wcsicmp(name, L"ScrollBar") == 0 || _wcsicmp(name, UPDOWN_CLASSW) == 0) {
    SetTheme(control, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
  }
}

void FollowToolTip(HWND tip, const Palette& p, ThemeMode mode) {
  // The colours are the control's own only without the visual style, which draws the
  // theme's colours over them.
  if (mode == ThemeMode::Dark)
    SetTheme(tip, L"", L"");
  else
    SetTheme(tip, nullptr, nullptr);
  SendMessageW(tip, TTM_SETTIPBKCOLOR, p.infoBk, 0);
  SendMessageW(tip, TTM_SETTIPTEXTCOLOR, p.infoText, 0);
}

struct Walk {
  ThemeMode mode;
  bool notify;  // the palette changed: each child is told
};

BOOL CALLBACK FollowChild(HWND child, LPARAM param) {
  const Walk& walk = *reinterpret_cast<const Walk*>(param);
  FollowInControl(child, walk.mode);
  if (walk.notify) SendMessageW(child, ThemeChangedMessage(), 0, 0);
  return TRUE;
}

void Follow(HWND window, bool notify) {
  ThemeState& s = State();
  if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) SetDarkTitleBar(window, s.mode == ThemeMode::Dark);
  if (ClassIs(window, TOOLTIPS_CLASSW)) {
    FollowToolTip(window, s.palette, s.mode);
    return;
  }
  Walk walk{s.mode, notify};
  EnumChildWindows(window, FollowChild, reinterpret_cast<LPARAM>(&walk));
}

BOOL CALLBACK FollowTopLevel(HWND window, LPARAM) {
  Follow(window, true);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

// The mode and palette as they now should be; every window follows when either changed.
void Settle(ThemeMode mode, bool repaint) {
  ThemeState& s = State();
  Palette palette = PaletteOf(mode);
  if (mode == s.mode && SamePalette(palette, s.palette)) return;
  s.mode = mode;
  s.palette = palette;
  s.window.reset();
  s.field.reset();
  if (mode != ThemeMode::Light) s.leftLight = true;
  if (repaint && s.leftLight) EnumThreadWindows(GetCurrentThreadId(), FollowTopLevel, 0);
}

ThemeMode SystemMode(ThemeChoice choice) {
  return ResolveThemeMode(choice, choice != ThemeChoice::System || SystemAppsLight(), SystemHighContrast());
}

}  // namespace

ThemeMode CurrentThemeMode() { return State().mode; }
const Palette& ThemePalette() {
  ThemeState& s = State();
  // The light mode is the system's colours as they are now. A change of them comes to the
  // main window as WM_SYSCOLORCHANGE, but a face may be painted first, or in a process
  // whose windows take no such message: the face colour is looked at each time.
  if (s.mode == ThemeMode::Light && GetSysColor(COLOR_BTNFACE) != s.palette.face) {
    s.palette = LightPalette();
    s.window.reset();
    s.field.reset();
  }
  return s.palette;
}
ThemeChoice CurrentThemeChoice() { return State().choice; }

HBRUSH WindowBrush() {
  ThemeState& s = State();
  if (!s.window) s.window.reset(CreateSolidBrush(s.palette.window));
  return s.window.get();
}

HBRUSH FieldBrush() {
  ThemeState& s = State();
  if (!s.field) s.field.reset(CreateSolidBrush(s.palette.field));
  return s.field.get();
}

void StartTheme(ThemeChoice choice) {
  State().choice = choice;
  Settle(SystemMode(choice), true);
}

void SetThemeChoice(ThemeChoice choice) {
  if (choice == State().choice) return;
  State().choice = choice;
  Settle(SystemMode(choice), true);
}

void FollowSystemChange(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTINGCHANGE) {
    const auto* area = reinterpret_cast<const wchar_t*>(lParam);
    if (wParam != SPI_SETHIGHCONTRAST && !(area && std::wcscmp(area, L"ImmersiveColorSet") == 0)) return;
  } else if (msg != WM_SYSCOLORCHANGE) {
    return;
  }
  Settle(SystemMode(State().choice), true);
}

void FollowTheme(HWND window) {
  if (State().leftLight) Follow(window, false);
}

UINT ThemeChangedMessage() {
  static const UINT msg = RegisterWindowMessageW(L"VantriLaunch.ThemeChanged");
  return msg;
}

COLORREF CaptionColour(COLORREF chosen) {
  const Palette& p = ThemePalette();
  if (CurrentThemeMode() == ThemeMode::HighContrast) return chosen == p.hotText ? p.hotText : p.text;
  return ReadableCaptionColour(chosen, p.face, p.text);
}

std::optional<LRESULT> ThemedControlColour(UINT msg, HDC dc) {
  if (CurrentThemeMode() == ThemeMode::Light) return std::nullopt;
  const Palette& p = ThemePalette();
  const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, p.text);
  SetBkColor(dc, field ? p.field : p.window);
  return reinterpret_cast<LRESULT>(field ? FieldBrush() : WindowBrush());
}

bool EraseThemed(HWND window, HDC dc) {
  if (CurrentThemeMode() == ThemeMode::Light) return false;
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, WindowBrush());
  return true;
}

}  // namespace vl
