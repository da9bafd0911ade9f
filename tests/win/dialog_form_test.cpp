// The dialog layer on the real platform: a modeless dialog driven by keys pressed in
// another process (send_keys.exe, through SendInput) and handled by the application's
// message loop, as in the program; the spin edit's typing filter and its reading; the
// check box and radio group events.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/common_dialogs.h"
#include "gui/dialog_form.h"
#include "gui/radio_group.h"
#include "gui/spin_edit.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

class TestDialog : public TDialogForm {
 public:
  explicit TestDialog(bool escCancels) : TDialogForm(Params()) {
    SetDefaultButton(&ok);
    if (escCancels) SetCancelButton(&cancel);
    ok.OnClick = [this] { ++okClicks; };
    cancel.OnClick = [this] { ++cancelClicks; };
    check.OnClick = [this] { ++checkClicks; };
    radio.OnClick = [this] { ++radioClicks; };
    OnShow = [this] { ++shows; };
  }

  static DialogParams Params() {
    DialogParams p;
    p.className = L"VlTestDialog";
    p.caption = L"テストダイアログ";
    p.width = 300;
    p.height = 260;
    p.font = PixelFont(L"ＭＳ Ｐゴシック", 12);
    return p;
  }

  TEdit first{On({60, 10, 200, 20})};
  TLabeledEdit second{On({60, 40, 200, 20}, L"名前(&N)")};
  TCheckBox check{On({60, 70, 200, 17}, L"チェック")};
  TSpinEdit spin{On({60, 94, 80, 20})};
  TRadioGroup radio{On({10, 120, 280, 80}, L"種類"), {L"一", L"二", L"三"}};
  TButton ok{On({120, 220, 75, 25}, L"OK")};
  TButton cancel{On({210, 220, 75, 25}, L"キャンセル")};
  int okClicks = 0, cancelClicks = 0, checkClicks = 0, radioClicks = 0, shows = 0;
};

// Presses keys from another process and runs the program's own message loop (with its
// filters) until they have all arrived.
bool Press(const std::wstring& combos) {
  std::wstring cmd = L"\"" + (test::TestProgramFolder() / L"send_keys.exe").wstring() + L"\" " + combos;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  for (DWORD start = GetTickCount(); WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;) {
    if (GetTickCount() - start > 20000) return false;
    TApplication::Instance().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  for (DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
    TApplication::Instance().ProcessMessages();
    Sleep(10);
  }
  DWORD code = 1;
  GetExitCodeProcess(process.get(), &code);
  return code == 0;
}

class DialogFormTest : public ::testing::Test {
 protected:
  TApplication app{L"RavariVudovi"};
};

TEST_F(DialogFormTest, KeysFromAnotherProcessMoveTheFocusAndPressTheButtons) {
  TestDialog dialog(false);
  EXPECT_FALSE(dialog.Visible()) << "made hidden";
  dialog.Show();
  dialog.Show();  // already shown: only brought to the front
  ASSERT_TRUE(dialog.Visible());
  EXPECT_EQ(dialog.shows, 1);
  test::Pump(200);
  ASSERT_EQ(GetFocus(), dialog.first.Handle()) << "the first control of the tab order";

  ASSERT_TRUE(Press(L"09"));
  EXPECT_EQ(GetFocus(), dialog.second.Handle()) << "Tab";
  ASSERT_TRUE(Press(L"09"));
  EXPECT_EQ(GetFocus(), dialog.check.Handle());
  ASSERT_TRUE(Press(L"10+09 10+09"));
  EXPECT_EQ(GetFocus(), dialog.first.Handle()) << "Shift+Tab twice";
  ASSERT_TRUE(Press(L"12+4E"));
  EXPECT_EQ(GetFocus(), dialog.second.Handle()) << "Alt+N, the label's mnemonic";

  ASSERT_TRUE(Press(L"0D"));
  EXPECT_EQ(dialog.okClicks, 1) << "Enter in an edit presses the default button";
  ASSERT_TRUE(Press(L"1B"));
  EXPECT_EQ(dialog.cancelClicks, 0) << "no cancel button bound: Esc does nothing";
  EXPECT_TRUE(dialog.Visible());

  SetFocus(dialog.cancel.Handle());
  ASSERT_TRUE(Press(L"0D"));
  EXPECT_EQ(dialog.cancelClicks, 1) << "Enter on a focused push button presses that button";
  EXPECT_EQ(dialog.okClicks, 1);

  SetFocus(dialog.check.Handle());
  ASSERT_TRUE(Press(L"20"));
  EXPECT_TRUE(dialog.check.Checked()) << "Space";
  EXPECT_EQ(dialog.checkClicks, 1);

  SendMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(dialog.Visible()) << "closing hides";
  EXPECT_TRUE(IsWindow(dialog.Handle()));
  dialog.Show();
  EXPECT_EQ(dialog.shows, 2) << "each change from hidden to shown";
}

// The rectangles of every window inside the form, in their parents' terms.
std::vector<RECT> Layout(HWND form) {
  std::vector<RECT> rects;
  EnumChildWindows(
      form,
      [](HWND child, LPARAM list) -> BOOL {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        reinterpret_cast<std::vector<RECT>*>(list)->push_back(r);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&rects));
  return rects;
}

int FontHeight(HWND window) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  return font && GetObjectW(font, sizeof lf, &lf) ? lf.lfHeight : 0;
}

