// TLaunchBtn on the real platform: drops built as the shell builds them and sent to the
// real window procedure, glyph pixels read back from the button's bitmap and from its
// painted face, and real launches of a helper program that writes down its current folder.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "buttons/glyph_cache.h"
#include "buttons/launch_btn.h"
#include "buttons/shell_helpers.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/text_codec.h"
#include "gui/accessible_button.h"
#include "gui/platform/scoped_select.h"
#include "gui/tool_tip.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::MessageBoxCatcher;
using test::SendDrop;

constexpr int kBtnWidth = 90, kBtnHeight = 72;

struct Btn {
  std::unique_ptr<TLaunchBtn> button;
  int regists = 0, clicks = 0, ups = 0;
};

std::unique_ptr<Btn> NewButton(HWND parent, int slot = 0, TShowType type = st_Both) {
  auto b = std::make_unique<Btn>();
  b->button = std::make_unique<TLaunchBtn>(
      BitBtnParams{parent, 4 + slot * (kBtnWidth + 4), 4, kBtnWidth, kBtnHeight, L""});
  b->button->SetShowType(type);
  Btn* raw = b.get();
  b->button->OnRegist = [raw](TLaunchBtn&) { ++raw->regists; };
  b->button->OnClick = [raw](TBitBtn&) { ++raw->clicks; };
  b->button->OnMouseUp = [raw](TBitBtn&, TMouseButton, UINT, int, int) { ++raw->ups; };
  return b;
}

std::wstring HelperProgram() { return (test::TestProgramFolder() / L"cwd_writer.exe").wstring(); }

// A glyph's 32 x 32 pixels as COLORREFs, row 0 at the top.
std::vector<COLORREF> Pixels(HBITMAP bitmap) {
  std::vector<COLORREF> out;
  if (!bitmap) return out;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = 32;
  bmi.bmiHeader.biHeight = -32;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> bgra(32 * 32);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, 32, bgra.data(), &bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != 32) return out;
  for (DWORD p : bgra) out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return out;
}

// What a glyph of `icon` must hold before its corner is moved: the icon drawn over the
// button-face colour, made here by a different road (the icon loaded from its source).
std::vector<COLORREF> Reference(HICON icon) {
  UniqueDC dc(CreateCompatibleDC(nullptr));
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof bmi.bmiHeader, 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelect select(dc.get(), bitmap.get());
    RECT all{0, 0, 32, 32};
    UniqueHandle<GdiObjectTraits<HBRUSH>> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc.get(), &all, face.get());
    DrawIconEx(dc.get(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  }
  return Pixels(bitmap.get());
}

std::vector<COLORREF> ProgramIconReference(const std::wstring& exe) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  UniqueIcon icon(static_cast<HICON>(LoadImageW(module, L"MAINICON", IMAGE_ICON, 32, 32, 0)));
  auto pixels = Reference(icon.get());
  FreeLibrary(module);
  return pixels;
}

