// The settings engine against the platform's own profile functions: the same files
// must give the same answers through GetPrivateProfileStringA and through TIniFile, and
// what either writes must read the same through both.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "core/text_codec.h"
#include "tests/core/temp_dir.h"

namespace vl {
namespace {

using namespace std::string_literals;
using test::TempDir;
using test::WriteBytes;

struct CorpusFile {
  const char* name;
  std::string bytes;
};

std::vector<CorpusFile> Corpus() {
  return {
      {"plain", "[General]\r\nPageNum=3\r\nFormTop=10\r\n[Page1]\r\nName=Tools\r\n"},
      {"lf only", "[General]\nPageNum=3\nFormTop=10\n[Page1]\nName=Tools\n"},
      {"no final newline", "[General]\r\nPageNum=3\r\n[Page1]\r\nName=Tools"},
      {"comments and blanks",
       "; top comment\r\n\r\n[General]\r\n; PageNum=9\r\nPageNum=3\r\n\r\n\r\n"
       "# hash=1\r\n[Page1]\r\n;Name=hidden\r\nName=Tools\r\n\r\n"},
      {"blanks around names and =",
       "  [General]  \r\n   PageNum   =   3   \r\n\tFormTop\t=\t10\t\r\n[ Page1 ]\r\nName =  two words  \r\n"},
      {"duplicate sections and keys",
       "[General]\r\nPageNum=1\r\nPageNum=2\r\npagenum=3\r\n[Page1]\r\nName=a\r\n"
       "[General]\r\nPageNum=4\r\nFormTop=5\r\n[PAGE1]\r\nName=b\r\nYoko=6\r\n"},
      {"quoted values",
       "[q]\r\na=\"double\"\r\nb='single'\r\nc=\"open\r\nd=\"mixed'\r\ne=\"\"\r\nf=\"\r\n"
       "g= \"spaced\" \r\nh=\"in\"side\"\r\n"},
      {"key without value", "[k]\r\nbare\r\nempty=\r\n=novalue\r\n\x06\r\n"},
      {"ideographic spaces", "[s]\r\n\x81\x40" "Ask=1\r\n\x81\x40=5\r\nv=\x81\x40x\x81\x40\r\n"},
      {"header without bracket", "[ok]\r\na=1\r\n[broken\r\nb=2\r\n[next]\r\nc=3\r\n"},
      {"very long lines", "[long]\r\nv=" + std::string(5000, 'x') + "\r\nk" + std::string(3000, 'k') +
                              "=1\r\nafter=ok\r\n"},
      {"shift-jis 0x5c trail bytes",
       "[\x95\x5C]\r\n\x83\x5C=\x95\x5C\x8E\xA6\r\npath=C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67\\\r\n"
       "[Page1]\r\nFontName=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
       "Name=\x83\x5C\r\n"},
      {"full-width and mixed case", "[Setting]\r\nShowHotKey=Windows+Space\r\n\x82\x60" "Ask=1\r\n"
                                    "HIDEHOTKEY=Esc\r\n"},
      {"mixed line ends", "[a]\r\nx=1\n[b]\ny=2\r\nz=3\n"},
      {"lone carriage returns", "[a]\rx=1\ry=2"},
      {"nothing but garbage", "\x01\x02\x03=\x04\r\n[\x05]\r\n\x06\r\n"},
      {"empty file", ""},
      {"utf-8 with a byte-order mark", "\xEF\xBB\xBF[s]\r\nk=\xE8\xA1\xA8\r\n[\xE3\x82\xBD]\r\nx=1\r\n"},
      {"lead byte before a line end", "[s]\r\na=\x81\nb=2\r\nc=\x82\r\nd=4\r\n"},
  };
}

// Files that only the read test uses: on a write, the platform drops a section named
// "[]" (its keys join the section before), so the written files cannot agree.
std::vector<CorpusFile> ReadOnlyCorpus() {
  return {
      {"empty section name", "[a]\r\ny=2\r\n[]\r\nx=1\r\n[ ]\r\nz=3\r\n"},
  };
}

// Every section and key name the file mentions, in the spellings a caller might use.
void CollectNames(const std::string& bytes, std::set<std::string>& sections,
                  std::set<std::string>& keys) {
  std::size_t pos = 0;
  while (pos <= bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    auto strip = [](std::string s) {
      while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.erase(0, 1);
      while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
      return s;
    };
    std::string t = strip(line);
    if (!t.empty() && t[0] == '[') {
      std::size_t close = t.find(']');
      sections.insert(strip(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
    } else if (!t.empty()) {
      keys.insert(strip(t.substr(0, t.find('='))));
    }
    pos = end + 1;
  }
  for (const auto* set : {&sections, &keys}) {
    auto& s = const_cast<std::set<std::string>&>(*set);
    std::vector<std::string> more;
    for (const std::string& n : s) {
      std::string upper = n, lower = n;
      for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      more.push_back(upper);
      more.push_back(lower);
      more.push_back(" " + n + " ");
    }
    s.insert(more.begin(), more.end());
    s.insert("Missing");
  }
}

std::string PlatformRead(const std::string& section, const std::string& key,
                         const std::filesystem::path& file) {
  std::vector<char> buffer(2048);
  std::string path = *WideToAnsi(file.wstring());
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "<default>", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), path.c_str());
  return std::string(buffer.data(), n);
}

std::string OurRead(const std::string& section, const std::string& key,
                    const std::filesystem::path& file) {
  TIniFile ini(file);
  std::wstring value = ini.ReadString(AnsiToWide(section), AnsiToWide(key), L"<default>");
  return WideToAnsi(value).value_or("<not ansi>");
}

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s.substr(0, 80)) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      snprintf(buf, sizeof buf, "\\%02X", c);
      out += buf;
    }
  }
  return s.size() > 80 ? out + "...(" + std::to_string(s.size()) + " bytes)" : out;
}

