// key_presser: presses keys for hotkey_latency_bench from a process of its own, as a
// user's keyboard would, each time the bench asks (see key_presser.h).
//
//   key_presser NAME      serves the block and events named from NAME until the bench
//                         sets quit, or asks for nothing for a minute
//
// Exit code 0 at quit, 1 when the channel cannot be opened or the bench went silent.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "bench/key_presser.h"
#include "gui/platform/handles.h"

namespace {

INPUT KeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: key_presser NAME\n");
    return 1;
  }
  std::wstring name = argv[1];
  vl::UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
  vl::UniqueKernelHandle go(OpenEventW(SYNCHRONIZE, FALSE, vl::bench::PresserGoEvent(name).c_str()));
  vl::UniqueKernelHandle sent(OpenEventW(EVENT_MODIFY_STATE, FALSE, vl::bench::PresserSentEvent(name).c_str()));
  if (!mapping || !go || !sent) {
    std::fprintf(stderr, "key_presser: no channel %ls\n", name.c_str());
    return 1;
  }
  vl::bench::PresserView block(mapping.get());
  if (!block.get()) return 1;
  while (WaitForSingleObject(go.get(), 60000) == WAIT_OBJECT_0) {
    if (block->quit) return 0;
    std::vector<INPUT> events;
    LONG count = std::min(LONG{block->keyCount}, static_cast<LONG>(std::size(block->keys)));
    for (LONG i = 0; i < count; ++i) events.push_back(KeyEvent(block->keys[i], false));
    for (LONG i = count; i-- > 0;) events.push_back(KeyEvent(block->keys[i], true));
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    block->sentQpc = now.QuadPart;
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    SetEvent(sent.get());
  }
  return 1;
}