std::vector<COLORREF> FileIconReference(const std::wstring& ico) {
  UniqueIcon icon(
      static_cast<HICON>(LoadImageW(nullptr, ico.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
  return Reference(icon.get());
}

constexpr std::size_t kCorner = 31 * 32;  // bottom-left, in Pixels() order

COLORREF RedStep(COLORREF c) {
  BYTE r = GetRValue(c);
  return RGB(r == 255 ? 254 : r + 1, GetGValue(c), GetBValue(c));
}

// The glyph must be `reference` with only its corner moved one red step.
void ExpectGlyph(HBITMAP glyph, const std::vector<COLORREF>& reference) {
  auto pixels = Pixels(glyph);
  ASSERT_EQ(pixels.size(), 1024u);
  ASSERT_EQ(reference.size(), 1024u);
  int differ = 0;
  for (std::size_t i = 0; i < 1024; ++i)
    if (i != kCorner && pixels[i] != reference[i]) ++differ;
  EXPECT_EQ(differ, 0) << "pixels that are not the icon over the face colour";
  EXPECT_EQ(pixels[kCorner], RedStep(reference[kCorner]));
  int icon = 0;
  for (COLORREF c : reference) icon += c != GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(icon, 100) << "the reference icon drew nothing";
}

// What the button's tooltip says when the pointer comes over it.
std::wstring TipText(const TLaunchBtn& b) { return b.ShowHint() ? b.Hint() : L"<none>"; }

class LaunchBtnTest : public testing::Test {
 protected:
  test::TestForm form{900, 200};
  test::TempDir dir;
  std::wstring Dir(const wchar_t* sub = nullptr) {
    return sub ? (dir.path() / sub).wstring() : dir.path().wstring();
  }
};

TEST_F(LaunchBtnTest, OneDroppedItemBindsByItsKindWithNameTooltipAndOneRegist) {
  fs::create_directories(Dir(L"proj.old"));
  fs::create_directories(Dir(L"Apps"));
  fs::create_directories(Dir(L"Upper"));
  test::WriteBytes(Dir(L"report.final.txt"), "x");
  test::WriteBytes(Dir(L"é한 メモ.txt"), "x");
  test::WriteBytes(Dir(L"x.lnk"), "not a shortcut");
  fs::copy_file(HelperProgram(), Dir(L"Apps\\mail.exe"));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"Mail.lnk"),
                                 {.target = Dir(L"Apps\\mail.exe"), .workDir = Dir(L"Apps")}));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"Upper\\MAIL.LNK"),
                                 {.target = Dir(L"Apps\\mail.exe"), .workDir = Dir(L"Apps")}));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"Mixed.Lnk"), {.target = Dir(L"Apps\\mail.exe")}));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"ToFolder.lnk"),
                                 {.target = Dir(L"proj.old"), .workDir = Dir(L"Work")}));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"NoWorkDir.lnk"), {.target = Dir(L"report.final.txt")}));
  ASSERT_TRUE(test::MakeShortcut(Dir(L"Work mail.lnk"), {.target = Dir(L"Apps\\mail.exe"),
                                                         .workDir = Dir(L"Apps"),
                                                         .arguments = L"--profile work"}));
  const std::wstring folderIcon = FolderIconPath();

  const struct {
    std::wstring drop, fullPath, iconPath, workDir, name;
  } cases[] = {
      {Dir(L"report.final.txt"), Dir(L"report.final.txt"), Dir(L"report.final.txt"), Dir(),
       L"report.final"},
      {Dir(L"é한 メモ.txt"), Dir(L"é한 メモ.txt"), Dir(L"é한 メモ.txt"), Dir(), L"é한 メモ"},
      {Dir(L"proj.old"), Dir(L"proj.old"), folderIcon, Dir(), L"proj"},
      {Dir(L"Mail.lnk"), Dir(L"Apps\\mail.exe"), Dir(L"Apps\\mail.exe"), Dir(L"Apps"), L"Mail"},
      {Dir(L"ToFolder.lnk"), Dir(L"proj.old"), folderIcon, Dir(L"Work"), L"ToFolder"},
      {Dir(L"NoWorkDir.lnk"), Dir(L"report.final.txt"), Dir(L"report.final.txt"), L"",
       L"NoWorkDir"},
      // With arguments the shortcut itself is bound, for the shell to open with them.
      {Dir(L"Work mail.lnk"), Dir(L"Work mail.lnk"), Dir(L"Apps\\mail.exe"), Dir(L"Apps"),
       L"Work mail"},
      // Only ".lnk" in lower case is read as a shortcut.
      {Dir(L"Upper\\MAIL.LNK"), Dir(L"Upper\\MAIL.LNK"), Dir(L"Upper\\MAIL.LNK"), Dir(L"Upper"),
       L"MAIL"},
      {Dir(L"Mixed.Lnk"), Dir(L"Mixed.Lnk"), Dir(L"Mixed.Lnk"), Dir(), L"Mixed"},
      // A ".lnk" that is no shortcut binds the file itself, for the shell to open.
      {Dir(L"x.lnk"), Dir(L"x.lnk"), Dir(L"x.lnk"), Dir(), L"x"},
      {L"C:\\app.exe", L"C:\\app.exe", L"C:\\app.exe", L"C:", L"app"},
      {L"C:\\", L"C:\\", folderIcon, L"C:", L""},
  };
  MessageBoxCatcher boxes;
  int slot = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.drop));
    auto b = NewButton(form.Handle(), slot++ % 9);
    TLaunchBtn& btn = *b->button;
    SendDrop(btn.Handle(), {c.drop});
    EXPECT_TRUE(btn.Regist());
    EXPECT_EQ(btn.FullPath(), c.fullPath);
    EXPECT_EQ(btn.IconPath(), c.iconPath);
    EXPECT_EQ(btn.WorkDir(), c.workDir);
    EXPECT_EQ(btn.BtnName(), c.name);
    EXPECT_EQ(btn.Caption(), c.name);
    EXPECT_TRUE(btn.ShowHint());
    EXPECT_EQ(TipText(btn), c.name.empty() ? c.fullPath : c.name + L"\n" + c.fullPath);
    EXPECT_EQ(b->regists, 1);
    // A shortcut bound as itself shows its target's icon, which may be on a server: it
    // comes from a worker thread.
    EXPECT_EQ(test::PumpUntil([&] { return btn.Glyph() != nullptr; }, FileExists(c.iconPath) ? 5000 : 0),
              FileExists(c.iconPath))
        << "glyph only from an existing file";
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(LaunchBtnTest, FaceFollowsTheDisplayTypeAtDropAndOnEveryChange) {
  std::wstring exe = Dir(L"Editor.exe");
  fs::copy_file(HelperProgram(), exe);
  auto reference = ProgramIconReference(exe);
  auto both = NewButton(form.Handle(), 0, st_Both);
  auto text = NewButton(form.Handle(), 1, st_TextOnly);
  auto icon = NewButton(form.Handle(), 2, st_IconOnly);
  for (auto* b : {both.get(), text.get(), icon.get()}) SendDrop(b->button->Handle(), {exe});

  EXPECT_EQ(both->button->Caption(), L"Editor");
  ExpectGlyph(both->button->Glyph(), reference);
  EXPECT_EQ(text->button->Caption(), L"Editor");
  EXPECT_EQ(text->button->Glyph(), nullptr);
  EXPECT_EQ(icon->button->Caption(), L"");
  ExpectGlyph(icon->button->Glyph(), reference);
  for (auto* b : {both.get(), text.get(), icon.get()}) EXPECT_EQ(TipText(*b->button), L"Editor\n" + exe);

  TLaunchBtn& btn = *both->button;
  btn.SetShowType(st_TextOnly);
  EXPECT_EQ(btn.Glyph(), nullptr);
  EXPECT_EQ(btn.Caption(), L"Editor");
  btn.SetShowType(st_IconOnly);
  EXPECT_EQ(btn.Caption(), L"");
  ExpectGlyph(btn.Glyph(), reference);
  btn.SetShowType(st_TextOnly);
  btn.SetShowType(st_Both);
  EXPECT_EQ(btn.Caption(), L"Editor");
  ExpectGlyph(btn.Glyph(), reference);

  // Field writes only store: the caption follows BtnName at the next face rebuild.
  btn.SetBtnName(L"改名");
  EXPECT_EQ(btn.Caption(), L"Editor");
  btn.SetShowType(st_Both);
  EXPECT_EQ(btn.Caption(), L"改名");
}

TEST_F(LaunchBtnTest, SeveralFilesGoToTheirHandlerADropOnABoundButtonIsRefusedAndClearedButtonsTakeDropsAgain) {
  for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt"}) test::WriteBytes(Dir(n), "x");
  auto b = NewButton(form.Handle());
  TLaunchBtn& btn = *b->button;
  btn.SetBtnIndex(7);
  std::vector<std::wstring> handed;
  btn.OnDropSeveral = [&](TLaunchBtn& at, std::vector<std::wstring> paths) {
    EXPECT_EQ(&at, &btn);
    handed = std::move(paths);
  };
  {
    MessageBoxCatcher boxes;
    SendDrop(btn.Handle(), {Dir(L"a.txt"), Dir(L"b.txt"), Dir(L"c.txt")});
    EXPECT_TRUE(boxes.Seen().empty());
  }
  EXPECT_EQ(handed, (std::vector<std::wstring>{Dir(L"a.txt"), Dir(L"b.txt"), Dir(L"c.txt")})) << "in the drop's order";
  EXPECT_FALSE(btn.Regist()) << "the handler binds";
  EXPECT_EQ(b->regists, 0);

  // Without a handler (a button on no page) the first file binds.
  btn.OnDropSeveral = nullptr;
  SendDrop(btn.Handle(), {Dir(L"a.txt"), Dir(L"b.txt")});
  ASSERT_TRUE(btn.Regist());
  EXPECT_EQ(btn.FullPath(), Dir(L"a.txt"));
  EXPECT_EQ(b->regists, 1);
  {
    MessageBoxCatcher boxes;
    SendDrop(btn.Handle(), {Dir(L"b.txt")});
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, L"RavariVudovi");
    EXPECT_EQ(boxes.Seen()[0].text,
              L"このボタンにはすでに登録されています。\n空いているボタンにドロップするか、"
              L"右クリックの「ボタンの削除」でこのボタンを空けてからドロップしてください");
    EXPECT_FALSE(boxes.Seen()[0].icon);
  }
  EXPECT_EQ(btn.FullPath(), Dir(L"a.txt"));
  EXPECT_EQ(btn.BtnName(), L"a");
  EXPECT_EQ(b->regists, 1);

  EXPECT_EQ(btn.Hint(), L"a\n" + Dir(L"a.txt"));
  btn.SetShowType(st_IconOnly);
  btn.ClearButton();
  EXPECT_FALSE(btn.Regist());
  EXPECT_FALSE(btn.ShowHint());
  EXPECT_EQ(btn.Hint(), L"") << "an empty button keeps no tip of what it held";
  EXPECT_EQ(btn.BtnName(), L"");
  EXPECT_EQ(btn.FullPath(), L"");
  EXPECT_EQ(btn.IconPath(), L"");
  EXPECT_EQ(btn.WorkDir(), L"");
  EXPECT_EQ(btn.Glyph(), nullptr);
  EXPECT_EQ(btn.ShowType(), st_IconOnly);
  EXPECT_EQ(btn.BtnIndex(), 7);
  btn.SetShowType(st_Both);
  btn.SetCaption(L"残る");
  btn.ClearButton();
  EXPECT_EQ(btn.Caption(), L"残る") << "the caption is the caller's to empty";

  MessageBoxCatcher boxes;
  SendDrop(btn.Handle(), {Dir(L"c.txt")});
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_TRUE(btn.Regist());
  EXPECT_EQ(btn.FullPath(), Dir(L"c.txt"));
  EXPECT_EQ(b->regists, 2);
}

