// hotkey_latency_bench: how long the launcher's main window takes to appear after another
// program presses Windows+Space, and to go after Esc, against a bare window that
// registers the same two keys with RegisterHotKey and calls ShowWindow on WM_HOTKEY.
//
//   hotkey_latency_bench [PRESSES [PAUSE_MS [held]]]
//       PRESSES of each key on each window and page (default 50); PAUSE_MS between a
//       window's answer and the next press (default 40). A pause of 0 presses at machine
//       speed: the show key comes within a few milliseconds of the hide. "held": the bench
//       holds Windows+Space itself, as Windows 8 and later hold it, so the launcher takes
//       it with its keyboard hook; the bare window, which cannot have it, is left out.
//
// The launcher is the real TfrmMain in this process, on a settings file beside the bench
// of two pages of bound buttons: one of 5 and one of 40 x 40 (mouse watch at its default),
// each called up on its own turns in the same run, so that the page's size is the only
// difference between their figures. key_presser.exe, beside the
// bench, stamps the performance counter just before SendInput; the window's
// WM_WINDOWPOSCHANGED that shows or hides it stamps the other end. Only one window can
// hold the keys at a time, so the two take turns of five presses, each withdrawing its
// keys while the other has them. The launcher's Esc is a key of its own window (it leaves
// Esc to other programs), taken by its message loop's filter while it has the focus; the
// bare window's Esc is a hot key.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "bench/bench_support.h"
#include "bench/key_presser.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "gui/platform/handles.h"
#include "gui/platform/ole_scope.h"
#include "gui/window_subclass.h"

namespace {

using vl::bench::Now;
using vl::bench::TicksToMs;

constexpr int kTurn = 5;             // presses on one window before the other takes the keys
DWORD g_settleMs = 40;               // between presses: the keys are up, the window at rest
constexpr double kTimeoutMs = 3000;  // a press with no answer by then counts as missed
constexpr int kShowId = 1, kHideId = 2, kHeldId = 3;
constexpr int kSide = 40;            // the large page: 40 x 40 bound buttons

// When a window was last shown and hidden, by the counter.
struct Stamps {
  std::int64_t shown = 0, hidden = 0;
};

vl::TWindowSubclass StampShowAndHide(HWND hwnd, Stamps& stamps) {
  return vl::TWindowSubclass(hwnd, [hwnd, &stamps](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_WINDOWPOSCHANGED) {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (pos->flags & SWP_SHOWWINDOW) stamps.shown = Now();
      if (pos->flags & SWP_HIDEWINDOW) stamps.hidden = Now();
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  });
}

// The bare window: the two keys and ShowWindow, nothing more.
class THotKeyWindow : public vl::bench::TBareWindow {
 public:
  using TBareWindow::TBareWindow;
  ~THotKeyWindow() override { Withdraw(); }

  bool Register() {
    return RegisterHotKey(Handle(), kShowId, MOD_WIN, VK_SPACE) && RegisterHotKey(Handle(), kHideId, 0, VK_ESCAPE);
  }
  void Withdraw() {
    UnregisterHotKey(Handle(), kShowId);
    UnregisterHotKey(Handle(), kHideId);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_HOTKEY) {
      ShowWindow(Handle(), wParam == kShowId ? SW_SHOW : SW_HIDE);
      return 0;
    }
    return TBareWindow::HandleMessage(msg, wParam, lParam);
  }
};

