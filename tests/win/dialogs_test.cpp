// The button properties dialog and the version box in this process, on a real main window
// with real drops and the settings file beside the test: what the dialog shows for a
// bound file and a bound folder, what OK writes and applies by display type, Cancel, a
// page deleted or released for room and a file made read-only while the dialog is open;
// paths with variables or relative to the program kept as written, drops bound relative;
// the history file missing, empty, in Shift_JIS, and read beside the program from any
// current folder; the page properties dialog: what it shows, refuses, asks, writes and
// rebuilds.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/frm_main.h"
#include "buttons/frm_btn_option.h"
#include "buttons/shell_helpers.h"
#include "core/ini_file.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_page_option.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "gui/platform/window_count.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/dialog_layout.h"

namespace vl {
namespace {

// Esc typed in `field`: through the program's own message loop, whose filters (the
// dialogs' keys, the launcher's local hide key) a typed key meets.
void TypeEsc(HWND field) {
  SetFocus(field);
  PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(field, WM_KEYUP, VK_ESCAPE, 0);
  TApplication::Instance().ProcessMessages();
}

class BtnOptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(SettingsFilePath());
    std::filesystem::create_directories(dir.path() / "Tools");
    test::WriteBytes(editor, "MZ");
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);  // before the exit's writes
    dialog.reset();
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  void Open() {
    form = std::make_unique<TfrmMain>();
    dialog = std::make_unique<TfrmBtnOption>(*form);
    form->SetDialogs(dialog.get(), nullptr, nullptr);
  }
  TLaunchBtn& Button(int i, int page = 0) { return *form->PageList()[static_cast<std::size_t>(page)]->Button(i); }
  // A right press makes the button the page's current one, as before the menu opens.
  void Press(TLaunchBtn& b) {
    SendMessageW(b.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
    ReleaseCapture();
  }
  std::wstring Key(const wchar_t* key, int page = 1) {
    return TIniFile(SettingsFilePath()).ReadString(L"Page" + std::to_wstring(page), key, L"<none>");
  }

  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  std::filesystem::path editor = dir.path() / "Tools" / "Editor.exe";
  std::filesystem::path folder = dir.path() / "Docs";
  std::unique_ptr<TfrmMain> form;
  std::unique_ptr<TfrmBtnOption> dialog;
};

TEST_F(BtnOptionTest, ABoundFileShowsItsValuesAndOkAppliesTheIconRule) {
  Open();
  {
    test::MessageBoxCatcher boxes;
    form->N4Click();
    ASSERT_EQ(boxes.Seen().size(), 1u) << "no button pressed yet: the user is told, not left guessing";
    EXPECT_EQ(boxes.Seen()[0].text, L"ボタンが選ばれていません。ボタンを右クリックしてから「ボタンのプロパティ」を選んでください");
  }
  EXPECT_FALSE(dialog->Visible());

  test::SendDrop(Button(1).Handle(), {editor.wstring()});
  Press(Button(1));
  form->N4Click();
  ASSERT_TRUE(dialog->Visible());
  test::ExpectTidyLayout(dialog->Handle());
  EXPECT_EQ(GetForegroundWindow(), dialog->Handle());
  EXPECT_EQ(dialog->lbeName.Text(), L"Editor");
  EXPECT_EQ(dialog->lbeLocate.Text(), editor.wstring());
  EXPECT_EQ(dialog->lbeWorkDir.Text(), (dir.path() / "Tools").wstring());
  EXPECT_FALSE(dialog->chkIsUseIcon.Checked()) << "the icon file is the target";
  EXPECT_FALSE(dialog->lbeIconLocate.Enabled());
  EXPECT_FALSE(dialog->BtnBrows2.Enabled());

  // Ticked, but no other file given: the target stays the icon file.
  dialog->chkIsUseIcon.SetChecked(true);
  EXPECT_TRUE(dialog->lbeIconLocate.Enabled()) << "the click handler runs for a change by code";
  dialog->lbeIconLocate.SetText(L"");
  dialog->lbeName.SetText(L"エディタ");
  dialog->BtnOkClick();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Key(L"BtnName1"), L"エディタ");
  EXPECT_EQ(Key(L"BtnIP1"), editor.wstring());
  EXPECT_EQ(Button(1).Caption(), L"エディタ") << "both shown: the caption follows at once";
  EXPECT_EQ(Button(1).Hint(), L"エディタ\n" + editor.wstring()) << "the tooltip follows: the name and the target";

  // Cleared: the target is the icon file, whatever the icon field holds.
  form->N4Click();
  dialog->chkIsUseIcon.SetChecked(true);
  dialog->lbeIconLocate.SetText(L"C:\\other.ico");
  dialog->chkIsUseIcon.SetChecked(false);
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnIP1"), editor.wstring());
  EXPECT_EQ(Button(1).IconPath(), editor.wstring());

  form->N4Click();
  dialog->chkIsUseIcon.SetChecked(true);
  dialog->lbeIconLocate.SetText(L"C:\\other.ico");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnIP1"), L"C:\\other.ico");
  EXPECT_EQ(Button(1).IconPath(), L"C:\\other.ico");

  // A target given that is not there dims the button at once; given one that is, it is not.
  form->N4Click();
  dialog->lbeLocate.SetText((dir.path() / "Tools" / "Gone.exe").wstring());
  dialog->BtnOkClick();
  EXPECT_TRUE(Button(1).Dimmed()) << "a target that is not there";
  form->N4Click();
  dialog->lbeLocate.SetText(editor.wstring());
  dialog->BtnOkClick();
  EXPECT_FALSE(Button(1).Dimmed());
}

