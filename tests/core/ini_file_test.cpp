#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/file_io.h"
#include "core/ini_values.h"
#include "core/text_codec.h"
#include "tests/core/temp_dir.h"

namespace vl {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(IniFile, NameIsTheExecutablesWithIni) {
  EXPECT_EQ(SettingsPathFor(std::filesystem::path("dir/launch.exe")), std::filesystem::path("dir/launch.ini"));
  EXPECT_EQ(SettingsPathFor(std::filesystem::path("dir/Ravari.Vudovi.exe")), std::filesystem::path("dir/Ravari.Vudovi.ini"));
  // A dot in a folder's name or at the start of the file's is no extension.
  EXPECT_EQ(SettingsPathFor(std::filesystem::path("my.dir/launch")), std::filesystem::path("my.dir/launch.ini"));
  EXPECT_EQ(SettingsPathFor(std::filesystem::path("dir/.launch")), std::filesystem::path("dir/.launch.ini"));
#ifdef _WIN32
  EXPECT_EQ(SettingsPathFor(L"C:\\my.dir\\launch"), L"C:\\my.dir\\launch.ini");
#endif
}

TEST(IniFile, TheRunningProgramsFileSitsBesideIt) {
  std::filesystem::path ini = SettingsFilePath();
  EXPECT_EQ(ini.filename(), std::filesystem::path("core_tests.ini"));
  EXPECT_EQ(ini.parent_path(), std::filesystem::path(RunningExecutablePath()).parent_path());
  EXPECT_EQ(ini.parent_path(), std::filesystem::path(ProgramFolder()));
}

TEST(IniFile, MissingFileReadsDefaultsAndIsNotCreatedByReading) {
  TempDir dir;
  TIniFile ini(dir / "none.ini");
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), -1);
  EXPECT_EQ(ini.ReadString(L"Setting", L"ShowHotKey", L"Windows+Space"), L"Windows+Space");
  EXPECT_TRUE(ini.ReadBool(L"Setting", L"IsUseShake", true));
  EXPECT_FALSE(ini.ReadBool(L"Page1", L"Live", false));
  EXPECT_FALSE(std::filesystem::exists(dir / "none.ini"));
}

TEST(IniFile, WritesReachTheFileAndEveryHandleAtOnce) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile a(path), b(path);
  a.WriteInteger(L"General", L"PageNum", 3);
  EXPECT_EQ(ReadBytes(path), "[General]\r\nPageNum=3\r\n");
  EXPECT_EQ(b.ReadInteger(L"general", L"pagenum", -1), 3);
  const std::uint64_t revision = a.Revision();
  EXPECT_EQ(b.ReadInteger(L"General", L"PageNum", -1), 3);
  b.WriteInteger(L"General", L"PageNum", 3);
  EXPECT_EQ(a.Revision(), revision) << "neither a read nor a write of the same value changes it";
  b.WriteBool(L"Setting", L"IsUseShake", false);
  EXPECT_NE(a.Revision(), revision) << "a write through any handle changes it";
  b.WriteString(L"Page1", L"Name", L"ツール");
  EXPECT_FALSE(a.ReadBool(L"Setting", L"IsUseShake", true));
  EXPECT_EQ(a.ReadString(L"Page1", L"Name", L""), L"ツール");
  EXPECT_EQ(ReadBytes(path),
            "[General]\r\nPageNum=3\r\n[Setting]\r\nIsUseShake=0\r\n[Page1]\r\nName=\x83\x63\x81\x5B\x83\x8B\r\n");
}

TEST(IniFile, ChangesMadeOnDiskByOthersAreSeen) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile ini(path);
  ini.WriteInteger(L"General", L"FormTop", 10);
  const std::uint64_t revision = ini.Revision();
  // Another program edits the file; the size changes, so the store must notice.
  WriteBytes(path, "[General]\r\nFormTop=2000\r\n");
  EXPECT_NE(ini.Revision(), revision);
  EXPECT_EQ(ini.ReadInteger(L"General", L"FormTop", 300), 2000);
  ini.WriteInteger(L"General", L"FormLeft", 5);
  EXPECT_EQ(ReadBytes(path), "[General]\r\nFormTop=2000\r\nFormLeft=5\r\n");
}

