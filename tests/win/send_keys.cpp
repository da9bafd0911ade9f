// send_keys: presses key combinations from a process of its own, through SendInput, as a
// user's keyboard would in another program.
//
//   send_keys COMBO...   COMBO is virtual-key codes in hex joined by "+", such as 11+10+41
//                        for Ctrl+Shift+A: pressed in order, released in reverse order;
//                        or two or more single events joined by ",", "d" for down and "u"
//                        for up, such as d5B,d20,d20,u5B,u20 (a Space that repeats while
//                        Windows goes up).
//
// Exit code 0 when every event was sent, 1 when SendInput refused one, 2 on a usage error;
// the last line printed is "vl-exit" and that code.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "tests/win/exit_line.h"

namespace {

INPUT KeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// "d5B,d20,u20,u5B": the events in the order given.
bool ParseEvents(const wchar_t* text, std::vector<INPUT>& events) {
  for (const wchar_t* p = text; *p;) {
    if (*p != L'd' && *p != L'u') return false;
    bool up = *p++ == L'u';
    wchar_t* end = nullptr;
    unsigned long vk = std::wcstoul(p, &end, 16);
    if (end == p || vk == 0 || vk > 0xFE) return false;
    events.push_back(KeyEvent(static_cast<WORD>(vk), up));
    p = end;
    if (*p == L',') ++p;
    else if (*p) return false;
  }
  return !events.empty();
}

bool ParseCombo(const wchar_t* text, std::vector<WORD>& keys) {
  const wchar_t* p = text;
  while (*p) {
    wchar_t* end = nullptr;
    unsigned long vk = std::wcstoul(p, &end, 16);
    if (end == p || vk == 0 || vk > 0xFE) return false;
    keys.push_back(static_cast<WORD>(vk));
    p = end;
    if (*p == L'+') ++p;
    else if (*p) return false;
  }
  return !keys.empty();
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: send_keys COMBO...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::vector<WORD> keys;
    std::vector<INPUT> events;
    if (std::wcschr(argv[i], L',')) {
      if (!ParseEvents(argv[i], events)) events.clear();
    } else if (ParseCombo(argv[i], keys)) {
      for (WORD vk : keys) events.push_back(KeyEvent(vk, false));
      for (auto it = keys.rbegin(); it != keys.rend(); ++it) events.push_back(KeyEvent(*it, true));
    }
    if (events.empty()) {
      std::fprintf(stderr, "send_keys: not a combination: %ls\n", argv[i]);
      return 2;
    }
    UINT sent = SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    if (sent != events.size()) {
      std::fprintf(stderr, "send_keys: SendInput sent %u of %zu events\n", sent, events.size());
      return 1;
    }
    Sleep(30);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) { return vl::test::WithExitLine(Run(argc, argv)); }
