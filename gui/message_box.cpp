#include "gui/message_box.h"

#include <windows.h>

#include <string>

#include "gui/application.h"
#include "gui/modal_scope.h"

namespace vl {
namespace {

void Box(std::wstring_view text, UINT icon) {
  TApplication& app = TApplication::Instance();
  std::wstring body(text);
  HWND owner = ModalOwner();
  TModalScope modal(owner);
  MessageBoxW(owner, body.c_str(), app.Title().c_str(), MB_OK | icon);
}

}  // namespace

void ShowMessage(std::wstring_view text) { Box(text, 0); }
void ErrorBox(std::wstring_view text) { Box(text, MB_ICONSTOP); }

}  // namespace vl
