#include "app/call_up_notes.h"

#include "app/frm_main.h"
#include "buttons/shell_helpers.h"
#include "core/hot_key_text.h"
#include "core/key_assign.h"
#include "core/settings_keys.h"

namespace vl {
namespace {

namespace keys = settings;

// Windows+Space is also the system's key for the next input language: a user who
// loses the one finds the way to the other here.
std::wstring KeyLines(const std::wstring& showKey) {
  if (showKey.empty()) return L"通知領域のアイコンをダブルクリックすると表示します。";
  std::wstring text = showKey + L" で呼び出せます。";
  if (showKey == keys::kShowHotKeyDefault)
    text += L"\nWindows+Space は入力言語の切り替えにも使われます。ほかのキーは「環境設定」の「呼び出し」で選べます。";
  return text;
}

}  // namespace

std::wstring FirstStartNote(const std::wstring& showKey) {
  return L"ランチャーは通知領域で動いています。" + KeyLines(showKey);
}

std::wstring SecondStartNote(const std::wstring& showKey) {
  return L"二重起動はできません\n\nランチャーはすでに通知領域で動いています。" + KeyLines(showKey) +
         L"\nこのメッセージを閉じると、動いているランチャーを表示します。";
}

std::wstring ShowKeyInFile(const TIniFile& ini) {
  if (!ini.ReadBool(keys::kSetting, keys::kIsUseHotKey, keys::kIsUseHotKeyDefault)) return {};
  const std::wstring stored = ini.ReadString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault);
  const std::wstring text = HotKeyTextRefusal(stored, true).empty() ? stored : keys::kShowHotKeyDefault;
  // In the written form, as the running copy's tip shows it.
  TKeyAssign assign;
  return ReadHotKeyText(text, assign) ? HotKeyText(assign) : text;
}

bool NoSettingsFile() {
  if (GetFileAttributesW(FileSystemPath(SettingsFilePath()).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

UINT CallUpMessage() {
  static const UINT message = RegisterWindowMessageW(L"VantriLaunch.CallUp");
  return message;
}

bool CallUpRunningLauncher() {
  // By its caption too: "TfrmMain" is a class name other programs' windows have.
  HWND running = FindWindowW(L"TfrmMain", kMainCaption);
  if (!running) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  return PostMessageW(running, CallUpMessage(), 0, 0) != FALSE;
}

}  // namespace vl
