// CheckShellLink: whether the bytes of a shortcut (.lnk) file hold together as the
// published Shell Link Binary File Format lays them out, before any parser of the platform
// walks them: every size and offset the file declares must stay inside the file (and
// inside the structure that declares it), every string of the link info must end inside
// it. A file that fails is not handed to the shell; the button then binds the shortcut
// file itself. The header fields we use come with the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vl {

// The link flags of the header that say which parts follow it.
enum ShellLinkFlag : std::uint32_t {
  kHasIdList = 0x01,
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasRelativePath = 0x08,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};

struct ShellLinkHeader {
  std::uint32_t linkFlags = 0;
  std::uint32_t fileAttributes = 0;  // the target's, when the shortcut was made
  std::int32_t showCommand = 0;
};

// The header when the whole file holds together, else nothing.
std::optional<ShellLinkHeader> CheckShellLink(std::string_view bytes);

}  // namespace vl
