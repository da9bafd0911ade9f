// Broken and hostile shortcut files, made byte by byte in the test, read by the shell's
// link object and dropped on a real button: the drop never crashes, and the button binds
// either the whole, real target or the shortcut file itself, never a cut or invented path.
#include <gtest/gtest.h>

#include <memory>

#include "buttons/launch_btn.h"
#include "buttons/link_file.h"
#include "buttons/shell_helpers.h"
#include "core/text_codec.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/shell_link_bytes.h"

namespace vl {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string Ansi(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

class HostileLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(work);
    fs::copy_file(TestProgramFolder() / L"cwd_writer.exe", target);
  }

  // A shortcut the shell reads whole: item list, LinkInfo and a working folder.
  std::string SoundLink() const {
    return LinkHeader(kHasIdList | kHasLinkInfo | kHasWorkingDir | kIsUnicode) +
           IdListOf(target) + LinkInfoOf(Ansi(target)) + CountedString(work);
  }

  std::wstring Write(const std::wstring& name, const std::string& bytes) const {
    std::wstring path = (dir.path() / name).wstring();
    WriteBytes(path, bytes);
    return path;
  }

  // Drops `lnk` on a fresh button and checks what every drop must give: bound, named
  // after the shortcut file, one OnRegist, and a target that is the real one or the
  // shortcut itself, with a working folder to match. Returns the bound target.
  std::wstring Drop(const std::wstring& lnk) {
    TLaunchBtn button(BitBtnParams{form.Handle(), 4, 4, 90, 72, L""});
    int regists = 0;
    button.OnRegist = [&](TLaunchBtn&) { ++regists; };
    SendDrop(button.Handle(), {lnk});
    EXPECT_TRUE(button.Regist());
    EXPECT_EQ(regists, 1);
    EXPECT_EQ(button.BtnName(), BtnNameOf(lnk));
    if (button.FullPath() == target) {
      EXPECT_EQ(button.IconPath(), target);
      EXPECT_TRUE(button.WorkDir() == work || button.WorkDir().empty()) << WideToUtf8(button.WorkDir());
    } else {
      EXPECT_EQ(button.FullPath(), lnk) << "neither the target nor the shortcut";
      EXPECT_EQ(button.WorkDir(), ParentFolder(lnk));
    }
    return button.FullPath();
  }

  TestForm form;
  TempDir dir;
  LongTreeRemover remover{dir.path().wstring()};  // goes first, with the long paths
  std::wstring work = (dir.path() / L"Work").wstring();
  std::wstring target = (dir.path() / L"Target.exe").wstring();
};

TEST_F(HostileLinkTest, TheBytesMadeHereAreAShortcutTheShellReads) {
  std::wstring lnk = Write(L"sound.lnk", SoundLink());
  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, target);
  EXPECT_EQ(info.WorkDir, work);
  EXPECT_EQ(Drop(lnk), target);

  // The item list names another file that is there too: the link's own path still wins.
  lnk = Write(L"two.lnk", LinkHeader(kHasIdList | kHasLinkInfo) + IdListOf(work) + LinkInfoOf(Ansi(target)));
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, target);
}

TEST_F(HostileLinkTest, EveryTruncationBindsTheTargetOrTheShortcut) {
  const std::string whole = SoundLink();
  int targets = 0;
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE("cut after " + std::to_string(size) + " of " + std::to_string(whole.size()));
    std::wstring lnk = Write(L"cut.lnk", whole.substr(0, size));
    TLinkInfo info;
    if (ReadLinkFile(lnk, info)) {
      EXPECT_TRUE(info.Path == target || info.Path.empty()) << WideToUtf8(info.Path);
      EXPECT_TRUE(info.WorkDir == work || info.WorkDir.empty()) << WideToUtf8(info.WorkDir);
    }
    targets += Drop(lnk) == target;
  }
  // The sound shortcut ends with its last string, so every cut leaves a part that does not
  // hold together: the file is never handed to the shell's parser (which Wine's reads past
  // its buffers on such files), and each drop binds the shortcut itself.
  EXPECT_EQ(targets, 0);
}

