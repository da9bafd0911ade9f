// hold_file: another program that holds a file open and shares it with no one, the way an
// editor, a backup tool or a virus scanner sometimes does, for the tests of the settings
// file.
//
//   hold_file FILE NAME [MS]  opens FILE with share mode 0, sets the event NAME-ready,
//                         prints "held" and holds the file until the event NAME-quit is
//                         set, for at most MS milliseconds (a minute when not given)
//
// Exit code 0 when the file was held, 1 when it could not be opened, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/platform/handles.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: hold_file FILE NAME [MS]\n");
    return 2;
  }
  const DWORD ms = argc == 4 ? static_cast<DWORD>(_wtoi(argv[3])) : 60000;
  std::wstring name = argv[2];
  vl::UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, (name + L"-ready").c_str()));
  vl::UniqueKernelHandle quit(CreateEventW(nullptr, TRUE, FALSE, (name + L"-quit").c_str()));
  if (!ready || !quit) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  SetEvent(ready.get());
  std::printf("held\n");
  std::fflush(stdout);
  WaitForSingleObject(quit.get(), ms);
  CloseHandle(file);
  return 0;
}
