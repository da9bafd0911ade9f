#include "core/ini_document.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

#include "core/text_codec.h"

namespace vl {
namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

wchar_t FoldChar(wchar_t c) {
  if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) ||  // Latin-1 capitals
      (c >= 0x391 && c <= 0x3AB) ||              // Greek capitals
      (c >= 0x410 && c <= 0x42F))                // Cyrillic capitals
    return static_cast<wchar_t>(c + 32);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 32);  // full-width Latin
  return c;
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

template <class View>
bool AllAscii(View s) {
  for (auto c : s)
    if (static_cast<std::make_unsigned_t<decltype(c)>>(c) >= 0x80) return false;
  return true;
}

// A character of a line's text, which is bytes for a line of ASCII characters.
wchar_t Unit(char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); }
wchar_t Unit(wchar_t c) { return c; }

template <class View>
std::wstring Widen(View s) {
  std::wstring out(s.size(), L'\0');
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = Unit(s[i]);
  return out;
}

template <class View>
bool SameText(View a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Unit(a[i]) != b[i]) return false;
  return true;
}

// FNV-1a over the folded characters, so that names that match hash alike.
template <class View>
std::uint32_t NameHash(View name) {
  std::uint32_t h = 2166136261u;
  for (auto c : name) {
    h = (h ^ static_cast<std::uint32_t>(FoldChar(Unit(c)))) * 16777619u;
  }
  return h;
}

template <class View>
View Slice(View text, std::uint32_t begin, std::uint32_t end) {
  return text.substr(begin, end - begin);
}

template <class View>
bool NameMatches(View name, std::wstring_view folded) {
  if (name.size() != folded.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (FoldChar(Unit(name[i])) != folded[i]) return false;
  return true;
}

// A key's value as a read gives it: one pair of matching surrounding quotes stripped, cut
// at a NUL.
template <class View>
std::wstring ValueRead(View v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  return Widen(v.substr(0, v.find('\0')));
}

// Whether the line may be a section header: its first character that is not blank is "[".
template <class View>
bool MayBeHeader(View line) {
  std::size_t b = 0;
  while (b < line.size() && IsIniBlank(Unit(line[b]))) ++b;
  return b < line.size() && line[b] == '[';
}

// The lead bytes of the ANSI code page, asked of the platform once: the split below looks
// at every byte of a file of megabytes.
const std::array<bool, 256>& LeadBytes() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> t{};
    for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = IsAnsiLeadByte(static_cast<unsigned char>(b));
    return t;
  }();
  return table;
}

// Splits a file into lines as the profile functions do: a line ends at the next line
// feed, or at the next carriage return when no line feed follows; a CR before an LF
// belongs to the line end. In the ANSI code page a lead byte takes the byte after it as
// its pair whatever that byte is, a line feed included, because the platform decodes
// the file before it splits it. Calls onLine(begin, contentEnd, next) for each line, and
// stops when it returns false. A part of a file that starts and ends at line starts
// splits as it does within the whole file.
template <class View, class OnLine>
void SplitLines(View s, bool pairedLeadBytes, OnLine onLine) {
  using Char = typename View::value_type;
  const std::array<bool, 256>& lead = LeadBytes();
  auto find = [&](Char c, std::size_t from) {
    std::size_t hit = s.find(c, from);
    if (!pairedLeadBytes) return hit;
    // Walked by characters up to the hit, runs of ASCII eight bytes at a time: it counts
    // unless a lead byte took it.
    for (std::size_t i = from;;) {
      if (hit == View::npos) return hit;
      while (i < hit) {
        if constexpr (sizeof(Char) == 1) {
          std::uint64_t eight;
          if (hit - i >= sizeof eight) {
            std::memcpy(&eight, s.data() + i, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
              i += sizeof eight;
              continue;
            }
          }
        }
        i += lead[static_cast<unsigned char>(s[i])] ? 2 : 1;
      }
      if (i == hit) return hit;
      hit = s.find(c, i);
    }
  };
  bool noMoreLineFeeds = false;  // once none is left, never scan for one again
  std::size_t pos = 0;
  while (pos < s.size()) {
    std::size_t brk = noMoreLineFeeds ? View::npos : find(Char('\n'), pos);
    if (brk == View::npos) {
      noMoreLineFeeds = true;
      brk = find(Char('\r'), pos);
    }
    std::size_t next = brk == View::npos ? s.size() : brk + 1;
    std::size_t end = brk;
    if (brk == View::npos) {
      end = s.size();
    } else if (s[brk] == Char('\n') && brk > pos && s[brk - 1] == Char('\r')) {
      end = brk - 1;
    }
    if (!onLine(pos, end, next)) return;
    pos = next;
  }
}