// A folder dropped gets the folder icon that ships with the program, which nobody chose:
// the dialog shows no other icon, keeps that icon as stored, and its greyed field shows
// the button's own path, not what the last button opened left in it.
TEST_F(BtnOptionTest, ADroppedFolderShowsNoOtherIconKeepsItsStoredIconAndEachButtonItsOwnPath) {
  Open();
  test::SendDrop(Button(1).Handle(), {editor.wstring()});
  Press(Button(1));
  form->N4Click();
  dialog->chkIsUseIcon.SetChecked(true);
  dialog->lbeIconLocate.SetText(L"C:\\other.ico");
  dialog->BtnOkClick();
  ASSERT_EQ(Key(L"BtnIP1"), L"C:\\other.ico");

  test::SendDrop(Button(2).Handle(), {folder.wstring()});
  HBITMAP glyph = Button(2).Glyph();
  ASSERT_NE(glyph, nullptr);
  Press(Button(2));
  form->N4Click();
  ASSERT_EQ(Key(L"BtnIP2"), FolderIconPath()) << "the drop's icon, saved as the dialog opened";
  EXPECT_FALSE(dialog->chkIsUseIcon.Checked());
  EXPECT_FALSE(dialog->lbeIconLocate.Enabled());
  EXPECT_FALSE(dialog->BtnBrows2.Enabled());
  EXPECT_EQ(dialog->lbeIconLocate.Text(), folder.wstring()) << "not the icon the last button chose";
  const std::string before = test::ReadBytes(SettingsFilePath());
  dialog->BtnOkClick();
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "nothing changed: the file as it was";
  EXPECT_EQ(Button(2).IconPath(), FolderIconPath());

  // Turned to the other button while open, and back: each shows its own.
  Press(Button(1));
  form->N4Click();
  EXPECT_TRUE(dialog->chkIsUseIcon.Checked());
  EXPECT_EQ(dialog->lbeIconLocate.Text(), L"C:\\other.ico");
  Press(Button(2));
  form->N4Click();
  EXPECT_FALSE(dialog->chkIsUseIcon.Checked());
  EXPECT_EQ(dialog->lbeIconLocate.Text(), folder.wstring());

  // A new name only: the folder keeps its icon and its glyph.
  dialog->lbeName.SetText(L"書類");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnName2"), L"書類");
  EXPECT_EQ(Key(L"BtnIP2"), FolderIconPath());
  EXPECT_EQ(Button(2).Glyph(), glyph);

  // Turned to a file, the button shows that file's icon: the folder's was the folder's.
  form->N4Click();
  dialog->lbeLocate.SetText(editor.wstring());
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnIP2"), editor.wstring());
  form->N4Click();
  dialog->lbeLocate.SetText(folder.wstring());
  dialog->BtnOkClick();
  ASSERT_EQ(Key(L"BtnIP2"), folder.wstring()) << "typed back by hand: the folder itself, as the user gave it";

  // Another icon chosen for the folder is one the user chose: shown ticked next time.
  form->N4Click();
  dialog->chkIsUseIcon.SetChecked(true);
  dialog->lbeIconLocate.SetText(L"C:\\folder.ico");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnIP2"), L"C:\\folder.ico");
  form->N4Click();
  EXPECT_TRUE(dialog->chkIsUseIcon.Checked());
  EXPECT_EQ(dialog->lbeIconLocate.Text(), L"C:\\folder.ico");
  dialog->BtnCancelClick();
}

TEST_F(BtnOptionTest, RenamingFollowsTheDisplayTypeAndAnUnboundButtonGivenATargetIsBound) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=2\r\n[Setting]\r\nAskBeforeDelPage=0\r\n"
                   "[Page1]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=1\r\n"
                   "[Page2]\r\nLive=1\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=2\r\n");
  Open();
  for (int page : {0, 1}) {
    form->Base().SetActivePageIndex(page);
    form->BaseChange();  // as a click on the tab does
    test::SendDrop(Button(1, page).Handle(), {editor.wstring()});
    Press(Button(1, page));
    form->N4Click();
    dialog->lbeName.SetText(L"New");
    dialog->BtnOkClick();
    EXPECT_EQ(Key(L"BtnName1", page + 1), L"New");
    EXPECT_EQ(Button(1, page).BtnName(), L"New");
  }
  EXPECT_EQ(Button(1, 0).Caption(), L"") << "icon only: no caption";
  EXPECT_EQ(Button(1, 1).Caption(), L"New") << "text only: the caption follows";

  Press(Button(3, 1));
  form->N4Click();
  dialog->lbeLocate.SetText(L"C:\\tools\\new.exe");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnFP3", 2), L"C:\\tools\\new.exe");
  EXPECT_EQ(Key(L"BtnIP3", 2), L"C:\\tools\\new.exe");
  EXPECT_EQ(Button(3, 1).FullPath(), L"C:\\tools\\new.exe");
  EXPECT_TRUE(Button(3, 1).Regist()) << "bound at once, as the next start would find it";
}

// The dialog is modeless: the button it edits can change behind it, and OK must not
// throw such a change away, nor leave a button bound to nothing.
TEST_F(BtnOptionTest, OkKeepsWhatChangedWhileItWasOpenAndNeverLeavesABoundButtonWithoutATarget) {
  test::WriteBytes(SettingsFilePath(), "[General]\r\nPageNum=1\r\n[Setting]\r\nAskBeforeDelBtn=0\r\n"
                                       "[Page1]\r\nLive=1\r\nYoko=5\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n");
  Open();
  // Open on the empty button 3, a drop on it, OK with nothing edited: the drop stands.
  Press(Button(3));
  form->N4Click();
  ASSERT_TRUE(dialog->Visible());
  test::SendDrop(Button(3).Handle(), {editor.wstring()});
  SendMessageW(dialog->BtnOk.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Button(3).FullPath(), editor.wstring());
  EXPECT_TRUE(Button(3).Regist());
  EXPECT_EQ(Key(L"BtnFP3"), editor.wstring());
  EXPECT_EQ(Key(L"BtnName3"), L"Editor");

  // Edited here and deleted meanwhile: the user sees the button as it is now.
  form->N4Click();
  dialog->lbeName.SetText(L"Mine");
  form->D1Click();
  {
    test::MessageBoxCatcher boxes;
    SendMessageW(dialog->BtnOk.Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, L"このボタンは開いている間に変更されました。いまの内容を表示します");
  }
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(dialog->lbeName.Text(), L"");
  EXPECT_EQ(Key(L"BtnFP3"), L"") << "the deletion stands";
  EXPECT_FALSE(Button(3).Regist());
  dialog->BtnCancelClick();

  // The location emptied on purpose unbinds the button, which then takes a drop again.
  test::SendDrop(Button(1).Handle(), {editor.wstring()});
  Press(Button(1));
  form->N4Click();
  dialog->lbeLocate.SetText(L"");
  dialog->BtnOkClick();
  EXPECT_FALSE(Button(1).Regist());
  EXPECT_EQ(Button(1).Caption(), L"");
  EXPECT_EQ(Key(L"BtnFP1"), L"");
  EXPECT_EQ(Key(L"BtnName1"), L"");
  {
    test::MessageBoxCatcher boxes;
    test::SendDrop(Button(1).Handle(), {folder.wstring()});
    EXPECT_TRUE(boxes.Seen().empty()) << "no \"登録済みです\": the button is free";
  }
  EXPECT_EQ(Key(L"BtnFP1"), folder.wstring());

  // The command on another button while the dialog is open turns it to that button.
  form->N4Click();
  ASSERT_EQ(dialog->lbeLocate.Text(), folder.wstring());
  Press(Button(2));
  form->N4Click();
  EXPECT_EQ(dialog->lbeLocate.Text(), L"");
  dialog->lbeLocate.SetText(editor.wstring());
  dialog->lbeName.SetText(L"Two");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnName2"), L"Two");
  EXPECT_EQ(Key(L"BtnFP1"), folder.wstring()) << "the first button untouched";
}

