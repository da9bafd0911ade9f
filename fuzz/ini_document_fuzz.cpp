// Fuzz target for the settings file: the one input of the program that anyone can edit.
// The input is the file's bytes; the bytes at its end also choose a few writes (which
// keys, which values), so that the corpus can be plain settings files.
//
// Checked on every input:
//  - parsing, reading every key, writing and serializing neither crash nor trip a
//    sanitizer;
//  - a file nothing was written to serializes to its own bytes (a UTF-16 file less an odd
//    last byte, half a character);
//  - after writes, every line that does not hold a written key is still there, byte for
//    byte in a file that stays in its encoding, character for character in one that turned
//    to UTF-16;
//  - a written value reads back as written, after the documented rules: a line break
//    becomes a blank, a NUL ends the value, and a read takes off surrounding blanks and one
//    pair of matching quotes;
//  - a second parse of the output gives the same sections and the same value for every
//    key, and serializes to the same bytes;
//  - a value that reads as an integer or a colour writes back to the same integer or colour.
// Build and run: fuzz/run.sh ini_document (see there).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_document.h"
#include "core/ini_values.h"
#include "core/text_codec.h"

namespace {

using vl::IniDocument;

// Names the invariant that broke; VL_FUZZ_TRACE=1 also shows the writes of the input.
#define Check(ok) CheckAt(ok, #ok, __LINE__)
void CheckAt(bool ok, const char* what, int line) {
  if (ok) return;
  std::fprintf(stderr, "ini_document_fuzz.cpp:%d: %s\n", line, what);
  std::abort();
}

const bool kTrace = std::getenv("VL_FUZZ_TRACE") != nullptr;

void Trace(const char* what, std::wstring_view text) {
  if (!kTrace) return;
  std::string shown;
  for (wchar_t c : text) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "\\x%X", static_cast<unsigned>(c));
    shown += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  std::fprintf(stderr, "%s [%s]\n", what, shown.c_str());
}

// Enough names to reach every part of a small file without making each run quadratic.
constexpr std::size_t kMaxNames = 12;

// Where a line may end: at a line feed, and after the last line feed also at a carriage
// return. Pieces cut there are never wider than a line of the file (a line may span several
// pieces, joined by a lead byte before a break; see MarkPieces), so a line that was not
// rewritten is whole pieces in the output too.
template <class Str>
std::vector<Str> Pieces(const Str& s) {
  using Char = typename Str::value_type;
  std::vector<Str> out;
  std::size_t lastLf = s.rfind(Char('\n'));
  std::size_t begin = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    bool cr = s[i] == Char('\r') && (lastLf == Str::npos || i > lastLf) &&
              !(i + 1 < s.size() && s[i + 1] == Char('\n'));
    if (s[i] == Char('\n') || cr) {
      out.push_back(s.substr(begin, i + 1 - begin));
      begin = i + 1;
    }
  }
  if (begin < s.size()) out.push_back(s.substr(begin));
  return out;
}

// The text of the file as the document decodes it, without its byte-order mark.
std::wstring Decode(std::string_view bytes, IniDocument::Encoding e) {
  switch (e) {
    case IniDocument::Encoding::Utf16Le: return vl::Utf16LeToWide(bytes.substr(2));
    case IniDocument::Encoding::Utf8: return vl::Utf8ToWide(bytes.substr(3));
    case IniDocument::Encoding::Ansi: break;
  }
  return vl::AnsiToWide(bytes);
}

std::wstring Trim(std::wstring_view s) {
  while (!s.empty() && vl::IsIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && vl::IsIniBlank(s.back())) s.remove_suffix(1);
  return std::wstring(s);
}

