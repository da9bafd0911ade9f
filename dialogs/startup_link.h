// The start-up shortcut: a shell link to the launcher in the user's Startup folder, so that
// Windows starts it at logon.
//
// The link is named after the executable ("RavariVudovi.exe" gives "RavariVudovi.lnk"), so
// that writing and removing find the same file whatever the executable is called. It is
// written through the wide shell-link interface: a folder whose name lies outside the ANSI
// code page still gives a working link. Each call initialises COM for itself (nested
// inside the program's OLE scope) and owns the link object it makes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/errors.h"
#include "core/path_text.h"

namespace vl {

// A failed OLE call: the system's text for its code, or "OLE エラー %.8x" when the
// system has none.
class EOleSysError : public EVantriError {
 public:
  explicit EOleSysError(HRESULT code);
  HRESULT ErrorCode() const { return code_; }

 private:
  HRESULT code_;
};

// The user's Startup folder; nothing when the shell cannot resolve it.
std::optional<PathString> StartupFolder(HWND owner);

// The shortcut's file name for an executable: its name with ".lnk" for its extension.
PathString StartupLinkName(const PathString& executable);

// The folder a link starts the executable in: its parent, without a trailing separator
// except at a drive's root ("C:\").
std::wstring StartupWorkingFolder(const PathString& executable);

// Writes the link to `executable`, with the argument "/starup", into `folder`, replacing
// a link of the same name. Throws EOleSysError when the link cannot be made or saved.
void WriteStartupLink(const PathString& executable, const PathString& folder);

// Whether the link that WriteStartupLink writes for `executable` is in `folder`: the
// launcher is registered to start at logon.
bool StartupLinkExists(const PathString& executable, const PathString& folder);

// Deletes the link that WriteStartupLink writes for `executable`; true when there was one,
// false when there was none. Throws EVantriError with the system's reason when it is there
// and cannot be deleted.
bool RemoveStartupLink(const PathString& executable, const PathString& folder);

}  // namespace vl
