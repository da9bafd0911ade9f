// TUndoStep: 「元に戻す」, the last destructive or moving command of the run (a button or a
// page deleted, a button moved by dragging, a button's properties, a page's grid made
// smaller), held as the settings keys it changed: each key's value before the command and
// the value the command left. One step; there is no redo.
//
// A command records in two moves: Before, with the keys it is about to write, read as the
// file holds them; Landed, once its write is in. A write refused never lands, and the step
// before it stays; so does it when the command changed none of its keys. Undo writes the
// old values back in one write of the file, and only where the file still holds what the
// command left in every one of them: a key another program or a later command changed
// since is never written over. Nothing read from a file that could not be read is kept.
// It calls the settings file, and the page set to show the pages it wrote back.
#pragma once

#include <string>
#include <vector>

#include "app/page_set.h"
#include "core/ini_file.h"

namespace vl {

struct IniKey {
  std::wstring section, key;
};

// The keys a command changes: a button's, and a page's own (its name, grid and font).
std::vector<IniKey> ButtonKeys(std::int32_t pageNo, std::int32_t i);
// Those of buttons first to last, as a page's save writes them all.
std::vector<IniKey> ButtonKeys(std::int32_t pageNo, std::int32_t first, std::int32_t last);
std::vector<IniKey> PageKeys(std::int32_t pageNo);
// A button as the user knows it: its name, else its target.
std::wstring NameOf(const TLaunchBtn& button);

class TUndoStep {
 public:
  TUndoStep(TIniFile& ini, TPageSet& pages) : ini_(ini), pages_(pages) {}
  TUndoStep(const TUndoStep&) = delete;
  TUndoStep& operator=(const TUndoStep&) = delete;

  void Before(std::wstring label, std::vector<IniKey> keys);
  void Landed();
  // Forgets a Before whose command will not write after all.
  void Drop() { pending_.clear(); }

  bool Ready() const { return !entries_.empty(); }
  // What the command did, as the menu names it: 「ボタンの削除 (メモ帳)」.
  const std::wstring& Label() const { return label_; }
  // The value a key had before the command; the key must be one of the step's.
  const std::wstring& Was(const IniKey& at) const;
  // The sections the step writes back, each once.
  std::vector<std::wstring> Sections() const;
  enum class Result { kDone, kChanged };
  // The keys back as they were (kDone), or nothing written because the file holds
  // something else in one of them now (kChanged). Either way the step is spent. A file
  // that cannot be read or written raises the write error and keeps the step.
  Result Undo();
  // Undo, and the pages it wrote back built again from the file (a deleted page back in
  // its place among the tabs); the word to the user when the file changed since.
  void UndoAndShow();

 private:
  struct Entry {
    IniKey at;
    std::wstring before, after;
  };
  // The key's value, or kAbsent for a key the file does not hold.
  std::wstring Read(const IniKey& at) const;

  TIniFile& ini_;
  TPageSet& pages_;
  std::wstring pendingLabel_;
  std::vector<Entry> pending_;
  std::wstring label_;
  std::vector<Entry> entries_;
};

}  // namespace vl
