#include "core/ini_document.h"

#include <gtest/gtest.h>

#include <random>

#include "core/text_codec.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's count of the heap in use (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace vl {
namespace {

using namespace std::string_literals;

std::wstring Get(const IniDocument& d, std::wstring_view s, std::wstring_view k) {
  return d.Get(s, k).value_or(L"<absent>");
}

// What a read gives on the file just parsed, where a section's first lines are looked at
// where they stand and a read past them parses the section, and on the file once a write
// has parsed the section whole: the same, or both answers.
std::wstring Read(const std::string& file, std::wstring_view s, std::wstring_view k) {
  const std::wstring fresh = Get(IniDocument::Parse(file), s, k);
  IniDocument written = IniDocument::Parse(file);
  written.Set(s, L"written.here", L"");
  const std::wstring parsed = Get(written, s, k);
  return fresh == parsed ? fresh : L"just parsed: " + fresh + L", parsed whole: " + parsed;
}

TEST(IniDocument, UntouchedFilesSerializeByteForByte) {
  const std::string files[] = {
      "",
      "[a]\r\nx=1\r\n",
      "[a]\nx=1",                                  // LF, no final newline
      "\r\n\r\n; comment\r\n[a]\r\n  x = 1  \r\n\r\n[b]\r\ny=\"q\"\r\n",
      "[a]\r\nx=1\n[b]\ry=2\rz=3",                 // mixed line ends, lone CRs
      "[a]\r\nx=\0zz\r\n\0\0\0\r\n"s,  // NUL bytes
      "[\x95\x5C]\r\n\x83\x5C=\x95\x5C\r\n",       // Shift-JIS with 0x5C trail bytes
      "[broken\r\nk=v\r\n]\r\n[]\r\n=\r\n==\r\n",
  };
  for (const std::string& f : files) {
    EXPECT_EQ(IniDocument::Parse(f).Serialize(), f);
  }
  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round) {
    std::string garbage(static_cast<std::size_t>(rng() % 4096), '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    if (garbage.substr(0, 2) == "\xFF\xFE") garbage[0] = 'x';  // not a Unicode mark
    EXPECT_EQ(IniDocument::Parse(garbage).Serialize(), garbage);
  }
}

TEST(IniDocument, NamesMatchWithoutCaseOrBlanks) {
  IniDocument d = IniDocument::Parse(
      "[General]\r\nPageNum=3\r\n  FormTop  =  12  \r\n[PAGE1]\r\nname=Tools\r\n");
  EXPECT_EQ(Get(d, L"general", L"PAGENUM"), L"3");
  EXPECT_EQ(Get(d, L" General ", L" formtop"), L"12");
  EXPECT_EQ(Get(d, L"Page1", L"Name"), L"Tools");
  EXPECT_EQ(Get(d, L"Page2", L"Name"), L"<absent>");
  EXPECT_EQ(Get(d, L"General", L"FormLeft"), L"<absent>");
  EXPECT_EQ(Get(d, L"Ｇeneral", L"PageNum"), L"<absent>") << "a full-width letter is another letter";
}

// The cases of the test below after `filler`, lines at the top of the section.
void ValuesAfter(const std::string& filler) {
  const std::string d =
      "[s]\r\n" + filler +
      "dq=\"quoted\"\r\n"
      "sq='single'\r\n"
      "half=\"open\r\n"
      "mixed=\"a'\r\n"
      "one=\"\r\n"
      "empty=\r\n"
      "bare\r\n"
      "eq=a=b\r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      "  [S]  \r\n"
      "later=hidden\r\n"
      "  [t] x\r\n"
      "k=\x95\x5C\r\n";
  const struct {
    const wchar_t* key;
    const wchar_t* value;
  } cases[] = {
      {L"dq", L"quoted"}, {L"sq", L"single"}, {L"half", L"\"open"}, {L"mixed", L"\"a'"}, {L"one", L"\""},
      {L"empty", L""},
      {L"bare", L"<absent>"},  // a key line without "=" has no value
      {L"eq", L"a=b"}, {L"dup", L"first"},
      {L"later", L"<absent>"},  // only the first of two equal sections is read
  };
  for (const auto& c : cases) EXPECT_EQ(Read(d, L"s", c.key), c.value) << WideToUtf8(c.key);
  EXPECT_EQ(Read(d, L"t", L"k"), L"表") << "a header with blanks around it, and text after it";
  EXPECT_EQ(Read(d, L"s", L"f11"), filler.empty() ? L"<absent>" : L"11");
}

// Each case with the keys at the top of their section and further down.
TEST(IniDocument, ValuesAsTheProfileFunctionsGiveThem) {
  for (int filler : {0, 12, 40}) {
    std::string lines;
    for (int i = 0; i < filler; ++i) lines += "f" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    SCOPED_TRACE(filler);
    ValuesAfter(lines);
  }
}

TEST(IniDocument, ShiftJisTrailBytesAreNotPunctuation) {
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C: the second byte is "\" in ASCII. A "]" (0x5D)
  // trail byte would end a section name early if the file were parsed byte-wise.
  IniDocument d = IniDocument::Parse("[\x95\x5D]\r\n\x83\x5C=\x95\x5C\x83\x5C\r\n");
  EXPECT_EQ(Get(d, AnsiToWide("\x95\x5D"), L"ソ"), L"表ソ");
  EXPECT_EQ(Get(IniDocument::Parse("[s]\r\na=\x83\nb=2\r\n"), L"s", L"b"), L"<absent>")
      << "a lead byte takes the line feed after it as its pair";
  // The same after runs of ASCII of every length up to twice the eight bytes the split
  // passes over at a time.
  for (std::size_t run = 0; run <= 17; ++run) {
    const std::string ascii = std::string("abcdefghijklmnopq").substr(0, run);
    const std::string file = "[s]\r\nv=" + ascii + "\x83\nb=2\r\n[t]\r\nc=3\r\n";
    EXPECT_EQ(Read(file, L"s", L"b"), L"<absent>") << run;
    const std::wstring joined = Read(file, L"s", L"v");
    EXPECT_TRUE(joined.starts_with(AnsiToWide(ascii)) && joined.ends_with(L"b=2")) << WideToUtf8(joined);
    EXPECT_EQ(Read(file, L"t", L"c"), L"3");
  }
}

