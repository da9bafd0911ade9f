// Threads and locks straight from Win32. The C++ library's std::thread and std::mutex
// bring the winpthreads emulation and the library's error machinery into the program,
// several times the size of what they wrap here.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "gui/handles.h"

namespace vl {

// Runs `work` on a new thread that nobody waits for; false when the system made none. An
// exception `work` raises ends the thread, not the process.
bool StartDetachedThread(std::function<void()> work);

// Asks `ask` on a thread of its own and waits up to `waitMs` for the answer: for a question
// that may wait on a server, from the thread that handles the user's input. Nothing when
// no answer came in time (the thread goes on, and its answer is dropped), when the system
// made no thread, or when `ask` raised an exception.
template <class T>
std::optional<T> AnswerWithin(std::function<T()> ask, DWORD waitMs) {
  // Shared with the asking thread, which outlives this call when the answer is late.
  struct Answer {
    UniqueKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::optional<T> value;
  };
  auto answer = std::make_shared<Answer>();
  if (!answer->done) return std::nullopt;
  bool started = StartDetachedThread([answer, ask = std::move(ask)] {
    answer->value = ask();
    SetEvent(answer->done.get());
  });
  if (!started || WaitForSingleObject(answer->done.get(), waitMs) != WAIT_OBJECT_0) return std::nullopt;
  return std::move(answer->value);
}

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
