// The loader restriction the program makes first: a DLL planted beside the executable (or
// in the current folder) is refused by name, under a name of its own and under the name of
// a system DLL, while the system's DLLs still load. The planted DLLs sit beside this test
// in a folder of its own, and the test sees the default search take them before it
// restricts it, so that it fails if the restriction does nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gui/platform/dll_search.h"

namespace {

namespace fs = std::filesystem;

fs::path ModulePath(HMODULE module) {
  std::wstring buffer(32768, L'\0');
  DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return buffer;
}

bool IsPlanted(HMODULE module) { return GetProcAddress(module, "VlPlanted") != nullptr; }

fs::path SystemFolder() {
  wchar_t buffer[MAX_PATH];
  UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
  return fs::path(std::wstring(buffer, n));
}

bool SameFolder(const fs::path& a, const fs::path& b) {
  return _wcsicmp(a.lexically_normal().c_str(), b.lexically_normal().c_str()) == 0;
}

TEST(DllSearch, APlantedDllIsRefusedByNameAfterTheRestriction) {
  const fs::path here = ModulePath(nullptr).parent_path();
  ASSERT_TRUE(fs::exists(here / L"vl_planted.dll"));
  ASSERT_TRUE(fs::exists(here / L"version.dll"));

  // A second copy in a folder that is made the current one.
  const fs::path cwd = fs::temp_directory_path() / (L"vl_dll_cwd_" + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(cwd);
  fs::copy_file(here / L"vl_planted.dll", cwd / L"vl_planted_cwd.dll", fs::copy_options::overwrite_existing);
  ASSERT_TRUE(SetCurrentDirectoryW(cwd.c_str()));

  // The default search takes both: the test can see a planted load.
  for (const wchar_t* name : {L"vl_planted.dll", L"vl_planted_cwd.dll"}) {
    HMODULE before = LoadLibraryW(name);
    ASSERT_NE(before, nullptr) << "the default search does not find " << fs::path(name).string();
    EXPECT_TRUE(IsPlanted(before));
    FreeLibrary(before);
    ASSERT_EQ(GetModuleHandleW(name), nullptr);
  }

  ASSERT_TRUE(vl::RestrictDllSearch());

  for (const wchar_t* name : {L"vl_planted.dll", L"vl_planted_cwd.dll"}) {
    SetLastError(0);
    HMODULE after = LoadLibraryW(name);
    EXPECT_EQ(after, nullptr) << fs::path(name).string() << " loaded from " << ModulePath(after).string();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryExW(name, nullptr, 0), nullptr) << "without flags of its own";
    if (after) FreeLibrary(after);
  }

  // A system DLL's name gives the system's DLL, not the one planted under that name.
  HMODULE version = LoadLibraryW(L"version.dll");
  ASSERT_NE(version, nullptr);
  EXPECT_FALSE(IsPlanted(version)) << "loaded from " << ModulePath(version).string();
  EXPECT_TRUE(SameFolder(ModulePath(version).parent_path(), SystemFolder()))
      << ModulePath(version).string();
  EXPECT_NE(GetProcAddress(version, "VerQueryValueW"), nullptr);

  // Asked for by its full path, the planted DLL still loads: the restriction is about names.
  HMODULE byPath = LoadLibraryW((here / L"vl_planted.dll").c_str());
  EXPECT_NE(byPath, nullptr);
  if (byPath) {
    EXPECT_TRUE(IsPlanted(byPath));
  }

  SetCurrentDirectoryW(here.c_str());
  std::error_code ignored;
  fs::remove_all(cwd, ignored);
}

}  // namespace
