// tray_host: a stand-in for the launcher that hosts one tray icon and logs what reaches it,
// for the end-to-end scenario that clicks the real notification-area icon.
//
//   tray_host LOG_FILE              shows a form and a plain magenta icon (easy to find on
//                                   a screenshot) with the launcher's menu and options,
//                                   and writes "<ms> <event>" lines to LOG_FILE
//   tray_host forget HWND ID        makes the shell drop that icon, as a lost taskbar does
//   tray_host taskbar-created       broadcasts "TaskbarCreated", as a new taskbar does
//   tray_host minimise              sends the host's form the system's minimise command
//
// Exit code 0 on success, 2 on a usage error.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>

#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/popup_menu.h"
#include "gui/window.h"
#include "showhide/cool_tray_icon.h"

namespace {

std::FILE* g_log = nullptr;

double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Log(const std::wstring& event) {
  static const double start = NowMs();
  std::fprintf(g_log, "%.1f %s\n", NowMs() - start, vl::WideToUtf8(event).c_str());
  std::fflush(g_log);
}

vl::UniqueIcon MagentaIcon() {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  std::unique_ptr<DWORD[]> pixels(new DWORD[cx * cy]);
  for (int i = 0; i < cx * cy; ++i) pixels[i] = 0xFFFF00FF;
  vl::UniqueBitmap color(CreateBitmap(cx, cy, 1, 32, pixels.get()));
  std::unique_ptr<BYTE[]> maskBits(new BYTE[((cx + 15) / 16) * 2 * cy]());
  vl::UniqueBitmap mask(CreateBitmap(cx, cy, 1, 1, maskBits.get()));
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = color.get();
  return vl::UniqueIcon(CreateIconIndirect(&info));
}

class THostForm : public vl::TWindow {
 public:
  explicit THostForm(HWND owner) {
    vl::WindowParams p;
    p.className = L"VlTrayHostForm";
    p.caption = L"tray host";
    p.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    p.exStyle = WS_EX_TOOLWINDOW;
    p.x = 300;
    p.y = 300;
    p.width = 340;
    p.height = 110;
    p.parent = owner;
    Create(p);
  }
  std::function<void()> OnMinimize;

 protected:
  // As the launcher's main window does: minimising it minimises the application.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
      vl::TApplication::Instance().Minimize();
      if (OnMinimize) OnMinimize();
      return 0;
    }
    return TWindow::HandleMessage(msg, wParam, lParam);
  }
};

const wchar_t* ButtonName(vl::TMouseButton button) {
  switch (button) {
    case vl::TMouseButton::mbLeft: return L"left";
    case vl::TMouseButton::mbRight: return L"right";
    default: return L"middle";
  }
}

int Host(const wchar_t* logPath) {
  g_log = _wfopen(logPath, L"wb");  // plain \n line ends, for the script
  if (!g_log) return 1;
  vl::TApplication app(L"RavariVudovi");
  // As the launcher does at start: no taskbar button for the owner window.
  ShowWindow(app.OwnerWindow(), SW_HIDE);
  SetWindowLongPtrW(app.OwnerWindow(), GWL_EXSTYLE,
                    GetWindowLongPtrW(app.OwnerWindow(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  THostForm form(app.OwnerWindow());
  app.SetMainForm(form.Handle());
  ShowWindow(form.Handle(), SW_SHOW);

  vl::TCoolTrayIcon tray(form.Handle());
  vl::TPopupMenu menu;
  auto visibility = [&] { return std::wstring(IsWindowVisible(form.Handle()) ? L" visible" : L" hidden"); };
  menu.Add(L"表示", [&] {
    tray.ShowMainWindow();
    Log(L"menu 表示" + visibility());
  });
  menu.Add(L"隠す", [&] {
    tray.HideMainWindow();
    Log(L"menu 隠す" + visibility());
  }, L"Esc");
  menu.Add(L"-");
  menu.Add(L"終了", [&] {
    Log(L"menu 終了");
    app.Terminate();
  });
  form.OnMinimize = [&] {
    Log(L"minimised" + visibility() + L" owner" +
        (IsWindowVisible(app.OwnerWindow()) ? L" visible" : L" hidden"));
  };
  tray.SetIcon(MagentaIcon());
  tray.PopupMenu = &menu;
  tray.MinimizeToTray = true;
  tray.OnClick = [&](vl::TCoolTrayIcon&) { Log(L"click"); };
  tray.OnDblClick = [&](vl::TCoolTrayIcon&) {
    tray.ShowMainWindow();
    Log(L"dblclick" + visibility());
  };
  tray.OnMouseDown = [&](vl::TCoolTrayIcon&, vl::TMouseButton button, vl::TShiftState, POINT at) {
    Log(std::wstring(L"down ") + ButtonName(button) + L" " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y));
  };
  tray.OnMouseUp = [&](vl::TCoolTrayIcon&, vl::TMouseButton button, vl::TShiftState, POINT) {
    Log(std::wstring(L"up ") + ButtonName(button));
  };
  // Where the open menu's items are, for the script to click them: the menu's owner is
  // told when the menu waits for input.
  bool menuLogged = false;
  auto menuWatch = app.HookOwnerWindow([&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg == WM_INITMENUPOPUP) menuLogged = false;
    if (msg == WM_ENTERIDLE && wParam == MSGF_MENU && !menuLogged) {
      menuLogged = true;
      // The menu closes on a click elsewhere only while its thread has the foreground.
      const bool ours = GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId();
      std::wstring line = std::wstring(L"menu-open ") + (ours ? L"foreground" : L"background");
      for (int i = 0; i < menu.Count(); ++i) {
        RECT r;
        if (GetMenuItemRect(nullptr, menu.Handle(), i, &r))
          line += L" " + std::to_wstring((r.left + r.right) / 2) + L"," + std::to_wstring((r.top + r.bottom) / 2);
      }
      Log(line);
    }
    return false;
  });
  tray.SetIconVisible(true);
  Log(L"ready " + std::to_wstring(reinterpret_cast<UINT_PTR>(tray.IconData().hWnd)) + L" " +
      std::to_wstring(tray.IconData().uID) + L" dct " + std::to_wstring(GetDoubleClickTime()));
  int code = app.Run();
  Log(L"exit");
  std::fclose(g_log);
  return code;
}

int Forget(const wchar_t* hwnd, const wchar_t* id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(hwnd, nullptr, 10)));
  data.uID = static_cast<UINT>(std::wcstoul(id, nullptr, 10));
  return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
}

int Minimise() {
  HWND form = FindWindowW(L"VlTrayHostForm", nullptr);
  return form && PostMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;
}

int TaskbarCreated() {
  DWORD_PTR ignored;
  SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                      &ignored);
  return 0;
}

}  // namespace

// A window program, so that starting it on a virtual desktop opens no console.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const int argc = __argc;
  wchar_t** argv = __wargv;
  std::wstring cmd = argc > 1 ? argv[1] : L"";
  if (cmd == L"forget" && argc == 4) return Forget(argv[2], argv[3]);
  if (cmd == L"taskbar-created" && argc == 2) return TaskbarCreated();
  if (cmd == L"minimise" && argc == 2) return Minimise();
  if (argc == 2) return Host(argv[1]);
  return 2;
}
