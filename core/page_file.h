// A page on its own: the section of one page of the settings file, kept as a small
// settings file of its own so that the page can be given to another launcher.
//
// A page file holds one section, "[Page]", and under it the key lines of the page's
// section as the settings file held them, in its order: the name, the grid, the font and
// every button's keys. It is written in the settings file's encoding. Read back, a file
// counts as a page when its first section (whatever its name, so that a section cut out
// of a settings file by hand reads too) holds one of the keys only a page holds: "Name",
// "Yoko", "Tate" or a button's target "BtnFP<n>". A file larger than kMaxPageFileBytes,
// or with a NUL in its text, is no page: a page of 1,600 buttons with long paths stays
// far below that.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_document.h"
#include "core/ini_file.h"
#include "core/path_text.h"

namespace vl {

inline constexpr wchar_t kPageFileSection[] = L"Page";
inline constexpr std::uint64_t kMaxPageFileBytes = 16u << 20;

// The bytes of a page file of `lines`: its header and one "name=value" line each, with CR
// LF, in `encoding`. ANSI text that the code page cannot hold turns to UTF-16LE with its
// byte-order mark, as the settings file does. Line breaks in a value become blanks and a
// NUL ends it, as a write of the value would have it.
std::string FormatPageFile(const std::vector<IniKeyLine>& lines, IniDocument::Encoding encoding);

// The key lines of the first section of a page file's bytes, in file order; nothing when
// the bytes are not a page file.
std::optional<std::vector<IniKeyLine>> ParsePageFile(std::string_view bytes);

struct PageFileRead {
  enum class Status { Page, Unreadable, NotAPage };
  Status status = Status::Unreadable;
  std::vector<IniKeyLine> lines;  // of a page
};
// Reads the page file at `path`: Unreadable when it is missing or cannot be read, NotAPage
// when it is larger than maxBytes (never read whole then) or not a page.
PageFileRead ReadPageFile(const PathString& path, std::uint64_t maxBytes = kMaxPageFileBytes);

// The name a page's file is offered under: the page's name with the characters a file
// name cannot hold replaced by "_", and ".ini".
std::wstring PageFileNameFor(std::wstring_view pageName);

// Adds the page of `lines` to the settings file as a new page, in one write of the file:
// its number is the next past `pageNum` and past the file's "PageNum" and page sections;
// "PageNum" is raised to it; the lines are written key by key in their order, each key
// once (the first of a name, the one a read sees); "Live" is set to 1. Returns the
// number, or nothing when no number is left (nothing written). Raises the write error
// when the file cannot be read or written; nothing is written then.
std::optional<std::int32_t> AddPageToFile(TIniFile& ini, std::int32_t pageNum, const std::vector<IniKeyLine>& lines);

}  // namespace vl
