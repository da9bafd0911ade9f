#include "gui/application.h"

#include <algorithm>
#include <new>

#include "core/errors.h"
#include "gui/message_box.h"

namespace vl {
namespace {
TApplication* g_instance = nullptr;
// Posted to the owner window when it becomes active, so that the activation moves on to
// the main form once the system has finished activating the owner window.
constexpr UINT kActivateMainForm = WM_APP + 1;
}  // namespace

TApplication::TApplication(std::wstring title) : title_(std::move(title)) {
  g_instance = this;
  WindowParams p;
  p.className = L"TApplication";
  p.caption = title_;
  p.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  p.x = p.y = p.width = p.height = 0;
  p.icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  Create(p);
}

TApplication::~TApplication() { g_instance = nullptr; }

TApplication& TApplication::Instance() { return *g_instance; }

int TApplication::Run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    Dispatch(msg);
  }
  return static_cast<int>(msg.wParam);
}

void TApplication::Terminate(int exitCode) { PostQuitMessage(exitCode); }

void TApplication::Minimize() { ShowWindow(Handle(), SW_MINIMIZE); }

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::Dispatch(MSG& msg) {
  // A copy: a filter may add or remove filters.
  std::vector<std::pair<int, MessageFilter>> filters = filters_;
  for (const auto& entry : filters) {
    try {
      if (entry.second(msg)) return;
    } catch (...) {
      ShowCurrentException();
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

TApplication::Hook::~Hook() {
  if (id_ && g_instance) g_instance->Unhook(id_);
}

TApplication::Hook& TApplication::Hook::operator=(Hook&& other) noexcept {
  if (this != &other) {
    if (id_ && g_instance) g_instance->Unhook(id_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

TApplication::Hook TApplication::HookOwnerWindow(MessageHook hook) {
  hooks_.emplace_back(++lastHookId_, std::move(hook));
  return Hook(lastHookId_);
}

TApplication::Hook TApplication::FilterMessages(MessageFilter filter) {
  filters_.emplace_back(++lastHookId_, std::move(filter));
  return Hook(lastHookId_);
}

void TApplication::Unhook(int id) {
  std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
  std::erase_if(filters_, [id](const auto& entry) { return entry.first == id; });
}

LRESULT TApplication::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A hook may add or remove hooks: walk the ones present now and skip any that went.
  std::vector<int> ids;
  for (const auto& entry : hooks_) ids.push_back(entry.first);
  for (int id : ids) {
    auto it = std::find_if(hooks_.begin(), hooks_.end(), [id](const auto& entry) { return entry.first == id; });
    if (it == hooks_.end()) continue;
    MessageHook hook = it->second;  // a copy outlives its own removal
    LRESULT result = 0;
    if (hook(msg, wParam, lParam, result)) return result;
  }
  if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && mainForm_) {
    PostMessageW(Handle(), kActivateMainForm, 0, 0);
  } else if (msg == kActivateMainForm) {
    if (GetActiveWindow() == Handle() && IsWindowVisible(mainForm_) && IsWindowEnabled(mainForm_)) {
      SetForegroundWindow(mainForm_);
    }
    return 0;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

void TApplication::ShowCurrentException() {
  std::wstring message;
  try {
    throw;
  } catch (const EVantriError& e) {
    message = e.Message();
  } catch (const std::bad_alloc&) {
    message = L"メモリが足りません";
  } catch (...) {
    message = L"予期しないエラーが発生しました";
  }
  ErrorBox(ErrorReportText(message));
}

}  // namespace vl
