// What the launch-button tests need around the real code: drops built in this process
// (as the shell builds them), real shortcut files, message boxes read and closed as the
// user would, and a message pump that waits for something to happen.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gui/platform/com_ptr.h"
#include "gui/platform/handles.h"

namespace vl::test {

// A drop of `paths` as the shell hands it to a window: a DROPFILES block with wide
// paths in movable global memory. The receiver releases it (DragFinish).
inline HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const auto& p : paths) list += p + L'\0';
  list += L'\0';
  std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
  auto* block = static_cast<DROPFILES*>(GlobalLock(memory.get()));
  block->pFiles = sizeof(DROPFILES);
  block->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(memory.get());
  return static_cast<HDROP>(memory.release());
}

inline void SendDrop(HWND window, const std::vector<std::wstring>& paths) {
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

// Whether another program could take the hot-key combination now: false while anyone
// holds it.
inline bool Free(UINT modifiers, UINT vk) {
  if (!RegisterHotKey(nullptr, 0xBFF0, modifiers, vk)) return false;
  UnregisterHotKey(nullptr, 0xBFF0);
  return true;
}

inline LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                    static_cast<WORD>(static_cast<short>(y)));
}

// Runs this thread's messages until `done` or the timeout; returns done().
// Another top-level window of the thread, shown and made the active one, as Alt+Tab or a
// click on another program takes the front; it goes when the returned owner does.
inline UniqueWindow ActivateOtherWindow() {
  UniqueWindow other(
      CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr));
  if (other) SetActiveWindow(other.get());
  return other;
}

inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

struct ShortcutFields {
  std::wstring target{};
  std::wstring workDir{};
  int showCmd = SW_SHOWNORMAL;
  std::wstring arguments{};
  std::wstring description{};
  std::wstring iconFile{};
  int iconIndex = 0;
  WORD hotKey = 0;
};

// Writes a real shortcut file through the shell's link object; false when it cannot.
inline bool MakeShortcut(const std::wstring& file, const ShortcutFields& s) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void())))
    return false;
  link->SetPath(s.target.c_str());
  if (!s.workDir.empty()) link->SetWorkingDirectory(s.workDir.c_str());
  link->SetShowCmd(s.showCmd);
  if (!s.arguments.empty()) link->SetArguments(s.arguments.c_str());
  if (!s.description.empty()) link->SetDescription(s.description.c_str());
  if (!s.iconFile.empty()) link->SetIconLocation(s.iconFile.c_str(), s.iconIndex);
  if (s.hotKey) link->SetHotkey(s.hotKey);
  ComPtr<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void()))) return false;
  return SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

// The first visible dialog box (#32770) of this thread that `accept` takes (any, without
// it); null when there is none: what a timer looks for inside a modal loop.
inline HWND ThreadDialog(HWND (*accept)(HWND) = nullptr) {
  struct Find {
    HWND (*accept)(HWND);
    HWND found;
  } find{accept, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM param) -> BOOL {
        auto& f = *reinterpret_cast<Find*>(param);
        wchar_t cls[16] = L"";
        GetClassNameW(w, cls, 16);
        if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w) || (f.accept && !f.accept(w))) return TRUE;
        f.found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// A message box as the user sees it.
struct SeenBox {
  std::wstring caption;
  std::wstring text;
  bool icon = false;
  HICON iconHandle = nullptr;  // the system's shared icon the box shows (IDI_WARNING...)
  RECT rect{};                 // on the screen
  std::vector<std::wstring> buttons;
  HWND owner = nullptr;  // the window the box belongs to, which the activation goes back to
};

// Watches this thread for message boxes while it lives, records each one and presses
// its first button, or answers it with the command `answer` (IDNO) when one is given;
// boxes are modal, so a thread timer is what runs inside their loop.
class MessageBoxCatcher {
 public:
  explicit MessageBoxCatcher(int answer = 0) : answer_(answer) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 30, &MessageBoxCatcher::Tick);
  }
  ~MessageBoxCatcher() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  const std::vector<SeenBox>& Seen() const { return seen_; }
  // Runs inside the box's own message loop, before the box is answered.
  std::function<void(const SeenBox&)> OnBox;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    EnumThreadWindows(GetCurrentThreadId(), &MessageBoxCatcher::OnWindow, 0);
  }

  static BOOL CALLBACK OnWindow(HWND window, LPARAM) {
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    for (HWND done : current_->closed_)
      if (done == window) return TRUE;
    SeenBox box;
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    box.caption = text;
    box.owner = GetWindow(window, GW_OWNER);
    GetWindowRect(window, &box.rect);
    HWND first = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      GetClassNameW(child, cls, 64);
      std::wstring kind = cls;
      if (!IsWindowVisible(child)) continue;
      if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
          if (HICON shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0))) {
            box.icon = true;
            box.iconHandle = shown;
          }
        } else {
          GetWindowTextW(child, text, 1024);
          if (text[0]) box.text = text;
        }
      } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        GetWindowTextW(child, text, 1024);
        box.buttons.push_back(text);
        if (!first) first = child;
      }
    }
    current_->seen_.push_back(box);
    current_->closed_.push_back(window);
    if (current_->OnBox) current_->OnBox(box);
    if (current_->answer_)
      PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(current_->answer_), 0);
    else if (first)
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(first), BN_CLICKED),
                   reinterpret_cast<LPARAM>(first));
    return TRUE;
  }

  static inline MessageBoxCatcher* current_ = nullptr;
  int answer_;
  UINT_PTR timer_ = 0;
  std::vector<SeenBox> seen_;
  std::vector<HWND> closed_;
};