TEST(IniDocument, ChangingAValueRewritesOnlyItsLine) {
  const std::string before = "; keep me\r\n[a]\r\n x = 1 \r\nother=\x95\x5C\r\n\r\n[b]\r\ny=2\r\n";
  IniDocument d = IniDocument::Parse(before);
  EXPECT_TRUE(d.Set(L"A", L"X", L"42"));
  EXPECT_EQ(d.Serialize(), "; keep me\r\n[a]\r\nx=42\r\nother=\x95\x5C\r\n\r\n[b]\r\ny=2\r\n");
  EXPECT_FALSE(d.Set(L"a", L"x", L"42")) << "writing the same value changes nothing";
}

TEST(IniDocument, NewKeysGoAfterTheLastKeyOfTheirSection) {
  IniDocument d = IniDocument::Parse("[a]\r\nx=1\r\n\r\n[b]\r\ny=2");
  d.Set(L"a", L"new", L"v");
  d.Set(L"b", L"z", L"3");
  d.Set(L"c", L"w", L"");
  EXPECT_EQ(d.Serialize(), "[a]\r\nx=1\r\nnew=v\r\n\r\n[b]\r\ny=2\r\nz=3\r\n[c]\r\nw=\r\n");
  IniDocument empty;
  empty.Set(L"General", L"PageNum", L"1");
  EXPECT_EQ(empty.Serialize(), "[General]\r\nPageNum=1\r\n");
}

