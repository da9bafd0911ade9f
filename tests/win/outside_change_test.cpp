// The main window while another program (a sync tool bringing another PC's change)
// replaces the settings file under it: the change shown within two seconds, kept through
// the user's own drop and the exit, held back while a dialog holds its page, and the
// exit's page number never lower than the file's.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "app/frm_main.h"
#include "core/file_io.h"
#include "core/ini_document.h"
#include "core/ini_file.h"
#include "core/text_codec.h"
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
  WriteBytes(SettingsFilePath(), File("2", "", "[Setting]\r\nIsUseShake=1\r\n[Page2]\r\nLive=1\r\nName=Second\r\n"));
  Open();
  form->mnuMouseMoveClick();  // off for this run, and nothing written
  ASSERT_FALSE(form->Timer1Enabled());
  Replace(File("2", "FontSize=12\r\n", "[Setting]\r\nIsUseShake=1\r\n[Page2]\r\nLive=1\r\nName=Zweite\r\n"));
  test::Pump(2200);
  EXPECT_FALSE(form->Timer1Enabled()) << "the file's watch setting did not change";
  EXPECT_EQ(form->Base().Sheet(1).Caption(), L"Zweite") << "a page never shown takes its new name";
  EXPECT_FALSE(form->PageList()[1]->Built());
  // The page whose font changed was built again from the file, and still shows its buttons.
  EXPECT_EQ(Face(0, 2), L"two");
  EXPECT_FALSE(form->PageList()[0]->ChangedOnDisk());
}

}  // namespace
}  // namespace vl

namespace vl {
namespace {

// A sync tool beside a user, for as long as VL_STRESS_SECONDS says (20 s by default): the
// user drops files on, deletes and drags buttons 1 to 4 of the three pages and turns
// pages; the tool binds buttons 5 to 8 of any page and writes keys and sections of its
// own, now and then in the very moment the launcher replaces the file. At the end, after
// the exit, the file holds every value the tool wrote last and every button as the user
// left it.
class SyncToolBesideAUser : public OutsideChangeTest {
 protected:
  static inline SyncToolBesideAUser* current_ = nullptr;
  static bool InOurReplace(FileStep step) {
    if (step == FileStep::Replace && current_ && current_->syncAtReplace_) {
      current_->syncAtReplace_ = false;
      ++current_->atReplace_;
      current_->SyncOnce();
    }
    return true;
  }

  int Shown() const {
    const int index = const_cast<TfrmMain&>(*form).Base().ActivePageIndex();
    return form->PageList()[static_cast<std::size_t>(index)]->PageNo();
  }

