#include "app/page_transfer.h"

#include <optional>
#include <tuple>

#include "core/file_io.h"
#include "core/page_file.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"
#include "gui/platform/handles.h"

namespace vl {
namespace {

constexpr wchar_t kFilter[] = L"ページ (*.ini)\0*.ini\0";

// Whether the two paths name one file, however they spell it (letter case, short names,
// links): false when either cannot be opened.
bool SameFile(const std::wstring& a, const std::wstring& b) {
  auto identity = [](const std::wstring& path) -> std::optional<std::tuple<DWORD, DWORD, DWORD>> {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    UniqueKernelHandle file(h);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return std::tuple{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  };
  auto first = identity(a);
  return first && first == identity(b);
}

// The folder of a path chosen before, with its separator; empty when it names none.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

TPageTransfer::TPageTransfer(HWND owner, TIniFile& ini, TPageSet& pages, TPageControl& strip)
    : owner_(owner), ini_(ini), pages_(pages), strip_(strip) {
  saveDialog_.Filter.assign(kFilter, std::size(kFilter) - 1);
  saveDialog_.Title = L"ページの書き出し";
  saveDialog_.DefaultExt = L"ini";
  openDialog_.Filter = saveDialog_.Filter;
  openDialog_.Title = L"ページの読み込み";
}

void TPageTransfer::Export() {
  TPage* page = pages_.Selected();
  if (!page) return;
  const std::uint64_t pageId = page->Id();
  // Offered in the folder of the last export, under the page's own name.
  saveDialog_.FileName = FolderOf(saveDialog_.FileName) + PageFileNameFor(page->PageName());
  if (!saveDialog_.Execute(owner_)) return;
  const std::wstring path = saveDialog_.FileName;
  // Messages ran while the dialog was up: the file may have been taken up (its pages
  // made anew) or the page closed. A page released or rebuilt is still the page.
  page = pages_.FindId(pageId);
  if (!page) {
    ShowMessage(L"ファイルを選んでいる間にこのページが変わったため、書き出しませんでした");
    return;
  }
  if (SameFile(path, ini_.FileName())) {
    ShowMessage(PathText(path) + L" は設定ファイルです。ページは別のファイルに書き出してください");
    return;
  }
  // What the buttons hold goes to the file first, so that the page file has it too.
  page->SaveButtons();
  std::vector<IniKeyLine> lines;
  IniDocument::Encoding encoding = IniDocument::Encoding::Ansi;
  const std::uint64_t missed = ini_.MissedReads();
  ini_.Update([&] {
    lines = ini_.ReadSectionLines(settings::PageSection(page->PageNo()));
    encoding = ini_.ReadEncoding();
  });
  // Read from no file, the page file would hold nothing of the page.
  if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
  if (!ReplaceFileAtomically(path, FormatPageFile(lines, encoding)))
    ShowMessage(PathText(path) + L" に書き込めないため、ページを書き出せませんでした");
}

bool TPageTransfer::Import() {
  if (!openDialog_.Execute(owner_)) return false;
  const std::wstring path = openDialog_.FileName;
  const PageFileRead read = ReadPageFile(path);
  if (read.status == PageFileRead::Status::Unreadable) {
    ShowMessage(PathText(path) + L" を読めません");
    return false;
  }
  if (read.status == PageFileRead::Status::NotAPage) {
    ShowMessage(PathText(path) +
                L" はページのファイルではありません。「ページの書き出し…」で書き出したファイルを選んでください");
    return false;
  }
  // Read now, after the dialog: the file as it stands, whatever was taken up meanwhile.
  const std::optional<std::int32_t> pageNo = AddPageToFile(ini_, pages_.PageNum(), read.lines);
  if (!pageNo) {
    ShowMessage(L"これ以上ページを作成できません");
    return false;
  }
  pages_.SetPageNum(*pageNo);
  pages_.Add(*pageNo, L"", TPage::Build::WhenShown);  // built as its tab is selected
  strip_.SetActivePageIndex(strip_.SheetCount() - 1);
  return true;
}

}  // namespace vl
