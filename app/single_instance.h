// TSingleInstance: the named mutex that marks a running copy of the program, held for the
// life of the process. A second copy sees that the mutex existed already and ends.
#pragma once

#include <windows.h>

#include "gui/platform/handles.h"

namespace vl {

class TSingleInstance {
 public:
  explicit TSingleInstance(const wchar_t* name)
      : mutex_(CreateMutexW(nullptr, FALSE, name)), alreadyRunning_(GetLastError() == ERROR_ALREADY_EXISTS) {}

  bool AlreadyRunning() const { return alreadyRunning_; }

 private:
  UniqueKernelHandle mutex_;  // declared first: GetLastError is read right after it is made
  bool alreadyRunning_;
};

}  // namespace vl
