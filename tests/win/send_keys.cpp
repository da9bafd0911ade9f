// send_keys: presses key combinations from a process of its own, through SendInput, as a
// user's keyboard would in another program.
//
//   send_keys COMBO...   COMBO is virtual-key codes in hex joined by "+", such as 11+10+41
//                        for Ctrl+Shift+A: pressed in order, released in reverse order.
//
// Exit code 0 when every event was sent, 1 when SendInput refused one, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

INPUT KeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: send_keys COMBO...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::vector<WORD> keys;
    if (!ParseCombo(argv[i], keys)) {
      std::fprintf(stderr, "send_keys: not a combination: %ls\n", argv[i]);
      return 2;
    }
    std::vector<INPUT> events;
    for (WORD vk : keys) events.push_back(KeyEvent(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) events.push_back(KeyEvent(*it, true));
    UINT sent = SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    if (sent != events.size()) {
      std::fprintf(stderr, "send_keys: SendInput sent %u of %zu events\n", sent, events.size());
      return 1;
    }
    Sleep(30);
  }
  return 0;
}
