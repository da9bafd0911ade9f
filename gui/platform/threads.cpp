#include "gui/platform/threads.h"

#include <memory>

#include "gui/platform/handles.h"

namespace vl {
namespace {

DWORD WINAPI RunWork(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  // An exception that left the thread would end the process: the work is the caller's to
  // make good (its waiter times out, its answer stays empty).
  try {
    (*work)();
  } catch (...) {
    return 1;
  }
  return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  HANDLE thread = CreateThread(nullptr, 0, &RunWork, owned.get(), 0, nullptr);
  if (!thread) return false;
  owned.release();  // the thread owns it now
  CloseHandle(thread);
  return true;
}

bool RunWithin(std::function<void()> work, DWORD waitMs) {
  // Shared with the thread, which outlives this call when the work is late.
  auto done = std::make_shared<UniqueKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!*done) return false;
  bool started = StartDetachedThread([done, work = std::move(work)] {
    work();
    SetEvent(done->get());
  });
  return started && WaitForSingleObject(done->get(), waitMs) == WAIT_OBJECT_0;
}

}  // namespace vl