// Another program (a sync tool) replaces the file in the moment between the store's read
// and its own replacement: the other copy is read and the operation's keys go into it.
struct OtherWriter {
  static inline std::filesystem::path path;
  static inline std::vector<std::string> copies;  // put in place at each replacement, in turn
  static inline bool repeatLast = false;          // the last copy again at every replacement
  static inline int replacements = 0;
  static bool Act(FileStep step) {
    if (step == FileStep::Replace && !copies.empty()) {
      const std::string copy = copies.front();
      if (copies.size() > 1 || !repeatLast) copies.erase(copies.begin());
      // Written beside and moved over, as sync tools do; the size differs every time.
      WriteBytes(path.string() + ".other", copy + std::string(static_cast<std::size_t>(++replacements), ';') + "\r\n");
      std::filesystem::rename(path.string() + ".other", path);
    }
    return true;
  }
};

TEST(IniFile, AReplacementByAnotherProgramJustBeforeOursIsKeptAndOursWrittenIntoIt) {
  TempDir dir;
  auto path = dir / "s.ini";
  WriteBytes(path, "[General]\r\nPageNum=1\r\n[Page1]\r\nBtnFP1=C:\\a.exe\r\nBtnFP3=C:\\old.exe\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 1);
  const std::uint64_t outside = ini.OutsideChanges();
  const std::uint64_t written = TotalFilesWritten();
  OtherWriter::path = path;
  OtherWriter::copies = {"[General]\r\nPageNum=2\r\n[Page1]\r\nBtnFP1=C:\\a.exe\r\nBtnFP3=C:\\new.exe\r\n[Page2]\r\nLive=1\r\n"};
  OtherWriter::replacements = 0;
  fileStepHook = &OtherWriter::Act;
  ini.Update([&] {
    ini.WriteString(L"Page1", L"BtnFP1", L"C:\\mine.exe");
    ini.DeleteKey(L"Page1", L"BtnFP3");  // taken out of the other copy too
  });
  fileStepHook = nullptr;
  EXPECT_EQ(ReadBytes(path),
            "[General]\r\nPageNum=2\r\n[Page1]\r\nBtnFP1=C:\\mine.exe\r\n[Page2]\r\nLive=1\r\n;\r\n");
  EXPECT_EQ(TotalFilesWritten(), written + 1) << "the stale copy was never moved over the file";
  EXPECT_EQ(ini.OutsideChanges(), outside + 1);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 2) << "the reads give the merged file";

  // A file that keeps changing under every try is given up on: the error, and the other
  // program's last copy stays whole.
  OtherWriter::copies = {"[General]\r\nPageNum=5\r\n"};
  OtherWriter::repeatLast = true;
  fileStepHook = &OtherWriter::Act;
  EXPECT_THROW(ini.WriteString(L"Page1", L"BtnFP2", L"C:\\b.exe"), EIniWriteError);
  fileStepHook = nullptr;
  OtherWriter::repeatLast = false;
  EXPECT_EQ(ReadBytes(path).rfind("[General]\r\nPageNum=5\r\n", 0), 0u);
  EXPECT_EQ(ReadBytes(path).find("b.exe"), std::string::npos);
  EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP2", L"none"), L"none");
  ini.WriteString(L"Page1", L"BtnFP2", L"C:\\b.exe");  // and the next write goes through
  EXPECT_NE(ReadBytes(path).find("PageNum=5"), std::string::npos);
  EXPECT_NE(ReadBytes(path).find("BtnFP2=C:\\b.exe"), std::string::npos);
}

