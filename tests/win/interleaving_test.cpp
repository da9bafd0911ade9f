// What can happen while the launcher waits on the user inside a message loop of its own,
// at every place where it does, on a real main window: the delete questions, the message
// boxes shown from inside a handler, the page strip's menu, a drag with the mouse held, a
// search waiting for its next key, the question of opening a whole page, the three dialogs
// left open, and the step 「元に戻す」
// holds until it is chosen. At each place every
// event that can arrive there arrives (the file held at start taken up, a page released
// for room, a sync tool's write, a drop, a search key, a reading committed by the input
// method, the show and hide keys, a
// log-off); then the user answers. After the answer, and again after the exit:
// - every key of the file is the one it was, changed by the event's own effect and by the
//   answer applied to the button or page the user asked about, or, when that one is gone,
//   by nothing: never applied to another;
// - the launcher has the file's pages, and each built page shows what the file holds;
// - the window's client area is the page on display's (and the search line's, while it
//   shows);
// - a running search finds what a new search over the file finds;
// - no freed object was touched: the heap poisons what is deleted.
//
// Each run has a fresh file and main window. The runs go in a child process of the test:
// a run that touches freed memory names itself before the child ends, and a new child goes
// on from the next run.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/call_up_notes.h"
#include "app/file_takeover.h"
#include "app/frm_main.h"
#include "core/button_search.h"
#include "core/page_grid.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/layout.h"
#include "gui/platform/ole_scope.h"
#include "gui/platform/window_count.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/ini_view.h"

