// A page on a real window: built from its section, laid out, saved after a drop, the hover
// highlight and the hiding after a click, rebuilt with another grid, the buttons' one
// tooltip window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <set>
#include <thread>

#include "app/page.h"
#include "app/page_control_ex.h"
#include "buttons/glyph_cache.h"
#include "buttons/shell_helpers.h"
#include "core/ini_file.h"
#include "core/text_codec.h"
#include "gui/platform/com_scope.h"
#include "gui/application.h"
#include "gui/tool_tip.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class HostForm : public TWindow, public TPageHost {
 public:
  HostForm() {
    WindowParams p;
    p.className = L"PageTestHost";
    p.caption = L"page host";
    p.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    p.x = p.y = 10;
    p.width = p.height = 200;
    Create(p);
    strip = std::make_unique<TPageControlEx>(Handle(), 0, 0, 100, 100, nullptr);
  }
  TPageControl& PageStrip() override { return *strip; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CONTEXTMENU) contextMenuFrom = reinterpret_cast<HWND>(wParam);
    return TWindow::HandleMessage(msg, wParam, lParam);
  }
  void SetMainClientSize(int width, int height) override { client = SIZE{width, height}; }
  void HideMainWindow() override { ++hides; }

  std::unique_ptr<TPageControlEx> strip;
  SIZE client{0, 0};
  int hides = 0;
  HWND contextMenuFrom = nullptr;
};

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(ini); }
  void TearDown() override { std::filesystem::remove(ini); }

  void Click(TLaunchBtn& b, UINT down, UINT up) {
    SendMessageW(b.Handle(), down, 0, test::PointParam(5, 5));
    SendMessageW(b.Handle(), up, 0, test::PointParam(5, 5));
  }

  std::filesystem::path ini = SettingsFilePath();
  TApplication app{L"RavariVudovi"};
  HostForm host;
};

TEST_F(PageTest, NewPageWritesItsDefaultsAndBuildsFiveEmptyButtons) {
  TPage page(host, 1, L"NEW");
  EXPECT_EQ(ReadBytes(ini),
            "[Page1]\r\nLive=1\r\nName=NewPage\r\nFontName=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56"
            "\x83\x62\x83\x4E\r\nFontColor=clNavy\r\nFontSize=10\r\nYoko=5\r\nTate=1\r\nBtnW=64\r\n"
            "BtnH=64\r\nShowType=0\r\n");
  ASSERT_EQ(page.BtnCount(), 5);
  EXPECT_EQ(host.client.cx, 320);
  EXPECT_EQ(host.client.cy, 83);
  EXPECT_EQ(host.strip->Sheet(0).Caption(), L"NewPage");
  EXPECT_EQ(host.strip->Sheet(0).Tag(), 1);
  for (int i = 1; i <= 5; ++i) {
    TLaunchBtn& b = *page.Button(i);
    RECT r;
    GetWindowRect(b.Handle(), &r);
    MapWindowPoints(nullptr, page.Sheet().Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, (i - 1) * 64) << "button " << i;
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(b.BtnIndex(), i);
    EXPECT_FALSE(b.Regist());
    EXPECT_EQ(b.ShowType(), st_Both);
    EXPECT_EQ(b.FontColor(), RGB(0, 0, 128)) << "navy captions";
  }
  EXPECT_EQ(page.Button(0), nullptr);
  EXPECT_EQ(page.Button(6), nullptr);
}

TEST_F(PageTest, StoredButtonsAndShowTypesAsTheFileHasThem) {
  for (auto [stored, expected] : {std::pair{L"1", st_IconOnly}, {L"2", st_TextOnly}, {L"7", st_Both}, {L"", st_Both}}) {
    std::string type = stored[0] ? std::string("ShowType=") + static_cast<char>(stored[0]) + "\r\n" : "";
    WriteBytes(ini, "[Page3]\r\nLive=1\r\nName=Tools\r\nYoko=3\r\nTate=2\r\nBtnW=40\r\nBtnH=50\r\n" + type +
                        "BtnFP5=C:\\x\\a.exe\r\nBtnName5=a\r\nBtnIP5=C:\\x\\a.exe\r\nWD5=C:\\x\r\n");
    TPage page(host, 3, L"");
    ASSERT_EQ(page.BtnCount(), 6);
    TLaunchBtn& five = *page.Button(5);
    EXPECT_EQ(five.ShowType(), expected);
    EXPECT_TRUE(five.Regist());
    EXPECT_EQ(five.FullPath(), L"C:\\x\\a.exe");
    EXPECT_EQ(five.WorkDir(), L"C:\\x");
    EXPECT_EQ(five.Caption(), expected == st_IconOnly ? L"" : L"a");
    EXPECT_FALSE(page.Button(4)->Regist());
    EXPECT_EQ(host.client.cx, 120);
    EXPECT_EQ(host.client.cy, 2 * 50 + 19);
    RECT r;
    GetWindowRect(five.Handle(), &r);
    MapWindowPoints(nullptr, page.Sheet().Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 40) << "button 5 of 3 columns: row 1, column 1";
    EXPECT_EQ(r.top, 50);
    host.strip->DeleteSheet(0);
  }
}

