// Threads and locks straight from Win32. The C++ library's std::thread and std::mutex
// bring the winpthreads emulation and the library's error machinery into the program,
// several times the size of what they wrap here.
#pragma once

#include <windows.h>

#include <functional>

namespace vl {

// Runs `work` on a new thread that nobody waits for; false when the system made none. An
// exception `work` raises ends the thread, not the process.
bool StartDetachedThread(std::function<void()> work);

// Runs `work` on a thread of its own and waits up to `waitMs` for it to end: for a question
// that may wait on a server, from the thread that handles the user's input. False when it
// did not end in time (the thread goes on, and must keep what it writes alive itself: a
// shared pointer it holds), when the system made no thread, or when `work` raised.
bool RunWithin(std::function<void()> work, DWORD waitMs);

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
