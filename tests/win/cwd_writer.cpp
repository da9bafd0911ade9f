// A program the launch tests start through a button: it writes its command-line arguments
// into "<its own path>.args", the show state it was started with into "<its own path>.show"
// (GetStartupInfo's wShowWindow in decimal, or "none" when the starter gave none) and the
// time the process was made into "<its own path>.started", then
// its current folder into "<its own path>.cwd", all in UTF-8, so that the test sees how
// and where the shell started it.
#include <windows.h>

#include <string>

#include "core/text_codec.h"

namespace {

// Whole or not at all: the test polls for the files.
bool WriteWhole(const std::wstring& out, const std::string& text) {
  std::wstring tmp = out + L".tmp";
  HANDLE file = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return MoveFileExW(tmp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  wchar_t self[32768];
  GetModuleFileNameW(nullptr, self, 32768);
  wchar_t cwd[32768];
  DWORD n = GetCurrentDirectoryW(32768, cwd);
  if (!WriteWhole(std::wstring(self) + L".args", vl::WideToUtf8(args ? args : L""))) return 1;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const std::string show =
      (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : std::string("none");
  if (!WriteWhole(std::wstring(self) + L".show", show)) return 1;
  // When the process was made, in 100-nanosecond steps: the order in which a launcher
  // started several.
  FILETIME made{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &made, &exited, &kernel, &user);
  const unsigned long long madeAt = (static_cast<unsigned long long>(made.dwHighDateTime) << 32) | made.dwLowDateTime;
  if (!WriteWhole(std::wstring(self) + L".started", std::to_string(madeAt))) return 1;
  return WriteWhole(std::wstring(self) + L".cwd", vl::WideToUtf8(std::wstring(cwd, n))) ? 0 : 1;
}