TEST_F(PageTest, ADropWritesTheButtonItBindsAndNoOther) {
  test::TempDir dir;
  auto target = dir / "report.final.txt";
  WriteBytes(target, "x");
  TPage page(host, 1, L"NEW");
  test::SendDrop(page.Button(2)->Handle(), {target.wstring()});
  TIniFile file(ini);
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP2", L"<none>"), target.wstring());
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnName2", L"<none>"), L"report.final");
  EXPECT_EQ(file.ReadString(L"Page1", L"WD2", L"<none>"), dir.path().wstring());
  for (int i : {1, 3, 4, 5}) {
    EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP" + std::to_wstring(i), L"<none>"), L"<none>")
        << "a button the user did not touch is not written";
  }
}

TEST_F(PageTest, FilesDroppedTogetherFillTheEmptyButtonsAfterTheTargetAndTheRestAreCounted) {
  test::TempDir dir;
  std::vector<std::wstring> files;
  for (const wchar_t* name : {L"写真.txt", L"請求書.txt", L"議事録.txt", L"a.txt", L"b.txt", L"c.txt"}) {
    files.push_back((dir.path() / name).wstring());
    WriteBytes(files.back(), "x");
  }
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nName=P\r\nYoko=5\r\nTate=1\r\nBtnFP3=C:\\x\\kept.exe\r\nBtnName3=kept\r\n");
  TPage page(host, 1, L"");
  auto fp = [&](int i) { return TIniFile(ini).ReadString(L"Page1", L"BtnFP" + std::to_wstring(i), L"<none>"); };
  {
    test::MessageBoxCatcher boxes;
    test::SendDrop(page.Button(2)->Handle(), {files[0], files[1], files[2]});
    EXPECT_TRUE(boxes.Seen().empty()) << "everything found a button";
  }
  EXPECT_EQ(fp(1), L"<none>") << "before the target: untouched";
  EXPECT_EQ(fp(2), files[0]);
  EXPECT_EQ(fp(3), L"C:\\x\\kept.exe") << "a bound button is passed over";
  EXPECT_EQ(fp(4), files[1]);
  EXPECT_EQ(fp(5), files[2]);
  EXPECT_EQ(page.Button(4)->BtnName(), L"請求書");
  EXPECT_TRUE(page.Button(5)->Regist());
  EXPECT_FALSE(page.Unsaved());

  {
    test::MessageBoxCatcher boxes;
    test::SendDrop(page.Button(1)->Handle(), {files[3], files[4], files[5]});
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text,
              L"3 個のファイルのうち 1 個を登録しました。\n残りの 2 個は、このボタンから後ろに空いているボタンがないため"
              L"登録していません。\n別のページの空いているボタンにドロップするか、「ページのプロパティ」でボタンの数を増やしてください");
  }
  EXPECT_EQ(fp(1), files[3]) << "what fits is bound, and saved";
  EXPECT_EQ(fp(2), files[0]);

  {
    test::MessageBoxCatcher boxes;
    test::SendDrop(page.Button(1)->Handle(), {files[4], files[5]});
    ASSERT_EQ(boxes.Seen().size(), 1u) << "a bound button takes nothing, also from a drop of several";
    EXPECT_NE(boxes.Seen()[0].text.find(L"すでに登録されています"), std::wstring::npos);
  }
  EXPECT_EQ(fp(1), files[3]);
}

