// page_rebuild_bench: how long the page properties dialog's OK takes to rebuild a page of
// 40 x 40 buttons, against making and destroying as many plain push buttons on a bare
// window in the same run.
//
//   page_rebuild_bench [RUNS]   RUNS rebuilds of each kind (default 5); prints the median
//                               and the slowest, in milliseconds
//
// Kinds: the dialog's OK with a new name (the file written, the page rebuilt, its tab
// renamed, the main window hidden and shown again) with every button bound to a program,
// so that each loads its icon, and with every button empty; the page's rebuild alone
// (LoadHeader, BuildButtons, ApplyFonts, ApplyShowType) on the bound page, with the part
// LoadHeader takes; and the bare baseline. Each ends when the window and all its buttons are painted and no message is
// left waiting. Runs in the executable's folder on its own settings file, which it
// removes at the end.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "bench/bench_support.h"
#include "dialogs/frm_page_option.h"
#include "gui/application.h"
#include "gui/platform/handles.h"
#include "gui/platform/ole_scope.h"

namespace {

using vl::bench::Now;
using vl::bench::TicksToMs;

constexpr int kSide = 40;     // columns and rows
constexpr int kBtnSize = 16;  // pixels: 640 x 659 fits the screen

void Painted(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  vl::bench::PumpMessages();
}

// The settings file of one page of kSide x kSide buttons, bound or empty.
void WriteGrid(bool bound) {
  const auto file = vl::SettingsFilePath();
  vl::bench::WriteSettings(file, 1, bound ? kSide * kSide : 0);
  vl::TIniFile ini(file);
  ini.Update([&] {
    ini.WriteInteger(L"Page1", L"Yoko", kSide);
    ini.WriteInteger(L"Page1", L"Tate", kSide);
    ini.WriteInteger(L"Page1", L"BtnW", kBtnSize);
    ini.WriteInteger(L"Page1", L"BtnH", kBtnSize);
  });
}

struct Figures {
  double median, slowest;
};

Figures Measure(int runs, const std::function<void(int)>& once) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Now();
    once(i);
    ms.push_back(TicksToMs(Now() - start));
  }
  return {vl::bench::Median(ms), vl::bench::Quantile(ms, 1.0)};
}

void Print(const char* label, const Figures& f) {
  std::printf("%-44s median %8.1f ms   slowest %8.1f ms\n", label, f.median, f.slowest);
  std::fflush(stdout);
}

Figures ThroughOk(int runs, bool bound) {
  WriteGrid(bound);
  auto main = std::make_unique<vl::TfrmMain>();
  auto dialog = std::make_unique<vl::TfrmPageOption>(*main);
  main->SetDialogs(nullptr, dialog.get(), nullptr);
  Painted(main->Handle());
  Figures f = Measure(runs, [&](int i) {
    main->N5Click();
    dialog->lbeName.SetText(L"ページ" + std::to_wstring(i));
    dialog->Button2Click();
    Painted(main->Handle());
  });
  main->SetDialogs(nullptr, nullptr, nullptr);
  dialog.reset();
  main.reset();
  return f;
}

// The rebuild alone; `discard` gets the part of it that LoadHeader takes.
Figures RebuildAlone(int runs, std::vector<double>& discard) {
  WriteGrid(true);
  auto main = std::make_unique<vl::TfrmMain>();
  Painted(main->Handle());
  vl::TPage& page = *main->PageList().front();
  Figures f = Measure(runs, [&](int) {
    const auto start = Now();
    page.LoadHeader();
    discard.push_back(TicksToMs(Now() - start));
    page.BuildButtons();
    page.ApplyFonts();
    page.ApplyShowType(L"1");
    Painted(main->Handle());
  });
  main.reset();
  return f;
}

Figures Bare(int runs) {
  vl::bench::TBareWindow bare(vl::TApplication::Instance().OwnerWindow());
  SetWindowPos(bare.Handle(), nullptr, 300, 50, kSide * kBtnSize + 6, kSide * kBtnSize + 44,
               SWP_NOZORDER | SWP_SHOWWINDOW);
  std::vector<vl::UniqueWindow> buttons;
  Figures f = Measure(runs, [&](int) {
    buttons.clear();
    for (int i = 0; i < kSide * kSide; ++i)
      buttons.emplace_back(CreateWindowExW(0, L"BUTTON", L"ツール", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                           i % kSide * kBtnSize, i / kSide * kBtnSize, kBtnSize, kBtnSize,
                                           bare.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
    Painted(bare.Handle());
  });
  buttons.clear();
  return f;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  std::printf("a page of %d x %d buttons of %d px, %d runs each\n", kSide, kSide, kBtnSize, runs);
  Print("bare: 1600 push buttons made and painted", Bare(runs));
  std::vector<double> discard;
  Print("page rebuild alone, bound buttons", RebuildAlone(runs, discard));
  Print("  of which LoadHeader", {vl::bench::Median(discard), vl::bench::Quantile(discard, 1.0)});
  Print("dialog OK, bound buttons", ThroughOk(runs, true));
  Print("dialog OK, empty buttons", ThroughOk(runs, false));
  std::filesystem::remove(vl::SettingsFilePath());
  return 0;
}
