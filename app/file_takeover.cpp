#include "app/file_takeover.h"

namespace vl {
namespace {

constexpr UINT kLookInterval = 1000;  // ms
// A sync tool or a virus scanner holds a file for a moment: the start waits this long
// for it before it opens without it.
constexpr int kStartReadTries = 20;
constexpr DWORD kStartReadPause = 100;  // ms

}  // namespace

void TFileTakeover::WaitAtStart() const {
  for (int i = 1; i < kStartReadTries && !ReadsNow(); ++i) Sleep(kStartReadPause);
}

bool TFileTakeover::ReadsNow() const {
  const std::uint64_t missed = ini_.MissedReads();
  ini_.ReadSections();
  return ini_.MissedReads() == missed;
}

void TFileTakeover::Settle(bool read) {
  takenUp_ = read;
  if (read) MarkSeen();
  // A look at the file's stamp once a second: within two seconds of another PC's change
  // the launcher shows it, at the cost of one file-system query.
  SetTimer(window_, kTimer, kLookInterval, nullptr);
}

void TFileTakeover::Look() {
  if (takenUp_) {
    if (OnLook) OnLook();
    return;
  }
  if (!ReadsNow()) return;  // still held: the next tick looks again
  if (OnReadable) OnReadable();
}

}  // namespace vl
