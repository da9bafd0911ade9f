// Another program that holds a file open and shares it with no one (hold_file.exe beside
// the test), for as long as the object lives.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "gui/platform/handles.h"

namespace vl::test {

class FileHolder {
 public:
  explicit FileHolder(const std::filesystem::path& file) {
    static int count = 0;
    std::wstring name = L"vl-hold-file-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++count);
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, (name + L"-ready").c_str()));
    quit_.reset(CreateEventW(nullptr, TRUE, FALSE, (name + L"-quit").c_str()));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring cmd = L"\"" + (std::filesystem::path(self).parent_path() / L"hold_file.exe").wstring() +
                       L"\" \"" + file.wstring() + L"\" " + name;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return;
    process_.reset(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    HANDLE both[] = {ready_.get(), process_.get()};
    holding_ = WaitForMultipleObjects(2, both, FALSE, 20000) == WAIT_OBJECT_0;
  }
  ~FileHolder() {
    SetEvent(quit_.get());
    if (process_) WaitForSingleObject(process_.get(), 20000);
  }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool Holding() const { return holding_; }

 private:
  UniqueKernelHandle ready_, quit_, process_;
  bool holding_ = false;
};

}  // namespace vl::test
