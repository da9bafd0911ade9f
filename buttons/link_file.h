// TLinkInfo and ReadLinkFile: what a shortcut file (".lnk") says, read through the
// shell's own link object (IShellLinkW with IPersistFile).
//
// Every text is bounded by the buffer it is fetched into, not by a NUL the shell may
// leave out; a target the shell cut short is given as none (an empty Path).
//
// ReadLinkFile keeps no state: each call initialises COM for itself (nested inside the
// program's OLE scope) and makes its own link object. The record owns its item list.
#pragma once

#include <windows.h>
#include <shtypes.h>

#include <cstdint>
#include <optional>
#include <string>

#include "gui/platform/handles.h"

namespace vl {

struct IdListTraits {
  using Handle = PIDLIST_ABSOLUTE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h);  // the shell's allocator
};
using IdListPtr = UniqueHandle<IdListTraits>;

struct TLinkInfo {
  std::wstring Path;     // the target; empty when it is no file-system object
  IdListPtr IdList;      // the target as a shell item list
  std::wstring WorkDir;  // may be empty
  std::wstring Arguments;
  std::wstring Description;
  std::wstring IconLocation;  // the target path when the shortcut names no icon
  std::int32_t IconIndex = 0;
  std::uint16_t HotKey = 0;      // low byte virtual key, high byte HOTKEYF_ flags
  std::uint8_t WindowState = 0;  // 0 normal, 1 minimised, 2 maximised
  DWORD TargetAttributes = 0;    // the target's attributes when the shortcut was made
};

// True when the shell found a target (an item list) in the file at `path`; `info` is
// then filled, though its Path may still be empty. False for anything else (no such
// file, not a shortcut), with `info` cleared.
bool ReadLinkFile(const std::wstring& path, TLinkInfo& info);

// ReadLinkFile for the thread that handles the user's input: a shortcut on the network is
// read on a thread of its own and given `waitMs`. Nothing when no answer came in time
// (`info` is then cleared), else ReadLinkFile's result.
std::optional<bool> ReadLinkFileWithin(const std::wstring& path, TLinkInfo& info, DWORD waitMs);

// The show command of a shortcut as a WindowState.
std::uint8_t WindowStateOf(int showCmd);

}  // namespace vl
