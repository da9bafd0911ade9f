#include "core/ini_document.h"

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

bool AllAscii(std::wstring_view s) {
  for (wchar_t c : s)
    if (static_cast<std::uint32_t>(c) >= 0x80) return false;
  return true;
}

// Splits a file into lines as the profile functions do: a line ends at the next line
// feed, or at the next carriage return when no line feed follows; a CR before an LF
// belongs to the line end. In the ANSI code page a lead byte takes the byte after it as
// its pair whatever that byte is, a line feed included, because the platform decodes
// the file before it splits it. Calls onLine(begin, contentEnd, next) for each line.
template <class View, class OnLine>
void SplitLines(View s, bool pairedLeadBytes, OnLine onLine) {
  using Char = typename View::value_type;
  auto find = [&](Char c, std::size_t from) {
    if (!pairedLeadBytes) return s.find(c, from);
    for (std::size_t i = from; i < s.size(); ++i) {
      if (s[i] == c) return i;
      if (IsAnsiLeadByte(static_cast<unsigned char>(s[i]))) ++i;
    }
    return View::npos;
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
    onLine(pos, end, next);
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

IniDocument::Line IniDocument::MakeLine(std::wstring text, std::wstring eol, std::string raw) {
  Line line;
  line.text = std::move(text);
  line.eol = std::move(eol);
  line.raw = std::move(raw);
  const std::wstring& t = line.text;
  std::size_t b = 0, e = t.size();
  while (b < e && IsIniBlank(t[b])) ++b;
  while (e > b && IsIniBlank(t[e - 1])) --e;
  if (b == e) return line;
  if (t[b] == L'[') {
    std::size_t close = t.find(L']', b + 1);
    if (close < e) {
      std::size_t nb = b + 1, ne = close;
      while (nb < ne && IsIniBlank(t[nb])) ++nb;
      while (ne > nb && IsIniBlank(t[ne - 1])) --ne;
      line.kind = Kind::Header;
      line.nameBegin = static_cast<std::uint32_t>(nb);
      line.nameEnd = static_cast<std::uint32_t>(ne);
      return line;
    }
    // A header without "]" is read as a key line, as the profile functions read it.
  }
  line.kind = Kind::Entry;
  std::size_t eq = t.find(L'=', b);
  std::size_t nameEnd = eq < e ? eq : e;
  if (eq < e) {
    std::size_t vb = eq + 1;
    while (vb < e && IsIniBlank(t[vb])) ++vb;
    line.hasValue = true;
    line.valueBegin = static_cast<std::uint32_t>(vb);
    line.valueEnd = static_cast<std::uint32_t>(e);
  }
  while (nameEnd > b && IsIniBlank(t[nameEnd - 1])) --nameEnd;
  line.nameBegin = static_cast<std::uint32_t>(b);
  line.nameEnd = static_cast<std::uint32_t>(nameEnd);
  return line;
}

void IniDocument::AddLine(Line line) {
  if (sections_.empty()) sections_.emplace_back();  // the part before any header
  std::wstring_view name(line.text.data() + line.nameBegin, line.nameEnd - line.nameBegin);
  if (line.kind == Kind::Header) {
    sectionIndex_.try_emplace(FoldIniName(name), sections_.size());
    sections_.emplace_back();
  } else if (line.kind == Kind::Entry) {
    Section& s = sections_.back();
    if (sections_.size() == 1 && s.keys.empty()) sectionIndex_.try_emplace(std::wstring(), 0);
    s.keys.try_emplace(FoldIniName(name), s.lines.size());
  }
  sections_.back().lines.push_back(std::move(line));
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  doc.sections_.emplace_back();
  if (bytes.substr(0, 2) == kUtf16Bom) {
    doc.encoding_ = Encoding::Utf16Le;
    std::wstring text = Utf16LeToWide(bytes.substr(2));
    std::wstring_view view(text);
    SplitLines(view, false, [&](std::size_t pos, std::size_t end, std::size_t next) {
      Line line = MakeLine(std::wstring(view.substr(pos, end - pos)),
                           std::wstring(view.substr(end, next - end)), {});
      line.touched = true;  // always written anew from its text
      doc.AddLine(std::move(line));
    });
    return doc;
  }
  bool utf8 = bytes.substr(0, 3) == kUtf8Bom;
  if (utf8) {
    doc.encoding_ = Encoding::Utf8;
    bytes.remove_prefix(3);
  }
  SplitLines(bytes, !utf8, [&](std::size_t pos, std::size_t end, std::size_t next) {
    std::string_view content = bytes.substr(pos, end - pos);
    std::wstring eol(bytes.begin() + static_cast<std::ptrdiff_t>(end),
                     bytes.begin() + static_cast<std::ptrdiff_t>(next));
    doc.AddLine(MakeLine(utf8 ? Utf8ToWide(content) : AnsiToWide(content), std::move(eol),
                         std::string(bytes.substr(pos, next - pos))));
  });
  return doc;
}

bool IniDocument::TrySerializeAnsi(std::string& out) const {
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      if (!line.touched) {
        out += line.raw;
        continue;
      }
      auto bytes = WideToAnsi(line.text + line.eol);
      if (!bytes) return false;
      out += *bytes;
    }
  }
  return true;
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (encoding_ == Encoding::Ansi && TrySerializeAnsi(out)) return out;
  out.clear();
  bool utf16 = encoding_ != Encoding::Utf8;
  out += utf16 ? kUtf16Bom : kUtf8Bom;
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      if (!line.touched && !utf16) {
        out += line.raw;
        continue;
      }
      std::wstring text = line.text + line.eol;
      out += utf16 ? WideToUtf16Le(text) : WideToUtf8(text);
    }
  }
  return out;
}

