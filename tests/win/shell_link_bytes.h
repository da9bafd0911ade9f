// Shortcut files built byte by byte after the published shell-link format (MS-SHLLINK), so
// that a test can break them where it likes: the 76-byte header, then, as its flags say,
// the target's item list, the LinkInfo block and the counted strings.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/shell_link_format.h"

namespace vl::test {


inline void PutU16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

inline void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

inline void PutGuid(std::string& out, const GUID& g) {
  out.append(reinterpret_cast<const char*>(&g), sizeof g);
}

inline std::string LinkHeader(std::uint32_t flags, std::uint32_t headerSize = 0x4C) {
  std::string h;
  PutU32(h, headerSize);
  PutGuid(h, CLSID_ShellLink);
  PutU32(h, flags);
  PutU32(h, FILE_ATTRIBUTE_NORMAL);
  h.append(3 * 8, '\0');  // creation, access and write times
  PutU32(h, 0);           // file size
  PutU32(h, 0);           // icon index
  PutU32(h, SW_SHOWNORMAL);
  PutU16(h, 0);           // hot key
  h.append(2 + 4 + 4, '\0');
  return h;
}

// The item list of `path` as the shell makes it, after its 16-bit size; empty when the
// shell makes none.
inline std::string IdListOf(const std::wstring& path) {
  PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str());
  if (!list) return {};
  UINT size = ILGetSize(list);  // the terminal zero included
  std::string out;
  PutU16(out, static_cast<std::uint16_t>(size));
  out.append(reinterpret_cast<const char*>(list), size);
  ILFree(list);
  return out;
}

// "Computer" alone: a shell item without a file-system path.
inline std::string ComputerIdList() {
  static const GUID kComputer = {
      0x20D04FE0, 0x3AEA, 0x1069, {0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D}};
  std::string item;
  PutU16(item, 0x14);
  item.push_back(0x1F);
  item.push_back(0x50);
  PutGuid(item, kComputer);
  std::string out;
  PutU16(out, static_cast<std::uint16_t>(item.size() + 2));
  out += item;
  PutU16(out, 0);
  return out;
}

// A LinkInfo block for a local target: a fixed-disk volume without a label, the base path
// in the ANSI code page, an empty suffix.
inline std::string LinkInfoOf(const std::string& ansiBasePath) {
  std::string volume;
  PutU32(volume, 0x11);
  PutU32(volume, DRIVE_FIXED);
  PutU32(volume, 0x1234ABCD);
  PutU32(volume, 0x10);
  volume.push_back('\0');
  const std::uint32_t header = 0x1C, base = header + static_cast<std::uint32_t>(volume.size());
  const std::uint32_t suffix = base + static_cast<std::uint32_t>(ansiBasePath.size()) + 1;
  std::string out;
  PutU32(out, suffix + 1);
  PutU32(out, header);
  PutU32(out, 1);  // VolumeIDAndLocalBasePath
  PutU32(out, header);
  PutU32(out, base);
  PutU32(out, 0);
  PutU32(out, suffix);
  out += volume;
  out += ansiBasePath;
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

// A StringData entry: a 16-bit count of UTF-16 units, then the units.
inline std::string CountedString(const std::wstring& text, std::size_t count = SIZE_MAX) {
  std::string out;
  PutU16(out, static_cast<std::uint16_t>(count == SIZE_MAX ? text.size() : count));
  out.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return out;
}

}  // namespace vl::test