TEST_F(LaunchBtnTest, AnErrorInTheRegistHandlerIsReportedAndTheButtonGoesOn) {
  test::WriteBytes(Dir(L"a.txt"), "x");
  auto b = NewButton(form.Handle());
  b->button->OnRegist = [](TLaunchBtn&) { throw EVantriError(L"設定ファイルに書けません"); };
  MessageBoxCatcher boxes;
  SendDrop(b->button->Handle(), {Dir(L"a.txt")});
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].caption, L"RavariVudovi");
  EXPECT_EQ(boxes.Seen()[0].text, L"設定ファイルに書けません.");
  EXPECT_TRUE(boxes.Seen()[0].icon);
  EXPECT_TRUE(b->button->Regist());
  EXPECT_TRUE(IsWindow(b->button->Handle()));
}

// What a screen reader gets from the button's own accessible object, asked the way clients
// ask it (the child as VT_I4, left out, or by reference; through the vtable or IDispatch),
// with children that are not there, while the button cannot be pressed, and once the window
// is gone while the reader still holds the object.
TEST_F(LaunchBtnTest, TheAccessibleObjectAnswersForEveryFormOfSelfAndOutlivesItsWindow) {
  auto b = NewButton(form.Handle());
  IAccessible* object = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(b->button->Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&object)),
            S_OK);
  ASSERT_NE(object, nullptr);
  IUnknown* identity = nullptr;
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(dispatch), identity) << "one object, whichever interface was asked";
  // The button's own question for its name is sent by the object on the button's thread;
  // sent from elsewhere (another process can name the message too), its pointer is not
  // written through.
  std::wstring poked;
  std::atomic<bool> sent{false};
  std::thread sender([&] {
    SendMessageW(b->button->Handle(), AccessibleNameMessage(), 0, reinterpret_cast<LPARAM>(&poked));
    sent = true;
  });
  EXPECT_TRUE(test::PumpUntil([&] { return sent.load(); }, 5000));
  sender.join();
  EXPECT_EQ(poked, L"") << "written through a pointer another thread gave";

  VARIANT self, empty, missing, byRef, other, text;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VariantInit(&empty);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;  // as script hosts pass a left-out argument
  byRef.vt = VT_BYREF | VT_VARIANT;
  byRef.pvarVal = &self;
  other.vt = VT_I4;
  other.lVal = 3;  // a push button has no children
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  struct Case {
    const char* name;
    VARIANT child;
    bool valid;
  } cases[] = {{"VT_I4 self", self, true},     {"left out", empty, true}, {"missing", missing, true},
               {"by reference", byRef, true}, {"child 3", other, false}, {"a string", text, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BSTR name = SysAllocString(L"stale"), action = SysAllocString(L"stale");
    BSTR staleName = name, staleAction = action;
    VARIANT role;
    role.vt = VT_I4;
    role.lVal = 12345;  // what a caller's uninitialised variant may hold
    const HRESULT named = object->get_accName(c.child, &name);
    const HRESULT roled = object->get_accRole(c.child, &role);
    const HRESULT acted = object->get_accDefaultAction(c.child, &action);
    if (c.valid) {
      EXPECT_EQ(named, S_OK);
      EXPECT_EQ(std::wstring(name ? name : L"<null>"), kEmptyButtonName);
      EXPECT_EQ(roled, S_OK);
      EXPECT_EQ(role.vt, VT_I4);
      EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
      EXPECT_EQ(acted, S_OK);
      EXPECT_EQ(std::wstring(action ? action : L"<null>"), L"押す");
    } else {
      EXPECT_EQ(named, E_INVALIDARG);
      EXPECT_EQ(name, nullptr);
      EXPECT_EQ(roled, E_INVALIDARG);
      EXPECT_EQ(role.vt, VT_EMPTY) << "a failed call leaves no value for the caller to free";
      EXPECT_EQ(acted, E_INVALIDARG);
      EXPECT_EQ(action, nullptr);
      EXPECT_EQ(object->accDoDefaultAction(c.child), E_INVALIDARG);
    }
    SysFreeString(staleName);
    SysFreeString(staleAction);
    if (name != staleName) SysFreeString(name);
    if (action != staleAction) SysFreeString(action);
  }
  test::Pump(50);
  EXPECT_EQ(b->clicks, 0) << "no press was asked for";
  // A bound button is heard by its name, or by its target when it has none.
  for (auto [name, heard] : {std::pair{L"メモ帳", L"メモ帳"}, {L"", L"C:\\tools\\memo.exe"}}) {
    b->button->SetFullPath(L"C:\\tools\\memo.exe");
    b->button->SetRegist(true);
    b->button->SetBtnName(name);
    BSTR said = nullptr;
    EXPECT_EQ(object->get_accName(self, &said), S_OK);
    EXPECT_EQ(std::wstring(said ? said : L"<null>"), heard);
    SysFreeString(said);
  }
  b->button->ClearButton();

  // Late-bound clients (script hosts) ask through IDispatch, by name, the child left out.
  UINT typeInfos = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&typeInfos), S_OK);
  EXPECT_EQ(typeInfos, 1u) << "the platform's type of IAccessible";
  const wchar_t* names[] = {L"accName", L"accRole", L"accDoDefaultAction"};
  DISPID ids[3] = {};
  for (int k = 0; k < 3; ++k) {
    LPOLESTR one = const_cast<LPOLESTR>(names[k]);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &one, 1, LOCALE_USER_DEFAULT, &ids[k]), S_OK)
        << WideToUtf8(names[k]);
  }
  EXPECT_EQ(ids[0], DISPID_ACC_NAME);
  DISPPARAMS none{nullptr, nullptr, 0, 0}, selfArg{&self, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  auto invoke = [&](DISPID id, WORD flags, DISPPARAMS& args, VARIANT* out) {
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &args, out, nullptr, nullptr);
  };
  EXPECT_EQ(invoke(ids[0], DISPATCH_PROPERTYGET, none, &result), S_OK);
  EXPECT_EQ(std::wstring(result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"<none>"), kEmptyButtonName);
  VariantClear(&result);
  EXPECT_EQ(invoke(ids[1], DISPATCH_PROPERTYGET, selfArg, &result), S_OK);
  EXPECT_EQ(result.vt == VT_I4 ? result.lVal : -1, ROLE_SYSTEM_PUSHBUTTON);
  VariantClear(&result);
  EXPECT_EQ(invoke(ids[2], DISPATCH_METHOD, none, nullptr), S_OK);
  test::PumpUntil([&] { return b->clicks == 1; }, 2000);
  EXPECT_EQ(b->clicks, 1) << "the default action through IDispatch";
  for (const VARIANT& child : {self, empty}) EXPECT_EQ(object->accDoDefaultAction(child), S_OK);
  test::PumpUntil([&] { return b->clicks == 3; }, 2000);
  EXPECT_EQ(b->clicks, 3) << "the default action presses the button, once for each call";
  // Under a box modal to the program (its windows disabled), and with the window hidden,
  // nothing may be pressed: the press would run under the question, or unseen.
  EnableWindow(form.Handle(), FALSE);
  EXPECT_TRUE(FAILED(object->accDoDefaultAction(self))) << "under a modal box";
  EnableWindow(form.Handle(), TRUE);
  ShowWindow(form.Handle(), SW_HIDE);
  EXPECT_TRUE(FAILED(object->accDoDefaultAction(self))) << "hidden";
  ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  test::Pump(50);
  EXPECT_EQ(b->clicks, 3) << "pressed while it could not be";

  // The window goes; the reader still holds the object and asks on.
  b->button.reset();
  BSTR name = nullptr;
  EXPECT_TRUE(FAILED(object->get_accName(self, &name)));
  EXPECT_EQ(name, nullptr);
  EXPECT_TRUE(FAILED(object->accDoDefaultAction(self)));
  dispatch->Release();
  identity->Release();
  EXPECT_EQ(object->Release(), 0u) << "every reference handed out was given back";
}