// A key taken out leaves every other line as it was; a key added and taken out again gives
// the bytes back, and later lookups in the section still find the keys after it.
TEST(IniDocument, RemovingAKeyTakesOutItsLineAlone) {
  const std::string before = "[a]\r\nx=1\r\ny=\x95\x5C\r\nz=3\r\n[b]\r\nx=4";
  IniDocument d = IniDocument::Parse(before);
  EXPECT_TRUE(d.Remove(L" A ", L"X"));
  EXPECT_EQ(d.Serialize(), "[a]\r\ny=\x95\x5C\r\nz=3\r\n[b]\r\nx=4");
  EXPECT_EQ(Get(d, L"a", L"z"), L"3");
  EXPECT_EQ(Get(d, L"a", L"x"), L"<absent>");
  EXPECT_EQ(Get(d, L"b", L"x"), L"4") << "the same key of another section";
  EXPECT_FALSE(d.Remove(L"a", L"x")) << "already gone";
  EXPECT_FALSE(d.Remove(L"none", L"x"));

  IniDocument added = IniDocument::Parse(before);
  added.Set(L"a", L"new", L"v");
  EXPECT_TRUE(added.Remove(L"a", L"new"));
  EXPECT_EQ(added.Serialize(), before);
}

TEST(IniDocument, AValueCannotInjectLines) {
  IniDocument d;
  d.Set(L"s", L"k", L"a\r\n[evil]\r\nx=1");
  d.Set(L"s", L"nul", std::wstring(L"ab\0cd", 5));
  IniDocument back = IniDocument::Parse(d.Serialize());
  EXPECT_EQ(Get(back, L"s", L"k"), L"a  [evil]  x=1");
  EXPECT_EQ(Get(back, L"evil", L"x"), L"<absent>");
  EXPECT_EQ(Get(back, L"s", L"nul"), L"ab");
}

TEST(IniDocument, ValuesOutsideTheCodePageTurnTheFileToUnicode) {
  const std::string before = "[Page1]\r\nName=\x95\x5C\r\nBtnFP1=C:\\a.exe\r\n";
  IniDocument d = IniDocument::Parse(before);
  d.Set(L"Page1", L"BtnFP2", L"C:\\café\\한.exe");
  EXPECT_EQ(d.encoding(), IniDocument::Encoding::Utf16Le);
  std::string bytes = d.Serialize();
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  IniDocument back = IniDocument::Parse(bytes);
  EXPECT_EQ(Get(back, L"page1", L"BtnFP2"), L"C:\\café\\한.exe");
  EXPECT_EQ(Get(back, L"page1", L"Name"), L"表");
  EXPECT_EQ(Get(back, L"page1", L"BtnFP1"), L"C:\\a.exe");
  // Once Unicode, the file stays Unicode and keeps taking any text.
  back.Set(L"Page1", L"BtnName2", L"한");
  EXPECT_EQ(Get(IniDocument::Parse(back.Serialize()), L"Page1", L"BtnName2"), L"한");
}

TEST(IniDocument, TextThatFitsTheCodePageStaysAnsi) {
  IniDocument d;
  d.Set(L"Page1", L"FontName", L"ＭＳ Ｐゴシック");
  d.Set(L"Page1", L"Name", L"表示ソフト");
  EXPECT_EQ(d.encoding(), IniDocument::Encoding::Ansi);
  EXPECT_EQ(d.Serialize(),
            "[Page1]\r\nFontName=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
            "Name=\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67\r\n");
}

TEST(IniDocument, Utf16FilesAreReadAndKept) {
  std::string bytes = "\xFF\xFE" + WideToUtf16Le(L"[s]\r\nk=한\r\n");
  IniDocument d = IniDocument::Parse(bytes);
  EXPECT_EQ(Get(d, L"s", L"k"), L"한");
  EXPECT_EQ(d.Serialize(), bytes);
  d.Set(L"s", L"j", L"x");
  EXPECT_EQ(d.Serialize(), "\xFF\xFE" + WideToUtf16Le(L"[s]\r\nk=한\r\nj=x\r\n"));
}

