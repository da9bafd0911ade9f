// Shortcut files read through the shell's link object, and the path rules of a bound
// button. The shortcuts are real ones, written by the same link object.
#include <gtest/gtest.h>

#include "buttons/link_file.h"
#include "buttons/shell_helpers.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

using test::MakeShortcut;
using test::ShortcutFields;

TEST(ReadLinkFile, ReadsEveryFieldOfARealShortcut) {
  test::TempDir dir;
  std::wstring apps = (dir.path() / L"Apps").wstring();
  std::filesystem::create_directories(apps);
  std::wstring mail = apps + L"\\mail.exe";
  std::filesystem::copy_file(test::TestProgramFolder() / L"cwd_writer.exe", mail);
  std::wstring lnk = (dir.path() / L"Mail.lnk").wstring();
  ASSERT_TRUE(MakeShortcut(lnk, {.target = mail, .workDir = apps}));

  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, mail);
  EXPECT_TRUE(info.IdList);
  EXPECT_EQ(info.WorkDir, apps);
  EXPECT_EQ(info.IconLocation, mail) << "no icon of its own: the target stands in";
  EXPECT_EQ(info.IconIndex, 0);
  EXPECT_EQ(info.Arguments, L"");
  EXPECT_EQ(info.WindowState, 0);

  std::wstring full = (dir.path() / L"Full.lnk").wstring();
  ASSERT_TRUE(MakeShortcut(full, {.target = mail,
                                  .showCmd = SW_SHOWMAXIMIZED,
                                  .arguments = L"/x \"a b\"",
                                  .description = L"メール",
                                  .iconFile = L"C:\\windows\\system32\\shell32.dll",
                                  .iconIndex = 3,
                                  .hotKey = MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT)}));
  ASSERT_TRUE(ReadLinkFile(full, info));
  EXPECT_EQ(info.Path, mail);
  EXPECT_EQ(info.WorkDir, L"") << "no working folder set: none read";
  EXPECT_EQ(info.Arguments, L"/x \"a b\"");
  EXPECT_EQ(info.Description, L"メール");
  EXPECT_EQ(info.IconLocation, L"C:\\windows\\system32\\shell32.dll");
  EXPECT_EQ(info.IconIndex, 3);
  EXPECT_EQ(info.HotKey, MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT));
  EXPECT_EQ(info.WindowState, 2);
}

TEST(ReadLinkFile, ShowCommandsMapToThreeWindowStates) {
  test::TempDir dir;
  std::wstring target = (test::TestProgramFolder() / L"cwd_writer.exe").wstring();
  const struct {
    int showCmd;
    int state;
  } cases[] = {
      {SW_SHOWNORMAL, 0}, {SW_SHOWMINIMIZED, 1}, {SW_SHOWMINNOACTIVE, 1}, {SW_SHOWMAXIMIZED, 2}};
  for (const auto& c : cases) {
    std::wstring lnk = (dir.path() / (L"s" + std::to_wstring(c.showCmd) + L".lnk")).wstring();
    ASSERT_TRUE(MakeShortcut(lnk, {.target = target, .showCmd = c.showCmd}));
    TLinkInfo info;
    ASSERT_TRUE(ReadLinkFile(lnk, info)) << c.showCmd;
    EXPECT_EQ(info.WindowState, c.state) << "show command " << c.showCmd;
  }
}

TEST(ReadLinkFile, FolderTargetsAndUnicodePaths) {
  test::TempDir dir;
  std::wstring folder = (dir.path() / L"é한 フォルダ").wstring();
  std::filesystem::create_directories(folder);
  std::wstring lnk = (dir.path() / L"リンク é한.lnk").wstring();
  ASSERT_TRUE(MakeShortcut(lnk, {.target = folder, .workDir = folder}));
  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, folder);
  EXPECT_EQ(info.WorkDir, folder);
}

TEST(ReadLinkFile, WhatIsNoShortcutReadsAsFalseWithAClearedRecord) {
  test::TempDir dir;
  std::wstring text = (dir.path() / L"x.lnk").wstring();
  test::WriteBytes(text, "this is not a shortcut\r\n");
  std::wstring empty = (dir.path() / L"empty.lnk").wstring();
  test::WriteBytes(empty, "");

  // A record left from an earlier read must not survive a failed one.
  std::wstring good = (dir.path() / L"good.lnk").wstring();
  ASSERT_TRUE(MakeShortcut(
      good,
      {.target = text, .workDir = dir.path().wstring(), .arguments = L"a", .description = L"d"}));
  for (const std::wstring& path : {text, empty, (dir.path() / L"missing.lnk").wstring()}) {
    TLinkInfo info;
    ASSERT_TRUE(ReadLinkFile(good, info));
    EXPECT_FALSE(ReadLinkFile(path, info)) << path;
    EXPECT_EQ(info.Path, L"");
    EXPECT_FALSE(info.IdList);
    EXPECT_EQ(info.WorkDir, L"");
    EXPECT_EQ(info.Arguments, L"");
    EXPECT_EQ(info.Description, L"");
    EXPECT_EQ(info.IconLocation, L"");
    EXPECT_EQ(info.IconIndex, 0);
    EXPECT_EQ(info.HotKey, 0);
    EXPECT_EQ(info.WindowState, 0);
  }
}

TEST(ShellHelpers, PathRulesOfABoundButton) {
  const struct {
    const wchar_t* path;
    const wchar_t* extension;
    const wchar_t* name;
    const wchar_t* parent;
  } cases[] = {
      {L"C:\\Tools\\Editor.exe", L".exe", L"Editor", L"C:\\Tools"},
      {L"C:\\Data\\report.final.txt", L".txt", L"report.final", L"C:\\Data"},
      {L"C:\\Work\\proj.old", L".old", L"proj", L"C:\\Work"},
      {L"C:\\Links\\MAIL.LNK", L".LNK", L"MAIL", L"C:\\Links"},
      {L"C:\\app.exe", L".exe", L"app", L"C:"},
      {L"C:\\", L"", L"", L"C:"},
      {L"C:\\my.dir\\README", L"", L"README", L"C:\\my.dir"},
      {L"C:.profile", L".profile", L"C:", L"C:.profile"},
      {L"\\\\server\\share\\a.b.lnk", L".lnk", L"a.b", L"\\\\server\\share"},
      {L"\\\\server\\share", L"", L"share", L"\\\\server\\share"},  // a share is its own folder
      {L"C:/mixed/style.txt", L".txt", L"C:/mixed/style", L"C:/mixed"},
      {L"plain", L"", L"plain", L"plain"},
      {L"C:\\é한\\노트.메모", L".메모", L"노트", L"C:\\é한"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtensionOf(c.path), c.extension) << c.path;
    EXPECT_EQ(BtnNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
  }
}

TEST(ShellHelpers, FolderIconAndStartupFolder) {
  EXPECT_EQ(FolderIconPath(), (test::TestProgramFolder() / L"res" / L"be_fold.ico").wstring());
  EXPECT_TRUE(FileExists(FolderIconPath())) << "the test build ships res\\be_fold.ico too";
  EXPECT_FALSE(FileExists(test::TestProgramFolder().wstring()));
  EXPECT_TRUE(DirectoryExists(test::TestProgramFolder().wstring()));
  std::wstring startup = SpecialFolderPath(nullptr, CSIDL_STARTUP);
  ASSERT_GE(startup.size(), 3u);
  EXPECT_EQ(startup.substr(1, 2), L":\\");
}

}  // namespace
}  // namespace vl
