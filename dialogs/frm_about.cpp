#include "dialogs/frm_about.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "core/file_io.h"
#include "core/text_codec.h"
#include "dialogs/author.h"
#include "gui/platform/version_resource.h"

namespace vl {
namespace {

DialogParams Params() {
  DialogParams p;
  p.className = L"TfrmAbout";
  p.caption = L"バージョン情報";
  p.width = 361;
  p.height = 385;
  p.outerSize = true;
  p.font = PixelFont(L"ＭＳ Ｐゴシック", 12);
  return p;
}

// Lines as a text file has them: CR LF, LF or CR ends a line; a final line end makes no
// empty line after it.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

PathString HistoryFilePath() { return ProgramFolder() + L"\\History.txt"; }

TfrmAbout::TfrmAbout(const PathString& historyFile)
    : TDialogForm(Params()),
      // A Latin title: a Western font, not the system's Japanese stand-in for it.
      titleFont_(FormFont(PixelFont(L"Arial", 16, true, ANSI_CHARSET))),
      PageControl1(Handle(), 0, 0, 0, 0, Font()),
      TabSheet1(PageControl1.AddSheet(L"バージョン情報", 0)),
      TabSheet3(PageControl1.AddSheet(L"更新履歴", 0)),
      StaticText1({TabSheet1.Handle(), {}, L"Vantri Launch", titleFont_}, SS_CENTER),
      Label1({TabSheet1.Handle(), {}, L"version " + VersionString(L"ProductVersion"), Font()}, SS_CENTER),
      Label2({TabSheet1.Handle(), {}, kAuthorNotice, Font()}, SS_CENTER),
      Button2({TabSheet1.Handle(), {}, kAuthorPage, Font()}),
      Memo1({TabSheet3.Handle(), {}, L"Memo1", Font()}),
      Button1(On({}, L"OK")) {
  // The places, in designed pixels: the tab control fills the box above the centred OK
  // button, and the sheets' controls are measured in the page area it leaves.
  const DesignRect client = ClientRect();
  PlaceControl(PageControl1.Handle(), {8, 8, client.width - 16, client.height - 52});
  PlaceControl(Button1.Handle(), {(client.width - 75) / 2, client.height - 36, 75, 25});
  const DesignRect sheet = DesignRectOf(PageControl1.DisplayRect(), Dpi());
  PlaceControl(StaticText1.Handle(), {0, 32, sheet.width, 24});
  PlaceControl(Label1.Handle(), {0, 68, sheet.width, 16});
  PlaceControl(Label2.Handle(), {16, 108, sheet.width - 32, 80});
  PlaceControl(Button2.Handle(), {24, sheet.height - 56, sheet.width - 48, 25});
  PlaceControl(Memo1.Handle(), {4, 4, sheet.width - 8, sheet.height - 8});
  SetDefaultButton(&Button1);
  // The tab row first, as the box opens: the arrow keys change the tab, Enter presses OK.
  SetActiveControl(PageControl1.Handle());
  SetTabs(&PageControl1);
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  built_ = true;
  try {
    FormCreate(historyFile);
  } catch (...) {
    // The box is made all the same; its history tab keeps "Memo1".
    TApplication::Instance().ShowCurrentException();
  }
}

void TfrmAbout::FormCreate(const PathString& historyFile) {
  std::optional<std::string> bytes = ReadWholeFile(historyFile);
  if (!bytes) throw EVantriError(L"ファイル " + FileNameOf(historyFile) + L" は開けません");
  // Written in the system's code page (Shift_JIS on a Japanese system), as it ships.
  Memo1.SetLines(SplitLines(AnsiToWide(*bytes)));
}

void TfrmAbout::Button1Click() { Hide(); }

void TfrmAbout::Button2Click() {
  const PathString page = ProgramFolder() + L"\\" + kAuthorPage;
  ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOW);
}

LRESULT TfrmAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY && built_ && PageControl1.Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
  return TDialogForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