TEST_F(DialogFormTest, AMoveToAMonitorOfAnotherScaleLaysTheControlsOutAgainAndBackToThePixel) {
  TestDialog dialog(true);
  ASSERT_EQ(GetDpiForWindow(dialog.Handle()), 96u) << "the test prefix is at 96 DPI";
  const std::vector<RECT> at96 = Layout(dialog.Handle());
  RECT window;
  GetWindowRect(dialog.Handle(), &window);
  // As Windows sends it when the dialog crosses to a monitor at 150 %.
  RECT suggested{window.left, window.top, window.left + (window.right - window.left) * 3 / 2,
                 window.top + (window.bottom - window.top) * 3 / 2};
  SendMessageW(dialog.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT ok;
  GetWindowRect(dialog.ok.Handle(), &ok);
  MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&ok), 2);
  EXPECT_EQ(ok.left, 180);
  EXPECT_EQ(ok.top, 330);
  EXPECT_EQ(ok.right - ok.left, 113) << "75 designed pixels at 144 DPI, rounded";
  EXPECT_EQ(ok.bottom - ok.top, 38);
  EXPECT_EQ(FontHeight(dialog.ok.Handle()), -18) << "12 pixels at 144 DPI";
  EXPECT_EQ(FontHeight(dialog.second.EditLabel().Handle()), -18);

  SendMessageW(dialog.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window));
  const std::vector<RECT> again = Layout(dialog.Handle());
  ASSERT_EQ(again.size(), at96.size());
  for (std::size_t i = 0; i < at96.size(); ++i)
    EXPECT_TRUE(EqualRect(&again[i], &at96[i])) << "window " << i << " moved by the round trip";
  EXPECT_EQ(FontHeight(dialog.ok.Handle()), -12);
}

TEST_F(DialogFormTest, EscPressesTheCancelButtonWhereOneIsBound) {
  TestDialog dialog(true);
  dialog.Show();
  test::Pump(200);
  ASSERT_TRUE(Press(L"1B"));
  EXPECT_EQ(dialog.cancelClicks, 1);
  EXPECT_EQ(dialog.okClicks, 0);
}

TEST_F(DialogFormTest, TheSpinEditTakesDigitsAndSignsTypedAnyTextPastedAndReadsNoNumberAsZero) {
  TestDialog dialog(false);
  dialog.Show();
  test::Pump(200);
  dialog.spin.SetText(L"");
  SetFocus(dialog.spin.Handle());
  // "1", "A", "2", " ", "-": the letter and the blank are refused.
  ASSERT_TRUE(Press(L"31 41 32 20 BD"));
  EXPECT_EQ(dialog.spin.Text(), L"12-");
  EXPECT_EQ(dialog.spin.Value(), 0) << "not an integer";
  dialog.spin.SetText(L"-42");
  EXPECT_EQ(dialog.spin.Value(), -42);
  dialog.spin.SetText(L"99999999999");
  EXPECT_EQ(dialog.spin.Value(), 0) << "beyond 32 bits";

  ASSERT_TRUE(OpenClipboard(dialog.Handle()));
  EmptyClipboard();
  const wchar_t pasted[] = L"x7";
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, sizeof pasted));
  memcpy(GlobalLock(memory.get()), pasted, sizeof pasted);
  GlobalUnlock(memory.get());
  if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();
  CloseClipboard();
  dialog.spin.SetText(L"");
  SetFocus(dialog.spin.Handle());
  ASSERT_TRUE(Press(L"11+56"));
  EXPECT_EQ(dialog.spin.Text(), L"x7") << "pasting is not filtered";
  EXPECT_EQ(dialog.spin.Value(), 0);

  dialog.spin.SetBounds(1, 10);
  dialog.spin.SetValue(50);
  EXPECT_EQ(dialog.spin.Value(), 10);
  ASSERT_TRUE(Press(L"26"));  // the up arrow stays within the bounds
  EXPECT_EQ(dialog.spin.Value(), 10);
  ASSERT_TRUE(Press(L"28 28"));
  EXPECT_EQ(dialog.spin.Value(), 8);
  dialog.spin.SetBounds(0, 0);
  dialog.spin.SetValue(-7000);
  EXPECT_EQ(dialog.spin.Value(), -7000) << "no bounds";
}

