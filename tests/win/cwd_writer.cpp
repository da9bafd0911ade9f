// A program the launch tests start through a button: it writes its current folder, in
// UTF-8, into "<its own path>.cwd", so that the test sees where the shell started it.
#include <windows.h>

#include <string>

#include "core/text_codec.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[32768];
  GetModuleFileNameW(nullptr, self, 32768);
  wchar_t cwd[32768];
  DWORD n = GetCurrentDirectoryW(32768, cwd);
  std::string text = vl::WideToUtf8(std::wstring(cwd, n));
  std::wstring out = std::wstring(self) + L".cwd";
  std::wstring tmp = out + L".tmp";
  HANDLE file = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  // Whole or not at all: the test polls for the file.
  return MoveFileExW(tmp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
