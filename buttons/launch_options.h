// LaunchOptions: how a button starts its target beyond its path and working folder, as
// the button dialog's "引数：", "実行時の大きさ：" and "管理者として実行する" set it. The
// defaults are a button that has none, as every button was before they existed, and such
// a button writes none of their keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vl {

struct LaunchOptions {
  // The file's numbers for the window the target starts with.
  enum Show : std::int32_t { kNormal = 0, kMinimized = 1, kMaximized = 2 };

  // Handed to the target as its one parameter string, exactly as the user typed it.
  std::wstring arguments;
  std::int32_t show = kNormal;
  // Every open asks for elevation, as the menu's "管理者として実行" does.
  bool admin = false;

  bool operator==(const LaunchOptions&) const = default;
  bool None() const { return *this == LaunchOptions{}; }

  // The stored number as a show state: anything but 1 and 2 is a normal window.
  static std::int32_t ShowFrom(std::int32_t stored) {
    return stored == kMinimized || stored == kMaximized ? stored : kNormal;
  }
  // What the shell is given. Minimised as a shortcut's "最小化" starts it: the target
  // does not take the focus from whatever the user turns to next.
  int ShowCommand() const {
    return show == kMinimized ? SW_SHOWMINNOACTIVE : show == kMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  }
};

}  // namespace vl