// key_presser.exe and the channel to it; tells it to quit when it goes.
class Presser {
 public:
  Presser()
      : name_(L"Local\\vl-hotkey-bench-" + std::to_wstring(GetCurrentProcessId())),
        mapping_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(vl::bench::PresserBlock),
                                    name_.c_str())),
        go_(CreateEventW(nullptr, FALSE, FALSE, vl::bench::PresserGoEvent(name_).c_str())),
        sent_(CreateEventW(nullptr, FALSE, FALSE, vl::bench::PresserSentEvent(name_).c_str())),
        block_(mapping_.get()) {
    if (!block_.get() || !go_ || !sent_) return;
    std::wstring exe = vl::ProgramFolder() + L"\\key_presser.exe";
    std::wstring command = L"\"" + exe + L"\" " + name_;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    process_.reset(pi.hProcess);
    vl::UniqueKernelHandle thread(pi.hThread);
  }
  ~Presser() {
    if (!process_) return;
    block_->quit = 1;
    SetEvent(go_.get());
    WaitForSingleObject(process_.get(), 5000);
  }

  bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

  // Presses `keys` and waits, handling this thread's messages, until `stamp` changes;
  // returns the milliseconds from the press to the stamp, or nothing when none came.
  std::optional<double> Press(std::initializer_list<WORD> keys, const std::int64_t& stamp) {
    const std::int64_t before = stamp;
    block_->keyCount = static_cast<LONG>(keys.size());
    std::copy(keys.begin(), keys.end(), block_->keys);
    block_->sentQpc = 0;
    SetEvent(go_.get());
    const std::int64_t start = Now();
    while (stamp == before && TicksToMs(Now() - start) < kTimeoutMs) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      vl::TApplication::Instance().ProcessMessages();  // the launcher's loop, with its filters
    }
    // The keys are released before the next press starts.
    bool released = WaitForSingleObject(sent_.get(), 3000) == WAIT_OBJECT_0;
    if (stamp == before || !released || block_->sentQpc == 0) return std::nullopt;
    return TicksToMs(stamp - block_->sentQpc);
  }

 private:
  std::wstring name_;
  vl::UniqueKernelHandle mapping_, go_, sent_, process_;
  vl::bench::PresserView block_;
};

void Settle() {
  const std::int64_t start = Now();
  while (TicksToMs(Now() - start) < g_settleMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    vl::TApplication::Instance().ProcessMessages();  // the launcher's loop, with its filters
  }
}

struct Latencies {
  std::vector<double> show, hide;
  int missedShow = 0, missedHide = 0;
};

void PressTurn(Presser& presser, const Stamps& stamps, HWND window, Latencies& out) {
  for (int i = 0; i < kTurn; ++i) {
    if (auto ms = presser.Press({VK_LWIN, VK_SPACE}, stamps.shown); ms && IsWindowVisible(window)) {
      out.show.push_back(*ms);
    } else {
      ++out.missedShow;
    }
    Settle();
    if (auto ms = presser.Press({VK_ESCAPE}, stamps.hidden); ms && !IsWindowVisible(window)) {
      out.hide.push_back(*ms);
    } else {
      ++out.missedHide;
      ShowWindow(window, SW_HIDE);  // the next press starts from a hidden window all the same
    }
    Settle();
  }
}

bool KeysAreFree() {
  bool show = RegisterHotKey(nullptr, kShowId, MOD_WIN, VK_SPACE);
  bool hide = RegisterHotKey(nullptr, kHideId, 0, VK_ESCAPE);
  UnregisterHotKey(nullptr, kShowId);
  UnregisterHotKey(nullptr, kHideId);
  return show && hide;
}

void PrintRow(const char* label, const Latencies& l) {
  std::printf("%-26s %12.2f %10.2f %12.2f %10.2f %8d\n", label, vl::bench::Median(l.show),
              vl::bench::Quantile(l.show, 0.9), vl::bench::Median(l.hide), vl::bench::Quantile(l.hide, 0.9),
              l.missedShow + l.missedHide);
  if (l.missedShow + l.missedHide) std::printf("%-26s %d show, %d hide\n", "  of which", l.missedShow, l.missedHide);
}

