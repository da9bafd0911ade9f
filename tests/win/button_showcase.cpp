// A window with four launch buttons, for looking at: one bound per display type (glyph
// and caption, caption only, glyph only) and one empty. The bindings are made by real
// drops. Usage: button_showcase.exe SECONDS (the window closes by itself after that).
#include <windows.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "buttons/launch_btn.h"
#include "buttons/shell_helpers.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "tests/win/button_test_support.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  int seconds = args && *args ? _wtoi(args) : 10;
  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  vl::test::TestForm form(4 * 96 + 24, 130);
  SetWindowTextW(form.Handle(), L"    -Vantri Launch-");
  vl::FontDesc font = vl::DefaultUiFont();
  std::wstring windows(MAX_PATH, L'\0');
  windows.resize(GetWindowsDirectoryW(windows.data(), MAX_PATH));
  // A name in Japanese with letters outside code page 932, to see that captions keep them.
  std::wstring temp(MAX_PATH, L'\0');
  temp.resize(GetTempPathW(MAX_PATH, temp.data()));
  std::wstring memo = temp + L"メモ café.txt";
  vl::UniqueKernelHandle file(
      CreateFileW(memo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  file.reset();
  const struct {
    vl::TShowType type;
    std::wstring drop;
  } slots[] = {{vl::st_Both, windows + L"\\notepad.exe"},
               {vl::st_TextOnly, memo},
               {vl::st_IconOnly, windows + L"\\system32"},
               {vl::st_Both, L""}};
  std::vector<std::unique_ptr<vl::TLaunchBtn>> buttons;
  int x = 4;
  for (const auto& s : slots) {
    auto b = std::make_unique<vl::TLaunchBtn>(vl::BitBtnParams{form.Handle(), x, 4, 92, 80, L""});
    b->SetFont(font);
    b->SetShowType(s.type);
    if (!s.drop.empty()) vl::test::SendDrop(b->Handle(), {s.drop});
    buttons.push_back(std::move(b));
    x += 96;
  }
  SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000,
           [](HWND, UINT, UINT_PTR, DWORD) { vl::TApplication::Instance().Terminate(); });
  return app.Run();
}
