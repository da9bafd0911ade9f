#include "core/page_file.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "core/text_codec.h"
#include "tests/core/temp_dir.h"

namespace vl {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The bytes of a section's lines after its header, up to the next header or the end.
std::string SectionBody(const std::string& file, const std::string& header) {
  std::size_t at = file.find(header + "\r\n");
  if (at == std::string::npos) return "<no " + header + ">";
  at += header.size() + 2;
  std::size_t end = file.find("\r\n[", at);
  return file.substr(at, end == std::string::npos ? std::string::npos : end + 2 - at);
}

std::string Utf16File(std::wstring_view text) { return "\xFF\xFE" + WideToUtf16Le(text); }

struct ExportedPage {
  std::string bytes;
  std::vector<IniKeyLine> lines;
};
// What the export does: the section's key lines in the settings file's encoding.
ExportedPage Export(TIniFile& ini, std::wstring_view section) {
  ExportedPage page;
  ini.Update([&] {
    page.lines = ini.ReadSectionLines(section);
    page.bytes = FormatPageFile(page.lines, ini.ReadEncoding());
  });
  return page;
}

std::string Ansi(std::wstring_view text) { return WideToAnsi(text).value(); }

TEST(PageFile, APageGoesOutAndComesBackAsANewPageWithTheSameLines) {
  TempDir dir;
  // A page as the launcher writes it, with what a hand may add: Japanese text, quotes
  // kept as they stand, blanks around "=", a key another version wrote.
  const std::string page1 = Ansi(
      L"Live=1\r\nName=道具\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nFontName=ＭＳ Ｐゴシック\r\n"
      L"FontColor=clWindowText\r\nFontSize=9\r\nShowType=0\r\nBtnFP1=C:\\メモ\\a.exe\r\nBtnName1=\"メモ 帳\"\r\n"
      L"BtnIP1=C:\\メモ\\a.exe\r\nWD1=C:\\メモ\r\nBtnFP3=C:\\b.exe\r\nBtnName3=b\r\nFuture=x=y\r\n");
  const std::string settings = "[General]\r\nPageNum=2\r\n[Page1]\r\n" + page1 +
                               "[Page2]\r\nLive=0\r\nName=old\r\n[Setting]\r\nIsUseShake=1\r\n";
  WriteBytes(dir / "s.ini", settings);
  TIniFile ini(dir / "s.ini");
  const ExportedPage out = Export(ini, L"page1");
  EXPECT_EQ(out.bytes, "[Page]\r\n" + page1) << "an ANSI file's page is ANSI, line for line";
  EXPECT_EQ(ReadBytes(dir / "s.ini"), settings) << "the export wrote nothing";

  WriteBytes(dir / "p.ini", out.bytes);
  const PageFileRead read = ReadPageFile(dir / "p.ini");
  ASSERT_EQ(read.status, PageFileRead::Status::Page);
  EXPECT_EQ(read.lines, out.lines);
  EXPECT_EQ(AddPageToFile(ini, 2, read.lines), 3);
  const std::string after = ReadBytes(dir / "s.ini");
  EXPECT_EQ(SectionBody(after, "[Page3]"), page1);
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", 0), 3);
  EXPECT_EQ(ini.ReadString(L"Page3", L"BtnName1", L""), L"メモ 帳") << "read as the original reads";
  EXPECT_TRUE(after.starts_with("[General]\r\nPageNum=3\r\n[Page1]\r\n" + page1 + "[Page2]\r\nLive=0\r\nName=old\r\n"))
      << "no other line changed";

  // A page taken out of the launcher as dead comes in live; blanks around "=" go, as any
  // write of the key would take them.
  WriteBytes(dir / "dead.ini", "[Page]\r\nName = dead \r\nLive=0\r\nYoko=2\r\nName=second\r\n");
  const PageFileRead dead = ReadPageFile(dir / "dead.ini");
  ASSERT_EQ(dead.status, PageFileRead::Status::Page);
  EXPECT_EQ(AddPageToFile(ini, 3, dead.lines), 4);
  EXPECT_EQ(SectionBody(ReadBytes(dir / "s.ini"), "[Page4]"), "Name=dead\r\nLive=1\r\nYoko=2\r\n")
      << "a key named twice keeps the first, the one a read sees";
}

TEST(PageFile, TheEncodingFollowsTheSettingsFileAndItsOwnRules) {
  TempDir dir;
  // A UTF-16 settings file gives a UTF-16 page, also when every character is ASCII.
  WriteBytes(dir / "wide.ini", Utf16File(L"[Page1]\r\nName=abc\r\nBtnFP1=C:\\x.exe\r\n"));
  TIniFile wide(dir / "wide.ini");
  EXPECT_EQ(Export(wide, L"Page1").bytes, Utf16File(L"[Page]\r\nName=abc\r\nBtnFP1=C:\\x.exe\r\n"));

  // A page holding text the code page cannot: the ANSI settings file it comes into turns
  // to UTF-16, as a value typed in would turn it, and the page reads the same there.
  WriteBytes(dir / "hangul.ini", Utf16File(L"[Page]\r\nName=한국\r\nBtnFP1=C:\\한\\a.exe\r\n"));
  const PageFileRead read = ReadPageFile(dir / "hangul.ini");
  ASSERT_EQ(read.status, PageFileRead::Status::Page);
  WriteBytes(dir / "s.ini", "[General]\r\nPageNum=1\r\n[Page1]\r\nName=a\r\n");
  TIniFile ini(dir / "s.ini");
  EXPECT_EQ(AddPageToFile(ini, 1, read.lines), 2);
  EXPECT_EQ(ReadBytes(dir / "s.ini"),
            Utf16File(L"[General]\r\nPageNum=2\r\n[Page1]\r\nName=a\r\n[Page2]\r\nName=한국\r\nBtnFP1=C:\\한\\a.exe\r\nLive=1\r\n"));
  // And back out of it: text the code page cannot hold is never written as "?".
  EXPECT_EQ(FormatPageFile(read.lines, IniDocument::Encoding::Ansi),
            Utf16File(L"[Page]\r\nName=한국\r\nBtnFP1=C:\\한\\a.exe\r\n"));
}

TEST(PageFile, TheNewNumberIsPastEveryNumberHandedOutAndPageNumNeverGoesDown) {
  TempDir dir;
  const std::vector<IniKeyLine> page{{L"Name", L"n"}};
  struct Case {
    const char* file;
    std::int32_t held;  // "PageNum" as the launcher holds it
    std::int32_t next;
  } cases[] = {
      {"[General]\r\nPageNum=2\r\n[Page1]\r\nLive=1\r\n", 2, 3},
      // Another program raised "PageNum" since the launcher read it.
      {"[General]\r\nPageNum=9\r\n[Page1]\r\nLive=1\r\n", 2, 10},
      // A page made before a crash has its section past "PageNum".
      {"[General]\r\nPageNum=5\r\n[Page12]\r\nLive=0\r\n", 5, 13},
      {"", -1, 1},
  };
  for (const Case& c : cases) {
    WriteBytes(dir / "s.ini", c.file);
    TIniFile ini(dir / "s.ini");
    EXPECT_EQ(AddPageToFile(ini, c.held, page), c.next) << c.file;
    EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", 0), c.next) << c.file;
  }
  WriteBytes(dir / "s.ini", "[General]\r\nPageNum=2147483647\r\n");
  TIniFile full(dir / "s.ini");
  EXPECT_EQ(AddPageToFile(full, 1, page), std::nullopt);
  EXPECT_EQ(ReadBytes(dir / "s.ini"), "[General]\r\nPageNum=2147483647\r\n") << "nothing written";
}

TEST(PageFile, ARefusedSettingsFileKeepsNothingOfThePage) {
  TempDir dir;
  const std::string settings = "[General]\r\nPageNum=1\r\n[Page1]\r\nName=a\r\n";
  const std::vector<IniKeyLine> page{{L"Name", L"n"}, {L"BtnFP1", L"C:\\a.exe"}};
  WriteBytes(dir / "s.ini", settings);
  TIniFile ini(dir / "s.ini");
  EXPECT_EQ(ini.ReadString(L"Page1", L"Name", L""), L"a");

  // Its replacement refused (the disk full): the file stays, and no read sees the page.
  std::filesystem::create_directories(dir / "s.ini.tmp" / "x");
  EXPECT_THROW(AddPageToFile(ini, 1, page), EIniWriteError);
  EXPECT_EQ(ReadBytes(dir / "s.ini"), settings);
  EXPECT_EQ(ini.ReadString(L"Page2", L"Name", L"none"), L"none");
  EXPECT_EQ(ini.ReadInteger(L"General", L"PageNum", 0), 1);
  std::filesystem::remove_all(dir / "s.ini.tmp");

  // Held by another program, it cannot be read: nothing is written over it.
  fileStepHook = [](FileStep step) { return step != FileStep::Read; };
  WriteBytes(dir / "s.ini", settings + "[Page5]\r\nLive=0\r\n");
  EXPECT_THROW(AddPageToFile(ini, 1, page), EIniWriteError);
  fileStepHook = nullptr;
  EXPECT_EQ(ReadBytes(dir / "s.ini"), settings + "[Page5]\r\nLive=0\r\n");
  EXPECT_EQ(AddPageToFile(ini, 1, page), 6) << "read again, the file's own page counts";
}

TEST(PageFile, OnlyAFileWithAPagesKeysInItsFirstSectionIsAPage) {
  struct Case {
    std::string bytes;
    bool page;
  } cases[] = {
      {"[Page]\r\nName=a\r\n", true},
      {"[Page]\r\nBtnFP12=C:\\a.exe\r\n", true},
      {"[Page7]\r\nYoko=3\r\n", true},  // a section cut out of a settings file by hand
      {"[page]\r\nTATE=1\r\n", true},
      {Utf16File(L"[Page]\r\nName=a\r\n"), true},
      {"\xEF\xBB\xBF[Page]\r\nName=a\r\n", true},
      {"", false},
      {"Name=a\r\nYoko=3\r\n", false},                            // no section
      {"[Page]\r\n", false},                                       // nothing in it
      {"[Page]\r\nName\r\n", false},                               // a key without a value
      {"[Page]\r\nBtnFP=x\r\nBtnFPa=x\r\nWD1=x\r\n", false},      // no page key
      {"[General]\r\nPageNum=3\r\n[Page1]\r\nName=a\r\n", false},  // a whole settings file
      {std::string("[Page]\r\nName=a\r\n\0\x01\x02", 17), false},  // a binary file
      {Utf16File(std::wstring(L"[Page]\r\nName=a\0", 15)), false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParsePageFile(c.bytes).has_value(), c.page) << c.bytes;
}

TEST(PageFile, AFileTooLargeIsNeverReadAndAMissingOneIsUnreadable) {
  TempDir dir;
  const std::string page = "[Page]\r\nName=a\r\n";
  WriteBytes(dir / "p.ini", page);
  EXPECT_EQ(ReadPageFile(dir / "p.ini", page.size()).status, PageFileRead::Status::Page);
  const std::uint64_t readBefore = TotalBytesRead();
  EXPECT_EQ(ReadPageFile(dir / "p.ini", page.size() - 1).status, PageFileRead::Status::NotAPage);
  EXPECT_EQ(TotalBytesRead(), readBefore);
  EXPECT_EQ(ReadPageFile(dir / "none.ini").status, PageFileRead::Status::Unreadable);
  std::filesystem::create_directory(dir / "folder.ini");
  EXPECT_EQ(ReadPageFile(dir / "folder.ini").status, PageFileRead::Status::Unreadable);
}

TEST(PageFile, TheOfferedNameIsThePagesWithWhatAFileNameCannotHoldReplaced) {
  EXPECT_EQ(PageFileNameFor(L"道具"), L"道具.ini");
  EXPECT_EQ(PageFileNameFor(L"a/b\\c:d*e?f\"g<h>i|j\tk"), L"a_b_c_d_e_f_g_h_i_j_k.ini");
  EXPECT_EQ(PageFileNameFor(L"etc. "), L"etc.ini");
  EXPECT_EQ(PageFileNameFor(L""), L"Page.ini");
  EXPECT_EQ(PageFileNameFor(L"..."), L"Page.ini");
}

}  // namespace
}  // namespace vl
