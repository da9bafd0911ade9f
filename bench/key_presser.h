// The channel between hotkey_latency_bench and key_presser.exe: a named shared-memory
// block and two named events, all named from one base name that the bench passes on the
// presser's command line.
//
// The bench writes the keys, resets NAME-sent and sets NAME-go; the presser stamps the
// performance counter into sentQpc just before SendInput, presses the keys in order and
// releases them in reverse order, then sets NAME-sent. With quit set, the presser ends.
#pragma once

#include <windows.h>

#include <string>

namespace vl::bench {

struct PresserBlock {
  volatile LONG quit;
  volatile LONG keyCount;
  WORD keys[8];  // virtual-key codes
  volatile LONGLONG sentQpc;
};

inline std::wstring PresserGoEvent(const std::wstring& name) { return name + L"-go"; }
inline std::wstring PresserSentEvent(const std::wstring& name) { return name + L"-sent"; }

// A view of the block; unmaps it when it goes.
class PresserView {
 public:
  explicit PresserView(HANDLE mapping)
      : block_(static_cast<PresserBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PresserBlock)))) {}
  ~PresserView() {
    if (block_) UnmapViewOfFile(block_);
  }
  PresserView(const PresserView&) = delete;
  PresserView& operator=(const PresserView&) = delete;

  PresserBlock* get() const { return block_; }
  PresserBlock* operator->() const { return block_; }

 private:
  PresserBlock* block_;
};

}  // namespace vl::bench