// Whether the bytes end in the first byte of a two-byte character of the ANSI code page.
bool EndsInLeadByte(std::string_view bytes) {
  bool lead = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    lead = IsAnsiLeadByte(static_cast<unsigned char>(bytes[i]));
    if (lead && i + 1 < bytes.size()) {
      ++i;
      lead = false;
    }
  }
  return lead;
}

}  // namespace

bool IsIniBlank(wchar_t c) {
  // ASCII white space and the DOS end-of-file mark; an ideographic space is part of a name.
  return c == L' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

std::wstring FoldIniName(std::wstring_view name) {
  std::wstring out(name);
  for (wchar_t& c : out) c = FoldChar(c);
  return out;
}

void IniDocument::NameIndex::Sort() {
  std::sort(entries_.begin(), entries_.end());
  entries_.shrink_to_fit();
}

void IniDocument::NameIndex::Insert(std::uint32_t hash, std::size_t at) {
  Entry e{hash, static_cast<std::uint32_t>(at)};
  entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), e), e);
}

template <class Match>
std::optional<std::size_t> IniDocument::NameIndex::Find(std::uint32_t hash, Match match) const {
  auto e = std::lower_bound(entries_.begin(), entries_.end(), Entry{hash, 0});
  for (; e != entries_.end() && e->hash == hash; ++e)
    if (match(e->at)) return e->at;
  return std::nullopt;
}

template <class F>
decltype(auto) IniDocument::WithText(const Line& line, F&& f) const {
  switch (line.store) {
    case Store::Bytes: return f(std::string_view(bytes_).substr(line.textAt, line.textSize));
    case Store::Wide: return f(std::wstring_view(wide_).substr(line.textAt, line.textSize));
    case Store::Own: break;
  }
  return f(std::wstring_view(owned_[line.textAt]));
}

template <class View>
void IniDocument::Classify(Line& line, View t) {
  using Char = typename View::value_type;
  line.textSize = static_cast<std::uint32_t>(t.size());
  auto blank = [](Char c) { return IsIniBlank(Unit(c)); };
  std::size_t b = 0, e = t.size();
  while (b < e && blank(t[b])) ++b;
  while (e > b && blank(t[e - 1])) --e;
  if (b == e) return;
  if (t[b] == Char('[')) {
    std::size_t close = t.find(Char(']'), b + 1);
    if (close < e) {
      std::size_t nb = b + 1, ne = close;
      while (nb < ne && blank(t[nb])) ++nb;
      while (ne > nb && blank(t[ne - 1])) --ne;
      line.kind = Kind::Header;
      line.nameBegin = static_cast<std::uint32_t>(nb);
      line.nameEnd = static_cast<std::uint32_t>(ne);
      return;
    }
    // A header without "]" is read as a key line, as the profile functions read it.
  }
  line.kind = Kind::Entry;
  std::size_t eq = t.find(Char('='), b);
  std::size_t nameEnd = eq < e ? eq : e;
  if (eq < e) {
    std::size_t vb = eq + 1;
    while (vb < e && blank(t[vb])) ++vb;
    line.hasValue = true;
    line.valueBegin = static_cast<std::uint32_t>(vb);
    line.valueEnd = static_cast<std::uint32_t>(e);
  }
  while (nameEnd > b && blank(t[nameEnd - 1])) --nameEnd;
  line.nameBegin = static_cast<std::uint32_t>(b);
  line.nameEnd = static_cast<std::uint32_t>(nameEnd);
}

IniDocument::Line IniDocument::NewLine(std::wstring text, Eol eol) {
  Line line;
  line.store = Store::Own;
  line.textAt = owned_.size();
  line.eol = eol;
  line.touched = true;
  Classify(line, std::wstring_view(text));
  owned_.push_back(std::move(text));
  return line;
}

// The line keeps its line end; its text, now its own, replaces what it read.
void IniDocument::Rewrite(Line& line, std::wstring text) {
  Line updated;
  updated.store = Store::Own;
  updated.eol = line.eol;
  updated.touched = true;
  Classify(updated, std::wstring_view(text));
  if (line.store == Store::Own) {
    updated.textAt = line.textAt;
    owned_[line.textAt] = std::move(text);
  } else {
    updated.textAt = owned_.size();
    owned_.push_back(std::move(text));
  }
  line = updated;
}