TEST_F(BtnOptionTest, CancelAfterEditsChangesNeitherTheFileNorTheButton) {
  Open();
  test::SendDrop(Button(1).Handle(), {editor.wstring()});
  Press(Button(1));
  form->N4Click();
  const std::string before = test::ReadBytes(SettingsFilePath());
  dialog->lbeName.SetText(L"x");
  dialog->lbeLocate.SetText(L"y");
  dialog->lbeWorkDir.SetText(L"z");
  dialog->chkIsUseIcon.SetChecked(true);
  dialog->lbeIconLocate.SetText(L"w");
  SendMessageW(dialog->BtnCancel.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
  EXPECT_EQ(Button(1).BtnName(), L"Editor");
  EXPECT_EQ(Button(1).FullPath(), editor.wstring());
  EXPECT_EQ(Button(1).Caption(), L"Editor");

  // Esc cancels as the button does; the launcher's own hide key, Esc, acts in the launcher
  // only, never in a dialog of ours.
  form->N4Click();
  ASSERT_TRUE(dialog->Visible());
  dialog->lbeName.SetText(L"x");
  TypeEsc(dialog->lbeName.Handle());
  EXPECT_FALSE(dialog->Visible()) << "Esc cancels";
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "and does not send the launcher away";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
  EXPECT_EQ(Button(1).BtnName(), L"Editor");
}

TEST_F(BtnOptionTest, APageDeletedWhileTheDialogIsOpenIsNotTouchedByOk) {
  test::WriteBytes(SettingsFilePath(), "[General]\r\nPageNum=2\r\n[Setting]\r\nAskBeforeDelPage=0\r\n"
                                       "[Page1]\r\nLive=1\r\n[Page2]\r\nLive=1\r\nBtnFP1=C:\\a.exe\r\nBtnName1=a\r\n");
  Open();
  form->Base().SetActivePageIndex(1);
  form->BaseChange();  // as a click on the tab does
  Press(Button(1, 1));
  form->N4Click();
  ASSERT_EQ(dialog->lbeName.Text(), L"a");
  form->Base().SetActivePageIndex(1);
  form->BaseChange();  // as a click on the tab does
  form->N3Click();  // the main window stays usable while the dialog is open
  ASSERT_EQ(form->PageList().size(), 1u);
  form->N4Click();  // open: it keeps the button it has
  dialog->lbeName.SetText(L"b");
  test::MessageBoxCatcher boxes;
  SendMessageW(dialog->BtnOk.Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, L"このボタンはもうないため、変更は保存されません");
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Key(L"BtnName1", 2), L"a");
}

// Pages released for room while the dialog is open: its page is built again at OK, and the
// edit lands in the file and on the button.
TEST_F(BtnOptionTest, AButtonWhosePageWasReleasedMeanwhileTakesTheEditAtOk) {
  std::string file = "[General]\r\nPageNum=3\r\n";
  for (const char* n : {"1", "2", "3"})
    file += std::string("[Page") + n + "]\r\nLive=1\r\nYoko=10\r\nTate=1\r\nBtnW=20\r\nBtnH=20\r\n"
            "BtnFP1=C:\\a.exe\r\nBtnName1=a\r\n";
  test::WriteBytes(SettingsFilePath(), file);
  Open();
  // Room for the first page and one more.
  form->SetWindowBudget(CountWindowsOfProcess(GetCurrentProcessId()) + 15);
  auto show = [&](int index) {
    form->Base().SetActivePageIndex(index);
    form->BaseChange();  // as a click on the tab does
  };
  show(1);
  Press(Button(1, 1));
  form->N4Click();
  ASSERT_EQ(dialog->lbeName.Text(), L"a");
  show(2);
  show(0);
  ASSERT_FALSE(form->PageList()[1]->Built()) << "page 2 was not released";
  dialog->lbeName.SetText(L"b");
  test::MessageBoxCatcher boxes;
  SendMessageW(dialog->BtnOk.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Key(L"BtnName1", 2), L"b");
  EXPECT_EQ(Button(1, 1).BtnName(), L"b");
}

TEST_F(BtnOptionTest, AFileThatCannotBeWrittenLeavesTheButtonAndTheDialogAsTheyWere) {
  Open();
  test::SendDrop(Button(1).Handle(), {editor.wstring()});
  Press(Button(1));
  form->N4Click();
  ASSERT_TRUE(SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_READONLY));
  dialog->lbeName.SetText(L"Renamed");
  test::MessageBoxCatcher boxes;
  SendMessageW(dialog->BtnOk.Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_NE(boxes.Seen()[0].text.find(L"に書き込めません"), std::wstring::npos) << "error box";
  EXPECT_TRUE(dialog->Visible()) << "no claim of success: the edits stay for another try";
  EXPECT_EQ(Button(1).BtnName(), L"Editor");
  EXPECT_EQ(Button(1).Caption(), L"Editor");
  EXPECT_EQ(Key(L"BtnName1"), L"Editor");
}