TEST_F(LaunchBtnTest, GlyphIsTheIconOverTheFaceAndStaysWithoutAFile) {
  auto b = NewButton(form.Handle(), 0, st_IconOnly);
  TLaunchBtn& btn = *b->button;
  btn.SetIconPath(FolderIconPath());
  btn.LoadGlyph();
  ExpectGlyph(btn.Glyph(), FileIconReference(FolderIconPath()));

  HBITMAP kept = btn.Glyph();
  auto keptPixels = Pixels(kept);
  for (std::wstring nothing : {Dir(L"missing.exe"), Dir(), std::wstring()}) {
    btn.SetIconPath(nothing);
    btn.LoadGlyph();
    EXPECT_EQ(btn.Glyph(), kept) << WideToUtf8(nothing);
  }
  EXPECT_EQ(Pixels(btn.Glyph()), keptPixels);
}

// An icon file of three opaque images, each one colour edge to edge: 16 blue, 32 red and
// 48 green, so a glyph shows which image it was drawn from.
std::string SizesIcon() {
  struct Image {
    int size;
    std::uint32_t bgra;
  };
  const Image images[] = {{16, 0xFF0000FFu}, {32, 0xFFFF0000u}, {48, 0xFF00FF00u}};
  auto put = [](std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
  };
  std::string dir, data;
  put(dir, 0, 2), put(dir, 1, 2), put(dir, 3, 2);
  std::uint32_t offset = 6 + 16 * 3;
  for (const Image& im : images) {
    std::string blob;
    put(blob, 40, 4), put(blob, static_cast<std::uint32_t>(im.size), 4), put(blob, static_cast<std::uint32_t>(2 * im.size), 4);
    put(blob, 1, 2), put(blob, 32, 2);
    for (int i = 0; i < 6; ++i) put(blob, 0, 4);
    for (int i = 0; i < im.size * im.size; ++i) put(blob, im.bgra, 4);
    blob.append(static_cast<std::size_t>((im.size + 31) / 32 * 4 * im.size), '\0');  // AND mask: all shown
    put(dir, static_cast<std::uint32_t>(im.size), 1), put(dir, static_cast<std::uint32_t>(im.size), 1);
    put(dir, 0, 2), put(dir, 1, 2), put(dir, 32, 2);
    put(dir, static_cast<std::uint32_t>(blob.size()), 4), put(dir, offset, 4);
    offset += static_cast<std::uint32_t>(blob.size());
    data += blob;
  }
  return dir + data;
}

COLORREF GlyphPixel(HBITMAP glyph, int x, int y) {
  UniqueDC dc(CreateCompatibleDC(nullptr));
  ScopedSelect select(dc.get(), glyph);
  return GetPixel(dc.get(), x, y);
}

// A window on a monitor of another scale than the system's (150 % beside 100 %) asks for
// a glyph the icon the shell gives at the system's size does not fit.
TEST_F(LaunchBtnTest, AGlyphOfAnotherSizeIsDrawnFromTheIconsOwnImageOfThatSize) {
  const std::wstring icon = Dir(L"sizes.ico");
  test::WriteBytes(icon, SizesIcon());
  ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32) << "the test prefix is at 96 DPI";
  for (auto [size, colour] : {std::pair{32, RGB(255, 0, 0)}, {48, RGB(0, 255, 0)}}) {
    SharedBitmap glyph = IconGlyph(icon, nullptr, size);
    ASSERT_TRUE(glyph);
    BITMAP bm{};
    GetObjectW(glyph->get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    for (auto [x, y] : {std::pair{size / 2, size / 2}, {0, 0}, {size - 1, size - 1}})
      EXPECT_EQ(GlyphPixel(glyph->get(), x, y), colour) << size << " at " << x << "," << y;
  }
}

// Restores the button-face colour that a test changed, whatever happens.
struct FaceColour {
  COLORREF original = GetSysColor(COLOR_BTNFACE);
  void Set(COLORREF c) {
    INT element = COLOR_BTNFACE;
    SetSysColors(1, &element, &c);
  }
  ~FaceColour() { Set(original); }
};

// The button's face as it paints it, kBtnWidth x kBtnHeight, row 0 at the top.
std::vector<COLORREF> PaintedFace(const TLaunchBtn& btn) {
  UniqueDC dc(CreateCompatibleDC(nullptr));
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof bmi.bmiHeader, kBtnWidth, -kBtnHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap shot(CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelect select(dc.get(), shot.get());
    SendMessageW(btn.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  }
  GdiFlush();
  std::vector<COLORREF> out;
  for (int i = 0; i < kBtnWidth * kBtnHeight; ++i) {
    DWORD p = static_cast<const DWORD*>(bits)[i];
    out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  return out;
}

TEST_F(LaunchBtnTest, CornerKeyIsOneRedStepAwayAndOnlyItIsDrawnTransparent) {
  std::wstring exe = Dir(L"Editor.exe");
  fs::copy_file(HelperProgram(), exe);
  auto b = NewButton(form.Handle(), 0, st_IconOnly);
  TLaunchBtn& btn = *b->button;
  btn.SetIconPath(exe);
  FaceColour face;
  for (COLORREF colour : {RGB(255, 10, 20), RGB(0, 200, 30)}) {
    face.Set(colour);
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), colour);
    auto reference = ProgramIconReference(exe);
    ASSERT_EQ(reference[kCorner], colour) << "the program icon leaves its corner empty";
    btn.LoadGlyph();
    auto glyph = Pixels(btn.Glyph());
    ASSERT_EQ(glyph.size(), 1024u);
    EXPECT_EQ(glyph[kCorner], GetRValue(colour) == 255 ? RGB(254, 10, 20) : RGB(1, 200, 30));
    ExpectGlyph(btn.Glyph(), reference);

    // The painted face: the glyph as it is, but its corner (the key) shows the face.
    const auto painted = PaintedFace(btn);
    int left = (kBtnWidth - 32) / 2, top = (kBtnHeight - 32) / 2, wrong = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        COLORREF got = painted[(top + y) * kBtnWidth + left + x];
        COLORREF want = (x == 0 && y == 31) ? colour : glyph[y * 32 + x];
        wrong += got != want;
      }
    EXPECT_EQ(wrong, 0) << "painted glyph pixels that differ from the glyph";
  }
}

