// One settings file held in memory as its lines, read and edited the way the platform's
// profile-string functions read and edit such a file.
//
// Untouched lines keep their bytes exactly, so that saving after one change rewrites
// only that line's text; a file in the ANSI code page stays byte for byte what it was.
// When a written value does not fit the ANSI code page, the document turns to UTF-16LE
// with a byte-order mark (which the platform's profile functions read as Unicode)
// instead of storing "?" in place of the characters.
//
// Lookups go through hash indexes built once per parse: reading or writing one key costs
// the same whatever the size of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vl {

class IniDocument {
 public:
  enum class Encoding { Ansi, Utf8, Utf16Le };

  IniDocument() = default;

  // Reads a file's bytes; never fails: what does not parse as a section or a key is kept
  // as it is and written back unchanged.
  static IniDocument Parse(std::string_view bytes);
  std::string Serialize() const;

  // The raw value of the first matching key in the first matching section (names match
  // without regard to letter case and surrounding blanks): blanks around it removed and
  // one pair of matching surrounding quotes stripped. Nothing when absent, and nothing
  // for a key line without "=".
  std::optional<std::wstring> Get(std::wstring_view section, std::wstring_view key) const;

  // Writes key=value, creating the key or the section when missing. Line breaks in the
  // value become blanks and a NUL ends it, so a value can never inject lines. Returns
  // whether the document changed.
  bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  // The names of the file's sections, in file order, each once (the first of sections
  // that differ only in letter case or surrounding blanks, the one that Get reads).
  std::vector<std::wstring> SectionNames() const;

  Encoding encoding() const { return encoding_; }

 private:
  enum class Kind : std::uint8_t { Blank, Header, Entry };
  struct Line {
    std::wstring text;  // without its line end
    std::string raw;    // the bytes read, line end included, while the line is untouched
    std::wstring eol;   // L"\r\n", L"\n", L"\r", or empty for a last line without one
    Kind kind = Kind::Blank;
    bool touched = false;
    std::uint32_t nameBegin = 0, nameEnd = 0;  // the section or key name within text
    std::uint32_t valueBegin = 0, valueEnd = 0;
    bool hasValue = false;  // an entry line with "="
  };
  struct Section {
    std::vector<Line> lines;  // lines[0] is the header, except in the part before any header
    std::unordered_map<std::wstring, std::size_t> keys;  // folded key name -> first line
  };

  static Line MakeLine(std::wstring text, std::wstring eol, std::string raw);
  static std::wstring LineEndAfter(const Line* before);
  const Line* LineBefore(std::size_t section, std::size_t line) const;
  void EnsureLineEnd(std::size_t section, std::size_t line);
  void AddLine(Line line);
  Section& AppendSection(std::wstring_view name);
  void SwitchToUnicode();
  void Reindex();
  bool TrySerializeAnsi(std::string& out) const;

  std::vector<Section> sections_;
  std::unordered_map<std::wstring, std::size_t> sectionIndex_;  // folded name -> first section
  Encoding encoding_ = Encoding::Ansi;
};

// Name matching without regard to letter case, as the profile functions do it.
std::wstring FoldIniName(std::wstring_view name);
bool IsIniBlank(wchar_t c);

}  // namespace vl
