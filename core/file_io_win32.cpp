// File access on Windows: wide paths, flushed temporary file, MoveFileExW over the target.
#include <windows.h>

#include <atomic>

#include "core/file_io.h"

namespace vl {
namespace {

std::atomic<std::uint64_t> g_bytesRead{0};
std::atomic<std::uint64_t> g_filesWritten{0};

// Owns a file handle for the length of one call.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != FALSE;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

PathString RunningExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // a long path: try a bigger buffer
  }
}

PathString ProgramFolder() {
  PathString path = RunningExecutablePath();
  std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == PathString::npos ? 0 : slash);
  return path;
}

std::optional<FileStamp> StampOf(const PathString& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (FileStepRefused(FileStep::Stamp)) return std::nullopt;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileStamp{};
    return std::nullopt;
  }
  FileStamp s;
  s.exists = true;
  s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  s.modified = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return s;
}

std::optional<std::string> ReadWholeFile(const PathString& path) {
  if (FileStepRefused(FileStep::Read)) return std::nullopt;
  FileHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.valid()) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
    if (got == 0) return std::nullopt;  // the file shrank under us: we hold part of it
    done += got;
  }
  g_bytesRead += done;
  return bytes;
}

Replaced ReplaceFileAtomically(const PathString& path, std::string_view bytes,
                               const std::optional<FileStamp>& unlessChangedFrom,
                               std::optional<FileStamp>* written) {
  DWORD attrs = GetFileAttributesW(path.c_str());
  // The profile functions refuse a read-only file; so do we, rather than move over it.
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return Replaced::Refused;

  std::wstring temp = path + L".tmp";
  {
    FileHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return Replaced::Refused;
    bool ok = !FileStepRefused(FileStep::Write) && WriteAll(f.get(), bytes) &&
              !FileStepRefused(FileStep::Flush) && FlushFileBuffers(f.get());
    ok = f.Close() && ok;
    if (!ok) {
      DeleteFileW(temp.c_str());
      return Replaced::Refused;
    }
  }
  // A move keeps the file's time and size: the copy's stamp is the target's after it
  // (nothing when the platform cannot tell).
  std::optional<FileStamp> copy = written ? StampOf(temp) : std::nullopt;
  if (FileStepRefused(FileStep::Replace)) {
    DeleteFileW(temp.c_str());
    return Replaced::Refused;
  }
  if (unlessChangedFrom && StampOf(path) != unlessChangedFrom) {
    DeleteFileW(temp.c_str());
    return Replaced::FileChanged;
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return Replaced::Refused;
  }
  if (written) *written = copy;
  ++g_filesWritten;
  return Replaced::Done;
}

std::uint64_t TotalBytesRead() { return g_bytesRead; }
std::uint64_t TotalFilesWritten() { return g_filesWritten; }

}  // namespace vl
