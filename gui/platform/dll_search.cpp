#include "gui/platform/dll_search.h"

#include <windows.h>

namespace vl {

bool RestrictDllSearch() {
  // The default directories apply to LoadLibrary without flags as well; the empty DLL
  // directory takes the current folder out of the older search order, for callers that
  // pass a search flag of their own.
  bool system32 = SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
  bool noCurrent = SetDllDirectoryW(L"") != FALSE;
  return system32 && noCurrent;
}

}  // namespace vl