bool IniDocument::NameIs(const Line& line, std::wstring_view folded) const {
  return WithText(line, [&](auto text) { return NameMatches(Slice(text, line.nameBegin, line.nameEnd), folded); });
}

std::optional<std::size_t> IniDocument::FindSection(std::wstring_view folded) const {
  return sectionIndex_.Find(NameHash(folded), [&](std::size_t at) {
    return at == 0 ? folded.empty() : NameIs(sections_[at].lines.front(), folded);
  });
}

std::optional<std::size_t> IniDocument::FindKey(const Section& sec, std::wstring_view folded) const {
  return sec.keys.Find(NameHash(folded), [&](std::size_t at) { return NameIs(sec.lines[at], folded); });
}

std::uint32_t IniDocument::NameHashOf(const Line& line) const {
  return WithText(line, [&](auto text) { return NameHash(Slice(text, line.nameBegin, line.nameEnd)); });
}

void IniDocument::IndexKeys(Section& sec) const {
  sec.keys.clear();
  // A key written with "[...]" for a name reads as a header; it starts no section until
  // the file is read again, and is no key either.
  for (std::size_t j = 0; j < sec.lines.size(); ++j)
    if (sec.lines[j].kind == Kind::Entry) sec.keys.Append(NameHashOf(sec.lines[j]), j);
  sec.keys.Sort();
}

void IniDocument::Reindex() {
  sectionIndex_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    Section& sec = sections_[i];
    if (!sec.lines.empty() && sec.lines.front().kind == Kind::Header)
      sectionIndex_.Append(NameHashOf(sec.lines.front()), i);
    if (i == 0 && std::any_of(sec.lines.begin(), sec.lines.end(), [](const Line& l) { return l.kind == Kind::Entry; }))
      sectionIndex_.Append(NameHash(std::wstring_view()), 0);
    if (sec.parsed) IndexKeys(sec);
  }
  sectionIndex_.Sort();
}

template <class F>
decltype(auto) IniDocument::WithTextAt(std::size_t pos, std::size_t end, F&& f) const {
  if (read_ == Encoding::Utf16Le) return f(std::wstring_view(wide_).substr(pos, end - pos));
  std::string_view content = std::string_view(bytes_).substr(pos, end - pos);
  if (AllAscii(content)) return f(content);
  const std::wstring text = read_ == Encoding::Utf8 ? Utf8ToWide(content) : AnsiToWide(content);
  return f(std::wstring_view(text));
}

template <class OnLine>
void IniDocument::EachLine(std::size_t from, std::size_t to, OnLine onLine) const {
  auto shifted = [&](std::size_t pos, std::size_t end, std::size_t next) {
    return onLine(from + pos, from + end, from + next);
  };
  if (read_ == Encoding::Utf16Le)
    SplitLines(std::wstring_view(wide_).substr(from, to - from), false, shifted);
  else
    SplitLines(std::string_view(bytes_).substr(from, to - from), read_ == Encoding::Ansi, shifted);
}

IniDocument::Line IniDocument::ReadLine(std::size_t pos, std::size_t end, std::size_t next) const {
  Line line;
  switch (next - end) {
    case 0: line.eol = Eol::None; break;
    case 2: line.eol = Eol::CrLf; break;
    default:
      line.eol = (read_ == Encoding::Utf16Le ? wide_[end] == L'\n' : bytes_[end] == '\n') ? Eol::Lf : Eol::Cr;
      break;
  }
  if (read_ == Encoding::Utf16Le) {
    line.store = Store::Wide;
    line.textAt = pos;
    line.touched = true;  // always written anew from its text
    Classify(line, std::wstring_view(wide_).substr(pos, end - pos));
    return line;
  }
  std::string_view content = std::string_view(bytes_).substr(pos, end - pos);
  line.rawAt = pos;
  line.rawSize = static_cast<std::uint32_t>(next - pos);
  if (AllAscii(content)) {
    line.store = Store::Bytes;
    line.textAt = pos;
    Classify(line, content);
  } else {
    line.store = Store::Wide;
    line.textAt = wide_.size();
    wide_ += read_ == Encoding::Utf8 ? Utf8ToWide(content) : AnsiToWide(content);
    Classify(line, std::wstring_view(wide_).substr(line.textAt));
  }
  return line;
}

