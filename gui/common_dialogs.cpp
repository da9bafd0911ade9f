#include "gui/common_dialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <dlgs.h>

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

namespace {

// The font dialog's style list and its label hidden as it opens: what the caller would
// drop is not offered.
UINT_PTR CALLBACK HideStyleChoice(HWND box, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    for (int id : {stc2, cmb2}) {
      HWND control = GetDlgItem(box, id);
      ShowWindow(control, SW_HIDE);
      EnableWindow(control, FALSE);
    }
  }
  return 0;  // the dialog's own handling goes on
}

}  // namespace

bool TFontDialog::Execute(HWND owner) {
  TModalScope modal(owner);
  FontDesc start = Font;
  if (!OfferStyles) start.bold = start.italic = false;
  LOGFONTW lf = LogFontOf(start, SystemDpi());
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!OfferStyles) {
    cf.Flags |= CF_NOSTYLESEL | CF_ENABLEHOOK;
    cf.lpfnHook = &HideStyleChoice;
  }
  if (!ChooseFontW(&cf)) return false;
  Font = FontDescOf(lf);
  if (cf.iPointSize > 0) Font.points = cf.iPointSize / 10;
  if (!OfferStyles) Font.bold = Font.italic = false;
  return true;
}

}  // namespace vl