TEST(IniFile, OnlyAnotherProgramsChangeCountsAsOutside) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile ini(path);
  ini.WriteInteger(L"General", L"PageNum", 1);
  const std::uint64_t start = ini.OutsideChanges();
  ini.WriteInteger(L"General", L"PageNum", 2);
  ini.Update([&] { ini.WriteString(L"Page1", L"Name", L"a"); });
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 2);
  EXPECT_EQ(ini.OutsideChanges(), start) << "our own writes are not another program's";
  WriteBytes(path, "[General]\r\nPageNum=7\r\n");
  EXPECT_EQ(ini.OutsideChanges(), start + 1) << "the count looks at the file itself";
  EXPECT_EQ(ini.OutsideChanges(), start + 1);
}

TEST(IniFile, IntegersFlagsAndBadNumbers) {
  TempDir dir;
  auto path = dir / "s.ini";
  WriteBytes(path, "[s]\r\nhex=0x1E\r\ndollar=$1E\r\nbad=12abc\r\ntwo=2\r\nzero=0\r\nneg=-7\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger(L"s", L"hex", 0), 30);
  EXPECT_EQ(ini.ReadInteger(L"s", L"dollar", 0), 30);
  EXPECT_EQ(ini.ReadInteger(L"s", L"bad", 99), 99);
  EXPECT_EQ(ini.ReadInteger(L"s", L"neg", 0), -7);
  EXPECT_TRUE(ini.ReadBool(L"s", L"two", false));
  EXPECT_FALSE(ini.ReadBool(L"s", L"zero", true));
  EXPECT_TRUE(ini.ReadBool(L"s", L"bad", true));
  EXPECT_FALSE(ini.ReadBool(L"s", L"bad", false));
  ini.WriteInteger(L"s", L"neg", INT32_MIN);
  EXPECT_EQ(ini.ReadInteger(L"s", L"neg", 0), INT32_MIN);
}

TEST(IniFile, LongValuesAreCutAt2047Bytes) {
  TempDir dir;
  TIniFile ini(dir / "s.ini");
  ini.WriteString(L"s", L"ascii", std::wstring(3000, L'a'));
  EXPECT_EQ(ini.ReadString(L"s", L"ascii", L""), std::wstring(2047, L'a'));
  // Two-byte characters: 1023 of them fill 2046 bytes, a whole character is never split.
  ini.WriteString(L"s", L"kana", std::wstring(1500, L'ア'));
  EXPECT_EQ(ini.ReadString(L"s", L"kana", L""), std::wstring(1023, L'ア'));
  ini.WriteString(L"s", L"mixed", L"a" + std::wstring(1500, L'ア'));
  EXPECT_EQ(ini.ReadString(L"s", L"mixed", L""), L"a" + std::wstring(1023, L'ア'));
  ini.WriteString(L"s", L"exact", std::wstring(2047, L'b'));
  EXPECT_EQ(ini.ReadString(L"s", L"exact", L"").size(), 2047u);
  ini.WriteString(L"s", L"nul", std::wstring_view(L"a\0b", 3));
  EXPECT_EQ(ini.ReadString(L"s", L"nul", L""), L"a") << "a NUL ends the value";
}

TEST(IniFile, ClearedButtonKeepsItsKeysWithEmptyValues) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile ini(path);
  ini.WriteString(L"Page1", L"BtnFP3", L"C:\\a.exe");
  ini.WriteString(L"Page1", L"BtnFP3", L"");
  EXPECT_NE(ReadBytes(path).find("BtnFP3=\r\n"), std::string::npos);
  EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP3", L"dflt"), L"");
}

TEST(IniFile, AnUpdateReadsOnceAndWritesOnceAtItsEnd) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile ini(path);
  ini.WriteString(L"Page1", L"Name", L"x");
  const std::string before = ReadBytes(path);
  std::uint64_t readBefore = TotalBytesRead();
  std::uint64_t writesBefore = TotalFilesWritten();
  ini.Update([&] {
    for (int i = 1; i <= 100; ++i) {
      ini.WriteString(L"Page1", L"BtnFP" + std::to_wstring(i), L"C:\\p" + std::to_wstring(i));
      EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP" + std::to_wstring(i), L""),
                L"C:\\p" + std::to_wstring(i));
    }
    EXPECT_EQ(ReadBytes(path), before) << "nothing reaches the disk before the update ends";
  });
  EXPECT_EQ(TotalBytesRead(), readBefore) << "the file was already known; no re-read";
  EXPECT_EQ(TotalFilesWritten(), writesBefore + 1) << "100 keys, one save";
  TIniFile other(path);
  EXPECT_EQ(other.ReadString(L"Page1", L"BtnFP100", L""), L"C:\\p100");
}