namespace vl {
namespace {

using test::IniView;
using test::View;

// The user's file. Page 1 (4 x 1, wide enough for the three tabs) on display at start:
// "first" on 1, which a search for "fi" finds, "second" on 2, nothing on 3 (where drops
// land), "other" on 4. Page 2 is larger (6 x 2), page 3 has no free button. No target is
// there: every bound button is dimmed, and a click on one says so in a box. Every key the
// dialogs write is present, so that an answer changes only what the user changed.
const std::string kFile =
    "[General]\r\nPageNum=3\r\nFormTop=130\r\nFormLeft=160\r\n"
    "[Setting]\r\nAskBeforeDelBtn=1\r\nAskBeforeDelPage=1\r\nHideWhenClickBtn=0\r\nIsUseShake=0\r\n"
    "IsUseHotKey=0\r\nHideHotKey=Esc\r\nShowHotKey=Windows+Space\r\nShakeTime=7\r\nShakeSpeed=33\r\n"
    "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=1\r\nBtnW=50\r\nBtnH=40\r\nShowType=2\r\n"
    "FontName=Tahoma\r\nFontSize=10\r\nFontColor=clNavy\r\n"
    "BtnFP1=C:\\vl\\first.exe\r\nBtnName1=first\r\nBtnIP1=C:\\vl\\first.exe\r\nWD1=C:\\vl\r\n"
    "BtnFP2=C:\\vl\\second.exe\r\nBtnName2=second\r\nBtnIP2=C:\\vl\\second.exe\r\nWD2=C:\\vl\r\n"
    "BtnFP4=C:\\vl\\other.exe\r\nBtnName4=other\r\nBtnIP4=C:\\vl\\other.exe\r\nWD4=C:\\vl\r\n"
    "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=6\r\nTate=2\r\nBtnW=40\r\nBtnH=40\r\nShowType=2\r\n"
    "FontName=Tahoma\r\nFontSize=10\r\nFontColor=clNavy\r\n"
    "BtnFP1=C:\\vl\\p2a.exe\r\nBtnName1=p2a\r\nBtnIP1=C:\\vl\\p2a.exe\r\nWD1=C:\\vl\r\n"
    "BtnFP2=C:\\vl\\p2b.exe\r\nBtnFP3=C:\\vl\\p2c.exe\r\nBtnFP5=C:\\vl\\p2e.exe\r\nBtnFP6=C:\\vl\\p2f.exe\r\n"
    "BtnFP7=C:\\vl\\p2g.exe\r\nBtnFP8=C:\\vl\\p2h.exe\r\nBtnFP9=C:\\vl\\p2i.exe\r\nBtnFP10=C:\\vl\\p2j.exe\r\n"
    "BtnFP11=C:\\vl\\p2k.exe\r\nBtnFP12=C:\\vl\\p2l.exe\r\nBtnArg12=--last\r\nBtnShow12=1\r\n"
    "[Page3]\r\nLive=1\r\nName=Full\r\nYoko=1\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nShowType=2\r\n"
    "FontName=Tahoma\r\nFontSize=10\r\nFontColor=clNavy\r\n"
    "BtnFP1=C:\\vl\\full.exe\r\nBtnName1=full\r\nBtnIP1=C:\\vl\\full.exe\r\nWD1=C:\\vl\r\n";

// The events, in the order of the table below.
enum class Ev {
  kNothing, kTakeover, kRelease, kSync, kOutside, kDrop, kSearch, kCompose, kShowKey, kCallUp, kHideKey, kLogOff
};

struct EventRow {
  Ev id;
  const char* name;
};

const EventRow kEvents[] = {
    {Ev::kNothing, "nothing"},    // the answer alone, for comparison
    {Ev::kTakeover, "takeover"},  // started with the file held; let go, the look takes it up
    {Ev::kRelease, "release"},    // a small window budget, page 2 shown: page 1 released
    {Ev::kSync, "sync write"},    // another program renames a file over ours (page 3 changed)
    // The same, on the page on display (its button 4) with a page added, and the next look
    // of the file comes.
    {Ev::kOutside, "outside change"},
    {Ev::kDrop, "drop"},          // a file dropped on button 3 of page 1
    {Ev::kSearch, "search key"},  // "fi" typed in the launcher
    // "ふぃ" composed with the input method and committed, where the launcher has the keys.
    {Ev::kCompose, "input method"},
    {Ev::kShowKey, "show key"},   // what the show key raises
    {Ev::kCallUp, "second copy"},  // a second copy started: it calls the running one up
    {Ev::kHideKey, "hide key"},   // what a system-wide hide key raises
    {Ev::kLogOff, "log-off"},     // WM_QUERYENDSESSION, then the log-off cancelled
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Key(int page, const std::string& key) { return "[page" + std::to_string(page) + "]" + Lower(key); }

std::string ButtonKey(int page, const char* key, int i) { return Key(page, key + std::to_string(i)); }

std::string Value(const IniView& view, const std::string& key) {
  auto found = view.keys.find(key);
  return found == view.keys.end() ? std::string() : found->second;
}

int Number(const IniView& view, const std::string& key) {
  const std::string text = Value(view, key);
  return text.empty() ? 0 : std::stoi(text);
}

// A button's four keys.
constexpr const char* kButtonKeys[] = {"BtnFP", "BtnName", "BtnIP", "WD"};

void ClearButton(IniView& view, int page, int i) {
  for (const char* key : kButtonKeys) view.keys.erase(ButtonKey(page, key, i));
}

void SwapButtons(IniView& view, int page, int i, int j) {
  for (const char* key : kButtonKeys) {
    const std::string a = Value(view, ButtonKey(page, key, i)), b = Value(view, ButtonKey(page, key, j));
    view.keys[ButtonKey(page, key, i)] = b;
    view.keys[ButtonKey(page, key, j)] = a;
  }
}

PageGrid GridOf(const IniView& view, int page) {
  return SaneGrid(Number(view, Key(page, "Yoko")), Number(view, Key(page, "Tate")), Number(view, Key(page, "BtnW")),
                  Number(view, Key(page, "BtnH")));
}

// The live pages the file holds, in number order, up to "PageNum".
std::vector<std::int32_t> LivePages(const IniView& view) {
  std::vector<std::int32_t> pages;
  for (int n = 1; n <= Number(view, "[general]pagenum"); ++n)
    if (Value(view, Key(n, "Live")) == "1") pages.push_back(n);
  return pages;
}

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

// The file's bytes are in the ANSI code page; compared with what a button holds, as text.
std::string Text(const std::string& ansi) { return WideToUtf8(AnsiToWide(ansi)); }

// The buttons a new search for `query` finds over the file's live pages (page, button).
std::set<std::pair<int, int>> FileHits(const IniView& file, const std::wstring& query) {
  std::vector<std::shared_ptr<const FoldedPage>> pages;
  for (std::int32_t n : LivePages(file)) {
    PageTexts texts;
    texts.pageNo = n;
    for (std::int32_t i = 1; i <= GridOf(file, n).BtnCount(); ++i) {
      texts.names.push_back(AnsiToWide(Value(file, ButtonKey(n, "BtnName", i))));
      texts.targets.push_back(AnsiToWide(Value(file, ButtonKey(n, "BtnFP", i))));
    }
    pages.push_back(std::make_shared<const FoldedPage>(FoldPage(texts)));
  }
  ButtonSearch search;
  search.Begin(std::move(pages));
  for (wchar_t c : query) search.Type(c);
  std::set<std::pair<int, int>> hits;
  for (const SearchHit& hit : search.Hits()) hits.insert({hit.pageNo, hit.btnIndex});
  return hits;
}

std::string HitList(const std::set<std::pair<int, int>>& hits) {
  std::string text;
  for (const auto& [p, i] : hits) text += " " + std::to_string(p) + "/" + std::to_string(i);
  return text.empty() ? std::string(" none") : text;
}

// A run's world: the file, the main window with its dialogs, and the boxes, answered as a
// user answers them (the first button: はい or OK). The differences found go in `wrong`.
class Scene {
 public:
  Scene(bool heldAtStart, std::filesystem::path dropped) : dropped_(std::move(dropped)) {
    test::WriteBytes(SettingsFilePath(), kFile);
    if (heldAtStart) Hold();
    Act([&] { form_ = std::make_unique<TfrmMain>(); });
    if (!form_) return;
    btnOption_ = std::make_unique<TfrmBtnOption>(*form_);
    pageOption_ = std::make_unique<TfrmPageOption>(*form_);
    setting_ = std::make_unique<TfrmSetting>(*form_);
    form_->SetDialogs(btnOption_.get(), pageOption_.get(), nullptr, setting_.get());
    test::Pump(0);
    if (form_->TakenUp() == heldAtStart)
      Differ(heldAtStart ? "harness: the start read the held file" : "harness: the start did not read the file");
  }
  ~Scene() {
    Exit();
    ReleaseHold();
    std::filesystem::remove(SettingsFilePath());
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  bool Started() const { return form_ != nullptr; }
  TfrmMain& Form() { return *form_; }
  TfrmBtnOption& BtnOption() { return *btnOption_; }
  TfrmPageOption& PageOption() { return *pageOption_; }
  TfrmSetting& Setting() { return *setting_; }
  test::MessageBoxCatcher& Boxes() { return boxes_; }
  TLaunchBtn* Button(int pageIndex, int i) {
    const auto& pages = form_->PageList();
    return pageIndex < static_cast<int>(pages.size()) ? pages[static_cast<std::size_t>(pageIndex)]->Button(i) : nullptr;
  }
  TPage* Page(int pageIndex) {
    const auto& pages = form_->PageList();
    return pageIndex < static_cast<int>(pages.size()) ? pages[static_cast<std::size_t>(pageIndex)].get() : nullptr;
  }
  void Differ(std::string what) { wrong.push_back(std::move(what)); }

  // A handler's exception stops at its window procedure and is shown: so here.
  void Act(const std::function<void()>& action) {
    try {
      action();
    } catch (...) {
      TApplication::Instance().ShowCurrentException();
    }
  }

  // Another program holds the file, sharing it with no one (a handle of ours that shares
  // nothing refuses our own opens just as another program's does).
  void Hold() {
    if (hold_ != INVALID_HANDLE_VALUE) return;
    hold_ = CreateFileW(SettingsFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (hold_ == INVALID_HANDLE_VALUE) Differ("harness: the file could not be held");
  }
  void ReleaseHold() {
    if (hold_ != INVALID_HANDLE_VALUE) CloseHandle(hold_);
    hold_ = INVALID_HANDLE_VALUE;
  }

  // A key as the user presses it in the launcher (the focus there, or on the window
  // itself when it is elsewhere): through the loop's filters to the focused window.
  void Key(UINT msg, WPARAM code) {
    HWND to = GetFocus();
    if (!to || (to != form_->Handle() && !IsChild(form_->Handle(), to))) to = form_->Handle();
    PostMessageW(to, msg, code, 0);
    TApplication::Instance().ProcessMessages();
  }

  // A reading composed at the window with the keys and committed, as the input method does
  // at Enter. A box of ours with the keys has its own composition: not the launcher's.
  void Compose(const std::wstring& text) {
    const HWND focus = GetFocus();
    if (!focus || (focus != form_->Handle() && !IsChild(form_->Handle(), focus))) return;
    const std::wstring before = form_->Search().Query();
    if (const HIMC imc = ImmGetContext(focus)) {
      ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(text.data()),
                               static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0);
      ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
      ImmReleaseContext(focus, imc);
    }
    TApplication::Instance().ProcessMessages();
    if (form_->Composing()) Differ("the launcher still takes the keys as composing after the commit");
    if (IsWindowVisible(form_->Handle()) && form_->Search().Query() != before + text)
      Differ("harness: the committed text was not searched");
  }

  void ShowPage(int index) {
    form_->Base().SetActivePageIndex(index);
    form_->BaseChange();  // as a click on the tab does
  }

  // The centre of button j of page 1, or of a page's tab, in button i's client pixels.
  POINT OverButton(int i, int j) {
    RECT r;
    GetWindowRect(Button(0, j)->Handle(), &r);
    return Client(i, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  POINT OverTab(int i, int tab) {
    RECT r{};
    SendMessageW(form_->Base().Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(form_->Base().Handle(), &at);
    return Client(i, at);
  }

  void Happen(Ev event) {
    Act([&] {
      switch (event) {
        case Ev::kNothing:
          break;
        case Ev::kTakeover:
          ReleaseHold();
          SendMessageW(form_->Handle(), WM_TIMER, TFileTakeover::kTimer, 0);  // the look
          if (!form_->TakenUp()) Differ("harness: the file was not taken up");
          break;
        case Ev::kRelease:
          form_->SetWindowBudget(CountWindowsOfProcess(GetCurrentProcessId()) + 1);
          ShowPage(1);
          if (Page(0)->Built()) Differ("harness: page 1 was not released");
          break;
        case Ev::kSync:
          Sync();
          break;
        case Ev::kOutside:
          Sync(true);
          Look();
          break;
        case Ev::kDrop:
          test::WriteBytes(dropped_, "x");
          test::SendDrop(Button(0, 3)->Handle(), {dropped_.wstring()});
          // Gone once bound, as every target here: what opens it later is named in a box.
          std::filesystem::remove(dropped_);
          break;
        case Ev::kSearch:
          for (wchar_t c : std::wstring(L"fi")) Key(WM_CHAR, c);
          if (form_->Search().Query() != L"fi") Differ("harness: the search did not begin");
          break;
        case Ev::kCompose:
          Compose(L"ふぃ");
          break;
        case Ev::kShowKey:
          SendMessageW(form_->WaitHotKey().Handle(), WM_HOTKEY, 0, 0);
          if (!IsWindowVisible(form_->Handle())) Differ("the show key left the launcher hidden");
          break;
        case Ev::kCallUp:
          SendMessageW(form_->Handle(), CallUpMessage(), 0, 0);
          if (!IsWindowVisible(form_->Handle())) Differ("the second copy's call-up left the launcher hidden");
          break;
        case Ev::kHideKey:
          SendMessageW(form_->WaitHotKey1().Handle(), WM_HOTKEY, 0, 0);
          if (IsWindowVisible(form_->Handle())) Differ("harness: the hide key left the launcher up");
          break;
        case Ev::kLogOff:
          SendMessageW(form_->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
          SendMessageW(form_->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
          break;
      }
    });
  }

  // What the sync tool's write does to the file.
  static void SyncEffect(IniView& view) {
    view.keys[ButtonKey(3, "BtnFP", 1)] = view.keys[ButtonKey(3, "BtnIP", 1)] = "C:\\vl\\synced.exe";
    view.keys[ButtonKey(3, "BtnName", 1)] = "synced";
    view.keys["[sync]by"] = "another machine";
  }
  static void OutsideEffect(IniView& view) {
    view.keys[ButtonKey(1, "BtnFP", 4)] = view.keys[ButtonKey(1, "BtnIP", 4)] = "C:\\vl\\theirs.exe";
    view.keys[ButtonKey(1, "BtnName", 4)] = "theirs";
    view.keys["[general]pagenum"] = "4";
    for (const auto& [key, value] : {std::pair{"Live", "1"}, {"Name", "Four"}, {"Yoko", "2"}, {"Tate", "1"}})
      view.keys[vl::Key(4, key)] = value;
  }
  // The file's look, as its timer runs it once a second.
  void Look() { SendMessageW(form_->Handle(), WM_TIMER, TFileTakeover::kTimer, 0); }

  // "終了": the dialogs go, then the main window, which writes what it holds.
  void Exit() {
    setting_.reset();
    pageOption_.reset();
    btnOption_.reset();
    form_.reset();
    test::Pump(0);
  }

  std::vector<std::string> wrong;

 private:
  POINT Client(int i, POINT screen) {
    ScreenToClient(Button(0, i)->Handle(), &screen);
    return screen;
  }

  // As a sync tool does: the file as it stands now with page 3 as another machine left
  // it, written beside it and renamed over it.
  void Sync(bool pageOnDisplay = false) {
    const std::filesystem::path ini = SettingsFilePath();
    std::string bytes = test::ReadBytes(ini);
    auto replace = [&](const std::string& from, const std::string& to) {
      const std::size_t at = bytes.find(from);
      if (at == std::string::npos) return Differ("harness: no " + from + " to sync");
      bytes.replace(at, from.size(), to);
    };
    if (pageOnDisplay) {
      replace("BtnFP4=C:\\vl\\other.exe", "BtnFP4=C:\\vl\\theirs.exe");
      replace("BtnName4=other", "BtnName4=theirs");
      replace("BtnIP4=C:\\vl\\other.exe", "BtnIP4=C:\\vl\\theirs.exe");
      replace("PageNum=3", "PageNum=4");
      bytes += "[Page4]\r\nLive=1\r\nName=Four\r\nYoko=2\r\nTate=1\r\n";
    } else {
      replace("BtnFP1=C:\\vl\\full.exe", "BtnFP1=C:\\vl\\synced.exe");
      replace("BtnName1=full", "BtnName1=synced");
      replace("BtnIP1=C:\\vl\\full.exe", "BtnIP1=C:\\vl\\synced.exe");
      bytes += "[Sync]\r\nBy=another machine\r\n";
    }
    const std::filesystem::path temp = ini.wstring() + L".sync";
    test::WriteBytes(temp, bytes);
    if (!MoveFileExW(temp.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING)) Differ("harness: the sync write failed");
  }

  std::filesystem::path dropped_;
  HANDLE hold_ = INVALID_HANDLE_VALUE;
  test::MessageBoxCatcher boxes_;  // before the form: it answers the boxes of the start and the exit
  std::unique_ptr<TfrmMain> form_;
  std::unique_ptr<TfrmBtnOption> btnOption_;
  std::unique_ptr<TfrmPageOption> pageOption_;
  std::unique_ptr<TfrmSetting> setting_;
};

// Acts once inside the loop of the page strip's menu, then chooses "ボタンの削除", the item
// after "元に戻す", from the keyboard, as the user would, if the menu is still up.
class WhileTheMenuIsUp {
 public:
  explicit WhileTheMenuIsUp(std::function<void()> act) : act_(std::move(act)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 30, &WhileTheMenuIsUp::Tick);
  }
  ~WhileTheMenuIsUp() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  WhileTheMenuIsUp(const WhileTheMenuIsUp&) = delete;
  WhileTheMenuIsUp& operator=(const WhileTheMenuIsUp&) = delete;
  bool Seen() const { return seen_; }
  bool Chosen() const { return chosen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_ || current_->seen_) return;
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    current_->seen_ = true;
    current_->act_();
    if (!IsWindowVisible(menu)) return;  // closed meanwhile: there is nothing left to choose
    current_->chosen_ = true;
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  }

  static inline WhileTheMenuIsUp* current_ = nullptr;
  std::function<void()> act_;
  UINT_PTR timer_ = 0;
  bool seen_ = false;
  bool chosen_ = false;
};

using Meanwhile = std::function<void()>;

// The box whose text holds `text` is the place: `meanwhile` runs inside its modal loop,
// then the box is answered (はい, or OK). False when the command showed no such box.
bool AtBox(Scene& s, const wchar_t* text, const std::function<void()>& command, const Meanwhile& meanwhile) {
  bool reached = false;
  s.Boxes().OnBox = [&](const test::SeenBox& box) {
    if (reached || box.text.find(text) == std::wstring::npos) return;
    reached = true;
    meanwhile();
  };
  s.Act(command);
  s.Boxes().OnBox = nullptr;
  if (!reached) {
    std::string seen;
    for (const test::SeenBox& box : s.Boxes().Seen()) seen += " \"" + Narrow(box.text) + "\"";
    s.Differ("the place was not reached: no box \"" + Narrow(text) + "\" (seen:" + (seen.empty() ? " none" : seen) +
             ")");
  }
  return reached;
}

// A right press makes the button its page's current one, as before the page's menu opens.
void Press(TLaunchBtn* b) {
  SendMessageW(b->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
  ReleaseCapture();
}

LPARAM At(POINT p) { return test::PointParam(p.x, p.y); }

// Opens a modeless dialog, lets the event arrive while it is open, and answers with OK
// after `edit`, as long as the dialog is still there to be answered.
bool AtDialog(Scene& s, TDialogForm& dialog, const std::function<void()>& open, const Meanwhile& meanwhile,
              const std::function<void()>& edit, TButton& ok) {
  s.Act(open);
  if (!dialog.Visible()) {
    s.Differ("the place was not reached: the dialog did not open");
    return false;
  }
  meanwhile();
  if (!dialog.Visible()) return false;
  edit();
  s.Act([&] { SendMessageW(ok.Handle(), BM_CLICK, 0, 0); });
  return true;
}

struct PlaceRow {
  const char* name;
  // Enters the place, has `meanwhile` run while the place waits, and answers as the user
  // would; returns whether the answer could be given.
  bool (*run)(Scene&, Ev, const Meanwhile&);
  // The answer's effect on the file: the button or page the user asked about.
  void (*answer)(IniView&);
  // A menu, a drag or a search may end by itself (a menu closes when another window comes
  // forward, a hidden window loses the mouse and its search): an answer it could not take
  // is then not expected.
  bool mayEndByItself;
  // The events that cannot arrive there, each with why.
  std::vector<std::pair<Ev, const char*>> leftOut;
};

constexpr const char* kBoxRelease = "the box disables the launcher: no tab can be chosen";
constexpr const char* kBoxDrop = "the box disables the launcher, which then takes no drop";
// A drop on the stand-in page is refused, and the page is built again from its defaults
// as soon as it is next selected (the launcher activated once the refusal is answered).
constexpr const char* kStandInBindsNothing = "the stand-in page binds nothing: a drop there is refused and undone";
constexpr const char* kBoxSearch = "the box has the keyboard: keys never reach the launcher's filter";

// The message boxes are those shown from inside a handler that is still running: the
// error box of a write refused to a command, and two a button shows from its own window
// procedure (at the end of a drag, at a click). The others end their command.
const PlaceRow kPlaces[] = {
    {"delete-button question",
     [](Scene& s, Ev, const Meanwhile& m) {
       Press(s.Button(0, 1));
       return AtBox(
           s, L"」を削除してよろしいですか", [&] { s.Form().D1Click(); }, m);
     },
     [](IniView& v) { ClearButton(v, 1, 1); },
     false,
     {{Ev::kRelease, kBoxRelease}, {Ev::kDrop, kBoxDrop}, {Ev::kSearch, kBoxSearch}}},
    {"delete-page question",
     [](Scene& s, Ev, const Meanwhile& m) {
       s.ShowPage(1);
       return AtBox(
           s, L"」とそのボタンを削除してよろしいですか", [&] { s.Form().N3Click(); }, m);
     },
     [](IniView& v) { v.keys[Key(2, "Live")] = "0"; },
     false,
     {{Ev::kTakeover, "the stand-in launcher has one page, the first, which is never deleted"},
      {Ev::kRelease, kBoxRelease},
      {Ev::kDrop, kBoxDrop},
      {Ev::kSearch, kBoxSearch}}},
    // 「元に戻す」 holds the keys a command changed across whatever comes before it is chosen:
    // it puts back what the command took, never what an event changed since.
    {"undo of a deleted button",
     [](Scene& s, Ev, const Meanwhile& m) {
       Press(s.Button(0, 1));
       s.Act([&] { s.Form().D1Click(); });  // answered はい
       m();
       s.Act([&] { s.Form().UndoClick(); });
       return true;
     },
     [](IniView&) {},
     false,
     {}},
    {"undo of a deleted page",
     [](Scene& s, Ev, const Meanwhile& m) {
       s.ShowPage(1);
       s.Act([&] { s.Form().N3Click(); });  // answered はい
       m();
       s.Act([&] { s.Form().UndoClick(); });
       return true;
     },
     [](IniView&) {},
     false,
     {{Ev::kTakeover, "the stand-in launcher has one page, the first, which is never deleted"},
      {Ev::kRelease, "page 2, which the release shows to send page 1 away, is the page deleted"}}},
    {"write-error box of a refused delete",
     [](Scene& s, Ev, const Meanwhile& m) {
       // Delete pressed on button 1 while another program holds the file (the start's
       // hold, for the takeover); the holder lets go while the refusal is up.
       HWND b = s.Button(0, 1)->Handle();
       SetFocus(b);
       s.Hold();
       PostMessageW(b, WM_KEYDOWN, VK_DELETE, 0);
       return AtBox(
           s, L"に書き込めません", [] { TApplication::Instance().ProcessMessages(); },
           [&] {
             s.ReleaseHold();
             m();
           });
     },
     [](IniView&) {},
     false,
     {{Ev::kRelease, kBoxRelease}, {Ev::kDrop, kBoxDrop}, {Ev::kSearch, kBoxSearch}}},
    {"no-free-button box at a drag's end",
     [](Scene& s, Ev, const Meanwhile& m) {
       // Button 1 carried to the tab of page 3, which has no free button.
       HWND b = s.Button(0, 1)->Handle();
       const POINT to = s.OverTab(1, 2);
       SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
       SendMessageW(b, WM_MOUSEMOVE, MK_LBUTTON, At(to));
       return AtBox(
           s, L"空いているボタンがありません", [&] { SendMessageW(b, WM_LBUTTONUP, 0, At(to)); }, m);
     },
     [](IniView&) {},
     false,
     {{Ev::kTakeover, "the stand-in launcher has one page: no other page's tab to carry a button to"},
      {Ev::kRelease, kBoxRelease},
      {Ev::kDrop, kBoxDrop},
      {Ev::kSearch, kBoxSearch}}},
    {"not-bound box of a drop of several",
     [](Scene& s, Ev, const Meanwhile& m) {
       // Two files on button 3 of page 1: the first binds there, button 4 is bound, and the
       // box says one was not bound. Nothing is held across it.
       HWND b = s.Button(0, 3)->Handle();
       return AtBox(
           s, L"個は、このボタンから後ろに空いているボタンがない",
           [&] { test::SendDrop(b, {L"C:\\vl\\several1.txt", L"C:\\vl\\several2.txt"}); }, m);
     },
     [](IniView& v) {
       v.keys[ButtonKey(1, "BtnFP", 3)] = v.keys[ButtonKey(1, "BtnIP", 3)] = "C:\\vl\\several1.txt";
       v.keys[ButtonKey(1, "BtnName", 3)] = "several1";
       v.keys[ButtonKey(1, "WD", 3)] = "C:\\vl";
     },
     false,
     {{Ev::kTakeover, kStandInBindsNothing},
      {Ev::kRelease, kBoxRelease},
      {Ev::kDrop, kBoxDrop},
      {Ev::kSearch, kBoxSearch}}},
    {"file-not-found box at a click",
     [](Scene& s, Ev, const Meanwhile& m) {
       HWND b = s.Button(0, 1)->Handle();
       return AtBox(
           s, L"ファイルが見つかりません",
           [&] {
             SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
             SendMessageW(b, WM_LBUTTONUP, 0, test::PointParam(5, 5));
           },
           m);
     },
     [](IniView&) {},
     false,
     {{Ev::kTakeover, kStandInBindsNothing},
      {Ev::kRelease, kBoxRelease},
      {Ev::kDrop, kBoxDrop},
      {Ev::kSearch, kBoxSearch}}},
    {"page menu",
     [](Scene& s, Ev, const Meanwhile& m) {
       // Opened on button 1 by a right click; the answer is "ボタンの削除", and はい to its
       // question.
       HWND b = s.Button(0, 1)->Handle();
       WhileTheMenuIsUp menu(m);
       s.Act([&] {
         SendMessageW(b, WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
         SendMessageW(b, WM_RBUTTONUP, 0, test::PointParam(5, 5));
       });
       test::Pump(0);
       if (!menu.Seen()) s.Differ("the place was not reached: no menu");
       return menu.Chosen();
     },
     [](IniView& v) { ClearButton(v, 1, 1); },
     true,
     {{Ev::kRelease, "the open menu holds the mouse: no tab can be chosen"},
      {Ev::kDrop, "the open menu holds the mouse: nothing can be dragged in"},
      {Ev::kSearch, "the open menu has the keyboard"},
      {Ev::kCompose, "the open menu has the keyboard"}}},
    {"drag",
     [](Scene& s, Ev event, const Meanwhile& m) {
       // Button 1 carried onto button 2: they trade places.
       TPage* page = s.Page(0);
       HWND b = s.Button(0, 1)->Handle();
       const POINT to = s.OverButton(1, 2);
       SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
       // Once it carries, the drag holds the keys: the user types with the button pressed,
       // before it moves.
       const bool typed = event == Ev::kSearch || event == Ev::kCompose;
       if (typed) m();
       SendMessageW(b, WM_MOUSEMOVE, MK_LBUTTON, At(to));
       if (!page->Dragging()) s.Differ("the place was not reached: no drag");
       if (!typed) m();
       const bool carrying = IsWindow(b) && page->Dragging() && IsWindowVisible(s.Form().Handle());
       s.Act([&] {
         if (IsWindow(b)) SendMessageW(b, WM_LBUTTONUP, 0, At(to));
       });
       return carrying;
     },
     [](IniView& v) { SwapButtons(v, 1, 1, 2); },
     true,
     {{Ev::kTakeover, kStandInBindsNothing},
      {Ev::kRelease, "the drag holds the mouse and the keys: no other page can be shown"},
      {Ev::kDrop, "the drag holds the mouse: nothing else can be dragged in"}}},
    {"running search",
     [](Scene& s, Ev, const Meanwhile& m) {
       // "fi" typed: the search holds page and button numbers while it waits for the next
       // key. The answer is Down, then Enter on the hit.
       for (wchar_t c : std::wstring(L"fi")) s.Key(WM_CHAR, c);
       m();
       if (!s.Form().Search().Active()) return false;  // ended (hidden, or the pages taken up anew)
       s.Key(WM_KEYDOWN, VK_DOWN);
       const std::size_t before = s.Boxes().Seen().size();
       s.Key(WM_KEYDOWN, VK_RETURN);
       // Every target is gone: what Enter opened is named in the box that says so.
       std::string opened;
       for (std::size_t k = before; k < s.Boxes().Seen().size(); ++k) {
         const std::wstring& text = s.Boxes().Seen()[k].text;
         const std::size_t line = text.find(L'\n');
         if (text.starts_with(L"ファイルが見つかりません") && line != std::wstring::npos)
           opened = Narrow(text.substr(line + 1, text.find(L'\n', line + 1) - line - 1));  // the path's line
       }
       const IniView file = View(test::ReadBytes(SettingsFilePath()));
       const auto hits = FileHits(file, L"fi");
       std::set<std::string> targets;
       for (const auto& [n, i] : hits) targets.insert(Text(Value(file, ButtonKey(n, "BtnFP", i))));
       if (opened.empty() ? !hits.empty() : !targets.count(opened))
         s.Differ("Enter opened " + (opened.empty() ? std::string("nothing") : opened) + ", where the file's hits are" +
                  HitList(hits));
       return true;
     },
     [](IniView&) {},
     true,
     {{Ev::kSearch, "the search runs already: the keys typed are the answer"},
      {Ev::kCompose, "the search runs already: what the input method commits is typed into it"}}},
    {"button dialog",
     [](Scene& s, Ev, const Meanwhile& m) {
       Press(s.Button(0, 1));
       TfrmBtnOption& d = s.BtnOption();
       return AtDialog(
           s, d, [&] { s.Form().N4Click(); }, m,
           [&] {
             d.lbeName.SetText(L"renamed");
             d.lbeLocate.SetText(L"C:\\vl\\renamed.exe");
           },
           d.BtnOk);
     },
     [](IniView& v) {
       v.keys[ButtonKey(1, "BtnName", 1)] = "renamed";
       v.keys[ButtonKey(1, "BtnFP", 1)] = v.keys[ButtonKey(1, "BtnIP", 1)] = "C:\\vl\\renamed.exe";
     },
     false,
     {{Ev::kTakeover, "the button dialog does not open on the stand-in page, which cannot save first"}}},
    {"open-all question",
     [](Scene& s, Ev, const Meanwhile& m) {
       // Page 2's eleven bound buttons: asked first. Answered はい, each is looked for again
       // (all are gone) and named in one box; nothing the question held may be used stale.
       s.ShowPage(1);
       return AtBox(
           s, L"個のボタンをすべて開きますか", [&] { s.Form().OpenAllClick(); }, m);
     },
     [](IniView&) {},
     false,
     {{Ev::kTakeover, "the stand-in launcher has one page, the first, with no bound button"},
      {Ev::kRelease, kBoxRelease},
      {Ev::kDrop, kBoxDrop},
      {Ev::kSearch, kBoxSearch}}},
    {"page dialog",
     [](Scene& s, Ev, const Meanwhile& m) {
       TfrmPageOption& d = s.PageOption();
       return AtDialog(
           s, d, [&] { s.Form().N5Click(); }, m,
           [&] {
             d.lbeName.SetText(L"Renamed");
             d.spnYoko.SetValue(5);
           },
           d.Button2);
     },
     [](IniView& v) {
       v.keys[Key(1, "Name")] = "Renamed";
       v.keys[Key(1, "Yoko")] = "5";
     },
     false,
     {}},
    {"settings dialog",
     [](Scene& s, Ev, const Meanwhile& m) {
       TfrmSetting& d = s.Setting();
       return AtDialog(
           s, d, [&] { s.Form().SettingClick(); }, m, [&] { d.cbAskDelBtn.SetChecked(false); }, d.btnOk);
     },
     [](IniView& v) { v.keys["[setting]askbeforedelbtn"] = "0"; },
     false,
     {}},
};

const char* LeftOut(const PlaceRow& place, Ev event) {
  for (const auto& [id, why] : place.leftOut)
    if (id == event) return why;
  return nullptr;
}

struct Combination {
  const PlaceRow* place;
  const EventRow* event;
  std::string Name() const { return std::string(place->name) + " x " + event->name; }
};

std::vector<Combination> Runs() {
  std::vector<Combination> runs;
  for (const PlaceRow& place : kPlaces)
    for (const EventRow& event : kEvents)
      if (!LeftOut(place, event.id)) runs.push_back({&place, &event});
  return runs;
}

// What a button holds, as text.
struct Binding {
  std::string target, name, icon, folder;
  std::string arguments;  // and how it starts: its arguments and window size
  int show = 0;
  bool operator==(const Binding&) const = default;
  // "name" (target), with the icon and folder where they differ from `other`'s.
  std::string Describe(const Binding& other) const {
    if (target.empty() && name.empty() && icon.empty() && folder.empty()) return "empty";
    std::string text = "\"" + name + "\" (" + target + ")";
    if (icon != other.icon) text += " icon " + (icon.empty() ? "(none)" : icon);
    if (folder != other.folder) text += " folder " + (folder.empty() ? "(none)" : folder);
    if (arguments != other.arguments || show != other.show)
      text += " arguments \"" + arguments + "\" show " + std::to_string(show);
    return text;
  }
};

Binding BindingOf(const IniView& view, int page, int i) {
  const int show = Number(view, ButtonKey(page, "BtnShow", i));
  return {Text(Value(view, ButtonKey(page, "BtnFP", i))),  Text(Value(view, ButtonKey(page, "BtnName", i))),
          Text(Value(view, ButtonKey(page, "BtnIP", i))),  Text(Value(view, ButtonKey(page, "WD", i))),
          Text(Value(view, ButtonKey(page, "BtnArg", i))), show == 1 || show == 2 ? show : 0};
}

// The keys that carry meaning: an empty value reads as no key, and the window's place is
// the window's to change.
std::map<std::string, std::string> Meaningful(const IniView& view) {
  std::map<std::string, std::string> keys;
  for (const auto& [key, value] : view.keys)
    if (!value.empty() && key != "[general]formleft" && key != "[general]formtop") keys[key] = value;
  return keys;
}

void CompareFile(Scene& s, const IniView& expected, const std::string& when) {
  const IniView file = View(test::ReadBytes(SettingsFilePath()));
  const auto have = Meaningful(file), want = Meaningful(expected);
  // A button's keys are told as the button; the other keys one by one.
  std::set<std::pair<int, int>> buttons;
  std::set<std::string> keys;
  for (const auto* side : {&have, &want}) {
    for (const auto& [key, value] : *side) {
      int n = 0, i = 0;
      char name[8] = "";
      if (std::sscanf(key.c_str(), "[page%d]%7[a-z]%d", &n, name, &i) == 3 &&
          std::set<std::string>{"btnfp", "btnname", "btnip", "wd"}.count(name))
        buttons.insert({n, i});
      else
        keys.insert(key);
    }
  }
  for (const auto& [n, i] : buttons) {
    const Binding a = BindingOf(file, n, i), b = BindingOf(expected, n, i);
    if (!(a == b))
      s.Differ(when + "the file's page " + std::to_string(n) + " button " + std::to_string(i) + " is " + a.Describe(b) +
               ", not " + b.Describe(b));
  }
  for (const std::string& key : keys) {
    auto h = have.find(key), w = want.find(key);
    const std::string a = h == have.end() ? "(none)" : h->second, b = w == want.end() ? "(none)" : w->second;
    if (a != b) s.Differ(when + "the file has " + key + "=" + a + ", not " + b);
  }
}

// The launcher as the user sees it against the file: its pages and their names, each built
// page's buttons, the window's size, and a running search's hits.
void CompareScreen(Scene& s) {
  const IniView file = View(test::ReadBytes(SettingsFilePath()));
  TfrmMain& form = s.Form();
  std::vector<std::int32_t> shown;
  for (const auto& page : form.PageList()) shown.push_back(page->PageNo());
  const std::vector<std::int32_t> live = LivePages(file);
  auto list = [](const std::vector<std::int32_t>& pages) {
    std::string text;
    for (std::int32_t n : pages) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
  };
  if (shown != live) s.Differ("the launcher has pages " + list(shown) + ", the file " + list(live));
  for (std::size_t k = 0; k < form.PageList().size(); ++k) {
    TPage& page = *form.PageList()[k];
    const int n = page.PageNo();
    const std::string where = "page " + std::to_string(n);
    const std::string name = Text(Value(file, Key(n, "Name")));
    if (k < static_cast<std::size_t>(form.Base().SheetCount()) &&
        Narrow(form.Base().Sheet(static_cast<int>(k)).Caption()) != name)
      s.Differ(where + "'s tab says " + Narrow(form.Base().Sheet(static_cast<int>(k)).Caption()) + ", the file " +
               name);
    if (!page.Built()) continue;
    const PageGrid grid = GridOf(file, n);
    if (page.BtnCount() != grid.BtnCount())
      s.Differ(where + " has " + std::to_string(page.BtnCount()) + " buttons, the file " +
               std::to_string(grid.BtnCount()));
    for (std::int32_t i = 1; i <= std::min(page.BtnCount(), grid.BtnCount()); ++i) {
      const TLaunchBtn& b = *page.Button(i);
      const Binding face{Narrow(b.FullPath()), Narrow(b.BtnName()), Narrow(b.IconPath()), Narrow(b.WorkDir()),
                         Narrow(b.Options().arguments), b.Options().show};
      const Binding stored = BindingOf(file, n, i);
      std::string shows = face.Describe(stored);
      if (Narrow(b.Caption()) != stored.name) shows += " captioned \"" + Narrow(b.Caption()) + "\"";  // text only
      if (b.Regist() == stored.target.empty()) shows += b.Regist() ? " bound" : " unbound";
      if (shows != stored.Describe(stored))
        s.Differ(where + " button " + std::to_string(i) + " shows " + shows + ", the file " + stored.Describe(stored));
    }
  }

  // The window holds the page on display, and the search line while it shows.
  const int index = form.Base().ActivePageIndex();
  if (index >= 0 && index < static_cast<int>(form.PageList().size())) {
    const int n = form.PageList()[static_cast<std::size_t>(index)]->PageNo();
    const PageGrid grid = GridOf(file, n);
    const int width = grid.ClientWidth(),
              height = grid.ClientHeight() + (form.SearchLine().empty() ? 0 : kTabRowHeight);
    RECT client;
    GetClientRect(form.Handle(), &client);
    if (client.right != width || client.bottom != height)
      s.Differ("the window is " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + ", page " +
               std::to_string(n) + " on display needs " + std::to_string(width) + "x" + std::to_string(height));
  }

  // A search still running finds what the same text finds in the file now.
  if (form.Search().Active()) {
    std::set<std::pair<int, int>> held;
    for (const SearchHit& hit : form.Search().Hits()) held.insert({hit.pageNo, hit.btnIndex});
    const auto fresh = FileHits(file, form.Search().Query());
    if (held != fresh)
      s.Differ("the search for \"" + Narrow(form.Search().Query()) + "\" holds hits" + HitList(held) +
               ", the file has" + HitList(fresh) + " (page/button)");
  }
}

// The drop's own effect, seen on a launcher that does nothing else.
IniView DropEffect(const std::filesystem::path& dropped) {
  Scene s(false, dropped);
  s.Happen(Ev::kDrop);
  test::Pump(0);
  IniView effect;
  const IniView file = View(test::ReadBytes(SettingsFilePath()));
  for (const char* key : kButtonKeys) effect.keys[ButtonKey(1, key, 3)] = Value(file, ButtonKey(1, key, 3));
  return effect;
}

// What differed, and a note on the run (an answer not given) when nothing did.
std::pair<std::vector<std::string>, std::string> RunOne(const Combination& run, const IniView& dropEffect,
                                                        const std::filesystem::path& dropped) {
  const Ev event = run.event->id;
  IniView expected = View(kFile);
  Scene s(event == Ev::kTakeover, dropped);
  if (!s.Started()) return {{"the launcher did not start"}, ""};
  const bool answered = run.place->run(s, event, [&] { s.Happen(event); });
  test::Pump(0);
  if (event == Ev::kSync) Scene::SyncEffect(expected);
  if (event == Ev::kOutside) Scene::OutsideEffect(expected);
  if (event == Ev::kSync || event == Ev::kOutside) {
    // Not looked for yet, or held back by a box, a menu, a drag or a dialog: the next look
    // of the file, within a second, takes the change up.
    s.Look();
    test::Pump(0);
  }
  if (event == Ev::kDrop)
    for (const auto& [key, value] : dropEffect.keys) expected.keys[key] = value;
  // What the user asked about on the stand-in page is gone with it: the answer then
  // touches nothing.
  const bool gone = event == Ev::kTakeover;
  if (!gone && (answered || !run.place->mayEndByItself)) {
    run.place->answer(expected);
    if (!answered) s.Differ("the answer could not be given: the place had ended");
  }
  const std::string note = answered ? "" : "the place ended before the answer";
  CompareFile(s, expected, "");
  CompareScreen(s);
  s.Exit();
  CompareFile(s, expected, "after the exit, ");
  return {s.wrong, note};
}

// The child's side: the runs from `from` on, each result a line of the file as soon as it
// is known, so that the parent knows which run a crash stopped.
FILE* g_results = nullptr;
std::size_t g_current = 0;

void Note(const char* kind, const std::string& text) {
  const std::string line = std::string(kind) + " " + std::to_string(g_current) + " " + text + "\n";
  std::fputs(line.c_str(), g_results);
  std::fflush(g_results);
}

// The poisoned heap fills what is deleted with 0xDD: a pointer or a function read from a
// freed object points at 0xDDDD..., an address no object has.
LONG CALLBACK TouchedFreedMemory(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& r = *info->ExceptionRecord;
  if (r.ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
  const ULONG_PTR address = r.NumberParameters >= 2 ? r.ExceptionInformation[1] : 0;
  const ULONG_PTR code = reinterpret_cast<ULONG_PTR>(r.ExceptionAddress);
  auto poisoned = [](ULONG_PTR a) { return (a >> 48) == 0xDDDD || a == ~ULONG_PTR(0); };
  if (!poisoned(address) && !poisoned(code)) return EXCEPTION_CONTINUE_SEARCH;
  char text[128];
  std::snprintf(text, sizeof text, "touched freed memory (access at %p, code at %p)", reinterpret_cast<void*>(address),
                reinterpret_cast<void*>(code));
  Note("crash", text);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI Crashed(EXCEPTION_POINTERS* info) {
  char text[128];
  std::snprintf(text, sizeof text, "crashed (exception %08lx at %p)", info->ExceptionRecord->ExceptionCode,
                info->ExceptionRecord->ExceptionAddress);
  Note("crash", text);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::filesystem::path ResultsPath() { return test::TestProgramFolder() / L"interleaving.results"; }

int RunChild(std::size_t from) {
  g_results = _wfopen(ResultsPath().c_str(), L"ab");
  if (!g_results) return 2;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  AddVectoredExceptionHandler(1, &TouchedFreedMemory);
  SetUnhandledExceptionFilter(&Crashed);
  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  const std::filesystem::path dropped = dir / "fifth.txt";
  test::WriteBytes(dropped, "x");
  const IniView dropEffect = DropEffect(dropped);
  if (AnsiToWide(Value(dropEffect, ButtonKey(1, "BtnFP", 3))) != dropped.wstring()) {
    Note("fatal", "a drop alone did not bind button 3");
    return 2;
  }
  const std::vector<Combination> runs = Runs();
  for (g_current = from; g_current < runs.size(); ++g_current) {
    Note("begin", runs[g_current].Name());
    std::vector<std::string> wrong;
    std::string note;
    try {
      std::tie(wrong, note) = RunOne(runs[g_current], dropEffect, dropped);
    } catch (...) {
      wrong.push_back("an exception left the run");
    }
    std::string text;
    for (const std::string& w : wrong) text += (text.empty() ? "" : "; ") + w;
    Note(wrong.empty() ? "ok" : "wrong", wrong.empty() ? note : text);
  }
  std::fclose(g_results);
  return 0;
}

TEST(Interleaving, EveryEventWhereTheLauncherWaitsLeavesFileScreenAndWindowAsTheUserAsked) {
  const auto started = std::chrono::steady_clock::now();
  const std::vector<Combination> runs = Runs();
  int leftOut = 0;
  for (const PlaceRow& place : kPlaces)
    for (const EventRow& event : kEvents)
      if (const char* why = LeftOut(place, event.id)) {
        ++leftOut;
        std::printf("left out: %s x %s: %s\n", place.name, event.name, why);
      }
  std::filesystem::remove(ResultsPath());

  // The child, again from the run after one that crashed it or hung.
  std::map<std::size_t, std::string> verdicts;  // empty: right
  std::map<std::size_t, std::string> notes;
  std::size_t from = 0;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  while (from < runs.size()) {
    std::wstring command = L"\"" + std::wstring(self) + L"\" --interleaving-child " + std::to_wstring(from);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    // A run that waits for ever (a box nobody answers) shows as a results file that stops
    // growing.
    std::uintmax_t size = 0;
    auto lastGrowth = std::chrono::steady_clock::now();
    bool hung = false;
    while (WaitForSingleObject(pi.hProcess, 250) == WAIT_TIMEOUT) {
      std::error_code ec;
      const std::uintmax_t now = std::filesystem::file_size(ResultsPath(), ec);
      if (!ec && now != size) {
        size = now;
        lastGrowth = std::chrono::steady_clock::now();
      } else if (std::chrono::steady_clock::now() - lastGrowth > std::chrono::seconds(45)) {
        TerminateProcess(pi.hProcess, 4);
        WaitForSingleObject(pi.hProcess, 10000);
        hung = true;
        break;
      }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);

    std::optional<std::size_t> begun;
    std::string lines = test::ReadBytes(ResultsPath());
    std::size_t pos = 0;
    while (pos < lines.size()) {
      std::size_t end = lines.find('\n', pos);
      if (end == std::string::npos) end = lines.size();
      const std::string line = lines.substr(pos, end - pos);
      pos = end + 1;
      // "kind run text"
      const std::size_t space = line.find(' '), second = line.find(' ', space + 1);
      if (space == std::string::npos || second == std::string::npos) continue;
      const std::string what = line.substr(0, space), text = line.substr(second + 1);
      const std::size_t k = std::stoul(line.substr(space + 1, second - space - 1));
      if (what == "fatal") FAIL() << "the harness could not begin: " << text;
      if (what == "begin" && k >= from) begun = k;
      if (what == "ok") verdicts[k] = "";
      if (what == "ok" && !text.empty()) notes[k] = text;
      if (what == "wrong") verdicts[k] = text;
      if (what == "crash") verdicts[k] = text;
    }
    // The child ended in the last run it began: said by itself (a crash it caught), or not.
    if (exitCode == 0 && !hung) break;
    if (!begun) FAIL() << "the child began no run (exit code " << exitCode << ")";
    if (!verdicts.count(*begun))
      verdicts[*begun] = hung ? "did not finish: the launcher waited for ever"
                              : "the child ended in this run (exit code " + std::to_string(exitCode) + ")";
    from = *begun + 1;
  }

  for (const auto& [k, text] : notes) std::printf("note: %s: %s\n", runs[k].Name().c_str(), text.c_str());
  int wrong = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (verdicts[k].empty()) continue;
    ++wrong;
    std::printf("wrong: %s: %s\n", runs[k].Name().c_str(), verdicts[k].c_str());
  }
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
  std::printf("interleaving: %zu places x %zu events = %zu, %d left out, %zu runs, %d wrong (%lld s)\n",
              std::size(kPlaces), std::size(kEvents), std::size(kPlaces) * std::size(kEvents), leftOut, runs.size(),
              wrong, static_cast<long long>(seconds));
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vl

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--interleaving-child") == 0)
    return vl::RunChild(static_cast<std::size_t>(std::strtoull(argv[2], nullptr, 10)));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
