// vl_driver: drives the launcher from another process in the end-to-end scenarios, the
// way a user's clicks and keys would reach it.
//
//   wait-window CAPTION TIMEOUT_MS   waits for a visible top-level window with that caption
//                                    and for its program to have started up (its first wait
//                                    for input); prints "window X,Y WxH" (outer rectangle)
//   wait-gone CAPTION TIMEOUT_MS     waits until no window with that caption is visible
//   close-window CAPTION             posts WM_CLOSE to it
//   client CAPTION                   prints "client WxH"
//   dpi CAPTION                      prints "dpi N", the DPI of the window
//   tabs CAPTION                     prints the tab captions of its page strip, one a line,
//                                    the selected one marked with "*"
//   select-tab CAPTION INDEX         selects a tab as a click on it would
//   buttons CAPTION                  prints the visible launch buttons: "X,Y WxH caption"
//   windows CAPTION                  prints "windows N": every window the window's process
//                                    holds (top-level, child and message-only)
//   tray BUTTON [ID]                 the tray icon's callback for a mouse event, as the shell
//                                    sends it: BUTTON is "left", "right" or "double"
//   menu-pick N TIMEOUT_MS           waits for an open menu and chooses its Nth command
//                                    (from 0, separators not counted)
//   menu-open                        prints "open" while a menu is open, else "closed"
//   message TIMEOUT_MS [ID]          waits for a message box of another process; prints
//                                    "caption|text" and presses its button ID (6 Yes,
//                                    7 No), or its first button; ID "none" presses none
//   activate CAPTION                 brings the window to the front with the focus
//   context-menu CAPTION             opens the page strip's menu, as a right click on it
//   state CAPTION                    prints "visible X,Y WxH" or "hidden X,Y WxH"
//   watch-rect CAPTION WAIT_MS WATCH_MS  waits for the window to become visible, then
//                                    samples its outer rectangle as fast as it can for
//                                    WATCH_MS; prints each different one, "X,Y WxH", in order
//   syscommand CAPTION CODE          sends WM_SYSCOMMAND with CODE (decimal or 0x hex)
//   setting-change AREA              broadcasts WM_SETTINGCHANGE naming AREA (such as
//                                    "ImmersiveColorSet") to every top-level window, as
//                                    Windows does after a change of its settings; waits
//                                    until each has taken it
//   endsession CAPTION               asks the window WM_QUERYENDSESSION, as a log-off does;
//                                    prints its answer
//   click CAPTION TEXT               presses the push button TEXT inside the window, as a
//                                    click on it does (BM_CLICK, posted)
//   set CAPTION LABEL VALUE          sets a field of the window as a user would: the edit or
//                                    drop-down list that follows the label LABEL takes VALUE
//                                    (a list: the number of its choice, from 0); a check box
//                                    captioned LABEL is clicked unless it already reads VALUE
//                                    ("1" ticked, "0" not)
//   controls CAPTION                 prints every control inside the window, in tab order of
//                                    creation: "Class X,Y WxH [disabled] text" (position in
//                                    the window's client area; a multi-line text on its own lines)
//   center CAPTION CLASS             prints "X Y", the screen point at the middle of the first
//                                    visible control of that class inside the window
//   focus                            prints "Class text" of the control that has the keyboard
//                                    focus in the foreground window's thread
//   foreground                       prints "Class X,Y WxH caption" of the foreground window
//   type TEXT                        types TEXT as characters (KEYEVENTF_UNICODE), as an input
//                                    method hands over what it composed
//   accessible CAPTION N             asks the accessibility interface (AccessibleObjectFromPoint)
//                                    for what is at the middle of the window's Nth visible
//                                    launch button (from 1); prints "name|role|default action",
//                                    the role as GetRoleText words it in the driver's language;
//                                    with "press" after N, asks for its default action instead
//   accessible-window CAPTION CLASS  asks the accessibility interface (AccessibleObjectFromWindow,
//                                    OBJID_CLIENT) for the first visible control of that class
//                                    inside the window; prints "name|role" as `accessible` does
//   tab-center CAPTION INDEX         prints "X Y", the screen point at the middle of that tab
//                                    of the page strip
//   tip CAPTION TIMEOUT_MS           waits for a visible tooltip of the window's process and
//                                    prints its text (a tip of two lines on two lines)
//   hover X Y                        the pointer moved to (X, Y) and left there, as a mouse
//                                    comes to rest on a control
//   drag-start X Y                   the pointer to (X, Y) and the left button pressed there,
//                                    through the input stream as a mouse does it
//   drag-to X Y                      the pointer moved to (X, Y) in small steps, the button held
//   drag-end                         the left button released where the pointer is
//   shake X Y STEP MOVES             moves the pointer from (X, Y), one move every 25 ms:
//                                    "L" STEP pixels left, "R" right, "U"/"D" STEP up/down,
//                                    "." stays; prints the pointer's last position
//   file-dialog CAPTION PATH TIMEOUT_MS  waits for the system's file dialog of that caption,
//                                    puts PATH in its file name box and presses its OK button
//
// Exit code 0 on success, 1 when what was looked for is not there, 2 on a usage error;
// the last line printed is "vl-exit" and that code.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/text_codec.h"
#include "gui/platform/window_count.h"
#include "tests/win/exit_line.h"

