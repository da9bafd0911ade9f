// Buttons moved by dragging on a real main window in this process: one harness walks every
// gesture from a fresh settings file (a short move that still clicks, a drop on an empty
// button, on a bound one, on itself, outside, on its own tab, on the tabs of a page not built,
// of a built one and of a full one, on a window over a tab, Esc, typing and Esc through the
// launcher's keys, the capture taken away, a read-only file, a press on an empty button, and
// back onto the first page's tab from another page) and checks the file, the faces with
// their gone marks, the pointer, the boxes and what opened.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "core/file_io.h"
#include "core/ini_document.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

// Page 1 (text only): 1 and 2 bound (2's target is gone), 3 and 4 empty. Page 2 (never
// shown, icons and text): 1 bound, 2 empty, wide enough that every tab shows above it.
// Page 3 full.
std::string FileFor(const std::wstring& one, const std::wstring& two) {
  const std::string a = WideToUtf8(one), b = WideToUtf8(two);
  return "[General]\r\nPageNum=3\r\nFormTop=80\r\nFormLeft=80\r\n"
         "[Setting]\r\nAskBeforeDelBtn=0\r\nIsUseShake=0\r\nIsUseHotKey=0\r\nHideWhenClickBtn=0\r\n"
         "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=2\r\n"
         "BtnFP1=" + a + "\r\nBtnName1=first\r\nBtnIP1=" + a + "\r\nWD1=C:\\\r\n"
         "BtnFP2=" + b + "\r\nBtnName2=second\r\nBtnIP2=" + b + "\r\n"
         "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=1\r\nBtnW=128\r\nBtnH=64\r\n"
         "BtnFP1=C:\\two.exe\r\nBtnName1=two\r\n"
         "[Page3]\r\nLive=1\r\nName=Full\r\nYoko=1\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
         "BtnFP1=C:\\full.exe\r\nBtnName1=full\r\n";
}

std::wstring Key(const std::string& file, const wchar_t* section, const std::wstring& key) {
  return IniDocument::Parse(file).Get(section, key).value_or(L"");
}

POINT CenterOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT TabCenter(TfrmMain& form, int tab) {
  RECT r{};
  SendMessageW(form.Base().Handle(), TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(form.Base().Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The mouse on `button` as the system delivers it to the window that holds the capture.
LPARAM ClientParam(HWND button, POINT screen) {
  ScreenToClient(button, &screen);
  return test::PointParam(screen.x, screen.y);
}

struct Gesture {
  const char* name;
  // Where the pointer goes after the press on button 1 (or on `from`), and is released.
  std::function<POINT(TfrmMain&)> to;
  int from = 1;
  // Before the release, with the pointer over `to`.
  std::function<void(TfrmMain&, HWND dragged)> meanwhile = nullptr;
  bool readOnly = false;
  bool showPage2First = false;
  // Expected: the targets of page 1's buttons 1-3 and page 2's button 2 afterwards (empty
  // strings where nothing), the pointer before the release, the box, and whether button 1
  // opened.
  std::wstring one, two, three, page2second;
  LPCWSTR cursor = nullptr;
  std::wstring box = L"";
  bool opens = false;
  // The button of page 1 drawn lit as the drop's place before the release; 0: none.
  int lit = 0;
};

// The visible tooltip windows of this thread that say `text`.
int TipsSaying(const std::wstring& text, RECT* where = nullptr) {
  struct Search {
    const std::wstring& text;
    RECT* where;
    int found = 0;
  } search{text, where};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) {
        auto& s = *reinterpret_cast<Search*>(param);
        wchar_t cls[64] = {}, said[256] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) != TOOLTIPS_CLASSW || !IsWindowVisible(hwnd)) return TRUE;
        SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(said));
        if (s.text != said) return TRUE;
        ++s.found;
        if (s.where) GetWindowRect(hwnd, s.where);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class ButtonMoveTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(SettingsFilePath());
  }
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
};

