// THotKeyId: the identifier under which one hot-key component registers its key, an atom
// named after the component's window handle. Window handles are unique among live
// windows, so each component gets its own identifier; the atom lives as long as the
// object. The atom is the process's own (not a global one): a copy of the program that
// crashed cannot leave behind an atom that would stop the next copy from starting.
// Construction throws EWaitHotKey_Atom when the name is taken or the atom cannot be made.
#pragma once

#include <windows.h>

#include <string>

namespace vl {

class THotKeyId {
 public:
  THotKeyId() = default;
  explicit THotKeyId(const std::wstring& name);
  ~THotKeyId() { Reset(); }
  THotKeyId(const THotKeyId&) = delete;
  THotKeyId& operator=(const THotKeyId&) = delete;
  THotKeyId(THotKeyId&& other) noexcept;
  THotKeyId& operator=(THotKeyId&& other) noexcept;

  // The name of a window's identifier: the decimal text of its handle's value.
  static std::wstring NameFor(HWND window);

  ATOM Value() const { return atom_; }

 private:
  void Reset();
  ATOM atom_ = 0;
};

}  // namespace vl
