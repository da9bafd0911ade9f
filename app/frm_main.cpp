#include "app/frm_main.h"

#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "app/button_move.h"
#include "buttons/glyph_cache.h"
#include "buttons/shell_helpers.h"
#include "core/file_io.h"
#include "core/hot_key_text.h"
#include "core/number_text.h"
#include "core/page_numbers.h"
#include "core/path_text.h"
#include "core/settings_keys.h"
#include "gui/application.h"
#include "gui/image_strip.h"
#include "gui/layout.h"
#include "gui/message_box.h"
#include "gui/message_dialog.h"
#include "gui/platform/foreground.h"
#include "gui/platform/start_phases.h"
#include "gui/platform/window_count.h"

namespace vl {
namespace {

namespace keys = settings;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 25;  // ms: the mouse watch samples the pointer 40 times a second
constexpr UINT kPutUpTrayIcon = WM_APP;
// While the settings file could not be read at start, it is looked at again this often.
constexpr UINT_PTR kTakeUpTimer = 2;
constexpr UINT kTakeUpInterval = 1000;  // ms
// A sync tool or a virus scanner holds a file for a moment: the start waits this long
// for it before it opens without it.
constexpr int kStartReadTries = 20;
constexpr DWORD kStartReadPause = 100;  // ms

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// A system command the program sends itself to close the window; real system commands
// keep their low four bits for the system, so it cannot be taken for one of them.
constexpr WPARAM kCloseCommand = 1;

// The page strip's font, for its tabs.
FontDesc BaseFontDesc() { return PixelFont(L"ＭＳ Ｐゴシック", 13); }

// A window of fixed size without minimise and maximise boxes offers only "移動" and
// "閉じる" in its system menu, as a dialog does; the system would show these greyed.
void TrimSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
    DeleteMenu(menu, command, MF_BYCOMMAND);
}

}  // namespace

TfrmMain::TfrmMain() : ini_(SettingsFilePath()) {
  WindowParams p;
  p.className = L"TfrmMain";
  p.caption = kMainCaption;
  p.style = kStyle;
  p.exStyle = kExStyle;
  p.x = p.y = keys::kFormLeftDefault;
  p.width = 338;
  p.height = 117;
  p.parent = TApplication::Instance().OwnerWindow();
  p.icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  Create(p);
  TrimSystemMenu(Handle());
  const int dpi = DpiOf(Handle());
  SetMainClientSize(DesignToDevice(338, dpi), DesignToDevice(117, dpi));
  TApplication::Instance().SetMainForm(Handle());
  MarkStartPhase("main window");

  baseFont_ = MakeFont(BaseFontDesc(), dpi);
  base_ = std::make_unique<TPageControlEx>(Handle(), 0, 0, DesignToDevice(338, dpi), DesignToDevice(117, dpi),
                                           baseFont_.get());
  base_->OnChange = [this] { BaseChange(); };
  BuildMenus();
  MarkStartPhase("tab strip and menus");

  coolTrayIcon1_ = std::make_unique<TCoolTrayIcon>(Handle());
  coolTrayIcon1_->PopupMenu = &popupMenu2_;
  coolTrayIcon1_->MinimizeToTray = true;
  coolTrayIcon1_->OnClick = [this](TCoolTrayIcon&) {
    if (IsWindowVisible(Handle())) FocusLastButton();
  };
  coolTrayIcon1_->OnDblClick = [this](TCoolTrayIcon&) { ShowLauncherWithoutTheKey(); };
  // Putting the icon up is a round trip to the shell that the user's first look at the
  // launcher need not wait for: it comes once the window is painted.
  PostMessageW(Handle(), kPutUpTrayIcon, 0, 0);
  MarkStartPhase("tray icon object");

  waitHotKey_.SetReentrant(true);
  waitHotKey_.OnCatchHotKey = [this](TWaitHotKey&) { ShowLauncher(); };
  waitHotKey1_.SetReentrant(false);
  waitHotKey1_.OnCatchHotKey = [this](TWaitHotKey&) { coolTrayIcon1_->HideMainWindow(); };
  keyboardFilter_ = TApplication::Instance().FilterMessages([this](const MSG& msg) { return LauncherKey(msg); });
  hideKeyFilter_ = TApplication::Instance().FilterMessages([this](const MSG& msg) {
    if (!IsLocalHideKey(msg)) return false;
    // Esc in the drag of a button calls the drag off, and only that.
    if (const TPage* page = PageOnDisplay(); page && page->Dragging()) return false;
    coolTrayIcon1_->HideMainWindow();
    return true;
  });

  for (int i = 1; i < kStartReadTries && !FileReadsNow(); ++i) Sleep(kStartReadPause);
  MarkStartPhase("settings file read");
  try {
    FormCreate();
  } catch (...) {
    // The rest of the creation step is skipped; the window opens all the same.
    TApplication::Instance().ShowCurrentException();
  }
  MarkStartPhase("settings and pages");
  RegisterHotKeys();
  gesture_.prevCursor = ShakePoint{100, 100};
  MarkStartPhase("hot keys");
  // Shown once, when it is built: at its place, at the selected page's size.
  ShowWindow(Handle(), SW_SHOWNORMAL);
  BringToFront(Handle());
  MarkStartPhase("shown");
}

