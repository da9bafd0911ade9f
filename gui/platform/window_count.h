// The windows a process holds, the way Windows counts them against its quota of user
// objects (10,000 by default): top-level, child and message-only windows alike, whatever
// thread made them. The launcher keeps itself within a budget by this count; the tests
// and the benchmark read the same figure from outside and from inside.
#pragma once

#include <windows.h>

namespace vl {

int CountWindowsOfProcess(DWORD processId);

}  // namespace vl
