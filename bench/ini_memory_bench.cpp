// Settings document memory: the heap one parsed file takes, as bytes of heap per byte of
// file, for a page of 5 buttons, 20 pages of 100 and 40 pages of 1600, and the time the
// parse takes. Native only: glibc's allocator, or AddressSanitizer's in the sanitizer build,
// counts the heap. Parse times mean something in a build without the sanitizers only
// (cmake -DCMAKE_BUILD_TYPE=Release -DVL_SANITIZE=OFF).
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/ini_document.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's count of the heap in use (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;  // blocks from the heap and blocks mapped on their own
#endif
}

std::string MakeFile(int pages, int buttons) {
  std::string file;
  for (int p = 1; p <= pages; ++p) {
    file += "[Page" + std::to_string(p) +
            "]\r\nLive=1\r\nName=page\r\nYoko=10\r\nTate=10\r\nBtnW=64\r\nBtnH=64\r\n"
            "ShowType=0\r\nFontName=x\r\nFontSize=10\r\nFontColor=clNavy\r\n";
    for (int b = 1; b <= buttons; ++b) {
      std::string n = std::to_string(b);
      file += "BtnFP" + n + "=C:\\windows\\system32\\notepad.exe\r\nBtnName" + n + "=tool" + n +
              "\r\nBtnIP" + n + "=C:\\windows\\system32\\notepad.exe\r\nWD" + n +
              "=C:\\windows\\system32\r\n";
    }
  }
  return file;
}

}  // namespace

int main() {
  std::printf("%-6s %-8s %12s %14s %10s %10s\n", "pages", "buttons", "file bytes", "heap bytes",
              "heap/file", "parse ms");
  for (auto [pages, buttons] : {std::pair{1, 5}, {20, 100}, {40, 1600}}) {
    std::string file = MakeFile(pages, buttons);
    std::size_t before = HeapInUse();
    auto t0 = std::chrono::steady_clock::now();
    vl::IniDocument doc = vl::IniDocument::Parse(file);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::size_t heap = HeapInUse() - before;
    std::printf("%-6d %-8d %12zu %14zu %10.2f %10.2f\n", pages, buttons, file.size(), heap,
                static_cast<double>(heap) / static_cast<double>(file.size()), ms);
  }
  return 0;
}
