// A page on a real window: built from its section, laid out, saved after a drop, the hover
// highlight and the hiding after a click, rebuilt with another grid.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/page.h"
#include "app/page_control_ex.h"
#include "buttons/glyph_cache.h"
#include "buttons/shell_helpers.h"
#include "core/ini_file.h"
#include "gui/application.h"
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

TEST_F(PageTest, ADropSavesEveryButtonOfThePage) {
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
    EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP" + std::to_wstring(i), L"<none>"), L"")
        << "every button's keys are written, empty ones too";
  }
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

TEST_F(PageTest, ClickingABoundButtonHidesTheLauncherUnlessTheSettingSaysNo) {
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=2\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
                  "BtnFP1=C:\\no such folder\\none.exe\r\n");
  TPage page(host, 1, L"");
  Click(*page.Button(2), WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(host.hides, 0) << "an empty button never hides the window";
  EXPECT_EQ(page.CurrentBtn(), 2);
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

// A server that does not answer holds up only the icon of its own buttons: the page is
// built at once, local icons are in, and the network icon comes in when the lookup ends.
// Wine resolves "\\server\share" through the prefix's dosdevices\unc folder, which makes a
// real UNC path of a local folder; the gate holds the lookup as a silent server would.
TEST_F(PageTest, AnIconOnAServerThatDoesNotAnswerComesLaterAndHoldsUpNothingElse) {
  EXPECT_TRUE(IsNetworkPath(L"\\\\server\\share\\a.exe"));
  EXPECT_TRUE(IsNetworkPath(L"//server/share/a.exe"));
  EXPECT_TRUE(IsNetworkPath(L"\\\\?\\UNC\\server\\share\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L"\\\\?\\C:\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L"C:\\a.exe"));
  EXPECT_FALSE(IsNetworkPath(L""));

  wchar_t prefix[MAX_PATH] = L"";
  ASSERT_GT(GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH), 0u) << "runs under Wine";
  const std::filesystem::path share =
      std::filesystem::path(L"Z:" + std::wstring(prefix)) / L"dosdevices" / L"unc" / L"vlserver" / L"share";
  std::filesystem::create_directories(share);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_TRUE(CopyFileW(self, (share / L"tool.exe").c_str(), FALSE));
  const std::string remote = "\\\\vlserver\\share\\tool.exe";
  ASSERT_TRUE(FileExists(L"\\\\vlserver\\share\\tool.exe")) << "the share resolves";

  UniqueKernelHandle gate(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SetNetworkLookupGateForTest(gate.get());
  struct Ungate {
    HANDLE gate;
    ~Ungate() {
      SetEvent(gate);
      SetNetworkLookupGateForTest(nullptr);
    }
  } ungate{gate.get()};
  const std::string local = std::filesystem::path(self).string();
  WriteBytes(ini, "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnFP1=" + remote +
                      "\r\nBtnIP1=" + remote + "\r\nBtnFP2=" + remote + "\r\nBtnIP2=" + remote +
                      "\r\nBtnFP3=" + local + "\r\nBtnIP3=" + local + "\r\n"
                      "[Page2]\r\nLive=1\r\nYoko=1\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\nBtnIP1=" + remote + "\r\n");
  {
    // A page that goes while its lookup waits: the icon that comes finds no button there.
    TPage gone(host, 2, L"");
    EXPECT_EQ(gone.Button(1)->Glyph(), nullptr);
  }
  TPage page(host, 1, L"");
  EXPECT_NE(page.Button(3)->Glyph(), nullptr) << "a local icon is in at once";
  EXPECT_EQ(page.Button(1)->Glyph(), nullptr) << "the network icon waits for the server";
  EXPECT_EQ(page.Button(2)->Glyph(), nullptr);
  test::Pump(200);
  EXPECT_EQ(page.Button(1)->Glyph(), nullptr) << "still waiting, and the window answers meanwhile";

  SetEvent(gate.get());
  EXPECT_TRUE(test::PumpUntil([&] { return page.Button(1)->Glyph() && page.Button(2)->Glyph(); }, 10000));
  EXPECT_EQ(page.Button(1)->SharedGlyph(), page.Button(2)->SharedGlyph()) << "one lookup, one glyph";

  // A folder on the silent server dropped on a button: the drop waits a second for the
  // answer, not the network's time-out, and binds it as a file; a server that answers
  // gives the folder its folder icon.
  std::filesystem::create_directories(share / L"docs");
  const std::wstring folder = L"\\\\vlserver\\share\\docs";
  TPage later(host, 3, L"NEW");
  ResetEvent(gate.get());
  const ULONGLONG before = GetTickCount64();
  test::SendDrop(later.Button(1)->Handle(), {folder});
  const ULONGLONG waited = GetTickCount64() - before;
  EXPECT_LT(waited, 3000u) << "the drop waited for the server";
  EXPECT_EQ(later.Button(1)->FullPath(), folder);
  EXPECT_EQ(later.Button(1)->IconPath(), folder) << "no answer in time: not known as a folder";
  SetEvent(gate.get());
  test::SendDrop(later.Button(2)->Handle(), {folder});
  EXPECT_EQ(later.Button(2)->IconPath(), FolderIconPath()) << "an answering server says it is a folder";
}

}  // namespace
}  // namespace vl