TEST_F(PageTest, HoverTurnsTheButtonUnderThePointerBlueAndLeavingTurnsAllBlack) {
  TPage page(host, 1, L"NEW");
  SendMessageW(page.Button(3)->Handle(), WM_MOUSEMOVE, 0, test::PointParam(3, 3));
  EXPECT_EQ(page.Button(3)->FontColor(), RGB(0, 0, 255));
  EXPECT_EQ(page.Button(1)->FontColor(), RGB(0, 0, 0)) << "the others turn black, whatever FontColor says";
  SendMessageW(page.Button(3)->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(page.Button(3)->FontColor(), RGB(0, 0, 0)) << "the pointer left the button";
  SendMessageW(page.Button(2)->Handle(), WM_MOUSEMOVE, 0, test::PointParam(3, 3));
  page.ResetHighlight();
  EXPECT_EQ(page.Button(2)->FontColor(), RGB(0, 0, 0));
  page.ApplyFonts();
  EXPECT_EQ(page.Button(3)->FontColor(), RGB(0, 0, 128)) << "the stored colour comes back with ApplyFonts";
}

// A drive nobody holds: a target there is not known to be gone, and opens nothing.
std::string OnNoDrive(const char* file) {
  char drive = 'Q';
  while (drive < 'Y' && (GetLogicalDrives() & (1u << (drive - 'A')))) ++drive;
  return std::string(1, drive) + ":\\" + file;
}

TEST_F(PageTest, ClickingABoundButtonHidesTheLauncherUnlessTheSettingSaysNoOrItsTargetIsGone) {
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
                  "BtnFP1=" + OnNoDrive("none.exe") + "\r\nBtnFP3=C:\\no such folder\\none.exe\r\n");
  TPage page(host, 1, L"");
  Click(*page.Button(2), WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(host.hides, 0) << "an empty button never hides the window";
  EXPECT_EQ(page.CurrentBtn(), 2);
  {
    test::MessageBoxCatcher boxes;
    Click(*page.Button(3), WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, GoneTargetMessage(L"C:\\no such folder\\none.exe"));
    EXPECT_EQ(host.hides, 0) << "the launcher stays for the user to mend the button";
    EXPECT_EQ(page.CurrentBtn(), 3);
  }
  Click(*page.Button(1), WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(host.hides, 1);
  TIniFile(ini).WriteBool(L"Setting", L"HideWhenClickBtn", false);
  Click(*page.Button(1), WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(host.hides, 1);
  Click(*page.Button(2), WM_RBUTTONDOWN, WM_RBUTTONUP);
  EXPECT_EQ(page.CurrentBtn(), 2) << "a right press makes the button current too";
  // Passed up from window to parent, the message names the button or a window holding it.
  HWND from = host.contextMenuFrom, button = page.Button(2)->Handle();
  EXPECT_TRUE(from == button || IsChild(from, button)) << "the right click asks the form for its menu";
}

TEST_F(PageTest, ARebuiltGridKeepsEachButtonsDataByNumber) {
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=5\r\nTate=2\r\nBtnW=30\r\nBtnH=30\r\n"
                  "BtnFP7=C:\\seven.exe\r\nBtnName7=seven\r\nBtnFP10=C:\\ten.exe\r\n");
  TPage page(host, 1, L"");
  TIniFile file(ini);
  // Every button, renewed or new, in its place and of its size: first only the height
  // changes (the first buttons keep their places and widths), then only the width.
  auto rebuild = [&](int btnW, int btnH) {
    file.WriteInteger(L"Page1", L"BtnW", btnW);
    file.WriteInteger(L"Page1", L"BtnH", btnH);
    page.LoadHeader();
    page.BuildButtons();
    ASSERT_EQ(page.BtnCount(), 9);
    for (int i = 1; i <= 9; ++i) {
      RECT r;
      GetWindowRect(page.Button(i)->Handle(), &r);
      MapWindowPoints(nullptr, page.Sheet().Handle(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, (i - 1) % 3 * btnW) << i;
      EXPECT_EQ(r.top, (i - 1) / 3 * btnH) << i;
      EXPECT_EQ(r.right - r.left, btnW) << i;
      EXPECT_EQ(r.bottom - r.top, btnH) << i;
    }
  };
  file.WriteInteger(L"Page1", L"Yoko", 3);
  file.WriteInteger(L"Page1", L"Tate", 3);
  rebuild(30, 20);
  rebuild(45, 20);
  EXPECT_EQ(page.Button(7)->FullPath(), L"C:\\seven.exe");
  page.SaveButtons();
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP10", L""), L"C:\\ten.exe") << "keys beyond the grid stay";
}

// A rebuild renews the button windows it keeps: nothing of what a window showed before may
// survive into the button the file now describes.
TEST_F(PageTest, ARebuiltButtonIsWhatTheFileSaysWhateverItsWindowShowedBefore) {
  test::TempDir dir;
  auto target = dir / "tool.txt";
  WriteBytes(target, "x");
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                  "FontName=Arial\r\nFontSize=9\r\nBtnFP1=" + target.string() + "\r\nBtnName1=one\r\n"
                  "BtnIP1=" + target.string() + "\r\n");
  TPage page(host, 1, L"");
  HWND second = page.Button(2)->Handle(), third = page.Button(3)->Handle();
  test::SendDrop(second, {target.wstring()});  // bound, named, with a glyph and a tooltip
  ASSERT_TRUE(page.Button(2)->Regist());
  SendMessageW(second, WM_MOUSEMOVE, 0, test::PointParam(5, 5));  // the pointer brings its tool
  ASSERT_NE(page.Button(2)->ToolTip(), nullptr);
  SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));  // held down
  const HFONT pageFont = page.Button(1)->Font();

  TIniFile file(ini);
  page.ClearButtonKeys(2);
  file.WriteInteger(L"Page1", L"Yoko", 2);
  page.LoadHeader();
  page.BuildButtons();
  ASSERT_EQ(page.BtnCount(), 2);
  TLaunchBtn& b = *page.Button(2);
  EXPECT_EQ(b.Handle(), second) << "the window was renewed, not made again";
  EXPECT_FALSE(IsWindow(third)) << "the button above the new count is gone";
  EXPECT_FALSE(b.Regist());
  EXPECT_EQ(b.FullPath(), L"");
  EXPECT_EQ(b.Caption(), L"");
  EXPECT_EQ(b.Glyph(), nullptr);
  EXPECT_EQ(b.Hint(), L"");
  EXPECT_EQ(b.ToolTip(), nullptr);
  EXPECT_NE(GetCapture(), second);
  EXPECT_EQ(b.BtnIndex(), 2);
  EXPECT_EQ(page.Button(1)->Caption(), L"one");
  EXPECT_NE(page.Button(1)->Glyph(), nullptr);
  EXPECT_EQ(page.Button(1)->Font(), pageFont) << "the font did not change: the page keeps it";
  EXPECT_EQ(page.Button(2)->Font(), pageFont) << "one font for the page";

  // The events are the new page's: the pressed mouse went with the old button, and a click
  // on the bound button hides the launcher once.
  Click(*page.Button(1), WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(host.hides, 1);
  EXPECT_EQ(page.CurrentBtn(), 1);

  file.WriteInteger(L"Page1", L"Yoko", 4);
  file.WriteString(L"Page1", L"FontName", L"Courier New");
  page.LoadHeader();
  page.BuildButtons();
  ASSERT_EQ(page.BtnCount(), 4);
  EXPECT_EQ(page.Button(2)->Handle(), second);
  for (int i = 3; i <= 4; ++i) EXPECT_TRUE(IsWindowVisible(page.Button(i)->Handle())) << i;
  EXPECT_NE(page.Button(4)->Font(), pageFont) << "a new font name makes a new font";
  EXPECT_EQ(page.Button(4)->Font(), page.Button(1)->Font());
}

TEST_F(PageTest, BrokenGridValuesStillBuildAUsableGrid) {
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=2147483647\r\nTate=-5\r\nBtnW=0\r\nBtnH=99999\r\nFontSize=-3\r\n"
                  "FontColor=purple-ish\r\n");
  TPage page(host, 1, L"");
  EXPECT_EQ(page.Grid().yoko, kMaxGridCells);
  EXPECT_EQ(page.Grid().tate, 1);
  EXPECT_EQ(page.Grid().btnW, 64);
  EXPECT_EQ(page.Grid().btnH, kMaxBtnSize);
  EXPECT_EQ(page.BtnCount(), kMaxGridCells);
  EXPECT_EQ(page.Button(1)->FontColor(), GetSysColor(COLOR_WINDOWTEXT)) << "an unknown colour reads as the default";
}