// A search marks or clears every face of a page at one key: the mark goes onto the screen
// and off it at once, leaving nothing to a paint message; a face out of sight gets it at its
// next paint.
TEST_F(LaunchBtnTest, TheSearchMarkGoesOnAndOffTheScreenAtOnce) {
  auto b = NewButton(form.Handle());
  TLaunchBtn& btn = *b->button;
  const HWND h = btn.Handle();
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  auto edge = [h] {
    HDC dc = GetDC(h);
    const COLORREF c = GetPixel(dc, 1, kBtnHeight / 2);
    ReleaseDC(h, dc);
    return c;
  };
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), plain = edge();
  ASSERT_NE(plain, highlight);
  btn.SetMarked(true);
  EXPECT_EQ(edge(), highlight) << "marked";
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << "a paint message owed for the mark";
  EXPECT_EQ(PaintedFace(btn)[kBtnHeight / 2 * kBtnWidth + 1], highlight) << "the next paint forgets it";
  btn.SetMarked(false);
  EXPECT_EQ(edge(), plain) << "cleared";
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));

  ShowWindow(form.Handle(), SW_HIDE);
  btn.SetMarked(true);
  ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW);
  EXPECT_EQ(edge(), highlight) << "marked out of sight";
}

TEST_F(LaunchBtnTest, AThousandFaceRebuildsReleaseEveryHandleTheyMake) {
  std::wstring exe = Dir(L"Editor.exe");
  fs::copy_file(HelperProgram(), exe);
  auto b = NewButton(form.Handle());
  TLaunchBtn& btn = *b->button;
  SendDrop(btn.Handle(), {exe});
  FontDesc font = DefaultUiFont();
  btn.SetFont(font);
  RedrawWindow(btn.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

  long before = test::GdiLive();
  unsigned highWater = test::GdiHighWater();
  HBITMAP first = btn.Glyph();
  const TShowType cycle[] = {st_TextOnly, st_IconOnly, st_Both};
  for (int i = 0; i < 1002; ++i) {  // ends on st_Both
    btn.SetShowType(cycle[i % 3]);
    if (i % 10 == 0) btn.SetFont(font);
    RedrawWindow(btn.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_EQ(test::GdiLive(), before);
  int grown = static_cast<int>(test::GdiHighWater()) - static_cast<int>(highWater);
  std::printf("GDI table high water before %u, grown by %d\n", highWater, grown);
  EXPECT_LT(grown, 64) << "GDI objects left behind outside our owners";
  EXPECT_EQ(GetObjectType(first), 0u) << "the first glyph is gone";
  ASSERT_NE(btn.Glyph(), nullptr);

  // The count sees what is not released.
  UniqueBitmap kept(CreateBitmap(1, 1, 1, 1, nullptr));
  EXPECT_EQ(test::GdiLive(), before + 1);
}

// The helper's report of where it was started; empty until it has written it.
std::wstring ReportedFolder(const std::wstring& helper) {
  std::wstring file = helper + L".cwd";
  if (!fs::exists(file)) return {};
  return Utf8ToWide(test::ReadBytes(file));
}

bool WaitForReport(const std::wstring& helper) {
  return test::PumpUntil([&] { return fs::exists(helper + L".cwd"); }, 20000);
}

void Press(HWND w, UINT down, UINT up, WPARAM keys, int x = 20, int y = 20, int ux = 20,
           int uy = 20) {
  SendMessageW(w, down, keys, test::PointParam(x, y));
  SendMessageW(w, up, 0, test::PointParam(ux, uy));
}

TEST_F(LaunchBtnTest, LeftAndMiddleReleasesOpenTheTargetInTheWorkingFolder) {
  std::wstring folder = Dir(L"起動 é한");
  std::wstring work = Dir(L"作業 é");
  fs::create_directories(folder);
  fs::create_directories(work);
  std::wstring helper = folder + L"\\ヘルパー é한.exe";
  fs::copy_file(HelperProgram(), helper);
  std::wstring lnk = Dir(L"ヘルパー.lnk");
  ASSERT_TRUE(test::MakeShortcut(lnk, {.target = helper, .workDir = work}));
  // Wine's shell reads a shortcut's target through the ANSI code page when it opens the
  // shortcut, so this target keeps to characters of code page 932; Windows does not.
  std::wstring argHelper = Dir(L"引数付き\\ヘルパー.exe");
  fs::create_directories(Dir(L"引数付き"));
  fs::copy_file(HelperProgram(), argHelper);
  std::wstring withArgs = Dir(L"引数.lnk");
  ASSERT_TRUE(test::MakeShortcut(withArgs, {.target = argHelper, .workDir = work,
                                            .arguments = L"--profile \"仕事 é\""}));

  auto direct = NewButton(form.Handle(), 0);
  auto linked = NewButton(form.Handle(), 1);
  auto unbound = NewButton(form.Handle(), 2);
  auto argued = NewButton(form.Handle(), 3);
  SendDrop(direct->button->Handle(), {helper});
  ASSERT_EQ(direct->button->BtnName(), L"ヘルパー é한");
  SendDrop(linked->button->Handle(), {lnk});
  ASSERT_EQ(linked->button->WorkDir(), work);
  SendDrop(argued->button->Handle(), {withArgs});
  HWND d = direct->button->Handle();

  // Left release over the button: opened in the folder of the file, and a click.
  Press(d, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  ASSERT_TRUE(WaitForReport(helper));
  EXPECT_EQ(ReportedFolder(helper), folder);
  EXPECT_EQ(direct->clicks, 1);
  EXPECT_EQ(direct->ups, 1);
  fs::remove(helper + L".cwd");

  // Released outside: still opened, but no click.
  Press(d, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 20, 20, -40, 300);
  ASSERT_TRUE(WaitForReport(helper));
  EXPECT_EQ(direct->clicks, 1);
  EXPECT_EQ(direct->ups, 2);
  fs::remove(helper + L".cwd");

  // The right button and an unbound button open nothing; the right release is not even
  // a mouse-up to the owner.
  Press(d, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  Press(unbound->button->Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  test::Pump(2500);
  EXPECT_FALSE(fs::exists(helper + L".cwd"));
  EXPECT_EQ(direct->ups, 2);
  EXPECT_EQ(unbound->clicks, 1);

  // Space and Enter on the focused button open it as a click does, and click.
  for (UINT key : {VK_SPACE, VK_RETURN}) {
    SendMessageW(d, WM_KEYDOWN, key, 0);
    SendMessageW(d, WM_KEYUP, key, 0);
    ASSERT_TRUE(WaitForReport(helper)) << key;
    EXPECT_EQ(ReportedFolder(helper), folder);
    fs::remove(helper + L".cwd");
  }
  EXPECT_EQ(direct->clicks, 3);
  EXPECT_EQ(direct->ups, 2) << "no mouse-up from the keyboard";

  // Middle release opens too.
  Press(d, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  ASSERT_TRUE(WaitForReport(helper));
  EXPECT_EQ(ReportedFolder(helper), folder);
  EXPECT_EQ(direct->ups, 3);
  fs::remove(helper + L".cwd");

  // Through the shortcut: the shortcut's own working folder, and no arguments.
  Press(linked->button->Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  ASSERT_TRUE(WaitForReport(helper));
  EXPECT_EQ(ReportedFolder(helper), work);
  EXPECT_EQ(Utf8ToWide(test::ReadBytes(helper + L".args")), L"");
  fs::remove(helper + L".cwd");

  // A shortcut with arguments starts the program with them, in its own working folder.
  Press(argued->button->Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  ASSERT_TRUE(WaitForReport(argHelper));
  EXPECT_EQ(ReportedFolder(argHelper), work);
  EXPECT_EQ(Utf8ToWide(test::ReadBytes(argHelper + L".args")), L"--profile \"仕事 é\"");
}

TEST_F(LaunchBtnTest, CtrlShiftWithTheClickOrTheKeyOpensAsAdministrator) {
  std::wstring helper = Dir(L"verb.exe");
  fs::copy_file(HelperProgram(), helper);
  test::VerbClass verbs(helper);
  ASSERT_TRUE(verbs.Ready());
  std::wstring doc = Dir(L"文書.vlverb");
  test::WriteBytes(doc, "x");
  auto b = NewButton(form.Handle(), 0);
  SendDrop(b->button->Handle(), {doc});
  HWND w = b->button->Handle();
  auto verbSeen = [&]() -> std::wstring {
    if (!WaitForReport(helper)) return L"<not started>";
    std::wstring args = Utf8ToWide(test::ReadBytes(helper + L".args"));
    fs::remove(helper + L".cwd");
    return args.substr(0, args.find(L' '));
  };
  BYTE up[256] = {};
  BYTE ctrlShift[256] = {};
  ctrlShift[VK_CONTROL] = ctrlShift[VK_SHIFT] = 0x80;
  const struct {
    WPARAM keys;
    const wchar_t* verb;
  } clicks[] = {{MK_LBUTTON, L"open"},
                {MK_LBUTTON | MK_CONTROL, L"open"},
                {MK_LBUTTON | MK_SHIFT, L"open"},
                {MK_LBUTTON | MK_CONTROL | MK_SHIFT, L"runas"}};
  for (const auto& c : clicks) {
    SendMessageW(w, WM_LBUTTONDOWN, c.keys, test::PointParam(20, 20));
    SendMessageW(w, WM_LBUTTONUP, c.keys & ~MK_LBUTTON, test::PointParam(20, 20));
    EXPECT_EQ(verbSeen(), c.verb) << c.keys;
  }
  for (BYTE* state : {+ctrlShift, +up}) {
    SetKeyboardState(state);
    SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(w, WM_KEYUP, VK_RETURN, 0);
    SetKeyboardState(up);
    EXPECT_EQ(verbSeen(), state == ctrlShift ? L"runas" : L"open") << "Enter";
  }
}

// Only a target that a volume which is there says is not there counts as gone; a gone
// target's button is dimmed with a mark, and every way of opening it says so with its path
// instead of asking the shell, until the file is back.
TEST_F(LaunchBtnTest, ATargetThatIsGoneIsDimmedAndOpeningItSaysSoWithThePath) {
  fs::create_directories(Dir(L"there"));
  test::WriteBytes(Dir(L"there\\a.txt"), "x");
  wchar_t noDrive = L'\0';
  for (wchar_t d = L'Q'; d <= L'Y' && !noDrive; ++d)
    if (!(GetLogicalDrives() & (1u << (d - L'A')))) noDrive = d;
  ASSERT_TRUE(noDrive) << "a drive letter nobody holds";
  const struct {
    std::wstring path;
    bool gone;
  } cases[] = {
      {Dir(L"there\\a.txt"), false},
      {Dir(L"there"), false},
      {Dir(L"there\\gone.txt"), true},
      {Dir(L"nowhere\\gone.txt"), true},  // its folder gone too
      {L"\\\\?\\" + Dir(L"there\\gone.txt"), true},
      {std::wstring(1, noDrive) + L":\\tools\\gone.exe", false},  // a drive not there says nothing
      {L"notepad.exe", false},  // the shell finds it on its own
      {L"https://example.invalid/", false},
  };
  {
    auto b = NewButton(form.Handle());
    TLaunchBtn& btn = *b->button;
    btn.SetRegist(true);
    for (const auto& c : cases) {
      btn.SetFullPath(c.path);
      btn.SetShowType(st_Both);  // a face rebuilt looks again
      EXPECT_EQ(btn.Dimmed(), c.gone) << WideToUtf8(c.path);
    }
    btn.SetRegist(false);
    btn.CheckTarget();
    EXPECT_FALSE(btn.Dimmed()) << "an unbound button";
  }

  std::wstring helper = Dir(L"消えた é.exe");
  fs::copy_file(HelperProgram(), helper);
  auto b = NewButton(form.Handle());
  TLaunchBtn& btn = *b->button;
  HWND w = btn.Handle();
  SendDrop(w, {helper});
  const auto bright = PaintedFace(btn);
  fs::rename(helper, helper + L".away");
  btn.CheckTarget();
  ASSERT_TRUE(btn.Dimmed());
  const auto dim = PaintedFace(btn);
  // The mark in the top-right corner, the glyph faded, the caption in grey text.
  auto count = [](const std::vector<COLORREF>& face, COLORREF colour, int fromY, int toY, int fromX, int toX) {
    int n = 0;
    for (int y = fromY; y < toY; ++y)
      for (int x = fromX; x < toX; ++x) n += face[y * kBtnWidth + x] == colour;
    return n;
  };
  const int glyphTop = (kBtnHeight - 32 - 4 - 12) / 2, captionTop = glyphTop + 32;
  EXPECT_GT(count(dim, RGB(208, 0, 0), 0, 16, kBtnWidth - 16, kBtnWidth), 40) << "the mark";
  EXPECT_EQ(count(bright, RGB(208, 0, 0), 0, 16, kBtnWidth - 16, kBtnWidth), 0);
  int faded = 0;
  for (int y = glyphTop + 4; y < captionTop - 4; ++y)
    for (int x = 16; x < kBtnWidth - 16; ++x) faded += dim[y * kBtnWidth + x] != bright[y * kBtnWidth + x];
  EXPECT_GT(faded, 100) << "the glyph as it was";
  EXPECT_GT(count(dim, GetSysColor(COLOR_GRAYTEXT), captionTop, kBtnHeight - 3, 3, kBtnWidth - 3), 5)
      << "the caption";
  EXPECT_GT(count(bright, RGB(0, 0, 0), captionTop, kBtnHeight - 3, 3, kBtnWidth - 3), 5);
  EXPECT_EQ(count(dim, RGB(0, 0, 0), captionTop, kBtnHeight - 3, 3, kBtnWidth - 3), 0) << "the caption in its own colour";

  BYTE up[256] = {};
  BYTE ctrlShift[256] = {};
  ctrlShift[VK_CONTROL] = ctrlShift[VK_SHIFT] = 0x80;
  {
    MessageBoxCatcher boxes;
    Press(w, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    Press(w, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
    Press(w, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_CONTROL | MK_SHIFT);
    SetKeyboardState(ctrlShift);
    SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
    SetKeyboardState(up);
    // One box each, and no second one from the shell.
    ASSERT_EQ(boxes.Seen().size(), 4u);
    for (const auto& box : boxes.Seen()) {
      EXPECT_EQ(box.caption, L"RavariVudovi");
      EXPECT_EQ(box.text, GoneTargetMessage(helper));
      EXPECT_EQ(box.iconHandle, LoadIconW(nullptr, IDI_WARNING)) << "the warning sign: the user has something to do";
    }
  }
  EXPECT_EQ(b->clicks, 3) << "the owner still hears the clicks";

  // Back again: the click opens it and the face is bright again.
  fs::rename(helper + L".away", helper);
  {
    MessageBoxCatcher boxes;
    Press(w, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    ASSERT_TRUE(WaitForReport(helper));
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_FALSE(btn.Dimmed());
  }

  // Gone, and the button goes while its box is up: nothing touches it after.
  fs::rename(helper, helper + L".away");
  MessageBoxCatcher boxes;
  Btn* raw = b.get();
  boxes.OnBox = [raw](const test::SeenBox&) { raw->button.reset(); };
  Press(w, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  EXPECT_EQ(boxes.Seen().size(), 1u);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(b->clicks, 4);
}

TEST_F(LaunchBtnTest, AProgramInADriveRootStartsInTheRootNotInTheDrivesCurrentFolder) {
  std::wstring helper = L"C:\\vl_root_helper_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  fs::copy_file(HelperProgram(), helper, fs::copy_options::overwrite_existing);
  struct Cleanup {
    std::wstring helper, cwd;
    ~Cleanup() {
      SetCurrentDirectoryW(cwd.c_str());
      std::error_code ec;
      fs::remove(helper, ec);
      fs::remove(helper + L".cwd", ec);
    }
  } cleanup{helper, fs::current_path().wstring()};

  auto b = NewButton(form.Handle());
  SendDrop(b->button->Handle(), {helper});
  ASSERT_EQ(b->button->WorkDir(), L"C:");
  // Make "the current folder of drive C" something other than its root.
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\windows"));
  Press(b->button->Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  ASSERT_TRUE(WaitForReport(helper));
  EXPECT_EQ(ReportedFolder(helper), L"C:\\");
}

// Opening such a file is checked on the shipped launcher (e2e_long_path_drop): launched
// from this process under Wine, the shell refused the short name it was given.
TEST_F(LaunchBtnTest, AFilePastMaxPathBindsWholeWithItsNameAndIcon) {
  std::wstring folder = Dir();
  test::LongTreeRemover remover{folder};
  while (folder.size() < MAX_PATH + 20) {
    folder += L"\\" + std::wstring(70, L'l');
    ASSERT_TRUE(CreateDirectoryW(FileSystemPath(folder).c_str(), nullptr));
  }
  std::wstring exe = folder + L"\\Editor.exe";
  ASSERT_GT(exe.size(), static_cast<std::size_t>(MAX_PATH));
  ASSERT_TRUE(CopyFileW(HelperProgram().c_str(), FileSystemPath(exe).c_str(), FALSE));
  std::wstring lnk = Dir(L"Editor.lnk");
  ASSERT_TRUE(test::MakeShortcut(lnk, {.target = exe, .workDir = folder}));

  auto direct = NewButton(form.Handle(), 0);
  auto linked = NewButton(form.Handle(), 1);
  SendDrop(direct->button->Handle(), {exe});
  SendDrop(linked->button->Handle(), {lnk});
  TLaunchBtn& btn = *direct->button;
  EXPECT_EQ(btn.FullPath(), exe);
  EXPECT_EQ(btn.IconPath(), exe);
  EXPECT_EQ(btn.WorkDir(), folder);
  EXPECT_EQ(btn.Caption(), L"Editor");
  EXPECT_EQ(direct->regists, 1);
  ASSERT_TRUE(test::PumpUntil([&] { return btn.Glyph() != nullptr; }, 5000));
  ExpectGlyph(btn.Glyph(), ProgramIconReference(HelperProgram()));
  // The shell keeps no item list for a target this long, so the shortcut holds none it
  // could name in full: the shortcut itself is bound, never a cut path.
  EXPECT_TRUE(linked->button->FullPath() == exe || linked->button->FullPath() == lnk)
      << WideToUtf8(linked->button->FullPath());
  EXPECT_EQ(linked->button->BtnName(), L"Editor");
}

// A folder beside the test program, for paths relative to the launcher's folder (the
// test's temporary folder is on another drive under Wine: C:, the program on Z:).
class BesideProgram {
 public:
  BesideProgram() : path_(test::TestProgramFolder() / (L"portable-" + std::to_wstring(GetCurrentProcessId()))) {
    std::error_code ec;
    fs::remove_all(path_, ec);
    fs::create_directories(path_);
  }
  ~BesideProgram() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  BesideProgram(const BesideProgram&) = delete;
  BesideProgram& operator=(const BesideProgram&) = delete;
  std::wstring Name() const { return path_.filename().wstring(); }
  std::wstring Full(const std::wstring& sub = L"") const { return sub.empty() ? path_.wstring() : (path_ / sub).wstring(); }

 private:
  fs::path path_;
};

// Sets an environment variable of this process for one test.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    EXPECT_TRUE(SetEnvironmentVariableW(name, value.c_str()));
  }
  ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const wchar_t* name_;
};

TEST_F(LaunchBtnTest, VariablesAndPathsRelativeToTheLauncherOpenShowTheirIconAndAreJudgedWhereTheyPoint) {
  const std::wstring home = Dir(L"家 é");
  fs::create_directories(home + L"\\work");
  fs::copy_file(HelperProgram(), home + L"\\tool.exe");
  BesideProgram beside;
  fs::create_directories(beside.Full(L"apps"));
  const std::wstring app = beside.Full(L"apps\\tool.exe");
  fs::copy_file(HelperProgram(), app);
  const std::wstring folder = test::TestProgramFolder().wstring();
  const std::wstring self = folder.substr(folder.find_last_of(L'\\') + 1);
  // As %USERPROFILE% names the user's folder; and a variable holding a relative path is
  // expanded first, then resolved.
  ScopedVariable homeVariable(L"VL_TEST_HOME", home);
  ScopedVariable relativeVariable(L"VL_TEST_BESIDE", L".\\" + beside.Name());
  const std::wstring rel = L".\\" + beside.Name();
  // The launcher's current folder is wherever it was started from: the paths must not
  // lean on it being the program's own.
  struct CurrentFolder {
    fs::path was = fs::current_path();
    ~CurrentFolder() { fs::current_path(was); }
  } restore;
  fs::current_path(home);

  const struct {
    std::wstring fullPath, workDir, opened, startedIn;
  } cases[] = {
      {L"%VL_TEST_HOME%\\tool.exe", L"%VL_TEST_HOME%\\work", home + L"\\tool.exe", home + L"\\work"},
      {L"%vl_test_home%\\tool.exe", L"%VL_TEST_HOME%", home + L"\\tool.exe", home},
      {rel + L"\\apps\\tool.exe", rel + L"\\apps", app, beside.Full(L"apps")},
      {L"..\\" + self + L"\\" + beside.Name() + L"\\apps\\tool.exe", L"..\\" + self + L"\\" + beside.Name(), app,
       beside.Full()},
      // "\\" leads from the launcher's own drive's root.
      {folder.substr(2) + L"\\" + beside.Name() + L"\\apps\\tool.exe", L".", app, folder},
      {L"%VL_TEST_BESIDE%\\apps\\tool.exe", L"%VL_TEST_BESIDE%\\apps\\.", app, beside.Full(L"apps")},
  };
  MessageBoxCatcher boxes;
  const auto icon = ProgramIconReference(HelperProgram());
  int slot = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.fullPath));
    auto b = NewButton(form.Handle(), slot++ % 9);
    TLaunchBtn& btn = *b->button;
    btn.SetRegist(true);
    btn.SetFullPath(c.fullPath);
    btn.SetIconPath(c.fullPath);
    btn.SetWorkDir(c.workDir);
    btn.SetShowType(st_Both);
    EXPECT_FALSE(btn.Dimmed());
    ASSERT_TRUE(test::PumpUntil([&] { return btn.Glyph() != nullptr; }, 5000)) << "no icon";
    ExpectGlyph(btn.Glyph(), icon);
    Press(btn.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    ASSERT_TRUE(WaitForReport(c.opened));
    EXPECT_EQ(ReportedFolder(c.opened), c.startedIn);
    fs::remove(c.opened + L".cwd");
    EXPECT_EQ(btn.FullPath(), c.fullPath) << "kept as written";
    EXPECT_EQ(btn.WorkDir(), c.workDir);
    // The path used, to the character: what a folder is opened on or compared with.
    EXPECT_EQ(UsablePath(c.fullPath), c.opened);
  }
  EXPECT_TRUE(boxes.Seen().empty());

  // Gone where the path points now; a variable nobody defined leaves a path that is not
  // full, which the shell is left to judge, as a bare name is.
  const struct {
    std::wstring path;
    bool gone;
  } judged[] = {
      {L"%VL_TEST_HOME%\\gone.exe", true},
      {rel + L"\\gone.exe", true},
      {L"..\\" + self + L"\\" + beside.Name() + L"\\apps", false},
      {L"%VL_TEST_UNDEFINED%\\tool.exe", false},
      {L"%VL_TEST_UNDEFINED%", false},
  };
  auto b = NewButton(form.Handle());
  TLaunchBtn& btn = *b->button;
  btn.SetRegist(true);
  for (const auto& c : judged) {
    btn.SetFullPath(c.path);
    btn.CheckTarget();
    EXPECT_EQ(btn.Dimmed(), c.gone) << WideToUtf8(c.path);
  }
  btn.SetFullPath(L"%VL_TEST_HOME%\\gone.exe");
  Press(btn.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, GoneTargetMessage(home + L"\\gone.exe")) << "where it was looked for";
}

TEST_F(LaunchBtnTest, WithPortablePathsADropFromTheLaunchersDriveIsBoundRelativeAndOneFromElsewhereStaysFull) {
  BesideProgram beside;
  fs::create_directories(beside.Full(L"apps\\sub"));
  const std::wstring exe = beside.Full(L"apps\\sub\\Editor.exe");
  fs::copy_file(HelperProgram(), exe);
  ASSERT_TRUE(test::MakeShortcut(beside.Full(L"Editor.lnk"), {.target = exe, .workDir = beside.Full(L"apps")}));
  fs::copy_file(HelperProgram(), Dir(L"other.exe"));
  const std::wstring rel = L".\\" + beside.Name();

  bool portable = true;
  const struct {
    std::wstring drop, fullPath, workDir, iconPath, name;
  } cases[] = {
      {exe, rel + L"\\apps\\sub\\Editor.exe", rel + L"\\apps\\sub", rel + L"\\apps\\sub\\Editor.exe", L"Editor"},
      {beside.Full(L"Editor.lnk"), rel + L"\\apps\\sub\\Editor.exe", rel + L"\\apps", rel + L"\\apps\\sub\\Editor.exe",
       L"Editor"},
      // The folder icon ships beside the launcher, and travels with it too.
      {beside.Full(L"apps"), rel + L"\\apps", rel, L".\\res\\be_fold.ico", L"apps"},
      {Dir(L"other.exe"), Dir(L"other.exe"), Dir(), Dir(L"other.exe"), L"other"},
  };
  MessageBoxCatcher boxes;
  int slot = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.drop));
    auto b = NewButton(form.Handle(), slot++ % 9);
    TLaunchBtn& btn = *b->button;
    btn.PortablePaths = [&portable] { return portable; };
    SendDrop(btn.Handle(), {c.drop});
    EXPECT_EQ(btn.FullPath(), c.fullPath);
    EXPECT_EQ(btn.WorkDir(), c.workDir);
    EXPECT_EQ(btn.IconPath(), c.iconPath);
    EXPECT_EQ(btn.BtnName(), c.name);
    EXPECT_EQ(b->regists, 1);
    EXPECT_FALSE(btn.Dimmed());
    EXPECT_TRUE(test::PumpUntil([&] { return btn.Glyph() != nullptr; }, 5000)) << "no icon";
    if (c.drop != exe) continue;
    Press(btn.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    ASSERT_TRUE(WaitForReport(exe));
    EXPECT_EQ(ReportedFolder(exe), beside.Full(L"apps\\sub"));
    fs::remove(exe + L".cwd");
  }
  EXPECT_TRUE(boxes.Seen().empty());

  // Switched off, or asked of no one: full paths, as always.
  portable = false;
  for (bool asked : {true, false}) {
    auto b = NewButton(form.Handle());
    if (asked) b->button->PortablePaths = [&portable] { return portable; };
    SendDrop(b->button->Handle(), {exe});
    EXPECT_EQ(b->button->FullPath(), exe);
    EXPECT_EQ(b->button->WorkDir(), beside.Full(L"apps\\sub"));
    EXPECT_EQ(b->button->IconPath(), exe);
  }
}

}  // namespace
}  // namespace vl
