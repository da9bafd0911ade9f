#include "showhide/hot_key_hook.h"

#include <iterator>
#include <utility>

namespace vl {

namespace {

struct HookTraits {
  using Handle = HHOOK;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { UnhookWindowsHookEx(h); }
};
// Made and closed on the hook's thread. Its owner count stays single-threaded all the
// same: the owner's thread waits for the hook thread's start and for its end.
using UniqueHook = UniqueHandle<HookTraits>;

// Sent in place of a swallowed press; Windows leaves it unassigned, so no program acts on it.
constexpr WORD kMaskKey = 0xE8;
// A key held down repeats within the keyboard's delay (1 s at the longest Windows offers)
// and then at its rate (2.5 a second at the slowest): a press of ours that has been quiet
// for longer than this is over, though its release never came to the hook (the computer
// was locked while the key was held, and the secure desktop took the release).
constexpr DWORD kPressOverMs = 1500;
// In dwExtraInfo of the keys the hooks send themselves, so that every hook of ours lets
// them by, its own included: a mask key must never be taken for a press.
constexpr ULONG_PTR kOwnInput = 0x564C484B;  // "VLHK"

bool Down(int vk) { return GetAsyncKeyState(vk) < 0; }

// The modifier keys, each side apart: the key that stands for it in the system's state,
// the codes its events come with (a program's SendInput may give the side-less code),
// and its MOD_* bit.
struct ModifierKey {
  int vk;
  DWORD codes[2];
  UINT mod;
};
constexpr ModifierKey kModifierKeys[] = {
    {VK_LSHIFT, {VK_LSHIFT, VK_SHIFT}, MOD_SHIFT},     {VK_RSHIFT, {VK_RSHIFT, VK_RSHIFT}, MOD_SHIFT},
    {VK_LCONTROL, {VK_LCONTROL, VK_CONTROL}, MOD_CONTROL}, {VK_RCONTROL, {VK_RCONTROL, VK_RCONTROL}, MOD_CONTROL},
    {VK_LMENU, {VK_LMENU, VK_MENU}, MOD_ALT},          {VK_RMENU, {VK_RMENU, VK_RMENU}, MOD_ALT},
    {VK_LWIN, {VK_LWIN, VK_LWIN}, MOD_WIN},            {VK_RWIN, {VK_RWIN, VK_RWIN}, MOD_WIN},
};
constexpr std::size_t kModifierCount = std::size(kModifierKeys);

// A low-level hook procedure is not told whose hook it is: each hook thread keeps its
// catch in this slot of thread-local storage.
DWORD CatchSlot() {
  static const DWORD slot = TlsAlloc();
  return slot;
}

}  // namespace

struct HotKeyCatch {
  HWND window;
  int id;
  UINT modifiers;
  UINT key;
  UniqueKernelHandle ready;  // set by the thread once the hook is in
  bool pressTaken = false;   // the key is down and its press was ours; hook thread only
  DWORD lastTaken = 0;       // event time of the last event of that press; hook thread only
  // The modifiers as their own events went by this hook, and when; hook thread only.
  // Every key event of the desktop passes here in order, so this is what was held when
  // the key came, even at machine speed. The system's own state (GetAsyncKeyState) is
  // not: it may lag behind the events (Wine answers from a cache of up to 50 ms, and
  // rewrites it when the focus changes, as it does when the launcher hides), and a show
  // key pressed a few milliseconds after the hide read the Windows key as up.
  bool held[kModifierCount] = {};
  DWORD heldSince[kModifierCount] = {};

  // The modifiers down when the hook goes in: their presses came before it.
  void TakeHeldNow() {
    const DWORD now = GetTickCount();
    for (std::size_t i = 0; i < kModifierCount; ++i) {
      held[i] = Down(kModifierKeys[i].vk);
      heldSince[i] = now;
    }
  }

  void Note(const KBDLLHOOKSTRUCT& event) {
    for (std::size_t i = 0; i < kModifierCount; ++i) {
      const ModifierKey& m = kModifierKeys[i];
      if (event.vkCode != m.codes[0] && event.vkCode != m.codes[1]) continue;
      held[i] = !(event.flags & LLKHF_UP);
      heldSince[i] = event.time;
      return;
    }
  }

  // What was held before the event at `time`. A modifier whose release never came by
  // (another hook took it, or the secure desktop) counts as held only while the system
  // agrees, or for as long as a key may be held without repeating.
  UINT HeldModifiers(DWORD time) const {
    UINT mods = 0;
    for (std::size_t i = 0; i < kModifierCount; ++i)
      if (held[i] && (time - heldSince[i] <= kPressOverMs || Down(kModifierKeys[i].vk))) mods |= kModifierKeys[i].mod;
    return mods;
  }

