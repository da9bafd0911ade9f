// TFileTakeover: the settings file as another program changes it. The file that could not
// be read at start (held by a sync tool or a virus scanner): the wait for it at start,
// whether the launcher has taken it up, and the look at it every second until it reads.
// Once taken up, the look goes on every second for a change another program made to the
// file (a sync tool bringing another PC's change), which the main window takes up.
//
// Until the file is taken up the launcher shows a stand-in page and writes neither
// "General" nor any page built from defaults. The look runs on a timer of the main
// window, which hands it WM_TIMER with kTimer; once the file reads, OnReadable runs (the
// main window takes the file up as a start would), and after that OnLook at every look.
// It calls only the settings file and the system.
#pragma once

#include <windows.h>

#include <functional>

#include "core/ini_file.h"

namespace vl {

class TFileTakeover {
 public:
  // The main window's timer that the looks take.
  static constexpr UINT_PTR kTimer = 2;

  TFileTakeover(HWND window, TIniFile& ini) : window_(window), ini_(ini) {}
  TFileTakeover(const TFileTakeover&) = delete;
  TFileTakeover& operator=(const TFileTakeover&) = delete;

  // A file held for a moment is waited for, up to two seconds, before the start goes on.
  void WaitAtStart() const;
  // Whether a read of the settings file now reaches the file.
  bool ReadsNow() const;
  // Whether the start (or a later look) read the file.
  bool TakenUp() const { return takenUp_; }
  // The start's reads reached the file, or did not: then it is looked at every second.
  void Settle(bool read);
  // One look: a file not taken up that reads now raises OnReadable; once taken up, OnLook.
  void Look();
  // Whether another program changed the file since the last MarkSeen (or Settle).
  bool ChangedOutside() const { return ini_.OutsideChanges() != seen_; }
  // What the file holds now is taken up.
  void MarkSeen() { seen_ = ini_.OutsideChanges(); }

  std::function<void()> OnReadable;
  std::function<void()> OnLook;

 private:
  HWND window_;
  TIniFile& ini_;
  bool takenUp_ = false;
  std::uint64_t seen_ = 0;  // the file's outside changes when last taken up
};

}  // namespace vl
