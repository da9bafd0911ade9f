#include "app/frm_main.h"

#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>

#include "app/button_move.h"
#include "app/call_up_notes.h"
#include "app/call_up_place.h"
#include "app/foreground_return.h"
#include "app/target_sweep.h"
#include "buttons/glyph_cache.h"
#include "core/file_io.h"
#include "core/page_numbers.h"
#include "core/path_text.h"
#include "core/settings_keys.h"
#include "gui/application.h"
#include "gui/layout.h"
#include "gui/message_box.h"
#include "gui/message_dialog.h"
#include "gui/platform/foreground.h"
#include "gui/platform/start_phases.h"
#include "gui/platform/work_area.h"
#include "gui/theme.h"

namespace vl {
namespace {

namespace keys = settings;

constexpr UINT kPutUpTrayIcon = WM_APP;

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

TfrmMain::TfrmMain() : ini_(SettingsFilePath()), firstStart_(NoSettingsFile()) {
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
  // A second copy started by the user calls this one up, even when this one runs elevated.
  ChangeWindowMessageFilterEx(Handle(), CallUpMessage(), MSGFLT_ALLOW, nullptr);
  const int dpi = DpiOf(Handle());
  SetMainClientSize(DesignToDevice(338, dpi), DesignToDevice(117, dpi));
  TApplication::Instance().SetMainForm(Handle());
  MarkStartPhase("main window");

  movedTip_ = std::make_unique<TTrackTip>(Handle());  // before anything calls BaseChange
  baseFont_ = MakeFont(BaseFontDesc(), dpi);
  base_ = std::make_unique<TPageControlEx>(Handle(), 0, 0, DesignToDevice(338, dpi), DesignToDevice(117, dpi),
                                           baseFont_.get());
  base_->OnChange = [this] { BaseChange(); };
  pages_ = std::make_unique<TPageSet>(*this, *base_, ini_);
  search_ = std::make_unique<TLauncherSearch>(*this, Handle(), baseFont_.get(), *pages_, *base_, ini_);
  ime_ = std::make_unique<TSearchIme>(Handle(), *base_, *search_);
  keyboard_ = std::make_unique<TKeyboardGrid>(*this, Handle(), *pages_, *base_, *search_, *ime_);
  shakeWatch_ = std::make_unique<TShakeWatch>(Handle());
  shakeWatch_->OnShake = [this](POINT pointer) { ShowLauncherWithoutTheKey(pointer); };
  place_ = std::make_unique<TCallUpPlace>(Handle());
  giveBack_ = std::make_unique<TForegroundReturn>(Handle());
  sweep_ = std::make_unique<TTargetSweep>(Handle(), *pages_);
  undo_ = std::make_unique<TUndoStep>(ini_, *pages_);
  takeover_ = std::make_unique<TFileTakeover>(Handle(), ini_);
  takeover_->OnReadable = [this] { TakeUpTheFile(); };
  takeover_->OnLook = [this] { TakeUpOutsideChange(); };
  transfer_ = std::make_unique<TPageTransfer>(Handle(), ini_, *pages_, *base_);
  shellDrop_ = std::make_unique<TShellDrop>(Handle());
  BuildMenus();
  MarkStartPhase("tab strip and menus");

  coolTrayIcon1_ = std::make_unique<TCoolTrayIcon>(Handle());
  coolTrayIcon1_->PopupMenu = &popupMenu2_;
  coolTrayIcon1_->MinimizeToTray = true;
  coolTrayIcon1_->OnClick = [this](TCoolTrayIcon&) {
    if (IsWindowVisible(Handle())) keyboard_->FocusLastButton();
  };
  coolTrayIcon1_->OnDblClick = [this](TCoolTrayIcon&) { ShowLauncherWithoutTheKey(); };
  // Putting the icon up is a round trip to the shell that the user's first look at the
  // launcher need not wait for: it comes once the window is painted.
  PostMessageW(Handle(), kPutUpTrayIcon, 0, 0);
  MarkStartPhase("tray icon object");

  keys_ = std::make_unique<TShowHideKeys>(Handle(), ini_);
  keys_->OnShow = [this] { CallUp(); };
  keys_->OnHide = [this] { PutAway(); };
  keys_->KeysHeld = [this] { return Dragging() || ime_->Composing(); };

  takeover_->WaitAtStart();
  MarkStartPhase("settings file read");
  try {
    FormCreate();
  } catch (...) {
    // The rest of the creation step is skipped; the window opens all the same.
    TApplication::Instance().ShowCurrentException();
  }
  MarkStartPhase("settings and pages");
  keys_->Register();
  RenewTrayTip();
  MarkStartPhase("hot keys");
  // Shown once, when it is built: at its place, at the selected page's size.
  ShowWindow(Handle(), SW_SHOWNORMAL);
  BringToFront(Handle());
  MarkStartPhase("shown");
}

void TfrmMain::DpiChanged(int dpi, const RECT& suggested) {
  FollowDpi(dpi);
  // The place the system suggests keeps the window's physical size on the new monitor;
  // the grid's own size at the new DPI follows from BaseChange, to the pixel.
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  UniqueFont font = MakeFont(BaseFontDesc(), dpi);
  SendMessageW(base_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  search_->SetFont(font.get());
  baseFont_ = std::move(font);  // the strip and the search line have let go of the old one
  SetMenuImages();
  for (const auto& page : pages_->List()) page->FollowDpi();
  BaseChange();
}

void TfrmMain::TakeUpTheFile() {
  // Filled from defaults, or editing the stand-in page that goes now.
  for (TDialogForm* dialog : std::initializer_list<TDialogForm*>{frmBtnOption_, frmPageOption_, frmSetting_})
    if (dialog) dialog->Hide();
  ClearPages();  // the stand-in read nothing and writes nothing
  try {
    FormCreate();
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
  }
  keys_->Release();
  keys_->Register();
  RenewTrayTip();
}

void TfrmMain::ClearPages() {
  search_->Clear();
  pages_->Clear();
}

void TfrmMain::FormCreate() {
  const std::uint64_t missed = ini_.MissedReads();
  // One look at the file for all of it, the way it stood at one moment.
  ini_.Update([&] {
    settingsTakenUp_ = ReadAppliedSettings();
    popupMenu2_.SetChecked(mnuMouseMove_, settingsTakenUp_.useShake);
    shakeWatch_->SetEnabled(settingsTakenUp_.useShake);
    pages_->SetPageNum(ini_.ReadInteger(keys::kGeneral, keys::kPageNum, keys::kPageNumDefault));
    placeTakenUp_ = settingsTakenUp_.place;
    place_->Forget();
    place_->SetAtPointer(settingsTakenUp_.atPointer);
    SetWindowPos(Handle(), nullptr, placeTakenUp_.x, placeTakenUp_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The setters' rule: 0 and below are no values. A speed of 0 would take a still pointer
    // for a swing and call the launcher up again the moment it is hidden.
    shakeWatch_->ResetParams();
    StartTheme(ThemeChoiceOf(ini_.ReadInteger(keys::kSetting, keys::kTheme, keys::kThemeDefault)));
    SetShakeSpeed(settingsTakenUp_.shakeSpeed);
    SetShakeTime(settingsTakenUp_.shakeTime);
    // The live pages up to "PageNum", in number order, found among the sections the file
    // holds: the file bounds the work, whatever number "PageNum" says.
    for (std::int32_t n : PageNumbersOf(ini_.ReadSections())) {
      if (n > pages_->PageNum()) break;
      if (ini_.ReadBool(keys::PageSection(n), keys::kLive, keys::kLiveDefault))
        pages_->Add(n, L"", TPage::Build::WhenShown);  // built when its tab is first selected
    }
  });
  if (ini_.MissedReads() != missed) {
    // The file is there and cannot be read (held by another program): all of the above
    // are defaults, and none of it may ever be written over the file. A stand-in page
    // that writes nothing until the file reads; then the launcher takes it up.
    ClearPages();
    pages_->Add(1, L"UNSAVED");
    BaseChange();
    takeover_->Settle(false);
    throw EVantriError(PathText(ini_.FileName()) +
                       L" を読めません。読めるようになりしだい読み込みます。それまでの変更は保存されません");
  }
  takeover_->Settle(true);
  // A first start, or a file without a live page: a new page comes, so that there is
  // always a tab to drop on (and the strip can never be empty).
  if (pages_->List().empty()) {
    try {
      pages_->AddNew();
    } catch (const EIniWriteError&) {
      // Nothing can be written beside the program: the launcher still opens with a page
      // to work with for this run, and the refusal is shown once, by the caller.
      if (pages_->List().empty()) {
        pages_->SetPageNum(NextPageNumber(pages_->PageNum(), PageNumbersOf(ini_.ReadSections())).value_or(1));
        pages_->Add(pages_->PageNum(), L"UNSAVED");
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
      if (takeover_->TakenUp()) WriteGeneral(r);
      pages_->Clear();  // each live page writes its buttons back
    });
  } catch (const EIniWriteError&) {
    if (!refusalShown) TApplication::Instance().ShowCurrentException();
  } catch (...) {
    TApplication::Instance().ShowCurrentException();
  }
  pages_->Clear();  // the pages left when a write stopped the above
  coolTrayIcon1_.reset();
  TApplication::Instance().SetMainForm(nullptr);
}

void TfrmMain::WriteGeneral(const RECT& window) {
  // Another program may have added a page since the number was read: a lower number
  // written back would hide that page at the next start.
  const std::int32_t onDisk = ini_.ReadInteger(keys::kGeneral, keys::kPageNum, keys::kPageNumDefault);
  ini_.WriteInteger(keys::kGeneral, keys::kPageNum, std::max(pages_->PageNum(), onDisk));
  // The place when the user moved the window since the file was taken up, or the file has
  // none: otherwise the file may hold the place another PC wrote meanwhile.
  const bool placed = ini_.ReadString(keys::kGeneral, keys::kFormTop, L"").empty() ||
                      ini_.ReadString(keys::kGeneral, keys::kFormLeft, L"").empty();
  const POINT own = place_->OwnPlace(window);  // not where a showing at the pointer put it
  if (placed || own.x != placeTakenUp_.x || own.y != placeTakenUp_.y) {
    ini_.WriteInteger(keys::kGeneral, keys::kFormTop, own.y);
    ini_.WriteInteger(keys::kGeneral, keys::kFormLeft, own.x);
  }
}

void TfrmMain::DragButton(TPage& page, std::int32_t i, POINT screen) {
  MoveTarget target;
  try {
    target = MoveTargetAt(page, i, screen, *base_, pages_->List());
  } catch (const EIniWriteError&) {
    // The other page's file cannot be read now: a release there would move nothing.
  }
  dropLight_.Follow(pages_->List(), target);
  SetCursor(MoveCursor(target.kind));
}

void TfrmMain::DragCalledOff() { dropLight_.Off(pages_->List()); }

void TfrmMain::DropButton(TPage& page, std::int32_t i, POINT screen) {
  dropLight_.Off(pages_->List());
  const MoveTarget target = MoveTargetAt(page, i, screen, *base_, pages_->List());
  // A release that moves nothing (a full page, outside, back on itself) writes nothing:
  // nothing to keep for an undo, no hits to find again.
  if (target.kind != MoveTarget::kSwap && target.kind != MoveTarget::kToPage) {
    MoveButton(page, i, target);
    return;
  }
  // What the move may write: any button of a built page, the one it takes on a page not built.
  std::vector<IniKey> keys = ButtonKeys(page.PageNo(), 1, page.BtnCount());
  if (target.page && target.page != &page) {
    const std::int32_t to = target.page->PageNo();
    for (IniKey& at : target.page->Built() ? ButtonKeys(to, 1, target.page->BtnCount())
                                           : ButtonKeys(to, target.button))
      keys.push_back(std::move(at));
  }
  undo_->Before(L"ボタンの移動 (" + NameOf(*page.Button(i)) + L")", std::move(keys));
  const std::uint64_t to = target.kind == MoveTarget::kToPage ? target.page->Id() : 0;
  MoveButton(page, i, target);
  undo_->Landed();
  // The hits were found at the buttons' old places.
  search_->Renew();
  if (TPage* went = to ? pages_->FindId(to) : nullptr)
    SayMoved(*movedTip_, *base_, pages_->IndexOf(went->PageNo()), went->Sheet().Caption());
}

void TfrmMain::BaseChange() {
  // The word on where a button went names a tab that a change of pages may have taken.
  movedTip_->Hide();
  if (TPage* page = pages_->Selected()) page->FitWindow();
  dropHint_.Renew(pages_->List());
  // A page built just now shows the marks of a search running.
  if (search_->Active()) search_->MarkHits();
}

void TfrmMain::SetMainClientSize(int width, int height) {
  // The first sizing, right after the window is made, comes before the search exists.
  const int strip = search_ ? search_->PlaceBelowPage(width, height) : 0;
  RECT r{0, 0, width, height + strip};
  // The frame is the system's, drawn at the DPI the system gives the window.
  AdjustWindowRectExForDpi(&r, kStyle, FALSE, kExStyle, GetDpiForWindow(Handle()));
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::HideMainWindow() { coolTrayIcon1_->HideMainWindow(); }

bool TfrmMain::OnDisplay(const TPage& page) const { return pages_->OnDisplay() == &page; }

void TfrmMain::ButtonsChanged() {
  search_->Renew();
  dropHint_.Renew(pages_->List());
}

bool TfrmMain::Dragging() const {
  const TPage* page = pages_->OnDisplay();
  return page && page->Dragging();
}

void TfrmMain::SetUseShake(bool on) {
  popupMenu2_.SetChecked(mnuMouseMove_, on);
  shakeWatch_->SetEnabled(on);
}

void TfrmMain::CallUp(std::optional<POINT> shake) {
  // Before the launcher takes the front: the window to give the keyboard back to.
  giveBack_->Remember();
  place_->BeforeShow(shake);
  ShowLauncher();
}

void TfrmMain::PutAway() {
  // While the launcher is still in front, which gives it the right to hand the front on.
  giveBack_->GiveBack();
  coolTrayIcon1_->HideMainWindow();
}

void TfrmMain::ShowLauncher() {
  // A server that had no icons for some buttons the last time may have them now.
  AskAgainForMissingGlyphs();
  coolTrayIcon1_->ShowMainWindow();
  // A target removed while the launcher was away dims, looked at once the window shows.
  sweep_->Start();
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
  keyboard_->FocusLastButton();
}

void TfrmMain::ShowLauncherWithoutTheKey(std::optional<POINT> shake) {
  // The user may have taken another way because the show key stopped working: Windows
  // drops a keyboard hook that answered too late without a word. It goes up again.
  keys_->Show().RenewHook();
  CallUp(shake);
}

void TfrmMain::D1Click() {
  TPage* page = pages_->Selected();
  // No button pressed on this page yet, or one beyond a grid that has shrunk since.
  if (!page || !page->Button(page->CurrentBtn())) return;
  const std::uint64_t pageId = page->Id();
  const std::int32_t i = page->CurrentBtn();
  const StoredButton asked = StoredButton::Of(*page->Button(i));
  if (ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelBtn, keys::kAskBeforeDelBtnDefault) &&
      !Confirm(L"ボタン「" + NameOf(*page->Button(i)) + L"」を削除してよろしいですか？"))
    return;
  // Messages ran while the question was up: the file may have been taken up (its pages
  // made anew), the page released for room, the button bound or moved. The answer is for
  // the button the user saw, and for nothing else.
  page = pages_->FindId(pageId);
  TLaunchBtn* button = page ? pages_->BuiltButton(*page, i) : nullptr;
  if (!button || StoredButton::Of(*button) != asked) {
    ShowMessage(L"確認している間にこのボタンが変わったため、削除しませんでした");
    return;
  }
  undo_->Before(L"ボタンの削除 (" + NameOf(*button) + L")", ButtonKeys(page->PageNo(), i));
  page->ClearButtonKeys(i);
  undo_->Landed();
  search_->Clear();
}

void TfrmMain::SetDialogs(TfrmBtnOption* btnOption, TfrmPageOption* pageOption, TfrmAbout* about,
                          TfrmSetting* setting) {
  frmBtnOption_ = btnOption;
  frmPageOption_ = pageOption;
  frmAbout_ = about;
  frmSetting_ = setting;
}

std::optional<TBtnOptionHost::ButtonRef> TfrmMain::CurrentButton() {
  TPage* page = pages_->Selected();
  // No button pressed on this page yet, or one beyond a grid that has shrunk since.
  if (!page || !page->Button(page->CurrentBtn())) return std::nullopt;
  return ButtonRef{page->PageNo(), page->CurrentBtn()};
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

std::optional<TPageOptionHost::PageRef> TfrmMain::CurrentPage() {
  TPage* page = pages_->Selected();
  if (!page) return std::nullopt;
  return PageRef{page->PageNo(), base_->ActivePageIndex()};
}

void TfrmMain::RebuildPage(std::int32_t pageNo, const std::wstring& caption) {
  // By number: a page deleted since is left alone, and one deleted before it moved its tab.
  TPage* page = pages_->Find(pageNo);
  if (!page) return;
  search_->Clear();
  // Only a grid made smaller takes buttons away from the screen: that is worth an undo.
  const std::int32_t had = page->Grid().BtnCount();
  pages_->Reload(pageNo);
  if (page->Grid().BtnCount() < had)
    undo_->Landed();
  else
    undo_->Drop();
  base_->SetCaption(pages_->IndexOf(pageNo), caption);
  // Another tab selected meanwhile keeps the window at its own page's size.
  BaseChange();
  coolTrayIcon1_->HideMainWindow();
  ShowLauncher();
}

void TfrmMain::WillEdit(const ButtonRef& ref) {
  const TLaunchBtn* button = FindButton(ref);
  undo_->Before(L"ボタンのプロパティ (" + (button ? NameOf(*button) : L"") + L")", ButtonKeys(ref.pageNo, ref.btnIndex));
}

void TfrmMain::WillRewrite(std::int32_t pageNo) {
  const TPage* page = pages_->Find(pageNo);
  undo_->Before(L"ページのプロパティ (" + (page ? page->PageName() : L"") + L")", PageKeys(pageNo));
}

void TfrmMain::N5Click() {
  // Already open, it keeps the page it has; else there must be a page to edit.
  if (!frmPageOption_ || (!frmPageOption_->Visible() && !pages_->Selected())) return;
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
  search_->Clear();  // its hits were taken over the pages as they were
  const std::size_t before = pages_->List().size();
  pages_->AddNew();
  // The user asked for it to fill it: the new page comes up.
  if (pages_->List().size() > before) base_->SetActivePageIndex(base_->SheetCount() - 1);
  BaseChange();
}

void TfrmMain::ExportPageClick() { transfer_->Export(); }

void TfrmMain::ImportPageClick() {
  // As a new page: the step to undo stays, and a search's hits were over the pages as they were.
  if (!transfer_->Import()) return;
  search_->Clear();
  BaseChange();
}

void TfrmMain::N3Click() {
  int index = base_->ActivePageIndex();
  if (index < 0) return;
  if (index == 0) {
    ShowMessage(kFirstPageStays);
    return;
  }
  const std::uint64_t pageId = pages_->List()[static_cast<std::size_t>(index)]->Id();
  if (ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelPage, keys::kAskBeforeDelPageDefault) &&
      !Confirm(L"ページ「" + pages_->List()[static_cast<std::size_t>(index)]->PageName() +
               L"」とそのボタンを削除してよろしいですか？"))
    return;
  // Messages ran while the question was up: the page may have gone, or the file been
  // taken up and its pages made anew. The first tab stays, whichever page holds it now.
  const TPage* page = pages_->FindId(pageId);
  index = page ? pages_->IndexOf(page->PageNo()) : -1;
  if (index <= 0) {
    ShowMessage(L"確認している間にこのページが変わったため、削除しませんでした");
    return;
  }
  const std::int32_t pageNo = page->PageNo();
  undo_->Before(L"ページの削除 (" + page->PageName() + L")", {{keys::PageSection(pageNo), keys::kLive}});
  ini_.WriteBool(keys::PageSection(pageNo), keys::kLive, false);
  undo_->Landed();
  search_->Clear();
  pages_->Erase(index);  // no longer live: it writes nothing more
  BaseChange();
}

void TfrmMain::UndoClick() {
  search_->Clear();  // its hits were found at the buttons as they were
  undo_->UndoAndShow();
  BaseChange();
}

void TfrmMain::Help1Click() {
  const PathString help = ProgramFolder() + L"\\help\\help.htm";
  ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOW);
}

void TfrmMain::Exit1Click() { TApplication::Instance().Terminate(); }
void TfrmMain::Show1Click() { ShowLauncherWithoutTheKey(); }
void TfrmMain::Hide1Click() { PutAway(); }

void TfrmMain::mnuMouseMoveClick() {
  popupMenu2_.SetChecked(mnuMouseMove_, !popupMenu2_.Checked(mnuMouseMove_));
  shakeWatch_->SetEnabled(popupMenu2_.Checked(mnuMouseMove_));  // nothing is written to the file
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
      // The pages' own keys are written by their dialog when the user changes them: what
      // a page merely holds is never written, for another PC may have changed it since.
      for (const auto& page : pages_->List()) attempt([&] { page->SaveButtons(); });
      if (takeover_->TakenUp()) attempt([&] { WriteGeneral(r); });
    });
  });
}

