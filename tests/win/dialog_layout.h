// A dialog's layout checked as the user sees it, for the dialogs' tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vl::test {

// Every control shown (itself and its parents up to the dialog) lies within the client
// area, and no two controls of one parent overlap, unless one frames the other (a group
// box, a tab strip, a window holding others) or is a spin edit's arrows beside its edit.
// The controls of `dialog` the user sees: each shown, with its parents up to the dialog.
inline std::vector<HWND> ShownControls(HWND dialog) {
  struct Walk {
    HWND dialog;
    std::vector<HWND> shown;
  } walk{dialog, {}};
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) -> BOOL {
        auto& seen = *reinterpret_cast<Walk*>(p);
        for (HWND up = w; up && up != seen.dialog; up = GetParent(up))
          if (!(GetWindowLongW(up, GWL_STYLE) & WS_VISIBLE)) return TRUE;
        seen.shown.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.shown;
}

inline void ExpectTidyLayout(HWND dialog) {
  struct Placed {
    HWND window;
    RECT rect;
  };
  std::vector<Placed> placed;
  for (HWND w : ShownControls(dialog)) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    placed.push_back({w, r});
  }
  auto frames = [](HWND w) {
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    const std::wstring cls = name;
    return GetWindow(w, GW_CHILD) != nullptr || cls == L"SysTabControl32" || cls == L"msctls_updown32" ||
           (cls == L"Button" && (GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX);
  };
  auto text = [](HWND w) {
    wchar_t t[64] = L"";
    GetWindowTextW(w, t, 64);
    return std::wstring(t);
  };
  RECT client;
  GetClientRect(dialog, &client);
  ASSERT_FALSE(placed.empty());
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const Placed& a = placed[i];
    EXPECT_TRUE(a.rect.left >= 0 && a.rect.top >= 0 && a.rect.right <= client.right &&
                a.rect.bottom <= client.bottom)
        << testing::PrintToString(text(a.window)) << " ends at " << a.rect.right << ","
        << a.rect.bottom << ", outside the client area of " << client.right << " x " << client.bottom;
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& b = placed[j];
      RECT both;
      if (GetParent(a.window) == GetParent(b.window) && !frames(a.window) && !frames(b.window) &&
          IntersectRect(&both, &a.rect, &b.rect))
        ADD_FAILURE() << testing::PrintToString(text(a.window)) << " and "
                      << testing::PrintToString(text(b.window)) << " overlap at " << both.left << ","
                      << both.top;
    }
  }
}

}  // namespace vl::test
