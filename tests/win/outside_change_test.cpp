// The main window while another program (a sync tool bringing another PC's change)
// replaces the settings file under it: the change shown within two seconds, kept through
// the user's own drop and the exit, held back while a dialog holds its page, and the
// exit's page number never lower than the file's.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/frm_main.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class OutsideChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove(SettingsFilePath());
    for (int i = 1; i <= 3; ++i) WriteBytes(dir / ("t" + std::to_string(i) + ".txt"), "x");
  }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }

  std::string Target(int i) const { return (dir / ("t" + std::to_string(i) + ".txt")).string(); }
  std::string Button(int i, const std::string& name) const {
    const std::string n = std::to_string(i);
    return "BtnFP" + n + "=" + Target(i) + "\r\nBtnName" + n + "=" + name + "\r\n";
  }
  // Page 1 of five buttons, 2 and 3 bound, and the extra lines given.
  std::string File(const std::string& pageNum, const std::string& page1Extra, const std::string& rest) const {
    return "[General]\r\nPageNum=" + pageNum + "\r\n[Page1]\r\nLive=1\r\nName=Main\r\nYoko=5\r\nTate=1\r\nBtnW=64\r\n" +
           "BtnH=64\r\n" + Button(2, "two") + Button(3, "three") + page1Extra + rest;
  }
  // Written beside the file and renamed over it, as a sync tool does.
  static void Replace(const std::string& bytes) {
    const std::wstring path = SettingsFilePath();
    WriteBytes(path + L".sync", bytes);
    ASSERT_TRUE(MoveFileExW((path + L".sync").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
  }
  void Open() {
    form = std::make_unique<TfrmMain>();
    ASSERT_FALSE(form->PageList().empty());
  }
  std::wstring Face(std::size_t page, int i) const {
    TLaunchBtn* b = form->PageList()[page]->Button(i);
    return b ? b->Caption() : L"<none>";
  }

  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  std::unique_ptr<TfrmMain> form;
};

TEST_F(OutsideChangeTest, AReplacedFileIsShownWithinTwoSecondsAndKeptThroughTheUsersDropAndTheExit) {
  WriteBytes(SettingsFilePath(), File("1", "", ""));
  Open();
  ASSERT_EQ(Face(0, 3), L"three");
  // Another PC renamed button 3 and added a page; its copy comes while the launcher runs.
  std::string theirs = File("2", "", "[Page2]\r\nLive=1\r\nName=Shared\r\nYoko=2\r\nTate=1\r\n");
  const std::string from = "BtnName3=three", to = "BtnName3=drei";
  theirs.replace(theirs.find(from), from.size(), to);
  Replace(theirs);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(test::PumpUntil([&] { return Face(0, 3) == L"drei" && form->PageList().size() == 2; }, 2000))
      << "button 3 shows '" << std::string(Face(0, 3).begin(), Face(0, 3).end()) << "', tabs "
      << form->PageList().size();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::printf("taken up in %lld ms\n", static_cast<long long>(took.count()));
  EXPECT_EQ(form->Base().SheetCount(), 2);
  EXPECT_EQ(form->PageNum(), 2);

  // The user drops a file on button 1, and quits.
  const std::filesystem::path dropped = dir.path() / "mine.txt";
  WriteBytes(dropped, "x");
  test::SendDrop(form->PageList()[0]->Button(1)->Handle(), {dropped.wstring()});
  form.reset();
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnName3", L""), L"drei") << "the other PC's button";
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP3", L""), std::filesystem::path(Target(3)).wstring());
  EXPECT_EQ(file.ReadString(L"Page2", L"Name", L""), L"Shared") << "the other PC's page";
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP1", L""), dropped.wstring()) << "the user's drop";
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 2);
}

TEST_F(OutsideChangeTest, AChangeNotYetTakenUpIsNeitherWrittenOverByADropNorByTheExit) {
  WriteBytes(SettingsFilePath(), File("1", "", ""));
  Open();
  // No look of the file runs in between: the page still shows the old button 2.
  std::string theirs = File("7", "", "[Page7]\r\nLive=1\r\nName=Later\r\n");
  theirs.replace(theirs.find("BtnName2=two"), 12, "BtnName2=zwei");
  Replace(theirs);
  ASSERT_EQ(Face(0, 2), L"two");
  const std::filesystem::path dropped = dir.path() / "mine.txt";
  WriteBytes(dropped, "x");
  test::SendDrop(form->PageList()[0]->Button(4)->Handle(), {dropped.wstring()});
  form.reset();
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnName2", L""), L"zwei");
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP4", L""), dropped.wstring());
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 7) << "a lower number would hide page 7";
  EXPECT_EQ(file.ReadString(L"Page7", L"Name", L""), L"Later");
}

TEST_F(OutsideChangeTest, APageADialogHoldsIsRebuiltWhenTheDialogClosesAndOtherChangesComeAtOnce) {
  WriteBytes(SettingsFilePath(),
             File("2", "", "[Page2]\r\nLive=1\r\nName=Second\r\n[Setting]\r\nIsUseShake=1\r\n"));
  Open();
  TfrmPageOption pageOption(*form);
  form->SetDialogs(nullptr, &pageOption, nullptr, nullptr);
  form->N5Click();
  ASSERT_TRUE(pageOption.Visible());
  // Button 2 renamed, page 2 no longer live, the mouse watch turned off, on another PC.
  std::string theirs = File("2", "", "[Page2]\r\nLive=0\r\nName=Second\r\n[Setting]\r\nIsUseShake=0\r\n");
  theirs.replace(theirs.find("BtnName2=two"), 12, "BtnName2=zwei");
  Replace(theirs);
  ASSERT_TRUE(test::PumpUntil([&] { return form->PageList().size() == 1 && !form->Timer1Enabled(); }, 2000));
  test::Pump(1200);
  EXPECT_EQ(Face(0, 2), L"two") << "the page the dialog holds waits for it";
  pageOption.Button1Click();  // キャンセル
  EXPECT_TRUE(test::PumpUntil([&] { return Face(0, 2) == L"zwei"; }, 2000));
  form->SetDialogs(nullptr, nullptr, nullptr, nullptr);
}

TEST_F(OutsideChangeTest, TheRunsOwnChoicesStayWhenTheFileChangesElsewhere) {
  WriteBytes(SettingsFilePath(), File("1", "", "[Setting]\r\nIsUseShake=1\r\n"));
  Open();
  form->mnuMouseMoveClick();  // off for this run, and nothing written
  ASSERT_FALSE(form->Timer1Enabled());
  Replace(File("1", "FontSize=12\r\n", "[Setting]\r\nIsUseShake=1\r\n"));
  test::Pump(2200);
  EXPECT_FALSE(form->Timer1Enabled()) << "the file's watch setting did not change";
  // The page whose font changed was built again from the file, and still shows its buttons.
  EXPECT_EQ(Face(0, 2), L"two");
  EXPECT_FALSE(form->PageList()[0]->ChangedOnDisk());
}

}  // namespace
}  // namespace vl