TEST_F(PageTest, ALivePageWritesItsButtonsWhenDestroyedAndADeletedOneDoesNot) {
  {
    TPage page(host, 1, L"NEW");
    page.Button(1)->SetFullPath(L"C:\\kept.exe");
  }
  EXPECT_EQ(TIniFile(ini).ReadString(L"Page1", L"BtnFP1", L""), L"C:\\kept.exe");
  {
    TPage page(host, 2, L"NEW");
    TIniFile(ini).WriteBool(L"Page2", L"Live", false);
    page.Button(1)->SetFullPath(L"C:\\lost.exe");
  }
  EXPECT_EQ(TIniFile(ini).ReadString(L"Page2", L"BtnFP1", L""), L"");
}

TEST_F(PageTest, ClearButtonKeysEmptiesTheFourKeys) {
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nBtnFP3=a\r\nBtnName3=b\r\nBtnIP3=c\r\nWD3=d\r\n");
  TPage page(host, 1, L"");
  page.ClearButtonKeys(3);
  std::string text = ReadBytes(ini);
  for (const char* line : {"BtnFP3=\r\n", "BtnName3=\r\n", "BtnIP3=\r\n", "WD3=\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

// The shell runs a message loop of its own inside a launch (a security warning for a
// downloaded file, a DDE wait), where the page properties dialog's OK can rebuild the
// page; a message box where the shell would show its prompt stands in for it here. The button that launched is destroyed by a
// smaller grid, or renewed for other data by one of the same size: either way nothing of
// it may be used after the launch, neither its events nor its fields. A target that is
// gone shows its own box instead of the shell's, with the same loop inside. The test's heap
// poisons what is deleted, so that a use of the destroyed button crashes the test.
TEST_F(PageTest, APageRebuiltWhileTheShellRunsALaunchNeverSeesTheOldButtonAgain) {
  const std::string missing = (std::filesystem::path(SettingsFilePath()).parent_path() / "gone.exe").string();
  SetShellPromptForTest([](HWND parent) { MessageBoxW(parent, L"このファイルを開きますか？", L"セキュリティの警告", MB_OK); });
  struct NoPrompt {
    ~NoPrompt() { SetShellPromptForTest(nullptr); }
  } noPrompt;
  struct Trigger {
    const char* name;
    UINT down, up;
    WPARAM param;
  };
  const Trigger triggers[] = {
      {"left release", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
      {"middle release", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
      {"Enter", WM_KEYDOWN, 0, VK_RETURN},
      {"Space", WM_KEYDOWN, WM_KEYUP, VK_SPACE},
  };
  for (const std::string& target : {missing, OnNoDrive("none.exe")})
  for (const Trigger& t : triggers) {
    for (int yoko : {1, 3}) {
      SCOPED_TRACE(std::string(t.name) + (yoko == 1 ? ", grid shrunk, " : ", buttons renewed, ") + target);
      WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnFP3=" +
                          target + "\r\n");
      TPage page(host, 1, L"");
      HWND third = page.Button(3)->Handle();
      host.hides = 0;
      test::MessageBoxCatcher shell;
      shell.OnBox = [&](const test::SeenBox&) {
        TIniFile(ini).WriteInteger(L"Page1", L"Yoko", yoko);
        page.LoadHeader();
        page.BuildButtons();
      };
      const bool mouse = t.down != WM_KEYDOWN;
      SendMessageW(third, t.down, t.param, mouse ? test::PointParam(5, 5) : 0);
      if (t.up) SendMessageW(third, t.up, mouse ? 0 : t.param, mouse ? test::PointParam(5, 5) : 0);
      ASSERT_EQ(shell.Seen().size(), 1u) << "no prompt inside the launch";
      EXPECT_EQ(shell.Seen()[0].caption, target == missing ? L"RavariVudovi" : L"セキュリティの警告");
      EXPECT_EQ(page.BtnCount(), yoko);
      EXPECT_EQ(IsWindow(third) != FALSE, yoko == 3);
      EXPECT_EQ(host.hides, 0) << "the press went on as a click of the renewed button";
    }
  }
}

// Runs `work` on this (the GUI) thread while lookups wait at `gate`; the milliseconds it
// took. Should the work wait at the gate itself, the gate opens after 4 s so that the test
// ends and says so.
ULONGLONG TimeBesideAGate(HANDLE gate, const std::function<void()>& work) {
  UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread watchdog([&] {
    if (WaitForSingleObject(done.get(), 4000) == WAIT_TIMEOUT) SetEvent(gate);
  });
  const ULONGLONG before = GetTickCount64();
  work();
  const ULONGLONG took = GetTickCount64() - before;
  SetEvent(done.get());
  watchdog.join();
  return took;
}

// Two types of documents for as long as it lives: ".vlremote" takes its icon from a file
// on a share, ".vlremote2" from its program, which is on a share.
struct RemoteDocumentTypes {
  RemoteDocumentTypes(const std::wstring& program) {
    auto set = [](const std::wstring& key, const std::wstring& value) {
      RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    set(L".vlremote", L"VlRemote.Document");
    set(L"VlRemote.Document\\DefaultIcon", program + L",0");
    set(L"VlRemote.Document\\shell\\open\\command", L"notepad.exe \"%1\"");
    set(L".vlremote2\\shell\\open\\command", L"\"" + program + L"\" \"%1\"");
  }
  ~RemoteDocumentTypes() {
    for (const wchar_t* key : {L".vlremote", L"VlRemote.Document", L".vlremote2"}) RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
  }
};

// A server that does not answer holds up only the icons of its own buttons: the page is
// built at once, local icons are in, and the others come in when their lookups end. What
// may wait on a server: an icon file on it, a shortcut (its icon is its target's), a
// document whose type takes its icon from a share, and a shortcut dropped from a share.
// Wine resolves "\\server\share" through the prefix's dosdevices\unc folder, which makes a
// real UNC path of a local folder; the gate holds the lookups of chosen files as a silent
// server would, whichever thread makes them.
TEST_F(PageTest, AnIconOnAServerThatDoesNotAnswerComesLaterAndHoldsUpNothingElse) {
  EXPECT_TRUE(IsNetworkPath(L"\\\\server\\share\\a.exe"));
  EXPECT_TRUE(IsNetworkPath(L"//server/share/a.exe"));
  EXPECT_TRUE(IsNetworkPath(L"\\\\?\\UNC\\server\\share\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L"\\\\?\\C:\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L"C:\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L""));
  EXPECT_FALSE(IsNetworkPath(L"ｎ:\\a.exe")) << "a full-width letter names no drive";
  // The test prefix maps N: as a network drive and O: as a removable one (tools/wine-run).
  EXPECT_TRUE(IsNetworkPath(L"n:\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L"O:\\a.exe"));
  EXPECT_TRUE(TargetCheckMayWait(L"N:\\a.exe"));
  EXPECT_TRUE(TargetCheckMayWait(L"o:\\a.exe"));
  EXPECT_FALSE(TargetCheckMayWait(L"C:\\a.exe"));

  wchar_t prefix[MAX_PATH] = L"";
  ASSERT_GT(GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH), 0u) << "runs under Wine";
  const std::filesystem::path share =
      std::filesystem::path(L"Z:" + std::wstring(prefix)) / L"dosdevices" / L"unc" / L"vlserver" / L"share";
  std::filesystem::create_directories(share);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring server = L"\\\\vlserver\\share\\";
  for (const wchar_t* name : {L"tool.exe", L"fast.exe", L"throws.exe"})
    ASSERT_TRUE(CopyFileW(self, (share / name).c_str(), FALSE));
  std::filesystem::remove(share / L"later.exe");
  std::filesystem::remove(share / L"gone.exe");
  const std::wstring remote = server + L"tool.exe";
  ASSERT_TRUE(FileExists(remote)) << "the share resolves";
  test::TempDir dir;
  const std::wstring doc = (dir.path() / L"report.vlremote").wstring();
  const std::wstring lnk = (dir.path() / L"MAIL.LNK").wstring();  // upper case: bound as itself
  WriteBytes(doc, "x");
  {
    TComScope com;
    ASSERT_TRUE(test::MakeShortcut(lnk, {.target = remote}));
    ASSERT_TRUE(test::MakeShortcut((share / L"Mail.lnk").wstring(), {.target = self}));
  }
  RemoteDocumentTypes remoteTypes(remote);
  EXPECT_FALSE(IconLookupMayWait(self));
  EXPECT_TRUE(IconLookupMayWait(doc));
  EXPECT_TRUE(IconLookupMayWait((dir.path() / L"b.vlremote2").wstring()));
  EXPECT_TRUE(IconLookupMayWait(lnk));

  UniqueKernelHandle gate(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  static std::set<std::wstring> held;
  held = {remote, doc, lnk, server + L"docs", server + L"Mail.lnk"};
  SetNetworkLookupGateForTest(gate.get(), [](const std::wstring& path) {
    if (path == L"\\\\vlserver\\share\\throws.exe") throw std::bad_alloc();
    return held.contains(path);
  });
  struct Ungate {
    HANDLE gate;
    ~Ungate() {
      SetEvent(gate);
      SetNetworkLookupGateForTest(nullptr, nullptr);
    }
  } ungate{gate.get()};
  auto narrow = [](const std::wstring& w) { return WideToUtf8(w); };
  const std::string local = std::filesystem::path(self).string();
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=7\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnIP1=" + narrow(remote) +
                      "\r\nBtnIP2=" + narrow(remote) + "\r\nBtnIP3=" + local + "\r\nBtnIP4=" + narrow(doc) +
                      "\r\nBtnIP5=" + narrow(lnk) + "\r\nBtnIP6=" + narrow(server) + "fast.exe\r\nBtnIP7=" +
                      narrow(server) + "throws.exe\r\n"
                      "[Page2]\r\nLive=1\r\nYoko=1\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnIP1=" + narrow(remote) + "\r\n");
  std::unique_ptr<TPage> page;
  const ULONGLONG built = TimeBesideAGate(gate.get(), [&] {
    // A page that goes while its lookup waits: the icon that comes finds no button there.
    TPage gone(host, 2, L"");
    EXPECT_EQ(gone.Button(1)->Glyph(), nullptr);
    page = std::make_unique<TPage>(host, 1, L"");
  });
  EXPECT_LT(built, 1000u) << "the GUI thread waited for a server";
  auto glyph = [&](int i) { return page->Button(i)->Glyph(); };
  EXPECT_NE(glyph(3), nullptr) << "a local icon is in at once";
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(glyph(i), nullptr) << "button " << i << " waits for the server";
  // Three lookups wait for the server; the next one goes on beside them, and one that
  // fails (here with an exception) ends neither its thread nor the program.
  EXPECT_TRUE(test::PumpUntil([&] { return glyph(6) != nullptr; }, 5000)) << "one lookup waited behind another";
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(glyph(i), nullptr) << "button " << i << " waits for the server";
  EXPECT_EQ(glyph(7), nullptr);

  // A file the server does not have: the button keeps what it showed, and the file is
  // asked for again when the launcher is next shown after a pause.
  TLaunchBtn& b3 = *page->Button(3);
  const SharedBitmap before = b3.SharedGlyph();
  b3.SetIconPath(server + L"later.exe");
  b3.LoadGlyph();
  test::Pump(300);
  EXPECT_EQ(b3.SharedGlyph(), before) << "a lookup that found nothing took the glyph";
  ASSERT_TRUE(CopyFileW(self, (share / L"later.exe").c_str(), FALSE));
  AskAgainForMissingGlyphs(60000);  // too soon: nothing is asked
  test::Pump(300);
  EXPECT_EQ(b3.SharedGlyph(), before);
  AskAgainForMissingGlyphs(0);
  EXPECT_TRUE(test::PumpUntil([&] { return b3.SharedGlyph() != before && b3.Glyph(); }, 5000))
      << "the file the server had later was not asked for again";

  SetEvent(gate.get());
  EXPECT_TRUE(test::PumpUntil([&] { return glyph(1) && glyph(2) && glyph(4) && glyph(5); }, 10000));
  EXPECT_EQ(page->Button(1)->SharedGlyph(), page->Button(2)->SharedGlyph()) << "one lookup, one glyph";

  // Dropped from a silent server, a folder and a shortcut: the drop waits a second for
  // each answer, not the network's time-out. The folder binds as a file, the shortcut as
  // itself; a server that answers gives the folder its folder icon and the shortcut's
  // target.
  std::filesystem::create_directories(share / L"docs");
  const std::wstring folder = server + L"docs";
  TPage later(host, 3, L"NEW");
  ResetEvent(gate.get());
  const ULONGLONG dropped = TimeBesideAGate(gate.get(), [&] {
    test::SendDrop(later.Button(1)->Handle(), {folder});
    test::SendDrop(later.Button(3)->Handle(), {server + L"Mail.lnk"});
  });
  EXPECT_LT(dropped, 3000u) << "a drop waited for the server";
  EXPECT_EQ(later.Button(1)->FullPath(), folder);
  EXPECT_EQ(later.Button(1)->IconPath(), folder) << "no answer in time: not known as a folder";
  EXPECT_EQ(later.Button(3)->FullPath(), server + L"Mail.lnk") << "no answer in time: the shortcut itself";
  SetEvent(gate.get());
  test::SendDrop(later.Button(2)->Handle(), {folder});
  EXPECT_EQ(later.Button(2)->IconPath(), FolderIconPath()) << "an answering server says it is a folder";
  test::SendDrop(later.Button(4)->Handle(), {server + L"Mail.lnk"});
  EXPECT_EQ(later.Button(4)->FullPath(), std::wstring(self)) << "an answering server gives the target";

  // Whether a target on a server is gone is asked on the lookup threads too: the page is
  // built at once, a file the server does not have dims its button when the answer comes,
  // and a server that is not there dims nothing. A click waits a second at most for the
  // answer, and without one leaves the target to the shell.
  const std::wstring heldTarget = server + L"held.vlnone", goneTarget = server + L"gone.exe";
  held = {heldTarget};
  ResetEvent(gate.get());
  WriteBytes(ini, "[Page4]\r\nLive=1\r\nYoko=4\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnFP1=" + narrow(heldTarget) +
                      "\r\nBtnFP2=" + narrow(goneTarget) + "\r\nBtnFP3=\\\\vlnoserver\\share\\x.exe\r\nBtnFP4=" +
                      narrow(server) + "fast.exe\r\n");
  std::unique_ptr<TPage> checked;
  EXPECT_LT(TimeBesideAGate(gate.get(), [&] { checked = std::make_unique<TPage>(host, 4, L""); }), 1000u);
  auto dimmed = [&](int i) { return checked->Button(i)->Dimmed(); };
  EXPECT_TRUE(test::PumpUntil([&] { return dimmed(2); }, 5000)) << "the file the server does not have";
  test::Pump(300);
  EXPECT_FALSE(dimmed(1)) << "no answer yet";
  EXPECT_FALSE(dimmed(3)) << "a server that is not there";
  EXPECT_FALSE(dimmed(4));
  {
    test::MessageBoxCatcher boxes;
    const ULONGLONG clickedAt = GetTickCount64();
    Click(*checked->Button(1), WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_LT(GetTickCount64() - clickedAt, 3000u) << "the click waited for the server";
    Click(*checked->Button(2), WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_EQ(boxes.Seen().size(), 1u) << "only the gone one says so";
    EXPECT_EQ(boxes.Seen()[0].text, GoneTargetMessage(goneTarget));
  }
  SetEvent(gate.get());
  EXPECT_TRUE(test::PumpUntil([&] { return dimmed(1); }, 5000)) << "the answer that came late";
  // Looked at again when the launcher is called up: a file back, a file gone.
  ASSERT_TRUE(CopyFileW(self, (share / L"gone.exe").c_str(), FALSE));
  std::filesystem::remove(share / L"fast.exe");
  checked->CheckTargets();
  EXPECT_TRUE(test::PumpUntil([&] { return !dimmed(2) && dimmed(4); }, 5000));
}

int ToolTipWindowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t cls[64] = L"";
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) == TOOLTIPS_CLASSW) ++*reinterpret_cast<int*>(param);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// The buttons of a window share one tooltip window, each with its own text: the tip that
// comes up under the pointer is that button's, a renewed button leaves the others theirs,
// and the window goes with the last of them.
TEST_F(PageTest, TheButtonsOfAWindowShareOneTooltipWindowEachWithItsOwnText) {
  test::TempDir dir;
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=60\r\nBtnH=60\r\nShowType=2\r\n");
  {
    TPage page(host, 1, L"");
    for (int i = 1; i <= 3; ++i) {
      auto target = dir / ("tool" + std::to_string(i) + ".txt");
      WriteBytes(target, "x");
      test::SendDrop(page.Button(i)->Handle(), {target.wstring()});
      // The pointer passing over it brings its tool.
      SendMessageW(page.Button(i)->Handle(), WM_MOUSEMOVE, 0, test::PointParam(5, 5));
    }
    EXPECT_EQ(ToolTipWindowsOfThisThread(), 1) << "one tooltip window for three buttons";
    const HWND tip = page.Button(1)->ToolTip()->Handle();
    EXPECT_EQ(page.Button(3)->ToolTip()->Handle(), tip);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
    auto textOf = [&](int i) {
      return L"tool" + std::to_wstring(i) + L"\n" + (dir / ("tool" + std::to_string(i) + ".txt")).wstring();
    };
    EXPECT_EQ(page.Button(1)->ToolTip()->Text(), textOf(1));
    EXPECT_EQ(page.Button(2)->ToolTip()->Text(), textOf(2));
    EXPECT_EQ(page.Button(3)->ToolTip()->Text(), textOf(3));

    // The pointer over the second button brings up the second button's tip.
    SetWindowPos(host.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RECT r;
    GetWindowRect(page.Button(2)->Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000)) << "no tip came up";
    TTTOOLINFOW current{};
    current.cbSize = sizeof current;
    ASSERT_TRUE(SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&current)));
    EXPECT_EQ(reinterpret_cast<HWND>(current.uId), page.Button(2)->Handle());
    SetCursorPos(0, 0);

    page.ClearButtonKeys(2);
    page.LoadHeader();
    page.BuildButtons();  // button 2 renewed as the empty button the file now has
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0) << "a rebuild renews every button";
    for (int i = 1; i <= 3; ++i) SendMessageW(page.Button(i)->Handle(), WM_MOUSEMOVE, 0, test::PointParam(5, 5));
    EXPECT_EQ(page.Button(2)->ToolTip(), nullptr) << "an empty button has no tip";
    EXPECT_EQ(page.Button(1)->ToolTip()->Text(), textOf(1)) << "a bound one built from the file has its tip";
    EXPECT_EQ(page.Button(3)->ToolTip()->Text(), textOf(3));
    EXPECT_EQ(SendMessageW(page.Button(1)->ToolTip()->Handle(), TTM_GETTOOLCOUNT, 0, 0), 2);
    test::SendDrop(page.Button(2)->Handle(), {(dir / "tool2.txt").wstring()});
    SendMessageW(page.Button(2)->Handle(), WM_MOUSEMOVE, 0, test::PointParam(5, 5));
    EXPECT_EQ(page.Button(2)->ToolTip()->Text(), textOf(2));
    EXPECT_EQ(SendMessageW(page.Button(2)->ToolTip()->Handle(), TTM_GETTOOLCOUNT, 0, 0), 3);
    EXPECT_EQ(ToolTipWindowsOfThisThread(), 1);
  }
  EXPECT_EQ(ToolTipWindowsOfThisThread(), 0) << "the tooltip window went with the last button";
}

}  // namespace
}  // namespace vl
