#include "gui/common_dialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include <vector>

#include "gui/modal_scope.h"

namespace vl {
namespace {

enum class FileDialogKind { Open, Save };

bool RunFileDialog(HWND owner, FileDialogKind kind, const FileDialogFields& dialog, const std::wstring& start,
                   const std::wstring& defaultExt, std::wstring& fileName) {
  std::vector<wchar_t> buffer(32768, L'\0');
  start.copy(buffer.data(), buffer.size() - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  // The filter's text holds its own NULs; the string's end adds the last one.
  ofn.lpstrFilter = dialog.Filter.empty() ? nullptr : dialog.Filter.c_str();
  ofn.lpstrTitle = dialog.Title.empty() ? nullptr : dialog.Title.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (kind == FileDialogKind::Save) {
    ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    if (!GetSaveFileNameW(&ofn)) return false;
  } else {
    if (!GetOpenFileNameW(&ofn)) return false;
  }
  fileName = buffer.data();
  return true;
}

bool RunModal(HWND owner, FileDialogKind kind, FileDialogFields& dialog, const std::wstring& defaultExt = L"") {
  TModalScope modal(owner);
  if (RunFileDialog(owner, kind, dialog, dialog.FileName, defaultExt, dialog.FileName)) return true;
  // A remembered name the dialog refuses to start from (one that no longer parses as a
  // file name) must not keep the dialog from opening at all.
  if (CommDlgExtendedError() == FNERR_INVALIDFILENAME)
    return RunFileDialog(owner, kind, dialog, L"", defaultExt, dialog.FileName);
  return false;
}

}  // namespace

bool TOpenDialog::Execute(HWND owner) { return RunModal(owner, FileDialogKind::Open, *this); }

bool TSaveDialog::Execute(HWND owner) { return RunModal(owner, FileDialogKind::Save, *this, DefaultExt); }

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
