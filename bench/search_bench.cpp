// search_bench: how long a key press of "type to find" takes, from the key to the focused
// hit painted, on 40 pages of 40 x 40 named buttons of which only the first is built (as
// pages nobody has looked at stay), against one repaint of that page in the same run.
//
//   search_bench [PRESSES]   PRESSES key presses (default 100); prints the median and the
//                            slowest, in milliseconds, of the repaint; of the search's own
//                            parts (every page's texts read and folded after the file
//                            changed, the same as kept, one character scanned); of the
//                            presses to the hit focused and its marks painted, of the
//                            first press of each search among them, and of first presses
//                            just after the file changed; the slowest and the median press
//                            over one repaint; then of a search whose hit is on a page not
//                            built yet, which builds that page on the way, against another
//                            page not built yet shown by its tab
//
// A press is a character posted to the launcher and handled through the program's message
// filters, then every window it made invalid painted. The searches type "ツール" and up to
// four digits: every button holds "ツール", so the first presses mark every button of the
// page on display (and repaint all of them), having looked at all 64,000.
// The search alone is also timed typed in romaji ("tsu-ru") against the same name typed in
// kana, each key over every button, the two in turns.
// Runs in the executable's folder on its own settings file, which it removes at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "bench/bench_support.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"

namespace {

using vl::bench::Now;
using vl::bench::TicksToMs;

constexpr int kPages = 40;
constexpr int kSide = 40;
constexpr int kBtnSize = 16;
constexpr wchar_t kFarName[] = L"遠くのボタン";  // only on the last page

void Print(const char* label, const std::vector<double>& ms) {
  std::printf("%-52s median %8.2f ms   slowest %8.2f ms   (%zu)\n", label, vl::bench::Median(ms),
              vl::bench::Quantile(ms, 1.0), ms.size());
  std::fflush(stdout);
}

// The launcher's message loop for what is waiting, then every invalid window painted.
void Settle(HWND main) {
  vl::TApplication::Instance().ProcessMessages();
  RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  vl::TApplication::Instance().ProcessMessages();
}

// One press, to every window it made invalid painted (the message loop paints as it goes).
double Press(HWND main, UINT msg, WPARAM key) {
  const auto start = Now();
  PostMessageW(GetFocus() ? GetFocus() : main, msg, key, 1);
  Settle(main);
  return TicksToMs(Now() - start);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int presses = argc > 1 ? std::max(1, _wtoi(argv[1])) : 100;
  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  const auto file = vl::SettingsFilePath();
  vl::bench::WriteSettings(file, kPages, kSide * kSide, 0, kSide, kBtnSize);
  {
    vl::TIniFile ini(file);
    ini.WriteString(L"Page" + std::to_wstring(kPages), L"BtnName5", kFarName);
  }
  auto form = std::make_unique<vl::TfrmMain>();
  const HWND main = form->Handle();
  Settle(main);
  std::printf("%d pages of %d x %d named buttons, %d built; %d presses\n", kPages, kSide, kSide,
              static_cast<int>(std::count_if(form->PageList().begin(), form->PageList().end(),
                                             [](const auto& p) { return p->Built(); })),
              presses);

  // Taken before every search too: this machine's speed drifts within a run, and the
  // presses are compared with the repaints of their own moments.
  std::vector<double> repaint;
  auto measureRepaint = [&] {
    const auto start = Now();
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    repaint.push_back(TicksToMs(Now() - start));
  };
  for (int i = 0; i < 5; ++i) measureRepaint();

  // The search's own parts, without the window: every page's texts taken as a first key
  // takes them, once after the file changed (each page read and folded) and once more
  // (as kept), then one character scanned over every button.
  vl::TIniFile ini(file);
  auto touch = [&ini, n = 0]() mutable { ini.WriteInteger(L"Bench", L"Touch", ++n); };
  auto take = [&form] {
    std::vector<std::shared_ptr<const vl::FoldedPage>> pages;
    for (const auto& page : form->PageList()) pages.push_back(page->SearchTexts());
    return pages;
  };
  std::vector<double> read, kept, scan;
  for (int i = 0; i < 5; ++i) {
    touch();
    auto start = Now();
    take();
    read.push_back(TicksToMs(Now() - start));
    start = Now();
    vl::ButtonSearch search;
    search.Begin(take());
    kept.push_back(TicksToMs(Now() - start));
    for (wchar_t c : std::wstring(L"ツール1234")) {
      start = Now();
      search.Type(c);
      scan.push_back(TicksToMs(Now() - start));
    }
  }

  // The same hits (every button but the far one) found typed in romaji ("tsu-ru", read as kana) and typed in kana
  // ("ツール", matched as typed): every key of each, taken in turns.
  auto typeAll = [&take](std::wstring_view text, std::vector<double>& perKey) {
    vl::ButtonSearch search;
    search.Begin(take());
    for (wchar_t c : text) {
      const auto start = Now();
      search.Type(c);
      perKey.push_back(TicksToMs(Now() - start));
    }
    return search.Hits().size();
  };
  std::vector<double> romaji, kana;
  for (int i = 0; i < 10; ++i) {
    const std::size_t byRomaji = typeAll(L"tsu-ru", romaji), byKana = typeAll(L"ツール", kana);
    if (byRomaji != byKana || byKana + 1 != static_cast<std::size_t>(kPages * kSide * kSide)) {  // all but the far one
      std::fprintf(stderr, "tsu-ru found %zu buttons and ツール %zu\n", byRomaji, byKana);
      return 1;
    }
  }

  std::vector<double> painted, first;
  const std::wstring prefix = L"ツール";
  for (int n = 0, search = 0; n < presses; ++search) {
    // "ツール" and the digits of a button number, 1 to 1600, different each search.
    const std::wstring text = prefix + std::to_wstring(search * 397 % (kSide * kSide) + 1);
    measureRepaint();
    for (std::size_t k = 0; k < text.size() && n < presses; ++k, ++n) {
      const double t = Press(main, WM_CHAR, text[k]);
      painted.push_back(t);
      if (k == 0) first.push_back(t);
    }
    if (!form->Search().Active() || form->Search().Hits().empty()) {
      std::fprintf(stderr, "the search for a name every page holds found nothing\n");
      return 1;
    }
    Press(main, WM_KEYDOWN, VK_ESCAPE);
  }
  // A search's first key just after the file changed: every page read again.
  std::vector<double> afterChange;
  for (int i = 0; i < 5; ++i) {
    measureRepaint();
    touch();
    afterChange.push_back(Press(main, WM_CHAR, L'ツ'));
    for (wchar_t c : std::wstring(L"ール1599")) Press(main, WM_CHAR, c);  // as the searches above end
    Press(main, WM_KEYDOWN, VK_ESCAPE);
  }
  Print("one repaint of the page on display", repaint);
  Print("search alone: every page's texts read and folded", read);
  Print("search alone: every page's texts as kept", kept);
  Print("search alone: one character over 64,000 buttons", scan);
  Print("search alone: a key of \"tsu-ru\" (romaji), 63,999 hits", romaji);
  Print("search alone: a key of \"ツール\" (kana), 63,999 hits", kana);
  std::printf("romaji key / kana key: median %.2f\n", vl::bench::Median(romaji) / vl::bench::Median(kana));
  Print("key press to the hit and its marks painted", painted);
  Print("  the first of each search (marks every button)", first);
  Print("  a first press just after the file changed", afterChange);
  const double frame = vl::bench::Median(repaint);
  std::printf("slowest press / one repaint: %.2f   median press / one repaint: %.2f\n",
              vl::bench::Quantile(painted, 1.0) / frame, vl::bench::Median(painted) / frame);

  std::vector<double> distant;
  for (wchar_t c : std::wstring(kFarName)) distant.push_back(Press(main, WM_CHAR, c));
  Press(main, WM_KEYDOWN, VK_ESCAPE);
  // Another page never built, shown as a click on its tab shows it: what the far hit's
  // first press cannot be below.
  auto start = Now();
  form->Base().SetActivePageIndex(kPages / 2);
  form->BaseChange();
  Settle(main);
  const double byTab = TicksToMs(Now() - start);
  Print("to a hit on a page not built yet, painted: first press", {distant.front()});
  Print("  the presses after it", std::vector<double>(distant.begin() + 1, distant.end()));
  Print("another page not built yet shown by its tab", {byTab});
  std::printf("first press to the far hit / that page shown by its tab: %.2f\n", distant.front() / byTab);
  form.reset();
  std::filesystem::remove(file);
  return 0;
}
