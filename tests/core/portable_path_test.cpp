#include "core/portable_path.h"

#include <gtest/gtest.h>

#include "core/text_codec.h"

namespace vl {
namespace {

TEST(PortablePath, OnlyDotsAndASingleLeadingSeparatorAreRelativeToTheLauncher) {
  const struct {
    const wchar_t* path;
    bool relative;
  } cases[] = {
      {L".\\apps\\editor.exe", true}, {L"./apps/editor.exe", true}, {L"..\\tools\\x.exe", true},
      {L"../x.exe", true},           {L"\\apps\\x.exe", true},      {L"/apps/x.exe", true},
      {L".", true},                  {L"..", true},                 {L"\\", true},
      // As today: the shell searches for a bare name, and the rest are no file paths.
      {L"notepad.exe", false},       {L"apps\\x.exe", false},       {L".hidden\\x.exe", false},
      {L"..x.exe", false},           {L"...\\x.exe", false},        {L"", false},
      {L"C:\\Tools\\x.exe", false},  {L"C:x.exe", false},           {L"\\\\server\\share\\x", false},
      {L"\\\\?\\C:\\x", false},      {L"//server/share", false},    {L"https://example.com/", false},
      {L"shell:Downloads", false},   {L"%USERPROFILE%\\x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLauncherRelative(c.path), c.relative) << WideToUtf8(c.path);
}

TEST(PortablePath, ShellNamesAndUrlsAreToldFromPaths) {
  const struct {
    const wchar_t* path;
    bool shell;
  } cases[] = {
      {L"shell:Downloads", true},
      {L"shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", true},
      {L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", true},
      {L"https://example.com/a.html", true},
      {L"mailto:someone@example.com", true},
      {L"ms-settings:display", true},
      {L"com.epicgames.launcher://apps", true},
      {L"C:\\Tools\\x.exe", false},
      {L"C:", false},
      {L"c:x.exe", false},
      {L"\\\\server\\share\\x", false},
      {L"\\\\?\\C:\\x", false},
      {L".\\apps\\x.exe", false},
      {L"notepad.exe", false},
      {L"%USERPROFILE%\\x", false},
      {L"1password:open", false},  // a scheme starts with a letter
      {L"my app:x", false},
      {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsShellName(c.path), c.shell) << WideToUtf8(c.path);
}

TEST(PortablePath, ARelativePathResolvesInTheFolderWithDotsTakenAwayAndNeverAboveTheVolume) {
  const struct {
    const wchar_t* relative;
    const wchar_t* folder;
    const wchar_t* full;
  } cases[] = {
      {L".\\apps\\editor.exe", L"E:\\Vantri", L"E:\\Vantri\\apps\\editor.exe"},
      {L"./apps//editor.exe", L"E:\\Vantri", L"E:\\Vantri\\apps\\editor.exe"},
      {L".\\apps\\", L"E:\\Vantri", L"E:\\Vantri\\apps"},
      {L"..\\tools\\x.exe", L"E:\\Portable\\Vantri", L"E:\\Portable\\tools\\x.exe"},
      {L".\\a\\..\\b\\.\\x.exe", L"E:\\Vantri", L"E:\\Vantri\\b\\x.exe"},
      {L"..\\..\\..\\x.exe", L"E:\\Vantri", L"E:\\x.exe"},
      {L"..", L"E:\\Vantri", L"E:\\"},
      {L".", L"E:\\Vantri", L"E:\\Vantri"},
      {L"\\apps\\x.exe", L"E:\\Portable\\Vantri", L"E:\\apps\\x.exe"},
      {L"\\", L"E:\\Portable\\Vantri", L"E:\\"},
      // The program at a drive's root: its folder reads "E:".
      {L".\\apps\\x.exe", L"E:", L"E:\\apps\\x.exe"},
      {L".", L"E:", L"E:\\"},
      {L"..\\x.exe", L"E:", L"E:\\x.exe"},
      {L".\\apps\\x.exe", L"\\\\nas\\usb\\Vantri", L"\\\\nas\\usb\\Vantri\\apps\\x.exe"},
      {L"..\\..\\x.exe", L"\\\\nas\\usb\\Vantri", L"\\\\nas\\usb\\x.exe"},
      {L"\\x.exe", L"\\\\nas\\usb\\Vantri", L"\\\\nas\\usb\\x.exe"},
      {L"..\\x.exe", L"\\\\?\\E:\\Vantri", L"\\\\?\\E:\\x.exe"},
      {L".\\ドキュメント é\\メモ.txt", L"E:\\ランチャー", L"E:\\ランチャー\\ドキュメント é\\メモ.txt"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ResolveAgainst(c.relative, c.folder), c.full) << WideToUtf8(c.relative) << " in " << WideToUtf8(c.folder);
  EXPECT_EQ(ResolveStoredPath(L"..\\x.exe", L"F:\\Vantri"), L"F:\\x.exe");
  EXPECT_EQ(ResolveStoredPath(L"notepad.exe", L"F:\\Vantri"), L"notepad.exe");
  EXPECT_EQ(ResolveStoredPath(L"%APPDATA%\\..\\x", L"F:\\Vantri"), L"%APPDATA%\\..\\x");
}

TEST(PortablePath, AFullPathOnTheFoldersVolumeIsWrittenRelativeAndComesBackWherePointed) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* relative;
  } cases[] = {
      {L"E:\\Vantri\\apps\\editor.exe", L"E:\\Vantri", L".\\apps\\editor.exe"},
      {L"E:\\Vantri\\x.exe", L"E:\\Vantri", L".\\x.exe"},
      {L"E:\\Vantri", L"E:\\Vantri", L"."},
      {L"E:\\Vantri\\", L"E:\\Vantri", L"."},
      {L"E:\\other\\x.exe", L"E:\\Vantri", L"..\\other\\x.exe"},
      {L"E:\\x.exe", L"E:\\a\\b\\Vantri", L"..\\..\\..\\x.exe"},
      {L"E:\\", L"E:\\Vantri", L".."},
      {L"E:\\a\\b", L"E:\\a\\b\\c\\d", L"..\\.."},
      // Names compare by whole parts and without regard to case.
      {L"E:\\Vantri2\\x.exe", L"E:\\Vantri", L"..\\Vantri2\\x.exe"},
      {L"E:\\Vant\\x.exe", L"E:\\Vantri", L"..\\Vant\\x.exe"},
      {L"e:\\VANTRI\\Apps\\x.exe", L"E:\\Vantri", L".\\Apps\\x.exe"},
      {L"E:/Vantri/apps/x.exe", L"E:\\Vantri", L".\\apps\\x.exe"},
      {L"E:\\apps\\x.exe", L"E:", L".\\apps\\x.exe"},
      {L"\\\\NAS\\Usb\\tools\\x.exe", L"\\\\nas\\usb\\Vantri", L"..\\tools\\x.exe"},
  };
  for (const auto& c : cases) {
    const std::optional<std::wstring> relative = RelativeToFolder(c.path, c.folder);
    ASSERT_TRUE(relative) << WideToUtf8(c.path);
    EXPECT_EQ(*relative, c.relative) << WideToUtf8(c.path);
    EXPECT_TRUE(IsLauncherRelative(*relative)) << WideToUtf8(*relative);
    // Read back in the same folder, it names the same place (the case as the folder has it).
    EXPECT_TRUE(SameIgnoringCase(ResolveAgainst(*relative, c.folder),
                                 ResolveAgainst(L".", c.path)))
        << WideToUtf8(c.path);
  }
  // The whole folder carried to another drive and deeper: the path follows.
  const std::optional<std::wstring> carried = RelativeToFolder(L"E:\\Tools\\x.exe", L"E:\\Vantri");
  ASSERT_TRUE(carried);
  EXPECT_EQ(ResolveAgainst(*carried, L"F:\\Stick\\Vantri"), L"F:\\Stick\\Tools\\x.exe");
}

TEST(PortablePath, PathsThatCannotBeWrittenRelativeStayFull) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
  } cases[] = {
      {L"C:\\Tools\\x.exe", L"E:\\Vantri"},           // another drive
      {L"\\\\nas\\other\\x.exe", L"\\\\nas\\usb\\V"},  // another share
      {L"\\\\nas2\\usb\\x.exe", L"\\\\nas\\usb\\V"},   // another server
      {L"E:\\Vantri\\x.exe", L"\\\\nas\\E\\Vantri"},
      {L"\\\\?\\E:\\Vantri\\x.exe", L"E:\\Vantri"},    // the system takes it as written
      {L"E:\\Vantri\\..\\x.exe", L"E:\\Vantri"},
      {L"notepad.exe", L"E:\\Vantri"},
      {L"E:x.exe", L"E:\\Vantri"},
      {L".\\x.exe", L"E:\\Vantri"},
      {L"https://example.com/", L"E:\\Vantri"},
      {L"shell:Downloads", L"E:\\Vantri"},
      {L"", L"E:\\Vantri"},
      {L"\\\\server", L"\\\\server\\share"},
  };
  for (const auto& c : cases) EXPECT_EQ(RelativeToFolder(c.path, c.folder), std::nullopt) << WideToUtf8(c.path);
}

}  // namespace
}  // namespace vl