// Answers the next file-open dialog of this thread as a user would: reads the file name
// it starts from, then types `choose` and presses OK, or cancels when `choose` is empty.
class FileDialogUser {
 public:
  explicit FileDialogUser(std::wstring choose) : choose_(std::move(choose)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &FileDialogUser::Tick);
  }
  ~FileDialogUser() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  FileDialogUser(const FileDialogUser&) = delete;
  FileDialogUser& operator=(const FileDialogUser&) = delete;
  const std::wstring& StartedFrom() const { return started_; }
  bool Answered() const { return answered_; }

 private:
  static HWND NameField(HWND box) {
    for (int id : {0x47c, 0x480}) {  // cmb13 in the Explorer style, edt1 in the older one
      if (HWND field = GetDlgItem(box, id)) return field;
    }
    return nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_ || current_->answered_) return;
    HWND box = test::ThreadDialog(&NameField);
    if (!box) return;
    current_->answered_ = true;
    wchar_t text[MAX_PATH] = L"";
    GetWindowTextW(NameField(box), text, MAX_PATH);
    current_->started_ = text;
    if (current_->choose_.empty()) {
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    SetWindowTextW(NameField(box), current_->choose_.c_str());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }

  static inline FileDialogUser* current_ = nullptr;
  std::wstring choose_;
  std::wstring started_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
};

TEST_F(BtnOptionTest, BothBrowseButtonsShareOneFileDialogThatRemembersTheLastChoice) {
  Open();
  Press(Button(1));
  form->N4Click();
  {
    FileDialogUser user(editor.wstring());
    dialog->BtnBrowsClick();
    ASSERT_TRUE(user.Answered());
  }
  EXPECT_EQ(dialog->lbeLocate.Text(), editor.wstring());
  dialog->lbeIconLocate.SetText(L"kept");
  {
    FileDialogUser user(L"");  // cancelled
    dialog->BtnBrows2Click();
    ASSERT_TRUE(user.Answered());
    EXPECT_NE(user.StartedFrom().find(L"Editor.exe"), std::wstring::npos) << "from the last file chosen";
  }
  EXPECT_EQ(dialog->lbeIconLocate.Text(), L"kept") << "a cancelled dialog changes nothing";
}

TEST_F(BtnOptionTest, VariablesAndRelativePathsAreShownAndKeptAsWrittenAndBrowsingGivesAFullPath) {
  // Drops bound relative, as the setting asks, on a page of the real main window.
  const std::filesystem::path beside = test::TestProgramFolder() / (L"portable-" + std::to_wstring(GetCurrentProcessId()));
  struct Remove {
    std::filesystem::path path;
    ~Remove() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  } remove{beside};
  std::filesystem::create_directories(beside);
  test::WriteBytes(beside / "Tool.exe", "MZ");
  test::WriteBytes(SettingsFilePath(), "[Setting]\r\nPortablePaths=1\r\n");
  EXPECT_TRUE(SetEnvironmentVariableW(L"VL_TEST_TOOLS", (dir.path() / "Tools").c_str()));
  Open();
  test::SendDrop(Button(1).Handle(), {(beside / "Tool.exe").wstring()});
  test::SendDrop(Button(2).Handle(), {editor.wstring()});
  const std::wstring rel = L".\\" + beside.filename().wstring();
  EXPECT_EQ(Key(L"BtnFP1"), rel + L"\\Tool.exe");
  EXPECT_EQ(Key(L"WD1"), rel);
  EXPECT_EQ(Key(L"BtnFP2"), editor.wstring()) << "another drive than the program's";

  Press(Button(1));
  form->N4Click();
  EXPECT_EQ(dialog->lbeLocate.Text(), rel + L"\\Tool.exe");
  EXPECT_EQ(dialog->lbeWorkDir.Text(), rel);
  EXPECT_FALSE(dialog->chkIsUseIcon.Checked()) << "the icon is the target, both written alike";
  // A folder beside the program gets the folder icon written relative too: no other icon.
  test::SendDrop(Button(3).Handle(), {beside.wstring()});
  Press(Button(3));
  form->N4Click();
  EXPECT_EQ(Key(L"BtnIP3"), L".\\res\\be_fold.ico");
  EXPECT_FALSE(dialog->chkIsUseIcon.Checked());
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnIP3"), L".\\res\\be_fold.ico");
  Press(Button(1));
  form->N4Click();

  dialog->lbeLocate.SetText(L"%VL_TEST_TOOLS%\\Editor.exe");
  dialog->lbeWorkDir.SetText(L"%VL_TEST_TOOLS%");
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnFP1"), L"%VL_TEST_TOOLS%\\Editor.exe");
  EXPECT_EQ(Key(L"WD1"), L"%VL_TEST_TOOLS%");
  EXPECT_EQ(Key(L"BtnIP1"), L"%VL_TEST_TOOLS%\\Editor.exe");
  EXPECT_EQ(Button(1).FullPath(), L"%VL_TEST_TOOLS%\\Editor.exe");
  EXPECT_FALSE(Button(1).Dimmed()) << "judged where the variable leads";
  form->N4Click();
  EXPECT_EQ(dialog->lbeLocate.Text(), L"%VL_TEST_TOOLS%\\Editor.exe");
  dialog->lbeLocate.SetText(L"%VL_TEST_TOOLS%\\Gone.exe");
  dialog->BtnOkClick();
  EXPECT_TRUE(Button(1).Dimmed());

  // What the file dialog gives is its full path, whatever the field held.
  form->N4Click();
  {
    FileDialogUser user(editor.wstring());
    dialog->BtnBrowsClick();
    ASSERT_TRUE(user.Answered());
  }
  EXPECT_EQ(dialog->lbeLocate.Text(), editor.wstring());
  dialog->BtnOkClick();
  EXPECT_EQ(Key(L"BtnFP1"), editor.wstring());
  EXPECT_EQ(Key(L"WD1"), L"%VL_TEST_TOOLS%") << "the working folder as typed";
  SetEnvironmentVariableW(L"VL_TEST_TOOLS", nullptr);
}

