// What the Windows benchmarks share: the performance counter read in milliseconds, order
// statistics of a run's samples, the settings file a launcher with many pages starts on,
// and the bare window each benchmark compares the launcher's main window with.
//
// The counter is one clock for every process of the machine, so a stamp taken in one
// process may be subtracted from a stamp taken in another.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "gui/window.h"

namespace vl::bench {

inline std::int64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

inline double TicksToMs(std::int64_t ticks) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(ticks) * 1000.0 / frequency;
}

// The sample at fraction q of the sorted samples (nearest rank); NaN for none.
inline double Quantile(std::vector<double> samples, double q) {
  if (samples.empty()) return NAN;
  std::sort(samples.begin(), samples.end());
  auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size())));
  return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

inline double Median(const std::vector<double>& samples) { return Quantile(samples, 0.5); }

// The launcher's main window's styles and first size (frm_main.cpp keeps its own copy).
inline constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME;

// A window with the main window's styles, size and owner, and nothing inside: what any
// program's window costs, against which the launcher's own is measured.
class TBareWindow : public TWindow {
 public:
  explicit TBareWindow(HWND owner) {
    WindowParams p;
    p.className = L"VlBenchBareWindow";
    p.caption = L"bare window";
    p.style = kMainStyle;
    p.exStyle = kMainExStyle;
    p.x = p.y = 300;
    p.width = 338;
    p.height = 117;
    p.parent = owner;
    Create(p);
  }
};

// Writes the settings file of a user with `pages` pages of `buttons` buttons each
// (`columns` a row, `size` pixels square), every button bound to one of the system's
// programs so that each start loads its icon. isUseShake < 0 leaves the mouse watch at its
// default.
inline void WriteSettings(const std::filesystem::path& file, int pages, int buttons, int isUseShake = -1,
                          int columns = 10, int size = 64) {
  wchar_t windows[MAX_PATH], system[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring targets[] = {std::wstring(windows) + L"\\notepad.exe", std::wstring(windows) + L"\\regedit.exe",
                                  std::wstring(system) + L"\\cmd.exe", std::wstring(system) + L"\\taskmgr.exe"};
  std::filesystem::remove(file);
  TIniFile ini(file);
  ini.Update([&] {
    ini.WriteInteger(L"General", L"PageNum", pages);
    ini.WriteInteger(L"General", L"FormTop", 300);
    ini.WriteInteger(L"General", L"FormLeft", 300);
    if (isUseShake >= 0) ini.WriteBool(L"Setting", L"IsUseShake", isUseShake != 0);
    for (int p = 1; p <= pages; ++p) {
      std::wstring s = L"Page" + std::to_wstring(p);
      ini.WriteBool(s, L"Live", true);
      ini.WriteString(s, L"Name", L"ページ" + std::to_wstring(p));
      ini.WriteInteger(s, L"Yoko", std::min(buttons, columns));
      ini.WriteInteger(s, L"Tate", (buttons + columns - 1) / columns);
      ini.WriteInteger(s, L"BtnW", size);
      ini.WriteInteger(s, L"BtnH", size);
      ini.WriteInteger(s, L"ShowType", 0);
      ini.WriteString(s, L"FontName", L"ＭＳ Ｐゴシック");
      ini.WriteInteger(s, L"FontSize", 10);
      ini.WriteString(s, L"FontColor", L"clNavy");
      for (int b = 1; b <= buttons; ++b) {
        const std::wstring& target = targets[static_cast<std::size_t>(b) % std::size(targets)];
        std::wstring n = std::to_wstring(b);
        ini.WriteString(s, L"BtnFP" + n, target);
        ini.WriteString(s, L"BtnName" + n, L"ツール" + n);
        ini.WriteString(s, L"BtnIP" + n, target);
        ini.WriteString(s, L"WD" + n, std::filesystem::path(target).parent_path().wstring());
      }
    }
  });
}

// Handles every message waiting for this thread, then returns; true when a quit request
// came (it is not handled).
inline bool PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

}  // namespace vl::bench
