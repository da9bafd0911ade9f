#include "gui/common_dialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include <vector>

#include "gui/modal_scope.h"

namespace vl {
namespace {

bool RunOpenDialog(HWND owner, std::wstring& fileName, const std::wstring& start) {
  std::vector<wchar_t> buffer(32768, L'\0');
  start.copy(buffer.data(), buffer.size() - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!GetOpenFileNameW(&ofn)) return false;
  fileName = buffer.data();
  return true;
}

}  // namespace

bool TOpenDialog::Execute(HWND owner) {
  TModalScope modal(owner);
  if (RunOpenDialog(owner, FileName, FileName)) return true;
  // A remembered name the dialog refuses to start from (one that no longer parses as a
  // file name) must not keep the dialog from opening at all.
  if (CommDlgExtendedError() == FNERR_INVALIDFILENAME) return RunOpenDialog(owner, FileName, L"");
  return false;
}

bool TFontDialog::Execute(HWND owner) {
  TModalScope modal(owner);
  LOGFONTW lf = LogFontOf(Font, SystemDpi());
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&cf)) return false;
  Font = FontDescOf(lf);
  if (cf.iPointSize > 0) Font.points = cf.iPointSize / 10;
  return true;
}

}  // namespace vl
