// The input method in type to find, on a real main window: compositions planted through
// Wine's own input method (ImmSetCompositionStringW, then ImmNotifyIME to commit or
// cancel), which sends the focused window the messages a Japanese input method sends:
// WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, and WM_IME_CHAR from
// the system's handling of the result. Wine takes no key into a composition (there is no
// VK_PROCESSKEY under it), so the keys posted meanwhile are the ones an input method lets
// through, which must act as nothing.
#include <windows.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "core/page_grid.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/layout.h"
#include "gui/window_subclass.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

// The head of the input context as the input method reads it (the DDK's INPUTCONTEXT).
struct InputContextHead {
  HWND hWnd;
  BOOL fOpen;
  POINT ptStatusWndPos;
  POINT ptSoftKbdPos;
  DWORD fdwConversion;
  DWORD fdwSentence;
  LOGFONTW lfFont;
  COMPOSITIONFORM cfCompForm;
  CANDIDATEFORM cfCandForm[4];
};
extern "C" InputContextHead* WINAPI ImmLockIMC(HIMC);
extern "C" BOOL WINAPI ImmUnlockIMC(HIMC);

namespace vl {
namespace {

// The input context of the window that has the focus, for the length of a step.
class Context {
 public:
  Context() : window_(GetFocus()), imc_(ImmGetContext(window_)) {}
  ~Context() {
    if (imc_) ImmReleaseContext(window_, imc_);
  }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  HIMC get() const { return imc_; }
  HWND Window() const { return window_; }
  // As the user types a reading: the composition begins, or goes on with this text.
  bool Compose(std::wstring text) {
    return ImmSetCompositionStringW(imc_, SCS_SETSTR, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                    nullptr, 0) != FALSE;
  }
  bool Commit() { return ImmNotifyIME(imc_, NI_COMPOSITIONSTR, CPS_COMPLETE, 0) != FALSE; }
  bool Cancel() { return ImmNotifyIME(imc_, NI_COMPOSITIONSTR, CPS_CANCEL, 0) != FALSE; }
  long CompositionBytes() const { return ImmGetCompositionStringW(imc_, GCS_COMPSTR, nullptr, 0); }
  // What the input method reads to place its windows. Wine 8's ImmGetCompositionWindow
  // answers TRUE and writes nothing, so the context is read where the method reads it.
  InputContextHead Head() const {
    InputContextHead head{};
    if (InputContextHead* locked = ImmLockIMC(imc_)) {
      head = *locked;
      ImmUnlockIMC(imc_);
    }
    return head;
  }

 private:
  HWND window_;
  HIMC imc_;
};

// The keys that reach a window's own procedure: those no filter of the loop took.
class KeysReaching {
 public:
  explicit KeysReaching(HWND window)
      : hook_(window, [this](UINT msg, WPARAM wParam, LPARAM lParam) {
          if (msg == WM_KEYDOWN || msg == WM_KEYUP) keys_.push_back(static_cast<UINT>(wParam));
          return hook_.CallNext(msg, wParam, lParam);
        }) {}
  std::vector<UINT> Take() { return std::exchange(keys_, {}); }

