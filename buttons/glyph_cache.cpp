#include "buttons/glyph_cache.h"

#include <shellapi.h>
#include <commctrl.h>
#include <commoncontrols.h>

#include <algorithm>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "buttons/shell_helpers.h"
#include "core/portable_path.h"
#include "gui/dib.h"
#include "gui/message_window.h"
#include "gui/platform/com_scope.h"
#include "gui/platform/scoped_select.h"
#include "gui/platform/threads.h"
#include "gui/theme.h"

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

// The icon of a file, or of its type's program.
UniqueIcon FileIcon(const std::wstring& iconPath, int size) {
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
  return icon;
}

// The icon the shell shows for what a shell name stands for (a Store app, a shell folder),
// from the system's image list of the nearest size at or above `size`.
UniqueIcon ShellItemIcon(const std::wstring& name, int size) {
  IdListPtr item = ParseShellName(name);
  SHFILEINFOW info{};
  if (!item || !SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item.get()), 0, &info, sizeof info,
                               SHGFI_PIDL | SHGFI_SYSICONINDEX))
    return {};
  IImageList* list = nullptr;
  const int which = size <= 32 ? SHIL_LARGE : size <= 48 ? SHIL_EXTRALARGE : SHIL_JUMBO;
  if (FAILED(SHGetImageList(which, __uuidof(IImageList), reinterpret_cast<void**>(&list)))) return {};
  HICON icon = nullptr;
  if (FAILED(list->GetIcon(info.iIcon, ILD_TRANSPARENT, &icon))) icon = nullptr;
  list->Release();
  return UniqueIcon(icon);
}

