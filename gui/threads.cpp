#include "gui/threads.h"

#include <memory>

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

}  // namespace vl