TEST_F(DialogFormTest, CheckBoxAndRadioGroupEvents) {
  TestDialog dialog(false);
  dialog.check.SetChecked(true);
  dialog.check.SetChecked(true);
  EXPECT_EQ(dialog.checkClicks, 1) << "a change by code raises the click once; no change, no click";
  dialog.check.SetChecked(false);
  EXPECT_EQ(dialog.checkClicks, 2);

  EXPECT_EQ(dialog.radio.Count(), 3) << "a button for each item";
  EXPECT_EQ(dialog.radio.ItemIndex(), -1) << "none chosen at first";
  dialog.radio.SetItemIndex(2);
  EXPECT_EQ(dialog.radio.ItemIndex(), 2);
  EXPECT_EQ(dialog.radioClicks, 0) << "code sets the index without a click";
  SendMessageW(dialog.radio.Item(0), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.radio.ItemIndex(), 0);
  EXPECT_EQ(dialog.radioClicks, 1);
  dialog.radio.SetItemIndex(-1);
  EXPECT_EQ(dialog.radio.ItemIndex(), -1);

  dialog.Show();
  test::Pump(200);
  dialog.radio.SetItemIndex(1);
  SetFocus(dialog.radio.Item(1));
  ASSERT_TRUE(Press(L"28"));
  EXPECT_EQ(dialog.radio.ItemIndex(), 2) << "the down arrow moves the choice";
}

}  // namespace
}  // namespace vl

namespace vl {
namespace {

// Presses OK in the next dialog box of this thread, noting whether our dialog was enabled.
struct FontDialogUser {
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = test::ThreadDialog();
    if (!box) return;
    KillTimer(nullptr, id);
    *owner = IsWindowEnabled(dialogHandle);
    styleShown = IsWindowVisible(GetDlgItem(box, cmb2)) != FALSE;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  static inline BOOL* owner = nullptr;
  static inline HWND dialogHandle = nullptr;
  static inline bool styleShown = false;
};

TEST_F(DialogFormTest, TheFontDialogGivesBackTheFontItStartedFromWhenOkIsPressed) {
  TestDialog dialog(false);
  dialog.Show();
  TFontDialog fonts;
  // A face the system lists (the dialog offers listed faces only: this one comes with the
  // Japanese font that tools/install-deps.sh installs), and a listed size.
  fonts.Font = PixelFont(L"IPA Pゴシック", 16, true, SHIFTJIS_CHARSET);
  fonts.Font.points = 12;
  BOOL ownerEnabled = TRUE;
  FontDialogUser::owner = &ownerEnabled;
  FontDialogUser::dialogHandle = dialog.Handle();
  SetTimer(nullptr, 0, 50, &FontDialogUser::Tick);
  ASSERT_TRUE(fonts.Execute(dialog.Handle()));
  EXPECT_FALSE(ownerEnabled) << "modal while it is up";
  EXPECT_TRUE(IsWindowEnabled(dialog.Handle())) << "and enabled again after";
  EXPECT_EQ(fonts.Font.name, L"IPA Pゴシック");
  EXPECT_EQ(fonts.Font.points, 12);
  EXPECT_TRUE(fonts.Font.bold);
  EXPECT_TRUE(FontDialogUser::styleShown);

  // For a caller that keeps no style: none offered, and a regular font back from a bold one.
  fonts.OfferStyles = false;
  fonts.Font.italic = true;
  SetTimer(nullptr, 0, 50, &FontDialogUser::Tick);
  ASSERT_TRUE(fonts.Execute(dialog.Handle()));
  EXPECT_FALSE(FontDialogUser::styleShown) << "the style list is hidden";
  EXPECT_EQ(fonts.Font.name, L"IPA Pゴシック");
  EXPECT_EQ(fonts.Font.points, 12);
  EXPECT_FALSE(fonts.Font.bold);
  EXPECT_FALSE(fonts.Font.italic);
}

}  // namespace
}  // namespace vl
