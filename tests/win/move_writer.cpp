// The mover that the kill test of moves starts: the real main window on the settings file
// beside it (see move_kill.h), moving one button by the mouse messages a user's drag
// sends: onto the tab of the other page while that page is not built, then onto another
// button of the page it landed on.
//
//   move_writer --die-at N  ends itself with exit code 9 just before the Nth step of the
//                           file layer from its first drag on; 0 when the moves ended first
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/frm_main.h"
#include "core/file_io.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "tests/win/move_kill.h"

namespace {

int g_dieAt = 0;
int g_steps = 0;

bool DieAtStep(vl::FileStep) {
  if (g_dieAt && ++g_steps == g_dieAt) TerminateProcess(GetCurrentProcess(), 9);
  return true;
}

POINT CenterOf(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The press, the move and the release a drag of the mouse gives the button.
void Drag(HWND button, POINT to) {
  RECT r;
  GetWindowRect(button, &r);
  POINT from = CenterOf(r);
  auto param = [](HWND hwnd, POINT screen) {
    ScreenToClient(hwnd, &screen);
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(screen.x)), static_cast<WORD>(static_cast<short>(screen.y)));
  };
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, param(button, from));
  SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, param(button, to));
  SendMessageW(button, WM_LBUTTONUP, 0, param(button, to));
}

POINT TabCenter(vl::TfrmMain& form, int tab) {
  RECT r{};
  SendMessageW(form.Base().Handle(), TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(form.Base().Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return CenterOf(r);
}

// The moving button: the one page 1 starts with first.
vl::TLaunchBtn* Moving(vl::TPage& page) {
  const std::wstring target = vl::Utf8ToWide(vl::test::MoveTarget(1, 1));
  for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
    if (page.Button(i)->FullPath() == target) return page.Button(i);
  return nullptr;
}

void Show(vl::TfrmMain& form, int tab) {
  form.Base().SetActivePageIndex(tab);
  form.BaseChange();
}

// The button over to the other page's tab (that page released, so that the move goes to
// its section), then onto its neighbour there; false when it is not where it should be.
bool MoveRound(vl::TfrmMain& form, int from) {
  const int to = 1 - from;
  Show(form, from);
  form.PageList()[static_cast<std::size_t>(to)]->Release();
  vl::TLaunchBtn* button = Moving(*form.PageList()[static_cast<std::size_t>(from)]);
  if (!button) return false;
  Drag(button->Handle(), TabCenter(form, to));
  Show(form, to);
  vl::TPage& there = *form.PageList()[static_cast<std::size_t>(to)];
  button = Moving(there);
  if (!button) return false;
  const std::int32_t next = button->BtnIndex() % there.BtnCount() + 1;
  RECT r;
  GetWindowRect(there.Button(next)->Handle(), &r);
  Drag(button->Handle(), CenterOf(r));
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 || std::wcscmp(argv[1], L"--die-at") != 0) return 2;
  g_dieAt = std::wcstol(argv[2], nullptr, 10);
  vl::TOleScope ole;
  vl::TApplication app{L"RavariVudovi"};
  vl::TfrmMain form;
  vl::fileStepHook = &DieAtStep;
  return MoveRound(form, 0) ? 0 : 1;
}
