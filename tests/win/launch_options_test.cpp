// How a button starts its target, on a real main window in this process: the button
// dialog's arguments, window size and "always as administrator" through the file to a real
// launch of a helper that writes down its command line and show state, and along every way
// a button's keys go (a drag to another page, the undo, the delete command); shell names
// and URLs kept and opened by the shell; a shell item list dropped through OLE with a real
// DoDragDrop; and the page command that opens every button at once.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "buttons/frm_btn_option.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "gui/shell_drop.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

namespace fs = std::filesystem;

std::wstring Report(const std::wstring& helper, const wchar_t* what) {
  return Utf8ToWide(test::ReadBytes(helper + what));
}

// The helper's reports, once it has written its last; then taken away for its next start.
struct Started {
  std::wstring args, show;
  unsigned long long at = 0;
};
std::optional<Started> WaitForStart(const std::wstring& helper, int timeoutMs = 20000) {
  if (!test::PumpUntil([&] { return fs::exists(helper + L".cwd"); }, timeoutMs)) return std::nullopt;
  Started s{Report(helper, L".args"), Report(helper, L".show"), std::stoull(test::ReadBytes(helper + L".started"))};
  for (const wchar_t* what : {L".cwd", L".args", L".show", L".started"}) fs::remove(helper + what);
  return s;
}