void PrintRatio(const char* label, const Latencies& a, const Latencies& b) {
  std::printf("%-26s %12.2f %10.2f %12.2f %10.2f\n", label, vl::bench::Median(a.show) / vl::bench::Median(b.show),
              vl::bench::Quantile(a.show, 0.9) / vl::bench::Quantile(b.show, 0.9),
              vl::bench::Median(a.hide) / vl::bench::Median(b.hide),
              vl::bench::Quantile(a.hide, 0.9) / vl::bench::Quantile(b.hide, 0.9));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int presses = argc >= 2 ? std::wcstol(argv[1], nullptr, 10) : 50;
  const long pause = argc >= 3 ? std::wcstol(argv[2], nullptr, 10) : 40;
  const bool held = argc >= 4 && std::wcscmp(argv[3], L"held") == 0;
  if (presses < 1 || pause < 0 || (argc >= 4 && !held)) {
    std::fprintf(stderr, "usage: hotkey_latency_bench [PRESSES [PAUSE_MS [held]]]\n");
    return 2;
  }
  g_settleMs = static_cast<DWORD>(pause);
  // The launcher shows its error box and waits for a user when a key is taken.
  if (!KeysAreFree()) {
    std::fprintf(stderr, "hotkey_latency_bench: Windows+Space or Esc is held by another program\n");
    return 1;
  }
  // Held here, as Windows holds it for itself: the launcher takes it from the keyboard.
  if (held && !RegisterHotKey(nullptr, kHeldId, MOD_WIN, VK_SPACE)) return 1;
  // Two pages of 40 x 40 bound buttons, the first then cut to one row of 5.
  const std::filesystem::path file = vl::SettingsFilePath();
  vl::bench::WriteSettings(file, 2, kSide * kSide, -1, kSide, 16);
  {
    vl::TIniFile ini(file);
    ini.Update([&] {
      ini.WriteInteger(L"Page1", L"Yoko", 5);
      ini.WriteInteger(L"Page1", L"Tate", 1);
      ini.WriteInteger(L"Page1", L"BtnW", 64);
      ini.WriteInteger(L"Page1", L"BtnH", 64);
    });
  }

  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  auto main = std::make_unique<vl::TfrmMain>();
  HWND owner = app.OwnerWindow();
  SetWindowLongPtrW(owner, GWL_EXSTYLE, GetWindowLongPtrW(owner, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  main->Hide1Click();
  THotKeyWindow bare(owner);

  Stamps mainStamps, bareStamps;
  vl::TWindowSubclass mainHook = StampShowAndHide(main->Handle(), mainStamps);
  vl::TWindowSubclass bareHook = StampShowAndHide(bare.Handle(), bareStamps);
  Presser presser;
  if (!presser.Running()) {
    std::fprintf(stderr, "hotkey_latency_bench: key_presser.exe did not start\n");
    return 1;
  }
  Settle();

  // The launcher on the page of 5, then on the page of 40 x 40, then the bare window.
  auto onPage = [&](int index) {
    main->Base().SetActivePageIndex(index);
    main->BaseChange();
  };
  onPage(1);  // built once before the turns, as a page the user has looked at before
  onPage(0);
  Latencies launcher, large, baseline;
  for (int done = 0; done < presses; done += kTurn) {
    onPage(0);
    PressTurn(presser, mainStamps, main->Handle(), launcher);
    onPage(1);
    PressTurn(presser, mainStamps, main->Handle(), large);
    if (held) continue;  // the bare window could not have the key
    main->WaitHotKey().UnregisterKey();
    main->WaitHotKey1().UnregisterKey();
    if (!bare.Register()) {
      std::fprintf(stderr, "hotkey_latency_bench: the bare window could not take the keys\n");
      return 1;
    }
    PressTurn(presser, bareStamps, bare.Handle(), baseline);
    bare.Withdraw();
    main->SetShowHotKey(main->WaitHotKey().HotKey());
    main->SetHideHotKey(main->WaitHotKey1().HotKey());  // Esc: a key of the launcher's window
  }

  std::printf("hot key pressed by another process to the window shown (Windows+Space) and hidden (Esc)\n");
  std::printf("%zu + %zu + %zu presses, turns of %d, %lu ms between, ms\n", launcher.show.size(), large.show.size(),
              baseline.show.size(), kTurn, g_settleMs);
  std::printf("%-26s %12s %10s %12s %10s %8s\n", "", "show median", "show p90", "hide median", "hide p90", "missed");
  PrintRow("bare window", baseline);
  PrintRow("launcher, 5 buttons", launcher);
  PrintRow("launcher, 40 x 40 buttons", large);
  PrintRatio("5 buttons / bare", launcher, baseline);
  PrintRatio("40 x 40 / 5 buttons", large, launcher);
  return 0;
}