namespace {

// The two menus, in menu order: caption, command, picture in the menu image strip, and
// the shortcut shown beside the caption. Commands of dialogs still to come are empty.
struct MenuItemDef {
  const wchar_t* caption;
  void (TfrmMain::*onClick)();
  int image;
  const wchar_t* shortcut = L"";
};

const MenuItemDef kPopupMenu1[] = {
    {L"ボタンの削除", &TfrmMain::D1Click, 0},
    {L"ボタンのプロパティ", &TfrmMain::N4Click, 1},
    {L"-", nullptr, -1},
    {L"ページの新規作成", &TfrmMain::N2Click, 2},
    {L"ページの削除", &TfrmMain::N3Click, 3},
    {L"ページのプロパティ", &TfrmMain::N5Click, 4},
    {L"-", nullptr, -1},
    {L"ファイルの場所を開く", &TfrmMain::OpenFolderClick, -1},
    {L"管理者として実行", &TfrmMain::RunAsClick, -1},
};

const MenuItemDef kPopupMenu2[] = {
    {L"マウスの動きを監視", &TfrmMain::mnuMouseMoveClick, 5},
    {L"-", nullptr, -1},
    {L"表示", &TfrmMain::Show1Click, 6},
    {L"隠す", &TfrmMain::Hide1Click, 7, L"Esc"},
    {L"-", nullptr, -1},
    {L"バージョン情報", &TfrmMain::About1Click, 8},
    {L"ヘルプ", &TfrmMain::Help1Click, 9},
    {L"-", nullptr, -1},
    {L"環境設定", &TfrmMain::SettingClick, 10},
    {L"-", nullptr, -1},
    {L"終了", &TfrmMain::Exit1Click, 11},
};

}  // namespace

void TfrmMain::BuildMenus() {
  auto build = [&](TPopupMenu& menu, const auto& items) {
    for (const MenuItemDef& def : items) {
      TPopupMenu::ClickEvent onClick;
      if (def.onClick) onClick = [this, f = def.onClick] { (this->*f)(); };
      int index = menu.Add(def.caption, std::move(onClick), def.shortcut);
      if (def.onClick == &TfrmMain::mnuMouseMoveClick) mnuMouseMove_ = index;
      if (def.onClick == &TfrmMain::OpenFolderClick || def.onClick == &TfrmMain::RunAsClick)
        boundButtonItems_.push_back(index);
    }
  };
  build(popupMenu1_, kPopupMenu1);
  build(popupMenu2_, kPopupMenu2);
  SetMenuImages();
}

void TfrmMain::SetMenuImages() {
  // The strip holds 16-pixel pictures; the menus show them at the window's DPI.
  std::vector<UniqueBitmap> images =
      LoadImageStrip(L"MENUIMAGES", 16, GetSysColor(COLOR_MENU), DesignToDevice(16, DpiOf(Handle())));
  auto set = [&](TPopupMenu& menu, const auto& items) {
    int index = 0;  // items keep the index of their place in the table
    for (const MenuItemDef& def : items) {
      if (def.image >= 0 && def.image < static_cast<int>(images.size()))
        menu.SetImage(index, std::move(images[static_cast<std::size_t>(def.image)]));
      ++index;
    }
  };
  set(popupMenu1_, kPopupMenu1);
  set(popupMenu2_, kPopupMenu2);
}

