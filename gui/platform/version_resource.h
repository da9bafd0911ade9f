// The version resource of the running program: the one place its version is written
// (res/app.rc), read where the program shows it.
#pragma once

#include <string>
#include <string_view>

namespace vl {

// A string of the version resource's first language block ("ProductVersion",
// "FileDescription"); empty when the program has no version resource or no such string.
std::wstring VersionString(std::wstring_view name);

}  // namespace vl