// What a read gives back for a written value.
std::wstring ReadBack(std::wstring_view written) {
  std::wstring v(written.substr(0, written.find(L'\0')));
  std::replace(v.begin(), v.end(), L'\r', L' ');
  std::replace(v.begin(), v.end(), L'\n', L' ');
  v = Trim(v);
  if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

void AddName(std::vector<std::wstring>& names, std::wstring name) {
  if (names.size() < kMaxNames && std::find(names.begin(), names.end(), name) == names.end())
    names.push_back(std::move(name));
}

// Key names as they appear in the text: what stands before "=" on each piece.
std::vector<std::wstring> KeyNamesIn(const std::wstring& text) {
  std::vector<std::wstring> names;
  for (const std::wstring& piece : Pieces(text)) {
    std::wstring name = Trim(std::wstring_view(piece).substr(0, piece.find(L'=')));
    AddName(names, std::move(name));
  }
  return names;
}

// The pieces of the input, each with whether a write may have changed it: a piece that
// names a written key, together with the pieces a lead byte before a break may join it to
// in one line. `carried` marks a piece whose break, or the break before it, a lead byte
// may have taken as its second byte.
template <class Str>
struct Piece {
  Str text;
  bool changed = false;
  bool carried = false;
};

template <class Str>
std::vector<Piece<Str>> MarkPieces(const Str& text, const std::vector<std::wstring>& written,
                                   bool ansi, auto decode) {
  std::vector<Piece<Str>> out;
  std::vector<std::size_t> runStart;
  bool carryIn = false;
  for (Str& p : Pieces(text)) {
    std::wstring folded = vl::FoldIniName(decode(p));
    bool names = false;
    for (const std::wstring& w : written) names = names || folded.find(w) != std::wstring::npos;
    bool carries = ansi && p.size() >= 2 && (p.back() == '\n' || p.back() == '\r') &&
                   static_cast<unsigned char>(p[p.size() - 2]) >= 0x81;
    runStart.push_back(carryIn ? runStart.back() : out.size());
    out.push_back({std::move(p), names, carries || carryIn});
    carryIn = carries;
  }
  // Spread the mark over each run of joined pieces.
  for (std::size_t i = 0; i < out.size(); ++i)
    if (out[i].changed) out[runStart[i]].changed = true;
  for (std::size_t i = 0; i < out.size(); ++i)
    if (out[runStart[i]].changed) out[i].changed = true;
  return out;
}

// Every other piece of the input is in the output, in order; the last piece may have
// gained a line end (and, after a lead byte, a blank) when a line was added after it.
template <class Str>
void CheckKept(const std::vector<Piece<Str>>& in, const Str& out) {
  using Char = typename Str::value_type;
  std::vector<Str> got = Pieces(out);
  std::size_t j = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    // Where a lead byte may have taken a break, the output may split the line otherwise.
    if (in[i].changed || in[i].carried) continue;
    const Str& want = in[i].text;
    bool last = i + 1 == in.size();
    auto same = [&](const Str& g) {
      if (g == want) return true;
      if (!last || g.size() <= want.size() || g.compare(0, want.size(), want) != 0) return false;
      Str end = g.substr(want.size());
      return end == Str{Char('\r')} || end == Str{Char('\r'), Char('\n')} ||
             end == Str{Char(' '), Char('\r')};
    };
    while (j < got.size() && !same(got[j])) ++j;
    Check(j < got.size());
    ++j;
  }
}

void CheckValues(const std::wstring& v) {
  if (auto n = vl::ParseInteger(v)) Check(vl::ParseInteger(vl::FormatInteger(*n)) == n);
  if (auto c = vl::StringToColor(v)) Check(vl::StringToColor(vl::ColorToString(*c)) == c);
}

struct Write {
  std::wstring section, key, value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  IniDocument doc = IniDocument::Parse(input);
  const IniDocument::Encoding inEncoding = doc.encoding();

  // Every section, every key the text shows, and the program's own names.
  std::vector<std::wstring> sections = doc.SectionNames();
  if (sections.size() > kMaxNames) sections.resize(kMaxNames);
  std::vector<std::wstring> keys = KeyNamesIn(Decode(input, inEncoding));
  for (const wchar_t* k : {L"PageNum", L"Btn0_0", L"Caption", L"キー"}) AddName(keys, k);
  for (const wchar_t* s : {L"General", L"Page1", L"ページ"}) AddName(sections, s);
  for (const std::wstring& s : sections)
    for (const std::wstring& k : keys)
      if (auto v = doc.Get(s, k)) CheckValues(*v);