TEST(IniDocument, BrokenHeadersAndOddLinesKeepOtherKeys) {
  const std::string before = "[ok]\r\na=1\r\n[no end\r\nb=2\r\n\0\x01\xFF\r\n"s;
  IniDocument d = IniDocument::Parse(before);
  EXPECT_EQ(Get(d, L"ok", L"a"), L"1");
  EXPECT_EQ(Get(d, L"ok", L"b"), L"2") << "a header without ']' is a key line of the section before";
  d.Set(L"ok", L"c", L"3");
  IniDocument back = IniDocument::Parse(d.Serialize());
  EXPECT_EQ(Get(back, L"ok", L"a"), L"1");
  EXPECT_EQ(Get(back, L"ok", L"b"), L"2");
  EXPECT_EQ(Get(back, L"ok", L"c"), L"3");
  EXPECT_NE(d.Serialize().find("\0\x01\xFF\r\n"s), std::string::npos);
}

// A carriage return ends a line only when no line feed follows it in the file: a line
// feed added after such lines would join them into one.
TEST(IniDocument, LinesAddedAfterLoneCarriageReturnsKeepThemApart) {
  for (const std::string& file : {"[a]\nx=1\n[b]\ry=2\rz=3"s, "[b]\ry=2\rz=3\r"s,
                                  "[b]\ry=2\rz=\x81"s /* a lead byte at the very end */}) {
    IniDocument d = IniDocument::Parse(file);
    ASSERT_TRUE(d.Set(L"b", L"w", L"4"));
    ASSERT_TRUE(d.Set(L"c", L"v", L"5"));
    IniDocument back = IniDocument::Parse(d.Serialize());
    EXPECT_EQ(Get(back, L"b", L"y"), L"2") << d.Serialize();
    EXPECT_EQ(Get(back, L"b", L"z"), Get(IniDocument::Parse(file), L"b", L"z"));
    EXPECT_EQ(Get(back, L"b", L"w"), L"4");
    EXPECT_EQ(Get(back, L"c", L"v"), L"5");
    EXPECT_EQ(d.Serialize().substr(0, file.size()), file) << "the lines there keep their bytes";
  }
}

// In the ANSI code page a lead byte takes a line end after it as its second byte; turned
// to UTF-16 that line end would end the line, so it becomes a blank.
TEST(IniDocument, TurningToUnicodeKeepsLinesThatALeadByteCarriesOverABreak) {
  const std::string files[] = {
      "[s]\r\nk=\x81\nv\r\n",             // a line feed inside a value
      "[s]\r\nk=1\r\n[t]\rm=\x9A\r",      // a carriage return with no line feed after it
      "[a\x81\nb]\r\nk=2\r\n",            // a line feed inside a section name
  };
  for (const std::string& file : files) {
    IniDocument d = IniDocument::Parse(file);
    std::vector<std::wstring> sections = d.SectionNames();
    ASSERT_TRUE(d.Set(L"s", L"u", L"é✓"));
    ASSERT_EQ(d.encoding(), IniDocument::Encoding::Utf16Le);
    IniDocument back = IniDocument::Parse(d.Serialize());
    EXPECT_EQ(back.SectionNames(), d.SectionNames());
    EXPECT_EQ(d.SectionNames().size(), sections.size() + (d.Get(L"s", L"k") ? 0 : 1));
    for (const std::wstring& s : d.SectionNames())
      for (const wchar_t* k : {L"k", L"v", L"m", L"u"}) EXPECT_EQ(back.Get(s, k), d.Get(s, k));
  }
  IniDocument d = IniDocument::Parse(files[0]);
  d.Set(L"s", L"u", L"é✓");
  // The converters differ on the broken pair: Windows' takes the line feed into its "・",
  // the portable one leaves it to become a blank. Either way the line stays one.
  const std::wstring k = Get(d, L"s", L"k");
  ASSERT_FALSE(k.empty());
  EXPECT_EQ(k.front(), L'\u30FB') << WideToUtf8(k);
  EXPECT_EQ(k.back(), L'v') << WideToUtf8(k);
  EXPECT_EQ(k.find_first_of(L"\r\n"), std::wstring::npos);
}

