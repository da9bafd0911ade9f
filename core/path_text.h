// Paths as text, taken apart without std::filesystem, whose conversions bring the C++
// library's locale machinery into the program (most of its size).
#pragma once

#include <string>
#include <string_view>

namespace vl {

// A path as the platform's file functions take it: UTF-16 on Windows, bytes elsewhere.
#ifdef _WIN32
using PathString = std::wstring;
#else
using PathString = std::string;
#endif

// The path as a message shows it.
std::wstring PathText(const PathString& path);

// The last element of a path: what follows its last separator.
PathString FileNameOf(const PathString& path);

// The path with its file name's extension (from the last dot on) replaced by `extension`
// (ASCII, with its dot), or `extension` added when the name has none. A name's leading dot starts no extension
// (".config"), nor do "." and "..", and a dot in a folder's name is not the file's.
PathString ReplaceExtension(const PathString& path, std::string_view extension);

}  // namespace vl
