// Threads and locks straight from Win32. The C++ library's std::thread and std::mutex
// bring the winpthreads emulation and the library's error machinery into the program,
// several times the size of what they wrap here.
#pragma once

#include <windows.h>

#include <functional>

namespace vl {

// Runs `work` on a new thread that nobody waits for; false when the system made none.
bool StartDetachedThread(std::function<void()> work);

// Holds an SRW lock exclusively for its scope.
class TLockGuard {
 public:
  explicit TLockGuard(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~TLockGuard() { ReleaseSRWLockExclusive(&lock_); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace vl
