// TKeyAssign: one hot-key assignment, a key and four modifier flags.
//
// The key is always a name of the key-name table in the table's own spelling ("ESC",
// "Space", "AltShit"), or empty for no key. The table is the only vocabulary of key
// names: it has 256 entries indexed by virtual-key code, most of them empty, and no entry
// named "Alt" or "Windows" (those words exist only as modifiers in the text form, see
// hot_key_text.h). Names are matched without regard to the case of the letters A-Z.
//
// Every write through a setter calls OnChange afterwards; Assign copies another
// assignment with one OnChange. Copying is deleted because OnChange belongs to the owner.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vl {

class TKeyAssign {
 public:
  static constexpr int kKeyCodes = 256;

  TKeyAssign() = default;
  TKeyAssign(const TKeyAssign&) = delete;
  TKeyAssign& operator=(const TKeyAssign&) = delete;

  // Whether two names are the same name: equal but for the case of the letters A-Z.
  static bool SameName(std::wstring_view a, std::wstring_view b);
  // The table entry of a virtual-key code; empty for an unnamed code or one out of range.
  static std::wstring_view KeyName(int code);
  // The lowest code whose name matches, or -1. The empty name matches code 0.
  static int IndexOfKeyName(std::wstring_view name);
  // The table's own spelling of the name; empty when the table does not know it.
  static std::wstring NormalizeKeyName(std::wstring_view name);

  // The virtual-key code of Key (0 while Key is empty).
  int KeyCode() const { return IndexOfKeyName(key_); }
  bool CanUse() const { return !key_.empty(); }

  const std::wstring& Key() const { return key_; }
  bool hkShift() const { return shift_; }
  bool hkCtrl() const { return ctrl_; }
  bool hkAlt() const { return alt_; }
  bool hkWinKey() const { return winKey_; }

  // Stores NormalizeKeyName(name): a name the table does not know clears the key.
  void SetKey(std::wstring_view name);
  void SethkShift(bool value);
  void SethkCtrl(bool value);
  void SethkAlt(bool value);
  void SethkWinKey(bool value);

  // Takes the source's flags quietly, then its key through SetKey: one OnChange.
  void Assign(const TKeyAssign& source);

  // Called after every write through a setter or Assign.
  std::function<void(TKeyAssign&)> OnChange;

 private:
  void Changed();

  std::wstring key_;
  bool ctrl_ = false;
  bool shift_ = false;
  bool alt_ = false;
  bool winKey_ = false;
};

}  // namespace vl
