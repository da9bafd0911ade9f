// The writer that the kill test starts and kills: saves generations of a large settings
// file for ever. With "--in-place" it saves the way an unsafe writer would (truncate,
// then produce and write the text in pieces), so that the test can show it would notice a torn file.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "core/ini_document.h"
#include "tests/core/kill_writer.h"

namespace {

[[noreturn]] void WriteInPlaceForever(const std::filesystem::path& file) {
  for (int generation = 1;; ++generation) {
    // Truncate first, then build the text: the window in which the file is torn spans
    // most of the loop, as in a writer that streams its lines out.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    vl::IniDocument doc;
    doc.Set(L"General", L"Generation", std::to_wstring(generation));
    for (int page = 1; page <= vl::test::kKillPages; ++page)
      for (int b = 1; b <= vl::test::kKillButtons; ++b)
        doc.Set(L"Page" + std::to_wstring(page), L"BtnFP" + std::to_wstring(b),
                vl::test::GenerationValue(generation, page, b));
    std::string bytes = doc.Serialize();
    for (std::size_t done = 0; done < bytes.size(); done += 4096) {
      DWORD written = 0;
      WriteFile(h, bytes.data() + done, static_cast<DWORD>(std::min<std::size_t>(4096, bytes.size() - done)),
                &written, nullptr);
    }
    CloseHandle(h);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ini_writer FILE [--in-place]\n");
    return 2;
  }
  if (argc > 2 && std::wcscmp(argv[2], L"--in-place") == 0) WriteInPlaceForever(argv[1]);
  vl::test::WriteGenerationsForever(argv[1]);
}
