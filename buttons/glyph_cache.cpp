#include "buttons/glyph_cache.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "buttons/shell_helpers.h"
#include "gui/com_scope.h"
#include "gui/dib.h"
#include "gui/message_window.h"
#include "gui/scoped_select.h"
#include "gui/threads.h"

namespace vl {
namespace {

// The icon at `size` from the file that holds it: the system picks the image of the icon
// group that suits that size best and scales only when the group has none of it.
UniqueIcon IconAtSize(const std::wstring& source, int index, int size) {
  HICON icon = nullptr;
  UINT id = 0;
  UINT got = PrivateExtractIconsW(source.c_str(), index, size, size, &icon, &id, 1, LR_DEFAULTCOLOR);
  if (got == 0 || got == 0xFFFFFFFF) return {};
  return UniqueIcon(icon);
}

// Empty when the file is not there. Any thread: it touches only what it makes.
UniqueBitmap MakeGlyph(const std::wstring& iconPath, int size) {
  if (!FileExists(iconPath)) return {};
  UniqueDC dc(CreateCompatibleDC(nullptr));
  UniqueBitmap glyph = MakeDib(size, size);
  if (!dc || !glyph) return {};
  // The call writes the path and index of the icon's real source back into its buffer (the
  // program of a document's type, say), where the image of the wanted size is then taken.
  std::wstring source = ShellPath(iconPath);
  source.resize(std::max<std::size_t>(source.size() + 1, MAX_PATH));
  WORD index = 0;
  UniqueIcon icon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), source.data(), &index));
  if (icon && size != GetSystemMetrics(SM_CXICON)) {
    source.resize(std::wcslen(source.c_str()));
    if (UniqueIcon sized = IconAtSize(source, index, size)) icon = std::move(sized);
  }
  ScopedSelect select(dc.get(), glyph.get());
  RECT all{0, 0, size, size};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
  if (icon) DrawIconEx(dc.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
  // The button draws the corner's colour as transparent. One red step away from what the
  // corner holds, that key matches (almost) nothing, so the face colour and every icon
  // pixel, black ones too, are drawn as they are.
  COLORREF corner = GetPixel(dc.get(), 0, size - 1);
  BYTE red = GetRValue(corner);
  red = red == 255 ? 254 : static_cast<BYTE>(red + 1);
  SetPixel(dc.get(), 0, size - 1, RGB(red, GetGValue(corner), GetBValue(corner)));
  return glyph;
}

struct Key {
  std::wstring path;
  COLORREF face;
  int size;
  auto operator<=>(const Key&) const = default;
};

struct Arrival {
  Key key;
  UniqueBitmap glyph;
};

// One thread that looks at network files in turn. It is never joined: a lookup waiting
// for a server that does not answer must not hold up the program's exit.
class TLookupThread {
 public:
  explicit TLookupThread(HWND inbox) : inbox_(inbox) {}

  void Post(Key key) {
    {
      TLockGuard guard(lock_);
      jobs_.push_back(std::move(key));
    }
    WakeConditionVariable(&ready_);
    if (!started_) started_ = StartDetachedThread([this] { Run(); });
  }

 private:
  void Run() {
    TComScope com;  // the shell's icon lookup may need it
    for (;;) {
      Key key;
      {
        TLockGuard guard(lock_);
        while (jobs_.empty()) SleepConditionVariableSRW(&ready_, &lock_, INFINITE, 0);
        key = std::move(jobs_.front());
        jobs_.pop_front();
      }
      PassNetworkLookupGate();
      auto arrival = std::make_unique<Arrival>();
      arrival->glyph = MakeGlyph(key.path, key.size);
      arrival->key = std::move(key);
      if (PostMessageW(inbox_, GlyphArrivedMessage(), 0, reinterpret_cast<LPARAM>(arrival.get())))
        arrival.release();  // the inbox owns it now
    }
  }

  HWND inbox_;
  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE ready_ = CONDITION_VARIABLE_INIT;
  std::deque<Key> jobs_;
  bool started_ = false;  // GUI thread only; a thread the system refused is asked for again
};

class TGlyphCache;

// Where the lookup thread's glyphs come in, on the GUI thread.
class TGlyphInbox : public TMessageWindow {
 public:
  explicit TGlyphInbox(TGlyphCache& cache) : TMessageWindow(L"VantriGlyphInbox"), cache_(cache) {}

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  TGlyphCache& cache_;
};

// Glyphs stay only while a button holds them: the cache never keeps an icon alive.
class TGlyphCache {
 public:
  SharedBitmap Get(const std::wstring& iconPath, HWND requester, int size) {
    Key key{iconPath, GetSysColor(COLOR_BTNFACE), size};
    if (auto it = glyphs_.find(key); it != glyphs_.end())
      if (SharedBitmap glyph = it->second.lock()) return glyph;
    if (IsNetworkPath(iconPath)) {
      Request(std::move(key), requester);
      return {};
    }
    UniqueBitmap made = MakeGlyph(iconPath, size);
    if (!made) return {};
    return Keep(std::move(key), std::move(made));
  }

  void Arrived(std::unique_ptr<Arrival> arrival) {
    auto waiting = pending_.extract(arrival->key);
    // No file there: the buttons keep what they show, and a later look asks again.
    if (!arrival->glyph || waiting.empty()) return;
    // Held here while the buttons take it from the cache.
    SharedBitmap glyph = Keep(std::move(arrival->key), std::move(arrival->glyph));
    for (HWND button : waiting.mapped()) SendMessageW(button, GlyphArrivedMessage(), 0, 0);
  }

 private:
  SharedBitmap Keep(Key key, UniqueBitmap made) {
    auto glyph = std::make_shared<const UniqueBitmap>(std::move(made));
    glyphs_[std::move(key)] = glyph;
    if (glyphs_.size() >= pruneAt_) {
      std::erase_if(glyphs_, [](const auto& entry) { return entry.second.expired(); });
      pruneAt_ = std::max<std::size_t>(kFirstPrune, 2 * glyphs_.size());
    }
    return glyph;
  }

  void Request(Key key, HWND requester) {
    auto [it, first] = pending_.try_emplace(key);
    if (requester && std::find(it->second.begin(), it->second.end(), requester) == it->second.end())
      it->second.push_back(requester);
    if (!first) return;  // already on its way
    if (!inbox_) {
      inbox_ = std::make_unique<TGlyphInbox>(*this);
      lookups_ = std::make_unique<TLookupThread>(inbox_->Handle());
    }
    lookups_->Post(std::move(key));
  }

  static constexpr std::size_t kFirstPrune = 256;
  std::map<Key, std::weak_ptr<const UniqueBitmap>> glyphs_;
  std::size_t pruneAt_ = kFirstPrune;
  std::map<Key, std::vector<HWND>> pending_;  // network lookups under way, and who waits
  std::unique_ptr<TGlyphInbox> inbox_;
  std::unique_ptr<TLookupThread> lookups_;
};

LRESULT TGlyphInbox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == GlyphArrivedMessage()) {
    cache_.Arrived(std::unique_ptr<Arrival>(reinterpret_cast<Arrival*>(lParam)));
    return 0;
  }
  return TMessageWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace

SharedBitmap IconGlyph(const std::wstring& iconPath, HWND requester, int size) {
  // Never destroyed: the lookup thread may still be waiting on a server at exit.
  static TGlyphCache& cache = *new TGlyphCache;
  if (size <= 0) return {};
  return cache.Get(iconPath, requester, size);
}

UINT GlyphArrivedMessage() {
  static const UINT message = RegisterWindowMessageW(L"VantriLaunch.GlyphArrived");
  return message;
}

}  // namespace vl