// Compares every answer the two files give through both readers with `reference`.
void ExpectSameAnswers(const std::string& what, const std::filesystem::path& reference,
                       const std::filesystem::path& other, const std::set<std::string>& sections,
                       const std::set<std::string>& keys) {
  int compared = 0;
  for (const std::string& s : sections) {
    for (const std::string& k : keys) {
      std::string expected = PlatformRead(s, k, reference);
      EXPECT_EQ(Hex(OurRead(s, k, reference)), Hex(expected))
          << what << ": our reading of [" << Hex(s) << "] " << Hex(k);
      EXPECT_EQ(Hex(PlatformRead(s, k, other)), Hex(expected))
          << what << ": platform reading of the other file, [" << Hex(s) << "] " << Hex(k);
      EXPECT_EQ(Hex(OurRead(s, k, other)), Hex(expected))
          << what << ": our reading of the other file, [" << Hex(s) << "] " << Hex(k);
      ++compared;
    }
  }
  EXPECT_GT(compared, 0);
}

TEST(IniDifferential, ReadingTheCorpusAnswersAsThePlatformDoes) {
  ASSERT_EQ(GetACP(), 932u) << "the tests run with the Japanese ANSI code page";
  TempDir dir;
  int n = 0;
  std::vector<CorpusFile> corpus = Corpus();
  for (const CorpusFile& f : ReadOnlyCorpus()) corpus.push_back(f);
  for (const CorpusFile& f : corpus) {
    // Fresh names every time: the platform caches profile files by name.
    auto file = dir / ("read" + std::to_string(++n) + ".ini");
    WriteBytes(file, f.bytes);
    std::set<std::string> sections, keys;
    CollectNames(f.bytes, sections, keys);
    ExpectSameAnswers(f.name, file, file, sections, keys);
  }
}

struct Write {
  const char* section;
  const char* key;
  std::string value;
};

TEST(IniDifferential, WritingGivesFilesThatReadTheSameEitherWay) {
  const std::vector<Write> writes = {
      {"General", "PageNum", "7"},
      {"general", "FORMTOP", "-20"},
      {"Page1", "Name", "\x95\x5C\x83\x5C"},
      {"Page1", "NewKey", "C:\\\x95\x5C\\"},
      {"Brand New", "k", "v"},
      {"q", "a", "\"requoted\""},
      {"k", "bare", "now=valued"},
      {"ok", "b", "changed"},
      {"long", "v", std::string(2100, 'y')},
      {"\x95\x5C", "\x83\x5C", "x"},
      {"Page1", "Name", "\x95\x5C\x83\x5C"},  // the same value again
      {"a", "x", ""},
  };
  TempDir dir;
  int n = 0;
  for (const CorpusFile& f : Corpus()) {
    ++n;
    auto platformFile = dir / ("p" + std::to_string(n) + ".ini");
    auto ourFile = dir / ("o" + std::to_string(n) + ".ini");
    WriteBytes(platformFile, f.bytes);
    WriteBytes(ourFile, f.bytes);
    std::string pPath = *WideToAnsi(platformFile.wstring());
    TIniFile ours(ourFile);
    std::string all = f.bytes;
    for (const Write& w : writes) {
      ASSERT_TRUE(WritePrivateProfileStringA(w.section, w.key, w.value.c_str(), pPath.c_str()));
      ours.WriteString(AnsiToWide(w.section), AnsiToWide(w.key), AnsiToWide(w.value));
      all += "\r\n[" + std::string(w.section) + "]\r\n" + w.key + "=\r\n";
    }
    std::set<std::string> sections, keys;
    CollectNames(all, sections, keys);
    ExpectSameAnswers(f.name, platformFile, ourFile, sections, keys);
  }
}

TEST(IniDifferential, UnicodeFallbackIsReadAsUnicodeByThePlatform) {
  TempDir dir;
  auto file = dir / "u.ini";
  WriteBytes(file, "[Page1]\r\nName=\x95\x5C\r\nFontName=\x82\x6C\x82\x72\r\n");
  {
    TIniFile ini(file);
    ini.WriteString(L"Page1", L"BtnFP1", L"C:\\Users\\é\\한글.txt");
    ini.WriteString(L"Page1", L"BtnName1", L"한글");
  }
  auto readW = [&](const wchar_t* key) {
    wchar_t buffer[2048];
    DWORD n = GetPrivateProfileStringW(L"Page1", key, L"<default>", buffer, 2048, file.c_str());
    return std::wstring(buffer, n);
  };
  EXPECT_EQ(readW(L"BtnFP1"), L"C:\\Users\\é\\한글.txt");
  EXPECT_EQ(readW(L"BtnName1"), L"한글");
  EXPECT_EQ(readW(L"Name"), L"表");
  EXPECT_EQ(readW(L"FontName"), L"ＭＳ");

  // And a value the platform writes into that file stays readable by us.
  ASSERT_TRUE(WritePrivateProfileStringW(L"Page1", L"WD1", L"C:\\Users\\é", file.c_str()));
  EXPECT_EQ(TIniFile(file).ReadString(L"Page1", L"WD1", L""), L"C:\\Users\\é");
}

}  // namespace
}  // namespace vl
