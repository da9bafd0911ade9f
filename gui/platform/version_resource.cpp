#include "gui/platform/version_resource.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "core/number_text.h"

namespace vl {
namespace {

using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// version.dll is not one of the DLLs Windows maps from the system folder whatever the
// search order, so an import of it would be looked up beside the executable before the
// program's first statement; taken from the system folder by hand, it never is.
VerQueryValueFn VerQueryValueFromSystem() {
  static VerQueryValueFn fn = [] {
    HMODULE dll = LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dll ? reinterpret_cast<VerQueryValueFn>(
                     reinterpret_cast<void*>(GetProcAddress(dll, "VerQueryValueW")))
               : nullptr;
  }();
  return fn;
}

}  // namespace

std::wstring VersionString(std::wstring_view name) {
  VerQueryValueFn query = VerQueryValueFromSystem();
  if (!query) return {};
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
  if (!found) return {};
  HGLOBAL loaded = LoadResource(self, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  DWORD size = SizeofResource(self, found);
  if (!data || size == 0) return {};
  // VerQueryValue may write into the block: a copy of our own, with room to spare.
  std::vector<char> block(size * 2);
  std::memcpy(block.data(), data, size);
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!query(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return {};
  const std::wstring path = L"\\StringFileInfo\\" + HexText(translation->language, 4) +
                           HexText(translation->codePage, 4) + L"\\" + std::wstring(name);
  wchar_t* value = nullptr;
  if (!query(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return std::wstring(value, wcsnlen(value, length));
}

}  // namespace vl