  // Whether the event is ours; swallowed then. Runs for every key of the desktop, which
  // waits for the answer: it allocates nothing, touches no file and sends no message.
  bool Take(const KBDLLHOOKSTRUCT& event) {
    if ((event.flags & LLKHF_INJECTED) && event.dwExtraInfo == kOwnInput) return false;
    if (event.vkCode != key) {
      Note(event);
      return false;
    }
    if (pressTaken && event.time - lastTaken > kPressOverMs) pressTaken = false;
    // The release of a press we took: the program in front never saw the press.
    if (event.flags & LLKHF_UP) return std::exchange(pressTaken, false);
    bool combination = HeldModifiers(event.time) == modifiers;
    // Repeats of a press we took stay ours whatever is held by now, so that no program
    // gets a repeat, or a release, of a key it never saw go down.
    if (!combination && !pressTaken) return false;
    pressTaken = true;
    lastTaken = event.time;
    if (combination) {
      if (modifiers & (MOD_WIN | MOD_ALT)) SendMaskKey();
      // The window procedure raises the event, on its own thread; parameters as the
      // system's WM_HOTKEY has them.
      PostMessageW(window, WM_HOTKEY, static_cast<WPARAM>(id), MAKELPARAM(modifiers, key));
    }
    return true;
  }

  // Windows opens the Start menu when the Windows key goes up with no other key seen since
  // it went down (a window's menu bar takes a lone Alt the same way), and the press we
  // swallow is never seen. A key that means nothing, sent while the swallowed press is
  // still in the hook, comes between: sent from inside the hook it enters the input ahead
  // of whatever follows the press, the modifiers' release included, however quick. Sent
  // now rather than when the Windows key goes up, it needs no state kept until then, and
  // it still holds when the hook goes before the release (a handler that changes the key).
  static void SendMaskKey() {
    INPUT keys[2] = {};
    for (INPUT& in : keys) {
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = kMaskKey;
      in.ki.dwExtraInfo = kOwnInput;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
  }
};

namespace {

LRESULT CALLBACK LowLevelKeyboard(int code, WPARAM wParam, LPARAM lParam) {
  auto* c = static_cast<HotKeyCatch*>(TlsGetValue(CatchSlot()));
  if (code == HC_ACTION && c && c->Take(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)))
    return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The system calls a low-level hook through the message queue of the thread that set it,
// and every key of the desktop waits until it answers. The GUI thread can be busy for a
// while (a launch, a box being built), and a hook that answers late too often is dropped
// by Windows without a word; this thread does nothing but answer.
DWORD WINAPI HookThread(void* param) {
  auto* c = static_cast<HotKeyCatch*>(param);
  if (!TlsSetValue(CatchSlot(), c)) return 1;
  c->TakeHeldNow();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue, before anyone posts to it
  UniqueHook hook(
      SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboard, GetModuleHandleW(nullptr), 0));
  if (!hook) return 1;
  SetEvent(c->ready.get());
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
  }
  return 0;
}

}  // namespace

THotKeyHook::THotKeyHook() = default;

THotKeyHook::THotKeyHook(HWND window, int id, UINT modifiers, UINT key) {
  UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready || CatchSlot() == TLS_OUT_OF_INDEXES) return;
  auto c = std::make_unique<HotKeyCatch>(window, id, modifiers, key, std::move(ready));
  DWORD threadId = 0;
  UniqueKernelHandle thread(CreateThread(nullptr, 0, HookThread, c.get(), 0, &threadId));
  HANDLE both[] = {c->ready.get(), thread.get()};
  // A thread refused the hook ends at once, and that ends the wait.
  if (!thread || WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0) return;
  catch_ = std::move(c);
  thread_ = std::move(thread);
  threadId_ = threadId;
}

THotKeyHook::~THotKeyHook() { Reset(); }

THotKeyHook::THotKeyHook(THotKeyHook&& other) noexcept
    : catch_(std::move(other.catch_)),
      thread_(std::move(other.thread_)),
      threadId_(std::exchange(other.threadId_, 0)) {}

THotKeyHook& THotKeyHook::operator=(THotKeyHook&& other) noexcept {
  if (this != &other) {
    Reset();
    catch_ = std::move(other.catch_);
    thread_ = std::move(other.thread_);
    threadId_ = std::exchange(other.threadId_, 0);
  }
  return *this;
}

void THotKeyHook::Renew() {
  if (!catch_) return;
  THotKeyHook fresh(catch_->window, catch_->id, catch_->modifiers, catch_->key);
  // Refused now, the old hook stays: it may still be in.
  if (fresh) *this = std::move(fresh);
}

void THotKeyHook::Reset() {
  if (!thread_) return;
  // The thread made its queue before it said it was ready: the message cannot be lost.
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  catch_.reset();
}

}  // namespace vl