// Empty when the file is not there, or the shell does not know the shell name. Any
// thread: it touches only what it makes. `face` is the colour of the faces it is drawn
// on, which the theme gives.
UniqueBitmap MakeGlyph(const std::wstring& iconPath, int size, COLORREF face) {
  PassNetworkLookupGate(iconPath);
  UniqueIcon icon;
  if (IsShellName(iconPath)) {
    icon = ShellItemIcon(iconPath, size);
    if (!icon) return {};
  } else if (!FileExists(iconPath)) {
    return {};
  }
  UniqueDC dc(CreateCompatibleDC(nullptr));
  UniqueBitmap glyph = MakeDib(size, size);
  if (!dc || !glyph) return {};
  if (!icon) icon = FileIcon(iconPath, size);
  ScopedSelect select(dc.get(), glyph.get());
  RECT all{0, 0, size, size};
  SetDCBrushColor(dc.get(), face);
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
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

// A glyph to make, or (targetCheck) whether key.path is gone.
struct Job {
  Key key;
  bool targetCheck = false;
};

struct Arrival {
  Key key;
  UniqueBitmap glyph;
  bool targetCheck = false;
  bool gone = false;
};

// How long a click waits for a server to say whether its target is there.
constexpr DWORD kClickCheckMs = 1000;

bool TargetGoneBehindTheGate(const std::wstring& path) {
  PassNetworkLookupGate(path);
  return TargetGone(path);
}

// Threads that look at the files whose icons may wait on a server, several at once: a
// lookup held up by a server that does not answer holds up no other, until all of them
// are held. They are never joined: a lookup waiting for a server must not hold up the
// program's exit.
class TLookupPool {
 public:
  explicit TLookupPool(HWND inbox) : inbox_(inbox) {}

  void Post(Job job) {
    bool start = false;
    {
      TLockGuard guard(lock_);
      jobs_.push_back(std::move(job));
      start = idle_ < jobs_.size() && threads_ < kMaxLookupThreads;
      if (start) ++threads_;
    }
    WakeConditionVariable(&ready_);
    if (start && !StartDetachedThread([this] { Run(); })) {
      TLockGuard guard(lock_);
      --threads_;  // the system refused one: asked for again at the next lookup
    }
  }

 private:
  static constexpr std::size_t kMaxLookupThreads = 4;

  void Run() {
    TComScope com;  // the shell's icon lookup may need it
    for (;;) {
      Job job;
      {
        TLockGuard guard(lock_);
        ++idle_;
        while (jobs_.empty()) SleepConditionVariableSRW(&ready_, &lock_, INFINITE, 0);
        --idle_;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      std::unique_ptr<Arrival> arrival;
      try {
        arrival = std::make_unique<Arrival>();
        arrival->key = job.key;
        arrival->targetCheck = job.targetCheck;
        if (job.targetCheck)
          arrival->gone = TargetGoneBehindTheGate(job.key.path);
        else
          arrival->glyph = MakeGlyph(job.key.path, job.key.size, job.key.face);
      } catch (...) {
        // A lookup that failed is answered as one that found nothing (asked again later),
        // a check as one that found the target there.
        if (arrival) {
          arrival->glyph.reset();
          arrival->gone = false;
        }
      }
      if (arrival && PostMessageW(inbox_, GlyphArrivedMessage(), 0, reinterpret_cast<LPARAM>(arrival.get())))
        arrival.release();  // the inbox owns it now
    }
  }

  HWND inbox_;
  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE ready_ = CONDITION_VARIABLE_INIT;
  std::deque<Job> jobs_;
  std::size_t threads_ = 0;  // started and not refused
  std::size_t idle_ = 0;     // waiting for a job
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
    Key key{iconPath, ThemePalette().face, size};
    if (auto it = glyphs_.find(key); it != glyphs_.end())
      if (SharedBitmap glyph = it->second.lock()) return glyph;
    if (IconLookupMayWait(iconPath)) {
      Request(key, requester);
      return {};
    }
    UniqueBitmap made = MakeGlyph(iconPath, size, key.face);
    if (!made) return {};
    return Keep(std::move(key), std::move(made));
  }

  void Arrived(std::unique_ptr<Arrival> arrival) {
    auto it = pending_.find(arrival->key);
    if (it == pending_.end()) return;
    if (!arrival->glyph) {
      // No file there, or no answer: the buttons keep what they show, and the file is
      // asked for again later (AskAgain), or whenever a button asks for it.
      it->second.missingSince = GetTickCount64();
      return;
    }
    const std::vector<HWND> waiting = std::move(it->second.buttons);
    pending_.erase(it);
    // Held here while the buttons take it from the cache.
    SharedBitmap glyph = Keep(std::move(arrival->key), std::move(arrival->glyph));
    for (HWND button : waiting) SendMessageW(button, GlyphArrivedMessage(), 0, 0);
  }

  bool TargetKnownGone(const std::wstring& path, HWND requester, TargetAsk ask) {
    if (!TargetCheckMayWait(path)) return TargetGone(path);
    TargetCheck& check = targets_[path];
    if (ask == TargetAsk::Now) {
      auto gone = std::make_shared<bool>(false);
      // No answer in time: not known to be gone, and the shell may try.
      if (!RunWithin([gone, path] { *gone = TargetGoneBehindTheGate(path); }, kClickCheckMs)) return false;
      check.gone = *gone;
      return check.gone;
    }
    if (requester && std::find(check.buttons.begin(), check.buttons.end(), requester) == check.buttons.end())
      check.buttons.push_back(requester);
    if (!check.underWay && (ask == TargetAsk::Again || !check.asked)) {
      check.asked = check.underWay = true;
      Post({Key{path, 0, 0}, true});
    }
    return check.gone;
  }

  void TargetArrived(const Arrival& arrival) {
    auto it = targets_.find(arrival.key.path);
    if (it == targets_.end()) return;
    TargetCheck& check = it->second;
    check.underWay = false;
    check.gone = arrival.gone;
    const std::vector<HWND> waiting = std::move(check.buttons);
    check.buttons.clear();
    for (HWND button : waiting) SendMessageW(button, TargetCheckedMessage(), 0, 0);
  }

  void AskAgain(ULONGLONG pauseMs) {
    const ULONGLONG now = GetTickCount64();
    for (auto& [key, waiting] : pending_) {
      if (!waiting.missingSince || now - waiting.missingSince < pauseMs) continue;
      waiting.missingSince = 0;
      Post({key});
    }
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

  // The buttons that got nothing last time wait for the answer too.
  void Request(const Key& key, HWND requester) {
    auto [it, first] = pending_.try_emplace(key);
    Waiting& waiting = it->second;
    if (requester && std::find(waiting.buttons.begin(), waiting.buttons.end(), requester) == waiting.buttons.end())
      waiting.buttons.push_back(requester);
    if (!first && !waiting.missingSince) return;  // already on its way
    waiting.missingSince = 0;
    Post({key});
  }

  void Post(Job job) {
    if (!inbox_) {
      inbox_ = std::make_unique<TGlyphInbox>(*this);
      lookups_ = std::make_unique<TLookupPool>(inbox_->Handle());
    }
    lookups_->Post(std::move(job));
  }

  static constexpr std::size_t kFirstPrune = 256;
  std::map<Key, std::weak_ptr<const UniqueBitmap>> glyphs_;
  std::size_t pruneAt_ = kFirstPrune;
  struct Waiting {
    std::vector<HWND> buttons;
    ULONGLONG missingSince = 0;  // when the lookup found nothing; 0 while it is under way
  };
  // Lookups under way, and those that found nothing, with the buttons that wait for them.
  std::map<Key, Waiting> pending_;
  // The last answer for each target that is looked at on the lookup threads, with the
  // buttons waiting for the next.
  struct TargetCheck {
    bool gone = false;
    bool asked = false;
    bool underWay = false;
    std::vector<HWND> buttons;
  };
  std::map<std::wstring, TargetCheck> targets_;
  std::unique_ptr<TGlyphInbox> inbox_;
  std::unique_ptr<TLookupPool> lookups_;
};

LRESULT TGlyphInbox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == GlyphArrivedMessage()) {
    std::unique_ptr<Arrival> arrival(reinterpret_cast<Arrival*>(lParam));
    if (arrival->targetCheck)
      cache_.TargetArrived(*arrival);
    else
      cache_.Arrived(std::move(arrival));
    return 0;
  }
  return TMessageWindow::HandleMessage(msg, wParam, lParam);
}

TGlyphCache& Cache() {
  // Never destroyed: a lookup thread may still be waiting on a server at exit.
  static TGlyphCache& cache = *new TGlyphCache;
  return cache;
}

}  // namespace

SharedBitmap IconGlyph(const std::wstring& iconPath, HWND requester, int size) {
  if (size <= 0) return {};
  return Cache().Get(iconPath, requester, size);
}

void AskAgainForMissingGlyphs(DWORD pauseMs) { Cache().AskAgain(pauseMs); }

bool TargetKnownGone(const std::wstring& path, HWND requester, TargetAsk ask) {
  return Cache().TargetKnownGone(path, requester, ask);
}

UINT TargetCheckedMessage() {
  static const UINT message = RegisterWindowMessageW(L"VantriLaunch.TargetChecked");
  return message;
}

UINT GlyphArrivedMessage() {
  static const UINT message = RegisterWindowMessageW(L"VantriLaunch.GlyphArrived");
  return message;
}

}  // namespace vl