POINT CenterOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class LaunchOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove(SettingsFilePath()); }
  void TearDown() override {
    dialog.reset();
    form.reset();
    fs::remove(SettingsFilePath());
  }
  void Open(int pageNum, const std::string& pages) {
    test::WriteBytes(SettingsFilePath(), "[General]\r\nFormTop=40\r\nFormLeft=40\r\nPageNum=" + std::to_string(pageNum) +
                                             "\r\n[Setting]\r\nAskBeforeDelBtn=0\r\nIsUseShake=0\r\n"
                                             "IsUseHotKey=0\r\nHideWhenClickBtn=0\r\n" +
                                             pages);
    form = std::make_unique<TfrmMain>();
    dialog = std::make_unique<TfrmBtnOption>(*form);
    form->SetDialogs(dialog.get(), nullptr, nullptr);
    form->Show1Click();
    test::Pump(0);
  }
  std::wstring Helper(const wchar_t* name) {
    const std::wstring path = (dir.path() / name).wstring();
    fs::copy_file(test::TestProgramFolder() / L"cwd_writer.exe", path, fs::copy_options::overwrite_existing);
    return path;
  }
  TLaunchBtn& Button(int i, int page = 0) { return *form->PageList()[static_cast<std::size_t>(page)]->Button(i); }
  // A right press makes the button the page's current one, as before the menu opens.
  void Press(TLaunchBtn& b) {
    SendMessageW(b.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
    ReleaseCapture();
  }
  void Click(TLaunchBtn& b) {
    SendMessageW(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
    SendMessageW(b.Handle(), WM_LBUTTONUP, 0, test::PointParam(5, 5));
  }
  std::wstring Key(const std::wstring& key, int page = 1) {
    return TIniFile(SettingsFilePath()).ReadString(L"Page" + std::to_wstring(page), key, L"<none>");
  }
  // The three keys of how button i starts, as the file holds them.
  std::wstring Options(int i, int page = 1) {
    const std::wstring n = std::to_wstring(i);
    return Key(L"BtnArg" + n, page) + L"|" + Key(L"BtnShow" + n, page) + L"|" + Key(L"BtnAdmin" + n, page);
  }
  void Edit(int i, const std::wstring& args, int show, bool admin) {
    Press(Button(i));
    form->N4Click();
    ASSERT_TRUE(dialog->Visible());
    dialog->lbeArguments.SetText(args);
    dialog->cmbShow.SetItemIndex(show);
    dialog->chkAdmin.SetChecked(admin);
    dialog->BtnOkClick();
    ASSERT_FALSE(dialog->Visible());
  }

  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  std::unique_ptr<TfrmMain> form;
  std::unique_ptr<TfrmBtnOption> dialog;
};

constexpr char kTwoPages[] =
    "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
    "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n";

TEST_F(LaunchOptionsTest, TheDialogsFieldsReachTheFileTheLaunchAndGoWithTheButtonWhereverItGoes) {
  const std::wstring helper = Helper(L"起動 é.exe");
  Open(2, kTwoPages);
  test::SendDrop(Button(1).Handle(), {helper});
  test::SendDrop(Button(2).Handle(), {(dir.path() / L"nothing.txt").wstring()});
  EXPECT_EQ(Options(1), L"<none>|<none>|<none>") << "a drop writes none of them";
  EXPECT_EQ(Options(2), L"<none>|<none>|<none>");

  const std::wstring args = L"--名前 \"仕事 é\"  x";
  Edit(1, args, 2, false);
  EXPECT_EQ(Options(1), args + L"|2|<none>");
  EXPECT_EQ(Options(2), L"<none>|<none>|<none>") << "a button left without them gets none";
  Click(Button(1));
  auto started = WaitForStart(helper);
  ASSERT_TRUE(started);
  EXPECT_EQ(started->args, args) << "one parameter string, quotation marks and all";
  EXPECT_EQ(started->show, std::to_wstring(SW_SHOWMAXIMIZED));

  Edit(1, L"", 1, false);
  EXPECT_EQ(Options(1), L"|1|<none>") << "arguments cleared, the key left empty";
  Click(Button(1));
  started = WaitForStart(helper);
  ASSERT_TRUE(started);
  EXPECT_EQ(started->args, L"");
  EXPECT_EQ(started->show, std::to_wstring(SW_SHOWMINNOACTIVE));

  // Shown again as they are, and taken back to a normal window: no key is left.
  Press(Button(1));
  form->N4Click();
  EXPECT_EQ(dialog->lbeArguments.Text(), L"");
  EXPECT_EQ(dialog->cmbShow.ItemIndex(), 1);
  EXPECT_FALSE(dialog->chkAdmin.Checked());
  dialog->BtnCancelClick();
  Edit(1, L"a b", 0, false);
  EXPECT_EQ(Options(1), L"a b|0|<none>");
  Click(Button(1));
  started = WaitForStart(helper);
  ASSERT_TRUE(started);
  EXPECT_EQ(started->show, std::to_wstring(SW_SHOWNORMAL));

  // Dragged onto the other page's tab: all seven go there, none stays.
  Edit(1, args, 2, true);
  EXPECT_EQ(Options(1), args + L"|2|1");
  HWND dragged = Button(1).Handle();
  RECT tab{};
  SendMessageW(form->Base().Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  MapWindowPoints(form->Base().Handle(), nullptr, reinterpret_cast<POINT*>(&tab), 2);
  POINT to{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2}, from = CenterOf(dragged);
  ScreenToClient(dragged, &from);
  SendMessageW(dragged, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(from.x, from.y));
  POINT over = to;
  ScreenToClient(dragged, &over);
  SendMessageW(dragged, WM_MOUSEMOVE, MK_LBUTTON, test::PointParam(over.x, over.y));
  SendMessageW(GetCapture() ? GetCapture() : dragged, WM_LBUTTONUP, 0, test::PointParam(over.x, over.y));
  test::Pump(0);
  EXPECT_EQ(Key(L"BtnFP1", 2), helper);
  EXPECT_EQ(Options(1, 2), args + L"|2|1");
  EXPECT_EQ(Key(L"BtnFP1"), L"");
  EXPECT_EQ(Options(1), L"|0|0") << "cleared where it was, as the four are";

  // The undo takes the move back, options and all.
  form->UndoClick();
  EXPECT_EQ(Key(L"BtnFP1"), helper);
  EXPECT_EQ(Options(1), args + L"|2|1");
  EXPECT_EQ(Options(1, 2), L"<none>|<none>|<none>") << "the page's keys as they were before the move";
  EXPECT_EQ(Button(1).Options().arguments, args) << "the page built again from the file";

  // The delete command clears the seven keys; its undo brings them back.
  Press(Button(1));
  form->D1Click();
  EXPECT_EQ(Key(L"BtnFP1") + Key(L"BtnName1") + Key(L"BtnIP1") + Key(L"WD1"), L"");
  EXPECT_EQ(Options(1), L"|0|0");
  EXPECT_TRUE(Button(1).Options().None());
  form->UndoClick();
  EXPECT_EQ(Options(1), args + L"|2|1");
}

TEST_F(LaunchOptionsTest, AlwaysAsAdministratorAsksForTheRunasVerbOnEveryOpen) {
  const std::wstring helper = Helper(L"verb.exe");
  test::VerbClass verbs(helper);
  ASSERT_TRUE(verbs.Ready());
  const fs::path doc = dir.path() / L"文書.vlverb";
  test::WriteBytes(doc, "x");
  Open(2, kTwoPages);
  test::SendDrop(Button(1).Handle(), {doc.wstring()});
  auto verb = [&] {
    const auto started = WaitForStart(helper);
    return started ? started->args.substr(0, started->args.find(L' ')) : L"<not started>";
  };
  Click(Button(1));
  EXPECT_EQ(verb(), L"open");
  Edit(1, L"", 0, true);
  EXPECT_EQ(Key(L"BtnAdmin1"), L"1");
  Click(Button(1));
  EXPECT_EQ(verb(), L"runas") << "a click";
  PostMessageW(Button(1).Handle(), WM_KEYDOWN, VK_RETURN, 0);
  app.ProcessMessages();
  EXPECT_EQ(verb(), L"runas") << "Enter";
}

// A shell name or a URL is what the user typed: kept, never looked for on disk, given the
// shell's icon, and opened by the shell through the protocol's own command.
TEST_F(LaunchOptionsTest, ShellNamesAndUrlsAreKeptNeverGoneAndOpenedByTheShell) {
  const std::wstring helper = Helper(L"protocol.exe");
  test::ClassKeys protocol;
  protocol.Set(L"vltest", L"URL:vltest");
  protocol.Set(L"vltest", L"", L"URL Protocol");
  protocol.Set(L"vltest\\shell\\open\\command", L"\"" + helper + L"\" \"%1\"");
  ASSERT_TRUE(protocol.Ready());
  Open(2, kTwoPages);

  const std::wstring url = L"vltest:hello/世界?x=1";
  Press(Button(1));
  form->N4Click();
  dialog->lbeName.SetText(L"URL");
  dialog->lbeLocate.SetText(url);
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnFP1"), url);
  EXPECT_TRUE(Button(1).Regist());
  EXPECT_FALSE(Button(1).Dimmed());
  Click(Button(1));
  const auto started = WaitForStart(helper);
  ASSERT_TRUE(started) << "the protocol's command was run";
  EXPECT_EQ(started->args, L"\"" + url + L"\"");
  EXPECT_FALSE(Button(1).Dimmed()) << "not marked gone by the click either";

  // Names the shell knows: each kept as typed, not gone, with the shell's icon.
  for (const std::wstring name : {L"shell:Personal", L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"}) {
    SCOPED_TRACE(WideToUtf8(name));
    Press(Button(2));
    form->N4Click();
    dialog->lbeLocate.SetText(name);
    dialog->BtnOkClick();
    EXPECT_EQ(Key(L"BtnFP2"), name);
    EXPECT_EQ(Key(L"BtnIP2"), name);
    EXPECT_FALSE(Button(2).Dimmed());
    EXPECT_TRUE(Button(2).SharedGlyph()) << "the shell's icon for it";
  }

  // Dropped as a name (as an item list brings it): named as the shell names it, no folder.
  test::SendDrop(Button(3).Handle(), {L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"});
  EXPECT_EQ(Key(L"BtnFP3"), L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  EXPECT_NE(Key(L"BtnName3"), L"") << "the shell's name for it";
  EXPECT_NE(Key(L"BtnName3"), L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  EXPECT_EQ(Key(L"WD3"), L"");
  EXPECT_FALSE(Button(3).Dimmed());
}

// COM objects of the test's own, on its stack: released through their interfaces, never
// deleted through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A COM object of the test's own that lives on its stack: one interface, no count.
template <class Interface>
class OnStack : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != __uuidof(Interface)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// The data a drag of the shell hands over, in one format.
class OneFormat : public OnStack<IDataObject> {
 public:
  OneFormat(CLIPFORMAT format, std::string bytes) : format_(format), bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* want, STGMEDIUM* medium) override {
    if (QueryGetData(want) != S_OK) return DV_E_FORMATETC;
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
    std::memcpy(GlobalLock(global), bytes_.data(), bytes_.size());
    GlobalUnlock(global);
    *medium = {};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = global;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* want) override {
    return want && want->cfFormat == format_ && (want->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  CLIPFORMAT format_;
  std::string bytes_;
};

// A drag that ends with a drop after a few looks, wherever the pointer is then.
class DropSoon : public OnStack<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    return ++looks_ >= 3 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int looks_ = 0;
};

#pragma GCC diagnostic pop

// A CIDA of the desktop and items given by their absolute lists, as the shell's drag of
// them carries it.
std::string ItemList(const std::vector<std::wstring>& names) {
  std::vector<std::string> lists = {std::string(2, '\0')};  // the desktop: the empty list
  for (const std::wstring& name : names) {
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHParseDisplayName(name.c_str(), nullptr, &item, 0, nullptr))) return {};
    lists.emplace_back(reinterpret_cast<const char*>(item), ILGetSize(item));
    ILFree(item);
  }
  std::string out(sizeof(UINT) * (lists.size() + 1), '\0');
  const UINT count = static_cast<UINT>(names.size());
  std::memcpy(out.data(), &count, sizeof count);
  for (std::size_t k = 0; k < lists.size(); ++k) {
    const UINT at = static_cast<UINT>(out.size());
    std::memcpy(out.data() + sizeof(UINT) * (k + 1), &at, sizeof at);
    out += lists[k];
  }
  return out;
}

std::string FileDrop(const std::wstring& path) {
  std::string out(sizeof(DROPFILES), '\0');
  DROPFILES head{};
  head.pFiles = sizeof(DROPFILES);
  head.fWide = TRUE;
  std::memcpy(out.data(), &head, sizeof head);
  out.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
  out.append(sizeof(wchar_t), '\0');
  return out;
}

TEST_F(LaunchOptionsTest, AShellItemListDroppedThroughOleBindsTheItemsByParsingNameAndFilesStillAsFiles) {
  Open(2, kTwoPages);
  const fs::path file = dir.path() / L"資料 é.txt";
  test::WriteBytes(file, "x");
  const CLIPFORMAT items = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
  test::MessageBoxCatcher boxes;
  auto drag = [&](OneFormat data, POINT at) {
    SetCursorPos(at.x, at.y);
    DropSoon source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE, &effect);
    test::Pump(50);  // the drop reaches the button after the drag
    // Refused over its last place: dropped with no effect, or called off (the system's
    // choice); either way nothing was taken.
    return hr == DRAGDROP_S_DROP ? effect : hr == DRAGDROP_S_CANCEL ? DWORD(DROPEFFECT_NONE) : DWORD(0xFFFF);
  };

  // My Computer is no file: bound by the name the shell parses back.
  const std::wstring computer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  const std::string list = ItemList({computer});
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(drag(OneFormat(items, list), CenterOf(Button(1).Handle())), DWORD(DROPEFFECT_COPY))
      << "a copy, never a move: the source keeps what it gave";
  EXPECT_EQ(_wcsicmp(Key(L"BtnFP1").c_str(), computer.c_str()), 0) << WideToUtf8(Key(L"BtnFP1"));
  EXPECT_TRUE(Button(1).Regist());
  EXPECT_FALSE(Button(1).Dimmed());

  // A file in an item list is bound by its path, as a file.
  EXPECT_EQ(drag(OneFormat(items, ItemList({file.wstring()})), CenterOf(Button(2).Handle())), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(Key(L"BtnFP2"), file.wstring());
  EXPECT_EQ(Key(L"WD2"), dir.path().wstring());

  // Files through OLE arrive as files did.
  EXPECT_EQ(drag(OneFormat(CF_HDROP, FileDrop(file.wstring())), CenterOf(Button(3).Handle())), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(Key(L"BtnFP3"), file.wstring());
  EXPECT_EQ(Key(L"BtnName3"), L"資料 é");
  EXPECT_TRUE(boxes.Seen().empty());

  // On a bound button: refused with the same box as a drop of files; off the buttons (the
  // tab row): no drop at all.
  EXPECT_EQ(drag(OneFormat(items, list), CenterOf(Button(2).Handle())), DWORD(DROPEFFECT_COPY));
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_NE(boxes.Seen()[0].text.find(L"このボタンにはすでに登録されています"), std::wstring::npos);
  EXPECT_EQ(Key(L"BtnFP2"), file.wstring());
  RECT tabs{};
  SendMessageW(form->Base().Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tabs));
  MapWindowPoints(form->Base().Handle(), nullptr, reinterpret_cast<POINT*>(&tabs), 2);
  const std::string before = test::ReadBytes(SettingsFilePath());
  EXPECT_EQ(drag(OneFormat(items, list), POINT{(tabs.left + tabs.right) / 2, (tabs.top + tabs.bottom) / 2}),
            DWORD(DROPEFFECT_NONE))
      << "not dropped on the tab row";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
  EXPECT_EQ(boxes.Seen().size(), 1u);

  // While a box of the launcher's own is up, the launcher takes no drop.
  EnableWindow(form->Handle(), FALSE);
  EXPECT_EQ(drag(OneFormat(items, list), CenterOf(Button(4).Handle())), DWORD(DROPEFFECT_NONE));
  EnableWindow(form->Handle(), TRUE);
  EXPECT_EQ(Key(L"BtnFP4"), L"<none>");
}

// What another program hands over is read within its memory: a list of items whose counts,
// offsets or lists run past it gives nothing, and the good items of a list are still read.
TEST(ShellDropData, AnItemListThatRunsPastItsMemoryGivesNothingOfWhatIsPast) {
  const CLIPFORMAT items = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
  const std::wstring computer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  const std::string good = ItemList({computer, computer});
  ASSERT_FALSE(good.empty());
  auto names = [&](std::string bytes) {
    OneFormat data(items, std::move(bytes));
    return TShellDrop::DroppedNames(&data).size();
  };
  EXPECT_EQ(names(good), 2u);
  auto with = [&](std::size_t at, UINT value) {
    std::string bytes = good;
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  EXPECT_EQ(names(with(0, 0xFFFFFFFF)), 0u) << "a count past the memory";
  EXPECT_EQ(names(with(0, 0)), 0u) << "no items";
  EXPECT_EQ(names(with(sizeof(UINT), static_cast<UINT>(good.size()))), 0u) << "the folder's list past the end";
  EXPECT_EQ(names(with(2 * sizeof(UINT), 0x7FFFFFF0)), 1u) << "one item's list past the end: the other is read";
  std::string cut = good.substr(0, good.size() - 1);  // the last list loses its end
  EXPECT_EQ(names(cut), 1u);
  EXPECT_EQ(names(std::string(3, '\0')), 0u) << "shorter than its count";
  EXPECT_EQ(names(""), 0u);
}

TEST_F(LaunchOptionsTest, OpenAllOpensEveryBoundButtonInOrderSkipsTheGoneOnesAndHidesOnce) {
  const std::wstring a = Helper(L"a.exe"), c = Helper(L"c.exe");
  const std::wstring gone = (dir.path() / L"b.exe").wstring();
  Open(1, "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
       "BtnFP1=" + WideToUtf8(a) + "\r\nBtnName1=A\r\nBtnArg1=first arg\r\n"
       "BtnFP2=" + WideToUtf8(gone) + "\r\nBtnName2=B\r\n"
       "BtnFP4=" + WideToUtf8(c) + "\r\nBtnName4=C\r\nBtnShow4=2\r\n");
  TIniFile(SettingsFilePath()).WriteString(L"Setting", L"HideWhenClickBtn", L"1");
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  test::MessageBoxCatcher boxes;
  form->OpenAllClick();
  ASSERT_EQ(boxes.Seen().size(), 1u) << "no question for three; one box for the gone one";
  EXPECT_NE(boxes.Seen()[0].text.find(L"B  (" + gone + L")"), std::wstring::npos) << WideToUtf8(boxes.Seen()[0].text);
  const auto first = WaitForStart(a), second = WaitForStart(c);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->args, L"first arg") << "each with its own settings";
  EXPECT_EQ(second->show, std::to_wstring(SW_SHOWMAXIMIZED));
  EXPECT_LT(first->at, second->at) << "in number order";
  EXPECT_FALSE(IsWindowVisible(form->Handle())) << "hidden once, after the last";
}

TEST_F(LaunchOptionsTest, OpenAllAsksAboveTenAndDoesNothingWhenTheAnswerIsNo) {
  std::string page = "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=3\r\nBtnW=64\r\nBtnH=64\r\n";
  // Twelve targets that are gone: the question and the list, and nothing to start.
  for (int i = 1; i <= 12; ++i)
    page += "BtnFP" + std::to_string(i) + "=" + WideToUtf8((dir.path() / ("g" + std::to_string(i) + ".exe")).wstring()) +
            "\r\n";
  Open(1, page);
  {
    test::MessageBoxCatcher no(IDNO);
    form->OpenAllClick();
    ASSERT_EQ(no.Seen().size(), 1u);
    EXPECT_EQ(no.Seen()[0].text, L"このページの 12 個のボタンをすべて開きますか？");
  }
  test::MessageBoxCatcher yes(IDYES);
  form->OpenAllClick();
  ASSERT_EQ(yes.Seen().size(), 2u);
  const std::wstring& list = yes.Seen()[1].text;
  // Named in number order, ten of them, and the rest counted: the box stays on the screen.
  std::size_t at = 0;
  for (int i = 1; i <= 10; ++i) {
    const std::size_t next = list.find(L"\\g" + std::to_wstring(i) + L".exe", at);
    EXPECT_NE(next, std::wstring::npos) << i;
    at = next == std::wstring::npos ? at : next;
  }
  EXPECT_EQ(list.find(L"g11.exe"), std::wstring::npos);
  EXPECT_NE(list.find(L"ほか 2 個"), std::wstring::npos) << WideToUtf8(list);
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "nothing opened: the launcher stays";
}

}  // namespace
}  // namespace vl

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