std::vector<std::wstring> IniDocument::SectionNames() const {
  std::vector<std::wstring> names;
  // sections_[0] is the part before the first header.
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    const Line& header = sections_[i].lines.front();
    std::wstring name = header.text.substr(header.nameBegin, header.nameEnd - header.nameBegin);
    auto first = sectionIndex_.find(FoldIniName(name));
    if (first != sectionIndex_.end() && first->second == i) names.push_back(std::move(name));
  }
  return names;
}

std::optional<std::wstring> IniDocument::Get(std::wstring_view section,
                                             std::wstring_view key) const {
  section = Trim(section);
  key = Trim(key);
  if (section.empty()) return std::nullopt;  // the platform reads no section without a name
  auto s = sectionIndex_.find(FoldIniName(section));
  if (s == sectionIndex_.end()) return std::nullopt;
  const Section& sec = sections_[s->second];
  auto k = sec.keys.find(FoldIniName(key));
  if (k == sec.keys.end()) return std::nullopt;
  const Line& line = sec.lines[k->second];
  // A line without "=" names a key that has no value; it reads as absent.
  if (!line.hasValue) return std::nullopt;
  std::wstring_view v(line.text.data() + line.valueBegin, line.valueEnd - line.valueBegin);
  if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  std::size_t nul = v.find(L'\0');
  return std::wstring(v.substr(0, nul));
}

void IniDocument::SwitchToUnicode() {
  encoding_ = Encoding::Utf16Le;
  // In the ANSI code page a lead byte takes a line end after it as its second byte, so a
  // line's text can hold a line feed, or a carriage return with no line feed after it.
  // Written as UTF-16 they would end the line there; they become blanks, which is what a
  // value gets for a line break anyway, and the blank is one width like the break.
  bool lineFeedAfter = false, renamed = false;
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    for (auto line = s->lines.rbegin(); line != s->lines.rend(); ++line) {
      lineFeedAfter = lineFeedAfter || line->eol.find(L'\n') != std::wstring::npos;
      for (wchar_t& c : line->text) {
        if (c == L'\n' || (c == L'\r' && !lineFeedAfter)) {
          c = L' ';
          renamed = true;
        }
      }
      line->touched = true;
      std::string().swap(line->raw);
    }
  }
  if (renamed) Reindex();
}

void IniDocument::Reindex() {
  sectionIndex_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    Section& sec = sections_[i];
    sec.keys.clear();
    for (std::size_t j = 0; j < sec.lines.size(); ++j) {
      const Line& line = sec.lines[j];
      std::wstring name =
          FoldIniName(std::wstring_view(line.text).substr(line.nameBegin, line.nameEnd - line.nameBegin));
      if (line.kind == Kind::Header) {
        sectionIndex_.try_emplace(std::move(name), i);
      } else if (line.kind == Kind::Entry) {
        if (i == 0 && sec.keys.empty()) sectionIndex_.try_emplace(std::wstring(), 0);
        sec.keys.try_emplace(std::move(name), j);
      }
    }
  }
}