 private:
  std::vector<UINT> keys_;
  TWindowSubclass hook_;
};

RECT ClientRectIn(HWND window, HWND in) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The search strip as the main window shows it; empty while it does not.
RECT ShownStrip(HWND form) {
  RECT found{};
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = L"";
    GetClassNameW(child, cls, 16);
    if (std::wstring(cls) == L"Static" && IsWindowVisible(child)) found = ClientRectIn(child, form);
  }
  return found;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
  if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom
                                       << ") is not (" << b.left << "," << b.top << ")-(" << b.right << ","
                                       << b.bottom << ")";
}

class SearchImeTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  void Open() {
    form = std::make_unique<TfrmMain>();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
  }
  // Through the application's filters, as the user's keys come.
  void Key(UINT msg, WPARAM code) {
    PostMessageW(GetFocus(), msg, code, 0);
    app.ProcessMessages();
  }
  // Where the strip shows, or will: below the page strip's page, as wide, one tab row high.
  RECT StripPlace() const {
    const RECT page = ClientRectIn(form->Base().Handle(), form->Handle());
    return {0, page.bottom, page.right, page.bottom + DesignToDevice(kTabRowHeight, DpiOf(form->Handle()))};
  }
  // The strip's place in the client terms of `window`, where the input context takes it.
  RECT StripPlaceIn(HWND window) const {
    RECT r = StripPlace();
    MapWindowPoints(form->Handle(), window, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
};

// Typed with the input method at a button: the composition and its candidates stand at the
// strip's place, below the grid, before the strip itself shows; the keys that reach the
// button meanwhile open nothing and move nothing; the committed text is searched once; and
// Enter opens the hit again once the composition is over.
TEST_F(SearchImeTest, ACompositionAtAButtonStandsAtTheStripAndItsTextIsSearchedOnce) {
  test::TempDir dir;
  const std::wstring helper = (dir.path() / L"メモ帳.exe").wstring();
  std::filesystem::copy_file(test::TestProgramFolder() / L"cwd_writer.exe", helper);
  const std::wstring ran = helper + L".cwd";
  Open();
  TPage& page = *form->PageList()[0];
  test::SendDrop(page.Button(1)->Handle(), {helper});
  ASSERT_EQ(page.Button(1)->BtnName(), L"メモ帳");
  HWND button = page.Button(1)->Handle();
  SetFocus(button);
  ASSERT_EQ(GetFocus(), button);
  KeysReaching reaching(button);
  Context context;
  ASSERT_TRUE(context.get());
  const BOOL wasOpen = ImmGetOpenStatus(context.get());

  ASSERT_TRUE(context.Compose(L"めも"));
  ASSERT_TRUE(form->Composing());
  EXPECT_FALSE(form->Search().Active()) << "nothing is searched before the commit";
  const InputContextHead head = context.Head();
  EXPECT_EQ(head.hWnd, button) << "the button owns the context";
  const RECT strip = StripPlaceIn(button);
  EXPECT_EQ(head.cfCompForm.dwStyle, static_cast<DWORD>(CFS_RECT));
  EXPECT_TRUE(SameRect(head.cfCompForm.rcArea, strip)) << "the composition window";
  EXPECT_EQ(head.cfCompForm.ptCurrentPos.x, strip.left);
  EXPECT_GE(head.cfCompForm.ptCurrentPos.y, strip.top);
  EXPECT_LT(head.cfCompForm.ptCurrentPos.y, strip.bottom);
  // The composed text stands as the line's does, centred on the strip's height.
  const int textHeight = std::abs(head.lfFont.lfHeight);
  EXPECT_LE(std::abs(2 * head.cfCompForm.ptCurrentPos.y + textHeight - (strip.top + strip.bottom)), 1);
  EXPECT_EQ(head.cfCandForm[0].dwStyle, static_cast<DWORD>(CFS_EXCLUDE));
  EXPECT_TRUE(SameRect(head.cfCandForm[0].rcArea, strip)) << "the candidates keep off the strip";
  EXPECT_EQ(head.cfCandForm[0].ptCurrentPos.y, strip.bottom);
  LOGFONTW stripFont{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->Base().Handle(), WM_GETFONT, 0, 0)), sizeof stripFont,
             &stripFont);
  EXPECT_EQ(head.lfFont.lfHeight, stripFont.lfHeight) << "the composition in the strip's font";

  // What an input method lets through during its composition acts as nothing: Enter
  // opens nothing, Space neither, the arrows move nothing, Esc neither hides nor clears.
  ASSERT_TRUE(context.Compose(L"メモ"));
  for (UINT key : {VK_RETURN, VK_SPACE, VK_RIGHT, VK_DOWN, VK_ESCAPE, VK_BACK}) {
    Key(WM_KEYDOWN, key);
    Key(WM_KEYUP, key);
  }
  EXPECT_EQ(reaching.Take().size(), 12u) << "every key reached the button, none was taken on the way";
  Key(WM_KEYDOWN, VK_PROCESSKEY);
  EXPECT_EQ(reaching.Take(), std::vector<UINT>{VK_PROCESSKEY}) << "the input method's key reaches TranslateMessage";
  EXPECT_EQ(GetFocus(), button);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  test::Pump(1500);
  EXPECT_FALSE(std::filesystem::exists(ran)) << "opened during the composition";
  EXPECT_TRUE(form->Composing());

  // Enter commits: the result comes as WM_IME_CHAR, and then as WM_CHAR through the loop.
  ASSERT_TRUE(context.Commit());
  EXPECT_FALSE(form->Composing());
  app.ProcessMessages();
  EXPECT_EQ(form->Search().Query(), L"メモ") << "searched once";
  ASSERT_EQ(form->Search().Hits().size(), 1u);
  EXPECT_EQ(form->Search().Hits()[0], (SearchHit{1, 1}));
  EXPECT_EQ(form->SearchLine(), L"検索: メモ  1/1");
  EXPECT_TRUE(SameRect(ShownStrip(form->Handle()), StripPlace())) << "the strip shows where the composition stood";
  EXPECT_EQ(ImmGetOpenStatus(context.get()), wasOpen) << "the open state is the user's";