// A name that does not read back as written ("]" ends a section name, "=" a key name) is
// found by what it reads as, in the document as in the file it writes.
TEST(IniDocument, NamesAnswerAsTheFileReadsThem) {
  IniDocument d = IniDocument::Parse("[s]\r\nx=0\r\n");
  ASSERT_TRUE(d.Set(L"a]b", L"k", L"1"));
  ASSERT_TRUE(d.Set(L"s", L"k=v", L"2"));
  IniDocument back = IniDocument::Parse(d.Serialize());
  for (const IniDocument* doc : {&d, &back}) {
    EXPECT_EQ(Get(*doc, L"a", L"k"), L"1");
    EXPECT_EQ(Get(*doc, L"a]b", L"k"), L"<absent>");
    EXPECT_EQ(Get(*doc, L"s", L"k"), L"v=2");
    EXPECT_EQ(Get(*doc, L"s", L"k=v"), L"<absent>");
    EXPECT_EQ(doc->SectionNames(), (std::vector<std::wstring>{L"s", L"a"}));
  }
}

// A launcher of 20 pages of 100 buttons holds its settings in memory the whole time it
// runs, and rewrites them on every save. (The sanitizer build counts the heap.)
#if defined(__SANITIZE_ADDRESS__)
TEST(IniDocument, ManyButtonsTakeLittleMoreHeapThanTheirFile) {
  std::string file;
  for (int p = 1; p <= 20; ++p) {
    file += "[Page" + std::to_string(p) + "]\r\nLive=1\r\nName=\x83\x79\x81\x5B\x83\x57\r\n";
    for (int b = 1; b <= 100; ++b) {
      std::string n = std::to_string(b);
      file += "BtnFP" + n + "=C:\\windows\\system32\\notepad.exe\r\nBtnName" + n +
              "=\x83\x63\x81\x5B\x83\x8B" + n + "\r\nWD" + n + "=C:\\windows\r\n";
    }
  }
  auto heap = [] { return __sanitizer_get_current_allocated_bytes(); };
  const std::size_t before = heap();
  IniDocument d = IniDocument::Parse(file);
  // A start reads the first keys of every page, and the section of the page it shows:
  // the other pages' buttons cost their bytes alone.
  for (int p = 1; p <= 20; ++p) EXPECT_EQ(Get(d, L"Page" + std::to_wstring(p), L"Name"), L"ページ");
  EXPECT_LE(heap() - before, file.size() + file.size() / 4);
  EXPECT_EQ(Get(d, L"Page20", L"BtnName100"), L"ツール100");
  EXPECT_LE(heap() - before, file.size() + file.size() / 4);
  for (int p = 1; p <= 20; ++p) EXPECT_EQ(Get(d, L"Page" + std::to_wstring(p), L"WD100"), L"C:\\windows");
  EXPECT_LE(heap() - before, 5 * file.size());
  EXPECT_EQ(Get(d, L"page7", L"btnfp3"), L"C:\\windows\\system32\\notepad.exe");

  auto saveAll = [&](const std::wstring& tag) {
    for (int p = 1; p <= 20; ++p)
      for (int b = 1; b <= 100; ++b)
        d.Set(L"Page" + std::to_wstring(p), L"BtnName" + std::to_wstring(b), tag + std::to_wstring(b));
  };
  saveAll(L"道具A");
  const std::size_t firstSave = heap();
  saveAll(L"道具B");
  saveAll(L"道具C");
  EXPECT_LE(heap(), firstSave + file.size() / 20) << "a rewritten line reuses its own text";

  ASSERT_EQ(d.encoding(), IniDocument::Encoding::Ansi);
  const std::string saved = d.Serialize();
  IniDocument back = IniDocument::Parse(saved);
  for (int p : {1, 13, 20})
    for (int b : {1, 57, 100}) {
      std::wstring page = L"Page" + std::to_wstring(p), n = std::to_wstring(b);
      EXPECT_EQ(Get(back, page, L"BtnName" + n), L"道具C" + n);
      EXPECT_EQ(Get(back, page, L"WD" + n), L"C:\\windows");
    }
  EXPECT_EQ(Get(back, L"Page20", L"Name"), L"ページ");
  EXPECT_EQ(saved.size() + 20 * 100, file.size()) << "each name one byte shorter, nothing else";
}
#endif

}  // namespace
}  // namespace vl
