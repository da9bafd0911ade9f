#include "showhide/hot_key_id.h"

#include <cstdint>
#include <utility>

#include "core/number_text.h"
#include "showhide/wait_hot_key_errors.h"

namespace vl {

THotKeyId::THotKeyId(const std::wstring& name) {
  if (FindAtomW(name.c_str()) != 0)
    throw EWaitHotKey_Atom(L"既存のアトムを使おうとしました(" + name + L")");
  atom_ = AddAtomW(name.c_str());
  if (atom_ == 0) throw EWaitHotKey_Atom(L"アトムが作成できません(" + name + L")");
}

THotKeyId::THotKeyId(THotKeyId&& other) noexcept : atom_(std::exchange(other.atom_, 0)) {}

THotKeyId& THotKeyId::operator=(THotKeyId&& other) noexcept {
  if (this != &other) {
    Reset();
    atom_ = std::exchange(other.atom_, 0);
  }
  return *this;
}

std::wstring THotKeyId::NameFor(HWND window) {
  return DecimalText(reinterpret_cast<std::uintptr_t>(window));
}

void THotKeyId::Reset() {
  if (atom_ != 0) DeleteAtom(std::exchange(atom_, 0));
}

}  // namespace vl
