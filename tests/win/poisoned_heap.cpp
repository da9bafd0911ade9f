// Linked into a test, this makes a use of a destroyed object crash the test rather than
// read memory that happens to hold the old values: every block the program deletes is
// filled with 0xDD and held back from reuse for the next few thousand deletes (the
// quarantine of an address sanitizer, which mingw-w64 lacks). A std::function in a
// destroyed object then calls 0xDDDD..., a pointer reads 0xDDDD..., a flag reads true.
#include <malloc.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kQuarantine = 4096;
void* held[kQuarantine];
std::size_t next = 0;
SRWLOCK lock = SRWLOCK_INIT;

}  // namespace

void operator delete(void* p) noexcept {
  if (!p) return;
  std::memset(p, 0xDD, _msize(p));
  AcquireSRWLockExclusive(&lock);
  void* oldest = held[next];
  held[next] = p;
  next = (next + 1) % kQuarantine;
  ReleaseSRWLockExclusive(&lock);
  std::free(oldest);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