// A line feed added after lines that end in a lone carriage return would join them into
// one line (a carriage return ends a line only when no line feed follows), so a line
// added there ends the way they do.
std::wstring IniDocument::LineEndAfter(const Line* before) {
  return before && before->eol == L"\r" ? L"\r" : L"\r\n";
}

const IniDocument::Line* IniDocument::LineBefore(std::size_t section, std::size_t line) const {
  for (;;) {
    if (line > 0) return &sections_[section].lines[line - 1];
    if (section == 0) return nullptr;
    line = sections_[--section].lines.size();
  }
}

void IniDocument::EnsureLineEnd(std::size_t section, std::size_t index) {
  Line& line = sections_[section].lines[index];
  if (!line.eol.empty()) return;
  line.eol = LineEndAfter(LineBefore(section, index));
  if (line.touched) return;
  // A lead byte left at the end of the file would take a carriage return as its second
  // byte; a blank completes the half character instead, and a read trims it.
  if (line.eol == L"\r" && encoding_ == Encoding::Ansi && EndsInLeadByte(line.raw)) line.raw += ' ';
  line.raw += line.eol == L"\r" ? "\r" : "\r\n";
}

IniDocument::Section& IniDocument::AppendSection(std::wstring_view name) {
  // The last line of the file may lack its line end; the new section starts on a line
  // of its own.
  const Line* last = nullptr;
  for (std::size_t s = sections_.size(); s-- > 0;) {
    if (sections_[s].lines.empty()) continue;
    EnsureLineEnd(s, sections_[s].lines.size() - 1);
    last = &sections_[s].lines.back();
    break;
  }
  std::wstring eol = LineEndAfter(last);
  sectionIndex_.try_emplace(FoldIniName(name), sections_.size());
  Section& sec = sections_.emplace_back();
  Line header = MakeLine(L"[" + std::wstring(name) + L"]", std::move(eol), {});
  header.touched = true;
  sec.lines.push_back(std::move(header));
  return sec;
}

bool IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  section = Trim(section);
  key = Trim(key);
  std::wstring clean(value.substr(0, value.find(L'\0')));
  for (wchar_t& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';

  std::wstring text = std::wstring(key) + L"=" + clean;
  if (encoding_ == Encoding::Ansi &&
      !(AllAscii(text) && AllAscii(section)) &&
      !(WideToAnsi(text) && WideToAnsi(section)))
    SwitchToUnicode();

  auto s = sectionIndex_.find(FoldIniName(section));
  Section& sec = s == sectionIndex_.end() ? AppendSection(section) : sections_[s->second];
  std::wstring folded = FoldIniName(key);
  auto k = sec.keys.find(folded);
  if (k != sec.keys.end()) {
    Line& line = sec.lines[k->second];
    std::wstring_view old(line.text.data() + line.valueBegin, line.valueEnd - line.valueBegin);
    if (line.hasValue && old == clean) return false;
    // The key keeps the spelling it has in the file.
    std::wstring name = line.text.substr(line.nameBegin, line.nameEnd - line.nameBegin);
    Line updated = MakeLine(name + L"=" + clean, line.eol, {});
    updated.touched = true;
    line = std::move(updated);
    return true;
  }
  std::size_t pos = sec.lines.size();
  while (pos > 0 && sec.lines[pos - 1].kind == Kind::Blank) --pos;
  const std::size_t secIndex = static_cast<std::size_t>(&sec - sections_.data());
  if (pos > 0) EnsureLineEnd(secIndex, pos - 1);
  Line line = MakeLine(std::move(text), LineEndAfter(LineBefore(secIndex, pos)), {});
  line.touched = true;
  if (&sec == &sections_.front() && sec.keys.empty()) sectionIndex_.try_emplace(std::wstring(), 0);
  sec.keys.emplace(std::move(folded), pos);
  sec.lines.insert(sec.lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
  return true;
}

}  // namespace vl
