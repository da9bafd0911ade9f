// drop_target: a window that takes dropped files and key presses and writes down what
// arrives: for the end-to-end check that a drop from outside Windows reaches a window as
// WM_DROPFILES, and for the checks that the launcher leaves other programs their keys.
//
//   drop_target LOG_FILE      shows a window captioned "drop target"; each WM_DROPFILES
//                             appends its files (UTF-8, one a line) to LOG_FILE, and each
//                             WM_KEYDOWN or WM_SYSKEYDOWN a line "key XX" (the virtual-key
//                             code in hex)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "core/text_codec.h"

namespace {

const wchar_t* g_log = nullptr;

void Append(const std::string& lines) {
  if (FILE* f = _wfopen(g_log, L"ab")) {
    std::fwrite(lines.data(), 1, lines.size(), f);
    std::fclose(f);
  }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
    char line[16];
    std::snprintf(line, sizeof line, "key %02X\n", static_cast<unsigned>(wParam));
    Append(line);
  }
  if (msg == WM_DROPFILES) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::string lines;
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
      lines += vl::WideToUtf8(name) + "\n";
    }
    DragFinish(drop);
    Append(lines);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: drop_target LOG_FILE\n");
    return 2;
  }
  g_log = argv[1];
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = L"DropTarget";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_ACCEPTFILES, L"DropTarget", L"drop target",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
  if (!hwnd) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
