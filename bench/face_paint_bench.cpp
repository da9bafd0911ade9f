// face_paint_bench: how long the launch buttons' faces take to paint, in this process and
// without the window manager: a page of 40 x 40 buttons of 16 pixels with short names
// (each face too narrow for its caption) and one of 7 x 1 buttons of 64 pixels with long
// Japanese names shown as text, each face painted into a memory DC (WM_PRINTCLIENT) as a
// repaint paints it. The faces are painted once before the timing, as the screen has
// them after the page is built. Then the faces of 40 x 40 bound buttons built, as a page
// built from the file builds them (the target looked at, the caption, the tooltip).
//
//   face_paint_bench [ROUNDS]   ROUNDS paintings of every face (default 20); prints the
//                               median and the slowest round, in milliseconds
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "buttons/launch_btn.h"
#include "gui/application.h"
#include "gui/font.h"
#include "gui/platform/handles.h"
#include "gui/platform/scoped_select.h"

namespace {

using vl::bench::Now;
using vl::bench::TicksToMs;

struct Page {
  HWND parent = nullptr;
  std::vector<std::unique_ptr<vl::TLaunchBtn>> buttons;
};

Page MakePage(int columns, int rows, int size, vl::TShowType type, const std::vector<std::wstring>& names,
              const vl::SharedFont& font) {
  Page page;
  page.parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, columns * size, rows * size, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < columns * rows; ++i) {
    auto b = std::make_unique<vl::TLaunchBtn>(
        vl::BitBtnParams{page.parent, i % columns * size, i / columns * size, size, size, L""});
    b->SetFont(font);
    b->SetBtnName(names[static_cast<std::size_t>(i) % names.size()]);
    b->SetShowType(type);
    page.buttons.push_back(std::move(b));
  }
  return page;
}

double PaintAll(const Page& page, HDC dc) {
  const std::int64_t start = Now();
  for (const auto& b : page.buttons)
    SendMessageW(b->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  return TicksToMs(Now() - start);
}

void Report(const char* label, const Page& page, int rounds) {
  vl::UniqueDC dc(CreateCompatibleDC(nullptr));
  HDC screen = GetDC(nullptr);
  vl::UniqueBitmap target(CreateCompatibleBitmap(screen, 128, 128));
  ReleaseDC(nullptr, screen);
  vl::ScopedSelect select(dc.get(), target.get());
  PaintAll(page, dc.get());  // the first painting, after the build
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) times.push_back(PaintAll(page, dc.get()));
  double slowest = 0;
  for (double t : times) slowest = t > slowest ? t : slowest;
  std::printf("%-44s median %8.2f ms   slowest %8.2f ms\n", label, vl::bench::Median(times), slowest);
}

}  // namespace

// Builds the faces of `page`'s buttons bound to a file that is there; the milliseconds.
double BindAndBuild(const Page& page, const std::wstring& target) {
  const std::int64_t start = Now();
  for (const auto& b : page.buttons) {
    b->SetFullPath(target);
    b->SetRegist(true);
    b->SetShowType(vl::st_TextOnly);
  }
  return TicksToMs(Now() - start);
}

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 20;
  vl::TApplication app(L"RavariVudovi");
  const vl::SharedFont font = vl::MakeSharedFont(vl::FontDesc{L"ＭＳ Ｐゴシック", 9}, 96);
  std::vector<std::wstring> tools;
  for (int i = 0; i < 100; ++i) tools.push_back(L"ツール" + std::to_wstring(i));
  const Page grid = MakePage(40, 40, 16, vl::st_TextOnly, tools, font);
  const Page names = MakePage(7, 1, 64, vl::st_TextOnly,
                              {L"写真アルバム", L"ドキュメントフォルダー", L"「メモ」帳", L"ダウンロード済みファイル",
                               L"ABC-DEF-GHIJ", L"電卓計算", L"電卓"},
                              font);
  std::printf("%d rounds of painting every face\n", rounds);
  Report("40 x 40 faces of 16 px, short names", grid, rounds);
  Report("7 faces of 64 px, long names as text", names, rounds * 20);
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<double> builds;
  for (int r = 0; r < 5; ++r) {
    const Page bound = MakePage(40, 40, 16, vl::st_TextOnly, tools, font);
    builds.push_back(BindAndBuild(bound, self));
    DestroyWindow(bound.parent);
  }
  std::printf("%-44s median %8.2f ms\n", "40 x 40 bound faces built, 5 pages", vl::bench::Median(builds));
  DestroyWindow(grid.parent);
  DestroyWindow(names.parent);
  return 0;
}