// The button properties dialog moved to a monitor at 150 %, as Windows tells it: its own
// font and the browse buttons' own fonts all made again at that scale, and back.
TEST_F(BtnOptionTest, AMoveToAnotherScaleRemakesEveryFontOfTheDialog) {
  Open();
  auto height = [](HWND w) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
  };
  ASSERT_EQ(height(dialog->BtnBrows.Handle()), -11);
  ASSERT_EQ(height(dialog->BtnOk.Handle()), -12);
  RECT window;
  GetWindowRect(dialog->Handle(), &window);
  RECT suggested{window.left, window.top, window.left + (window.right - window.left) * 3 / 2,
                 window.top + (window.bottom - window.top) * 3 / 2};
  SendMessageW(dialog->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(height(dialog->BtnBrows.Handle()), -17) << "11 pixels at 144 DPI, rounded";
  EXPECT_EQ(height(dialog->BtnBrows2.Handle()), -17);
  EXPECT_EQ(height(dialog->BtnOk.Handle()), -18);
  EXPECT_EQ(height(dialog->lbeName.Handle()), -18);
  LOGFONTW face{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog->BtnBrows.Handle(), WM_GETFONT, 0, 0)), sizeof face, &face);
  EXPECT_STREQ(face.lfFaceName, L"ＭＳ ゴシック") << "each control keeps its own face";
  SendMessageW(dialog->Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window));
  EXPECT_EQ(height(dialog->BtnBrows.Handle()), -11);
  EXPECT_EQ(height(dialog->BtnOk.Handle()), -12);
}

class AboutTest : public ::testing::Test {
 protected:
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
};

TEST_F(AboutTest, TheHistoryFileMissingEmptyAndInShiftJis) {
  {
    test::MessageBoxCatcher boxes;
    TfrmAbout about(dir.path() / "History.txt");
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, L"ファイル History.txt は開けません.");
    EXPECT_EQ(about.Memo1.Text(), L"Memo1");
    EXPECT_FALSE(about.Visible()) << "made all the same, hidden";
  }
  test::WriteBytes(dir.path() / "History.txt", "");
  {
    TfrmAbout about(dir.path() / "History.txt");
    EXPECT_EQ(about.Memo1.Text(), L"");
  }
  // "更新履歴" and "版" in Shift_JIS; line ends of all three kinds.
  test::WriteBytes(dir.path() / "History.txt", "\x8d\x58\x90\x56\x97\x9a\x97\xf0\r\nv1\nv2\r\x94\xc5\r\n");
  TfrmAbout about(dir.path() / "History.txt");
  EXPECT_EQ(about.Memo1.Lines(), (std::vector<std::wstring>{L"更新履歴", L"v1", L"v2", L"版"}));
  EXPECT_EQ(about.Label1.Text(), L"version 1.01") << "from the version resource";
  EXPECT_EQ(about.StaticText1.Text(), L"Vantri Launch");
  RECT outer;
  GetWindowRect(about.Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 361);
  EXPECT_EQ(outer.bottom - outer.top, 385);
  test::ExpectTidyLayout(about.Handle());
  // A click on the history tab: the strip asks the box before it changes, and changes.
  RECT tab{};
  SendMessageW(about.PageControl1.Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(about.PageControl1.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(about.PageControl1.Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(about.PageControl1.ActivePageIndex(), 1);
}

TEST_F(AboutTest, TheHistoryIsReadBesideTheProgramWhateverTheCurrentFolder) {
  const std::filesystem::path beside = test::TestProgramFolder() / "History.txt";
  test::WriteBytes(beside, "first\r\n");
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(dir.path().c_str());  // started from a pinned shortcut, a prompt
  test::MessageBoxCatcher boxes;
  {
    TfrmAbout about;
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(about.Memo1.Text(), L"first");
  }
  SetCurrentDirectoryW(previous);
  std::filesystem::remove(beside);
}

// The page properties dialog on a real main window: what it shows, what it refuses, the
// question before registered buttons go, and what OK writes and rebuilds.
class PageOptionTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
  void TearDown() override {
    dialog.reset();
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  // Page 1 of `yoko` x `tate` buttons of 40 pixels, its buttons `bound` bound to a target.
  void Open(int yoko, int tate, int bound, const std::string& more = "") {
    std::string ini = "[General]\r\nPageNum=2\r\n[Setting]\r\nAskBeforeDelPage=0\r\n[Page1]\r\nLive=1\r\nName=P\r\n"
                      "FontName=Arial\r\nFontColor=clNavy\r\nFontSize=10\r\nBtnW=40\r\nBtnH=40\r\nShowType=0\r\n"
                      "Yoko=" + std::to_string(yoko) + "\r\nTate=" + std::to_string(tate) + "\r\n" + more;
    for (int i = 1; i <= bound; ++i) ini += "BtnFP" + std::to_string(i) + "=C:\\b" + std::to_string(i) + ".exe\r\n";
    test::WriteBytes(SettingsFilePath(), ini);
    form = std::make_unique<TfrmMain>();
    dialog = std::make_unique<TfrmPageOption>(*form);
    form->SetDialogs(nullptr, dialog.get(), nullptr);
  }
  TPage& Page(int index = 0) { return *form->PageList()[static_cast<std::size_t>(index)]; }
  std::wstring Key(const wchar_t* key, int page = 1) {
    return TIniFile(SettingsFilePath()).ReadString(L"Page" + std::to_wstring(page), key, L"<none>");
  }
  SIZE Client() {
    RECT r;
    GetClientRect(form->Handle(), &r);
    return {r.right, r.bottom};
  }
  // OK as a click on it, with every box answered by `answer` (0: its first button).
  std::vector<test::SeenBox> Ok(int answer = 0) {
    test::MessageBoxCatcher boxes(answer);
    SendMessageW(dialog->Button2.Handle(), BM_CLICK, 0, 0);
    return boxes.Seen();
  }

  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
  std::unique_ptr<TfrmPageOption> dialog;
};

TEST_F(PageOptionTest, AbsentKeysShowTheirDefaultsAndWhatThePageCannotBuildIsRefusedInOrder) {
  test::WriteBytes(SettingsFilePath(), "[General]\r\nPageNum=1\r\n[Page1]\r\nLive=1\r\nShowType=7\r\n");
  form = std::make_unique<TfrmMain>();
  dialog = std::make_unique<TfrmPageOption>(*form);
  form->SetDialogs(nullptr, dialog.get(), nullptr);
  form->N5Click();
  ASSERT_TRUE(dialog->Visible());
  test::ExpectTidyLayout(dialog->Handle());
  EXPECT_EQ(GetForegroundWindow(), dialog->Handle());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(dialog->lbeName.Text(), L"");
  for (TSpinEdit* spin : {&dialog->spnYoko, &dialog->spnTate, &dialog->spnHeight, &dialog->spnWidth})
    EXPECT_EQ(spin->Value(), -1);
  EXPECT_EQ(dialog->rgShowType.ItemIndex(), 2) << "beyond the items: the last";
  EXPECT_EQ(dialog->lblFontName.Text(), L"");
  EXPECT_EQ(dialog->lblFontSize.Text(), L"8");
  EXPECT_EQ(dialog->FontDialog.Font.name, L"ＭＳ Ｐゴシック") << "an empty name keeps the dialog's";
  EXPECT_EQ(dialog->FontDialog.Font.points, 8);

  const std::string before = test::ReadBytes(SettingsFilePath());
  struct Case {
    const wchar_t* name;
    std::int32_t yoko, tate, size;
    const wchar_t* message;
    const TControl* field;  // where the correction starts once the box is answered
  };
  const Case cases[] = {
      {L"", 0, 0, 64, L"ページの名前を入力してください", &dialog->lbeName},
      {L" ", 3, 0, 64, L"行数と列数は、どちらも1個以上にしてください", &dialog->spnTate},
      {L"x", -1, -1, -1, L"行数と列数は、どちらも1個以上にしてください", &dialog->spnYoko},
      {L"x", 41, 1, 64, L"行数と列数は、どちらも40個までにしてください", &dialog->spnYoko},
      {L"x", 2, 2, 7, L"ボタンの大きさは8から512ピクセルまでにしてください", &dialog->spnWidth},
      {L"x", 2, 2, 513, L"ボタンの大きさは8から512ピクセルまでにしてください", &dialog->spnWidth},
  };
  for (const Case& c : cases) {
    dialog->lbeName.SetText(c.name);
    dialog->spnYoko.SetValue(c.yoko);
    dialog->spnTate.SetValue(c.tate);
    dialog->spnWidth.SetValue(c.size);
    dialog->spnHeight.SetValue(64);
    auto boxes = Ok();
    ASSERT_EQ(boxes.size(), 1u) << c.yoko << " x " << c.tate;
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].owner, dialog->Handle()) << "the box is the dialog's";
    EXPECT_TRUE(dialog->Visible());
    EXPECT_EQ(GetActiveWindow(), dialog->Handle()) << "not the launcher, where Esc would hide it";
    EXPECT_EQ(GetFocus(), c.field->Handle()) << c.yoko << " x " << c.tate;
  }
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "nothing written";
  dialog->Button1Click();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "Cancel writes nothing";

  // Each limit itself is allowed: 40 across or down, buttons of 8 and of 512 pixels.
  for (std::int32_t across : {40, 1}) {
    const bool wide = across == 40;
    form->N5Click();
    dialog->lbeName.SetText(L"x");
    dialog->spnYoko.SetValue(across);
    dialog->spnTate.SetValue(41 - across);
    dialog->spnWidth.SetValue(wide ? 8 : 512);
    dialog->spnHeight.SetValue(wide ? 512 : 8);
    EXPECT_TRUE(Ok().empty()) << across;
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(Key(L"Yoko") + L"x" + Key(L"Tate"), wide ? L"40x1" : L"1x40");
    EXPECT_EQ(Key(L"BtnW") + L"x" + Key(L"BtnH"), wide ? L"8x512" : L"512x8");
  }
}

