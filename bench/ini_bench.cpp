// Settings file benchmark: a start that reads every page of 100 buttons, and a save of
// every page, for 1, 10 and 100 pages. Prints keys read and written per second, the file
// bytes read per start and the file writes per save. On Windows it measures the
// platform's own profile functions on the same file in the same run, key by key, as the
// baseline (on a sample where a full run would take minutes).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/text_codec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kButtons = 100;
const wchar_t* const kButtonKeys[] = {L"BtnFP", L"BtnName", L"BtnIP", L"WD"};
const wchar_t* const kHeaderKeys[] = {L"Live", L"Name", L"Yoko", L"Tate", L"BtnW", L"BtnH",
                                      L"ShowType", L"FontName", L"FontSize", L"FontColor"};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::wstring Value(int page, int b, int round) {
  return L"C:\\Program Files\\Vendor" + std::to_wstring(round) + L"\\p" + std::to_wstring(page) +
         L"\\tool" + std::to_wstring(b) + L".exe";
}

void MakeFile(const std::filesystem::path& file, int pages) {
  std::filesystem::remove(file);
  vl::TIniFile ini(file);
  ini.Update([&] {
    ini.WriteInteger(L"General", L"PageNum", pages);
    for (int p = 1; p <= pages; ++p) {
      std::wstring s = L"Page" + std::to_wstring(p);
      ini.WriteBool(s, L"Live", true);
      ini.WriteString(s, L"Name", L"ページ" + std::to_wstring(p));
      for (const wchar_t* k : {L"Yoko", L"Tate"}) ini.WriteInteger(s, k, 10);
      for (int b = 1; b <= kButtons; ++b)
        for (const wchar_t* k : kButtonKeys)
          ini.WriteString(s, k + std::to_wstring(b), Value(p, b, 0));
    }
  });
}

// Reads what a start reads: the page count, then each page's header and buttons.
long StartReads(const std::filesystem::path& file, int pages) {
  long keys = 0;
  vl::TIniFile main(file);
  int pageNum = main.ReadInteger(L"General", L"PageNum", -1);
  ++keys;
  for (int p = 1; p <= pageNum && p <= pages; ++p) {
    vl::TIniFile ini(file);  // each page opens its own handle
    std::wstring s = L"Page" + std::to_wstring(p);
    ini.Update([&] {
      for (const wchar_t* k : kHeaderKeys) {
        ini.ReadString(s, k, L"");
        ++keys;
      }
      for (int b = 1; b <= kButtons; ++b)
        for (const wchar_t* k : kButtonKeys) {
          ini.ReadString(s, k + std::to_wstring(b), L"");
          ++keys;
        }
    });
  }
  return keys;
}

long SaveAll(const std::filesystem::path& file, int pages, int round) {
  long keys = 0;
  vl::TIniFile ini(file);
  for (int p = 1; p <= pages; ++p) {
    std::wstring s = L"Page" + std::to_wstring(p);
    ini.Update([&] {
      for (int b = 1; b <= kButtons; ++b)
        for (const wchar_t* k : kButtonKeys) {
          ini.WriteString(s, k + std::to_wstring(b), Value(p, b, round));
          ++keys;
        }
    });
  }
  return keys;
}

#ifdef _WIN32
// The platform, key by key, on `keys` keys of page 1 (reads) or `keys` writes.
double PlatformReadsPerSecond(const std::filesystem::path& file, int keys) {
  std::string path = *vl::WideToAnsi(file.wstring());
  char buffer[2048];
  auto t0 = Clock::now();
  for (int i = 0; i < keys; ++i) {
    std::string key = "BtnFP" + std::to_string(1 + i % kButtons);
    GetPrivateProfileStringA("Page1", key.c_str(), "", buffer, sizeof buffer, path.c_str());
  }
  return keys / Seconds(t0);
}

double PlatformWritesPerSecond(const std::filesystem::path& file, int keys) {
  std::string path = *vl::WideToAnsi(file.wstring());
  auto t0 = Clock::now();
  for (int i = 0; i < keys; ++i) {
    std::string key = "BtnFP" + std::to_string(1 + i % kButtons);
    std::string value = "C:\\x\\" + std::to_string(i) + ".exe";
    WritePrivateProfileStringA("Page1", key.c_str(), value.c_str(), path.c_str());
  }
  return keys / Seconds(t0);
}
#endif

}  // namespace

int main() {
  auto dir = std::filesystem::temp_directory_path() / "vl-bench";
  std::filesystem::create_directories(dir);
  auto file = dir / "RavariVudovi.ini";
  std::printf("%-6s %10s %14s %14s %12s %12s", "pages", "file bytes", "reads/s", "writes/s",
              "bytes/start", "saves/page");
#ifdef _WIN32
  std::printf(" %14s %14s %9s %9s", "platform r/s", "platform w/s", "read x", "write x");
#endif
  std::printf("\n");
  for (int pages : {1, 10, 100}) {
    MakeFile(file, pages);
    auto fileBytes = std::filesystem::file_size(file);

    std::uint64_t read0 = vl::TotalBytesRead();
    auto t0 = Clock::now();
    long readKeys = StartReads(file, pages);
    double readRate = readKeys / Seconds(t0);
    std::uint64_t bytesPerStart = vl::TotalBytesRead() - read0;

    std::uint64_t written0 = vl::TotalFilesWritten();
    auto t1 = Clock::now();
    long writtenKeys = SaveAll(file, pages, 1);
    double writeRate = writtenKeys / Seconds(t1);
    double savesPerPage = static_cast<double>(vl::TotalFilesWritten() - written0) / pages;

    std::printf("%-6d %10llu %14.0f %14.0f %12llu %12.2f", pages,
                static_cast<unsigned long long>(fileBytes), readRate, writeRate,
                static_cast<unsigned long long>(bytesPerStart), savesPerPage);
#ifdef _WIN32
    double pr = PlatformReadsPerSecond(file, 2000);
    double pw = PlatformWritesPerSecond(file, pages >= 100 ? 40 : 400);
    std::printf(" %14.0f %14.0f %9.1f %9.1f", pr, pw, readRate / pr, writeRate / pw);
#endif
    std::printf("\n");
  }
  std::filesystem::remove_all(dir);
  std::printf("saves/page: files written when one page saves its %d buttons (one update).\n",
              kButtons);
  return 0;
}