  // One change of the other program, written beside the file and renamed over it.
  void SyncOnce() {
    IniDocument doc = IniDocument::Parse(ReadBytes(SettingsFilePath()));
    const int n = ++syncs_;
    const int kind = static_cast<int>(random_() % 4);
    auto set = [&](const std::wstring& section, const std::wstring& key, const std::wstring& value) {
      doc.Set(section, key, value);
      theirs_[{section, key}] = value;
    };
    if (kind < 3) {
      const int page = 1 + static_cast<int>(random_() % 4);
      const int i = 5 + static_cast<int>(random_() % 4);
      // At the exit's own write the window is going: no page is on display.
      const TPage* p = form ? form->PageList()[static_cast<std::size_t>(page - 1)].get() : nullptr;
      ++(p && page == Shown() ? onDisplay_ : p && p->Built() ? shownEarlier_ : neverShown_);
      const std::wstring section = L"Page" + std::to_wstring(page), name = L"s" + std::to_wstring(n);
      set(section, L"BtnName" + std::to_wstring(i), name);
      set(section, L"BtnFP" + std::to_wstring(i), L"C:\\sync\\" + name + L".exe");
    } else {
      ++foreign_;
      set(n % 2 ? L"Sync" : L"Extra" + std::to_wstring(n), L"K" + std::to_wstring(n), L"v" + std::to_wstring(n));
    }
    const std::wstring path = SettingsFilePath();
    WriteBytes(path + L".sync", doc.Serialize());
    MoveFileExW((path + L".sync").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  // One action of the user, on a button of the page on display as the user knows it.
  void UserOnce() {
    const int page = Shown();
    auto& mine = mine_[page];
    TPage& p = *form->PageList()[static_cast<std::size_t>(page - 1)];
    const int i = 1 + static_cast<int>(random_() % 4), j = 1 + static_cast<int>(random_() % 4);
    const int what = static_cast<int>(random_() % 10);
    ++actions_;
    if (what < 2) {
      form->Base().SetActivePageIndex(static_cast<int>(random_() % 3));
      form->BaseChange();
    } else if (mine[i].empty()) {
      const std::filesystem::path file = dir.path() / ("u" + std::to_string(actions_) + ".txt");
      WriteBytes(file, "x");
      test::SendDrop(p.Button(i)->Handle(), {file.wstring()});
      mine[i] = file.wstring();
    } else if (what < 6 || i == j) {
      SendMessageW(p.Button(i)->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
      ReleaseCapture();
      form->D1Click();
      mine[i].clear();
    } else {
      // Dragged onto button j: the two trade places.
      HWND from = p.Button(i)->Handle();
      RECT r;
      GetWindowRect(p.Button(j)->Handle(), &r);
      POINT to{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ScreenToClient(from, &to);
      SendMessageW(from, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
      SendMessageW(from, WM_MOUSEMOVE, MK_LBUTTON, test::PointParam(to.x, to.y));
      SendMessageW(from, WM_LBUTTONUP, 0, test::PointParam(to.x, to.y));
      std::swap(mine[i], mine[j]);
    }
  }

  std::mt19937 random_{20261208};
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> theirs_;  // the last value of each key
  std::map<int, std::map<int, std::wstring>> mine_;                       // page, button: target
  bool syncAtReplace_ = false;
  int syncs_ = 0, atReplace_ = 0, actions_ = 0, onDisplay_ = 0, shownEarlier_ = 0, neverShown_ = 0, foreign_ = 0;
};

TEST_F(SyncToolBesideAUser, LosesNothingOfEither) {
  std::string file = "[General]\r\nPageNum=4\r\n[Setting]\r\nAskBeforeDelBtn=0\r\n";
  // Page 4 the user never turns to.
  for (int n = 1; n <= 4; ++n)
    file += "[Page" + std::to_string(n) + "]\r\nLive=1\r\nName=P" + std::to_string(n) +
            "\r\nYoko=4\r\nTate=2\r\nBtnW=48\r\nBtnH=48\r\nShowType=2\r\n";
  WriteBytes(SettingsFilePath(), file);
  Open();
  test::MessageBoxCatcher boxes;
  current_ = this;
  fileStepHook = &InOurReplace;
  const char* env = std::getenv("VL_STRESS_SECONDS");
  const int seconds = env ? std::atoi(env) : 20;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    const int roll = static_cast<int>(random_() % 8);
    if (roll == 0) SyncOnce();
    else if (roll == 1) syncAtReplace_ = true;  // with the user's next write
    else UserOnce();
    test::Pump(static_cast<int>(random_() % 120));
  }
  form.reset();
  fileStepHook = nullptr;
  current_ = nullptr;
  TIniFile ini(SettingsFilePath());
  int lostTheirs = 0, lostMine = 0;
  for (const auto& [at, value] : theirs_) {
    const std::wstring now = ini.ReadString(at.first, at.second, L"<none>");
    if (now != value) {
      ++lostTheirs;
      ADD_FAILURE() << "[" << std::string(at.first.begin(), at.first.end()) << "] "
                    << std::string(at.second.begin(), at.second.end()) << " lost";
    }
  }
  for (const auto& [page, buttons] : mine_)
    for (const auto& [i, target] : buttons)
      if (ini.ReadString(L"Page" + std::to_wstring(page), L"BtnFP" + std::to_wstring(i), L"") != target) {
        ++lostMine;
        ADD_FAILURE() << "page " << page << " button " << i << " is not as the user left it";
      }
  std::printf("sync tool beside a user, %d s: %d changes of the tool (%d to the page on display, %d to a page "
              "shown earlier, %d to pages never shown, %d foreign keys and sections; %d of them in the moment "
              "the launcher replaced the file), %zu keys; %d user actions, "
              "%zu boxes; lost: %d of the tool's keys, %d of the user's buttons\n",
              seconds, syncs_, onDisplay_, shownEarlier_, neverShown_, foreign_, atReplace_, theirs_.size(), actions_,
              boxes.Seen().size(), lostTheirs, lostMine);
  EXPECT_GT(onDisplay_, 0);
  EXPECT_EQ(boxes.Seen().size(), 0u) << "every action was one the launcher took without a word";
  for (const auto& box : boxes.Seen()) ADD_FAILURE() << "a box: " << WideToUtf8(box.text);
}

}  // namespace
}  // namespace vl