void IniDocument::SplitSections() {
  const std::size_t size = read_ == Encoding::Utf16Le ? wide_.size() : bytes_.size();
  sections_.assign(1, Section{});
  sections_[0].parsed = false;
  EachLine(0, size, [&](std::size_t pos, std::size_t end, std::size_t next) {
    // Told by its units, undecoded: a blank or "[" is never part of a wider character.
    const bool candidate = read_ == Encoding::Utf16Le ? MayBeHeader(std::wstring_view(wide_).substr(pos, end - pos))
                                                      : MayBeHeader(std::string_view(bytes_).substr(pos, end - pos));
    if (!candidate) return true;
    Line line = ReadLine(pos, end, next);
    if (line.kind != Kind::Header) return true;
    sections_.back().restEnd = pos;
    Section& sec = sections_.emplace_back();
    sec.lines.push_back(line);
    sec.parsed = false;
    sec.restAt = next;
    return true;
  });
  sections_.back().restEnd = size;
  ParseSection(0);  // the part before any header is asked for whenever a section is
}

void IniDocument::ParseSection(std::size_t section) const {
  Section& sec = sections_[section];
  if (sec.parsed) return;
  sec.parsed = true;
  EachLine(sec.restAt, sec.restEnd, [&](std::size_t pos, std::size_t end, std::size_t next) {
    sec.lines.push_back(ReadLine(pos, end, next));
    return true;
  });
  sec.lines.shrink_to_fit();
  IndexKeys(sec);
}

void IniDocument::ParseAll() const {
  for (std::size_t i = 0; i < sections_.size(); ++i) ParseSection(i);
}

// The first lines of a section not parsed yet, looked at where they stand: the value of
// the key (nothing for a key line without "="), or nothing when the section, whole, holds
// no such key; no answer when the key is not among the lines looked at, and the section
// goes on.
std::optional<std::optional<std::wstring>> IniDocument::PeekKey(const Section& sec, std::wstring_view folded) const {
  // A page's header: the keys a start reads of every page come first in its section.
  constexpr int kPeekLines = 16;
  int seen = 0;
  std::optional<std::optional<std::wstring>> found;
  EachLine(sec.restAt, sec.restEnd, [&](std::size_t pos, std::size_t end, std::size_t) {
    if (++seen > kPeekLines) return false;
    WithTextAt(pos, end, [&](auto text) {
      Line line;
      Classify(line, text);
      if (line.kind != Kind::Entry || !NameMatches(Slice(text, line.nameBegin, line.nameEnd), folded)) return;
      found.emplace();
      if (line.hasValue) *found = ValueRead(Slice(text, line.valueBegin, line.valueEnd));
    });
    return !found;
  });
  if (!found && seen <= kPeekLines) found.emplace();
  return found;
}

IniDocument IniDocument::Parse(std::string bytes) {
  IniDocument doc;
  if (bytes.starts_with(kUtf16Bom)) {
    doc.encoding_ = Encoding::Utf16Le;
    doc.wide_ = Utf16LeToWide(std::string_view(bytes).substr(2));
  } else {
    if (bytes.starts_with(kUtf8Bom)) {
      doc.encoding_ = Encoding::Utf8;
      bytes.erase(0, kUtf8Bom.size());
    }
    doc.bytes_ = std::move(bytes);  // a file of megabytes is held once
  }
  doc.read_ = doc.encoding_;
  doc.SplitSections();
  doc.Reindex();
  return doc;
}

std::string IniDocument::RawOf(const Line& line) const {
  std::string raw(std::string_view(bytes_).substr(line.rawAt, line.rawSize));
  if (line.padBlank) raw += ' ';
  if (line.eolAdded) raw += line.eol == Eol::Cr ? "\r" : "\r\n";
  return raw;
}

std::wstring_view IniDocument::EolText(Eol eol) {
  switch (eol) {
    case Eol::CrLf: return L"\r\n";
    case Eol::Lf: return L"\n";
    case Eol::Cr: return L"\r";
    case Eol::None: break;
  }
  return {};
}