void TfrmMain::DpiChanged(int dpi, const RECT& suggested) {
  FollowDpi(dpi);
  // The place the system suggests keeps the window's physical size on the new monitor;
  // the grid's own size at the new DPI follows from BaseChange, to the pixel.
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  UniqueFont font = MakeFont(BaseFontDesc(), dpi);
  SendMessageW(base_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  if (searchLine_) SendMessageW(searchLine_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  baseFont_ = std::move(font);  // the strip and the search line have let go of the old one
  SetMenuImages();
  for (auto& page : pageList_) page->FollowDpi();
  BaseChange();
}

void TfrmMain::RegisterHotKeys() {
  // Each key on its own: a key another program holds costs neither the other key nor
  // the rest of the start, and each refusal is reported once. With "ホットキーを使う"
  // cleared in the settings dialog, neither is registered.
  bool useHotKeys = false;
  std::wstring show, hide;
  ini_.Update([&] {
    useHotKeys = ini_.ReadBool(keys::kSetting, keys::kIsUseHotKey, keys::kIsUseHotKeyDefault);
    show = ini_.ReadString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault);
    hide = ini_.ReadString(keys::kSetting, keys::kHideHotKey, keys::kHideHotKeyDefault);
  });
  if (!useHotKeys) return;
  for (auto [setter, text, def] :
       {std::tuple{&TfrmMain::SetShowHotKey, &show, keys::kShowHotKeyDefault},
        std::tuple{&TfrmMain::SetHideHotKey, &hide, keys::kHideHotKeyDefault}}) {
    try {
      try {
        (this->*setter)(*text);
      } catch (const EWaitHotKey_Text& e) {
        // A text that cannot be a key (a slip of the hand in the file, bare "Space")
        // would leave the launcher without a key, or take one from every program: the
        // default for this run, said once. The file keeps what the user wrote.
        ShowMessage(e.Message() + L"。\n代わりに「" + def + L"」を使います");
        (this->*setter)(def);
      }
    } catch (...) {
      TApplication::Instance().ShowCurrentException();
    }
  }
}

bool TfrmMain::FileReadsNow() const {
  const std::uint64_t missed = ini_.MissedReads();
  ini_.ReadSections();
  return ini_.MissedReads() == missed;
}

void TfrmMain::TakeUpTheFile() {
  if (!FileReadsNow()) return;  // still held: the next tick looks again
  KillTimer(Handle(), kTakeUpTimer);
  // Filled from defaults, or editing the stand-in page that goes now.
  for (TDialogForm* dialog : std::initializer_list<TDialogForm*>{frmBtnOption_, frmPageOption_, frmSetting_})
    if (dialog) dialog->Hide();
  ClearPages();  // the stand-in read nothing and writes nothing
  try {
    FormCreate();
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
  }
  ReleaseHotKeys();
  RegisterHotKeys();
}

void TfrmMain::ClearPages() {
  ClearSearch();
  pageList_.clear();  // the objects first: the sheets take the buttons' windows with them
  while (base_->SheetCount() > 0) base_->DeleteSheet(base_->SheetCount() - 1);
}

void TfrmMain::FormCreate() {
  const std::uint64_t missed = ini_.MissedReads();
  // One look at the file for all of it, the way it stood at one moment.
  ini_.Update([&] {
    popupMenu2_.SetChecked(mnuMouseMove_,
                           ini_.ReadBool(keys::kSetting, keys::kIsUseShake, keys::kIsUseShakeDefault));
    SetTimer1Enabled(popupMenu2_.Checked(mnuMouseMove_));
    pageNum_ = ini_.ReadInteger(keys::kGeneral, keys::kPageNum, keys::kPageNumDefault);
    SetWindowPos(Handle(), nullptr,
                 ini_.ReadInteger(keys::kGeneral, keys::kFormLeft, keys::kFormLeftDefault),
                 ini_.ReadInteger(keys::kGeneral, keys::kFormTop, keys::kFormTopDefault), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The setters' rule: 0 and below are no values. A speed of 0 would take a still pointer
    // for a swing and call the launcher up again the moment it is hidden.
    shake_ = ShakeParams{};
    SetShakeSpeed(ini_.ReadInteger(keys::kSetting, keys::kShakeSpeed, keys::kShakeSpeedDefault));
    SetShakeTime(ini_.ReadInteger(keys::kSetting, keys::kShakeTime, keys::kShakeTimeDefault));
    // The live pages up to "PageNum", in number order, found among the sections the file
    // holds: the file bounds the work, whatever number "PageNum" says.
    for (std::int32_t n : PageNumbersOf(ini_.ReadSections())) {
      if (n > pageNum_) break;
      if (ini_.ReadBool(keys::PageSection(n), keys::kLive, keys::kLiveDefault))
        AddPage(n, L"", TPage::Build::WhenShown);  // built when its tab is first selected
    }
  });
  takenUp_ = ini_.MissedReads() == missed;
  if (!takenUp_) {
    // The file is there and cannot be read (held by another program): all of the above
    // are defaults, and none of it may ever be written over the file. A stand-in page
    // that writes nothing until the file reads; then the launcher takes it up.
    ClearPages();
    AddPage(1, L"UNSAVED");
    BaseChange();
    SetTimer(Handle(), kTakeUpTimer, kTakeUpInterval, nullptr);
    throw EVantriError(PathText(ini_.FileName()) +
                       L" を読めません。読めるようになりしだい読み込みます。それまでの変更は保存されません");
  }
  // A first start, or a file without a live page: a new page comes, so that there is
  // always a tab to drop on (and the strip can never be empty).
  if (pageList_.empty()) {
    try {
      NewPage();
    } catch (const EIniWriteError&) {
      // Nothing can be written beside the program: the launcher still opens with a page
      // to work with for this run, and the refusal is shown once, by the caller.
      if (pageList_.empty()) {
        pageNum_ = NextPageNumber(pageNum_, PageNumbersOf(ini_.ReadSections())).value_or(1);
        AddPage(pageNum_, L"UNSAVED");
      }
      BaseChange();
      throw;
    }
  }
  BaseChange();
  SetWindowTextW(Handle(), kMainCaption);
}

TfrmMain::~TfrmMain() {
  // The refusal the user saw last (a drop, the first start) is not shown again at exit.
  const bool refusalShown = ini_.LastWriteRefused();
  try {
    RECT r;
    GetWindowRect(Handle(), &r);
    // One write of the file for all of it: a write per page would rewrite the whole file
    // as many times as there are pages.
    ini_.Update([&] {
      if (takenUp_) WriteGeneral(r);
      pageList_.clear();  // each live page writes its buttons back
    });
  } catch (const EIniWriteError&) {
    if (!refusalShown) TApplication::Instance().ShowCurrentException();
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
  }
  pageList_.clear();  // the pages left when a write stopped the above
  coolTrayIcon1_.reset();
  TApplication::Instance().SetMainForm(nullptr);
}

void TfrmMain::WriteGeneral(const RECT& window) {
  ini_.WriteInteger(keys::kGeneral, keys::kPageNum, pageNum_);
  ini_.WriteInteger(keys::kGeneral, keys::kFormTop, window.top);
  ini_.WriteInteger(keys::kGeneral, keys::kFormLeft, window.left);
}

void TfrmMain::AddPage(std::int32_t pageNo, std::wstring_view mode, TPage::Build when) {
  // Room first: a page that is built must also land in the list, or its tab would be
  // left without an entry.
  pageList_.reserve(pageList_.size() + 1);
  pageList_.push_back(std::make_unique<TPage>(*this, pageNo, mode, when));
}

void TfrmMain::NewPage() {
  const std::uint64_t missed = ini_.MissedReads();
  const std::vector<std::int32_t> taken = PageNumbersOf(ini_.ReadSections());
  // Without the file's sections the number could be one a section holds already.
  if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
  std::optional<std::int32_t> next = NextPageNumber(pageNum_, taken);
  if (!next) {
    ShowMessage(L"これ以上ページを作成できません");
    return;
  }
  // The number is in the file before the page is: after a crash, or a page that failed
  // to build, the next new page never takes this number and its old buttons.
  ini_.WriteInteger(keys::kGeneral, keys::kPageNum, *next);
  pageNum_ = *next;
  AddPage(*next, L"NEW");
}

int TfrmMain::IndexOfPage(std::int32_t pageNo) const {
  auto it = std::find_if(pageList_.begin(), pageList_.end(),
                         [pageNo](const auto& page) { return page->PageNo() == pageNo; });
  return it == pageList_.end() ? -1 : static_cast<int>(it - pageList_.begin());
}

TPage* TfrmMain::PageOnDisplay() const {
  const int index = base_->ActivePageIndex();
  if (index < 0 || index >= static_cast<int>(pageList_.size())) return nullptr;
  return pageList_[static_cast<std::size_t>(index)].get();
}

TPage* TfrmMain::SelectedPage() {
  TPage* page = PageOnDisplay();
  if (!page) return nullptr;
  std::erase(shownOrder_, page->PageNo());
  shownOrder_.push_back(page->PageNo());
  // The page on display has its buttons, however its tab came to be selected.
  page->EnsureBuilt();
  return page;
}

std::vector<TPage*> TfrmMain::LongestUnseenFirst() const {
  std::vector<TPage*> order;
  for (const auto& page : pageList_)
    if (page->Built() && std::find(shownOrder_.begin(), shownOrder_.end(), page->PageNo()) == shownOrder_.end())
      order.push_back(page.get());
  for (std::int32_t pageNo : shownOrder_) {
    int index = IndexOfPage(pageNo);  // a page deleted since has none
    if (index >= 0 && pageList_[static_cast<std::size_t>(index)]->Built())
      order.push_back(pageList_[static_cast<std::size_t>(index)].get());
  }
  return order;
}

void TfrmMain::MakeRoom(const TPage& page, std::int32_t windows) {
  const int index = base_->ActivePageIndex();
  const TPage* shown =
      index >= 0 && index < static_cast<int>(pageList_.size()) ? pageList_[static_cast<std::size_t>(index)].get() : nullptr;
  // Counted, not estimated: the dialogs, the menus and the system's windows count too.
  int held = CountWindowsOfProcess(GetCurrentProcessId());
  for (TPage* oldest : LongestUnseenFirst()) {
    if (held + windows <= windowBudget_) return;
    if (oldest == &page || oldest == shown) continue;
    const std::int32_t had = oldest->BtnCount();
    if (oldest->Release()) held -= had;
  }
}

void TfrmMain::DragButton(TPage& page, std::int32_t i, POINT screen) {
  MoveTarget target;
  try {
    target = MoveTargetAt(page, i, screen, *base_, pageList_);
  } catch (const EIniWriteError&) {
    // The other page's file cannot be read now: a release there would move nothing.
  }
  SetCursor(MoveCursor(target.kind));
}

void TfrmMain::DropButton(TPage& page, std::int32_t i, POINT screen) {
  MoveButton(page, i, MoveTargetAt(page, i, screen, *base_, pageList_));
}

void TfrmMain::BaseChange() {
  if (TPage* page = SelectedPage()) page->FitWindow();
  // A page built just now shows the marks of a search running.
  if (search_.Active()) MarkHits();
}

void TfrmMain::SetMainClientSize(int width, int height) {
  pageClient_ = {width, height};
  const int strip = searchStrip_ ? SearchStripHeight() : 0;
  // The search line stays below the page, whose size a turn of the page or a DPI changes.
  if (strip && searchLine_)
    SetWindowPos(searchLine_.get(), HWND_TOP, 0, height, width, strip, SWP_NOACTIVATE);
  RECT r{0, 0, width, height + strip};
  // The frame is the system's, drawn at the DPI the system gives the window.
  AdjustWindowRectExForDpi(&r, kStyle, FALSE, kExStyle, GetDpiForWindow(Handle()));
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::HideMainWindow() { coolTrayIcon1_->HideMainWindow(); }

void TfrmMain::SetShakeSpeed(std::int32_t value) {
  if (value > 0) shake_.shakeSpeed = value;
}

void TfrmMain::SetShakeTime(std::int32_t value) {
  if (value > 0) shake_.shakeTime = value;
}

void TfrmMain::SetUseShake(bool on) {
  popupMenu2_.SetChecked(mnuMouseMove_, on);
  SetTimer1Enabled(on);
}

void TfrmMain::SetTimer1Enabled(bool enabled) {
  timer1Enabled_ = enabled;
  restingPointer_.Stop();
  if (enabled) {
    SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
  } else {
    KillTimer(Handle(), kTimer1);
  }
}

void TfrmMain::RestUntilTheMouseMoves(POINT at) {
  if (!restingPointer_.Start(Handle())) return;  // no raw input here: sampling goes on
  POINT now;
  GetCursorPos(&now);
  // A move between the last reading and the start of the wait would never be told.
  if (now.x != at.x || now.y != at.y) {
    restingPointer_.Stop();
    return;
  }
  KillTimer(Handle(), kTimer1);
}

void TfrmMain::Timer1Timer() {
  POINT now, after;
  GetCursorPos(&now);
  // The launcher counts as hidden while the application's owner window is: right after
  // start the window is on screen and yet counts as hidden until it is first shown.
  bool hidden = !IsWindowVisible(TApplication::Instance().OwnerWindow());
  GetCursorPos(&after);  // a second reading: the one the next tick compares with
  if (!ShakeTick(gesture_, shake_, {now.x, now.y}, {after.x, after.y}, hidden)) {
    // Forty wake-ups a second for a pointer that does not move would only spend power:
    // sampling stops until the mouse moves (WM_INPUT), when the gesture decides exactly
    // as if it had gone on.
    if (ShakeAtRest(gesture_, shake_, {after.x, after.y})) RestUntilTheMouseMoves(after);
    return;
  }
  RECT r;
  GetWindowRect(Handle(), &r);
  // Centred on the pointer, as far as the work area lets it be: the window may be on
  // screen already (right after start), where showing it moves nothing.
  WINDOWPOS pos{};
  pos.x = now.x - (r.right - r.left) / 2;
  pos.y = now.y - (r.bottom - r.top) / 2;
  pos.flags = SWP_NOSIZE;
  KeepInWorkArea(pos);
  SetWindowPos(Handle(), nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowLauncherWithoutTheKey();
  FocusLastButton();
}

void TfrmMain::ShowLauncher() {
  // A server that had no icons for some buttons the last time may have them now.
  AskAgainForMissingGlyphs();
  // A target removed while the launcher was away shows dimmed when it comes.
  if (TPage* page = PageOnDisplay()) page->CheckTargets();
  coolTrayIcon1_->ShowMainWindow();
  // A question of ours is up (its scope disabled the launcher): it comes to the front and
  // keeps the keyboard, or its Enter and Esc would go to a window that cannot take them.
  if (!IsWindowEnabled(Handle())) {
    HWND front = GetLastActivePopup(Handle());
    for (HWND next; front && !IsWindowEnabled(front) && (next = GetLastActivePopup(front)) != front;) front = next;
    BringToFront(front ? front : Handle());
    return;
  }
  // A key caught by a hook or the shake of the mouse gave our process no input of its
  // own, and the foreground lock may have refused the window.
  BringToFront(Handle());
  FocusLastButton();
}

void TfrmMain::ShowLauncherWithoutTheKey() {
  // The user may have taken another way because the show key stopped working: Windows
  // drops a keyboard hook that answered too late without a word. It goes up again.
  waitHotKey_.RenewHook();
  ShowLauncher();
}

void TfrmMain::FocusLastButton() {
  TPage* page = SelectedPage();
  if (!page || page->BtnCount() == 0) {
    SetFocus(Handle());
    return;
  }
  // Space or Enter then opens what the user last used. The first button, not used yet,
  // does not become the current one: the menu's commands still want a button chosen.
  if (page->Button(page->CurrentBtn()))
    FocusButton(*page, page->CurrentBtn());
  else
    SetFocus(page->Button(1)->Handle());
}

void TfrmMain::FocusButton(TPage& page, std::int32_t i) {
  TLaunchBtn* button = page.Button(i);
  if (!button) return;
  page.SetCurrentBtn(i);
  SetFocus(button->Handle());
}

std::int32_t TfrmMain::FocusedButton(TPage& page) const {
  const HWND focus = GetFocus();
  for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
    if (page.Button(i)->Handle() == focus) return i;
  return 0;
}

bool TfrmMain::LauncherKey(const MSG& msg) {
  // Every message of the loop comes here (the mouse watch's ticks too): keys only.
  switch (msg.message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      break;
    default:
      return false;
  }
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  // A drag holds the keys: its button takes Esc to call it off and swallows the rest.
  if (const TPage* page = PageOnDisplay(); page && page->Dragging()) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const auto key = static_cast<UINT>(msg.wParam);
  switch (msg.message) {
    case WM_CHAR:
      // Letters, digits and signs, also what the input method gives; control characters
      // (Enter, Tab, Ctrl with a letter) and Space before a search are keys, not text.
      if (msg.wParam <= 0x20 || msg.wParam == 0x7F) return false;
      SearchType(static_cast<wchar_t>(msg.wParam));
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Taken with their press: the default handling would open the menu a second time
      // (the menu key) or go into the system menu (F10).
      return key == VK_APPS || (key == VK_F10 && shift);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      break;
    default:
      return false;
  }
  if (key == VK_APPS || (key == VK_F10 && shift && !ctrl && !alt)) {
    ShowMenuOfFocusedButton();
    return true;
  }
  if (alt) return false;
  if (ctrl) {
    if (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR) {
      TurnPage(key == VK_PRIOR || (key == VK_TAB && shift) ? -1 : 1);
      return true;
    }
    return false;
  }
  return LauncherKeyDown(key);
}

bool TfrmMain::LauncherKeyDown(UINT key) {
  switch (key) {
    case VK_ESCAPE:
      // A search first; the launcher hides at the next Esc.
      if (!search_.Active()) return false;
      ClearSearch();
      return true;
    case VK_BACK:
      if (!search_.Active()) return false;
      search_.Backspace();
      ShowSearch();
      return true;
    case VK_TAB:
      // Between the page strip and the grid.
      if (GetFocus() == base_->Handle())
        FocusLastButton();
      else
        SetFocus(base_->Handle());
      return true;
    default:
      break;
  }
  // The strip keeps its own keys: the arrows choose a tab there.
  if (GetFocus() == base_->Handle()) return false;
  TPage* page = SelectedPage();
  switch (key) {
    case VK_SPACE:
      // Inside a search a blank is part of the name; Enter opens the hit.
      if (!search_.Active()) return false;
      SearchType(0x20);
      return true;
    case VK_RETURN:
      // A search that found nothing opens nothing, whichever button has the focus.
      return search_.Active() && search_.Hits().empty();
    case VK_UP:
    case VK_DOWN:
      if (search_.Active()) {
        if (key == VK_DOWN)
          search_.Next();
        else
          search_.Previous();
        ShowSearch();
        return true;
      }
      MoveFocus(key == VK_DOWN ? GridMove::Down : GridMove::Up);
      return true;
    case VK_LEFT:
      MoveFocus(GridMove::Left);
      return true;
    case VK_RIGHT:
      MoveFocus(GridMove::Right);
      return true;
    case VK_HOME:
      MoveFocus(GridMove::First);
      return true;
    case VK_END:
      MoveFocus(GridMove::Last);
      return true;
    case VK_DELETE:
      if (!page) return false;
      if (std::int32_t i = FocusedButton(*page)) {
        page->SetCurrentBtn(i);
        D1Click();
      }
      return true;
    default:
      return false;
  }
}

void TfrmMain::MoveFocus(GridMove move) {
  TPage* page = SelectedPage();
  if (!page || page->BtnCount() == 0) return;
  const std::int32_t from = FocusedButton(*page);
  // From outside the grid (the window itself), the first move lands on the last used.
  if (from == 0) {
    FocusLastButton();
    return;
  }
  // A page whose build ran out of windows part way has fewer buttons than its grid.
  FocusButton(*page, std::min(GridStep(page->Grid(), from, move), page->BtnCount()));
}

void TfrmMain::TurnPage(int delta) {
  const int count = base_->SheetCount();
  if (count == 0) return;
  base_->SetActivePageIndex(((base_->ActivePageIndex() + delta) % count + count) % count);
  BaseChange();
  FocusLastButton();
}

void TfrmMain::ShowMenuOfFocusedButton() {
  TPage* page = SelectedPage();
  const std::int32_t i = page ? FocusedButton(*page) : 0;
  RECT r{};
  if (i > 0) {
    page->SetCurrentBtn(i);
    GetWindowRect(page->Button(i)->Handle(), &r);
  } else {
    GetWindowRect(base_->Handle(), &r);
  }
  // At the button, where the user's eyes are, not at a pointer that may be anywhere.
  PopupPageMenu(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void TfrmMain::PopupPageMenu(POINT at) {
  SetForegroundWindow(Handle());
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  for (int item : boundButtonItems_) popupMenu1_.SetEnabled(item, button && button->Regist());
  popupMenu1_.Popup(at.x, at.y);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TfrmMain::SearchType(wchar_t c) {
  if (!search_.Active()) {
    // The pages as they stand now, the one on display first: its hits come first.
    std::vector<std::shared_ptr<const FoldedPage>> pages;
    const int shown = std::max(0, base_->ActivePageIndex());
    const std::size_t count = pageList_.size();
    ini_.Update([&] {  // the file looked at once, not once for each page
      for (std::size_t k = 0; k < count; ++k)
        pages.push_back(pageList_[(static_cast<std::size_t>(shown) + k) % count]->SearchTexts());
    });
    search_.Begin(std::move(pages));
  }
  search_.Type(c);
  ShowSearch();
}

void TfrmMain::ShowSearch() {
  if (std::optional<SearchHit> hit = search_.Current()) {
    const int index = IndexOfPage(hit->pageNo);  // a page deleted since has none
    if (index >= 0) {
      if (index != base_->ActivePageIndex()) {
        base_->SetActivePageIndex(index);
        BaseChange();
      }
      if (TPage* page = SelectedPage()) FocusButton(*page, hit->btnIndex);
    }
  }
  MarkHits();
  const std::wstring line = SearchLine();
  if (line.empty()) {
    HideSearchLine();
    return;
  }
  if (!searchLine_) {
    searchLine_.reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE,
                                      0, 0, 0, 0, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!searchLine_) return;  // the search works on without its line
    SendMessageW(searchLine_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(baseFont_.get()), FALSE);
  }
  SetWindowTextW(searchLine_.get(), (L" " + line).c_str());
  if (!searchStrip_) {
    // A strip of its own below the grid, so that it hides no button: the window grows by
    // it while the search runs.
    searchStrip_ = true;
    SetMainClientSize(pageClient_.cx, pageClient_.cy);
  }
  ShowWindow(searchLine_.get(), SW_SHOWNA);
  InvalidateRect(searchLine_.get(), nullptr, TRUE);
}

int TfrmMain::SearchStripHeight() const { return DesignToDevice(kTabRowHeight, DpiOf(Handle())); }

void TfrmMain::HideSearchLine() {
  if (searchLine_) ShowWindow(searchLine_.get(), SW_HIDE);
  if (!searchStrip_) return;
  searchStrip_ = false;
  SetMainClientSize(pageClient_.cx, pageClient_.cy);
}

std::wstring TfrmMain::SearchLine() const {
  if (!search_.Active()) return {};
  std::wstring line = L"検索: " + search_.Query() + L"  ";
  if (search_.Hits().empty()) return line + L"見つかりません";
  return line + DecimalText(static_cast<std::int32_t>(search_.Position() + 1)) + L"/" +
         DecimalText(static_cast<std::int32_t>(search_.Hits().size()));
}

void TfrmMain::ClearSearch() {
  if (!search_.Active()) return;
  search_.Clear();
  MarkHits();
  HideSearchLine();
}

void TfrmMain::MarkHits() {
  // Only built pages have buttons to mark; a page built later is marked by BaseChange.
  // Each button is set once: one cleared and marked again would be painted for nothing.
  const std::vector<SearchHit>& hits = search_.Hits();
  std::vector<char> marked;
  for (auto& page : pageList_) {
    if (!page->Built()) continue;
    marked.assign(static_cast<std::size_t>(page->BtnCount()), 0);
    for (const SearchHit& hit : hits)
      if (hit.pageNo == page->PageNo() && hit.btnIndex >= 1 && hit.btnIndex <= page->BtnCount())
        marked[static_cast<std::size_t>(hit.btnIndex - 1)] = 1;
    for (std::int32_t i = 1; i <= page->BtnCount(); ++i)
      page->Button(i)->SetMarked(marked[static_cast<std::size_t>(i - 1)] != 0);
  }
}

void TfrmMain::KeepInWorkArea(WINDOWPOS& pos) const {
  RECT r;
  GetWindowRect(Handle(), &r);
  int width = (pos.flags & SWP_NOSIZE) ? r.right - r.left : pos.cx;
  int height = (pos.flags & SWP_NOSIZE) ? r.bottom - r.top : pos.cy;
  int x = (pos.flags & SWP_NOMOVE) ? r.left : pos.x;
  int y = (pos.flags & SWP_NOMOVE) ? r.top : pos.y;
  RECT at{x, y, x + width, y + height};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  // Wholly inside; a window larger than the work area keeps its top left corner in it.
  pos.x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  pos.y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  pos.flags &= ~SWP_NOMOVE;
}

namespace {

// Refuses, before anything changes, a text that cannot be the key.
void RequireHotKeyText(std::wstring_view text, bool systemWide) {
  if (std::wstring why = HotKeyTextRefusal(text, systemWide); !why.empty()) throw EWaitHotKey_Text(why);
}

}  // namespace

void TfrmMain::SetShowHotKey(std::wstring_view text) {
  RequireHotKeyText(text, true);
  waitHotKey_.SetHotKey(text);
  waitHotKey_.RegisterKey();
}

void TfrmMain::SetHideHotKey(std::wstring_view text) {
  // Only a key that other programs do not type with may become system-wide.
  RequireHotKeyText(text, false);
  waitHotKey1_.SetHotKey(text);
  const TKeyAssign& key = waitHotKey1_.KeyAssign();
  const bool bare = !key.hkShift() && !key.hkCtrl() && !key.hkAlt() && !key.hkWinKey();
  localHideKey_ = 0;
  localHideShift_ = key.hkShift();
  if (bare || TypesInOtherPrograms(ParseHotKeyText(text))) {
    // A key without modifiers (Esc, F5) or one that types (Shift+A), registered
    // system-wide, would be taken from every other program for as long as the launcher
    // runs: it hides the launcher only while the launcher has the keyboard focus, as a
    // shortcut of the window.
    waitHotKey1_.UnregisterKey();
    localHideKey_ = key.KeyCode();
  } else {
    waitHotKey1_.RegisterKey();
  }
}

void TfrmMain::ReleaseHotKeys() {
  waitHotKey_.UnregisterKey();
  waitHotKey1_.UnregisterKey();
  localHideKey_ = 0;
}

bool TfrmMain::IsLocalHideKey(const MSG& msg) const {
  if (localHideKey_ == 0 || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  if (msg.wParam != static_cast<WPARAM>(localHideKey_)) return false;
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  // With another modifier held it is another key (Shift+Esc), not the hide key.
  if ((GetKeyState(VK_SHIFT) < 0) != localHideShift_) return false;
  for (int modifier : {VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) {
    if (GetKeyState(modifier) < 0) return false;
  }
  return waitHotKey1_.Enabled();
}

void TfrmMain::D1Click() {
  TPage* page = SelectedPage();
  // No button pressed on this page yet, or one beyond a grid that has shrunk since.
  if (!page || !page->Button(page->CurrentBtn())) return;
  const std::int32_t pageNo = page->PageNo(), i = page->CurrentBtn();
  if (ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelBtn, keys::kAskBeforeDelBtnDefault) &&
      !Confirm(L"このボタンを削除してよろしいですか？"))
    return;
  // Messages ran while the question was up: take the page and its button afresh.
  int index = IndexOfPage(pageNo);
  page = index < 0 ? nullptr : pageList_[static_cast<std::size_t>(index)].get();
  TLaunchBtn* button = page ? page->Button(i) : nullptr;
  if (!button) return;
  button->ClearButton();
  ClearSearch();
  page->ClearButtonKeys(i);
  button->SetCaption(L"");
}

void TfrmMain::SetDialogs(TfrmBtnOption* btnOption, TfrmPageOption* pageOption, TfrmAbout* about,
                          TfrmSetting* setting) {
  frmBtnOption_ = btnOption;
  frmPageOption_ = pageOption;
  frmAbout_ = about;
  frmSetting_ = setting;
}

std::optional<TBtnOptionHost::ButtonRef> TfrmMain::CurrentButton() {
  TPage* page = SelectedPage();
  // No button pressed on this page yet, or one beyond a grid that has shrunk since.
  if (!page || !page->Button(page->CurrentBtn())) return std::nullopt;
  return ButtonRef{page->PageNo(), page->CurrentBtn()};
}

TLaunchBtn* TfrmMain::FindButton(const ButtonRef& ref) {
  int index = IndexOfPage(ref.pageNo);
  if (index < 0) return nullptr;
  TPage& page = *pageList_[static_cast<std::size_t>(index)];
  // Released for room while the dialog was open: built again, so that the edit lands.
  page.EnsureBuilt();
  return page.Button(ref.btnIndex);
}

void TfrmMain::SaveButtons(std::int32_t pageNo) {
  int index = IndexOfPage(pageNo);
  if (index >= 0) pageList_[static_cast<std::size_t>(index)]->SaveButtons();
}

void TfrmMain::N4Click() {
  if (!frmBtnOption_) return;
  // Already open, it turns to the current button, or keeps its own when there is none;
  // else there must be a button to edit.
  if (!frmBtnOption_->Visible() && !CurrentButton()) {
    ShowMessage(L"ボタンが選ばれていません。ボタンを右クリックしてから「ボタンのプロパティ」を選んでください");
    return;
  }
  frmBtnOption_->Open();
  if (!frmBtnOption_->Visible()) return;  // its showing failed, and said why
  ShowWindow(Handle(), SW_SHOW);
  BringToFront(frmBtnOption_->Handle());
}

void TfrmMain::OpenFolderClick() {
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  if (!button || !button->Regist()) return;
  if (!ShowInFolder(button->FullPath())) return;
  if (ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault))
    coolTrayIcon1_->HideMainWindow();
}

void TfrmMain::RunAsClick() {
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  if (!button || !button->Regist()) return;
  // A target that is gone is said instead; the consent prompt runs messages, and the
  // button may be gone after it.
  if (!button->Open(true) || button->Dimmed()) return;
  if (ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault))
    coolTrayIcon1_->HideMainWindow();
}

std::optional<TPageOptionHost::PageRef> TfrmMain::CurrentPage() {
  TPage* page = SelectedPage();
  if (!page) return std::nullopt;
  return PageRef{page->PageNo(), base_->ActivePageIndex()};
}

std::optional<std::int32_t> TfrmMain::CountRegistered(std::int32_t pageNo) {
  int index = IndexOfPage(pageNo);
  if (index < 0) return std::nullopt;
  return pageList_[static_cast<std::size_t>(index)]->CountRegistered();
}

void TfrmMain::RebuildPage(std::int32_t pageNo, const std::wstring& caption) {
  // By number: a page deleted since is left alone, and one deleted before it moved its tab.
  int index = IndexOfPage(pageNo);
  if (index < 0) return;
  TPage& page = *pageList_[static_cast<std::size_t>(index)];
  ClearSearch();
  page.LoadHeader();
  // A page released for room since the dialog opened takes the new header now and its
  // buttons when it is next shown.
  if (page.Built()) {
    page.BuildButtons();
    page.ApplyFonts();
    page.ApplyShowType(DecimalText(pageNo));
  }
  base_->SetCaption(index, caption);
  // Another tab selected meanwhile keeps the window at its own page's size.
  BaseChange();
  coolTrayIcon1_->HideMainWindow();
  ShowLauncher();
}

void TfrmMain::N5Click() {
  // Already open, it keeps the page it has; else there must be a page to edit.
  if (!frmPageOption_ || (!frmPageOption_->Visible() && !SelectedPage())) return;
  frmPageOption_->Show();
  if (!frmPageOption_->Visible()) return;  // its showing failed, and said why
  ShowWindow(Handle(), SW_SHOW);
  BringToFront(frmPageOption_->Handle());
}

void TfrmMain::About1Click() {
  if (!frmAbout_) return;
  frmAbout_->Show();
  BringToFront(frmAbout_->Handle());
}

void TfrmMain::SettingClick() {
  if (!frmSetting_) return;
  frmSetting_->Show();
  BringToFront(frmSetting_->Handle());
}

void TfrmMain::N2Click() {
  ClearSearch();  // its hits were taken over the pages as they were
  NewPage();
  BaseChange();
}

void TfrmMain::N3Click() {
  int index = base_->ActivePageIndex();
  if (index < 0) return;
  if (index == 0) {
    ShowMessage(L"このページは削除できません");
    return;
  }
  const std::int32_t pageNo = pageList_[static_cast<std::size_t>(index)]->PageNo();
  if (ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelPage, keys::kAskBeforeDelPageDefault) &&
      !Confirm(L"このページを削除してよろしいですか？"))
    return;
  // Messages ran while the question was up: find the page's tab afresh. The first tab
  // stays, whichever page holds it now.
  index = IndexOfPage(pageNo);
  if (index <= 0) return;
  ini_.WriteBool(keys::PageSection(pageNo), keys::kLive, false);
  ClearSearch();
  pageList_.erase(pageList_.begin() + index);  // no longer live: it writes nothing more
  base_->DeleteSheet(index);
  BaseChange();
}

void TfrmMain::Help1Click() {
  const PathString help = ProgramFolder() + L"\\help\\help.htm";
  ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOW);
}

void TfrmMain::Exit1Click() { TApplication::Instance().Terminate(); }
void TfrmMain::Show1Click() { ShowLauncherWithoutTheKey(); }
void TfrmMain::Hide1Click() { coolTrayIcon1_->HideMainWindow(); }

void TfrmMain::mnuMouseMoveClick() {
  popupMenu2_.SetChecked(mnuMouseMove_, !popupMenu2_.Checked(mnuMouseMove_));
  SetTimer1Enabled(popupMenu2_.Checked(mnuMouseMove_));  // nothing is written to the file
}

void TfrmMain::SaveAtEndSession() noexcept {
  // Windows is ending the session: each step saves what it can, and a refused write
  // neither stops the others nor shows a box that would hold up the log-off.
  auto attempt = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  RECT r;
  GetWindowRect(Handle(), &r);
  // One write of the file for all pages, as at exit.
  attempt([&] {
    ini_.Update([&] {
      for (auto& page : pageList_) {
        attempt([&] { page->SaveButtons(); });
        attempt([&] { page->SaveHeader(); });
        if (takenUp_) attempt([&] { WriteGeneral(r); });
      }
    });
  });
}

bool TfrmMain::IsInsideBase(HWND hwnd) const {
  return hwnd == base_->Handle() || IsChild(base_->Handle(), hwnd);
}

void TfrmMain::PutUpTrayIcon() {
  if (coolTrayIcon1_->IconVisible()) return;
  coolTrayIcon1_->SetIcon(UniqueIcon(static_cast<HICON>(
      // The notification area draws at the system's DPI, wherever the window is.
      LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, GetSystemMetricsForDpi(SM_CXSMICON, SystemDpi()),
                 GetSystemMetricsForDpi(SM_CYSMICON, SystemDpi()), 0))));
  coolTrayIcon1_->SetIconVisible(true);
}

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kPutUpTrayIcon:
      PutUpTrayIcon();
      return 0;
    case WM_CLOSE:
      coolTrayIcon1_->HideMainWindow();
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) ClearSearch();  // called up again, the launcher starts afresh
      break;
    case WM_ACTIVATE: {
      const LRESULT result = TWindow::HandleMessage(msg, wParam, lParam);
      // Activated, the keyboard belongs in the grid unless it was in the strip.
      if (base_ && LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && !IsInsideBase(GetFocus())) FocusLastButton();
      return result;
    }
    case WM_CTLCOLORSTATIC:
      if (searchLine_ && reinterpret_cast<HWND>(lParam) == searchLine_.get()) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
      }
      break;
    case WM_DPICHANGED:
      DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_WINDOWPOSCHANGING:
      // Whenever it is shown: a stored or earlier place may lie on a monitor that is gone
      // or beyond a lowered resolution, where nobody could see the window. And whenever it
      // changes size on screen (a larger page, the search's strip), so that no part of it
      // goes below the taskbar.
      if (const UINT flags = reinterpret_cast<WINDOWPOS*>(lParam)->flags;
          (flags & SWP_SHOWWINDOW) || (!(flags & SWP_NOSIZE) && IsWindowVisible(Handle())))
        KeepInWorkArea(*reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_NOTIFY:
      if (base_ && base_->Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
      break;
    case WM_CONTEXTMENU:
      if (IsInsideBase(reinterpret_cast<HWND>(wParam))) {
        if (lParam == -1) {  // from the keyboard
          ShowMenuOfFocusedButton();
          return 0;
        }
        POINT at;
        GetCursorPos(&at);
        PopupPageMenu(at);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        CloseWindow(TApplication::Instance().OwnerWindow());
        return 0;
      }
      if (wParam == kCloseCommand) SendMessageW(Handle(), WM_CLOSE, 0, 0);
      break;
    case WM_TIMER:
      if (wParam == kTimer1) {
        Timer1Timer();
        return 0;
      }
      if (wParam == kTakeUpTimer) {
        TakeUpTheFile();
        return 0;
      }
      break;
    case WM_INPUT:
      if (restingPointer_.Moved() && timer1Enabled_) SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
      break;  // DefWindowProc frees the input
    case WM_QUERYENDSESSION:
      SaveAtEndSession();
      SetTimer1Enabled(false);
      return TRUE;  // never refused: a failed save must not keep Windows from going on
    case WM_ENDSESSION:
      // The shut-down or log-off was cancelled: the watch runs again as its menu says.
      if (!wParam) SetTimer1Enabled(popupMenu2_.Checked(mnuMouseMove_));
      return 0;
    default:
      break;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
