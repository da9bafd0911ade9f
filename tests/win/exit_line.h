// The last line a test tool prints: "vl-exit N", its own exit code.
//
// Under Wine, a process that has finished can still die in the C library's exit: once in
// CI, ld.so's _dl_fini asserted ("Inconsistency detected by ld.so: dl-fini.c: 87") after
// the tool had done its work, so the shell saw SIGABRT where the tool had answered. The
// scripts read the tool's answer from this line (common.sh) and take the process's status
// only when the line is missing, which is a crash of the tool itself. Callers inside Wine
// (the test suites that start send_keys) read GetExitCodeProcess and ignore the line.
#pragma once

#include <cstdio>

namespace vl::test {

inline int WithExitLine(int code) {
  std::printf("vl-exit %d\n", code);
  std::fflush(stdout);
  return code;
}

}  // namespace vl::test
