// One settings file held in memory as its lines, read and edited the way the platform's
// profile-string functions read and edit such a file.
//
// Untouched lines keep their bytes exactly, so that saving after one change rewrites
// only that line's text; a file in the ANSI code page stays byte for byte what it was.
// When a written value does not fit the ANSI code page, the document turns to UTF-16LE
// with a byte-order mark (which the platform's profile functions read as Unicode)
// instead of storing "?" in place of the characters.
//
// A launcher with thousands of buttons holds a file of a few megabytes, so the document
// keeps that file's bytes once and each line as a few numbers into them: a line of ASCII
// characters is read from those bytes as its text too, and only other lines and the lines
// written since have UTF-16 text of their own. Lookups go through sorted indexes of name
// hashes: reading one key costs a binary search whatever the size of the file.
//
// A launcher of 40 pages reads a page's section whole only when the page is built, yet
// reads the first keys of every page at start. So a parse splits the file into lines
// once and keeps, per section, only its header and where its other lines lie; a section's
// lines are parsed and indexed when a read goes past its first lines, or a write reaches
// it. Until then a read of its first lines looks at them where they stand. A const
// document may so parse more of itself: what it answers stays the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// A key line of a section as the file holds it: its name and its value with the blanks
// around them removed, quotes and all. Written back with Set, it makes the same line.
struct IniKeyLine {
  std::wstring name, value;
  bool operator==(const IniKeyLine&) const = default;
};

class IniDocument {
 public:
  enum class Encoding { Ansi, Utf8, Utf16Le };

  IniDocument() = default;

  // Reads a file's bytes; never fails: what does not parse as a section or a key is kept
  // as it is and written back unchanged.
  static IniDocument Parse(std::string bytes);
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
  // Takes the line of the first matching key out of the first matching section, as the
  // profile functions do for a null value; the other lines keep their bytes. Returns
  // whether the document changed.
  bool Remove(std::wstring_view section, std::wstring_view key);

  // The names of the file's sections, in file order, each once (the first of sections
  // that differ only in letter case or surrounding blanks, the one that Get reads).
  std::vector<std::wstring> SectionNames() const;
  // The key lines with "=" of the section that Get reads, in file order, a key named twice
  // included; none when there is no such section.
  std::vector<IniKeyLine> SectionLines(std::wstring_view section) const;

  Encoding encoding() const { return encoding_; }

 private:
  enum class Kind : std::uint8_t { Blank, Header, Entry };
  // Where a line's text is: in bytes_ (ASCII only, one byte a character), in wide_ (the
  // rest of the file as read), or in owned_ (a line written since).
  enum class Store : std::uint8_t { Bytes, Wide, Own };
  enum class Eol : std::uint8_t { None, CrLf, Lf, Cr };
  struct Line {
    std::size_t textAt = 0;  // offset in bytes_ or wide_, or index in owned_
    std::size_t rawAt = 0;   // the bytes read, in bytes_, while the line is untouched
    std::uint32_t textSize = 0, rawSize = 0;  // text without its line end; raw with it
    std::uint32_t nameBegin = 0, nameEnd = 0;  // the section or key name within text
    std::uint32_t valueBegin = 0, valueEnd = 0;
    Kind kind = Kind::Blank;
    Store store = Store::Own;
    Eol eol = Eol::None;
    bool touched : 1 = false;
    bool hasValue : 1 = false;  // an entry line with "="
    // A line end added to an untouched last line, after its raw bytes and, when they end in
    // half a character, a blank.
    bool eolAdded : 1 = false;
    bool padBlank : 1 = false;
  };
  // Folded names to the first line (or section) of that name: the hash of each name with
  // its position, sorted so that among equal hashes the earlier position comes first. A
  // hash match is confirmed against the name in the line's text.
  class NameIndex {
   public:
    void Append(std::uint32_t hash, std::size_t at) {
      entries_.push_back({hash, static_cast<std::uint32_t>(at)});
    }
    void Sort();  // after Append, before any lookup
    void Insert(std::uint32_t hash, std::size_t at);
    template <class Match>
    std::optional<std::size_t> Find(std::uint32_t hash, Match match) const;
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

   private:
    struct Entry {
      std::uint32_t hash, at;
      bool operator<(const Entry& o) const { return hash != o.hash ? hash < o.hash : at < o.at; }
    };
    std::vector<Entry> entries_;
  };
  struct Section {
    std::vector<Line> lines;  // lines[0] is the header, except in the part before any header
    NameIndex keys;           // once parsed
    // Until parsed, lines holds the header alone and the other lines are the range
    // [restAt, restEnd) of the file's text (bytes_, or wide_ for a UTF-16 file).
    bool parsed = true;
    std::size_t restAt = 0, restEnd = 0;
  };

  template <class F>
  decltype(auto) WithText(const Line& line, F&& f) const;
  template <class OnLine>
  void EachLine(std::size_t from, std::size_t to, OnLine onLine) const;
  template <class F>
  decltype(auto) WithTextAt(std::size_t pos, std::size_t end, F&& f) const;
  Line ReadLine(std::size_t pos, std::size_t end, std::size_t next) const;
  void SplitSections();
  void ParseSection(std::size_t section) const;
  void ParseAll() const;
  std::optional<std::optional<std::wstring>> PeekKey(const Section& sec, std::wstring_view folded) const;
  void IndexKeys(Section& sec) const;
  template <class View>
  static void Classify(Line& line, View text);
  Line NewLine(std::wstring text, Eol eol);
  void Rewrite(Line& line, std::wstring text);
  std::uint32_t NameHashOf(const Line& line) const;
  bool NameIs(const Line& line, std::wstring_view folded) const;
  std::optional<std::size_t> FindSection(std::wstring_view folded) const;
  std::optional<std::size_t> FindKey(const Section& sec, std::wstring_view folded) const;
  std::string RawOf(const Line& line) const;
  static std::wstring_view EolText(Eol eol);
  static Eol LineEndAfter(const Line* before);
  const Line* LineBefore(std::size_t section, std::size_t line) const;
  void EnsureLineEnd(std::size_t section, std::size_t line);
  void Reindex();
  void SwitchToUnicode();
  bool TrySerializeAnsi(std::string& out) const;

  std::string bytes_;   // the file as read, less its byte-order mark
  // The text of lines that are not ASCII, parsed so far, or of a whole UTF-16 file.
  mutable std::wstring wide_;
  Encoding read_ = Encoding::Ansi;  // as read; a UTF-16 file's text is wide_, bytes_ empty
  std::vector<std::wstring> owned_;
  mutable std::vector<Section> sections_ = std::vector<Section>(1);  // [0]: the part before any header
  NameIndex sectionIndex_;  // section 0, before any header, is "" once it holds a key
  Encoding encoding_ = Encoding::Ansi;
};

// Name matching without regard to letter case, as the profile functions do it.
std::wstring FoldIniName(std::wstring_view name);
bool IsIniBlank(wchar_t c);

}  // namespace vl
