// File access where the platform-free code is tested: write, fsync, rename, fsync folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "core/file_io.h"

namespace vl {
namespace {

std::atomic<std::uint64_t> g_bytesRead{0};
std::atomic<std::uint64_t> g_filesWritten{0};

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

PathString RunningExecutablePath() { return std::filesystem::read_symlink("/proc/self/exe"); }

PathString ProgramFolder() { return std::filesystem::path(RunningExecutablePath()).parent_path(); }

std::optional<FileStamp> StampOf(const PathString& path) {
  if (FileStepRefused(FileStep::Stamp)) return std::nullopt;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileStamp{};
    return std::nullopt;
  }
  FileStamp s;
  s.exists = true;
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

std::optional<std::string> ReadWholeFile(const PathString& path) {
  if (FileStepRefused(FileStep::Read)) return std::nullopt;
  Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.get() < 0) return std::nullopt;
  struct stat st;
  if (::fstat(f.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::read(f.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;  // an error, or the file shrank under us
    done += static_cast<std::size_t>(got);
  }
  g_bytesRead += done;
  return bytes;
}

Replaced ReplaceFileAtomically(const PathString& path, std::string_view bytes,
                               const std::optional<FileStamp>& unlessChangedFrom,
                               std::optional<FileStamp>* written) {
  std::string temp = path + ".tmp";
  {
    Fd f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (f.get() < 0) return Replaced::Refused;
    bool ok = !FileStepRefused(FileStep::Write);
    while (ok && !bytes.empty()) {
      ssize_t n = ::write(f.get(), bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ok = ok && !FileStepRefused(FileStep::Flush) && ::fsync(f.get()) == 0;
    ok = f.Close() && ok;
    if (!ok) {
      ::unlink(temp.c_str());
      return Replaced::Refused;
    }
  }
  // A rename keeps the file's time and size: the copy's stamp is the target's after it
  // (nothing when the platform cannot tell).
  std::optional<FileStamp> copy = written ? StampOf(temp) : std::nullopt;
  if (FileStepRefused(FileStep::Replace)) {
    ::unlink(temp.c_str());
    return Replaced::Refused;
  }
  if (unlessChangedFrom && StampOf(path) != unlessChangedFrom) {
    ::unlink(temp.c_str());
    return Replaced::FileChanged;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return Replaced::Refused;
  }
  if (written) *written = copy;
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  ++g_filesWritten;
  return Replaced::Done;
}

std::uint64_t TotalBytesRead() { return g_bytesRead; }
std::uint64_t TotalFilesWritten() { return g_filesWritten; }

}  // namespace vl