TEST_F(HostileLinkTest, FieldsThatOverstateTheirSizeBindTheTargetOrTheShortcut) {
  const std::string list = IdListOf(target), info = LinkInfoOf(Ansi(target));
  auto u16 = [](std::uint16_t v) { std::string s; PutU16(s, v); return s; };
  auto u32 = [](std::uint32_t v) { std::string s; PutU32(s, v); return s; };
  const std::uint32_t both = kHasIdList | kHasLinkInfo | kIsUnicode;
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"header size 0", LinkHeader(both, 0) + list + info},
      {"header size 0xFFFFFFFF", LinkHeader(both, 0xFFFFFFFF) + list + info},
      {"every flag, nothing after the header", LinkHeader(0xFFFFFFFF)},
      {"item list of 0xFFFF bytes", LinkHeader(both) + u16(0xFFFF) + list.substr(2) + info},
      {"item larger than its list", LinkHeader(kHasIdList) + u16(8) + u16(0x4000) + "abcd" + u16(0)},
      {"item of one byte", LinkHeader(kHasIdList) + u16(6) + u16(1) + "ab" + u16(0)},
      {"item list without its terminal item",
       LinkHeader(both) + u16(static_cast<std::uint16_t>(list.size() - 4)) +
           list.substr(2, list.size() - 4) + info},
      {"LinkInfo of 0xFFFFFFFF bytes", LinkHeader(both) + list + u32(0xFFFFFFFF) + info.substr(4)},
      {"LinkInfo header past its block", LinkHeader(both) + list + info.substr(0, 4) +
                                             u32(0x7FFFFFF0) + info.substr(8)},
      {"base path offset past its block",
       LinkHeader(both) + list + info.substr(0, 16) + u32(0x7FFFFFF0) + info.substr(20)},
      {"base path without a NUL, to the end of the file",
       LinkHeader(kHasLinkInfo | kHasIdList) + list + info.substr(0, info.size() - 2)},
      {"string count 0xFFFF over three characters",
       LinkHeader(both | kHasWorkingDir) + list + info + CountedString(L"C:\\", 0xFFFF)},
      {"every string counted 0xFFFF, none there",
       LinkHeader(both | 0x7C) + list + info + u16(0xFFFF)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Drop(Write(L"bad.lnk", c.bytes));
  }
}

TEST_F(HostileLinkTest, ATargetThatDoesNotFitIsNeverCut) {
  // 40 000 characters fill the link object's buffer: whatever it gave is cut, so the
  // shortcut itself is bound.
  std::string huge = "C:\\" + std::string(40000, 'a');
  std::wstring lnk = Write(L"huge.lnk", LinkHeader(kHasIdList | kHasLinkInfo) + ComputerIdList() +
                                            LinkInfoOf(huge));
  EXPECT_EQ(Drop(lnk), lnk);

  // 32 000 characters fit: given whole, or not at all.
  std::string big = "C:\\" + std::string(32000, 'b');
  lnk = Write(L"big.lnk", LinkHeader(kHasIdList | kHasLinkInfo) + ComputerIdList() + LinkInfoOf(big));
  TLinkInfo info;
  if (ReadLinkFile(lnk, info) && !info.Path.empty()) {
    EXPECT_EQ(info.Path, Utf8ToWide(big));
  }
  {
    TLaunchBtn button(BitBtnParams{form.Handle(), 4, 4, 90, 72, L""});
    SendDrop(button.Handle(), {lnk});
    EXPECT_TRUE(button.FullPath() == lnk || button.FullPath() == Utf8ToWide(big));
  }

  // The shell's classic cut: a path that stops at MAX_PATH - 1 and names nothing, where
  // the real target goes on. It is no target; the shortcut is bound.
  std::wstring deep = dir.path().wstring();
  while (deep.size() < MAX_PATH + 40) {
    deep += L"\\" + std::wstring(60, L'd');
    ASSERT_TRUE(CreateDirectoryW(FileSystemPath(deep).c_str(), nullptr));
  }
  std::wstring farExe = deep + L"\\Far.exe";
  ASSERT_TRUE(CopyFileW(target.c_str(), FileSystemPath(farExe).c_str(), FALSE));
  lnk = Write(L"far.lnk", LinkHeader(kHasIdList | kHasLinkInfo) + ComputerIdList() +
                              LinkInfoOf(Ansi(farExe.substr(0, MAX_PATH - 1))));
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, L"");
  EXPECT_EQ(Drop(lnk), lnk);

  // A working folder that fills the buffer (32 767 characters and no room for its NUL)
  // is dropped, not cut. (Longer counts are no test of ours: Wine doubles the 16-bit
  // count in 16 bits and reads a shorter string.)
  lnk = Write(L"work.lnk", LinkHeader(kHasIdList | kHasLinkInfo | kHasWorkingDir | kIsUnicode) +
                               IdListOf(target) + LinkInfoOf(Ansi(target)) +
                               CountedString(L"C:\\" + std::wstring(32764, L'w')));
  ASSERT_TRUE(ReadLinkFile(lnk, info));
  EXPECT_EQ(info.Path, target);
  EXPECT_EQ(info.WorkDir, L"") << info.WorkDir.size() << " characters";
  EXPECT_EQ(Drop(lnk), target);
}

TEST_F(HostileLinkTest, ATargetThatIsNoFileBindsTheShortcut) {
  std::wstring lnk = Write(L"computer.lnk", LinkHeader(kHasIdList) + ComputerIdList());
  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile(lnk, info)) << "an item list, though of no file";
  EXPECT_EQ(info.Path, L"");
  EXPECT_EQ(Drop(lnk), lnk);
}

}  // namespace
}  // namespace vl
