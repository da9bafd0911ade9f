#include "gui/application.h"

#include "core/errors.h"
#include "core/text_codec.h"
#include "gui/message_box.h"

namespace vl {
namespace {
TApplication* g_instance = nullptr;
}

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
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void TApplication::Terminate(int exitCode) { PostQuitMessage(exitCode); }

void TApplication::ShowException(const std::exception& e) {
  const auto* own = dynamic_cast<const EVantriError*>(&e);
  std::wstring message = own ? own->Message() : Utf8ToWide(e.what());
  ErrorBox(ErrorReportText(message));
}

}  // namespace vl