TEST(IniFile, AnUpdateStoppedByAnErrorKeepsWhatItWrote) {
  TempDir dir;
  auto path = dir / "s.ini";
  TIniFile ini(path);
  EXPECT_THROW(ini.Update([&] {
    ini.WriteString(L"s", L"a", L"1");
    throw EVantriError(L"stop");
  }),
               EVantriError);
  EXPECT_EQ(ReadBytes(path), "[s]\r\na=1\r\n");
}

TEST(IniFile, RefusedWriteNamesTheFileAndKeepsEarlierWrites) {
  TempDir dir;
  auto path = dir / "gone" / "s.ini";  // a folder that does not exist
  TIniFile ini(path);
  try {
    ini.WriteString(L"s", L"a", L"1");
    FAIL() << "a write into a missing folder must fail";
  } catch (const EIniWriteError& e) {
    EXPECT_EQ(e.Message(), path.wstring() + L" に書き込めません");
  }
  EXPECT_EQ(ini.ReadString(L"s", L"a", L"dflt"), L"dflt") << "the refused value is not kept";

  auto good = dir / "t.ini";
  TIniFile t(good);
  t.WriteString(L"s", L"a", L"1");
  std::filesystem::create_directories(dir / "t.ini.tmp" / "x");  // the temporary file cannot be made
  EXPECT_THROW(t.WriteString(L"s", L"b", L"2"), EIniWriteError);
  EXPECT_EQ(ReadBytes(good), "[s]\r\na=1\r\n");
  EXPECT_EQ(t.ReadString(L"s", L"b", L"dflt"), L"dflt");
}

TEST(IniFile, AFileThatCannotBeReadGivesItsLastGoodCopyAndIsNeverOverwritten) {
  TempDir dir;
  auto path = dir / "s.ini";
  const std::string settings = "[General]\r\nPageNum=1\r\n[Page1]\r\nBtnFP1=C:\\a.exe\r\n";
  const std::string withFormTop = "[General]\r\nPageNum=1\r\nFormTop=10\r\n[Page1]\r\nBtnFP1=C:\\a.exe\r\n";
  WriteBytes(path, settings);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 1);
  // A folder by the file's name exists but cannot be read, as root too.
  auto unreadable = [&] {
    std::filesystem::rename(path, dir / "aside.ini");
    std::filesystem::create_directory(path);
  };
  auto readable = [&] {
    std::filesystem::remove(path);
    std::filesystem::rename(dir / "aside.ini", path);
  };
  const std::uint64_t revision = ini.Revision();
  unreadable();
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 1);
  EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP1", L""), L"C:\\a.exe");
  EXPECT_EQ(ini.Revision(), revision) << "the reads still give the copy they gave";
  EXPECT_THROW(ini.WriteInteger(L"General", L"FormTop", 10), EIniWriteError);
  EXPECT_THROW(ini.Update([&] { ini.WriteInteger(L"General", L"FormTop", 10); }), EIniWriteError);
  readable();
  ini.WriteInteger(L"General", L"FormTop", 10);
  EXPECT_EQ(ReadBytes(path), withFormTop);

  // A refused save must not come back as the last good copy.
  std::filesystem::create_directories(dir / "s.ini.tmp" / "x");
  const std::uint64_t beforeRefusal = ini.Revision();
  EXPECT_THROW(ini.WriteString(L"Page1", L"BtnFP2", L"C:\\refused.exe"), EIniWriteError);
  EXPECT_NE(ini.Revision(), beforeRefusal) << "the refused value is forgotten: what reads give changed";
  std::filesystem::remove_all(dir / "s.ini.tmp");
  unreadable();
  EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP2", L"none"), L"none");
  EXPECT_THROW(ini.WriteInteger(L"General", L"FormTop", 20), EIniWriteError);
  readable();
  EXPECT_EQ(ReadBytes(path), withFormTop);
}

