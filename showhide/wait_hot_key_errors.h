// The errors of the hot-key component. EWaitHotKey_Atom: the component's identifier
// could not be made, so the component (and the window that owns it) cannot be created.
// EWaitHotKey_HotKey: RegisterKey could not register the assignment; the message names the
// hot key in its text form. EWaitHotKey_Text: a hot-key text that cannot be a key (it
// names no single key, or it would take a typing key from every program); the message
// says why, and nothing was changed.
#pragma once

#include <string>

#include "core/errors.h"

namespace vl {

class EWaitHotKey : public EVantriError {
 public:
  using EVantriError::EVantriError;
};

class EWaitHotKey_Atom : public EWaitHotKey {
 public:
  using EWaitHotKey::EWaitHotKey;
};

class EWaitHotKey_HotKey : public EWaitHotKey {
 public:
  using EWaitHotKey::EWaitHotKey;
};

class EWaitHotKey_Text : public EWaitHotKey {
 public:
  using EWaitHotKey::EWaitHotKey;
};

}  // namespace vl