TEST_F(PageOptionTest, AShrinkAsksOnlyWhenFewerCellsRemainThanRegisteredButtons) {
  Open(5, 1, 2);
  form->N5Click();
  dialog->spnYoko.SetValue(3);
  EXPECT_TRUE(Ok().empty()) << "only empty buttons go: no question";
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Page().BtnCount(), 3);
  EXPECT_EQ(Client().cx, 120);
  EXPECT_EQ(Key(L"Yoko"), L"3");
  dialog.reset();
  form.reset();

  Open(5, 1, 4);
  form->N5Click();
  dialog->spnYoko.SetValue(3);
  const std::string before = test::ReadBytes(SettingsFilePath());
  auto boxes = Ok(IDNO);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"警告");
  EXPECT_EQ(boxes[0].text,
            L"ボタンの数を 3 個にすると、登録したボタンのうち 1 個が表示されなくなります。\n"
            L"そのボタンの登録は設定ファイルに残り、ボタンの数を増やすと元どおり表示されます。\nよろしいですか？");
  EXPECT_EQ((boxes[0].buttons), (std::vector<std::wstring>{L"はい(&Y)", L"いいえ(&N)"}));
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(dialog->spnYoko.Value(), 3) << "No keeps the dialog as it was";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
  EXPECT_EQ(Page().BtnCount(), 5);

  EXPECT_EQ(Ok(IDYES).size(), 1u);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Page().BtnCount(), 3);
  EXPECT_EQ(Page().CountRegistered(), 3);
  EXPECT_EQ(Key(L"BtnFP4"), L"C:\\b4.exe") << "the dropped buttons' keys stay in the file";
  dialog.reset();
  form.reset();

  // Files dropped while the dialog is open count: the buttons are counted at OK.
  Open(5, 1, 2);
  form->N5Click();
  test::TempDir dir;
  for (int i : {3, 4}) {
    const std::filesystem::path file = dir.path() / ("d" + std::to_string(i) + ".txt");
    test::WriteBytes(file, "x");
    test::SendDrop(Page().Button(i)->Handle(), {file.wstring()});
  }
  ASSERT_EQ(Page().CountRegistered(), 4);
  dialog->spnYoko.SetValue(3);
  boxes = Ok(IDNO);
  ASSERT_EQ(boxes.size(), 1u) << "four bound buttons, three cells";
  EXPECT_EQ(boxes[0].caption, L"警告");
  EXPECT_EQ(Page().BtnCount(), 5);
  dialog.reset();
  form.reset();

  // What counts is a bound button past the new size, however few the bound buttons are;
  // it comes back with the grid.
  Open(5, 1, 0, "BtnFP5=C:\\b5.exe\r\n");
  form->N5Click();
  dialog->spnYoko.SetValue(4);
  boxes = Ok();
  ASSERT_EQ(boxes.size(), 1u) << "button 5 leaves the window";
  EXPECT_NE(boxes[0].text.find(L"ボタンの数を 4 個にすると、登録したボタンのうち 1 個"), std::wstring::npos);
  EXPECT_EQ(Page().BtnCount(), 4);
  form->N5Click();
  dialog->spnYoko.SetValue(5);
  EXPECT_TRUE(Ok().empty()) << "growing asks nothing";
  ASSERT_EQ(Page().BtnCount(), 5);
  EXPECT_EQ(Page().Button(5)->FullPath(), L"C:\\b5.exe");
}

