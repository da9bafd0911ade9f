// The settings file while another program holds it open and shares it with no one
// (hold_file.exe): a read that cannot reach the file must not pass for an empty file, and
// no write may replace the user's file with what such a read left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/ini_file.h"
#include "gui/platform/handles.h"
#include "tests/core/temp_dir.h"
#include "tests/win/file_holder.h"

namespace vl {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using test::FileHolder;

const std::string kSettings =
    "[General]\r\nPageNum=1\r\nFormTop=120\r\n"
    "[Page1]\r\nLive=1\r\nName=Tools\r\nBtnFP1=C:\\some\\target.exe\r\nBtnName1=target\r\n";

// What the file must hold after FormLeft=5 was written to kSettings.
std::string WithFormLeft(const std::string& settings) {
  std::string s = settings;
  s.insert(s.find("[Page1]"), "FormLeft=5\r\n");
  return s;
}

void ExpectWritesRefused(TIniFile& ini) {
  try {
    ini.WriteInteger(L"General", L"FormLeft", 5);
    ADD_FAILURE() << "a write to a file that cannot be read must fail";
  } catch (const EIniWriteError& e) {
    EXPECT_EQ(e.Message(), ini.FileName() + L" に書き込めません");
  }
  EXPECT_THROW(ini.Update([&] { ini.WriteString(L"Page1", L"BtnFP2", L"C:\\other.exe"); }),
               EIniWriteError)
      << "an operation that began on a file it could not read";
}

TEST(IniLock, AFileHeldByAnotherProgramReadsAsDefaultsAndIsNeverOverwritten) {
  for (bool writeWhileHeld : {false, true}) {
    SCOPED_TRACE(writeWhileHeld ? "a write while held" : "reads only while held");
    test::TempDir dir;
    auto path = dir / "RavariVudovi.ini";
    WriteBytes(path, kSettings);
    TIniFile ini(path);
    {
      FileHolder holder(path);
      ASSERT_TRUE(holder.Holding());
      const std::uint64_t missed = ini.MissedReads();
      EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), -1);
      EXPECT_FALSE(ini.ReadBool(L"Page1", L"Live", false));
      EXPECT_EQ(ini.MissedReads(), missed + 2) << "each default given for the file is counted";
      if (writeWhileHeld) ExpectWritesRefused(ini);
    }
    EXPECT_EQ(ReadBytes(path), kSettings);
    // The first write after the holder let go starts from the file, not from what the
    // failed read left.
    ini.WriteInteger(L"General", L"FormLeft", 5);
    EXPECT_EQ(ReadBytes(path), WithFormLeft(kSettings));
  }
}

TEST(IniLock, AFileChangedAndThenHeldReadsAsItWasLastSeen) {
  test::TempDir dir;
  auto path = dir / "RavariVudovi.ini";
  WriteBytes(path, kSettings);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 1);

  // Another program rewrites the file (so the store must read it again) and holds it.
  std::string changed = kSettings + "[Page2]\r\nLive=1\r\nName=Games\r\n";
  changed.replace(changed.find("PageNum=1"), 9, "PageNum=2");
  WriteBytes(path, changed);
  {
    FileHolder holder(path);
    ASSERT_TRUE(holder.Holding());
    const std::uint64_t missed = ini.MissedReads();
    EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 1);
    EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP1", L""), L"C:\\some\\target.exe");
    EXPECT_EQ(ini.MissedReads(), missed) << "the copy last read answers: no default was given";
    ExpectWritesRefused(ini);
  }
  EXPECT_EQ(ReadBytes(path), changed);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", -1), 2);
  ini.WriteInteger(L"General", L"FormLeft", 5);
  EXPECT_EQ(ReadBytes(path), WithFormLeft(changed));

  // A refused save must not live on as the copy that reads give while the file is held.
  // The platform's profile functions refuse a read-only file; so does the store.
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(ini.WriteString(L"Page1", L"BtnFP2", L"C:\\refused.exe"), EIniWriteError);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  {
    FileHolder holder(path);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(ini.ReadString(L"Page1", L"BtnFP2", L"none"), L"none");
    ExpectWritesRefused(ini);
  }
  EXPECT_EQ(ReadBytes(path), WithFormLeft(changed));
}

}  // namespace
}  // namespace vl
