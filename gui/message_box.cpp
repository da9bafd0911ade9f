#include "gui/message_box.h"

#include "gui/application.h"
#include "gui/box_hook.h"

namespace vl {

void ShowMessage(std::wstring_view text) { RunMessageBox(text, TApplication::Instance().Title(), MB_OK); }
void WarningBox(std::wstring_view text) {
  RunMessageBox(text, TApplication::Instance().Title(), MB_OK | MB_ICONWARNING);
}
void ErrorBox(std::wstring_view text) { RunMessageBox(text, TApplication::Instance().Title(), MB_OK | MB_ICONSTOP); }

}  // namespace vl