  // A few writes, chosen by the bytes at the end of the input.
  FuzzedDataProvider pick(data, size);
  std::vector<Write> writes;
  const int count = pick.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    Write w;
    w.section = pick.ConsumeBool() ? pick.PickValueInArray<std::wstring_view>(
                                         {L"General", L"Page1", L"ページ", L"Ünïcödé ✓"})
                                   : sections[pick.ConsumeIntegralInRange<std::size_t>(0, sections.size() - 1)];
    w.key = keys[pick.ConsumeIntegralInRange<std::size_t>(0, keys.size() - 1)];
    switch (pick.ConsumeIntegralInRange(0, 3)) {
      case 0: w.value = vl::FormatInteger(pick.ConsumeIntegral<std::int32_t>()); break;
      case 1: w.value = vl::ColorToString(pick.ConsumeIntegral<std::uint32_t>()); break;
      default: w.value = vl::Utf8ToWide(pick.ConsumeRandomLengthString(64)); break;
    }
    // The program writes its own names only: none that starts a header, none blank, none
    // with a line break.
    if (w.key.empty() || w.key.front() == L'[' || Trim(w.section).empty() ||
        (w.key + w.section).find_first_of(L"\r\n") != std::wstring::npos)
      continue;
    writes.push_back(std::move(w));
  }

  std::vector<std::wstring> changed;  // folded names of the keys a write changed
  for (const Write& w : writes) {
    Trace("section", w.section);
    Trace("key", w.key);
    Trace("value", w.value);
    if (doc.Set(w.section, w.key, w.value)) changed.push_back(vl::FoldIniName(Trim(w.key)));
    Check(doc.Get(w.section, w.key) == ReadBack(w.value));
    AddName(sections, w.section);
  }
  // The last write to a key is the one that stays.
  for (auto w = writes.rbegin(); w != writes.rend(); ++w) {
    bool later = false;
    for (auto v = writes.rbegin(); v != w; ++v)
      later = later || (vl::FoldIniName(Trim(v->section)) == vl::FoldIniName(Trim(w->section)) &&
                        vl::FoldIniName(Trim(v->key)) == vl::FoldIniName(Trim(w->key)));
    if (!later) Check(doc.Get(w->section, w->key) == ReadBack(w->value));
  }

  const std::string out = doc.Serialize();
  Trace("out", vl::Utf8ToWide(out));
  const IniDocument::Encoding outEncoding = doc.encoding();
  if (changed.empty()) {
    std::string same = input;
    if (inEncoding == IniDocument::Encoding::Utf16Le) same.resize(2 + (same.size() - 2) / 2 * 2);
    Check(out == same);
  }

  auto same = [](const std::wstring& p) { return p; };
  if (outEncoding == inEncoding && inEncoding != IniDocument::Encoding::Utf16Le) {
    std::size_t bom = inEncoding == IniDocument::Encoding::Utf8 ? 3 : 0;
    Check(out.compare(0, bom, input, 0, bom) == 0);
    auto decode = [&](const std::string& piece) {
      return inEncoding == IniDocument::Encoding::Utf8 ? vl::Utf8ToWide(piece) : vl::AnsiToWide(piece);
    };
    CheckKept(MarkPieces(input.substr(bom), changed, inEncoding == IniDocument::Encoding::Ansi, decode),
              out.substr(bom));
  } else if (inEncoding == IniDocument::Encoding::Utf16Le) {
    Check(outEncoding == inEncoding);
    CheckKept(MarkPieces(Decode(input, inEncoding), changed, false, same), Decode(out, outEncoding));
  } else {
    // An ANSI file turned to UTF-16, decoded piece by piece: a lead byte and a line end
    // after it make no character, so each piece has the text its bytes had in their line.
    // A line that a lead byte carried over a line end turns that end into a blank.
    Check(inEncoding == IniDocument::Encoding::Ansi && outEncoding == IniDocument::Encoding::Utf16Le);
    Check(out.compare(0, 2, "\xFF\xFE") == 0);
    std::vector<Piece<std::wstring>> in;
    for (Piece<std::string>& p : MarkPieces(input, changed, true, [](const std::string& b) { return vl::AnsiToWide(b); }))
      in.push_back({vl::AnsiToWide(p.text), p.changed || p.carried, p.carried});
    CheckKept(in, Decode(out, outEncoding));
  }

  // The output read again answers as the document did.
  IniDocument again = IniDocument::Parse(out);
  Check(again.encoding() == outEncoding);
  Check(again.SectionNames() == doc.SectionNames());
  for (const std::wstring& s : sections)
    for (const std::wstring& k : keys) Check(again.Get(s, k) == doc.Get(s, k));
  Check(again.Serialize() == out);
  return 0;
}