// Each number field between what it is and its unit, on its row, in the group that names
// them: the rows are the page's Tate and the columns its Yoko.
TEST_F(PageOptionTest, EachFieldStandsBetweenItsLabelAndItsUnitAndRowsAreTate) {
  Open(4, 2, 0);
  form->N5Click();
  // The static on the field's row that ends left of it, and the one that starts right of it.
  auto beside = [this](const TSpinEdit& spin, bool left) {
    RECT field;
    GetWindowRect(spin.Handle(), &field);
    const int middle = (field.top + field.bottom) / 2;
    std::wstring found;
    int nearest = INT_MAX;
    for (HWND w = GetWindow(dialog->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      wchar_t cls[16] = L"";
      GetClassNameW(w, cls, 16);
      RECT r;
      GetWindowRect(w, &r);
      if (std::wstring(cls) != L"Static" || r.top > middle || r.bottom < middle) continue;
      const int gap = left ? field.left - r.right : r.left - field.right;
      if (gap >= 0 && gap < nearest) {
        nearest = gap;
        found = TControl::FromHandle(w)->Text();
      }
    }
    return found;
  };
  EXPECT_EQ(dialog->spnTate.Value(), 2);
  EXPECT_EQ(beside(dialog->spnTate, true), L"行数：");
  EXPECT_EQ(dialog->spnYoko.Value(), 4);
  EXPECT_EQ(beside(dialog->spnYoko, true), L"列数：");
  EXPECT_EQ(beside(dialog->spnHeight, true), L"高さ：");
  EXPECT_EQ(beside(dialog->spnWidth, true), L"幅：");
  for (TSpinEdit* count : {&dialog->spnTate, &dialog->spnYoko}) EXPECT_EQ(beside(*count, false), L"個");
  for (TSpinEdit* size : {&dialog->spnHeight, &dialog->spnWidth}) EXPECT_EQ(beside(*size, false), L"ピクセル");
  EXPECT_EQ(dialog->GroupBox2.Text(), L"ボタンの数");
  EXPECT_EQ(dialog->GroupBox3.Text(), L"ボタンの大きさ");
  wchar_t title[64] = L"";
  GetWindowTextW(dialog->Handle(), title, 64);
  EXPECT_STREQ(title, L"ページのプロパティ");
  // Three rows asked for: the page's grid has three rows of its four columns.
  dialog->spnTate.SetValue(3);
  EXPECT_TRUE(Ok().empty());
  EXPECT_EQ(Key(L"Tate"), L"3");
  EXPECT_EQ(Page().BtnCount(), 12);
  RECT first, below;
  GetWindowRect(Page().Button(1)->Handle(), &first);
  GetWindowRect(Page().Button(5)->Handle(), &below);
  EXPECT_EQ(below.left, first.left) << "button 5 starts the second row";
  EXPECT_GT(below.top, first.top);
}

// The system's font dialog from 「フォントの変更」, answered OK: the page keeps a face and a
// size, so no style is offered; OK writes the face and the size and nothing else.
TEST_F(PageOptionTest, TheFontDialogOffersNoStyleAndOkWritesTheFaceAndTheSize) {
  Open(3, 1, 0);
  form->N5Click();
  // A face the system lists (the dialog offers listed ones only), started from bold.
  dialog->FontDialog.Font.name = L"IPA Pゴシック";
  dialog->FontDialog.Font.bold = true;
  static bool styleShown, answered;
  styleShown = answered = false;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = test::ThreadDialog();
    if (!box) return;
    KillTimer(nullptr, id);
    styleShown = IsWindowVisible(GetDlgItem(box, cmb2)) || IsWindowVisible(GetDlgItem(box, stc2));
    answered = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  const std::string before = test::ReadBytes(SettingsFilePath());
  dialog->Button3Click();
  ASSERT_TRUE(answered);
  EXPECT_FALSE(styleShown) << "no bold or italic to choose: the page would not keep them";
  EXPECT_FALSE(dialog->FontDialog.Font.bold);
  EXPECT_EQ(dialog->lblFontName.Text(), L"IPA Pゴシック");
  EXPECT_EQ(dialog->lblFontSize.Text(), L"10");
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "nothing written before OK";
  EXPECT_TRUE(Ok().empty());
  EXPECT_EQ(Key(L"FontName"), L"IPA Pゴシック");
  EXPECT_EQ(Key(L"FontSize"), L"10");
  EXPECT_EQ(Key(L"FontColor"), L"clNavy") << "the colour stays";
  EXPECT_EQ(Key(L"Name"), L"P");
}

TEST_F(PageOptionTest, FewerColumnsKeepTheSameButtonsInTheirOrder) {
  Open(3, 2, 6);
  form->N5Click();
  dialog->spnYoko.SetValue(2);
  dialog->spnTate.SetValue(3);
  EXPECT_TRUE(Ok().empty());
  ASSERT_EQ(Page().BtnCount(), 6);
  for (int i = 1; i <= 6; ++i) {
    TLaunchBtn& b = *Page().Button(i);
    EXPECT_EQ(b.FullPath(), L"C:\\b" + std::to_wstring(i) + L".exe");
    RECT r;
    GetWindowRect(b.Handle(), &r);
    MapWindowPoints(nullptr, GetParent(b.Handle()), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, (i - 1) % 2 * 40) << i;
    EXPECT_EQ(r.top, (i - 1) / 2 * 40) << i;
  }
  EXPECT_EQ(Client().cx, 80);
  EXPECT_EQ(Client().cy, 3 * 40 + 19);
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "hidden and shown again";
}

TEST_F(PageOptionTest, OkWithoutChangeDoesNotRebuildARenameDoesAndTheColourStays) {
  Open(2, 1, 0);
  // The hover colour stays until the page's buttons are built again from the file.
  const COLORREF blue = RGB(0, 0, 255);
  SendMessageW(Page().Button(1)->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  ASSERT_EQ(Page().Button(1)->FontColor(), blue);
  form->N5Click();
  EXPECT_TRUE(Ok().empty());
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Page().Button(1)->FontColor(), blue) << "nothing changed: no rebuild";
  EXPECT_EQ(Key(L"FontColor"), L"clNavy") << "the page's own colour, not the window text's";
  EXPECT_EQ(Key(L"FontName"), L"Arial");
  EXPECT_EQ(Key(L"FontSize"), L"10");

  form->N5Click();
  dialog->lbeName.SetText(L"ツール");
  EXPECT_TRUE(Ok().empty());
  EXPECT_EQ(Page().Button(1)->FontColor(), RGB(0, 0, 128)) << "rebuilt: the page's navy again";
  EXPECT_EQ(form->Base().Sheet(0).Caption(), L"ツール");
  wchar_t text[32] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 32;
  SendMessageW(form->Base().Handle(), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"ツール");
  EXPECT_EQ(Page().PageName(), L"ツール");
  EXPECT_EQ(Key(L"FontColor"), L"clNavy");
}

TEST_F(PageOptionTest, OkWritesOnlyWhatTheUserChangedAndLeavesWhatAnotherPcSyncedMeanwhile) {
  Open(2, 1, 1);
  form->N5Click();
  // Another PC renames the page, widens its buttons and picks another font while the
  // dialog is open.
  std::string bytes = test::ReadBytes(SettingsFilePath());
  bytes.replace(bytes.find("Name=P\r\n"), 8, "Name=Theirs\r\n");
  bytes.replace(bytes.find("BtnW=40"), 7, "BtnW=52");
  bytes.replace(bytes.find("FontName=Arial"), 14, "FontName=Tahoma");
  test::WriteBytes(SettingsFilePath(), bytes);
  dialog->rgShowType.SetItemIndex(2);
  EXPECT_TRUE(Ok().empty());
  EXPECT_EQ(Key(L"ShowType"), L"2") << "the one change made here";
  EXPECT_EQ(Key(L"Name"), L"Theirs");
  EXPECT_EQ(Key(L"BtnW"), L"52");
  EXPECT_EQ(Key(L"FontName"), L"Tahoma");
  EXPECT_EQ(Key(L"FontSize"), L"10");
  EXPECT_EQ(Key(L"FontColor"), L"clNavy");
}

TEST_F(PageOptionTest, EscCancelsAndLeavesTheLauncherUp) {
  Open(2, 1, 0);
  const std::string before = test::ReadBytes(SettingsFilePath());
  form->N5Click();
  ASSERT_TRUE(dialog->Visible());
  dialog->lbeName.SetText(L"x");
  TypeEsc(dialog->lbeName.Handle());
  EXPECT_FALSE(dialog->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
  EXPECT_EQ(Page().PageName(), L"P");
}

TEST_F(PageOptionTest, APageDeletedWhileTheDialogIsOpenIsNotTouchedByOk) {
  Open(2, 1, 0, "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n");
  form->Base().SetActivePageIndex(1);
  form->BaseChange();  // as a click on the tab does
  form->N5Click();
  ASSERT_EQ(dialog->lbeName.Text(), L"Two");
  form->N3Click();
  ASSERT_EQ(form->PageList().size(), 1u);
  dialog->lbeName.SetText(L"Changed");
  auto boxes = Ok();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"このページはもうないため、変更は保存されません");
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Key(L"Name", 2), L"Two");
  EXPECT_EQ(form->Base().Sheet(0).Caption(), L"P");
}