bool IniDocument::TrySerializeAnsi(std::string& out) const {
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      if (!line.touched) {
        out += RawOf(line);
        continue;
      }
      auto bytes = WithText(line, [&](auto text) {
        return WideToAnsi(Widen(text) + std::wstring(EolText(line.eol)));
      });
      if (!bytes) return false;
      out += *bytes;
    }
    if (!s.parsed) out.append(bytes_, s.restAt, s.restEnd - s.restAt);
  }
  return true;
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (encoding_ == Encoding::Ansi && TrySerializeAnsi(out)) return out;
  out.clear();
  bool utf16 = encoding_ != Encoding::Utf8;
  // A part not parsed is written as read, which needs it in the encoding written.
  if (utf16 != (read_ == Encoding::Utf16Le)) ParseAll();
  out += utf16 ? kUtf16Bom : kUtf8Bom;
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      if (!line.touched && !utf16) {
        out += RawOf(line);
        continue;
      }
      std::wstring text = WithText(line, [](auto t) { return Widen(t); });
      text += EolText(line.eol);
      out += utf16 ? WideToUtf16Le(text) : WideToUtf8(text);
    }
    if (s.parsed) continue;
    if (utf16)
      out += WideToUtf16Le(std::wstring_view(wide_).substr(s.restAt, s.restEnd - s.restAt));
    else
      out.append(bytes_, s.restAt, s.restEnd - s.restAt);
  }
  return out;
}

std::vector<std::wstring> IniDocument::SectionNames() const {
  std::vector<std::wstring> names;
  // sections_[0] is the part before the first header.
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    const Line& header = sections_[i].lines.front();
    std::wstring name =
        WithText(header, [&](auto text) { return Widen(Slice(text, header.nameBegin, header.nameEnd)); });
    if (FindSection(FoldIniName(name)) == i) names.push_back(std::move(name));
  }
  return names;
}

std::vector<IniKeyLine> IniDocument::SectionLines(std::wstring_view section) const {
  section = Trim(section);
  std::vector<IniKeyLine> lines;
  if (section.empty()) return lines;
  auto s = FindSection(FoldIniName(section));
  if (!s) return lines;
  ParseSection(*s);
  for (const Line& line : sections_[*s].lines) {
    if (line.kind != Kind::Entry || !line.hasValue) continue;
    WithText(line, [&](auto text) {
      lines.push_back({Widen(Slice(text, line.nameBegin, line.nameEnd)), Widen(Slice(text, line.valueBegin, line.valueEnd))});
    });
  }
  return lines;
}

std::optional<std::wstring> IniDocument::Get(std::wstring_view section,
                                             std::wstring_view key) const {
  section = Trim(section);
  key = Trim(key);
  if (section.empty()) return std::nullopt;  // the platform reads no section without a name
  auto s = FindSection(FoldIniName(section));
  if (!s) return std::nullopt;
  const std::wstring folded = FoldIniName(key);
  if (!sections_[*s].parsed) {
    if (auto peeked = PeekKey(sections_[*s], folded)) return *peeked;
    ParseSection(*s);
  }
  const Section& sec = sections_[*s];
  auto k = FindKey(sec, folded);
  if (!k) return std::nullopt;
  const Line& line = sec.lines[*k];
  // A line without "=" names a key that has no value; it reads as absent.
  if (!line.hasValue) return std::nullopt;
  return WithText(line, [&](auto text) { return ValueRead(Slice(text, line.valueBegin, line.valueEnd)); });
}

void IniDocument::SwitchToUnicode() {
  ParseAll();  // every line is looked at, and written anew
  encoding_ = Encoding::Utf16Le;
  // In the ANSI code page a lead byte takes a line end after it as its second byte, so a
  // line's text can hold a line feed, or a carriage return with no line feed after it.
  // Written as UTF-16 they would end the line there; they become blanks, which is what a
  // value gets for a line break anyway, and the blank is one width like the break.
  bool lineFeedAfter = false, renamed = false;
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    for (auto line = s->lines.rbegin(); line != s->lines.rend(); ++line) {
      lineFeedAfter = lineFeedAfter || line->eol == Eol::CrLf || line->eol == Eol::Lf;
      auto breaksAt = [&](auto text) {
        for (std::size_t i = 0; i < text.size(); ++i)
          if (text[i] == '\n' || (text[i] == '\r' && !lineFeedAfter)) return i;
        return std::wstring::npos;
      };
      if (WithText(*line, breaksAt) != std::wstring::npos) {
        std::wstring text = WithText(*line, [](auto t) { return Widen(t); });
        for (wchar_t& c : text)
          if (c == L'\n' || (c == L'\r' && !lineFeedAfter)) c = L' ';
        Rewrite(*line, std::move(text));
        renamed = true;
      }
      line->touched = true;
    }
  }
  if (renamed) Reindex();
}