// The highest GDI handle index that 64 new bitmaps get. Wine numbers GDI handles by
// their entry in one table and reuses freed entries first, so objects that are never
// deleted, even those no owner of ours ever held, push new handles past every entry used
// before. (Wine's GetGuiResources answers 0.)
inline unsigned GdiHighWater() {
  std::vector<UniqueBitmap> probes;
  unsigned high = 0;
  for (int i = 0; i < 64; ++i) {
    probes.emplace_back(CreateBitmap(1, 1, 1, 1, nullptr));
    high = std::max(high,
                    static_cast<unsigned>(LOWORD(reinterpret_cast<UINT_PTR>(probes.back().get()))));
  }
  return high;
}

// The GDI objects and windows our owners hold now.
inline long GdiLive() {
  return UniqueBitmap::Live() + UniqueIcon::Live() + UniqueFont::Live() + UniqueDC::Live() +
         UniqueWindow::Live();
}

// Removes a folder with everything in it at any depth when it goes: the "\\?\" form
// reaches paths past MAX_PATH, which a plain recursive remove leaves behind.
inline void RemoveLongTree(const std::wstring& folder) {
  std::wstring base = folder.starts_with(L"\\\\?\\") ? folder : L"\\\\?\\" + folder;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((base + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = base + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveLongTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(base.c_str());
}

struct LongTreeRemover {
  std::wstring folder;
  ~LongTreeRemover() { RemoveLongTree(folder); }
};

// Keys of the classes root that a test sets (file classes, URL protocols), taken out
// again with the object. The classes root itself: Wine's shell does not look in the user's
// own classes.
class ClassKeys {
 public:
  ClassKeys() = default;
  ~ClassKeys() {
    for (const std::wstring& root : roots_) RegDeleteTreeW(HKEY_CLASSES_ROOT, root.c_str());
  }
  ClassKeys(const ClassKeys&) = delete;
  ClassKeys& operator=(const ClassKeys&) = delete;
  // `value` as the value `name` (the default value when null) of `key`.
  void Set(const std::wstring& key, const std::wstring& value, const wchar_t* name = nullptr) {
    const std::wstring root = key.substr(0, key.find(L'\\'));
    if (std::find(roots_.begin(), roots_.end(), root) == roots_.end()) roots_.push_back(root);
    ready_ = RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
             ready_;
  }
  // Every key was set.
  bool Ready() const { return ready_; }

 private:
  std::vector<std::wstring> roots_;
  bool ready_ = true;
};

// A file class ".vlverb" whose "open" and "runas" verbs start the helper with the verb's
// name and the file, so that the test sees which verb a button asked the shell for.
class VerbClass : public ClassKeys {
 public:
  explicit VerbClass(const std::wstring& helper) {
    Set(L".vlverb", L"vlverbfile");
    for (const wchar_t* verb : {L"open", L"runas"})
      Set(std::wstring(L"vlverbfile\\shell\\") + verb + L"\\command", L"\"" + helper + L"\" " + verb + L" \"%1\"");
  }
};

inline std::filesystem::path TestProgramFolder() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path();
}

}  // namespace vl::test

#include "gui/application.h"
#include "gui/window.h"

namespace vl::test {

// A plain top-level window to hold the buttons under test.
class TestForm : public TWindow {
 public:
  TestForm(int width = 420, int height = 200) {
    WindowParams p;
    p.className = L"VlTestForm";
    p.caption = L"test";
    p.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    p.x = 10;
    p.y = 10;
    p.width = width;
    p.height = height;
    p.parent = TApplication::Instance().OwnerWindow();
    Create(p);
  }
};

}  // namespace vl::test
