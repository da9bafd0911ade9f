#include "buttons/stored_button.h"

#include "core/number_text.h"
#include "core/settings_keys.h"

namespace vl {

namespace keys = settings;

StoredButton StoredButton::Read(const TIniFile& ini, std::wstring_view section, std::int32_t i) {
  auto read = [&](const wchar_t* key) { return ini.ReadString(section, keys::ButtonKey(key, i), L""); };
  StoredButton b{read(keys::kBtnFP), read(keys::kBtnName), read(keys::kBtnIP), read(keys::kWD), {}};
  b.options.arguments = read(keys::kBtnArg);
  b.options.show = LaunchOptions::ShowFrom(ini.ReadInteger(section, keys::ButtonKey(keys::kBtnShow, i), 0));
  b.options.admin = ini.ReadBool(section, keys::ButtonKey(keys::kBtnAdmin, i), false);
  return b;
}

void StoredButton::Write(TIniFile& ini, std::wstring_view section, std::int32_t i) const {
  auto write = [&](const wchar_t* key, std::wstring_view value) {
    ini.WriteString(section, keys::ButtonKey(key, i), value);
  };
  write(keys::kBtnFP, fullPath);
  write(keys::kBtnName, name);
  write(keys::kBtnIP, iconPath);
  write(keys::kWD, workDir);
  // Written where set, or where the file holds the key already (cleared then, never taken
  // out, as the four are): a button that never had them never gets them.
  auto option = [&](const wchar_t* key, bool set, std::wstring_view value) {
    if (set || ini.ReadString(section, keys::ButtonKey(key, i), L"\n") != L"\n") write(key, value);
  };
  option(keys::kBtnArg, !options.arguments.empty(), options.arguments);
  option(keys::kBtnShow, options.show != LaunchOptions::kNormal, DecimalText(options.show));
  option(keys::kBtnAdmin, options.admin, options.admin ? L"1" : L"0");
}

StoredButton StoredButton::Of(const TLaunchBtn& button) {
  return {button.FullPath(), button.BtnName(), button.IconPath(), button.WorkDir(), button.Options()};
}

void StoredButton::Into(TLaunchBtn& button) const {
  button.SetFullPath(fullPath);
  button.SetBtnName(name);
  button.SetIconPath(iconPath);
  button.SetWorkDir(workDir);
  button.SetOptions(options);
}

}  // namespace vl
