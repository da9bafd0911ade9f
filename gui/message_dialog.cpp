#include "gui/message_dialog.h"

#include <windows.h>

#include "gui/box_hook.h"

namespace vl {

bool Confirm(std::wstring_view text, std::wstring_view caption) {
  // A warning looks like one: under "警告" the warning sign, not the question mark.
  const UINT icon = caption == kWarningCaption ? MB_ICONWARNING : MB_ICONQUESTION;
  return RunMessageBox(text, caption, MB_YESNO | icon | MB_DEFBUTTON1, true) == IDYES;
}

}  // namespace vl