TEST(IniFile, OnlyAMissingFileIsTakenForAnEmptyOne) {
#ifndef _WIN32
  TempDir dir;
  // A link that leads round in a circle: the file's state cannot be told, so it is not
  // taken for a missing file that a write may create over it.
  auto loop = dir / "loop.ini";
  std::filesystem::create_symlink("loop.ini", loop);
  TIniFile looped(loop);
  EXPECT_EQ(looped.ReadInteger(L"General", L"PageNum", -1), -1);
  EXPECT_THROW(looped.WriteInteger(L"General", L"PageNum", 1), EIniWriteError);
  EXPECT_TRUE(std::filesystem::is_symlink(loop));
#endif
  // A file whose reads end before its size (the kernel's files report a whole page) was
  // not read in full.
#ifdef _WIN32
  std::filesystem::path shortFile = L"Z:\\sys\\kernel\\uevent_seqnum";  // under Wine
#else
  std::filesystem::path shortFile = "/sys/kernel/uevent_seqnum";
#endif
  std::error_code ec;
  if (std::filesystem::file_size(shortFile, ec) > 64) {
    EXPECT_EQ(ReadWholeFile(shortFile), std::nullopt);
  }
}

TEST(IniFile, UnicodeFallbackSurvivesAReopen) {
  TempDir dir;
  auto path = dir / "s.ini";
  {
    TIniFile ini(path);
    ini.WriteString(L"Page1", L"BtnFP1", L"C:\\ü\\한국.exe");
  }
  TIniFile again(path);
  EXPECT_EQ(again.ReadString(L"Page1", L"BtnFP1", L""), L"C:\\ü\\한국.exe");
  EXPECT_EQ(ReadBytes(path).substr(0, 2), "\xFF\xFE");
}

TEST(IniFile, GarbageAndHugeFilesReadWhatTheyCanAndLoseNothing) {
  TempDir dir;
  auto path = dir / "s.ini";
  std::string garbage(1 << 20, '\0');
  std::mt19937 rng(7);
  for (char& c : garbage) c = static_cast<char>(rng());
  garbage[0] = 'x';
  std::string longLine = "[big]\r\nline=" + std::string(1 << 20, 'z') + "\r\n";
  std::string body = "[keep]\r\nk=v\r\n" + garbage + "\r\n" + longLine + "[keep2]\r\n[nobracket\r\n";
  WriteBytes(path, body);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString(L"keep", L"k", L""), L"v");
  EXPECT_EQ(ini.ReadString(L"big", L"line", L"").size(), 2047u);
  ini.WriteString(L"keep2", L"new", L"1");
  std::string after = ReadBytes(path);
  EXPECT_EQ(after, body + "new=1\r\n") << "a header without ']' is a key line of its section";
  EXPECT_EQ(TIniFile(path).ReadString(L"keep2", L"new", L""), L"1");
}

TEST(IniFile, FiftyMegabyteFileStillWorks) {
  TempDir dir;
  auto path = dir / "s.ini";
  std::string big;
  big.reserve(52u << 20);
  for (int page = 1; big.size() < (50u << 20); ++page) {
    big += "[Page" + std::to_string(page) + "]\r\n";
    for (int b = 1; b <= 100; ++b)
      big += "BtnFP" + std::to_string(b) + "=C:\\Program Files\\Some Vendor\\tool" +
             std::to_string(b) + ".exe\r\n";
  }
  WriteBytes(path, big);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP7", L""), L"C:\\Program Files\\Some Vendor\\tool7.exe");
  ini.WriteString(L"General", L"PageNum", L"1");
  EXPECT_EQ(ReadBytes(path).size(), big.size() + std::string("[General]\r\nPageNum=1\r\n").size());
}

}  // namespace
}  // namespace vl