namespace {

void Print(const std::wstring& line) { std::printf("%s\n", vl::WideToUtf8(line).c_str()); }

template <class Find>
HWND WaitFor(Find find, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = find()) return hwnd;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

HWND VisibleWindow(const wchar_t* caption) {
  HWND hwnd = FindWindowW(nullptr, caption);
  return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

HWND Strip(HWND main) { return FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr); }

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

// Reads the tab captions through memory in the launcher's process: a tab control answers
// only with pointers into its own address space.
std::vector<std::wstring> TabCaptions(HWND strip) {
  DWORD pid = 0;
  GetWindowThreadProcessId(strip, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  std::vector<std::wstring> out;
  if (!process) return out;
  constexpr SIZE_T kText = 256;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TCITEMW) + kText * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  int count = static_cast<int>(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TCITEMW));
    item.cchTextMax = kText;
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(strip, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kText] = {};
    ReadProcessMemory(process, remote + sizeof(TCITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
    out.push_back(text);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return out;
}

BOOL CALLBACK CollectButton(HWND hwnd, LPARAM list) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (std::wcscmp(cls, L"TBitBtn") == 0 && IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

struct MessageBoxSearch {
  DWORD self;
  HWND found = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (std::wcscmp(cls, L"#32770") == 0 && IsWindowVisible(hwnd) && pid != search->self) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

// Every window inside `hwnd`, at any depth, in the order of their creation.
std::vector<HWND> ChildrenOf(HWND hwnd) {
  std::vector<HWND> children;
  EnumChildWindows(hwnd, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

// The whole text, however long (WM_GETTEXT crosses processes for the standard controls).
std::wstring FullText(HWND hwnd) {
  int length = static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// "name|role" of an accessible object's child, the role as GetRoleText words it in the
// driver's language.
std::wstring NameAndRole(IAccessible* object, VARIANT child) {
  BSTR name = nullptr;
  VARIANT role;
  VariantInit(&role);
  object->get_accName(child, &name);
  object->get_accRole(child, &role);
  wchar_t roleText[128] = L"";
  if (role.vt == VT_I4) GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 128);
  std::wstring out = std::wstring(name ? name : L"") + L"|" + roleText;
  SysFreeString(name);
  VariantClear(&role);
  return out;
}

void PostKey(HWND target, UINT key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

int Usage() {
  std::fprintf(stderr, "usage: see the comment at the top of tests/e2e/driver.cpp\n");
  return 2;
}

// The rectangle of a tab in the screen's coordinates, read through memory in the
// launcher's process as TabCaptions reads its texts.
bool TabRect(HWND strip, int index, RECT& rect) {
  DWORD pid = 0;
  GetWindowThreadProcessId(strip, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  bool ok = SendMessageW(strip, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (ok) MapWindowPoints(strip, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return ok;
}

void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

// The pointer moved as a mouse moves it: through the input stream, which a program
// waiting on raw input hears (SetCursorPos alone is not mouse input), then set exactly,
// since absolute input lands on a 65536-step grid.
void MoveMouse(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, width - 1);
  in.mi.dy = MulDiv(y, 65535, height - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  SetCursorPos(x, y);
}

int Run(int argc, wchar_t** argv) {
  // Sizes and places in the launcher's own pixels, whatever the display's scale.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc < 2) return Usage();
  std::wstring cmd = argv[1];
  auto arg = [&](int i) { return i < argc ? argv[i] : L""; };
  auto number = [&](int i) { return static_cast<int>(std::wcstol(arg(i), nullptr, 10)); };

  if (cmd == L"wait-window" && argc == 4) {
    HWND hwnd = WaitFor([&] { return VisibleWindow(argv[2]); }, number(3));
    if (!hwnd) {
      std::fprintf(stderr, "no visible window with that caption\n");
      return 1;
    }
    // The window shows before its creation step has built the pages.
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)) {
      WaitForInputIdle(process, static_cast<DWORD>(number(3)));
      CloseHandle(process);
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("window %ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (cmd == L"wait-gone" && argc == 4) {
    HWND gone = WaitFor([&]() -> HWND { return VisibleWindow(argv[2]) ? nullptr : GetDesktopWindow(); }, number(3));
    return gone ? 0 : 1;
  }
  if (cmd == L"close-window" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 0;
  }
  if (cmd == L"dpi" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    std::printf("dpi %u\n", GetDpiForWindow(hwnd));
    return 0;
  }
  if (cmd == L"client" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    RECT r;
    GetClientRect(hwnd, &r);
    std::printf("client %ldx%ld\n", r.right, r.bottom);
    return 0;
  }
  if ((cmd == L"tabs" || cmd == L"select-tab" || cmd == L"context-menu") && argc >= 3) {
    HWND main = FindWindowW(nullptr, argv[2]);
    HWND strip = main ? Strip(main) : nullptr;
    if (!strip) return 1;
    if (cmd == L"select-tab") {
      SendMessageW(strip, TCM_SETCURFOCUS, number(3), 0);
      return 0;
    }
    if (cmd == L"context-menu") {
      RECT r;
      GetWindowRect(strip, &r);
      PostMessageW(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(strip), MAKELPARAM(r.left + 5, r.top + 5));
      return 0;
    }
    int selected = static_cast<int>(SendMessageW(strip, TCM_GETCURSEL, 0, 0));
    std::vector<std::wstring> tabs = TabCaptions(strip);
    for (std::size_t i = 0; i < tabs.size(); ++i)
      Print((static_cast<int>(i) == selected ? L"*" : L" ") + tabs[i]);
    return 0;
  }
  if (cmd == L"buttons" && argc == 3) {
    HWND main = FindWindowW(nullptr, argv[2]);
    if (!main) return 1;
    std::vector<HWND> buttons;
    EnumChildWindows(main, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    for (HWND b : buttons) {
      RECT r;
      GetWindowRect(b, &r);
      std::printf("%ld,%ld %ldx%ld ", r.left, r.top, r.right - r.left, r.bottom - r.top);
      Print(TextOf(b));
    }
    return 0;
  }
  if (cmd == L"windows" && argc == 3) {
    HWND main = FindWindowW(nullptr, argv[2]);
    DWORD pid = 0;
    if (!main || !GetWindowThreadProcessId(main, &pid)) return 1;
    std::printf("windows %d\n", vl::CountWindowsOfProcess(pid));
    return 0;
  }
  if (cmd == L"tray" && argc >= 3) {
    HWND handler = FindWindowW(L"TTrayIconHandler", nullptr);
    if (!handler) return 1;
    UINT id = argc > 3 ? static_cast<UINT>(number(3)) : 1;
    std::wstring button = argv[2];
    if (button == L"right") {
      PostMessageW(handler, 0x0800, id, WM_RBUTTONDOWN);
      PostMessageW(handler, 0x0800, id, WM_RBUTTONUP);
    } else if (button == L"left") {
      PostMessageW(handler, 0x0800, id, WM_LBUTTONDOWN);
      PostMessageW(handler, 0x0800, id, WM_LBUTTONUP);
    } else if (button == L"double") {
      PostMessageW(handler, 0x0800, id, WM_LBUTTONDOWN);
      PostMessageW(handler, 0x0800, id, WM_LBUTTONUP);
      PostMessageW(handler, 0x0800, id, WM_LBUTTONDBLCLK);
      PostMessageW(handler, 0x0800, id, WM_LBUTTONUP);
    } else {
      return Usage();
    }
    return 0;
  }
  if (cmd == L"menu-pick" && argc == 4) {
    HWND menu = WaitFor([] {
      HWND m = FindWindowW(L"#32768", nullptr);
      return m && IsWindowVisible(m) ? m : nullptr;
    }, number(3));
    if (!menu) {
      std::fprintf(stderr, "no menu open\n");
      return 1;
    }
    for (int i = 0; i <= number(2); ++i) PostKey(menu, VK_DOWN);
    PostKey(menu, VK_RETURN);
    return 0;
  }
  if (cmd == L"file-dialog" && argc == 5) {
    HWND dialog = WaitFor([&] { return VisibleWindow(argv[2]); }, number(4));
    if (!dialog) {
      std::fprintf(stderr, "no file dialog\n");
      return 1;
    }
    // The file name box: a combo box (cmb13) in the Explorer-style dialog, an edit (edt1)
    // in the older one.
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name) name = GetDlgItem(dialog, 0x480);
    if (!name) {
      std::fprintf(stderr, "no file name box\n");
      return 1;
    }
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return 0;
  }
  if (cmd == L"menu-open" && argc == 2) {
    HWND m = FindWindowW(L"#32768", nullptr);
    Print(m && IsWindowVisible(m) ? L"open" : L"closed");
    return 0;
  }
  if (cmd == L"activate" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    return hwnd && SetForegroundWindow(hwnd) ? 0 : 1;
  }
  if (cmd == L"message" && (argc == 3 || argc == 4)) {
    MessageBoxSearch search{GetCurrentProcessId()};
    HWND box = WaitFor([&] {
      search.found = nullptr;
      EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
      return search.found;
    }, number(2));
    if (!box) {
      std::fprintf(stderr, "no message box\n");
      return 1;
    }
    Print(TextOf(box) + L"|" + TextOf(GetDlgItem(box, 0xFFFF)));
    if (argc == 4 && std::wcscmp(argv[3], L"none") == 0) return 0;
    HWND first = GetNextDlgTabItem(box, nullptr, FALSE);
    int id = argc == 4 ? number(3) : first ? GetDlgCtrlID(first) : IDOK;
    PostMessageW(box, WM_COMMAND, id, 0);
    return 0;
  }
  if (cmd == L"state" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%s %ld,%ld %ldx%ld\n", IsWindowVisible(hwnd) ? "visible" : "hidden", r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (cmd == L"watch-rect" && argc == 5) {
    HWND hwnd = nullptr;
    DWORD start = GetTickCount();
    while (!(hwnd = VisibleWindow(argv[2]))) {
      if (GetTickCount() - start > static_cast<DWORD>(number(3))) return 1;
    }
    RECT last{-1, -1, -1, -1};
    for (DWORD since = GetTickCount(); GetTickCount() - since < static_cast<DWORD>(number(4));) {
      RECT r;
      if (!IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &r) || EqualRect(&r, &last)) continue;
      std::printf("%ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      last = r;
    }
    return 0;
  }
  if (cmd == L"endsession" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer))
      return 1;
    std::printf("answer %d\n", static_cast<int>(answer));
    return 0;
  }
  if (cmd == L"syscommand" && argc == 4) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    PostMessageW(hwnd, WM_SYSCOMMAND, static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 0)), 0);
    return 0;
  }
  if (cmd == L"setting-change" && argc == 3) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(argv[2]),
                               SMTO_ABORTIFHUNG, 5000, &answer)
               ? 0
               : 1;
  }
  if (cmd == L"click" && argc == 4) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    for (HWND child : ChildrenOf(hwnd)) {
      if (_wcsicmp(ClassOf(child).c_str(), L"Button") != 0 || FullText(child) != argv[3]) continue;
      PostMessageW(child, BM_CLICK, 0, 0);
      return 0;
    }
    return 1;
  }
  if (cmd == L"set" && argc == 5) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    const std::vector<HWND> children = ChildrenOf(hwnd);
    for (std::size_t k = 0; k < children.size(); ++k) {
      if (FullText(children[k]) != argv[3]) continue;
      const std::wstring kind = ClassOf(children[k]);
      if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const bool ticked = SendMessageW(children[k], BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (ticked != (std::wcscmp(argv[4], L"1") == 0)) SendMessageW(children[k], BM_CLICK, 0, 0);
        return 0;
      }
      if (k + 1 == children.size()) return 1;
      HWND field = children[k + 1];
      if (_wcsicmp(ClassOf(field).c_str(), L"ComboBox") == 0) {
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[4])), 0);
        SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(field));
      } else {
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
      }
      return 0;
    }
    return 1;
  }
  if (cmd == L"controls" && argc == 3) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    for (HWND child : ChildrenOf(hwnd)) {
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
      wchar_t place[96];
      std::swprintf(place, 96, L" %ld,%ld %ldx%ld ", r.left, r.top, r.right - r.left, r.bottom - r.top);
      Print(ClassOf(child) + place + (IsWindowEnabled(child) ? L"" : L"[disabled] ") + FullText(child));
    }
    return 0;
  }
  if (cmd == L"center" && argc == 4) {
    HWND hwnd = FindWindowW(nullptr, argv[2]);
    if (!hwnd) return 1;
    std::vector<HWND> children;
    EnumChildWindows(hwnd, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
      if (ClassOf(child) != argv[3] || !IsWindowVisible(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      return 0;
    }
    return 1;
  }
  if (cmd == L"focus" && argc == 2) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND front = GetForegroundWindow();
    if (!front || !GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) || !info.hwndFocus) return 1;
    Print(ClassOf(info.hwndFocus) + L" " + FullText(info.hwndFocus));
    return 0;
  }
  if (cmd == L"foreground" && argc == 2) {
    HWND front = GetForegroundWindow();
    if (!front) return 1;
    RECT r;
    GetWindowRect(front, &r);
    wchar_t caption[256] = L"";
    GetWindowTextW(front, caption, 256);
    Print(ClassOf(front) + L" " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
          std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L" " + caption);
    return 0;
  }
  if (cmd == L"type" && argc == 3) {
    std::vector<INPUT> events;
    for (const wchar_t* c = argv[2]; *c; ++c) {
      for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = static_cast<WORD>(*c);
        in.ki.dwFlags = KEYEVENTF_UNICODE | up;
        events.push_back(in);
      }
    }
    return SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT)) == events.size() ? 0 : 1;
  }
  if (cmd == L"accessible" && (argc == 4 || (argc == 5 && std::wcscmp(argv[4], L"press") == 0))) {
    HWND main = FindWindowW(nullptr, argv[2]);
    if (!main) return 1;
    std::vector<HWND> buttons;
    EnumChildWindows(main, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    const int n = number(3);
    if (n < 1 || n > static_cast<int>(buttons.size())) return 1;
    RECT r;
    GetWindowRect(buttons[static_cast<std::size_t>(n - 1)], &r);
    CoInitialize(nullptr);
    IAccessible* object = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(AccessibleObjectFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, &object, &child)) ||
        !object) {
      std::fprintf(stderr, "no accessible object there\n");
      return 1;
    }
    if (argc == 5) {
      const HRESULT pressed = object->accDoDefaultAction(child);
      object->Release();
      return SUCCEEDED(pressed) ? 0 : 1;
    }
    BSTR action = nullptr;
    object->get_accDefaultAction(child, &action);
    Print(NameAndRole(object, child) + L"|" + (action ? action : L""));
    SysFreeString(action);
    object->Release();
    return 0;
  }
  if (cmd == L"accessible-window" && argc == 4) {
    HWND main = FindWindowW(nullptr, argv[2]);
    if (!main) return 1;
    for (HWND control : ChildrenOf(main)) {
      if (ClassOf(control) != argv[3] || !IsWindowVisible(control)) continue;
      CoInitialize(nullptr);
      IAccessible* object = nullptr;
      if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))) ||
          !object) {
        std::fprintf(stderr, "no accessible object for the control\n");
        return 1;
      }
      VARIANT self;
      self.vt = VT_I4;
      self.lVal = CHILDID_SELF;
      Print(NameAndRole(object, self));
      object->Release();
      return 0;
    }
    return 1;
  }
  if (cmd == L"tab-center" && argc == 4) {
    HWND main = FindWindowW(nullptr, argv[2]);
    HWND strip = main ? Strip(main) : nullptr;
    RECT r;
    if (!strip || !TabRect(strip, number(3), r)) return 1;
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  if (cmd == L"tip" && argc == 4) {
    HWND main = FindWindowW(nullptr, argv[2]);
    DWORD pid = 0;
    if (!main || !GetWindowThreadProcessId(main, &pid)) return 1;
    struct Search {
      DWORD pid;
      HWND found = nullptr;
    } search{pid};
    HWND tip = WaitFor(
        [&] {
          search.found = nullptr;
          EnumWindows(
              [](HWND hwnd, LPARAM param) {
                auto& s = *reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == s.pid && ClassOf(hwnd) == TOOLTIPS_CLASSW && IsWindowVisible(hwnd)) {
                  s.found = hwnd;
                  return FALSE;
                }
                return TRUE;
              },
              reinterpret_cast<LPARAM>(&search));
          return search.found;
        },
        static_cast<DWORD>(number(3)));
    if (!tip) return 1;
    Print(FullText(tip));
    return 0;
  }
  if (cmd == L"hover" && argc == 4) {
    // Two moves: the tooltip control takes the first for the pointer's arrival.
    MoveMouse(number(2) - 1, number(3) - 1);
    Sleep(50);
    MoveMouse(number(2), number(3));
    return 0;
  }
  if (cmd == L"drag-start" && argc == 4) {
    MoveMouse(number(2), number(3));
    Sleep(50);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    return 0;
  }
  if (cmd == L"drag-to" && argc == 4) {
    POINT from;
    GetCursorPos(&from);
    // In steps, as a hand moves it: the first already past any drag distance.
    constexpr int kSteps = 6;
    for (int k = 1; k <= kSteps; ++k) {
      MoveMouse(from.x + (number(2) - from.x) * k / kSteps, from.y + (number(3) - from.y) * k / kSteps);
      Sleep(30);
    }
    return 0;
  }
  if (cmd == L"drag-end" && argc == 2) {
    MouseButton(MOUSEEVENTF_LEFTUP);
    return 0;
  }
  if (cmd == L"shake" && argc == 6) {
    int x = number(2), y = number(3), step = number(4);
    MoveMouse(x, y);
    Sleep(100);
    // Steps at a steady 25 ms, whatever each move costs.
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    int k = 0;
    for (const wchar_t* m = argv[5]; *m; ++m, ++k) {
      LONGLONG due = start.QuadPart + freq.QuadPart * 25 * (k + 1) / 1000;
      do {
        QueryPerformanceCounter(&now);
        if (now.QuadPart < due - freq.QuadPart / 500) Sleep(1);
      } while (now.QuadPart < due);
      switch (*m) {
        case L'L': x -= step; break;
        case L'R': x += step; break;
        case L'U': y -= step; break;
        case L'D': y += step; break;
        default: break;
      }
      MoveMouse(x, y);
    }
    std::printf("pointer %d,%d\n", x, y);
    return 0;
  }
  return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) { return vl::test::WithExitLine(Run(argc, argv)); }
