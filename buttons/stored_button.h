// StoredButton: one launch button as its page's section of the settings file holds it,
// and the one place that knows its keys. Every button has the four keys of what it binds
// (BtnFP, BtnName, BtnIP, WD, written even when empty); the three of how it starts
// (BtnArg, BtnShow, BtnAdmin) are written only for a button whose options are set, or
// whose place in the file holds them already (then cleared to "", "0" and "0", as the four
// are cleared, never taken out). So a file whose buttons never had options never gets
// their keys, whatever else is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "buttons/launch_btn.h"
#include "core/ini_file.h"

namespace vl {

struct StoredButton {
  std::wstring fullPath, name, iconPath, workDir;
  LaunchOptions options;
  bool operator==(const StoredButton&) const = default;

  // Button i of `section`; a show number it does not know reads as a normal window.
  static StoredButton Read(const TIniFile& ini, std::wstring_view section, std::int32_t i);
  // Button i's seven keys as this holds them; an empty StoredButton clears the button.
  void Write(TIniFile& ini, std::wstring_view section, std::int32_t i) const;

  static StoredButton Of(const TLaunchBtn& button);
  // The fields into the button; the face is the caller's to renew.
  void Into(TLaunchBtn& button) const;
};

}  // namespace vl
