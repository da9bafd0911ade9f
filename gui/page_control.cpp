#include "gui/page_control.h"

#include <commctrl.h>

#include "gui/controls.h"
#include "gui/platform/platform_error.h"
#include "gui/theme.h"
#include "gui/themed_paint.h"

namespace vl {

TTabSheet::TTabSheet(HWND pageControl, std::wstring caption, int tag)
    : caption_(std::move(caption)), tag_(tag) {
  WindowParams p;
  p.className = L"TTabSheet";
  p.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  p.exStyle = WS_EX_CONTROLPARENT;
  p.x = p.y = p.width = p.height = 0;
  p.parent = pageControl;
  Create(p);
}

LRESULT TTabSheet::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A multi-line edit in a dialog sends the dialog keys it takes (Tab, Esc, Enter) to its
  // parent as a dialog's messages. A sheet is no dialog: they belong to the window the
  // sheet sits in. Esc arrives as WM_CLOSE, which would destroy the sheet with its
  // controls; to the dialog it is the cancel command, as Esc anywhere else in it.
  HWND dialog = GetAncestor(Handle(), GA_ROOT);
  switch (msg) {
    case WM_COMMAND:
      if (lParam && TControl::Reflect(wParam, lParam)) return 0;
      if (!lParam && dialog) return SendMessageW(dialog, msg, wParam, lParam);
      break;
    case WM_NEXTDLGCTL:
    case DM_GETDEFID:
      return dialog ? SendMessageW(dialog, msg, wParam, lParam) : 0;
    case WM_CLOSE:
      if (dialog) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return 0;
    case WM_PAINT:
      if (PaintThemedSheet(Handle())) return 0;
      break;
    default:
      break;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

TPageControl::TPageControl(HWND parent, int x, int y, int width, int height, HFONT font) {
  hwnd_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                              width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!hwnd_) ThrowLastError(L"CreateWindowEx(SysTabControl32)");
  if (font) SendMessageW(hwnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  subclass_ = std::make_unique<TWindowSubclass>(
      hwnd_.get(), [this](UINT msg, WPARAM wParam, LPARAM lParam) { return HandleMessage(msg, wParam, lParam); });
}

TPageControl::~TPageControl() {
  // Sheets first: they are child windows of the control.
  sheets_.clear();
  subclass_.reset();
}

LRESULT TPageControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The tab row in the theme's colours outside the light mode: the control paints light.
  if (msg == WM_ERASEBKGND && CurrentThemeMode() != ThemeMode::Light) return 1;
  if ((msg == WM_PAINT || msg == WM_PRINTCLIENT) &&
      PaintThemedTabs(hwnd_.get(), msg == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr))
    return 0;
  LRESULT result = subclass_->CallNext(msg, wParam, lParam);
  if (msg == TCM_ADJUSTRECT && !wParam) {
    RECT client;
    GetClientRect(hwnd_.get(), &client);
    AdjustDisplayRect(*reinterpret_cast<RECT*>(lParam), client);
  } else if (msg == WM_SIZE) {
    ShowActiveSheet();
  }
  return result;
}

void TPageControl::AdjustDisplayRect(RECT&, const RECT&) const {}

RECT TPageControl::DisplayRect() const {
  RECT r;
  GetClientRect(hwnd_.get(), &r);
  SendMessageW(hwnd_.get(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

TTabSheet& TPageControl::AddSheet(const std::wstring& caption, int tag) {
  auto sheet = std::make_unique<TTabSheet>(hwnd_.get(), caption, tag);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  int index = SheetCount();
  if (SendMessageW(hwnd_.get(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)) < 0)
    ThrowLastError(L"TCM_INSERTITEM");
  sheets_.push_back(std::move(sheet));
  if (index == 0) SendMessageW(hwnd_.get(), TCM_SETCURSEL, 0, 0);
  ShowActiveSheet();
  return *sheets_.back();
}

int TPageControl::IndexOf(const TTabSheet& sheet) const {
  for (int i = 0; i < SheetCount(); ++i) {
    if (sheets_[static_cast<std::size_t>(i)].get() == &sheet) return i;
  }
  return -1;
}

void TPageControl::SetCaption(int index, const std::wstring& caption) {
  TTabSheet& sheet = Sheet(index);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  if (!SendMessageW(hwnd_.get(), TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&item)))
    ThrowLastError(L"TCM_SETITEM");
  sheet.caption_ = caption;
}

void TPageControl::DeleteSheet(int index) {
  if (index < 0 || index >= SheetCount()) return;
  int active = ActivePageIndex();
  SendMessageW(hwnd_.get(), TCM_DELETEITEM, index, 0);
  sheets_.erase(sheets_.begin() + index);
  if (SheetCount() == 0) return;
  if (active == index) {
    SetActivePageIndex(index < SheetCount() ? index : 0);
  } else {
    ShowActiveSheet();
  }
}

void TPageControl::MoveSheet(int from, int to) {
  if (from < 0 || from >= SheetCount() || to < 0 || to >= SheetCount() || from == to) return;
  const int active = ActivePageIndex();
  const TTabSheet* selected = active >= 0 ? sheets_[static_cast<std::size_t>(active)].get() : nullptr;
  SendMessageW(hwnd_.get(), TCM_DELETEITEM, from, 0);
  std::unique_ptr<TTabSheet> sheet = std::move(sheets_[static_cast<std::size_t>(from)]);
  sheets_.erase(sheets_.begin() + from);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(sheet->Caption().c_str());
  if (SendMessageW(hwnd_.get(), TCM_INSERTITEMW, to, reinterpret_cast<LPARAM>(&item)) < 0)
    ThrowLastError(L"TCM_INSERTITEM");
  sheets_.insert(sheets_.begin() + to, std::move(sheet));
  if (selected) SendMessageW(hwnd_.get(), TCM_SETCURSEL, IndexOf(*selected), 0);
  ShowActiveSheet();
}

int TPageControl::ActivePageIndex() const {
  return static_cast<int>(SendMessageW(hwnd_.get(), TCM_GETCURSEL, 0, 0));
}

int TPageControl::TabAt(POINT screen) const {
  TCHITTESTINFO hit{screen, 0};
  ScreenToClient(hwnd_.get(), &hit.pt);
  return static_cast<int>(SendMessageW(hwnd_.get(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void TPageControl::SetActivePageIndex(int index) {
  SendMessageW(hwnd_.get(), TCM_SETCURSEL, index, 0);
  ShowActiveSheet();
}

void TPageControl::SetBounds(int x, int y, int width, int height) {
  MoveWindow(hwnd_.get(), x, y, width, height, TRUE);
  ShowActiveSheet();
}

bool TPageControl::Notify(const NMHDR& header) {
  if (header.hwndFrom != hwnd_.get()) return false;
  if (header.code == static_cast<UINT>(TCN_SELCHANGE)) {
    ShowActiveSheet();
    if (OnChange) OnChange();
  }
  return true;
}

void TPageControl::ShowActiveSheet() {
  RECT area = DisplayRect();
  int active = ActivePageIndex();
  for (int i = 0; i < SheetCount(); ++i) {
    HWND sheet = sheets_[static_cast<std::size_t>(i)]->Handle();
    if (i == active) {
      SetWindowPos(sheet, HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_SHOWWINDOW);
    } else {
      ShowWindow(sheet, SW_HIDE);
    }
  }
}

}  // namespace vl