// A line feed added after lines that end in a lone carriage return would join them into
// one line (a carriage return ends a line only when no line feed follows), so a line
// added there ends the way they do.
IniDocument::Eol IniDocument::LineEndAfter(const Line* before) {
  return before && before->eol == Eol::Cr ? Eol::Cr : Eol::CrLf;
}

const IniDocument::Line* IniDocument::LineBefore(std::size_t section, std::size_t line) const {
  for (;;) {
    if (line > 0) return &sections_[section].lines[line - 1];
    if (section == 0) return nullptr;
    ParseSection(--section);
    line = sections_[section].lines.size();
  }
}

void IniDocument::EnsureLineEnd(std::size_t section, std::size_t index) {
  Line& line = sections_[section].lines[index];
  if (line.eol != Eol::None) return;
  line.eol = LineEndAfter(LineBefore(section, index));
  if (line.touched) return;
  line.eolAdded = true;
  // A lead byte left at the end of the file would take a carriage return as its second
  // byte; a blank completes the half character instead, and a read trims it.
  line.padBlank = line.eol == Eol::Cr && encoding_ == Encoding::Ansi &&
                  EndsInLeadByte(std::string_view(bytes_).substr(line.rawAt, line.rawSize));
}

bool IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  section = Trim(section);
  key = Trim(key);
  std::wstring clean(value.substr(0, value.find(L'\0')));
  for (wchar_t& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';

  std::wstring text = std::wstring(key) + L"=" + clean;
  if (encoding_ == Encoding::Ansi &&
      !(AllAscii(std::wstring_view(text)) && AllAscii(section)) &&
      !(WideToAnsi(text) && WideToAnsi(section)))
    SwitchToUnicode();

  const std::wstring foldedSection = FoldIniName(section);
  std::optional<std::size_t> s = FindSection(foldedSection);
  if (!s) {
    // The last line of the file may lack its line end; the new section starts on a line
    // of its own.
    const Line* last = nullptr;
    for (std::size_t i = sections_.size(); i-- > 0;) {
      ParseSection(i);
      if (sections_[i].lines.empty()) continue;
      EnsureLineEnd(i, sections_[i].lines.size() - 1);
      last = &sections_[i].lines.back();
      break;
    }
    // Indexed under the name it reads as, which a name with "]" in it is not: the
    // document answers as the file it writes will when read again.
    Line header = NewLine(L"[" + std::wstring(section) + L"]", LineEndAfter(last));
    s = sections_.size();
    sectionIndex_.Insert(NameHashOf(header), *s);
    sections_.emplace_back().lines.push_back(header);
  }
  ParseSection(*s);
  Section& sec = sections_[*s];
  const std::wstring folded = FoldIniName(key);
  if (auto k = FindKey(sec, folded)) {
    Line& line = sec.lines[*k];
    std::wstring name;
    bool same = WithText(line, [&](auto t) {
      name = Widen(Slice(t, line.nameBegin, line.nameEnd));
      return line.hasValue && SameText(Slice(t, line.valueBegin, line.valueEnd), clean);
    });
    if (same) return false;
    // The key keeps the spelling it has in the file.
    Rewrite(line, name + L"=" + clean);
    return true;
  }
  std::size_t pos = sec.lines.size();
  while (pos > 0 && sec.lines[pos - 1].kind == Kind::Blank) --pos;
  if (pos > 0) EnsureLineEnd(*s, pos - 1);
  Line line = NewLine(std::move(text), LineEndAfter(LineBefore(*s, pos)));
  // Only blank lines follow pos, and blank lines are in no index. As for a section, the
  // key is indexed under the name it reads as (a key with "=" in it reads as less).
  if (line.kind == Kind::Entry) sec.keys.Insert(NameHashOf(line), pos);
  sec.lines.insert(sec.lines.begin() + static_cast<std::ptrdiff_t>(pos), line);
  return true;
}

bool IniDocument::Remove(std::wstring_view section, std::wstring_view key) {
  std::optional<std::size_t> s = FindSection(FoldIniName(Trim(section)));
  if (!s) return false;
  ParseSection(*s);
  Section& sec = sections_[*s];
  std::optional<std::size_t> k = FindKey(sec, FoldIniName(Trim(key)));
  if (!k) return false;
  sec.lines.erase(sec.lines.begin() + static_cast<std::ptrdiff_t>(*k));
  IndexKeys(sec);  // the lines after it moved up one
  return true;
}

}  // namespace vl
