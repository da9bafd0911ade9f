// The page commands 「ページの書き出し…」 and 「ページの読み込み…」 in this process, through the
// system's file dialogs: what goes on while a dialog is up, and a settings file that
// refuses the new page.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/frm_main.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/file_holder.h"

namespace vl {
namespace {

// Answers the next file dialog of this thread with `path`, after `meanwhile` ran inside
// its modal loop; every box after it is recorded and closed with OK.
class FileDialogAnswer {
 public:
  FileDialogAnswer(const wchar_t* caption, std::filesystem::path path, std::function<void()> meanwhile = {})
      : boxes_(IDOK) {
    boxes_.OnBox = [=](const test::SeenBox& box) {
      if (box.caption != caption) return;
      if (meanwhile) meanwhile();
      HWND dialog = FindWindowW(L"#32770", caption);
      HWND name = GetDlgItem(dialog, 0x47C);  // cmb13, or edt1 in the older dialog
      if (!name) name = GetDlgItem(dialog, 0x480);
      SetWindowTextW(name, path.wstring().c_str());
    };
  }
  // The boxes after the dialog.
  std::vector<test::SeenBox> Said() const {
    std::vector<test::SeenBox> said = boxes_.Seen();
    if (!said.empty()) said.erase(said.begin());
    return said;
  }

 private:
  test::MessageBoxCatcher boxes_;
};

class PageTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  void Open(const std::string& settings) {
    test::WriteBytes(SettingsFilePath(), settings);
    form = std::make_unique<TfrmMain>();
  }

  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
  test::TempDir dir;
};

const std::string kTwoPages =
    "[General]\r\nPageNum=2\r\n[Setting]\r\nAskBeforeDelPage=0\r\n"
    "[Page1]\r\nLive=1\r\nName=One\r\nYoko=2\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
    "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\nBtnIP1=\r\nWD1=\r\nBtnFP2=\r\nBtnName2=\r\nBtnIP2=\r\nWD2=\r\n"
    "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=1\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
    "BtnFP1=C:\\tools\\two.exe\r\nBtnName1=two\r\nBtnIP1=\r\nWD1=\r\n";

TEST_F(PageTransferTest, ThePageOnDisplayGoesOutUnlessItWentWhileTheDialogWasUp) {
  Open(kTwoPages);
  form->Base().SetActivePageIndex(1);
  form->BaseChange();
  {
    FileDialogAnswer answer(L"ページの書き出し", dir / "two.ini");
    form->ExportPageClick();
    EXPECT_TRUE(answer.Said().empty());
  }
  EXPECT_EQ(test::ReadBytes(dir / "two.ini"),
            "[Page]\r\nLive=1\r\nName=Two\r\nYoko=1\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
            "BtnFP1=C:\\tools\\two.exe\r\nBtnName1=two\r\nBtnIP1=\r\nWD1=\r\n");
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), kTwoPages) << "nothing written to the settings file";

  // Deleted while the user looks for a folder, the page is not written out: nor is the
  // page whose tab took its place.
  FileDialogAnswer answer(L"ページの書き出し", dir / "gone.ini", [&] { form->N3Click(); });
  form->ExportPageClick();
  ASSERT_EQ(answer.Said().size(), 1u);
  EXPECT_EQ(answer.Said()[0].text, L"ファイルを選んでいる間にこのページが変わったため、書き出しませんでした");
  EXPECT_FALSE(std::filesystem::exists(dir / "gone.ini"));
}

TEST_F(PageTransferTest, ASettingsFileHeldByAnotherProgramTakesNoPageAndKeepsItsBytes) {
  test::WriteBytes(dir / "page.ini", "[Page]\r\nName=In\r\nYoko=1\r\nTate=1\r\nBtnFP1=C:\\in.exe\r\n");
  Open(kTwoPages);
  {
    // Taken by another program while the dialog is up.
    std::unique_ptr<test::FileHolder> holder;
    FileDialogAnswer answer(L"ページの読み込み", dir / "page.ini",
                            [&] { holder = std::make_unique<test::FileHolder>(SettingsFilePath()); });
    EXPECT_THROW(form->ImportPageClick(), EIniWriteError);
    ASSERT_TRUE(holder && holder->Holding());
    EXPECT_EQ(form->PageList().size(), 2u);
  }
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), kTwoPages);

  // Let go, the same file comes in: its tab last and selected, "PageNum" raised.
  FileDialogAnswer answer(L"ページの読み込み", dir / "page.ini");
  form->ImportPageClick();
  EXPECT_TRUE(answer.Said().empty());
  ASSERT_EQ(form->PageList().size(), 3u);
  EXPECT_EQ(form->PageList()[2]->PageNo(), 3);
  EXPECT_EQ(form->Base().ActivePageIndex(), 2);
  EXPECT_EQ(form->PageList()[2]->Button(1)->FullPath(), L"C:\\in.exe");
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadInteger(L"General", L"PageNum", 0), 3);
}

}  // namespace
}  // namespace vl