TEST_F(ButtonMoveTest, EveryGestureMovesTheButtonOnceOrNotAtAll) {
  auto self = [](TfrmMain& f) { return CenterOf(f.PageList()[0]->Button(1)->Handle()); };
  auto button = [](int i) {
    return [i](TfrmMain& f) { return CenterOf(f.PageList()[0]->Button(i)->Handle()); };
  };
  auto tab = [](int t) { return [t](TfrmMain& f) { return TabCenter(f, t); }; };
  HWND cover = nullptr;  // a window of another program, over the launcher
  const std::wstring kA = L"A", kB = L"B";  // stand for button 1's and button 2's targets
  const std::vector<Gesture> gestures = {
      {"a move within the drag distance still clicks",
       [&](TfrmMain& f) { POINT p = self(f); return POINT{p.x + 2, p.y + 2}; },
       1, nullptr, false, false, kA, kB, L"", L"", nullptr, L"", true},
      {"onto an empty button, the middle button pressed on the way", button(3), 1,
       [](TfrmMain&, HWND dragged) {
         SendMessageW(dragged, WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON, 0);
         SendMessageW(dragged, WM_MBUTTONUP, MK_LBUTTON, 0);
       },
       false, false, L"", kB, kA, L"", IDC_SIZEALL, L"", false, 3},
      {"onto a bound button: they trade places", button(2), 1, nullptr, false, false, kB, kA, L"", L"", IDC_SIZEALL,
       L"", false, 2},
      {"back onto itself", self, 1,
       [&](TfrmMain& f, HWND dragged) {
         // Out past the drag distance first, then back.
         POINT away = button(3)(f);
         SendMessageW(dragged, WM_MOUSEMOVE, MK_LBUTTON, ClientParam(dragged, away));
         SendMessageW(dragged, WM_MOUSEMOVE, MK_LBUTTON, ClientParam(dragged, self(f)));
       },
       false, false, kA, kB, L"", L"", IDC_NO},
      {"outside the window",
       [](TfrmMain& f) {
         RECT r;
         GetWindowRect(f.Handle(), &r);
         return POINT{r.right + 40, r.bottom + 40};
       },
       1, nullptr, false, false, kA, kB, L"", L"", IDC_NO},
      {"onto its own tab", tab(0), 1, nullptr, false, false, kA, kB, L"", L"", IDC_NO},
      {"onto the tab of a page not built", tab(1), 1, nullptr, false, false, L"", kB, L"", kA, IDC_SIZEALL},
      {"onto the tab of a built page", tab(1), 1, nullptr, false, true, L"", kB, L"", kA, IDC_SIZEALL},
      {"the button whose target is gone onto the tab of a built page", tab(1), 2, nullptr, false, true, kA, L"", L"",
       kB, IDC_SIZEALL},
      {"onto another program's window over the tab of another page", tab(1), 1,
       [&](TfrmMain& f, HWND dragged) {
         const POINT at = TabCenter(f, 1);
         cover = CreateWindowExW(WS_EX_TOPMOST, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, at.x - 20, at.y - 20, 40,
                                 40, nullptr, nullptr, nullptr, nullptr);
         SendMessageW(dragged, WM_MOUSEMOVE, MK_LBUTTON, ClientParam(dragged, at));
       },
       false, false, kA, kB, L"", L"", IDC_NO},
      {"onto the tab of a full page", tab(2), 1, nullptr, false, false, kA, kB, L"", L"", IDC_NO,
       L"「Full」には空いているボタンがありません。ボタンは移動しませんでした"},
      {"Esc, then released over an empty button", button(3), 1,
       [](TfrmMain&, HWND dragged) { SendMessageW(dragged, WM_KEYDOWN, VK_ESCAPE, 0); },
       false, false, kA, kB, L"", L"", IDC_ARROW},
      {"a search typed, then Esc, through the launcher's keys", button(3), 1,
       [&](TfrmMain&, HWND dragged) {
         PostMessageW(dragged, WM_CHAR, L'x', 0);
         PostMessageW(dragged, WM_KEYDOWN, VK_ESCAPE, 0);
         app.ProcessMessages();
       },
       false, false, kA, kB, L"", L"", IDC_ARROW},
      {"the capture taken by another window", button(3), 1,
       [](TfrmMain& f, HWND) {
         // As a menu or a box would take it for a while.
         SetCapture(f.Handle());
         ReleaseCapture();
       },
       false, false, kA, kB, L"", L"", IDC_ARROW},
      {"a read-only file", button(3), 1, nullptr, true, false, kA, kB, L"", L"", IDC_SIZEALL, L"に書き込めません.", false,
       3},
      {"an empty button pressed and dragged", button(1), 3, nullptr, false, false, kA, kB, L"", L"", nullptr},
  };

  int index = 0;
  std::vector<std::wstring> opened, unopened;
  for (const Gesture& g : gestures) {
    SCOPED_TRACE(g.name);
    // Button 1's target: a program that notes its start, one of its own for each gesture.
    const std::wstring a = (dir.path() / (L"g" + std::to_wstring(++index) + L".exe")).wstring();
    const std::wstring b = (dir.path() / L"second.txt").wstring();
    std::filesystem::copy_file(test::TestProgramFolder() / L"cwd_writer.exe", a);
    (g.opens ? opened : unopened).push_back(a + L".cwd");
    test::WriteBytes(SettingsFilePath(), FileFor(a, b));
    if (g.readOnly) SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = test::ReadBytes(SettingsFilePath());
    auto expand = [&](const std::wstring& e) { return e == kA ? a : e == kB ? b : e; };

    test::MessageBoxCatcher boxes;
    auto form = std::make_unique<TfrmMain>();
    if (g.showPage2First) {
      form->Base().SetActivePageIndex(1);
      form->BaseChange();
      form->Base().SetActivePageIndex(0);
      form->BaseChange();
    }
    test::Pump(0);
    TPage& page = *form->PageList()[0];
    HWND dragged = page.Button(g.from)->Handle();
    const POINT start = CenterOf(dragged), to = g.to(*form);
    const std::uint64_t writes = TotalFilesWritten();
    SendMessageW(dragged, WM_LBUTTONDOWN, MK_LBUTTON, ClientParam(dragged, start));
    SendMessageW(dragged, WM_MOUSEMOVE, MK_LBUTTON, ClientParam(dragged, to));
    if (g.meanwhile) g.meanwhile(*form, dragged);
    if (g.cursor) {
      EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, g.cursor)) << "the pointer before the release";
    }
    auto litButtons = [&] {
      std::string lit;
      for (std::int32_t i = 1; i <= page.BtnCount(); ++i) lit += page.Button(i)->DropTarget() ? '1' : '0';
      return lit;
    };
    EXPECT_EQ(litButtons(), g.lit ? std::string("0000").replace(static_cast<std::size_t>(g.lit - 1), 1, "1") : "0000")
        << "lit before the release";
    // The release goes where the system sends it: to the window holding the mouse, if any.
    HWND receiver = GetCapture() ? GetCapture() : WindowFromPoint(to);
    SendMessageW(receiver, WM_LBUTTONUP, 0, ClientParam(receiver, to));
    test::Pump(0);
    EXPECT_EQ(litButtons(), "0000") << "nothing lit after the drag";
    // A button gone to another page's tab says so at that tab, for a moment.
    RECT said{};
    const bool toPage2 = g.page2second == kA || g.page2second == kB;
    EXPECT_EQ(TipsSaying(L"「Two」へ移動しました", &said), toPage2 ? 1 : 0);
    if (toPage2) {
      const POINT tab2 = TabCenter(*form, 1);
      EXPECT_TRUE(said.left <= tab2.x && tab2.x <= said.right && said.top >= tab2.y && said.top < tab2.y + 40)
          << "below the tab: " << said.left << "," << said.top << " " << said.right << "," << said.bottom;
      if (g.showPage2First) {
        form->BaseChange();  // as a tab selected, a page deleted or rebuilt
        EXPECT_EQ(TipsSaying(L"「Two」へ移動しました"), 0) << "taken down with a change of pages";
      } else {
        EXPECT_TRUE(test::PumpUntil([] { return TipsSaying(L"「Two」へ移動しました") == 0; }, 5000)) << "taken down";
      }
    }

    const std::string file = test::ReadBytes(SettingsFilePath());
    const std::wstring want[] = {expand(g.one), expand(g.two), expand(g.three)};
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(Key(file, L"Page1", L"BtnFP" + std::to_wstring(i)), want[i - 1]) << "in the file: button " << i;
      EXPECT_EQ(page.Button(i)->FullPath(), want[i - 1]) << "on the page: button " << i;
      EXPECT_EQ(page.Button(i)->Regist(), !want[i - 1].empty()) << "bound: button " << i;
      // The mark of a target that is gone goes with its button, and no empty slot keeps it.
      EXPECT_EQ(page.Button(i)->Dimmed(), want[i - 1] == b) << "gone mark: button " << i;
    }
    if (TPage& other = *form->PageList()[1]; other.Built()) {
      EXPECT_EQ(other.Button(2)->Dimmed(), g.page2second == kB) << "gone mark: page 2, button 2";
    }
    EXPECT_EQ(Key(file, L"Page2", L"BtnFP2"), expand(g.page2second));
    EXPECT_EQ(Key(file, L"Page2", L"BtnFP1"), L"C:\\two.exe");
    EXPECT_EQ(Key(file, L"Page3", L"BtnFP1"), L"C:\\full.exe");
    // Everything of the button goes with it, and its face follows.
    for (int i = 1; i <= 3; ++i) {
      const std::wstring name = want[i - 1] == a ? L"first" : want[i - 1] == b ? L"second" : L"";
      EXPECT_EQ(Key(file, L"Page1", L"BtnName" + std::to_wstring(i)), name) << "button " << i;
      EXPECT_EQ(page.Button(i)->Caption(), name) << "face of button " << i;
      EXPECT_EQ(page.Button(i)->Glyph(), nullptr) << "no icon on a page of text only: button " << i;
      EXPECT_EQ(Key(file, L"Page1", L"WD" + std::to_wstring(i)), want[i - 1] == a ? L"C:\\" : L"") << "button " << i;
    }
    const bool moved = file != before;
    EXPECT_EQ(TotalFilesWritten() - writes, moved ? 1u : 0u) << "one write of the file for a move";
    EXPECT_EQ(GetCapture(), nullptr) << "the mouse let go";
    EXPECT_EQ(boxes.Seen().size(), g.box.empty() ? 0u : 1u);
    if (!g.box.empty() && !boxes.Seen().empty()) {
      EXPECT_NE(boxes.Seen()[0].text.find(g.box), std::wstring::npos) << WideToUtf8(boxes.Seen()[0].text);
    }
    if (g.page2second == kA) {
      // The move filled page 2: button 2 dragged onto its tab now is refused, and the
      // button just moved there keeps its place.
      // Pressed, carried to `at` (the pointer checked there) and released.
      auto carry = [](HWND from, POINT at, LPCWSTR cursor, const char* where) {
        SendMessageW(from, WM_LBUTTONDOWN, MK_LBUTTON, ClientParam(from, CenterOf(from)));
        SendMessageW(from, WM_MOUSEMOVE, MK_LBUTTON, ClientParam(from, at));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursor)) << where;
        HWND under = GetCapture() ? GetCapture() : WindowFromPoint(at);
        SendMessageW(under, WM_LBUTTONUP, 0, ClientParam(under, at));
        test::Pump(0);
      };
      carry(page.Button(2)->Handle(), to, IDC_NO, "over the tab of the page the move filled");
      EXPECT_EQ(Key(test::ReadBytes(SettingsFilePath()), L"Page2", L"BtnFP2"), a) << "written over";
      EXPECT_EQ(page.Button(2)->FullPath(), b);
      // The other page shows it when it comes up, built from the file or as it was.
      form->Base().SetActivePageIndex(1);
      form->BaseChange();
      EXPECT_EQ(form->PageList()[1]->Button(2)->Caption(), L"first");
      EXPECT_NE(form->PageList()[1]->Button(2)->Glyph(), nullptr) << "its icon, which page 1 did not show";
      EXPECT_TRUE(form->PageList()[1]->Button(2)->Regist());
      // And back onto the first page's tab, from the page it went to: it takes page 1's
      // first free button, the one it left.
      carry(form->PageList()[1]->Button(2)->Handle(), TabCenter(*form, 0), IDC_SIZEALL, "over the first page's tab");
      const std::string after = test::ReadBytes(SettingsFilePath());
      EXPECT_EQ(Key(after, L"Page1", L"BtnFP1"), a) << "moved back to page 1";
      EXPECT_EQ(Key(after, L"Page1", L"BtnName1"), L"first");
      EXPECT_EQ(Key(after, L"Page2", L"BtnFP2"), L"") << "and gone from page 2";
      EXPECT_EQ(page.Button(1)->FullPath(), a);
      EXPECT_EQ(page.Button(1)->Caption(), L"first");
      EXPECT_EQ(form->PageList()[1]->Button(2)->FullPath(), L"");
    }
    form.reset();
    if (cover) DestroyWindow(std::exchange(cover, nullptr));
    if (g.readOnly) SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  // A launch takes its time: the click's program once started, no drag ever started one.
  for (const std::wstring& cwd : opened)
    EXPECT_TRUE(test::PumpUntil([&] { return std::filesystem::exists(cwd); }, 20000)) << WideToUtf8(cwd);
  test::Pump(1000);
  for (const std::wstring& cwd : unopened) EXPECT_FALSE(std::filesystem::exists(cwd)) << WideToUtf8(cwd);
}

}  // namespace
}  // namespace vl