bool TfrmMain::IsInsideBase(HWND hwnd) const {
  return hwnd == base_->Handle() || IsChild(base_->Handle(), hwnd);
}

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kPutUpTrayIcon:
      PutUpTrayIcon();
      return 0;
    case WM_CLOSE:
      PutAway();
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam && search_) search_->Clear();  // called up again, the launcher starts afresh
      break;
    case WM_ACTIVATE: {
      const LRESULT result = TWindow::HandleMessage(msg, wParam, lParam);
      // Activated, the keyboard belongs in the grid unless it was in the strip.
      if (keyboard_ && LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && !IsInsideBase(GetFocus()))
        keyboard_->FocusLastButton();
      return result;
    }
    case WM_CTLCOLORSTATIC:
      if (search_) {
        if (std::optional<LRESULT> brush = search_->Colour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
          return *brush;
      }
      break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:  // the system's dark mode or high contrast, followed at once
      FollowSystemChange(msg, wParam, lParam);
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
        KeepInWorkArea(Handle(), *reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_NOTIFY:
      if (base_ && base_->Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
      break;
    case WM_CONTEXTMENU:
      if (IsInsideBase(reinterpret_cast<HWND>(wParam))) {
        if (lParam == -1) {  // from the keyboard
          keyboard_->ShowMenuOfFocusedButton();
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
      if (wParam == TShakeWatch::kTimer) {
        shakeWatch_->Tick();
        return 0;
      }
      if (wParam == TFileTakeover::kTimer) {
        takeover_->Look();
        return 0;
      }
      break;
    case WM_INPUT:
      shakeWatch_->Input();
      break;  // DefWindowProc frees the input
    case WM_QUERYENDSESSION:
      SaveAtEndSession();
      shakeWatch_->SetEnabled(false);
      return TRUE;  // never refused: a failed save must not keep Windows from going on
    case WM_ENDSESSION:
      // The shut-down or log-off was cancelled: the watch runs again as its menu says.
      if (!wParam) shakeWatch_->SetEnabled(popupMenu2_.Checked(mnuMouseMove_));
      return 0;
    default:
      if (msg == CallUpMessage()) {  // a second copy the user started
        ShowLauncherWithoutTheKey();
        return 0;
      }
      break;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