// Every window of this thread, children included.
int WindowCount() {
  int n = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND top, LPARAM count) -> BOOL {
        ++*reinterpret_cast<int*>(count);
        EnumChildWindows(
            top,
            [](HWND, LPARAM c) -> BOOL {
              ++*reinterpret_cast<int*>(c);
              return TRUE;
            },
            count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}

TEST_F(PageOptionTest, ManyRebuildsKeepTheWindowAndGdiCountsFlat) {
  // Bound to a real program, so that every rebuild loads and draws its icons.
  const std::string self = (test::TestProgramFolder() / "dialogs_test.exe").string();
  std::string bound;
  for (int i = 1; i <= 20; ++i) bound += "BtnFP" + std::to_string(i) + "=" + self + "\r\nBtnIP" + std::to_string(i) + "=" + self + "\r\n";
  Open(5, 4, 0, bound);
  auto rebuild = [&](int i) {
    form->N5Click();
    dialog->lbeName.SetText(i % 2 ? L"A" : L"B");
    dialog->Button2Click();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  rebuild(0);
  ASSERT_EQ(Page().CountRegistered(), 20);
  const long live = test::GdiLive();
  const int windows = WindowCount();
  const unsigned highWater = test::GdiHighWater();
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 1; i <= 30; ++i) rebuild(i);
  EXPECT_EQ(test::GdiLive(), live);
  EXPECT_EQ(WindowCount(), windows);
  const int grown = static_cast<int>(test::GdiHighWater()) - static_cast<int>(highWater);
  EXPECT_LT(grown, 64) << "GDI objects left behind outside our owners";
  std::printf("30 rebuilds of 20 buttons: windows %d -> %d, owned handles %ld -> %ld, GDI table high water %u grown by %d, "
              "GetGuiResources GDI %lu -> %lu, USER %lu -> %lu\n",
              windows, WindowCount(), live, test::GdiLive(), highWater, grown, gdi,
              GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), user,
              GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
  // Where the platform counts (Windows itself), its counts stay flat too.
  if (gdi != 0) {
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
  }
  if (user != 0) {
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  }
}

}  // namespace
}  // namespace vl