  // The key-up of the Enter that committed comes after the end: still nothing opens. The
  // next Enter is the user's, and opens the hit.
  Key(WM_KEYUP, VK_RETURN);
  test::Pump(500);
  EXPECT_FALSE(std::filesystem::exists(ran));
  // A composition begun at the button and carried off by the focus, to end elsewhere: back
  // at the button, Enter is the user's again.
  ASSERT_TRUE(context.Compose(L"あ"));
  SetFocus(page.Button(2)->Handle());
  ASSERT_TRUE(context.Cancel());
  app.ProcessMessages();
  SetFocus(button);
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(test::PumpUntil([&] { return std::filesystem::exists(ran); }, 20000)) << "Enter after the composition";
}

// The strip and the window itself hold the composition as a button does, and its state
// never outlives the composition: the end, the focus leaving, the launcher hidden or
// deactivated each end it, and the keys are the launcher's again.
TEST_F(SearchImeTest, TheStripAndTheWindowComposeToAndNoCompositionOutlivesItsWindow) {
  Open();
  form->N2Click();  // a second page, for an arrow to turn to
  form->Base().SetActivePageIndex(0);
  form->BaseChange();
  TPage& page = *form->PageList()[0];
  SetFocus(page.Button(1)->Handle());
  Key(WM_CHAR, L'x');
  ASSERT_EQ(form->Search().Query(), L"x");

  // At the page strip: its arrows turn no page, Esc clears no search, Backspace edits none.
  SetFocus(form->Base().Handle());
  {
    Context context;
    ASSERT_TRUE(context.Compose(L"あ"));
    ASSERT_TRUE(form->Composing());
    EXPECT_TRUE(SameRect(context.Head().cfCompForm.rcArea, StripPlaceIn(form->Base().Handle())));
    for (UINT key : {VK_RIGHT, VK_ESCAPE, VK_BACK, VK_TAB}) Key(WM_KEYDOWN, key);
    EXPECT_EQ(form->Base().ActivePageIndex(), 0);
    EXPECT_EQ(form->Search().Query(), L"x");
    EXPECT_EQ(GetFocus(), form->Base().Handle());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    // The input method's Esc cancels: nothing typed, the search as it was.
    ASSERT_TRUE(context.Cancel());
    EXPECT_FALSE(form->Composing());
    app.ProcessMessages();
    EXPECT_EQ(form->Search().Query(), L"x");
  }

  // At the window itself (a page without buttons leaves the focus there), the strip
  // showing: the composition stands on it.
  SetFocus(form->Handle());
  {
    Context context;
    ASSERT_TRUE(context.Compose(L"い"));
    ASSERT_TRUE(form->Composing());
    EXPECT_TRUE(SameRect(context.Head().cfCompForm.rcArea, ShownStrip(form->Handle())));
    // Part of a long composition committed while the rest goes on comes as WM_CHAR: typed.
    const std::wstring before = form->Search().Query();
    Key(WM_CHAR, L'z');
    EXPECT_EQ(form->Search().Query(), before + L"z") << "a part committed mid-composition";
    // The focus leaves without an end (the input method may keep the composition): the
    // keys are the launcher's again.
    SetFocus(page.Button(2)->Handle());
    EXPECT_FALSE(form->Composing());
    ASSERT_TRUE(context.Cancel());
  }
  Key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(form->Search().Active()) << "Esc clears the search once no composition holds it";

  // Hidden mid-composition: the composition goes with the search, the open state stays.
  SetFocus(page.Button(1)->Handle());
  {
    Context context;
    const BOOL wasOpen = ImmGetOpenStatus(context.get());
    ASSERT_TRUE(context.Compose(L"う"));
    ASSERT_TRUE(form->Composing());
    form->Hide1Click();
    EXPECT_FALSE(form->Composing());
    EXPECT_EQ(context.CompositionBytes(), 0) << "cancelled, not committed into a hidden launcher";
    EXPECT_EQ(ImmGetOpenStatus(context.get()), wasOpen);
  }
  app.ProcessMessages();
  EXPECT_FALSE(form->Search().Active());
  form->Show1Click();
  EXPECT_FALSE(form->Composing());

  // Another window taken to the front mid-composition.
  SetFocus(page.Button(1)->Handle());
  Context context;
  ASSERT_TRUE(context.Compose(L"え"));
  ASSERT_TRUE(form->Composing());
  const UniqueWindow other = test::ActivateOtherWindow();
  ASSERT_TRUE(other);
  ASSERT_EQ(GetActiveWindow(), other.get());
  EXPECT_FALSE(form->Composing());
  context.Cancel();
}

}  // namespace
}  // namespace vl
